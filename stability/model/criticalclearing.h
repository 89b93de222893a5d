#pragma once

#include "mygenerator.h"
#include "scenario.h"

#include <atomic>
#include <cstdint>

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
};

// Runs a fault from a fresh generator built from `params` for each clearing time from
// 0 ms up, on the scenario's network with its reclosing, with the same steps, damping
// and out-of-step rule as a run on the screen, until one falls out of step. A search
// whose `cancel` is set gives up between runs; its result then means nothing.
CriticalClearing findCriticalClearingTime(const TGenParams &params,
                                          const FaultScenario &scenario = {},
                                          std::int32_t limitMs = 500,
                                          const std::atomic<bool> *cancel = nullptr);
