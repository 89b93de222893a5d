#pragma once

#include "mygenerator.h"
#include "scenario.h"

#include <atomic>
#include <cstdint>
#include <optional>

// For a power step, the largest P1 from the data's Pmech, and for a line out the largest
// Pmech, on a grid of 0.001 from below, for which the run stays in step and so does each
// below it; `lastInStep` in thousandths of Pmax.
struct LargestStablePmech {
    enum class Kind {
        Limit,        // in step up to lastInStep, out of step at the next
        AlwaysInStep, // in step up to Pmech 1
        NeverInStep,  // out of step from the first value
    };
    Kind kind = Kind::Limit;
    int lastInStep = -1;
    int firstTried = 0;     // thousandths
    bool powerStep = false; // the search was of a power step's P1, not of Pmech
};
// The simulation's own critical clearing time: the largest whole-millisecond clearing
// time, from 0 up to a limit, for which a run stays in step and so does every shorter
// one. It lies a little apart from the equal-area criterion's, which assumes no
// damping and continuous time; the run has damping and 3 ms steps.
struct CriticalClearing {
    enum class Kind {
        Limit,        // in step up to lastInStepMs, out of step at the next
        AlwaysInStep, // in step at every clearing time up to the limit
        NeverInStep,  // out of step even at 0 ms
    };
    Kind kind = Kind::Limit;
    std::int32_t lastInStepMs = -1;
    std::int32_t limitMs = 500; // how far the search went
    // A power step or a line out has no clearing time: the search found this instead.
    std::optional<LargestStablePmech> largestPmech;
};

// The clearing-time dialog's and slider's limit, and how far the searches go beyond it.
constexpr std::int32_t SearchLimitMs = 2000;

// Runs a fault from a fresh generator built from `params` for each clearing time from
// 0 ms up, on the scenario's network with its reclosing, with the same steps, damping
// and out-of-step rule as a run on the screen, until one falls out of step. A search
// whose `cancel` is set gives up between runs; its result then means nothing.
// `threads` 0 shares the runs among the machine's cores.
CriticalClearing findCriticalClearingTime(const TGenParams &params,
                                          const FaultScenario &scenario = {},
                                          std::int32_t limitMs = 500,
                                          const std::atomic<bool> *cancel = nullptr,
                                          unsigned threads = 0);

// Whether a run with this clearing time stays in step, as simulateFault says, but ended
// as soon as its verdict is certain: once, on the network after the last switching, the
// machine lies inside the stability region by a margin the steps cannot cross.
bool staysInStep(const TGenParams &params, std::int32_t clearingMs,
                 const FaultScenario &scenario = {});

LargestStablePmech findLargestStablePmech(const TGenParams &params, const FaultScenario &scenario,
                                          const std::atomic<bool> *cancel = nullptr,
                                          unsigned threads = 0);
// The case of each candidate of that search: thousandths of Pmax in.
void setSearchedPmech(TGenParams &params, FaultScenario &scenario, int thousandths);

// What the status bar's simulation line shows for the case: the critical clearing time
// of a fault, searched up to `limitMs`, or the largest stable Pmech of a disturbance
// without one.
CriticalClearing findSimulationLimit(const TGenParams &params, const FaultScenario &scenario,
                                     std::int32_t limitMs = SearchLimitMs,
                                     const std::atomic<bool> *cancel = nullptr);
