// The rotating phasor: its arrow's points (the model), its drawing and erasing (the
// phasor diagram), and a diagram following the session's tick (Draai).
#include "phasordiagram.h"
#include "session.h"
#include "tvector.h"

#include <QtTest>

namespace {

using PhasorSet = SelmexSession::PhasorSet;

// A session whose network phasors stand at `angles` and whose generator stands still.
SelmexSession networkAt(QSize picture, const double (&angles)[3]) {
    SelmexSession session;
    session.begin(SelmexStart{}, picture, picture);
    session.setStep(PhasorSet::Generator, 0);
    Phasors net = session.networkPhasors();
    for (std::size_t k = 0; k < 3; ++k) {
        net[k].Angle = angles[k];
        net[k].Bereken();
    }
    session.placePhasors(PhasorSet::Network, net);
    return session;
}

// The diagram follows the network's phasors as the window's do: erase one, run the
// events, draw it turned.
SelmexSession::TickWatcher follow(PhasorDiagram &d, const std::function<void()> &pump) {
    return {[&d, pump](PhasorSet set, std::size_t k) {
                if (set != PhasorSet::Network) return;
                d.Wis(k);
                if (pump) pump();
            },
            [&d](PhasorSet set, std::size_t k, const Tvector &v) {
                if (set == PhasorSet::Network) d.Teken(k, v);
            }};
}

QSet<QPair<int, int>> inked(const DrawSurface &s) {
    QSet<QPair<int, int>> result;
    for (int y = 0; y < s.size().height(); ++y)
        for (int x = 0; x < s.size().width(); ++x)
            if (s.pixel(x, y) != clWhite) result.insert({x, y});
    return result;
}

} // namespace

class TestTvector : public QObject {
    Q_OBJECT
private slots:
    void startsWithDefaults();
    void pointsOfWorkedExamples_data();
    void pointsOfWorkedExamples();
    void drawsShaftAndHeadAndErasesThem();
    void draaiWrapsOnlyAboveTwo();
    void stepZeroRedrawsInPlace();
    void erasingClearsSharedCentre();
    void nestedTickLeavesNoGhost();
};

void TestTvector::startsWithDefaults() {
    const Tvector v;
    QCOMPARE(v.Centre, QPoint(10, 10));
    QCOMPARE(v.Length, 10.0);
    QCOMPARE(v.Angle, 0.0);
    QCOMPARE(v.PhaseColor, Colour(0x0000FFFF));
    DrawSurface s(QSize(20, 20));
    QVERIFY(!PhasorDiagram(s).isDrawn(0));
}

void TestTvector::pointsOfWorkedExamples_data() {
    QTest::addColumn<double>("angle");
    QTest::addColumn<QPoint>("tip");
    QTest::addColumn<QPoint>("barb1");
    QTest::addColumn<QPoint>("barb2");
    QTest::newRow("up") << 0.5 << QPoint(100, 10) << QPoint(96, 19) << QPoint(104, 19);
    QTest::newRow("-30 degrees") << -1.0 / 6 << QPoint(178, 145) << QPoint(172, 137)
                                 << QPoint(168, 144);
    QTest::newRow("right") << 0.0 << QPoint(190, 100) << QPoint(181, 96) << QPoint(181, 104);
}

void TestTvector::pointsOfWorkedExamples() {
    QFETCH(double, angle);
    QFETCH(QPoint, tip);
    QFETCH(QPoint, barb1);
    QFETCH(QPoint, barb2);
    DrawSurface s(QSize(200, 200));
    Tvector v;
    v.Init(clRed, s.size(), angle);
    QCOMPARE(v.Centre, QPoint(100, 100));
    QCOMPARE(v.Length, 90.0);
    QCOMPARE(v.Points, (std::array<QPoint, 4>{tip, barb1, barb2, tip}));
    // Drawn, the arrow stands at these points in the colour Init gave it: the
    // constructor's yellow never reaches the picture.
    PhasorDiagram(s).Teken(0, v);
    for (const QPoint &p : {tip, barb1, barb2}) QCOMPARE(s.pixel(p.x(), p.y()), clRed);
    for (const auto &p : inked(s)) QCOMPARE(s.pixel(p.first, p.second), clRed);
}

void TestTvector::drawsShaftAndHeadAndErasesThem() {
    DrawSurface s(QSize(200, 200));
    Tvector v;
    v.Init(clLime, s.size(), 0.0);
    PhasorDiagram d(s);
    d.Teken(0, v);
    for (int x = 100; x < 190; ++x) QCOMPARE(s.pixel(x, 100), clLime);
    QCOMPARE(s.pixel(181, 96), clLime);
    QCOMPARE(s.pixel(181, 104), clLime);
    QCOMPARE(s.pixel(184, 100), clLime);
    QCOMPARE(s.penWidth(), 1);
    d.Wis(0);
    QVERIFY(inked(s).isEmpty());
    d.Wis(0); // nothing on the picture: nothing to do
    QVERIFY(inked(s).isEmpty());
}

void TestTvector::draaiWrapsOnlyAboveTwo() {
    SelmexSession session = networkAt(QSize(200, 200), {2.0, 1.99, -5.0});
    const Phasors &list = session.networkPhasors();
    session.setStep(PhasorSet::Network, 0.0);
    session.tick();
    QCOMPARE(list[0].Angle, 2.0); // exactly 2 is not reduced
    session.setStep(PhasorSet::Network, 0.02);
    session.tick();
    QVERIFY(std::fabs(list[0].Angle - 0.02) < 1e-12);
    QVERIFY(std::fabs(list[1].Angle - 0.01) < 1e-12);
    QVERIFY(std::fabs(list[2].Angle + 4.98) < 1e-12); // no wrap at the lower end
    session.setStep(PhasorSet::Network, -0.5);
    session.tick();
    QVERIFY(std::fabs(list[2].Angle + 5.48) < 1e-12);
}

void TestTvector::stepZeroRedrawsInPlace() {
    DrawSurface s(QSize(200, 200));
    SelmexSession session = networkAt(s.size(), {0.5, -1.0 / 6, 7.0 / 6});
    session.setStep(PhasorSet::Network, 0.0);
    PhasorDiagram d(s);
    session.tick(follow(d, {}));
    const QImage first = s.image().copy();
    int pumped = 0;
    session.tick(follow(d, [&pumped] { ++pumped; }));
    QCOMPARE(pumped, 3); // events run once per phasor, between erasing and drawing
    QCOMPARE(s.image(), first);
}

void TestTvector::erasingClearsSharedCentre() {
    DrawSurface s(QSize(200, 200));
    Tvector a, b;
    a.Init(clRed, s.size(), 0.5);
    b.Init(clBlue, s.size(), 0.0);
    PhasorDiagram d(s);
    d.Teken(0, a);
    d.Teken(1, b); // the last drawn wins at the shared centre
    QCOMPARE(s.pixel(100, 100), clBlue);
    d.Wis(1);
    QCOMPARE(s.pixel(100, 100), clWhite); // a's centre pixel is gone too ...
    QCOMPARE(s.pixel(100, 50), clRed);    // ... the rest of a stays
    d.Teken(0, a);
    QCOMPARE(s.pixel(100, 100), clRed);
}

void TestTvector::nestedTickLeavesNoGhost() {
    // A tick that runs while another has erased a phasor and waits in its events: when
    // the outer tick goes on it must not leave the nested tick's arrow behind.
    DrawSurface s(QSize(200, 200));
    SelmexSession session = networkAt(s.size(), {0.5, -1.0 / 6, 7.0 / 6});
    const Phasors &list = session.networkPhasors();
    PhasorDiagram d(s);
    session.tick(follow(d, {}));
    bool nested = false;
    std::function<void()> pump;
    pump = [&] {
        if (nested) return;
        nested = true;
        for (int k = 0; k < 3; ++k) session.tick(follow(d, pump));
    };
    session.tick(follow(d, pump));
    // Five turns of 0.02 each, one per tick delivered.
    QVERIFY(std::fabs(list[0].Angle - 0.6) < 1e-12);
    QVERIFY(std::fabs(list[2].Angle - (7.0 / 6 + 0.1)) < 1e-12);
    // The picture holds just the three arrows as they now stand.
    DrawSurface expected(QSize(200, 200));
    PhasorDiagram e(expected);
    for (std::size_t k = 0; k < 3; ++k) e.Teken(k, list[k]);
    QCOMPARE(inked(s), inked(expected));
}

QTEST_GUILESS_MAIN(TestTvector)
#include "tst_tvector.moc"
