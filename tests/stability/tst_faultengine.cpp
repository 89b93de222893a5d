// The fault-run engine alone, without any window: whole runs, the order of a step,
// stopping, and machine data at the edge of what the arithmetic can hold.
#include "criticalclearing.h"
#include "faultrun.h"

#include <cmath>
#include <QtTest>

Q_DECLARE_METATYPE(FaultScenario)
#include <vector>

class TestFaultEngine : public QObject {
    Q_OBJECT
private slots:
    void defaultRunReportsEveryStep();
    void knownClearingTimes_data();
    void knownClearingTimes();
    void stopEndsWithoutAnotherStep();
    void stepsTheCurrentGenerator();
    void extremeMachineDataEndInBoundedSteps_data();
    void extremeMachineDataEndInBoundedSteps();
    void criticalClearingTime_data();
    void criticalClearingTime();
    void networkThroughARun_data();
    void networkThroughARun();
    void searchAgreesWithSingleRuns_data();
    void searchAgreesWithSingleRuns();
};

void TestFaultEngine::defaultRunReportsEveryStep() {
    FaultRun run;
    std::vector<StepReport> reports;
    run.addListener([&](const StepReport &r) { reports.push_back(r); });
    QCOMPARE(run.runToEnd(DefaultAfschakeltijd), RunEnd::ClockLimit);
    QCOMPARE(run.Steps(), 3334);
    QCOMPARE(int(reports.size()), 3334);
    QVERIFY(!run.Running());
    // The clock is a running sum of 3 ms steps, reported as it stood at each step's start.
    double clock = 0;
    for (int i = 0; i < 3334; ++i) {
        QCOMPARE(reports[std::size_t(i)].number, i + 1);
        QCOMPARE(reports[std::size_t(i)].clock, clock);
        // The fault is on up to and including the step whose clock is 0.198 s.
        QCOMPARE(reports[std::size_t(i)].faultOn, i < 67);
        QCOMPARE(reports[std::size_t(i)].Pelek == 0.0, i < 67);
        QVERIFY(!reports[std::size_t(i)].outOfStep);
        clock = clock + StapTijd;
    }
    QCOMPARE(reports.back().clock, 9.99900000000027);
    QVERIFY(run.TotTijd() >= EindTijd);
    // The report carries the generator's state after the step.
    QCOMPARE(reports.back().Delta, run.generator().Delta);
    QCOMPARE(reports.back().Domega, run.generator().Domega);
    // The first step of the defaults: (C / 2H) Pmech dt with the fault on.
    QVERIFY(std::fabs(reports.front().Domega - double(SynchronousSpeed / 8000)) < 1e-15);
}

void TestFaultEngine::knownClearingTimes_data() {
    QTest::addColumn<int>("clearingMs");
    QTest::addColumn<int>("outOfStepStep"); // 0: stays in step
    QTest::addColumn<double>("clock");
    QTest::newRow("0 ms") << 0 << 0 << 0.0;
    QTest::newRow("375 ms stays in step") << 375 << 0 << 0.0;
    QTest::newRow("376 ms") << 376 << 976 << 2.925;
    QTest::newRow("400 ms") << 400 << 791 << 2.37;
}

void TestFaultEngine::knownClearingTimes() {
    QFETCH(int, clearingMs);
    QFETCH(int, outOfStepStep);
    QFETCH(double, clock);
    const RunOutcome outcome = simulateFault(TGenParams{}, clearingMs);
    if (outOfStepStep == 0) {
        QCOMPARE(outcome.end, RunEnd::ClockLimit);
        QCOMPARE(outcome.steps, 3334);
        QCOMPARE(outcome.outOfStepStep, 0);
        return;
    }
    QCOMPARE(outcome.end, RunEnd::OutOfStep);
    // The step that finds it out of step is the last one.
    QCOMPARE(outcome.steps, outOfStepStep);
    QCOMPARE(outcome.outOfStepStep, outOfStepStep);
    QVERIFY(std::fabs(outcome.outOfStepClock - clock) < 1e-9);
}

void TestFaultEngine::stopEndsWithoutAnotherStep() {
    FaultRun run;
    int last = 0;
    bool stopped = false;
    run.addListener([&](const StepReport &r) {
        last = r.number;
        if (r.number == 7 && !stopped) {
            stopped = true;
            run.stop();
        }
    });
    QCOMPARE(run.runToEnd(DefaultAfschakeltijd), RunEnd::Stopped);
    QCOMPARE(last, 7);
    QCOMPARE(run.Steps(), 7);
    // The clock has still advanced past the stopped step, as after every step.
    double clock = 0;
    for (int i = 0; i < 7; ++i) clock = clock + StapTijd;
    QCOMPARE(run.TotTijd(), clock);
    // A stop with no run in progress changes nothing; the next run starts afresh.
    run.stop();
    QCOMPARE(run.end(), RunEnd::Stopped);
    QCOMPARE(run.runToEnd(DefaultAfschakeltijd), RunEnd::ClockLimit);
}

void TestFaultEngine::stepsTheCurrentGenerator() {
    // A run started anew between two steps (a nested press in the window) replaces the
    // generator; the steps that follow reach the new one, not a copy of the old.
    FaultRun run;
    run.start();
    run.step(DefaultAfschakeltijd);
    TGenParams lighter;
    lighter.H = 3.0;
    run.newGenerator(lighter);
    const StepReport second = run.step(DefaultAfschakeltijd);
    QCOMPARE(second.number, 2);
    QCOMPARE(run.generator().H, 3.0);
    // From rest, fault on: (C / 2H) Pmech dt with H = 3.
    QVERIFY(std::fabs(second.Domega - double(SynchronousSpeed / 4000)) < 1e-15);
}

void TestFaultEngine::extremeMachineDataEndInBoundedSteps_data() {
    QTest::addColumn<double>("pmax");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("pmech");
    QTest::addColumn<int>("end");
    // A rotor with next to no inertia leaves in its first step.
    QTest::newRow("H 1e-8") << 450.0 << 1e-8 << 0.5 << int(RunEnd::OutOfStep);
    QTest::newRow("H 1e-12") << 450.0 << 1e-12 << 0.5 << int(RunEnd::OutOfStep);
    // The inertia coefficient underflows to 0: speed and angle are no number, which
    // counts as out of step.
    QTest::newRow("Pmax 1e-320") << 1e-320 << 6.0 << 0.5 << int(RunEnd::OutOfStep);
    // A tiny push, then a swing the 3 ms step cannot follow: the angle runs far below
    // zero (about -9E91 rad, never reported) before it passes four turns upwards.
    QTest::newRow("H 1e-100, Pmech 1e-300") << 450.0 << 1e-100 << 1e-300 << int(RunEnd::OutOfStep);
}

void TestFaultEngine::extremeMachineDataEndInBoundedSteps() {
    QFETCH(double, pmax);
    QFETCH(double, h);
    QFETCH(double, pmech);
    QFETCH(int, end);
    TGenParams params;
    params.Pmax = pmax;
    params.H = h;
    params.Demping = 0;
    params.Pmech = pmech;
    const RunOutcome outcome = simulateFault(params, DefaultAfschakeltijd);
    QCOMPARE(int(outcome.end), end);
    QVERIFY(outcome.steps >= 1 && outcome.steps <= 3334);
    QCOMPARE(outcome.outOfStepStep, outcome.steps);
}

void TestFaultEngine::criticalClearingTime_data() {
    QTest::addColumn<double>("pmech");
    QTest::addColumn<double>("h");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("lastInStepMs");
    using Kind = CriticalClearing::Kind;
    // The criterion says 364 ms for the defaults; damping and the 3 ms step hold to 375.
    QTest::newRow("defaults") << 0.5 << 6.0 << int(Kind::Limit) << 375;
    QTest::newRow("Pmech 0.8, H 3") << 0.8 << 3.0 << int(Kind::Limit) << 102;
    QTest::newRow("Pmech 0.2") << 0.2 << 6.0 << int(Kind::AlwaysInStep) << 500;
    // At Pmech 1 the first fault step already carries the rotor past its last chance.
    QTest::newRow("Pmech 1") << 1.0 << 6.0 << int(Kind::NeverInStep) << -1;
}

void TestFaultEngine::criticalClearingTime() {
    QFETCH(double, pmech);
    QFETCH(double, h);
    QFETCH(int, kind);
    QFETCH(int, lastInStepMs);
    TGenParams params;
    params.Pmech = pmech;
    params.H = h;
    const CriticalClearing found = findCriticalClearingTime(params);
    QCOMPARE(int(found.kind), kind);
    QCOMPARE(found.lastInStepMs, lastInStepMs);
    // What whole runs with those clearing times give, each on its own.
    if (found.kind != CriticalClearing::Kind::NeverInStep)
        QCOMPARE(simulateFault(params, found.lastInStepMs).end, RunEnd::ClockLimit);
    if (found.kind != CriticalClearing::Kind::AlwaysInStep)
        QCOMPARE(simulateFault(params, found.lastInStepMs + 1).end, RunEnd::OutOfStep);
}

namespace {

FaultScenario reclosing(Network network, int deadMs, RecloseOnto onto) {
    FaultScenario s;
    s.network = network;
    s.recloseMs = deadMs;
    s.recloseOnto = onto;
    return s;
}

} // namespace

void TestFaultEngine::networkThroughARun_data() {
    QTest::addColumn<FaultScenario>("scenario");
    QTest::addColumn<int>("clearingMs");
    // The steps spent in each state, in the order the states come.
    QTest::addColumn<QString>("states");
    QTest::newRow("busbar") << FaultScenario{} << 200 << "F67 C3267";
    QTest::newRow("transient reclose")
        << reclosing(Network::TwoLines, 300, RecloseOnto::Transient) << 200 << "F67 C100 R3167";
    QTest::newRow("permanent reclose")
        << reclosing(Network::TwoLines, 300, RecloseOnto::Permanent) << 200 << "F67 C100 P67 L3100";
    // Cleared at once: the second fault period has no step.
    QTest::newRow("permanent reclose at 0 ms")
        << reclosing(Network::Busbar, 30, RecloseOnto::Permanent) << 0 << "F1 C10 L3323";
}

void TestFaultEngine::networkThroughARun() {
    QFETCH(FaultScenario, scenario);
    QFETCH(int, clearingMs);
    QFETCH(QString, states);
    FaultRun run;
    QString seen;
    QChar last;
    int count = 0;
    const auto flush = [&] {
        if (count)
            seen +=
                (seen.isEmpty() ? QString() : QStringLiteral(" ")) + last + QString::number(count);
    };
    run.addListener([&](const StepReport &r) {
        const QChar c = QStringLiteral("FCRPL").at(int(r.network));
        const double expected = c == 'F' || c == 'P' ? scenario.r1()
                                : c == 'R'           ? 1.0
                                                     : scenario.r2();
        QCOMPARE(r.factor, expected);
        QCOMPARE(r.faultOn, c == 'F' || c == 'P');
        if (c != last) {
            flush();
            last = c;
            count = 0;
        }
        ++count;
    });
    run.runToEnd(clearingMs, scenario);
    flush();
    QCOMPARE(seen, states);
    // The two-line preset: Xg 0.5, XL 0.3, the fault halfway.
    FaultScenario preset;
    preset.network = Network::TwoLines;
    QVERIFY(std::fabs(preset.r1() - 0.65 / 1.8) < 1e-15);
    QCOMPARE(preset.r2(), 0.8125);
}

void TestFaultEngine::searchAgreesWithSingleRuns_data() {
    QTest::addColumn<FaultScenario>("scenario");
    QTest::addColumn<double>("pmech");
    FaultScenario twoLines;
    twoLines.network = Network::TwoLines;
    FaultScenario transfer;
    transfer.network = Network::Transfer;
    transfer.during = 0.2;
    transfer.after = 0.9;
    QTest::newRow("two lines") << twoLines << 0.5;
    QTest::newRow("transfer") << transfer << 0.6;
    QTest::newRow("transient reclose")
        << reclosing(Network::TwoLines, 250, RecloseOnto::Transient) << 0.7;
    QTest::newRow("permanent reclose")
        << reclosing(Network::TwoLines, 300, RecloseOnto::Permanent) << 0.5;
    QTest::newRow("busbar, permanent reclose")
        << reclosing(Network::Busbar, 1000, RecloseOnto::Permanent) << 0.4;
}

void TestFaultEngine::searchAgreesWithSingleRuns() {
    QFETCH(FaultScenario, scenario);
    QFETCH(double, pmech);
    TGenParams params;
    params.Pmech = pmech;
    int firstOut = -1;
    for (int ms = 0; ms <= 500 && firstOut < 0; ++ms)
        if (simulateFault(params, ms, scenario).end == RunEnd::OutOfStep) firstOut = ms;
    const CriticalClearing found = findCriticalClearingTime(params, scenario);
    QCOMPARE(found.lastInStepMs, firstOut < 0 ? 500 : firstOut - 1);
    QVERIFY(firstOut < 0 || found.kind != CriticalClearing::Kind::AlwaysInStep);
}

QTEST_APPLESS_MAIN(TestFaultEngine)
#include "tst_faultengine.moc"
