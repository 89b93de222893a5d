#pragma once

#include "classicalmodel.h"

#include <Eigen/Dense>
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

// How long a run goes on in step after its last switching before it counts as stable,
// and the angle two machines may drift apart before it counts as out of step.
constexpr double InStepSeconds = 3.0;
constexpr double OutOfStepAngle = 2 * Pi; // rad

// The swing equations 2H/ws d2(delta_i)/dt2 = Pm_i - Pe_i - D_i dw_i / ws with
// Pe_i = Re(E_i conj(sum_j Y_ij E_j)), stepped from the pre-fault state with the fault
// on at t = 0: classical fourth-order Runge-Kutta with a fixed step of 5 ms (see
// stepSeconds), each step shortened to land exactly on a switching instant (the
// clearing at the fault's clearMs, the reclosing recloseMs after it); after a switching
// the steps count on from its instant.
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
    double lastSwitchingSeconds() const;
    // This run as it would be had its fault cleared at `clearMs` (reclosing as before):
    // the same steps so far, when the run has not yet passed that instant.
    SwingRun clearedAt(int clearMs) const;

private:
    void scheduleSwitchings();
    void applyDueSwitchings();
    void electricalPower(const Eigen::VectorXd &delta, Eigen::VectorXd &power);
    void acceleration(const Eigen::VectorXd &delta, const Eigen::VectorXd &speed,
                      Eigen::VectorXd &out);

    const ClassicalModel *m_model;
    FaultSpec m_fault;
    SwingState m_state;
    const Eigen::MatrixXcd *m_y = nullptr; // the reduced matrix of the present topology
    double m_clearAt = 0, m_recloseAt = 0; // s
    double m_segmentStart = 0;             // the last switching's instant, s
    long m_stepsInSegment = 0;
    bool m_outOfStep = false;
    // The step's working vectors, kept to spare the allocations.
    Eigen::VectorXd m_magnitude, m_delta, m_speed, m_power, m_scratchDelta, m_scratchSpeed;
    Eigen::VectorXd m_k[4][2];
    Eigen::VectorXcd m_emf, m_current;
};

struct RunOutcome {
    bool stable = false;
    std::vector<SwingState> states; // every step, when asked for
};
RunOutcome simulate(const ClassicalModel &model, const FaultSpec &fault, bool keepStates);

} // namespace multimachine
