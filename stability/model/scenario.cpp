#include "scenario.h"

// Two parallel lines of reactance XL behind the generator's Xg: before the fault the
// transfer reactance is Xg + XL/2. A fault at a fraction f along one line, seen through
// the star-delta transformation of the faulted network, leaves Xg + XL + Xg/f between the
// generator and the infinite bus (no power through at f = 0); with that line tripped it
// is Xg + XL. Each r is the pre-fault reactance over that (Grainger and Stevenson, sec.
// 16.5).
double FaultScenario::r1() const {
    switch (network) {
    case Network::Busbar:
        return 0;
    case Network::TwoLines: {
        const long double f = locationPercent / 100.0L;
        if (!(f > 0)) return 0;
        const long double pre = generatorReactance + lineReactance / 2.0L;
        return static_cast<double>(pre /
                                   (generatorReactance + lineReactance + generatorReactance / f));
    }
    case Network::Transfer:
        return during;
    case Network::PowerStep:
        return 1;
    case Network::LineOut:
        return after;
    }
    return 0;
}

double FaultScenario::r2() const {
    switch (network) {
    case Network::Busbar:
        return 1;
    case Network::TwoLines: {
        const long double pre = generatorReactance + lineReactance / 2.0L;
        return static_cast<double>(pre / (generatorReactance + lineReactance));
    }
    case Network::Transfer:
    case Network::LineOut:
        return after;
    case Network::PowerStep:
        return 1;
    }
    return 1;
}

double FaultScenario::finalFactor() const {
    if (recloses() && recloseOnto == RecloseOnto::Transient) return 1;
    return r2();
}

std::int64_t FaultScenario::lastSwitchingMs(std::int32_t clearingMs) const {
    if (!hasFault()) return 0;
    if (!recloses()) return clearingMs;
    if (recloseOnto == RecloseOnto::Transient) return std::int64_t{clearingMs} + recloseMs;
    return 2 * std::int64_t{clearingMs} + recloseMs;
}

bool operator==(const FaultScenario &a, const FaultScenario &b) {
    return a.network == b.network && a.generatorReactance == b.generatorReactance &&
           a.lineReactance == b.lineReactance && a.locationPercent == b.locationPercent &&
           a.during == b.during && a.after == b.after && a.recloseMs == b.recloseMs &&
           a.recloseOnto == b.recloseOnto && a.pmechAfter == b.pmechAfter;
}

NetworkSchedule::NetworkSchedule(const FaultScenario &s, std::int32_t clearingMs)
    : m_clearingMs(clearingMs), m_recloses(s.recloses()),
      m_permanent(s.recloseOnto == RecloseOnto::Permanent), m_noFault(!s.hasFault()), m_r1(s.r1()),
      m_r2(s.r2()) {
    const long double tc = clearingMs;
    m_cleared = tc / 1000.0L;
    m_reclosed = (tc + s.recloseMs) / 1000.0L;
    m_lockedOut = (tc + s.recloseMs + tc) / 1000.0L;
}

NetworkAtStep NetworkSchedule::at(double clock) const {
    // A power step or a line switched out: the one network from the first step on.
    if (m_noFault) return {NetworkState::Cleared, m_r2, false};
    if (m_cleared >= clock) return {NetworkState::Fault, m_r1, true};
    if (!m_recloses || m_reclosed >= clock) return {NetworkState::Cleared, m_r2, false};
    if (!m_permanent) return {NetworkState::Reclosed, 1, false};
    // Onto a permanent fault: the fault is on for another clearing time, then the
    // protection trips the line for good.
    if (m_lockedOut >= clock) return {NetworkState::Refault, m_r1, true};
    return {NetworkState::LockedOut, m_r2, false};
}

NetworkAtStep networkAt(const FaultScenario &s, double clock, std::int32_t clearingMs) {
    return NetworkSchedule(s, clearingMs).at(clock);
}

const char *networkKey(Network network) {
    switch (network) {
    case Network::Busbar:
        return "busbar";
    case Network::TwoLines:
        return "two-lines";
    case Network::Transfer:
        return "transfer";
    case Network::PowerStep:
        return "power-step";
    case Network::LineOut:
        return "line-out";
    }
    return "busbar";
}

const char *recloseOntoKey(RecloseOnto onto) {
    return onto == RecloseOnto::Permanent ? "permanent" : "transient";
}
