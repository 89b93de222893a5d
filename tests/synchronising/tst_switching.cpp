// The switching conditions on a session of the model, without any window: the verdict
// and what a good one does, and the angle window the synchroscope aid shows.
#include "session.h"
#include "verdicttext.h"

#include <QtTest>

namespace {

// The generator exactly on the network: right order, same direction, 380 V, 50 Hz.
SelmexSession inStep() {
    SelmexSession s;
    s.begin(SelmexStart{}, QSize(200, 200), QSize(200, 200));
    s.setAmplitude(50);
    s.setFrequency(50);
    return s;
}

} // namespace

class TestSwitching : public QObject {
    Q_OBJECT
private slots:
    void verdicts_data();
    void verdicts();
    void angleWindow();
};

void TestSwitching::verdicts_data() {
    QTest::addColumn<double>("turn");   // half-turns added to the generator's angles
    QTest::addColumn<double>("length"); // the generator's arrows, pixels (the network's 90)
    QTest::addColumn<double>("genStep");
    QTest::addColumn<bool>("swapOrder");
    QTest::addColumn<QStringList>("failed");
    QTest::addColumn<QString>("message"); // as the box shows it
    const QString good = QStringLiteral("Goed gedaan");
    QTest::newRow("in step") << 0.0 << 90.0 << 0.02 << false << QStringList{} << good;
    QTest::newRow("a little behind, 10 % short, standing still")
        << -0.02 << 81.0 << 0.0 << false << QStringList{} << good;
    QTest::newRow("angle") << 0.2 << 90.0 << 0.02 << false << QStringList{"hoek te groot"}
                           << "BOEM!!!\r\rhoek te groot\r";
    QTest::newRow("reversed") << 0.0 << 90.0 << -0.02 << false << QStringList{"draairichting fout"}
                              << "BOEM!!!\r\rdraairichting fout\r";
    QTest::newRow("more than 10 % short")
        << 0.0 << 80.9 << 0.02 << false << QStringList{"spanning niet goed"}
        << "BOEM!!!\r\rspanning niet goed\r";
    QTest::newRow("more than 10 % long")
        << 0.0 << 99.1 << 0.02 << false << QStringList{"spanning niet goed"}
        << "BOEM!!!\r\rspanning niet goed\r";
    QTest::newRow("phase order") << 0.0 << 90.0 << 0.02 << true
                                 << QStringList{"fasevolgorde niet goed"}
                                 << "BOEM!!!\r\rfasevolgorde niet goed";
    QTest::newRow("all wrong") << 1.0 << 50.0 << -0.01 << true
                               << QStringList{"hoek te groot", "draairichting fout",
                                              "spanning niet goed", "fasevolgorde niet goed"}
                               << "BOEM!!!\r\rhoek te groot\rdraairichting fout\rspanning niet "
                                  "goed\rfasevolgorde niet goed";
    // The trainer judges the moment: a generator at 55 Hz inside the window passes.
    QTest::newRow("drifting at 55 Hz") << 0.0 << 90.0 << 0.022 << false << QStringList{} << good;
}

void TestSwitching::verdicts() {
    QFETCH(double, turn);
    QFETCH(double, length);
    QFETCH(double, genStep);
    QFETCH(bool, swapOrder);
    QFETCH(QStringList, failed);
    QFETCH(QString, message);
    SelmexSession s = inStep();
    Phasors gen = s.generatorPhasors();
    for (Tvector &v : gen) {
        v.Angle += turn;
        v.Length = length;
        v.Bereken();
    }
    s.placePhasors(SelmexSession::PhasorSet::Generator, gen);
    if (swapOrder) s.swapPhaseColours(2, 3);
    s.setStep(SelmexSession::PhasorSet::Generator, genStep);
    const SchakelOordeel oordeel = s.switchAttempt();
    QCOMPARE(fouten(oordeel), failed);
    QCOMPARE(verdictMessage(oordeel), message);
    QCOMPARE(s.connected(), failed.isEmpty());
    QCOMPARE(s.generatorStep(), failed.isEmpty() ? s.networkStep() : genStep);
    QCOMPARE(int(s.log().entries().size()), 1);
    QVERIFY(s.lastSwitching() && s.lastSwitching()->oordeel.goed() == failed.isEmpty());
    // A real synchronising check is stricter: it refuses the drifting generator.
    if (genStep == 0.022) QVERIFY(!judgeRealLimits(s.log().entries()[0].at).within);
}

void TestSwitching::angleWindow() {
    SelmexSession s = inStep();
    const QPoint tip = s.networkPhasors()[0].tip();
    const auto genTipAt = [&](int dx, int dy) {
        Phasors gen = s.generatorPhasors();
        for (Tvector &v : gen)
            if (v.PhaseColor == clRed) v.Points[0] = tip + QPoint(dx, dy);
        s.placePhasors(SelmexSession::PhasorSet::Generator, gen);
        return s.angleWithinWindow();
    };
    // 20 % of 90 pixels: 18. The comparison is strict, the window square.
    QVERIFY(genTipAt(0, 0));
    QVERIFY(genTipAt(17, -17));
    QVERIFY(!genTipAt(18, 0));
    QVERIFY(!genTipAt(0, -18));
    QVERIFY(!genTipAt(-18, 3));
    s.setMaxAngle(0);
    QVERIFY(!genTipAt(0, 0)); // nothing is ever close enough
    s.setMaxAngle(100);
    QVERIFY(genTipAt(89, -89));
    QVERIFY(!genTipAt(90, 0));
}

QTEST_GUILESS_MAIN(TestSwitching)
#include "tst_switching.moc"
