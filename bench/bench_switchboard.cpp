// The switchboard's machine without a window: two minutes of simulated time in 1 ms
// steps, as `selmex --simulate` runs them, and the heap allocations a step makes; and ten
// minutes of an island with both sets on the bus.
#include "allocations.h"
#include "switchboard.h"

#include <benchmark/benchmark.h>

namespace {

// The automatic synchroniser from a far start: pulses, a close, the swing after contact
// and the result, so that every branch of the step runs.
SwitchboardSettings farStart() {
    SwitchboardSettings s;
    s.frequency = 45;
    s.voltage = 250;
    s.mode = SwitchboardMode::Automatic;
    return s;
}

void Simulate120s(benchmark::State &state) {
    std::size_t allocations = 0, steps = 0;
    for (auto _ : state) {
        Switchboard board(farStart());
        const std::size_t before = allocationCount();
        board.runUntil(120000);
        allocations += allocationCount() - before;
        steps += std::size_t(board.timeMs());
        benchmark::DoNotOptimize(board.powerPu());
    }
    state.counters["allocs/step"] = double(allocations) / double(steps);
}
BENCHMARK(Simulate120s)->Unit(benchmark::kMillisecond);

// The automatic synchroniser brings set 2 onto the island, which rides two load steps
// with both sets on the bus: the target is under 50 ms.
void SimulateIsland600s(benchmark::State &state) {
    SwitchboardSettings s = farStart();
    s.bus = BusKind::Island;
    s.load.steps = {{120000, 90, 60}, {300000, 60, 45}};
    for (auto _ : state) {
        Switchboard board(s);
        board.runUntil(600000);
        benchmark::DoNotOptimize(board.set(2).pKw);
    }
}
BENCHMARK(SimulateIsland600s)->Unit(benchmark::kMillisecond);

} // namespace
