#include "switchboardtrace.h"

#include "switchboardcsv.h"
#include "switchboardkeys.h"

SwitchboardSample switchboardSample(const Switchboard &board) {
    SwitchboardSample s;
    s.timeMs = board.timeMs();
    s.busFrequencyHz = board.busFrequencyHz();
    s.busVoltageV = board.busVoltageV();
    s.breakerClosed = board.breaker() == BreakerState::Closed;
    s.island = board.island();
    s.set1 = board.set(1);
    s.set2 = board.set(2);
    s.loadPKw = board.loadPKw();
    s.loadQKvar = board.loadQKvar();
    return s;
}

QByteArray switchboardTraceHeader() {
    return "time_s,bus_frequency_hz,bus_voltage_v,breaker,set1_setpoint_hz,set2_setpoint_hz,"
           "set1_voltage_setpoint_v,set2_voltage_setpoint_v,set1_p_kw,set2_p_kw,set1_q_kvar,"
           "set2_q_kvar,load_p_kw,load_q_kvar\n";
}

void appendTraceRow(QByteArray &out, const SwitchboardSample &s) {
    out += secondsText(s.timeMs);
    appendFixedField(out, s.busFrequencyHz, 3);
    appendFixedField(out, s.busVoltageV, 1);
    out += s.breakerClosed ? ",closed" : ",open";
    // Set 1's and the load's fields: empty where there is no set 1.
    const auto island = [&](double value, int decimals) {
        if (s.island)
            appendFixedField(out, value, decimals);
        else
            out += ',';
    };
    island(s.set1.setpointHz, 3);
    appendFixedField(out, s.set2.setpointHz, 3);
    island(s.set1.voltageSetpointV, 1);
    appendFixedField(out, s.set2.voltageSetpointV, 1);
    island(s.set1.pKw, 2);
    appendFixedField(out, s.set2.pKw, 2);
    island(s.set1.qKvar, 2);
    appendFixedField(out, s.set2.qKvar, 2);
    island(s.loadPKw, 2);
    island(s.loadQKvar, 2);
    out += '\n';
}
