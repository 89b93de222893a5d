#pragma once

#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The values a lesson's question varies over, so that a large class can be given
// variants of it (a random question in the course platform picks one per student):
//
//     vary = H 3..6, Pmech 0.4..0.6
//
// Plain C++, so that either program's model can keep the ranges; the program decides
// which names its cases have and whether a range stays within their limits.

struct VaryRange {
    std::string name; // as the program's files name the value: "H", "clearing_ms", "slip", ...
    double from = 0;
    double to = 0;
    // The value of variant i of n: `from` at the first, `to` at the last, evenly between;
    // with one variant, `from`. A value between is rounded to two figures of the spacing
    // (0.4..0.6 in four: 0.467, not 0.466666666666667), so that the question shows the
    // very value its answer was worked out for, and the student can work it out too.
    double value(int i, int n) const {
        if (n <= 1 || i <= 0) return from;
        if (i >= n - 1) return to;
        const double exact = from + (to - from) * double(i) / double(n - 1);
        const double spacing = std::fabs(to - from) / double(n - 1);
        if (!(spacing > 0) || !std::isfinite(spacing)) return exact;
        const double unit = std::pow(10.0, std::floor(std::log10(spacing)) - 1);
        const double rounded = std::round(exact / unit) * unit;
        return std::isfinite(rounded) ? rounded : exact;
    }
};

// The ranges of a vary line's value: NAME FROM..TO, several apart by commas, the numbers
// written as the files write them (a full stop, an optional exponent). Nothing, with
// `problem` saying why as a sentence, for another form, a number out of a double's reach,
// a range whose ends meet or a name given twice.
std::optional<std::vector<VaryRange>> parseVaryRanges(std::string_view text, std::string &problem);
