#include "criticalclearing.h"

#include "faultrun.h"
#include "stabilityboundary.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <thread>
#include <vector>

namespace {

// The clocks of a run's steps: a running sum of 3 ms steps below 10 s, as FaultRun adds
// them.
const std::vector<double> &runClocks() {
    static const std::vector<double> clocks = [] {
        std::vector<double> c;
        for (double clock = 0; clock < EindTijd; clock = clock + StapTijd) c.push_back(clock);
        return c;
    }();
    return clocks;
}

// The number of steps whose clock lies at or before `ms`, the way a network boundary
// holds while ms / 1000 >= clock.
std::size_t stepsUpTo(std::int64_t ms) {
    const std::vector<double> &clocks = runClocks();
    const long double at = static_cast<long double>(ms) / 1000.0L;
    return static_cast<std::size_t>(
        std::partition_point(clocks.begin(), clocks.end(), [at](double c) { return at >= c; }) -
        clocks.begin());
}

// Steps the generator on from the step `from` with the run's network, as FaultRun::step
// does, and says whether it stays in step. From the step `finalFrom` on the network is
// the final one, and the run ends as soon as the machine is sure to stay in step.
bool stepsStayInStep(TMyGenerator g, std::size_t from, const NetworkSchedule &network,
                     std::size_t finalFrom, const InStepCertainty &sure) {
    const std::vector<double> &clocks = runClocks();
    for (std::size_t i = from; i < clocks.size(); ++i) {
        const NetworkAtStep n = network.at(clocks[i]);
        g.BerekenPelek(n.factor);
        g.BerekenDomega(StapTijd);
        g.BerekenDelta(StapTijd);
        if (!(g.Delta <= UitDePasHoek)) return false;
        // Checked every eighth step: the energy needs a cosine.
        if (i + 1 >= finalFrom && (i & 7) == 0 && sure.certain(g.Delta, g.Domega)) return true;
    }
    return true;
}

// The generator a run starts with: the data's equilibrium, with a power step's P1.
TMyGenerator startingGenerator(const TGenParams &params, const FaultScenario &scenario) {
    TMyGenerator g(params);
    g.Pmech = scenario.mechanicalPower(g.Pmech);
    return g;
}

// The first of `count` candidates, tried in order, for which `inStep` is false; `count`
// when none is. The candidates are independent: the cores share them, and none starts
// one beyond the first found out of step.
std::size_t firstOutOfStep(std::size_t count, const std::function<bool(std::size_t)> &inStep,
                           const std::atomic<bool> *cancel, unsigned threads) {
    const auto cancelled = [cancel] { return cancel && cancel->load(); };
    std::atomic<std::size_t> firstOut{count};
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < count && i < firstOut && !cancelled(); i = next++) {
            if (inStep(i)) continue;
            std::size_t seen = firstOut;
            while (i < seen && !firstOut.compare_exchange_weak(seen, i)) {
            }
        }
    };
    if (threads == 0) threads = std::min(4u, std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(work);
    work();
    for (std::thread &t : helpers) t.join();
    return firstOut;
}

} // namespace

bool staysInStep(const TGenParams &params, std::int32_t clearingMs, const FaultScenario &scenario) {
    return stepsStayInStep(
        startingGenerator(params, scenario), 0, NetworkSchedule(scenario, clearingMs),
        stepsUpTo(scenario.lastSwitchingMs(clearingMs)), InStepCertainty(params, scenario));
}

CriticalClearing findCriticalClearingTime(const TGenParams &params, const FaultScenario &scenario,
                                          std::int32_t limitMs, const std::atomic<bool> *cancel,
                                          unsigned threads) {
    // The clearing time reaches a run only through which steps see which network, and
    // that changes every 3 ms or so: clearing times between two step clocks give the
    // same run to the last digit, so one run, with the first of them, answers for all.
    struct Candidate {
        std::int32_t ms;
        std::size_t counts[3];
    };
    std::vector<Candidate> candidates;
    for (std::int32_t ms = 0; ms <= limitMs; ++ms) {
        Candidate c{ms, {stepsUpTo(ms), 0, 0}};
        if (scenario.recloses()) {
            c.counts[1] = stepsUpTo(std::int64_t{ms} + scenario.recloseMs);
            c.counts[2] = stepsUpTo(2 * std::int64_t{ms} + scenario.recloseMs);
        }
        if (candidates.empty() || !std::equal(c.counts, c.counts + 3, candidates.back().counts))
            candidates.push_back(c);
    }

    // Every run steps the same faulted network up to its clearing: that part is stepped
    // once, and each run goes on from the state its clearing finds.
    const TMyGenerator fresh = startingGenerator(params, scenario);
    const std::size_t faultSteps = candidates.back().counts[0];
    std::vector<std::pair<double, double>> faulted{{fresh.Delta, fresh.Domega}};
    std::size_t slipsAt = faultSteps + 1; // the faulted step that passes four turns
    {
        TMyGenerator g = fresh;
        const double r1 = scenario.r1();
        for (std::size_t i = 0; i < faultSteps; ++i) {
            g.BerekenPelek(r1);
            g.BerekenDomega(StapTijd);
            g.BerekenDelta(StapTijd);
            faulted.emplace_back(g.Delta, g.Domega);
            if (!(g.Delta <= UitDePasHoek)) {
                slipsAt = i;
                break;
            }
        }
    }
    const InStepCertainty sure(params, scenario);
    const auto inStep = [&](std::size_t k) {
        const Candidate &c = candidates[k];
        if (c.counts[0] > slipsAt) return false;
        TMyGenerator g = fresh;
        g.Delta = faulted[c.counts[0]].first;
        g.Domega = faulted[c.counts[0]].second;
        return stepsStayInStep(g, c.counts[0], NetworkSchedule(scenario, c.ms),
                               stepsUpTo(scenario.lastSwitchingMs(c.ms)), sure);
    };
    const std::size_t firstOut = firstOutOfStep(candidates.size(), inStep, cancel, threads);

    CriticalClearing result;
    result.limitMs = limitMs;
    if (firstOut == candidates.size()) {
        result.kind = CriticalClearing::Kind::AlwaysInStep;
        result.lastInStepMs = limitMs;
    } else {
        const std::int32_t ms = candidates[firstOut].ms;
        result.kind = ms == 0 ? CriticalClearing::Kind::NeverInStep : CriticalClearing::Kind::Limit;
        result.lastInStepMs = ms - 1;
    }
    return result;
}

void setSearchedPmech(TGenParams &params, FaultScenario &scenario, int thousandths) {
    const double p = thousandths / 1000.0;
    if (scenario.network == Network::PowerStep)
        scenario.pmechAfter = p;
    else
        params.Pmech = p;
}

LargestStablePmech findLargestStablePmech(const TGenParams &params, const FaultScenario &scenario,
                                          const std::atomic<bool> *cancel, unsigned threads) {
    LargestStablePmech result;
    result.powerStep = scenario.network == Network::PowerStep;
    // A step starts from the data's Pmech; a line out tries every Pmech from 0.
    result.firstTried =
        result.powerStep ? static_cast<int>(std::ceil(params.Pmech * 1000 - 1e-9)) : 0;
    const int count = 1000 - result.firstTried + 1;
    const auto inStep = [&](std::size_t k) {
        TGenParams p = params;
        FaultScenario s = scenario;
        setSearchedPmech(p, s, result.firstTried + static_cast<int>(k));
        return staysInStep(p, 0, s);
    };
    const std::size_t firstOut =
        firstOutOfStep(static_cast<std::size_t>(count), inStep, cancel, threads);
    if (firstOut == static_cast<std::size_t>(count)) {
        result.kind = LargestStablePmech::Kind::AlwaysInStep;
        result.lastInStep = 1000;
    } else {
        result.kind =
            firstOut == 0 ? LargestStablePmech::Kind::NeverInStep : LargestStablePmech::Kind::Limit;
        result.lastInStep = result.firstTried + static_cast<int>(firstOut) - 1;
    }
    return result;
}

CriticalClearing findSimulationLimit(const TGenParams &params, const FaultScenario &scenario,
                                     std::int32_t limitMs, const std::atomic<bool> *cancel) {
    if (scenario.hasFault()) return findCriticalClearingTime(params, scenario, limitMs, cancel);
    CriticalClearing found;
    found.largestPmech = findLargestStablePmech(params, scenario, cancel);
    return found;
}
