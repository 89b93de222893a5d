#pragma once

#include <cstdint>
#include <string>

// Where the fault is, and so how much power the network carries while it is on and
// after it is cleared (Kundur, Power System Stability and Control, sec. 13.1;
// Grainger and Stevenson, Power System Analysis, sec. 16.5). Powers are per-unit of the
// pre-fault Pmax: the electrical power is r1 sin(delta) during the fault and
// r2 sin(delta) after clearing.
enum class Network {
    Busbar,   // a bolted fault at the generator's busbar: nothing flows, r1 = 0, r2 = 1
    TwoLines, // a fault on one of two parallel lines; that line is tripped to clear it
    Transfer, // r1 and r2 given directly
    // Disturbances without a fault, at the run's start:
    PowerStep, // the mechanical power steps from Pmech to pmechAfter; the network stays whole
    LineOut,   // one line is switched out: the network carries `after` (r2) from then on
};

// What a reclosing breaker closes onto after its dead time.
enum class RecloseOnto {
    Transient, // the arc has gone out: the network is whole again
    Permanent, // the fault is still there: the protection trips once more and locks out
};

struct FaultScenario {
    Network network = Network::Busbar;
    // Two parallel lines: the generator's transient reactance plus its transformer, and
    // each line's reactance, per-unit; the fault at this % of the faulted line from the
    // generator's end.
    double generatorReactance = 0.5;
    double lineReactance = 0.3;
    double locationPercent = 50;
    // Transfer: r1 and r2 themselves.
    double during = 0;
    double after = 1;
    // Dead time after clearing before the breaker recloses, ms; 0: no reclosing.
    std::int32_t recloseMs = 0;
    RecloseOnto recloseOnto = RecloseOnto::Transient;
    // PowerStep: the mechanical power from the run's start, per-unit of Pmax.
    double pmechAfter = 0.7;

    // Power during the fault and after clearing, per-unit of the pre-fault Pmax.
    double r1() const;
    double r2() const;
    // Reclosing belongs to a fault: the disturbances without one switch only once.
    bool recloses() const { return recloseMs > 0 && hasFault(); }
    // Whether a short circuit starts the run (and so a clearing time means anything).
    bool hasFault() const { return network != Network::PowerStep && network != Network::LineOut; }
    // The mechanical power in force during a run of a machine whose data give `pmech`.
    double mechanicalPower(double pmech) const {
        return network == Network::PowerStep ? pmechAfter : pmech;
    }
    // The network's share of Pmax after the last switching of a run: what the machine
    // must stay in step on for good.
    double finalFactor() const;
    // When the run's last switching comes, for this clearing time, ms.
    std::int64_t lastSwitchingMs(std::int32_t clearingMs) const;
    // The program's first fault: at the busbar, cleared for good.
    bool isOriginal() const { return network == Network::Busbar && !recloses(); }
};

bool operator==(const FaultScenario &a, const FaultScenario &b);
inline bool operator!=(const FaultScenario &a, const FaultScenario &b) {
    return !(a == b);
}

// The network through a run.
enum class NetworkState {
    Fault,     // the fault is on: r1
    Cleared,   // cleared: r2 (a line tripped), until a reclosing
    Reclosed,  // reclosed onto a cleared fault: the whole network, 1, for good
    Refault,   // reclosed onto a permanent fault: r1 again for the clearing time
    LockedOut, // tripped again after that: r2 for good
};

struct NetworkAtStep {
    NetworkState state = NetworkState::Fault;
    double factor = 0; // the electrical power is factor * sin(delta)
    bool faultOn = true;
};

// The network through a run with one clearing time, its boundaries worked out once.
// Each boundary of B whole ms holds while B / 1000 >= clock, as the busbar fault's
// clearing always has: the step whose clock equals the clearing time still sees the
// fault.
class NetworkSchedule {
public:
    NetworkSchedule(const FaultScenario &scenario, std::int32_t clearingMs);
    NetworkAtStep at(double clock) const;
    std::int32_t clearingMs() const { return m_clearingMs; }

private:
    std::int32_t m_clearingMs;
    long double m_cleared, m_reclosed, m_lockedOut; // s
    bool m_recloses, m_permanent, m_noFault;
    double m_r1, m_r2;
};

// The network at the clock of a step.
NetworkAtStep networkAt(const FaultScenario &scenario, double clock, std::int32_t clearingMs);

// The names the files and the command line use.
const char *networkKey(Network network);
const char *recloseOntoKey(RecloseOnto onto);
