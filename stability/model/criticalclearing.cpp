#include "criticalclearing.h"

#include "faultrun.h"

CriticalClearing findCriticalClearingTime(const TGenParams &params, std::int32_t limitMs) {
    CriticalClearing result;
    for (std::int32_t ms = 0; ms <= limitMs; ++ms) {
        if (simulateFault(params, ms).end == RunEnd::OutOfStep) {
            result.kind = ms == 0 ? CriticalClearing::Kind::NeverInStep : CriticalClearing::Kind::Limit;
            result.lastInStepMs = ms - 1;
            return result;
        }
    }
    result.kind = CriticalClearing::Kind::AlwaysInStep;
    result.lastInStepMs = limitMs;
    return result;
}
