#include "filenumber.h"

#include "keyfile.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// from_chars reads in no locale at all; it takes no plus sign.
QByteArrayView withoutPlusSign(QByteArrayView t) {
    return !t.isEmpty() && t[0] == '+' ? t.sliced(1) : t;
}

} // namespace

bool isFileNumberText(QByteArrayView t) {
    qsizetype i = 0;
    const auto digits = [&] {
        const qsizetype start = i;
        while (i < t.size() && isDigit(t[i])) ++i;
        return i - start;
    };
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    qsizetype mantissa = digits();
    if (i < t.size() && t[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    return i == t.size();
}

std::optional<double> fileNumber(QByteArrayView t) {
    t = withoutPlusSign(t);
    double v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return std::nullopt;
    return v;
}

std::optional<double> keyFileNumber(QByteArrayView key, QByteArrayView text, const char *example,
                                    QString &problem) {
    const QString name = QString::fromLatin1(key);
    if (!isFileNumberText(text)) {
        problem = QStringLiteral("%1 = %2 is not a number: write it with digits and a full stop, "
                                 "such as %3.")
                      .arg(name, quotedText(text), QLatin1String(example));
        return std::nullopt;
    }
    const std::optional<double> v = fileNumber(text);
    if (!v)
        problem = QStringLiteral("%1 = %2 is too large or too close to 0 to compute with.")
                      .arg(name, quotedText(text));
    return v;
}

bool isWholeFileNumberText(QByteArrayView t) {
    qsizetype i = (!t.isEmpty() && (t[0] == '+' || t[0] == '-')) ? 1 : 0;
    if (i == t.size()) return false;
    for (; i < t.size(); ++i)
        if (!isDigit(t[i])) return false;
    return true;
}

std::int32_t wholeFileNumber(QByteArrayView t) {
    t = withoutPlusSign(t);
    long long v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    constexpr long long least = std::numeric_limits<std::int32_t>::min();
    constexpr long long most = std::numeric_limits<std::int32_t>::max();
    if (r.ec == std::errc::result_out_of_range) v = t.startsWith('-') ? least : most;
    return static_cast<std::int32_t>(std::clamp(v, least, most));
}
