#pragma once

#include <cstdint>
#include <optional>
#include <QByteArrayView>
#include <QString>

// Numbers in the files people write by hand (both programs' scenario files), read the
// same in every locale, whatever its decimal separator.

// An optional sign, digits with an optional full stop (a digit on at least one side), an
// optional exponent of e or E with an optional sign and digits: "0.5", "-3", "2E-5".
bool isFileNumberText(QByteArrayView text);
// The value of such a text; nothing when it is too large or too close to 0 for a double.
std::optional<double> fileNumber(QByteArrayView text);

// The number of a "key = value" line, or nothing with `problem` saying why for a reader's
// message: `key = "text" is not a number: write it with digits and a full stop, such as
// EXAMPLE.`, or that it is too large or too close to 0 to compute with.
std::optional<double> keyFileNumber(QByteArrayView key, QByteArrayView text, const char *example,
                                    QString &problem);

// An optional sign and digits alone: a whole number such as milliseconds.
bool isWholeFileNumberText(QByteArrayView text);
// The value of such a text; one beyond 32 bits becomes the nearest 32-bit limit, which
// every range check refuses.
std::int32_t wholeFileNumber(QByteArrayView text);
