#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

// The decimal separator of the user's locale (the full stop or the comma).
QChar systemDecimalSeparator();

// The general number format of every read-out: the value rounded to 15 significant
// digits in its shortest form, fixed notation from 0.0001 up to below 1e15 and
// otherwise scientific ("2E-5", "1.5E20"), with the given decimal separator.
QString formatGeneral(long double value, QChar decimalSeparator);
QString formatGeneral(long double value);

// The same shortest form with fewer significant digits (scientific from 10^digits up):
// with 3 digits, 327.18 shows as "327".
QString formatGeneralDigits(long double value, int digits, QChar decimalSeparator);
QString formatGeneralDigits(long double value, int digits);

// Fixed notation with exactly `decimals` decimals, the value first rounded to at most
// `significant` significant digits: with 3 and 1, 12.34 shows as "12.3" and 123.45 as
// "123.0". Values of 1e15 and beyond, and those that are no number, take the general
// format.
QString formatFixed(long double value, int significant, int decimals, QChar decimalSeparator);
QString formatFixed(long double value, int significant, int decimals);

// Fixed notation with exactly `decimals` decimals, rounded down (towards minus
// infinity) rather than to the nearest: a limit shown this way is itself on the safe side
// of the limit, 0.86965 showing as "0.869", not "0.870". A value that is a multiple of the
// last decimal but for the binary fraction's error (879 / 1000.0) keeps its digits.
// Values of 1e15 and beyond, and those that are no number, take the general format.
QString formatDown(long double value, int decimals, QChar decimalSeparator);
QString formatDown(long double value, int decimals);

// A number in a file either program writes (the CSV of runs and switchings): the
// shortest text that reads back to the same double, with a full stop whatever the
// locale, and "0" for minus zero; "nan", "inf" and "-inf" for what is no number or
// infinite, as strtod reads them.
void appendCsvNumber(QByteArray &out, double value);
QByteArray csvNumber(double value);
// A text field of a CSV, UTF-8, quoted where a reader would otherwise split the field or
// the row (a comma, a quote or a line break), its quotes doubled.
void appendCsvText(QByteArray &out, const QString &text);
