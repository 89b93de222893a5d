// Dravex against bare Qt, as the program's speed goals are stated: its start-up against a
// bare main window's, and a whole Fast run's processor time against the bare drawing loop
// of the same steps. Each benchmark measures both sides in turn, alternating which goes
// first, and reports both and their ratio as counters. The window is reached only through
// its controls' object names.
#include "dravon2.h"
#include "drawsurface.h"
#include "fase.h"
#include "faultrun.h"
#include "oppervlakken.h"
#include "paintwatch.h"
#include "plotstate.h"
#include "rotor.h"
#include "sinusplot.h"
#include "stabilitycase.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <functional>
#include <memory>
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <QThreadPool>
#include <QTimer>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The processor time of the whole process, every thread included.
double processSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// A search for the critical clearing time that a window started on Qt's thread pool ends
// before the next measurement, and its result, posted to a window now gone, is dropped.
void settle() {
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Wall time from the start of construction until the event that first painted the window
// has been handled whole (every control painted and the picture handed to the screen);
// the window is then destroyed outside the time. False when no paint came within 10 s.
bool timeStartUp(const std::function<std::unique_ptr<QWidget>()> &make, double &wall,
                 double &processor) {
    PaintWatch watch;
    bool late = false;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&late] { late = true; });
    QCoreApplication::instance()->installEventFilter(&watch);
    const double cpu0 = processSeconds();
    const Clock::time_point t0 = Clock::now();
    std::unique_ptr<QWidget> window = make();
    window->show();
    limit.start(10000);
    while (!watch.painted && !late) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const Clock::time_point t1 = Clock::now();
    const double cpu1 = processSeconds();
    QCoreApplication::instance()->removeEventFilter(&watch);
    limit.stop();
    window.reset();
    settle();
    wall = seconds(t1 - t0);
    processor = cpu1 - cpu0;
    return watch.painted;
}

std::unique_ptr<QWidget> makeDravex() {
    return std::make_unique<TDravon>();
}

// A main window with an empty central widget, of the size Dravex's window takes.
std::unique_ptr<QWidget> makeBare(QSize size) {
    auto window = std::make_unique<QMainWindow>();
    window->setCentralWidget(new QWidget(window.get()));
    window->resize(size);
    return window;
}

// Dravex's and the bare side's totals as each iteration's mean in ms, and their ratio;
// returns the number of iterations.
double setRatioCounters(benchmark::State &state, double dravex, double bare) {
    const double n = double(state.iterations());
    state.counters["dravex_ms"] = dravex / n * 1e3;
    state.counters["bare_ms"] = bare / n * 1e3;
    state.counters["ratio"] = dravex / bare;
    return n;
}

// Start-up: construction, show and the first paint of Dravex's main window against a bare
// main window of its size with a central widget. One window of each kind is made first,
// so that the first window of the process, the fonts' and the platform's first use land
// on neither side. Counters in ms per start (wall time) and their ratio; the processor
// time of the whole process is given too, as the background search runs on the second
// core meanwhile.
void StartUpRatio(benchmark::State &state) {
    QSize size;
    {
        TDravon first;
        size = first.size();
    }
    settle();
    double wall = 0, cpu = 0;
    if (!timeStartUp(makeDravex, wall, cpu) ||
        !timeStartUp([size] { return makeBare(size); }, wall, cpu)) {
        state.SkipWithError("a window was not painted within 10 s");
        return;
    }
    double dravexWall = 0, bareWall = 0, dravexCpu = 0, bareCpu = 0;
    bool bareFirst = true;
    for (auto _ : state) {
        double dw = 0, dc = 0, bw = 0, bc = 0;
        bool painted = true;
        if (bareFirst) painted = timeStartUp([size] { return makeBare(size); }, bw, bc);
        painted = timeStartUp(makeDravex, dw, dc) && painted;
        if (!bareFirst) painted = timeStartUp([size] { return makeBare(size); }, bw, bc) && painted;
        bareFirst = !bareFirst;
        if (!painted) {
            state.SkipWithError("a window was not painted within 10 s");
            return;
        }
        dravexWall += dw;
        bareWall += bw;
        dravexCpu += dc;
        bareCpu += bc;
        state.SetIterationTime(dw);
    }
    const double n = setRatioCounters(state, dravexWall, bareWall);
    state.counters["dravex_cpu_ms"] = dravexCpu / n * 1e3;
    state.counters["bare_cpu_ms"] = bareCpu / n * 1e3;
}
BENCHMARK(StartUpRatio)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// The size of one of the window's controls, found by its name; empty when there is none.
QSize sizeOf(QWidget &window, const char *name) {
    const auto *control = window.findChild<QWidget *>(QLatin1String(name));
    return control ? control->size() : QSize();
}

// The bare drawing loop: the three plots on off-screen pictures of the sizes of the
// window's pictures at 100 %, drawn step by step as the window draws them, without the
// window, its read-outs, its status bar, its history or its event pump.
class BareDrawing {
public:
    // The window redraws the operating point, the curves, the areas and the rotor on every
    // fifth step only.
    static constexpr int RedrawEvery = 5;

    explicit BareDrawing(QWidget &window)
        : m_sinusSurface(sizeOf(window, "ImageSinus")), m_faseSurface(sizeOf(window, "ImageFase")),
          m_rotorSurface(sizeOf(window, "ImageRotor")), m_sinus(m_sinusSurface),
          m_areas(m_sinusSurface, m_sinus), m_fase(m_faseSurface), m_rotor(m_rotorSurface),
          m_run(m_case.machine) {
        m_run.addListener([this](const StepReport &report) { showStep(report); });
        // The pictures as a window's start-up draws them.
        const TMyGenerator &g = m_run.generator();
        m_sinus.InitSinus();
        m_sinus.BerekenSinus();
        drawPowerAngle(m_sinus, g.Pmech, true);
        m_fase.InitFase();
        m_fase.TekenasFase();
        m_fase.BerekenFase(g.Delta, g.Domega);
        m_fase.beginTrace(g.Delta, g.Domega);
        m_fase.TekenFase();
        m_rotor.InitRotor();
        m_rotor.TekenRotor(g.Delta);
    }

    // A whole run as a press of the button after the first makes it: a new generator, the
    // power-angle plot and the phase plane afresh, the areas started, then every step.
    void run() {
        m_run.newGenerator(m_case.machine);
        const TMyGenerator &g = m_run.generator();
        m_sinus.setNetwork(m_case.scenario.r1(), m_case.scenario.r2());
        drawPowerAngle(m_sinus, g.Pmech, false);
        m_fase.SchoonFase();
        m_fase.TekenasFase();
        m_fase.beginTrace(g.Delta, g.Domega);
        m_run.start(m_case.scenario);
        m_teller = 0;
        m_areas.InitOppervlakken(g.Delta, g.Pmech, m_case.scenario.r1());
        while (m_run.continues()) m_run.step(m_case.clearingMs);
        m_run.finish();
    }

    const QImage &sinusPicture() const { return m_sinusSurface.image(); }
    const QImage &fasePicture() const { return m_faseSurface.image(); }
    const QImage &rotorPicture() const { return m_rotorSurface.image(); }

private:
    // The phase-plane segment at every step; the operating point, curves, areas and
    // rotor at every fifth.
    void showStep(const StepReport &report) {
        const TMyGenerator &g = m_run.generator();
        m_fase.BerekenFase(g.Delta, g.Domega);
        m_fase.TekenFase();
        if (++m_teller < RedrawEvery) return;
        m_teller = 0;
        RunSample now;
        now.delta = g.Delta;
        now.pelek = g.Pelek;
        now.network = report.network;
        drawSwingStep(m_sinus, m_areas, now, g.Pmech);
        m_rotor.WisRotor();
        m_rotor.TekenRotor(g.Delta);
    }

    StabilityCase m_case;
    DrawSurface m_sinusSurface, m_faseSurface, m_rotorSurface;
    SinusPlot m_sinus;
    Oppervlakken m_areas;
    Fase m_fase;
    Rotor m_rotor;
    FaultRun m_run;
    int m_teller = 0;
};

// A control's picture as the window shows it; a null picture when there is no such control.
QImage pictureOf(QWidget &window, const char *name) {
    auto *control = window.findChild<QWidget *>(QLatin1String(name));
    return control ? control->grab().toImage().convertToFormat(QImage::Format_RGB32) : QImage();
}

// Whether the bare loop's three pictures are the window's, so that both sides draw the
// same things.
bool drawsAsTheWindow(QWidget &window, const BareDrawing &bare) {
    const std::pair<const char *, const QImage *> pictures[] = {
        {"ImageSinus", &bare.sinusPicture()},
        {"ImageFase", &bare.fasePicture()},
        {"ImageRotor", &bare.rotorPicture()}};
    for (const auto &[name, expected] : pictures) {
        const QImage shown = pictureOf(window, name);
        if (shown.isNull() || shown != expected->convertToFormat(QImage::Format_RGB32))
            return false;
    }
    return true;
}

// A whole default Fast run of the window (read-outs, drawings, status bar, history and
// event pump) against the bare drawing loop of the same 3334 steps: processor time of the
// whole process, each side measured alone with nothing else running in the process.
// Counters in ms per run and their ratio.
void FastRunRatio(benchmark::State &state) {
    TDravon window;
    auto *fast = window.findChild<QAction *>(QStringLiteral("Fast1"));
    auto *button = window.findChild<QPushButton *>(QStringLiteral("Kortsluiting"));
    if (!fast || !button) {
        state.SkipWithError("the window has no Fast1 or no Kortsluiting");
        return;
    }
    fast->trigger();
    settle();
    // The first press keeps the start-up generator; the second draws as every later one.
    BareDrawing bare(window);
    for (int i = 0; i < 2; ++i) {
        button->click();
        bare.run();
    }
    QCoreApplication::processEvents();
    if (!drawsAsTheWindow(window, bare)) {
        state.SkipWithError("the bare loop does not draw what the window draws");
        return;
    }
    double windowCpu = 0, bareCpu = 0;
    bool bareFirst = true;
    for (auto _ : state) {
        double w = 0, b = 0;
        const auto timeBare = [&] {
            const double c0 = processSeconds();
            bare.run();
            b = processSeconds() - c0;
        };
        if (bareFirst) timeBare();
        const double c0 = processSeconds();
        button->click();
        w = processSeconds() - c0;
        if (!bareFirst) timeBare();
        bareFirst = !bareFirst;
        windowCpu += w;
        bareCpu += b;
        state.SetIterationTime(w);
    }
    setRatioCounters(state, windowCpu, bareCpu);
}
BENCHMARK(FastRunRatio)->UseManualTime()->Iterations(4)->Unit(benchmark::kMillisecond);

} // namespace
