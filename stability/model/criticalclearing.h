#pragma once

#include "mygenerator.h"

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
// 0 ms up, with the same steps, damping and out-of-step rule as a run on the screen,
// until one falls out of step.
CriticalClearing findCriticalClearingTime(const TGenParams &params, std::int32_t limitMs = 500);
