#include "numberformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <QLocale>
#include <string>

QChar systemDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QChar('.') : point.at(0);
}

QString formatGeneral(long double value, QChar decimalSeparator) {
    return formatGeneralDigits(value, 15, decimalSeparator);
}

QString formatGeneralDigits(long double value, int digits, QChar decimalSeparator) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0) return QStringLiteral("0"); // also for -0: a read-out never shows "-0"

    // to_chars does not look at the C locale, so a comma locale cannot sneak in here.
    // Its "general" form switches to scientific exactly outside 0.0001 .. below
    // 10^digits and already drops trailing zeros.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    const std::string text(buffer, result.ptr);

    const auto e = text.find('e');
    QString mantissa = QString::fromLatin1(text.substr(0, e));
    mantissa.replace(QChar('.'), decimalSeparator);
    if (e == std::string::npos) return mantissa;

    const int exponent = std::atoi(text.c_str() + e + 1);
    return mantissa + QChar('E') + QString::number(exponent);
}

QString formatGeneral(long double value) {
    return formatGeneral(value, systemDecimalSeparator());
}

QString formatGeneralDigits(long double value, int digits) {
    return formatGeneralDigits(value, digits, systemDecimalSeparator());
}

QString formatFixed(long double value, int significant, int decimals, QChar decimalSeparator) {
    // Beyond 15 integer digits fixed notation says nothing more (and would not fit):
    // such values, and those that are no number, take the general format.
    if (!std::isfinite(value) || std::fabs(value) >= 1e15L)
        return formatGeneral(value, decimalSeparator);
    // One rounding, half away from zero, at whichever place keeps fewer digits: the
    // last significant digit or the last decimal.
    const long double magnitude = std::fabs(value);
    const int integerDigits =
        magnitude < 1 ? 1 : static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    const int places = std::max(0, std::min(decimals, significant - integerDigits));
    const long double scale = std::pow(10.0L, places);
    long double rounded = std::round(value * scale) / scale;
    if (rounded == 0) rounded = 0; // no "-0.0"

    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, decimals);
    QString text = QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
    text.replace(QChar('.'), decimalSeparator);
    return text;
}

QString formatFixed(long double value, int significant, int decimals) {
    return formatFixed(value, significant, decimals, systemDecimalSeparator());
}

QString formatDown(long double value, int decimals, QChar decimalSeparator) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e15L)
        return formatGeneral(value, decimalSeparator);
    const long double scale = std::pow(10.0L, decimals);
    const long double scaled = value * scale;
    // A thousandth held as a double lies a few ulps off it either way: that much below
    // a whole number still counts as that number.
    const long double nearest = std::round(scaled);
    const long double whole =
        std::fabs(scaled - nearest) <= 1e-9L * std::max(1.0L, std::fabs(scaled))
            ? nearest
            : std::floor(scaled);
    return formatFixed(whole / scale, 18, decimals, decimalSeparator);
}

QString formatDown(long double value, int decimals) {
    return formatDown(value, decimals, systemDecimalSeparator());
}

void appendCsvNumber(QByteArray &out, double value) {
    if (value == 0) value = 0; // no "-0"
    if (std::isnan(value)) {
        out += "nan"; // whatever its sign bit
        return;
    }
    // Without a precision to_chars writes the shortest form that reads back exactly, and
    // it never looks at a locale.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

QByteArray csvNumber(double value) {
    QByteArray out;
    appendCsvNumber(out, value);
    return out;
}

void appendCsvText(QByteArray &out, const QString &text) {
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') ||
        bytes.contains('\r')) {
        bytes.replace("\"", "\"\"");
        bytes = '"' + bytes + '"';
    }
    out += bytes;
}
