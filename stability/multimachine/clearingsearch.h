#pragma once

#include "classicalmodel.h"
#include "equivalentmachine.h"

#include <optional>
#include <vector>

namespace multimachine {

// The simulation's critical clearing time for a fault, in whole ms up to 2000: the
// longest clearing time the machines stay in step for, and the shortest they do not.
struct ClearingSearchResult {
    enum class Kind { Found, StableThroughout, UnstableAtOnce };
    Kind kind = Kind::Found;
    int inStepUpToMs = 0;
    int outOfStepFromMs = 0;
};
ClearingSearchResult searchCriticalClearing(const ClassicalModel &model, const FaultSpec &fault);

// A fault at each end of each branch, cleared by opening that branch.
struct ScreeningRow {
    BranchId line;
    int faultBus = 0;
    ClearingSearchResult simulation;
    EquivalentResult equivalent;
};
std::vector<ScreeningRow> screenLines(const Grid &grid, const LoadFlowResult &flow);

} // namespace multimachine
