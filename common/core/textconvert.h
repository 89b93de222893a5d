#pragma once

#include <optional>
#include <QChar>
#include <QString>
#include <stdexcept>

// Raised when a text is not a number: "'<text>' is not a valid floating point value".
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString &text);
    QString message() const { return QString::fromUtf8(what()); }
    // The message behind the name of the field the text was typed in: "H: '' is not ...".
    QString messageFor(const QString &field) const {
        return field.isEmpty() ? message() : field + QStringLiteral(": ") + message();
    }
};

// Converts what a user typed into a number. Accepted: blanks around, an optional sign,
// decimal digits with at most one decimal separator (the given one), an optional
// exponent "E" or "e" with optional sign and digits; the whole text must be used and
// the value must fit in a double. Everything else raises ConversionError.
double textToFloat(const QString &text, QChar decimalSeparator);
double textToFloat(const QString &text);

// A number a student typed as a prediction: with the locale's decimal separator or a full
// stop, finite; none for anything else.
std::optional<double> typedNumber(const QString &text);
