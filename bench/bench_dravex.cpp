// Dravex: one step of the swing equation alone, a whole fault run of the engine alone,
// and whole fault runs of the window as fast as the machine goes, with and without the
// drawings, and with the swing curves' window open.
#include "allocations.h"
#include "dravon2.h"
#include "faultrun.h"
#include "viewzoom.h"

#include <benchmark/benchmark.h>
#include <QAction>
#include <QPushButton>

namespace {

class Silent : public AlertSound {
    void play() override {}
};

void ModelStep(benchmark::State &state) {
    TMyGenerator g{TGenParams{}};
    double clock = 0;
    std::size_t allocations = 0;
    for (auto _ : state) {
        const std::size_t before = allocationCount();
        g.BerekenPelek(clock, DefaultAfschakeltijd);
        g.BerekenDomega(StapTijd);
        g.BerekenDelta(StapTijd);
        allocations += allocationCount() - before;
        benchmark::DoNotOptimize(g.Delta);
        clock = clock < EindTijd ? clock + StapTijd : 0;
    }
    state.counters["allocs/step"] =
        benchmark::Counter(double(allocations), benchmark::Counter::kAvgIterations);
}
BENCHMARK(ModelStep);

// A whole default run of the engine alone, without any window: 3334 steps from a fresh
// generator, as a search over clearing times makes them.
void EngineRun(benchmark::State &state) {
    std::size_t allocations = 0;
    for (auto _ : state) {
        const std::size_t before = allocationCount();
        const RunOutcome outcome = simulateFault(TGenParams{}, DefaultAfschakeltijd);
        allocations += allocationCount() - before;
        benchmark::DoNotOptimize(outcome.steps);
    }
    state.SetItemsProcessed(state.iterations() * 3334); // items: steps
    state.counters["allocs/run"] =
        benchmark::Counter(double(allocations), benchmark::Counter::kAvgIterations);
}
BENCHMARK(EngineRun)->Unit(benchmark::kMicrosecond);

QPushButton *shortCircuitButton(TDravon &w) {
    return w.findChild<QPushButton *>(QStringLiteral("Kortsluiting"));
}

// A whole default run of 3334 steps: every read-out, the phase-plane segment of each
// step and the redraw every fifth step, event pump included.
void fastRuns(benchmark::State &state, bool draw, bool swingCurves, int zoom = 100) {
    TDravon w;
    w.viewZoom()->availableArea = [] { return QSize(4000, 3000); };
    w.viewZoom()->zoomTo(zoom);
    w.session().setSpeed(RunSpeed::Fast);
    w.setAlertSound(std::make_unique<Silent>());
    w.plots().drawing = draw;
    w.modalRunner = [](QDialog &) { return int(QDialog::Accepted); };
    if (swingCurves) {
        // The window open and already holding as many runs as it keeps: the run under
        // measure is the fifth curve on each chart.
        w.findChild<QAction *>(QStringLiteral("SwingCurves1"))->trigger();
        for (std::size_t i = 1; i < RunHistory::Kept; ++i) shortCircuitButton(w)->click();
    }
    // Allocations in the steps after the first of each run.
    std::size_t allocations = 0, steps = 0, atFirst = 0;
    QObject::connect(&w.session(), &DravexSession::stepEnded, [&](int n) {
        if (n == 1)
            atFirst = allocationCount();
        else
            ++steps;
    });
    for (auto _ : state) {
        shortCircuitButton(w)->click();
        allocations += allocationCount() - atFirst;
    }
    state.SetItemsProcessed(state.iterations() * 3334); // items: steps
    state.counters["allocs/step"] = double(allocations) / double(steps ? steps : 1);
}

void FastRun(benchmark::State &state) {
    fastRuns(state, state.range(0) != 0, false);
}
BENCHMARK(FastRun)->Arg(1)->ArgName("drawing")->Unit(benchmark::kMillisecond);
BENCHMARK(FastRun)->Arg(0)->ArgName("drawing")->Unit(benchmark::kMillisecond);

// The same run with the window zoomed to 200 %: four times the pixels to draw.
void FastRunZoomed(benchmark::State &state) {
    fastRuns(state, true, false, 200);
}
BENCHMARK(FastRunZoomed)->Unit(benchmark::kMillisecond);

// A change of zoom after a whole run: layout, window and the three plots drawn again
// from the run's 3334 recorded steps, 100 % and 200 % in turn.
void ZoomChange(benchmark::State &state) {
    TDravon w;
    w.session().setSpeed(RunSpeed::Fast);
    w.setAlertSound(std::make_unique<Silent>());
    w.viewZoom()->availableArea = [] { return QSize(4000, 3000); };
    shortCircuitButton(w)->click();
    int percent = 100;
    for (auto _ : state) {
        percent = percent == 100 ? 200 : 100;
        w.viewZoom()->zoomTo(percent);
        w.repaint();
    }
}
BENCHMARK(ZoomChange)->Unit(benchmark::kMillisecond);

// The same run with the swing curves' window open, growing its curves as the run goes.
void FastRunSwingCurves(benchmark::State &state) {
    fastRuns(state, true, true);
}
BENCHMARK(FastRunSwingCurves)->Unit(benchmark::kMillisecond);

} // namespace
