// A Selmex session without any window: the random start, the sliders and the phase-order
// swap, the lamps over many ticks, its scenario files, their comments and switchboard kept
// through a save, and a refused file that changes nothing.
#include "fakeclock.h"
#include "schakelen.h"
#include "selmexfile.h"
#include "session.h"

#include <algorithm>
#include <memory>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QList<Colour> coloursOf(const Phasors &p) {
    return {p[0].PhaseColor, p[1].PhaseColor, p[2].PhaseColor};
}

// The session as the window starts it: its pictures at 100 %, the sliders in their middles.
void startAsTheWindow(SelmexSession &s, const SelmexScenario &scenario) {
    s.beginAtRandom(QSize(200, 200), QSize(200, 200));
    QVERIFY(s.openScenario(scenario));
    s.setAmplitude(50);
    s.setFrequency(50);
}

} // namespace

class TestSelmexSession : public QObject {
    Q_OBJECT
private slots:
    void randomStart_data();
    void randomStart();
    void sliders_data();
    void sliders();
    void phaseOrderSwap_data();
    void phaseOrderSwap();
    void lampsOverATurn_data();
    void lampsOverATurn();
    void scenarioFiles_data();
    void scenarioFiles();
};

void TestSelmexSession::randomStart_data() {
    QTest::addColumn<uint>("time");
    QTest::addColumn<QList<Colour>>("colours");
    QTest::addColumn<double>("direction");
    QTest::addColumn<int>("offset");
    QTest::addColumn<double>("factor");
    // The second colour draw gives the first one's colour again until the clock has moved on
    // far enough: at midnight 11 ms, at noon 10 ms (one reading a draw). -1: not counted.
    QTest::addColumn<int>("reads");
    QTest::newRow("midnight") << 0u << QList<Colour>{clRed, clLime, clBlue} << -1.0 << 12 << 0.8
                              << 16;
    QTest::newRow("noon") << 43200000u << QList<Colour>{clLime, clBlue, clRed} << 1.0 << 22 << 1.0
                          << 15;
    QTest::newRow("last millisecond")
        << 86399999u << QList<Colour>{clBlue, clRed, clLime} << -1.0 << 2 << 0.7 << -1;
}

void TestSelmexSession::randomStart() {
    QFETCH(uint, time);
    QFETCH(QList<Colour>, colours);
    QFETCH(double, direction);
    QFETCH(int, offset);
    QFETCH(double, factor);
    QFETCH(int, reads);
    const auto clock = std::make_shared<FakeClock>(FakeClock{{time, time}});
    SelmexSession s([clock] { return (*clock)(); });
    s.beginAtRandom(QSize(200, 200), QSize(200, 200));
    s.setAmplitude(50);
    s.setFrequency(50);
    if (reads >= 0) QCOMPARE(int(clock->reads), reads);
    QCOMPARE(coloursOf(s.networkPhasors()), (QList<Colour>{clRed, clLime, clBlue}));
    QCOMPARE(coloursOf(s.generatorPhasors()), colours);
    QCOMPARE(s.direction(), direction);
    QCOMPARE(s.frequencyOffset(), offset);
    QCOMPARE(s.amplitudeFactor(), factor);
    QCOMPARE(s.generatorStep(), (50 - offset) / 50.0 * 0.02 * direction);
    for (const Phasors *set : {&s.networkPhasors(), &s.generatorPhasors()}) {
        QCOMPARE((*set)[0].Angle, 0.5);
        QCOMPARE((*set)[1].Angle, -1.0 / 6);
        QCOMPARE((*set)[2].Angle, 7.0 / 6);
    }
    QCOMPARE(s.networkPhasors()[0].Length, 90.0);
    QCOMPARE(s.generatorPhasors()[0].Length, 90 * factor);
    QCOMPARE(s.networkStep(), 0.02);
    QCOMPARE(s.maxAngle(), 20);
    QCOMPARE(s.tickCount(), 0);
}

void TestSelmexSession::sliders_data() {
    QTest::addColumn<int>("voltage"); // the start's, at the amplitude slider's middle
    QTest::addColumn<int>("frequency");
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<int>("amplitudeSlider");
    QTest::addColumn<int>("frequencySlider");
    QTest::addColumn<double>("length"); // of the generator's arrows, pixels
    QTest::addColumn<double>("step");   // half-turns a tick
    QTest::newRow("amplitude at its bottom")
        << 266 << 50 << false << 0 << 50 << 90 * 0.7 * 0.5 << 0.02;
    QTest::newRow("middle, no offset") << 380 << 50 << false << 50 << 50 << 90.0 << 0.02;
    QTest::newRow("at the offset") << 380 << 33 << false << 50 << 17 << 90.0 << 0.0;
    // Below the offset the generator turns the other way; reversed, the other way again.
    QTest::newRow("below the offset") << 380 << 33 << false << 50 << 5 << 90.0 << -0.0048;
    QTest::newRow("below, reversed") << 380 << 33 << true << 50 << 5 << 90.0 << 0.0048;
    QTest::newRow("above, reversed") << 380 << 33 << true << 50 << 100 << 90.0 << -0.0332;
}

void TestSelmexSession::sliders() {
    QFETCH(int, voltage);
    QFETCH(int, frequency);
    QFETCH(bool, reversed);
    QFETCH(int, amplitudeSlider);
    QFETCH(int, frequencySlider);
    QFETCH(double, length);
    QFETCH(double, step);
    SelmexSession s(seededClock(3));
    SelmexScenario start;
    start.voltage = voltage;
    start.frequency = frequency;
    start.reversed = reversed;
    startAsTheWindow(s, start);
    s.setAmplitude(amplitudeSlider);
    s.setFrequency(frequencySlider);
    for (const Tvector &v : s.generatorPhasors()) QCOMPARE(v.Length, length);
    QVERIFY2(std::fabs(s.generatorStep() - step) < 1e-15,
             qPrintable(QString::number(s.generatorStep())));
}

void TestSelmexSession::phaseOrderSwap_data() {
    QTest::addColumn<int>("i"); // positions 1 to 3
    QTest::addColumn<int>("j");
    QTest::newRow("first two") << 1 << 2;
    QTest::newRow("last two") << 2 << 3;
    QTest::newRow("outer two") << 1 << 3;
}

void TestSelmexSession::phaseOrderSwap() {
    // Two colours exchanged reverse the order; the arrows stay where they stand, and the
    // network is not touched.
    QFETCH(int, i);
    QFETCH(int, j);
    SelmexSession s(seededClock(5));
    s.beginAtRandom(QSize(200, 200), QSize(200, 200));
    const Phasors before = s.generatorPhasors();
    const QList<Colour> net = coloursOf(s.networkPhasors());
    s.swapPhaseColours(i, j);
    QList<Colour> swapped = coloursOf(before);
    swapped.swapItemsAt(i - 1, j - 1);
    QCOMPARE(coloursOf(s.generatorPhasors()), swapped);
    for (std::size_t k = 0; k < 3; ++k) QCOMPARE(s.generatorPhasors()[k].Angle, before[k].Angle);
    QCOMPARE(FaseVolgordeGoed(s.networkPhasors(), s.generatorPhasors()),
             !FaseVolgordeGoed(s.networkPhasors(), before));
    QCOMPARE(coloursOf(s.networkPhasors()), net);
}

void TestSelmexSession::lampsOverATurn_data() {
    QTest::addColumn<bool>("rightOrder");
    QTest::newRow("right order") << true;
    QTest::newRow("wrong order") << false;
}

void TestSelmexSession::lampsOverATurn() {
    // Generator 10 Hz fast: a full turn against the network every 500 ticks. With the
    // right order the three lamps go dark together; with the wrong one a third of that
    // turn apart, one after the other.
    QFETCH(bool, rightOrder);
    SelmexSession s;
    s.begin(SelmexStart{}, QSize(200, 200), QSize(200, 200)); // the generator in step
    s.setAmplitude(50);
    s.setFrequency(50);
    if (!rightOrder) s.swapPhaseColours(1, 2);
    s.setStep(SelmexSession::PhasorSet::Generator, s.networkStep() * 1.2);
    std::array<int, 3> darkest{};
    std::array<double, 3> least{9, 9, 9};
    for (int k = 0; k < 500; ++k) {
        s.tick();
        const std::array<double, 3> lamps = s.reading().lamps;
        for (std::size_t i = 0; i < 3; ++i)
            if (lamps[i] < least[i]) least[i] = lamps[i], darkest[i] = k;
    }
    for (double lamp : least) QVERIFY(lamp < 0.01);
    std::sort(darkest.begin(), darkest.end());
    if (rightOrder) {
        QCOMPARE(darkest[0], darkest[2]);
    } else {
        QVERIFY2(
            std::abs(darkest[1] - darkest[0] - 167) <= 2 &&
                std::abs(darkest[2] - darkest[1] - 167) <= 2,
            qPrintable(QStringLiteral("%1 %2 %3").arg(darkest[0]).arg(darkest[1]).arg(darkest[2])));
    }
}

void TestSelmexSession::scenarioFiles_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("refusal"); // empty: opened
    QTest::addColumn<QByteArray>("savedComments");
    QTest::addColumn<double>("boardFrequency"); // 0: no switchboard
    QTest::newRow("exercise") << QByteArray("# Exercise 4\r\n# Why?\r\n\r\n[generator]\r\n"
                                            "phase_order = wrong\r\n")
                              << QString() << QByteArray("# Exercise 4\n# Why?\n\n# A Selmex")
                              << 0.0;
    QTest::newRow("switchboard") << QByteArray("[switchboard]\nfrequency = 49.5\n") << QString()
                                 << QByteArray("# A Selmex") << 49.5;
    QTest::newRow("broken") << QByteArray("[generator]\nfrequency = 4,2\n")
                            << QStringLiteral("ex.selmex, line 2") << QByteArray() << 0.0;
}

void TestSelmexSession::scenarioFiles() {
    QFETCH(QByteArray, file);
    QFETCH(QString, refusal);
    QFETCH(QByteArray, savedComments);
    QFETCH(double, boardFrequency);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ex.selmex")),
                  copy = dir.filePath(QStringLiteral("copy.selmex"));
    QString error;
    QVERIFY(writeSelmexFile(path, file, &error));
    SelmexSession s(seededClock(7));
    s.beginAtRandom(QSize(200, 200), QSize(200, 200));
    const SelmexStart before = s.start();
    QCOMPARE(s.openScenarioFile(path, &error), refusal.isEmpty());
    if (!refusal.isEmpty()) {
        QVERIFY2(error.contains(refusal), qPrintable(error));
        QVERIFY(s.start() == before && s.scenarioFile().isEmpty());
        return;
    }
    QCOMPARE(s.scenarioFile(), path);
    QVERIFY(s.saveScenarioFile(copy, &error));
    QCOMPARE(s.scenarioFile(), copy);
    const SelmexFileResult saved = readSelmexScenario(copy);
    QVERIFY2(saved.comments.startsWith(savedComments), saved.comments.constData());
    QCOMPARE(saved.switchboard ? saved.switchboard->frequency : 0.0, boardFrequency);
    // A session from no file keeps nothing of the file.
    QVERIFY(s.openScenario({}));
    QVERIFY(s.scenarioFile().isEmpty() && s.scenarioComments().isEmpty() &&
            !s.scenarioSwitchboard());
}

QTEST_MAIN(TestSelmexSession)
#include "tst_selmexsession.moc"
