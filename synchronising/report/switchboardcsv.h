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
// breaker or spoilt a result, or that the automatic synchroniser gave the command.
QByteArray switchboardLogCsv(const SwitchboardSettings &settings,
                             const std::vector<SwitchboardEvent> &events);
