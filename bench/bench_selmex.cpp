// Selmex: one timer tick (six phasors erased and redrawn, the synchroscope aid, the
// phase-angle read-out every third tick), one with the synchronising panel open and
// painted, and the share of a core the shown window takes while it animates; the
// switchboard's whole window painted, and its share of a core while it runs.
#include "allocations.h"
#include "layoutzoom.h"
#include "switchboardwindow.h"
#include "synchronisingpanel.h"
#include "uselmora.h"
#include "viewzoom.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>

namespace {

// The window zoomed to `percent` on a screen that holds it.
void zoomTo(TForm1 &f, int percent) {
    f.viewZoom()->availableArea = [] { return QSize(4000, 3000); };
    f.viewZoom()->zoomTo(percent);
}

// The window's timer, stopped: the benchmark delivers the ticks.
void stopTimer(TForm1 &f) {
    f.findChild<QTimer *>(QStringLiteral("Timer1"))->stop();
}

void Tick(benchmark::State &state) {
    // A clock that moves on a millisecond at each reading, as the random start needs.
    std::uint32_t now = 43200000;
    TForm1 f([&now] { return now++; });
    stopTimer(f);
    zoomTo(f, int(state.range(0)));
    f.tick(); // the first tick draws the arrows for the first time
    std::size_t allocations = 0;
    for (auto _ : state) {
        const std::size_t before = allocationCount();
        f.tick();
        allocations += allocationCount() - before;
    }
    state.counters["allocs/tick"] =
        benchmark::Counter(double(allocations), benchmark::Counter::kAvgIterations);
}
BENCHMARK(Tick)->Arg(100)->Arg(200)->ArgName("zoom")->Unit(benchmark::kMicrosecond);

// A change of zoom: layout, window, pictures and phasors, 100 % and 200 % in turn.
void ZoomChange(benchmark::State &state) {
    std::uint32_t now = 43200000;
    TForm1 f([&now] { return now++; });
    stopTimer(f);
    f.tick();
    int percent = 100;
    for (auto _ : state) {
        percent = percent == 100 ? 200 : 100;
        zoomTo(f, percent);
        f.repaint();
    }
}
BENCHMARK(ZoomChange)->Unit(benchmark::kMillisecond);

void TickWithPanel(benchmark::State &state) {
    std::uint32_t now = 43200000;
    TForm1 f([&now] { return now++; });
    stopTimer(f);
    f.findChild<QAction *>(QStringLiteral("SynchroPanel1"))->trigger();
    SynchronisingPanel &panel = *f.synchronisingPanel();
    f.tick();
    for (auto _ : state) {
        f.tick();
        panel.repaint(); // the dial, lamps and read-outs, at once rather than when idle
    }
}
BENCHMARK(TickWithPanel)->Unit(benchmark::kMicrosecond);

// The process's CPU time, all threads, in seconds.
double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Half a second for the first paints, then each iteration five seconds of wall time in the
// event loop, whatever timers run there: the counter `cpu_percent` is the process's CPU
// time over that wall time, in percent of one core.
void countCpuPercent(benchmark::State &state) {
    QEventLoop loop;
    QTimer::singleShot(500, &loop, &QEventLoop::quit); // the first paints out of the way
    loop.exec();
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double cpuBefore = processCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        cpu += processCpuSeconds() - cpuBefore;
        wall +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    }
    state.counters["cpu_percent"] = 100 * cpu / wall;
}

// The window shown and animating as it does in a lecture with nobody at the controls:
// its own timer turns the phasors in the event loop for five seconds of wall time. The
// counter is the process's CPU time over that wall time, in percent of one core.
void Animating(benchmark::State &state) {
    std::uint32_t now = 43200000;
    TForm1 f([&now] { return now++; });
    f.show();
    countCpuPercent(state);
}
BENCHMARK(Animating)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// The switchboard in automatic mode, the needle turning and the synchroniser pulsing.
SwitchboardSettings turningBoard() {
    SwitchboardSettings s;
    s.frequency = 49.5;
    s.lamps = LampMethod::Rotating;
    s.mode = SwitchboardMode::Automatic;
    return s;
}

// The switchboard's whole window painted at once, as after a zoom or when it is
// uncovered, at 100 % and 200 % (the window and its drawings twice as large).
void SwitchboardPaint(benchmark::State &state) {
    std::uint32_t now = 43200000;
    TForm1 f([&now] { return now++; });
    stopTimer(f);
    zoomTo(f, int(state.range(0)));
    f.openSwitchboard(turningBoard());
    SwitchboardWindow &board = *f.switchboardWindow();
    board.resize(LayoutZoom::scaled(QSize(980, 720), f.viewZoom()->factor()));
    board.show();
    while (!board.windowHandle() || !board.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    board.frame();
    board.repaint(); // the synchroscope's dial kept for this size
    for (auto _ : state) board.repaint();
}
BENCHMARK(SwitchboardPaint)->Arg(100)->Arg(200)->ArgName("zoom")->Unit(benchmark::kMillisecond);

// The switchboard shown and running for five seconds of wall time, its timer asking for a
// frame each screen refresh, the trainer's own animation stopped: the counter is the
// process's CPU time over that wall time, in percent of one core.
void SwitchboardAnimating(benchmark::State &state) {
    std::uint32_t now = 43200000;
    TForm1 f([&now] { return now++; });
    stopTimer(f);
    f.openSwitchboard(turningBoard());
    countCpuPercent(state);
}
BENCHMARK(SwitchboardAnimating)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

} // namespace
