#pragma once

#include "switchboard.h"

#include <cstdint>
#include <QByteArray>

// The switchboard's trace: the bus and both sets sampled as the run goes, as CSV (UTF-8),
// for plotting a run or checking its steady states against the droop lines:
//
//     time_s,bus_frequency_hz,bus_voltage_v,breaker,set1_setpoint_hz,set2_setpoint_hz,...
//     0.000,50.000,378.9,open,51.200,49.800,388.0,370.0,60.00,0.00,45.00,0.00,60.00,45.00
//
// Numbers in fixed decimals with a full stop whatever the locale: the time to the
// millisecond, frequencies to 0.001 Hz, voltages to 0.1 V, powers to 0.01 kW or kvar.
// The breaker is the switchboard's machine's (set 2's): open until its contacts touch.
// On an infinite bus set 1's and the load's columns are empty.

// One sample, as the trace writes it.
struct SwitchboardSample {
    std::int64_t timeMs = 0;
    double busFrequencyHz = 0, busVoltageV = 0;
    bool breakerClosed = false;
    bool island = false; // set 1 and the load exist
    SetReading set1, set2;
    double loadPKw = 0, loadQKvar = 0;
};
SwitchboardSample switchboardSample(const Switchboard &board);

// The first line, with its line end.
QByteArray switchboardTraceHeader();
// The sample as one line, with its line end.
void appendTraceRow(QByteArray &out, const SwitchboardSample &sample);
