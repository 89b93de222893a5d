#pragma once

#include "schakelen.h"
#include "synchropanel.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Every press of "Switch" of a session, for the panel's list and for a report.

// The animation's tick, ms: the phasors turn once a tick, and the log counts its times in
// ticks.
constexpr std::int32_t TickMs = 50;
// The same, s, in the extended precision of the panel's read-outs.
constexpr long double TickSeconds = TickMs / 1000.0L;

struct LoggedSwitching {
    std::int32_t tick = 0; // the session's ticks since the start, at the press
    PanelReading at;
    SchakelOordeel oordeel;
};

// What a real generator's automatic synchronizer or sync-check relay allows at the
// breaker's close: the limits within which a generator stays fit for service without
// inspection (IEEE Std C50.12-2005 and C50.13-2014, synchronizing).
constexpr double RealMaxAngleDeg = 10;      // either side of the network's phase
constexpr double RealMinVoltagePercent = 0; // the generator never below the network
constexpr double RealMaxVoltagePercent = 5; // nor more than 5 % above it
constexpr double RealMaxSlipHz = 0.067;     // either way

// Which of a real check's conditions a reading breaks: a wrong phase order or rotation
// direction, on which a real check never closes, and each limit above. A reading that
// is no number breaks its limit.
struct RealCheck {
    bool within = false;
    bool phaseOrderWrong = false;
    bool directionWrong = false;
    bool angleBeyond = false;
    bool voltageBeyond = false;
    bool slipBeyond = false;
    PanelReading judged; // the reading, for the words that name the values
};

RealCheck judgeRealLimits(const PanelReading &r);

// Oldest first. A stuck key presses "Switch" many times a second, so the log keeps
// the newest MaxEntries and drops older ones rather than grow without end.
class SwitchingLog {
public:
    static constexpr std::size_t MaxEntries = 10000;

    void add(const LoggedSwitching &switching);
    const std::vector<LoggedSwitching> &entries() const { return m_entries; }
    bool empty() const { return m_entries.empty(); }
    void clear() { m_entries.clear(); }

private:
    std::vector<LoggedSwitching> m_entries;
};
