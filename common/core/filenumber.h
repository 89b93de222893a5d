#pragma once

#include <cstdint>
#include <optional>
#include <QByteArrayView>

// Numbers in the files people write by hand (both programs' scenario files), read the
// same in every locale, whatever its decimal separator.

// An optional sign, digits with an optional full stop (a digit on at least one side), an
// optional exponent of e or E with an optional sign and digits: "0.5", "-3", "2E-5".
bool isFileNumberText(QByteArrayView text);
// The value of such a text; nothing when it is too large or too close to 0 for a double.
std::optional<double> fileNumber(QByteArrayView text);

// An optional sign and digits alone: a whole number such as milliseconds.
bool isWholeFileNumberText(QByteArrayView text);
// The value of such a text; one beyond 32 bits becomes the nearest 32-bit limit, which
// every range check refuses.
std::int32_t wholeFileNumber(QByteArrayView text);
