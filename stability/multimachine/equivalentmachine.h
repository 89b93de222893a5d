#pragma once

#include "classicalmodel.h"

#include <string>
#include <vector>

namespace multimachine {

// One power-angle curve of the equivalent machine: Pe(delta) = pc + pmax sin(delta - v).
struct EquivalentCurve {
    double pc = 0;
    double pmax = 0;
    double v = 0; // rad
    double at(double delta) const;
};

// The extended equal-area criterion (Xue and Pavella; "Extended Equal Area Criterion
// Revisited", Energies 14, 7259, 2021, eqs. 8-11 and appendix A): the critical cluster
// against the rest as one machine of inertia M = Mc Mn / MT, the angle offsets inside
// each group kept as they were before the fault.
struct EquivalentResult {
    enum class Kind {
        Found,            // a critical angle, reached along the faulted curve
        StableThroughout, // the faulted curve never carries the equivalent to it
        UnstableAtOnce,   // the post-fault curve cannot hold it even cleared at once
    };
    Kind kind = Kind::StableThroughout;
    bool found = false;                // kind == Found
    std::vector<int> clusterIndices;   // machine indices of the cluster, model order
    std::vector<int> criticalMachines; // bus numbers of the cluster
    std::vector<int> otherMachines;
    double inertia = 0;         // M, pu s^2/rad
    double mechanicalPower = 0; // Pm of the equivalent, pu
    EquivalentCurve preFault, faulted, postFault;
    double delta0 = 0;        // rad
    double criticalAngle = 0; // rad, by equal areas
    // rad: the post-fault curve's unstable equilibrium, pi - asin((Pm - pc) / pmax) + v
    double unstableAngle = 0;
    // Along the faulted curve; 0 when unstable at once, infinite when stable throughout.
    double criticalClearingMs = 0;
    std::string problem; // why no critical angle exists, when not found
};

// The cluster (machines ordered by acceleration at the fault's start, the first k of
// them, k = 1 ... n-1) with the smallest critical clearing time, and its equivalent, for
// the model's fault (the model's faulted and cleared matrices; reclosing is left out).
EquivalentResult equivalentMachine(const ClassicalModel &model, const FaultSpec &fault);

// The equivalent for a given cluster, and the equivalent's angle at a state of a full
// run (for the power-angle plot along the actual trajectory): delta_C - delta_N from the
// two groups' centres of angle.
EquivalentResult equivalentFor(const ClassicalModel &model, const std::vector<int> &clusterIndices);
double equivalentAngle(const ClassicalModel &model, const std::vector<int> &clusterIndices,
                       const std::vector<double> &delta);
// The same difference of centres for the speeds gives the equivalent's speed, rad/s.
inline double equivalentSpeed(const ClassicalModel &model, const std::vector<int> &clusterIndices,
                              const std::vector<double> &speed) {
    return equivalentAngle(model, clusterIndices, speed);
}
// The equivalent's power from every machine's: (Mn sum_C P - Mc sum_N P) / MT, for the
// electrical power of a state along the actual trajectory.
double equivalentPower(const ClassicalModel &model, const std::vector<int> &clusterIndices,
                       const std::vector<double> &power);

} // namespace multimachine
