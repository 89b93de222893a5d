#include "criticalclearing.h"

#include "faultrun.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

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
    // The clearing time reaches a run only through which steps see the fault, and that
    // changes every 3 ms: clearing times between two step clocks give the same run to
    // the last digit, so one run, with the first of them, answers for all of them.
    std::vector<std::int32_t> firsts;
    int lastSteps = -1;
    for (std::int32_t ms = 0; ms <= limitMs; ++ms) {
        const int steps = faultSteps(ms);
        if (steps != lastSteps) firsts.push_back(ms);
        lastSteps = steps;
    }

    // The runs are independent: the machine's cores share them, and none starts one
    // beyond the first found out of step.
    const std::size_t none = firsts.size();
    std::atomic<std::size_t> firstOut{none};
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < firsts.size() && i < firstOut; i = next++) {
            if (simulateFault(params, firsts[i]).end != RunEnd::OutOfStep) continue;
            std::size_t seen = firstOut;
            while (i < seen && !firstOut.compare_exchange_weak(seen, i)) {
            }
        }
    };
    const unsigned helpers = std::min(3u, std::max(1u, std::thread::hardware_concurrency()) - 1);
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < helpers; ++t) threads.emplace_back(work);
    work();
    for (std::thread &t : threads) t.join();

    CriticalClearing result;
    if (firstOut == none) {
        result.kind = CriticalClearing::Kind::AlwaysInStep;
        result.lastInStepMs = limitMs;
    } else {
        const std::int32_t ms = firsts[firstOut];
        result.kind = ms == 0 ? CriticalClearing::Kind::NeverInStep : CriticalClearing::Kind::Limit;
        result.lastInStepMs = ms - 1;
    }
    return result;
}
