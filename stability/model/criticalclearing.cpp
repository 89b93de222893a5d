#include "criticalclearing.h"

#include "faultrun.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

// The network a run sees at each step with this clearing time: the steps whose clock,
// a running sum of 3 ms steps, lies at or before each of its boundaries (clearing,
// reclosing, the second clearing). Runs with the same counts step the same network.
struct Boundaries {
    int counts[3] = {0, 0, 0};
    bool operator!=(const Boundaries &o) const {
        return counts[0] != o.counts[0] || counts[1] != o.counts[1] || counts[2] != o.counts[2];
    }
};

Boundaries boundariesOf(const std::vector<double> &clocks, const FaultScenario &scenario,
                        std::int32_t clearingMs) {
    const std::int64_t ms[3] = {clearingMs, std::int64_t{clearingMs} + scenario.recloseMs,
                                2 * std::int64_t{clearingMs} + scenario.recloseMs};
    Boundaries b;
    const int parts = scenario.recloses() ? 3 : 1;
    for (int k = 0; k < parts; ++k) {
        int steps = 0;
        while (steps < static_cast<int>(clocks.size()) &&
               TMyGenerator::FaultOn(clocks[static_cast<std::size_t>(steps)],
                                     static_cast<std::int32_t>(ms[k])))
            ++steps;
        b.counts[k] = steps;
    }
    return b;
}

} // namespace

CriticalClearing findCriticalClearingTime(const TGenParams &params, const FaultScenario &scenario,
                                          std::int32_t limitMs, const std::atomic<bool> *cancel) {
    std::vector<double> clocks;
    for (double clock = 0; clock < EindTijd; clock = clock + StapTijd) clocks.push_back(clock);
    // The clearing time reaches a run only through which steps see which network, and
    // that changes every 3 ms or so: clearing times between two step clocks give the
    // same run to the last digit, so one run, with the first of them, answers for all.
    std::vector<std::int32_t> firsts;
    Boundaries last;
    for (std::int32_t ms = 0; ms <= limitMs; ++ms) {
        const Boundaries b = boundariesOf(clocks, scenario, ms);
        if (firsts.empty() || b != last) firsts.push_back(ms);
        last = b;
    }
    const auto cancelled = [cancel] { return cancel && cancel->load(); };

    // The runs are independent: the machine's cores share them, and none starts one
    // beyond the first found out of step.
    const std::size_t none = firsts.size();
    std::atomic<std::size_t> firstOut{none};
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < firsts.size() && i < firstOut && !cancelled();
             i = next++) {
            if (simulateFault(params, firsts[i], scenario).end != RunEnd::OutOfStep) continue;
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
