#pragma once

#include "switchboard.h"

#include <QByteArray>
#include <vector>

// The switchboard's log as CSV, UTF-8: a comment line with the exercise's settings
// ("# Selmex switchboard: bus_frequency=50 frequency=49.8 ...", the scenario file's keys and
// values), a header and one row an event, oldest first. Numbers in fixed decimals with a full
// stop whatever the locale (the time to the millisecond, the angle and the voltage
// difference to 0.01, the slip, the closing current and the power to 0.001), empty where the
// event has none; the detail says which relay conditions refused a close, what tripped the
// breaker or spoilt a result, or that the automatic synchroniser gave the command. On an
// island the comment line gives the [island] and [load] keys too, and the detail says
// whose breaker tripped or opened ("set 1: overload"), what ended in a blackout, the load
// from a load step on ("load 120 kW, 90 kvar") and the task met or failed.
QByteArray switchboardLogCsv(const SwitchboardSettings &settings,
                             const std::vector<SwitchboardEvent> &events);

// A comma and the value in fixed decimals with a full stop whatever the locale; only the
// comma for what is no number.
void appendFixedField(QByteArray &out, double value, int decimals);
