#pragma once

#include <QChar>
#include <QString>

// The decimal separator of the user's locale (the full stop or the comma).
QChar systemDecimalSeparator();

// The general number format of every read-out: the value rounded to 15 significant
// digits in its shortest form, fixed notation from 0.0001 up to below 1e15 and
// otherwise scientific ("2E-5", "1.5E20"), with the given decimal separator.
QString formatGeneral(long double value, QChar decimalSeparator);
QString formatGeneral(long double value);
