#pragma once

#include "classicalmodel.h"
#include "equivalentmachine.h"

#include <string>
#include <vector>

namespace multimachine {

constexpr int LongestClearingMs = 2000;

// The simulation's critical clearing time for a fault, in whole ms up to 2000: the
// longest clearing time the machines stay in step for, and the shortest they do not,
// found by halving the interval between a clearing time in step and one out of step
// (as the stability margin falls with the clearing time). The faulted part of the runs
// is stepped once; each clearing time goes on from the state its clearing finds, and a
// run ends as soon as it falls out of step. The fault's place, reclosing and opened line
// are the model's; its clearMs is what the search varies.
struct ClearingSearchResult {
    enum class Kind { Found, StableThroughout, UnstableAtOnce };
    Kind kind = Kind::Found;
    int inStepUpToMs = 0;    // -1 when unstable at once
    int outOfStepFromMs = 0; // LongestClearingMs + 1 when stable throughout
};
ClearingSearchResult searchCriticalClearing(const ClassicalModel &model, const FaultSpec &fault);

// A fault at each end of each branch, cleared by opening that branch: one row each, in
// the grid's branch order, the first bus's row first.
struct ScreeningRow {
    BranchId line;
    int faultBus = 0;
    ClearingSearchResult simulation;
    EquivalentResult equivalent;
    std::string problem; // when this fault's model could not be built
};
// `threads` 0: as many as the machine has cores, at most 2.
// One row: the fault at `faultBus`, an end of `line`, cleared by opening `line`.
ScreeningRow screenFault(const Grid &grid, const LoadFlowResult &flow, const BranchId &line,
                         int faultBus);
std::vector<ScreeningRow> screenLines(const Grid &grid, const LoadFlowResult &flow,
                                      unsigned threads = 0);

} // namespace multimachine
