#include "rounding.h"

#include <algorithm>
#include <cmath>

double niceStep(double span, int wanted) {
    const double raw = span / std::max(1, wanted);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double f = raw / magnitude;
    return (f < 1.5 ? 1 : f < 3 ? 2 : f < 7 ? 5 : 10) * magnitude;
}

std::int32_t roundToPixel(long double value) {
    constexpr long double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr long double highest = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value)) return NoNumberPixel;
    // Held before rounding: a value this far out (or infinite) rounds to the end anyway,
    // and the conversion below is only defined inside the range.
    if (value >= highest) return std::numeric_limits<std::int32_t>::max();
    if (value <= lowest) return std::numeric_limits<std::int32_t>::min();
    // Written out rather than left to the floating-point environment's rounding mode,
    // which other code could have changed.
    const long double whole = std::floor(value);
    const long double fraction = value - whole;
    long double result = whole;
    if (fraction > 0.5L) {
        result = whole + 1.0L;
    } else if (fraction == 0.5L) {
        result = std::fmod(whole, 2.0L) == 0.0L ? whole : whole + 1.0L;
    }
    return static_cast<std::int32_t>(result);
}
