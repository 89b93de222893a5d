// The swing-equation model of one generator, and the schedule that paces a run.
#include "mygenerator.h"
#include "numberformat.h"
#include "runpacer.h"

#include <cmath>
#include <QtTest>

namespace {

const double pi = 3.14159265358979323846;

bool near(double a, double b, double relative = 1e-13) {
    return std::fabs(a - b) <= relative * std::max(std::fabs(a), std::fabs(b));
}

} // namespace

class TestMyGenerator : public QObject {
    Q_OBJECT
private slots:
    void createsAtEquilibrium();
    void startAngleFollowsPmech();
    void firstTwoFaultSteps();
    void clearingTestIsInclusive();
    void dampingIsNotScaledByDt();
    void laterPmaxScalesBothTerms();
    void angleIsNotWrapped();
    void pacerKeepsAbsoluteSchedule();
    void pacerTakesUpScheduleAfterPause();
    void pacerSpeedsApplyFromNextStep();
};

void TestMyGenerator::createsAtEquilibrium() {
    const TMyGenerator g{TGenParams{}};
    QCOMPARE(g.Pmax, 450.0);
    QCOMPARE(g.H, 6.0);
    QCOMPARE(g.Demping, 0.00002);
    QCOMPARE(g.Pmech, 0.5);
    QCOMPARE(g.Pelek, 0.5);
    QCOMPARE(g.Domega, 0.0);
    QVERIFY(near(g.M, 6 * 450 * 2 / (100 * pi * 100 * pi)));
    QVERIFY(g.M > 0.0547 && g.M < 0.0548);
    QVERIFY(near(g.Delta, pi / 6, 1e-15));
    QCOMPARE(g.Delta0, g.Delta);
    QCOMPARE(formatGeneral(g.DeltaInDegrees(), QChar('.')), QStringLiteral("30"));
}

void TestMyGenerator::startAngleFollowsPmech() {
    TGenParams p;
    p.Pmech = 0;
    QCOMPARE(TMyGenerator(p).Delta, 0.0);
    p.Pmech = 1;
    const TMyGenerator full(p);
    QCOMPARE(full.Delta, pi / 2);
    QCOMPARE(formatGeneral(full.DeltaInDegrees(), QChar('.')), QStringLiteral("90"));
    p.Pmech = -0.5;
    QVERIFY(near(TMyGenerator(p).Delta, -pi / 6, 1e-15));
}

void TestMyGenerator::firstTwoFaultSteps() {
    TMyGenerator g{TGenParams{}};
    g.BerekenPelek(0.0, 200);
    QCOMPARE(g.Pelek, 0.0);
    QCOMPARE(formatGeneral(g.PelekInPowerUnit(), QChar('.')), QStringLiteral("0"));
    g.BerekenDomega(0.003);
    // (C / 2H) * Pmech * dt = C / 8000.
    const double first = 100 * pi / 8000;
    QVERIFY(near(g.Domega, first));
    QCOMPARE(formatGeneral(g.Domega, QChar('.')), QStringLiteral("0.0392699081698724"));
    g.BerekenDelta(0.003);
    QVERIFY(near(g.Delta, pi / 6 + first * 0.003));
    QCOMPARE(formatGeneral(g.DeltaInDegrees(), QChar('.')), QStringLiteral("30.00675"));

    // Still under the fault: the same acceleration again, less the damping of the
    // first step's speed deviation.
    g.BerekenPelek(0.003, 200);
    QCOMPARE(g.Pelek, 0.0);
    g.BerekenDomega(0.003);
    const double damping = (100 * pi / 12) * 0.00002 * first;
    QVERIFY(near(g.Domega, 2 * first - damping));
    QVERIFY(g.Domega < 2 * first);
}

void TestMyGenerator::clearingTestIsInclusive() {
    TMyGenerator g{TGenParams{}};
    // 0.25 s is exact in binary: the step whose clock equals the clearing time is a
    // fault step, the next one is not.
    g.BerekenPelek(0.25, 250);
    QCOMPARE(g.Pelek, 0.0);
    g.BerekenPelek(0.253, 250);
    QVERIFY(near(g.Pelek, 0.5, 1e-15));
    // With no clearing time only the step at clock 0 sees the fault.
    g.BerekenPelek(0.0, 0);
    QCOMPARE(g.Pelek, 0.0);
    g.BerekenPelek(0.003, 0);
    QVERIFY(near(g.Pelek, std::sin(g.Delta), 1e-15));
    // A clearing time changed between steps is taken at the next step.
    g.BerekenPelek(0.3, 200);
    QVERIFY(g.Pelek > 0);
    g.BerekenPelek(0.3, 500);
    QCOMPARE(g.Pelek, 0.0);
}

void TestMyGenerator::dampingIsNotScaledByDt() {
    // At the equilibrium with the fault cleared, only damping acts on a speed deviation.
    for (double dt : {0.003, 0.0015}) {
        TMyGenerator g{TGenParams{}};
        g.Pelek = g.Pmech;
        g.Domega = 1.0;
        g.BerekenDomega(dt);
        QVERIFY(near(1.0 - g.Domega, (100 * pi / 12) * 0.00002, 1e-10));
    }
    // Under the fault from rest, halving dt halves the acceleration.
    TMyGenerator a{TGenParams{}}, b{TGenParams{}};
    a.Pelek = b.Pelek = 0;
    a.BerekenDomega(0.003);
    b.BerekenDomega(0.0015);
    QVERIFY(near(b.Domega, a.Domega / 2));
}

void TestMyGenerator::laterPmaxScalesBothTerms() {
    TMyGenerator once{TGenParams{}}, twice{TGenParams{}};
    for (TMyGenerator *g : {&once, &twice}) {
        g->Domega = 0.5;
        g->Pelek = 0;
    }
    twice.Pmax = 900; // written into a running generator: M stays as created
    once.BerekenDomega(0.003);
    twice.BerekenDomega(0.003);
    QVERIFY(near(twice.Domega - 0.5, 2 * (once.Domega - 0.5)));
    twice.BerekenPelek(1.0, 200);
    QVERIFY(near(static_cast<double>(twice.PelekInPowerUnit()), 900 * 0.5, 1e-15));
}

void TestMyGenerator::angleIsNotWrapped() {
    TMyGenerator g{TGenParams{}};
    g.Delta = 3 * pi;
    QCOMPARE(formatGeneral(g.DeltaInDegrees(), QChar('.')), QStringLiteral("540"));
    g.Domega = 1000;
    g.BerekenDelta(0.003);
    QVERIFY(near(g.Delta, 3 * pi + 3));
}

void TestMyGenerator::pacerKeepsAbsoluteSchedule() {
    using namespace std::chrono;
    const RunPacer::Clock::time_point t0{seconds(100)};
    RunPacer pacer;
    pacer.start(t0);
    QCOMPARE(pacer.due(), t0);
    // Steps that finish a little late, or early, do not shift the schedule.
    auto now = t0;
    for (int n = 1; n <= 3333; ++n) {
        now = pacer.due() + microseconds(n % 3 == 0 ? 2900 : 100);
        pacer.stepDone(RunSpeed::RealTime, now);
        QCOMPARE(pacer.due(), t0 + milliseconds(3) * n);
    }
    // The last step of a whole run is due 9.999 s after the first.
    QCOMPARE(pacer.due() - t0, milliseconds(9999));
}

void TestMyGenerator::pacerTakesUpScheduleAfterPause() {
    using namespace std::chrono;
    const RunPacer::Clock::time_point t0{seconds(5)};
    RunPacer pacer;
    pacer.start(t0);
    // A message box held the run up for two seconds: go on from now, do not race.
    const auto late = t0 + seconds(2);
    pacer.stepDone(RunSpeed::RealTime, late);
    QCOMPARE(pacer.due(), late);
    pacer.stepDone(RunSpeed::RealTime, late + microseconds(500));
    QCOMPARE(pacer.due(), late + milliseconds(3));
    // A short lag is caught up.
    pacer.stepDone(RunSpeed::RealTime, late + milliseconds(50));
    QCOMPARE(pacer.due(), late + milliseconds(6));
}

void TestMyGenerator::pacerSpeedsApplyFromNextStep() {
    using namespace std::chrono;
    const RunPacer::Clock::time_point t0{seconds(1)};
    RunPacer pacer;
    pacer.start(t0);
    pacer.stepDone(RunSpeed::SlowMotion, t0 + milliseconds(1));
    QCOMPARE(pacer.due(), t0 + milliseconds(30));
    pacer.stepDone(RunSpeed::RealTime, t0 + milliseconds(31));
    QCOMPARE(pacer.due(), t0 + milliseconds(33));
    pacer.stepDone(RunSpeed::Fast, t0 + milliseconds(34));
    QCOMPARE(pacer.due(), t0 + milliseconds(34));
    pacer.stepDone(RunSpeed::RealTime, t0 + milliseconds(35));
    QCOMPARE(pacer.due(), t0 + milliseconds(37));
    QCOMPARE(RunPacer::interval(RunSpeed::SlowMotion), 10 * RunPacer::interval(RunSpeed::RealTime));
}

QTEST_GUILESS_MAIN(TestMyGenerator)
#include "tst_mygenerator.moc"
