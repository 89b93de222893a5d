#pragma once

#include "numberformat.h"
#include "schakelen.h"
#include "switchinglog.h"

#include <QChar>
#include <QString>
#include <QStringList>

// The words of a switching's verdict, as the message box, the panel, its log and the
// CSV show them.

// The failed conditions by the names the message gives them, in its order.
QStringList fouten(const SchakelOordeel &oordeel);
// "Goed gedaan" for a good switching; otherwise "BOEM!!!" and every failed condition,
// one to a line, the lines ending in a lone carriage return: the message box's text.
QString verdictMessage(const SchakelOordeel &oordeel);
// "Goed gedaan", or the failed conditions joined by `separator`: the panel's and the
// log's verdict.
QString verdictWords(const SchakelOordeel &oordeel, const QString &separator);

// A real check's refusals: a wrong phase order or rotation direction first, then
// "slip 5 Hz: a real check allows 0.067 Hz" for each limit broken, in the order of the
// panel's read-outs (phase difference, voltage difference, slip), with the given decimal
// separator. A value shows to 3 significant digits, or as many more as it takes to lie
// outside its limit as the value does: 10.04 degrees reads "10.04", never "10".
QStringList realCheckRefusals(const RealCheck &check,
                              QChar decimalSeparator = systemDecimalSeparator());
// The refusals joined by "; ", or that the reading is within the limits.
QString realCheckText(const RealCheck &check, QChar decimalSeparator = systemDecimalSeparator());
