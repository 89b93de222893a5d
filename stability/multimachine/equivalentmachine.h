#pragma once

#include "classicalmodel.h"

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
    bool found = false;
    std::vector<int> criticalMachines; // bus numbers of the cluster
    std::vector<int> otherMachines;
    double inertia = 0;         // M, pu s^2/rad
    double mechanicalPower = 0; // Pm of the equivalent, pu
    EquivalentCurve preFault, faulted, postFault;
    double delta0 = 0;             // rad
    double criticalAngle = 0;      // rad, by equal areas
    double unstableAngle = 0;      // rad, pi - ... on the post-fault curve
    double criticalClearingMs = 0; // along the faulted curve
    std::string problem;           // why no critical angle exists, when not found
};

// The cluster (machines ordered by acceleration at the fault's start, the first k of
// them, k = 1 ... n-1) with the smallest critical clearing time, and its equivalent.
EquivalentResult equivalentMachine(const ClassicalModel &model, const FaultSpec &fault);

// The equivalent for a given cluster, and the equivalent's angle and speed at a state
// of a full run (for the power-angle plot along the actual trajectory).
EquivalentResult equivalentFor(const ClassicalModel &model, const std::vector<int> &clusterIndices);
double equivalentAngle(const ClassicalModel &model, const std::vector<int> &clusterIndices,
                       const std::vector<double> &delta);

} // namespace multimachine
