#include "clearingsearch.h"

#include "swingrun.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

namespace multimachine {

ClearingSearchResult searchCriticalClearing(const ClassicalModel &model, const FaultSpec &fault) {
    // The fault on to the longest clearing time, stepped once: a run clearing at t goes on
    // from the state of the last whole step at or before t, just as a run of its own would.
    FaultSpec longest = fault;
    longest.clearMs = LongestClearingMs;
    std::vector<SwingRun> faulted{SwingRun(model, longest)};
    while (faulted.back().state().time < LongestClearingMs / 1000.0 &&
           !faulted.back().outOfStep()) {
        SwingRun next = faulted.back();
        next.step();
        faulted.push_back(std::move(next));
    }
    const auto inStep = [&](int ms) {
        const double at = ms / 1000.0 + 1e-9;
        std::size_t k = std::min(
            faulted.size() - 1, static_cast<std::size_t>(std::floor(at / SwingRun::stepSeconds())));
        while (k > 0 && faulted[k].state().time > at) --k;
        if (faulted[k].outOfStep()) return false;
        SwingRun run = faulted[k].clearedAt(ms);
        while (!run.finished()) run.step();
        return !run.outOfStep();
    };

    ClearingSearchResult result;
    if (!inStep(0)) {
        result.kind = ClearingSearchResult::Kind::UnstableAtOnce;
        result.inStepUpToMs = -1;
        result.outOfStepFromMs = 0;
        return result;
    }
    if (inStep(LongestClearingMs)) {
        result.kind = ClearingSearchResult::Kind::StableThroughout;
        result.inStepUpToMs = LongestClearingMs;
        result.outOfStepFromMs = LongestClearingMs + 1;
        return result;
    }
    int low = 0, high = LongestClearingMs;
    while (high - low > 1) {
        const int mid = (low + high) / 2;
        (inStep(mid) ? low : high) = mid;
    }
    result.inStepUpToMs = low;
    result.outOfStepFromMs = high;
    return result;
}

ScreeningRow screenFault(const Grid &grid, const LoadFlowResult &flow, const BranchId &line,
                         int faultBus) {
    ScreeningRow row;
    row.line = line;
    row.faultBus = faultBus;
    FaultSpec fault;
    fault.bus = faultBus;
    fault.openLine = line;
    // A unit's own transformer: opening it trips the machine, which no clearing time can
    // keep in step; the row says so rather than "out of step at once".
    if (const std::vector<int> cut = machinesCutOffBy(grid, line); !cut.empty()) {
        row.problem = "opening line " + branchName(line) + " cuts off machine";
        for (std::size_t k = 0; k < cut.size(); ++k)
            row.problem += (k ? ", " : " ") + std::to_string(cut[k]);
        return row;
    }
    const ClassicalModelResult built = buildClassicalModel(grid, flow, fault);
    if (!built.problem.empty()) {
        row.problem = built.problem;
        return row;
    }
    row.simulation = searchCriticalClearing(built.model, fault);
    row.equivalent = equivalentMachine(built.model, fault);
    return row;
}

std::vector<ScreeningRow> screenLines(const Grid &grid, const LoadFlowResult &flow,
                                      unsigned threads) {
    std::vector<ScreeningRow> rows;
    for (const Branch &b : grid.branches) {
        for (int end : {b.from, b.to}) {
            ScreeningRow row;
            row.line = BranchId{b.from, b.to, b.circuit};
            row.faultBus = end;
            rows.push_back(row);
        }
    }
    // The faults are independent: the cores share them.
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < rows.size(); i = next++) {
            rows[i] = screenFault(grid, flow, rows[i].line, rows[i].faultBus);
        }
    };
    if (threads == 0) threads = std::clamp(std::thread::hardware_concurrency(), 1u, 2u);
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(work);
    work();
    for (std::thread &t : helpers) t.join();
    return rows;
}

} // namespace multimachine
