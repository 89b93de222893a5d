// Selmex: one timer tick (six phasors erased and redrawn, the synchroscope aid, the
// phase-angle read-out every third tick), and one with the synchronising panel open
// and painted.
#include "allocations.h"
#include "synchronisingpanel.h"
#include "uselmora.h"

#include <benchmark/benchmark.h>
#include <QTimer>

namespace {

void Tick(benchmark::State &state) {
    // A clock that moves on a millisecond at each reading, as the random start needs.
    std::uint32_t now = 43200000;
    TForm1 f([&now] { return now++; });
    f.Timer1->stop();
    f.Timer1Timer(); // the first tick draws the arrows for the first time
    std::size_t allocations = 0;
    for (auto _ : state) {
        const std::size_t before = allocationCount();
        f.Timer1Timer();
        allocations += allocationCount() - before;
    }
    state.counters["allocs/tick"] =
        benchmark::Counter(double(allocations), benchmark::Counter::kAvgIterations);
}
BENCHMARK(Tick)->Unit(benchmark::kMicrosecond);

void TickWithPanel(benchmark::State &state) {
    std::uint32_t now = 43200000;
    TForm1 f([&now] { return now++; });
    f.Timer1->stop();
    f.SynchroPanel1Click();
    SynchronisingPanel &panel = *f.synchronisingPanel();
    f.Timer1Timer();
    for (auto _ : state) {
        f.Timer1Timer();
        panel.repaint(); // the dial, lamps and read-outs, at once rather than when idle
    }
}
BENCHMARK(TickWithPanel)->Unit(benchmark::kMicrosecond);

} // namespace
