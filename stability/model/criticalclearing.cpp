#include "criticalclearing.h"

#include "faultrun.h"

namespace {

// How many steps of a run see the fault with this clearing time: those whose clock, a
// running sum of 3 ms steps, is at or before it.
int faultSteps(std::int32_t clearingMs) {
    int steps = 0;
    for (double clock = 0; clock < EindTijd && TMyGenerator::FaultOn(clock, clearingMs);
         clock = clock + StapTijd)
        ++steps;
    return steps;
}

} // namespace

CriticalClearing findCriticalClearingTime(const TGenParams &params, std::int32_t limitMs) {
    CriticalClearing result;
    // The clearing time reaches a run only through which steps see the fault, and that
    // changes every 3 ms: clearing times between two step clocks give the same run to
    // the last digit, so one run answers for all of them.
    int ranWithFaultSteps = -1;
    for (std::int32_t ms = 0; ms <= limitMs; ++ms) {
        const int steps = faultSteps(ms);
        if (steps == ranWithFaultSteps) continue;
        ranWithFaultSteps = steps;
        if (simulateFault(params, ms).end == RunEnd::OutOfStep) {
            result.kind =
                ms == 0 ? CriticalClearing::Kind::NeverInStep : CriticalClearing::Kind::Limit;
            result.lastInStepMs = ms - 1;
            return result;
        }
    }
    result.kind = CriticalClearing::Kind::AlwaysInStep;
    result.lastInStepMs = limitMs;
    return result;
}
