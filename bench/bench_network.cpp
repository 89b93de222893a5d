// Dravex with many machines: the simulation's critical clearing time of the 9-bus
// system's fault (load flow and classical model included, as the command line does), and
// the screening of every line of the 39-bus system on two threads.
#include "classicalmodel.h"
#include "clearingsearch.h"
#include "networkfile.h"

#include <benchmark/benchmark.h>

namespace {

multimachine::Grid exampleGrid(const char *name) {
    const NetworkFileResult read =
        readNetworkFile(QStringLiteral(EXAMPLES_DIR "/networks/") + QString::fromLatin1(name));
    if (!read.ok) qFatal("%s", qPrintable(read.error));
    return read.grid;
}

void NetworkCriticalClearing(benchmark::State &state) {
    const multimachine::Grid grid = exampleGrid("wscc-9bus.dravex-network");
    for (auto _ : state) {
        const multimachine::LoadFlowResult flow = multimachine::solveLoadFlow(grid);
        const multimachine::ClassicalModelResult built = buildClassicalModel(grid, flow);
        benchmark::DoNotOptimize(searchCriticalClearing(built.model, grid.fault).inStepUpToMs);
        benchmark::DoNotOptimize(equivalentMachine(built.model, grid.fault).criticalClearingMs);
    }
}
BENCHMARK(NetworkCriticalClearing)->Unit(benchmark::kMillisecond)->UseRealTime();

void ScreenLines(benchmark::State &state) {
    const multimachine::Grid grid = exampleGrid("new-england-39bus.dravex-network");
    for (auto _ : state) {
        const multimachine::LoadFlowResult flow = multimachine::solveLoadFlow(grid);
        benchmark::DoNotOptimize(screenLines(grid, flow, 2).size());
    }
}
BENCHMARK(ScreenLines)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
