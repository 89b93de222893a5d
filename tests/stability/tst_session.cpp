// A sitting with Dravex without any window: a run's steps and verdict, when a run reuses
// the generator, a run stopped or started again from within, the real-time schedule, the
// scenario file's comments kept through a save, the background search's cancellation, and
// a study on threads of its own.
#include "backgroundstudy.h"
#include "criticalclearing.h"
#include "dravexsession.h"

#include <cmath>
#include <memory>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <vector>

Q_DECLARE_METATYPE(RunEnd)
Q_DECLARE_METATYPE(Oppervlaktesom::Oordeel)
Q_DECLARE_METATYPE(StudyParameter)

namespace {

// A session that runs as fast as the machine goes and keeps each search for the test to
// run, or not, when it likes.
struct Held {
    CriticalSearch search;
    CriticalFound found;
};

struct QuietSession {
    DravexSession s;
    std::vector<Held> searches;
    QuietSession() {
        s.setSpeed(RunSpeed::Fast);
        s.searchRunner = [this](CriticalSearch search, CriticalFound found) {
            searches.push_back({std::move(search), std::move(found)});
        };
    }
};

} // namespace

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void runStepsAndVerdict_data();
    void runStepsAndVerdict();
    void reuseRule_data();
    void reuseRule();
    void pressDuringRunStopsIt();
    void twoPressesInOneStepStartANestedRun();
    void laterRunTakesNewMachineData();
    void realTimeScheduleDoesNotDrift();
    void savedScenarioKeepsItsComments();
    void olderSearchesAreCancelledAndSilent();
    void studyGivesTheEqualAreaTimes_data();
    void studyGivesTheEqualAreaTimes();
    void cancelledStudyEndsWithoutPoints();
};

void TestSession::runStepsAndVerdict_data() {
    QTest::addColumn<int>("clearingMs");
    QTest::addColumn<RunEnd>("end");
    QTest::addColumn<Oppervlaktesom::Oordeel>("verdict");
    QTest::newRow("200 ms stays in step")
        << 200 << RunEnd::ClockLimit << Oppervlaktesom::Oordeel::Stabiel;
    QTest::newRow("400 ms falls out of step")
        << 400 << RunEnd::OutOfStep << Oppervlaktesom::Oordeel::Instabiel;
}

void TestSession::runStepsAndVerdict() {
    QFETCH(int, clearingMs);
    QFETCH(RunEnd, end);
    QFETCH(Oppervlaktesom::Oordeel, verdict);
    QuietSession q;
    q.s.setClearingTime(clearingMs);
    std::vector<int> ended;
    int shown = 0, begun = 0, finished = 0;
    QObject::connect(&q.s, &DravexSession::stepped, [&](const StepReport &) {
        // Recorded before it is shown: a window reads the step from the history.
        QCOMPARE(q.s.history().last()->samples.size(), std::size_t(shown + 1));
        ++shown;
    });
    QObject::connect(&q.s, &DravexSession::stepEnded, [&](int n) { ended.push_back(n); });
    QObject::connect(&q.s, &DravexSession::runBegun, [&] { ++begun; });
    QObject::connect(&q.s, &DravexSession::runEnded, [&] {
        ++finished;
        QVERIFY(!q.s.isRunning());
    });
    q.s.shortCircuit();
    QCOMPARE(begun, 1);
    QCOMPARE(finished, 1);
    const RunRecord *run = q.s.history().last();
    QVERIFY(run);
    QCOMPARE(run->end, end);
    QCOMPARE(run->clearingMs, clearingMs);
    QCOMPARE(int(run->samples.size()), shown);
    QCOMPARE(int(ended.size()), shown);
    for (std::size_t i = 0; i < ended.size(); ++i) QCOMPARE(ended[i], int(i) + 1);
    QCOMPARE(q.s.areaSum().oordeel(), verdict);
    if (end == RunEnd::ClockLimit) QCOMPARE(shown, 3334);
}

void TestSession::reuseRule_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("renewed");
    QTest::newRow("the first run takes the start-up generator") << "nothing" << false;
    QTest::newRow("a second run builds one") << "run" << true;
    QTest::newRow("an opened case's generator serves its first run") << "run, open" << false;
    QTest::newRow("Pmech given to the fresh generator") << "pmech" << true;
}

void TestSession::reuseRule() {
    QFETCH(QString, before);
    QFETCH(bool, renewed);
    QuietSession q;
    for (const QString &action : before.split(QStringLiteral(", "))) {
        if (action == QLatin1String("run")) {
            q.s.shortCircuit();
        } else if (action == QLatin1String("open")) {
            QVERIFY(q.s.openCase(StabilityCase{}));
        } else if (action == QLatin1String("pmech")) {
            // A click on the diagram hands new machine data to the current generator,
            // whose starting angle then no longer follows from them.
            TGenParams machine = q.s.machineData();
            machine.Pmech = 0.7;
            q.s.setMachineData(machine);
            QVERIFY(q.s.giveMachineDataToGenerator());
        }
    }
    QSignalSpy renewals(&q.s, &DravexSession::generatorRenewed);
    const TMyGenerator *was = &q.s.generator();
    q.s.shortCircuit();
    QCOMPARE(renewals.count(), renewed ? 1 : 0);
    if (!renewed) QCOMPARE(&q.s.generator(), was);
    QVERIFY(!q.s.freshGenerator());
}

void TestSession::pressDuringRunStopsIt() {
    QuietSession q;
    QObject::connect(&q.s, &DravexSession::stepEnded, [&](int n) {
        if (n == 100) q.s.shortCircuit(); // the second press, from the run's own events
    });
    q.s.shortCircuit();
    const RunRecord *run = q.s.history().last();
    QCOMPARE(run->end, RunEnd::Stopped);
    QCOMPARE(run->samples.size(), std::size_t(100));
    QVERIFY(!q.s.isRunning());
}

void TestSession::twoPressesInOneStepStartANestedRun() {
    // Two presses handled in the events after step 3: the first ends the run, the second
    // starts the next one inside it, which runs whole; the outer run's loop then ends
    // without a step of its own.
    QuietSession q;
    std::vector<int> steps;
    QObject::connect(&q.s, &DravexSession::stepEnded, [&](int n) {
        steps.push_back(n);
        if (steps.size() == 3)
            for (int press = 0; press < 2; ++press)
                QMetaObject::invokeMethod(
                    &q.s, [&q] { q.s.shortCircuit(); }, Qt::QueuedConnection);
    });
    q.s.shortCircuit();
    QCOMPARE(int(steps.size()), 3 + 3334);
    QCOMPARE(steps[2], 3);
    QCOMPARE(steps[3], 1);
    QCOMPARE(steps.back(), 3334);
    QVERIFY(!q.s.isRunning());
}

void TestSession::laterRunTakesNewMachineData() {
    // Another press after a whole run runs whole again; new machine data are taken by the
    // next run's fresh generator, which starts from rest with the clock back at 0.
    QuietSession q;
    int steps = 0;
    QObject::connect(&q.s, &DravexSession::stepEnded, [&] { ++steps; });
    q.s.shortCircuit();
    q.s.shortCircuit();
    QCOMPARE(steps, 2 * 3334);
    q.s.setMachineData(TGenParams{450, 3.0, 0.00002, 0.5});
    std::vector<StepReport> reports;
    QObject::connect(&q.s, &DravexSession::stepped, [&](const StepReport &r) {
        reports.push_back(r);
        q.s.stop();
    });
    q.s.shortCircuit();
    QCOMPARE(reports.size(), std::size_t(1));
    const TMyGenerator &g = q.s.generator();
    const double C = 314.15926535897932384;
    QCOMPARE(g.H, 3.0);
    QVERIFY(std::fabs(g.M - 3 * 450 * 2 / (C * C)) < 1e-15);
    // The first step under the fault: (C / 2H) Pmech dt.
    QVERIFY(std::fabs(reports[0].Domega - C / 4000) < 1e-12);
    QCOMPARE(reports[0].clock, 0.0);
}

void TestSession::realTimeScheduleDoesNotDrift() {
    // A run in real time, on a clock that the test moves on: half a step each time the
    // loop looks at it, so each step finds itself due without any real waiting. The
    // steps keep to the schedule of one every 3 ms: the last of the 3334 is due 9.999 s
    // after the first, so the run ends 10.0 s after the press.
    using namespace std::chrono;
    QuietSession q;
    q.s.setSpeed(RunSpeed::RealTime);
    auto now = RunPacer::Clock::time_point(hours(1));
    int looks = 0;
    q.s.clock = [&] {
        ++looks;
        return now += microseconds(1500);
    };
    int steps = 0;
    QObject::connect(&q.s, &DravexSession::stepEnded, [&] { ++steps; });
    q.s.shortCircuit();
    QCOMPARE(steps, 3334);
    QCOMPARE(q.s.lastStepDue() - q.s.firstStepDue(), milliseconds(9999));
    QVERIFY(looks >= 2 * 3333);
}

void TestSession::savedScenarioKeepsItsComments() {
    // The comments a scenario file starts with go into the file it is saved as, until
    // another file, or a case from none, replaces them.
    QuietSession q;
    QTemporaryDir dir;
    const auto path = [&dir](const char *name) { return dir.filePath(QString::fromLatin1(name)); };
    const auto write = [&](const char *name, const QByteArray &text) {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write("a.dravex", "# Exercise A\n# Why?\n\n[machine]\nPmech = 0.6\n");
    write("b.dravex", "# Exercise B\n[fault]\nclearing_ms = 100\n");
    const auto top = [&](const char *name) {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll().split('[').first() : QByteArray();
    };
    QVERIFY(q.s.openScenarioFile(path("a.dravex")));
    QVERIFY(q.s.saveScenarioFile(path("a2.dravex")));
    QVERIFY(q.s.openScenarioFile(path("b.dravex")));
    QVERIFY(q.s.saveScenarioFile(path("b2.dravex")));
    QVERIFY(q.s.openCase(StabilityCase{}));
    QVERIFY(q.s.saveScenarioFile(path("none.dravex")));
    const QByteArray header =
        "# A Dravex exercise: the machine data, the fault and its clearing time\n";
    QCOMPARE(top("a2.dravex"), "# Exercise A\n# Why?\n\n" + header);
    QCOMPARE(top("b2.dravex"), "# Exercise B\n\n" + header);
    QCOMPARE(top("none.dravex"), header);
}

void TestSession::olderSearchesAreCancelledAndSilent() {
    QuietSession q;
    QSignalSpy started(&q.s, &DravexSession::searchStarted);
    QSignalSpy found(&q.s, &DravexSession::searchFound);
    q.s.announceCase();
    q.s.announceCase(); // the same data: no second search
    QCOMPARE(q.searches.size(), std::size_t(1));
    TGenParams machine = q.s.machineData();
    machine.Pmech = 0.3;
    q.s.setMachineData(machine);
    QCOMPARE(q.searches.size(), std::size_t(2));
    QCOMPARE(started.count(), 2);

    // The first search was told to give up: it stops short of the answer it would have
    // found, and what it hands on is dropped.
    const CriticalClearing first = q.searches[0].search();
    QVERIFY(first.lastInStepMs != findCriticalClearingTime(TGenParams{}).lastInStepMs);
    q.searches[0].found(first);
    QCOMPARE(found.count(), 0);
    // The newest one speaks, unless the command found the answer at once meanwhile.
    const CriticalClearing second = q.searches[1].search();
    q.searches[1].found(second);
    QCOMPARE(found.count(), 1);
    QCOMPARE(found.takeFirst().at(0).value<CriticalClearing>().lastInStepMs, second.lastInStepMs);

    machine.Pmech = 0.4;
    q.s.setMachineData(machine);
    const CriticalClearing now = q.s.findCriticalNow();
    QVERIFY(q.searches[2].search().lastInStepMs != now.lastInStepMs);
    q.searches[2].found(now);
    QCOMPARE(found.count(), 0);
    q.s.announceCase(); // already known for these data
    QCOMPARE(q.searches.size(), std::size_t(3));
}

void TestSession::studyGivesTheEqualAreaTimes_data() {
    QTest::addColumn<StudyParameter>("parameter");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::newRow("H") << StudyParameter::H << 2.0 << 8.0;
    QTest::newRow("Pmech") << StudyParameter::Pmech << 0.3 << 0.7;
}

void TestSession::studyGivesTheEqualAreaTimes() {
    QFETCH(StudyParameter, parameter);
    QFETCH(double, from);
    QFETCH(double, to);
    StabilityCase c; // a busbar fault: no power during it, the whole network after it
    c.machine.Demping = 0;
    BackgroundStudy study;
    std::vector<StudyPoint> points;
    connect(&study, &BackgroundStudy::finished, this,
            [&](const FinishedStudy &done) { points = done.points; });
    QSignalSpy finished(&study, &BackgroundStudy::finished);
    QVERIFY(study.start(c, {parameter, from, to, 3}, SearchLimitMs));
    QVERIFY(finished.wait(60000));
    QVERIFY(!study.running());
    QCOMPARE(points.size(), std::size_t(3));
    // The critical clearing angle from equal areas, cos dc = (pi - 2 d0) sin d0 - cos d0,
    // reached with the rotor accelerating freely, d = d0 + ws Pm t^2 / (4 H) (Kundur,
    // sec. 13.1).
    const double pi = std::acos(-1.0), ws = 100 * pi;
    for (int i = 0; i < 3; ++i) {
        const double value = from + (to - from) * i / 2;
        const double h = parameter == StudyParameter::H ? value : c.machine.H;
        const double pm = parameter == StudyParameter::Pmech ? value : c.machine.Pmech;
        const double d0 = std::asin(pm);
        const double dc = std::acos((pi - 2 * d0) * std::sin(d0) - std::cos(d0));
        const double ms = 1000 * std::sqrt(4 * h * (dc - d0) / (ws * pm));
        const StudyPoint &p = points[std::size_t(i)];
        QCOMPARE(p.value, value);
        QVERIFY2(std::fabs(double(p.criterion.tijd) * 1000 - ms) < 1e-6,
                 qPrintable(QString::number(double(p.criterion.tijd) * 1000)));
        // The simulation, undamped in steps of 3 ms, within a step or two of it.
        QVERIFY2(std::fabs(p.simulation.lastInStepMs - ms) < 7,
                 qPrintable(QString::number(p.simulation.lastInStepMs)));
    }
}

void TestSession::cancelledStudyEndsWithoutPoints() {
    // A long study: 200 dead times, each searched to 2000 ms.
    StabilityCase c;
    c.scenario.network = Network::TwoLines;
    const StudyRange range{StudyParameter::RecloseMs, 100, 1000, 200};
    auto study = std::make_unique<BackgroundStudy>();
    QSignalSpy finished(study.get(), &BackgroundStudy::finished);
    QSignalSpy cancelled(study.get(), &BackgroundStudy::cancelled);
    QVERIFY(study->start(c, range, SearchLimitMs));
    QVERIFY(!study->start(c, range, SearchLimitMs)); // one at a time
    study->cancel();
    QVERIFY(cancelled.wait(60000));
    QCOMPARE(finished.count(), 0);
    QVERIFY(!study->running());

    // Destroyed while it runs: its threads end before it goes, and nothing is heard.
    QVERIFY(study->start(c, range, SearchLimitMs));
    QVERIFY(study->running());
    study.reset();
    QCoreApplication::processEvents();
    QCOMPARE(finished.count(), 0);
    QCOMPARE(cancelled.count(), 1);
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
