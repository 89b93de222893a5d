// Dravex: the simulation's critical clearing time, for the defaults, for machine data
// that stay in step at every clearing time (the longest search: every run goes to 10 s),
// and on the other networks, reclosing included; and reading a scenario file.
#include "criticalclearing.h"
#include "scenariofile.h"

#include <benchmark/benchmark.h>

namespace {

void FindCritical(benchmark::State &state) {
    TGenParams params;
    params.Pmech = state.range(0) / 100.0;
    for (auto _ : state) benchmark::DoNotOptimize(findCriticalClearingTime(params).lastInStepMs);
}
BENCHMARK(FindCritical)->Arg(50)->Arg(20)->ArgName("Pmech_percent")->Unit(benchmark::kMillisecond);

// 0: two lines; 1: two lines, reclosing onto a cleared fault after 300 ms; 2: onto a
// permanent one; 3: a permanent reclose that every run survives (each of the ~500
// clearing times a run of its own to 10 s: the longest search there is).
void FindCriticalOnScenario(benchmark::State &state) {
    TGenParams params;
    FaultScenario s;
    s.network = Network::TwoLines;
    if (state.range(0) >= 1) s.recloseMs = 300;
    if (state.range(0) >= 2) s.recloseOnto = RecloseOnto::Permanent;
    if (state.range(0) == 3) {
        params.Pmech = 0.2;
        s.recloseMs = 7;
    }
    for (auto _ : state) benchmark::DoNotOptimize(findCriticalClearingTime(params, s).lastInStepMs);
}
BENCHMARK(FindCriticalOnScenario)->DenseRange(0, 3)->ArgName("case")->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// Reading an exercise: the example of reclosing onto a permanent fault, from disk.
void ReadScenarioFile(benchmark::State &state) {
    const QString path = QStringLiteral(EXAMPLES_DIR "/reclose-permanent.dravex");
    for (auto _ : state) {
        const ScenarioFileResult read = readScenarioFile(path);
        if (!read.ok) state.SkipWithError("the example was refused");
        benchmark::DoNotOptimize(read.value.clearingMs);
    }
}
BENCHMARK(ReadScenarioFile)->Unit(benchmark::kMicrosecond);

} // namespace
