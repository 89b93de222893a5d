#include "textconvert.h"

#include "numberformat.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

ConversionError::ConversionError(const QString &text)
    : std::runtime_error(
          QStringLiteral("'%1' is not a valid floating point value").arg(text).toStdString()) {}

namespace {

bool isDigit(QChar c) {
    return c >= QChar('0') && c <= QChar('9');
}

} // namespace

double textToFloat(const QString &text, QChar decimalSeparator) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text.at(i) == QChar(' ')) ++i;
    qsizetype end = n;
    while (end > i && text.at(end - 1) == QChar(' ')) --end;

    // The grammar is checked here, character by character, and the number is rebuilt
    // in plain ASCII for from_chars: that way "inf", "nan", "0x10" or a second
    // separator never reach a parser that would take them.
    std::string ascii;
    if (i < end && (text.at(i) == QChar('+') || text.at(i) == QChar('-'))) {
        if (text.at(i) == QChar('-')) ascii += '-';
        ++i;
    }
    int mantissaDigits = 0;
    int integerDigits = 0; // significant digits before the separator
    bool seenSeparator = false;
    bool seenNonZero = false;
    int leadingFractionZeros = 0; // zeros right after the separator before any other digit
    for (; i < end; ++i) {
        const QChar c = text.at(i);
        if (isDigit(c)) {
            ++mantissaDigits;
            if (c != QChar('0')) seenNonZero = true;
            if (!seenSeparator && seenNonZero) ++integerDigits;
            if (seenSeparator && !seenNonZero) ++leadingFractionZeros;
            ascii += static_cast<char>(c.unicode());
        } else if (c == decimalSeparator && !seenSeparator) {
            seenSeparator = true;
            ascii += '.';
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) throw ConversionError(text);

    long long exponent = 0;
    if (i < end && (text.at(i) == QChar('e') || text.at(i) == QChar('E'))) {
        ++i;
        ascii += 'e';
        bool negative = false;
        if (i < end && (text.at(i) == QChar('+') || text.at(i) == QChar('-'))) {
            negative = text.at(i) == QChar('-');
            if (negative) ascii += '-';
            ++i;
        }
        int exponentDigits = 0;
        for (; i < end && isDigit(text.at(i)); ++i) {
            ++exponentDigits;
            ascii += static_cast<char>(text.at(i).unicode());
            // Saturates far beyond the number of digits any text can hold, so that the
            // decimal exponent below still tells a huge value from a tiny one.
            if (exponent < 1'000'000'000'000'000)
                exponent = exponent * 10 + (text.at(i).unicode() - '0');
        }
        if (exponentDigits == 0) throw ConversionError(text);
        if (negative) exponent = -exponent;
    }
    if (i != end) throw ConversionError(text);

    double value = 0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (result.ptr != ascii.data() + ascii.size()) throw ConversionError(text);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large for a double is refused; too small to be told from zero is zero.
        const long long decimalExponent =
            exponent + (integerDigits > 0 ? integerDigits : -leadingFractionZeros);
        if (!seenNonZero || decimalExponent < 0) return ascii[0] == '-' ? -0.0 : 0.0;
        throw ConversionError(text);
    }
    if (result.ec != std::errc()) throw ConversionError(text);
    return value;
}

double textToFloat(const QString &text) {
    return textToFloat(text, systemDecimalSeparator());
}

std::optional<double> typedNumber(const QString &text) {
    for (QChar separator : {systemDecimalSeparator(), QChar('.')}) {
        try {
            const double value = textToFloat(text, separator);
            if (std::isfinite(value)) return value;
        } catch (const ConversionError &) {
        }
    }
    return std::nullopt;
}
