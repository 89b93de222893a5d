#pragma once

#include "switchboard.h"

#include <QString>
#include <QStringList>

// The short texts of the switchboard, as its window, its log and its CSV show them.

// What tripped the breaker: "phase order reversed", "reverse power", "pole slip",
// "out-of-phase close"; empty for none.
QString tripText(TripCause cause);
// The breaker's line after a trip: "tripped: reverse power"; an out-of-phase close with its
// closing current, "tripped: out-of-phase close, 10.0 × rated".
QString trippedText(TripCause cause, double closingCurrentPu);
// Why a close scored 0, "; " between: the trip's cause and a contact beyond 30 degrees ("the
// shaft took a torque beyond a three-phase fault's"); empty for neither.
QString zeroReasonText(TripCause trip, bool beyondFaultTorque);
// Which of the sync-check relay's conditions failed, in the order angle, slip, voltage:
// "angle beyond 10°", "slip beyond 0.067 Hz", "voltage not 0 to +5 % above the bus".
QStringList refusalWords(const RelayRefusal &refusal);
// Those joined by "; ".
QString refusalText(const RelayRefusal &refusal);
// A log entry's kind as the CSV names it: close_command, refused, contact, trip, open,
// result.
QString eventWord(SwitchboardEventKind kind);
// A close's score and where it came from: "angle 30, slip 30, voltage 20, time 10", or
// for a close scored 0, why ("0: reverse power").
QString scoreBreakdown(const SwitchboardScore &score);
