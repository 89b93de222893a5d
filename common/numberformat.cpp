#include "numberformat.h"

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
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0) return QStringLiteral("0"); // also for -0: a read-out never shows "-0"

    // to_chars does not look at the C locale, so a comma locale cannot sneak in here.
    // Its "general" form with 15 digits switches to scientific exactly outside
    // 0.0001 .. below 1e15 and already drops trailing zeros.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
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
