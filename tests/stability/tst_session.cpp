// A sitting with Dravex without any window: a run's steps and verdict, when a run reuses
// the generator, a run stopped from within, and the background search's cancellation.
#include "criticalclearing.h"
#include "dravexsession.h"

#include <QSignalSpy>
#include <QtTest>
#include <vector>

Q_DECLARE_METATYPE(RunEnd)
Q_DECLARE_METATYPE(Oppervlaktesom::Oordeel)

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
    void olderSearchesAreCancelledAndSilent();
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

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
