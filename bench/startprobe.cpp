// A whole program's start, from exec to the first paint of its window: Dravex's main
// window, or a bare main window of the same size. Prints the monotonic clock at the first
// paint; bench/startup, which noted the clock when it started the process, runs both in
// turn and compares them.
#include "paintwatch.h"

#include <cstdio>
#include <ctime>
#include <memory>
#include <QApplication>
#include <QMainWindow>
#include <QStandardPaths>
#include <unistd.h>
#ifdef PROBE_DRAVEX
#include "dravon2.h"
#endif

namespace {

double monotonicSeconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication::setApplicationName(QStringLiteral("Dravex"));
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true); // no remembered zoom of the user's
    PaintWatch watch;
    app.installEventFilter(&watch);
#ifdef PROBE_DRAVEX
    auto window = std::make_unique<TDravon>();
#else
    auto window = std::make_unique<QMainWindow>();
    window->setCentralWidget(new QWidget(window.get()));
    window->resize(688, 466);
#endif
    window->show();
    while (!watch.painted) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("%.6f\n", monotonicSeconds());
    std::fflush(stdout);
    _exit(0); // the time is taken: nothing more to measure
}
