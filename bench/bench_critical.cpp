// Dravex: the simulation's critical clearing time, for the defaults, for machine data
// that stay in step at every clearing time (the longest search: every run goes to 10 s),
// and on the other networks, reclosing included; and reading a scenario file and a lesson.
#include "criticalclearing.h"
#include "lessonfile.h"
#include "scenariofile.h"
#include "study.h"

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

// The status bar's search for any scenario, up to 2000 ms past the slider: 0 the
// defaults; 1 two lines; 2 the fault at 80 % with reclosing after 300 ms (critical only
// near 690 ms); 3 a permanent reclose; 4 Pmech 0.2 on the busbar (in step at every
// clearing time to 2000 ms); 5 a power step from 0.5 to 0.7 (the largest stable P1); 6 a
// line out to r2 0.8 (the largest stable Pmech).
void StatusBarSearch(benchmark::State &state) {
    TGenParams params;
    FaultScenario s;
    switch (state.range(0)) {
    case 1:
        s.network = Network::TwoLines;
        break;
    case 2:
        s.network = Network::TwoLines;
        s.locationPercent = 80;
        s.recloseMs = 300;
        break;
    case 3:
        s.network = Network::TwoLines;
        s.recloseMs = 300;
        s.recloseOnto = RecloseOnto::Permanent;
        break;
    case 4:
        params.Pmech = 0.2;
        break;
    case 5:
        s.network = Network::PowerStep;
        s.pmechAfter = 0.7;
        break;
    case 6:
        s.network = Network::LineOut;
        s.after = 0.8;
        break;
    }
    for (auto _ : state) benchmark::DoNotOptimize(findSimulationLimit(params, s).lastInStepMs);
}
BENCHMARK(StatusBarSearch)->DenseRange(0, 6)->ArgName("case")->Unit(benchmark::kMillisecond);

// A study on the defaults: 0 H from 2 to 10 in 100 points; 1 the reclosing dead time
// from 100 to 1000 ms in 50 points, two lines at 80 %; both searched to 2000 ms.
void Study(benchmark::State &state) {
    StabilityCase c;
    StudyRange range{StudyParameter::H, 2, 10, 100};
    if (state.range(0) == 1) {
        c.scenario.network = Network::TwoLines;
        c.scenario.locationPercent = 80;
        c.scenario.recloseMs = 300;
        range = {StudyParameter::RecloseMs, 100, 1000, 50};
    }
    for (auto _ : state) benchmark::DoNotOptimize(runStudy(c, range, SearchLimitMs).size());
}
BENCHMARK(Study)->DenseRange(0, 1)->ArgName("case")->Unit(benchmark::kMillisecond);

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

// Reading a lesson works out every answer: 0 the example on the equal-area criterion, from
// disk; 1 the most a lesson can ask, 100 steps each asking a slow machine's critical
// clearing time (1.3 to 1.8 s, beyond the slider).
void ReadLesson(benchmark::State &state) {
    QByteArray most = "# The most a lesson asks\n";
    for (int i = 0; i < MaxLessonSteps; ++i)
        most += "## Step\n```scenario\n[machine]\nPmech = 0.3\nH = " +
                QByteArray::number(20 + 0.2 * i) +
                "\nDemping = 0\n```\n```predict\nask = critical_clearing_ms\n```\n";
    for (auto _ : state) {
        const LessonFileResult read =
            state.range(0) == 0
                ? readLessonFile(QStringLiteral(EXAMPLES_DIR "/lessons/equal-area.dravex-lesson"))
                : parseLesson(most, QStringLiteral("most.dravex-lesson"));
        if (!read.ok) state.SkipWithError(qPrintable(read.error));
        benchmark::DoNotOptimize(read.lesson.steps.size());
    }
}
BENCHMARK(ReadLesson)->DenseRange(0, 1)->ArgName("case")->Unit(benchmark::kMillisecond);

} // namespace
