// What the synchronising panel reads from the phasors: phase difference, slip, the
// dark lamps and the closing current.
#include "synchropanel.h"

#include <cmath>
#include <QtTest>

namespace {

// A three-phase set: red at `angle` half-turns, the others a third and two thirds of a
// turn behind in the given colour order.
Phasors threePhase(double angle, double length, Colour second, Colour third) {
    Phasors set;
    const Colour colours[] = {clRed, second, third};
    for (std::size_t i = 0; i < 3; ++i) {
        set[i].Angle = angle - 2.0 * double(i) / 3;
        set[i].Length = length;
        set[i].PhaseColor = colours[i];
    }
    return set;
}

constexpr double NetStep = 0.02;

} // namespace

class TestSynchroPanel : public QObject {
    Q_OBJECT
private slots:
    void phaseDifferenceAndSlip();
    void lampsInTheDarkLampConnection();
    void closingCurrent();
    void closingCurrentLargestPhase_data();
    void closingCurrentLargestPhase();
};

void TestSynchroPanel::phaseDifferenceAndSlip() {
    const Phasors net = threePhase(0.25, 90, clGreen, clBlue);
    // In phase, at 50 Hz, with the network's voltage.
    PanelReading r = readPanel(net, threePhase(0.25, 90, clGreen, clBlue), NetStep, NetStep);
    QVERIFY(std::fabs(r.phaseDifferenceDeg) < 1e-9);
    QCOMPARE(r.slipHz, 0.0);
    QCOMPARE(r.generatorVolts, 380.0);
    QCOMPARE(r.voltageDifferencePercent, 0.0);
    // 5 Hz fast, 10 % high, 30 degrees ahead; then half a turn behind.
    r = readPanel(net, threePhase(0.25 + 1.0 / 6, 99, clGreen, clBlue), NetStep, NetStep * 1.1);
    QVERIFY(std::fabs(r.phaseDifferenceDeg - 30) < 1e-9);
    QVERIFY(std::fabs(r.slipHz - 5) < 1e-9);
    QVERIFY(std::fabs(r.generatorHz - 55) < 1e-9);
    QVERIFY(std::fabs(r.voltageDifferencePercent - 10) < 1e-9);
    r = readPanel(net, threePhase(0.25 - 1.0, 90, clGreen, clBlue), NetStep, NetStep);
    QVERIFY(std::fabs(r.phaseDifferenceDeg - 180) < 1e-9); // 180 itself, not -180
    // Turning the wrong way at 50 Hz: shown as 50 Hz, a slip of -100 Hz.
    r = readPanel(net, threePhase(0.25, 90, clGreen, clBlue), NetStep, -NetStep);
    QVERIFY(std::fabs(r.generatorHz - 50) < 1e-9);
    QVERIFY(std::fabs(r.slipHz + 100) < 1e-9);
    QVERIFY(!r.directionRight && r.phaseOrderRight);
    // The accepted sector for the default setup of 20.
    QVERIFY(std::fabs(acceptedHalfAngleDeg(20) - 11.478340954533572) < 1e-9);
}

void TestSynchroPanel::lampsInTheDarkLampConnection() {
    const Phasors net = threePhase(0.4, 90, clGreen, clBlue);
    // Right order, in phase: all three dark together.
    PanelReading r = readPanel(net, threePhase(0.4, 90, clGreen, clBlue), NetStep, NetStep);
    for (double lamp : r.lamps) QVERIFY(lamp < 1e-12);
    // Right order, 60 degrees out: all three equally half lit.
    r = readPanel(net, threePhase(0.4 + 1.0 / 3, 90, clGreen, clBlue), NetStep, NetStep);
    for (double lamp : r.lamps) QVERIFY(std::fabs(lamp - 0.5) < 1e-12);
    // Wrong order: red dark, the other two lit, and never all dark together.
    r = readPanel(net, threePhase(0.4, 90, clBlue, clGreen), NetStep, NetStep);
    QVERIFY(r.lamps[0] < 1e-12);
    QVERIFY(std::fabs(r.lamps[1] - std::sqrt(3.0) / 2) < 1e-12);
    QVERIFY(std::fabs(r.lamps[2] - std::sqrt(3.0) / 2) < 1e-12);
}

void TestSynchroPanel::closingCurrent() {
    // Equal voltages: |1 - e^(i phi)| / X"d, so 0, 5 and 10 times rated at 0, 60, 180.
    const Phasors net = threePhase(0.1, 90, clGreen, clBlue);
    const double expected[] = {0, 5, 10};
    const double angles[] = {0, 1.0 / 3, 1};
    for (int i = 0; i < 3; ++i) {
        const PanelReading r =
            readPanel(net, threePhase(0.1 + angles[i], 90, clGreen, clBlue), NetStep, NetStep);
        QVERIFY2(std::fabs(r.closingCurrent - expected[i]) < 1e-9,
                 qPrintable(QString::number(r.closingCurrent)));
    }
}

void TestSynchroPanel::closingCurrentLargestPhase_data() {
    QTest::addColumn<double>("ahead"); // half-turns the generator's red leads the network's
    QTest::addColumn<double>("expected");
    // Phase order wrong: green and blue swapped. In phase, those two close 120 degrees
    // apart, sqrt(3) / X"d; 60 degrees ahead, one of them closes at 180 degrees.
    QTest::newRow("in phase") << 0.0 << std::sqrt(3.0) / SubtransientReactance;
    QTest::newRow("60 degrees ahead") << 1.0 / 3 << 2 / SubtransientReactance;
}

void TestSynchroPanel::closingCurrentLargestPhase() {
    QFETCH(double, ahead);
    QFETCH(double, expected);
    const Phasors net = threePhase(0.1, 90, clGreen, clBlue);
    const PanelReading r =
        readPanel(net, threePhase(0.1 + ahead, 90, clBlue, clGreen), NetStep, NetStep);
    QVERIFY2(std::fabs(r.closingCurrent - expected) < 1e-9,
             qPrintable(QString::number(r.closingCurrent)));
    QVERIFY(!r.phaseOrderRight && r.directionRight);
}

QTEST_APPLESS_MAIN(TestSynchroPanel)
#include "tst_synchropanel.moc"
