// Whole fault runs, driven as fast as the machine goes, and the run's state machine.
#include "dravonharness.h"
#include "numberformat.h"
#include "textconvert.h"

#include <QLineEdit>
#include <QtTest>
#include <sys/resource.h>

class TestFaultRun : public QObject {
    Q_OBJECT
private slots:
    void defaultRunEndsAtClockLimit();
    void faultIsOnForFirst67Steps();
    void clearingTimeDecidesStability_data();
    void clearingTimeDecidesStability();
    void pressDuringRunStopsWithoutAnotherStep();
    void firstPressReusesStartupGenerator();
    void laterPressesCreateFreshGenerator();
    void pressHandledAfterStopStartsNestedRun();
    void closingDuringRunEndsItAtOnce();
    void programExitsPromptlyWhenClosedDuringRun();
    void realTimeScheduleDoesNotDrift();
    void extremeMachineDataRunInBoundedMemory_data();
    void extremeMachineDataRunInBoundedMemory();
};

void TestFaultRun::defaultRunEndsAtClockLimit() {
    DravonHarness h;
    QString lastClock;
    h.onStep = [&](int) { lastClock = control<QLineEdit>(h.w, "EdittotTijd")->text(); };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QCOMPARE(int(h.steps.size()), 3334);
    QCOMPARE(h.steps.back(), 3334);
    QVERIFY(!h.w.session().isRunning());
    QVERIFY(h.boxes.empty());
    QCOMPARE(h.sounds, 0);
    // The clock is a running sum of 3 ms steps: the last step starts just below 10 s,
    // and its read-out shows that it is not exactly 9.999.
    QCOMPARE(lastClock, formatGeneral(9.99900000000027, systemDecimalSeparator()));
    QVERIFY(h.w.session().runTime() >= 10.0);
    QVERIFY(std::fabs(h.w.session().generator().Delta) < 3.2); // stayed in step
    // The read-outs keep the last state; another press starts another run.
    QCOMPARE(control<QLineEdit>(h.w, "EdittotTijd")->text(), lastClock);
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QCOMPARE(int(h.steps.size()), 2 * 3334);
}

void TestFaultRun::faultIsOnForFirst67Steps() {
    DravonHarness h;
    QStringList pelek, clock;
    h.onStep = [&](int n) {
        pelek << control<QLineEdit>(h.w, "EditPelek")->text();
        clock << control<QLineEdit>(h.w, "EdittotTijd")->text();
        if (n == 70) h.clickDuringRun();
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QCOMPARE(pelek.size(), 70);
    for (int i = 0; i < 67; ++i) QCOMPARE(pelek[i], QStringLiteral("0"));
    QVERIFY(pelek[67] != QStringLiteral("0"));
    QCOMPARE(clock[0], QStringLiteral("0"));
    QCOMPARE(textToFloat(clock[66]), 66 * 0.003);
}

void TestFaultRun::clearingTimeDecidesStability_data() {
    QTest::addColumn<int>("clearingMs");
    QTest::addColumn<int>("outOfStepStep"); // 0: stays in step
    QTest::addColumn<double>("clock");
    QTest::newRow("375 ms stays in step") << 375 << 0 << 0.0;
    QTest::newRow("376 ms") << 376 << 976 << 2.925;
    QTest::newRow("400 ms") << 400 << 791 << 2.37;
}

void TestFaultRun::clearingTimeDecidesStability() {
    QFETCH(int, clearingMs);
    QFETCH(int, outOfStepStep);
    QFETCH(double, clock);
    DravonHarness h;
    h.w.session().setClearingTime(clearingMs);
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QVERIFY(!h.w.session().isRunning());
    if (outOfStepStep == 0) {
        QVERIFY(h.boxes.empty());
        QCOMPARE(int(h.steps.size()), 3334);
        return;
    }
    QCOMPARE(int(h.boxes.size()), 1);
    QCOMPARE(h.sounds, 1);
    const ShownBox &box = h.boxes.front();
    QCOMPARE(box.title, QStringLiteral("Warning"));
    QCOMPARE(box.text, QStringLiteral("De generator is uit de pas"));
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.buttons, QStringList{QStringLiteral("OK")});
    // Shown inside the step, with the step's clock already in its read-out; the step is
    // then completed and the run ends after it.
    QCOMPARE(box.clockReadout, control<QLineEdit>(h.w, "EdittotTijd")->text());
    QCOMPARE(box.afterSteps, outOfStepStep - 1);
    QCOMPARE(int(h.steps.size()), outOfStepStep);
    QVERIFY(std::fabs(textToFloat(control<QLineEdit>(h.w, "EdittotTijd")->text()) - clock) < 1e-9);
    QVERIFY(h.w.session().generator().Delta > 8 * 3.14159265358979);
}

void TestFaultRun::pressDuringRunStopsWithoutAnotherStep() {
    DravonHarness h;
    QString domegaAtStop;
    h.onStep = [&](int n) {
        if (n == 7) {
            domegaAtStop = control<QLineEdit>(h.w, "EditDomega")->text();
            h.clickDuringRun();
        }
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QCOMPARE(int(h.steps.size()), 7);
    QVERIFY(!h.w.session().isRunning());
    QCOMPARE(control<QLineEdit>(h.w, "EdittotTijd")->text(),
             formatGeneral(6 * 0.003 + 0.0, systemDecimalSeparator()));
    QCOMPARE(control<QLineEdit>(h.w, "EditDomega")->text(), domegaAtStop);
    QVERIFY(h.boxes.empty());
}

void TestFaultRun::firstPressReusesStartupGenerator() {
    DravonHarness h;
    const TMyGenerator *startup = &h.w.session().generator();
    const double startupM = h.w.session().generator().M;
    QVERIFY(h.w.session().freshGenerator());
    h.onStep = [&](int n) {
        if (n == 1) h.clickDuringRun();
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QVERIFY(!h.w.session().freshGenerator());
    QCOMPARE(&h.w.session().generator(), startup);
    QCOMPARE(h.w.session().generator().M, startupM);
    QVERIFY(h.w.session().generator().Domega > 0);
}

void TestFaultRun::laterPressesCreateFreshGenerator() {
    DravonHarness h;
    h.onStep = [&](int n) {
        if (n == 100) h.clickDuringRun();
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    const double domegaAfterFirst = h.w.session().generator().Domega;
    // New machine data are taken by the next run's fresh generator.
    h.w.session().setMachineData(TGenParams{450, 3.0, 0.00002, 0.5});
    h.onStep = [&](int n) {
        if (n == 1) h.clickDuringRun();
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    const TMyGenerator &g = h.w.session().generator();
    const double C = 314.15926535897932384;
    QCOMPARE(g.H, 3.0);
    QVERIFY(std::fabs(g.M - 3 * 450 * 2 / (C * C)) < 1e-15);
    // Its first step starts from rest with the clock back at 0: (C / 2H) Pmech dt.
    QVERIFY(std::fabs(g.Domega - C / 4000) < 1e-12);
    QVERIFY(g.Domega != domegaAfterFirst);
    QCOMPARE(control<QLineEdit>(h.w, "EdittotTijd")->text(), QStringLiteral("0"));
}

void TestFaultRun::pressHandledAfterStopStartsNestedRun() {
    DravonHarness h;
    bool posted = false;
    h.onStep = [&](int n) {
        if (n == 3 && !posted) {
            posted = true;
            h.clickDuringRun(); // stops the run ...
            h.clickDuringRun(); // ... and, in the same pump, starts the next one
        }
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QCOMPARE(int(h.steps.size()), 3 + 3334);
    QCOMPARE(h.steps[2], 3);
    QCOMPARE(h.steps[3], 1);
    QCOMPARE(h.steps.back(), 3334); // the outer run ended without a step of its own
    QVERIFY(!h.w.session().isRunning());
}

void TestFaultRun::closingDuringRunEndsItAtOnce() {
    DravonHarness h;
    h.w.show();
    h.onStep = [&](int n) {
        if (n == 10) QMetaObject::invokeMethod(&h.w, "close", Qt::QueuedConnection);
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QCOMPARE(int(h.steps.size()), 10);
    QVERIFY(!h.w.isVisible());
    QVERIFY(!h.w.session().isRunning());
}

void TestFaultRun::programExitsPromptlyWhenClosedDuringRun() {
    // File > Close in the middle of a run: the program's event loop ends as soon as the
    // run's loop has seen the request, not when the simulated clock reaches 10 s.
    DravonHarness h;
    h.w.show();
    h.onStep = [&](int n) {
        if (n == 5)
            QMetaObject::invokeMethod(control<QAction>(h.w, "Close1"), "trigger",
                                      Qt::QueuedConnection);
    };
    QTimer::singleShot(0, control<QPushButton>(h.w, "Kortsluiting"), &QPushButton::click);
    QApplication::exec();
    QCOMPARE(int(h.steps.size()), 5);
    QVERIFY(!h.w.session().isRunning());
}

void TestFaultRun::realTimeScheduleDoesNotDrift() {
    // A run in real time, on a clock that the test moves on: half a step each time the
    // loop looks at it, so each step finds itself due without any real waiting. The
    // steps keep to the schedule of one every 3 ms: the last of the 3334 is due 9.999 s
    // after the first, so the run ends 10.0 s after the press.
    using namespace std::chrono;
    DravonHarness h;
    h.w.session().setSpeed(RunSpeed::RealTime);
    auto now = RunPacer::Clock::time_point(hours(1));
    int looks = 0;
    h.w.session().clock = [&] {
        ++looks;
        return now += microseconds(1500);
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QCOMPARE(int(h.steps.size()), 3334);
    QCOMPARE(h.w.session().lastStepDue() - h.w.session().firstStepDue(), milliseconds(9999));
    QVERIFY(looks >= 2 * 3333);
}

void TestFaultRun::extremeMachineDataRunInBoundedMemory_data() {
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("pmech");
    QTest::addColumn<int>("steps");
    // The first step throws the phase point some 3E8 pixels off its 145-pixel picture.
    QTest::newRow("H 1e-8") << 1e-8 << 0.5 << 1;
    // Seventy steps with the angle near -9E91 rad: the block, the areas and the rotor
    // are drawn far outside their pictures before the generator leaves upwards.
    QTest::newRow("H 1e-100, Pmech 1e-300") << 1e-100 << 1e-300 << 71;
}

void TestFaultRun::extremeMachineDataRunInBoundedMemory() {
    // Values the generator dialog accepts, run as fast as the machine goes: the run ends
    // by losing synchronism, and the drawings cost no more than their pictures.
    QFETCH(double, h);
    QFETCH(double, pmech);
    QFETCH(int, steps);
    DravonHarness harness;
    StabilityCase c;
    c.machine.H = h;
    c.machine.Demping = 0;
    c.machine.Pmech = pmech;
    QVERIFY(harness.w.session().openCase(c)); // a generator built from these values
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    control<QPushButton>(harness.w, "Kortsluiting")->click();
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    QCOMPARE(int(harness.steps.size()), steps);
    QCOMPARE(int(harness.boxes.size()), 1);
    QVERIFY(!harness.w.session().isRunning());
    // Peak memory, in KiB: collecting the pixels of that one line took gigabytes.
    QVERIFY2(after.ru_maxrss - before.ru_maxrss < 200 * 1024,
             qPrintable(QStringLiteral("grew by %1 KiB").arg(after.ru_maxrss - before.ru_maxrss)));
}

QTEST_MAIN(TestFaultRun)
#include "tst_faultrun.moc"
