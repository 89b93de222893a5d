#pragma once

#include "switchboard.h"

#include <QString>
#include <QStringList>

// The short texts of the switchboard, as its window, its log and its CSV show them.

// What tripped the breaker: "phase order reversed", "reverse power", "pole slip"; empty for
// none.
QString tripText(TripCause cause);
// Which of the sync-check relay's conditions failed, in the order angle, slip, voltage:
// "angle beyond 10°", "slip beyond 0.067 Hz", "voltage not 0 to +5 % above the bus".
QStringList refusalWords(const RelayRefusal &refusal);
// Those joined by "; ".
QString refusalText(const RelayRefusal &refusal);
// A log entry's kind as the CSV names it: close_command, refused, contact, trip, open,
// result.
QString eventWord(SwitchboardEventKind kind);
// A close's score and where it came from: "angle 30, slip 30, voltage 20, time 10", or
// for a close that a trip spoilt, the trip's cause ("0: reverse power").
QString scoreBreakdown(const SwitchboardScore &score);
