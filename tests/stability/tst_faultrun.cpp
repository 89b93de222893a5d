// Whole fault runs in the window, driven as fast as the machine goes: the read-outs at
// the end, the out-of-step box, presses and closing during a run, the drawings' cost, the
// pictures a later run starts on, and the tripped line in the diagram.
#include "dravonharness.h"
#include "numberformat.h"

#include <QLineEdit>
#include <QtTest>
#include <sys/resource.h>

class TestFaultRun : public QObject {
    Q_OBJECT
private slots:
    void defaultRunEndsAtClockLimit();
    void outOfStepBoxInsideTheStep();
    void pressDuringRunStopsWithoutAnotherStep();
    void closingDuringRunEndsItAtOnce();
    void programExitsPromptlyWhenClosedDuringRun();
    void extremeMachineDataRunInBoundedMemory_data();
    void extremeMachineDataRunInBoundedMemory();
    void laterRunStartsFromCleanPlots();
    void trippedLineGreyWhileOpen_data();
    void trippedLineGreyWhileOpen();
};

void TestFaultRun::defaultRunEndsAtClockLimit() {
    DravonHarness h;
    QString lastClock;
    h.onStep = [&](int) { lastClock = control<QLineEdit>(h.w, "EdittotTijd")->text(); };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QVERIFY(h.boxes.empty());
    QCOMPARE(h.sounds, 0);
    // The clock is a running sum of 3 ms steps: the last step starts just below 10 s,
    // and its read-out shows that it is not exactly 9.999.
    QCOMPARE(lastClock, formatGeneral(9.99900000000027, systemDecimalSeparator()));
    // The read-outs keep the last state.
    QCOMPARE(control<QLineEdit>(h.w, "EdittotTijd")->text(), lastClock);
}

void TestFaultRun::outOfStepBoxInsideTheStep() {
    DravonHarness h;
    h.w.session().setClearingTime(400);
    control<QPushButton>(h.w, "Kortsluiting")->click();
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
    QCOMPARE(box.afterSteps, int(h.steps.size()) - 1);
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

void TestFaultRun::laterRunStartsFromCleanPlots() {
    // The window gives a later run fresh pictures: no area, only its own trace.
    DravonHarness h;
    control<QPushButton>(h.w, "Kortsluiting")->click();
    int limeAtStart = -1, blueOnPhase = -1;
    h.onStep = [&](int n) {
        if (n != 1) return;
        const DrawSurface &s = control<ImageControl>(h.w, "ImageSinus")->surface();
        const DrawSurface &f = control<ImageControl>(h.w, "ImageFase")->surface();
        limeAtStart = blueOnPhase = 0;
        for (int y = 0; y < 168; ++y)
            for (int x = 0; x < 281; ++x) limeAtStart += s.pixel(x, y) == clLime;
        for (int y = 0; y < 145; ++y)
            for (int x = 0; x < 145; ++x) blueOnPhase += f.pixel(x, y) == clBlue;
        h.clickDuringRun();
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QCOMPARE(limeAtStart, 0);
    QVERIFY(blueOnPhase <= 1); // only the first segment of the new trace
}

void TestFaultRun::trippedLineGreyWhileOpen_data() {
    QTest::addColumn<int>("recloseMs"); // 0: none
    QTest::newRow("line tripped") << 0;
    QTest::newRow("reclosed onto a permanent fault") << 150;
}

void TestFaultRun::trippedLineGreyWhileOpen() {
    // A fault halfway along one of two lines, shown with its mark: the line black while it
    // carries the fault, grey while it is open.
    QFETCH(int, recloseMs);
    DravonHarness h;
    FaultScenario twoLines;
    twoLines.network = Network::TwoLines;
    twoLines.recloseMs = recloseMs;
    twoLines.recloseOnto = RecloseOnto::Permanent;
    h.w.session().setScenario(twoLines);
    QVERIFY(control<ShapeControl>(h.w, "Lijn2")->isVisible() &&
            control<ShapeControl>(h.w, "FaultMark")->isVisible());
    std::vector<Colour> lineFill;
    h.onStep = [&](int) {
        const Colour fill = control<ShapeControl>(h.w, "Lijn2")->fill();
        if (lineFill.empty() || lineFill.back() != fill) lineFill.push_back(fill);
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    if (recloseMs == 0)
        QCOMPARE(lineFill, (std::vector<Colour>{clBlack, clSilver}));
    else
        QCOMPARE(lineFill, (std::vector<Colour>{clBlack, clSilver, clBlack, clSilver}));
}

QTEST_MAIN(TestFaultRun)
#include "tst_faultrun.moc"
