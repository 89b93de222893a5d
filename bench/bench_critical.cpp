// Dravex: Tools > Find critical clearing time, for the defaults and for machine data that
// stay in step at every clearing time (the longest search: every run goes to 10 s).
#include "criticalclearing.h"

#include <benchmark/benchmark.h>

namespace {

void FindCritical(benchmark::State &state) {
    TGenParams params;
    params.Pmech = state.range(0) / 100.0;
    for (auto _ : state) benchmark::DoNotOptimize(findCriticalClearingTime(params).lastInStepMs);
}
BENCHMARK(FindCritical)->Arg(50)->Arg(20)->ArgName("Pmech_percent")->Unit(benchmark::kMillisecond);

} // namespace
