#pragma once

#include "classicalmodel.h"

#include <vector>

namespace multimachine {

// One moment of a run: every machine's angle (rad, in the classical model's frame, the
// pre-fault angle of E') and speed deviation (rad/s), in machine order.
struct SwingState {
    double time = 0; // s, from the fault's start
    std::vector<double> delta;
    std::vector<double> speed;
    Topology topology = Topology::Faulted;
    std::vector<double> electricalPower; // Pe of each machine at this state, pu
};

// The swing equations 2H/ws d2(delta_i)/dt2 = Pm_i - Pe_i - D_i dw_i with
// Pe_i = Re(E_i conj(sum_j Y_ij E_j)), stepped from the pre-fault state with the fault
// on at t = 0. The method and step are the model's own (see stepSeconds); the
// switchings fall exactly on their instants.
class SwingRun {
public:
    SwingRun(const ClassicalModel &model, const FaultSpec &fault);
    static double stepSeconds();
    const SwingState &state() const;
    void step(); // one step, shortened to land on a switching instant
    // Two machines more than 360 degrees apart.
    bool outOfStep() const;
    // Whether the run has ended: out of step, or 3 s after the last switching.
    bool finished() const;
    double centreOfInertiaAngle() const; // rad

private:
    const ClassicalModel &m_model;
    FaultSpec m_fault;
    SwingState m_state;
};

struct RunOutcome {
    bool stable = false;
    std::vector<SwingState> states; // every step, when asked for
};
RunOutcome simulate(const ClassicalModel &model, const FaultSpec &fault, bool keepStates);

} // namespace multimachine
