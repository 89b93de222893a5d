// The power-angle plot, the phase plane and the rotor view: geometry, mappings and the
// exact pixels they draw.
#include "fase.h"
#include "rotor.h"
#include "sinusplot.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <QtTest>

namespace {

const double Pi = 3.14159265358979323846;
const double Huge = 1e300;
const double NoNumber = std::numeric_limits<double>::quiet_NaN();

QSet<QPair<int, int>> pixelsOf(const DrawSurface &s, Colour colour) {
    QSet<QPair<int, int>> result;
    for (int y = 0; y < s.size().height(); ++y)
        for (int x = 0; x < s.size().width(); ++x)
            if (s.pixel(x, y) == colour) result.insert({x, y});
    return result;
}

} // namespace

class TestPlots : public QObject {
    Q_OBJECT
private slots:
    void powerAngleGeometry();
    void hoek2XWrapsOnePeriod_data();
    void hoek2XWrapsOnePeriod();
    void curvePmechAndAxes();
    void operatingPointBlock();
    void phasePlaneGeometryAndMappings();
    void phasePlaneTraceFollowsPen();
    void rotorGeometry();
    void rotorOutline_data();
    void rotorOutline();
    void rotorEraseLeavesCircle();
    void farPointsStayOffThePicture();
    void rotorAtHugeAngles();
    void zoomedPowerAngle();
};

void TestPlots::powerAngleGeometry() {
    DrawSurface s(QSize(281, 168));
    SinusPlot p(s);
    p.InitSinus();
    QCOMPARE(p.SinusBreedte, 225);
    QCOMPARE(p.SinusHoogte, 134);
    QCOMPARE(p.SinusLinks, 28);
    QCOMPARE(p.SinusNulX, 84);
    QCOMPARE(p.SinusNulY, 84);
    QCOMPARE(p.SinusBoven, 17);
    QCOMPARE(p.VermogenSchaal, 60.3);
    QCOMPARE(p.HoekStap, 2.0 / 225);
    QCOMPARE(p.VlakCapaciteit, 137);
}

void TestPlots::hoek2XWrapsOnePeriod_data() {
    QTest::addColumn<double>("angle");
    QTest::addColumn<int>("x");
    QTest::newRow("0") << 0.0 << 84;
    QTest::newRow("pi/2") << Pi / 2 << 140;
    QTest::newRow("pi") << Pi << 196;
    QTest::newRow("-pi/2") << -Pi / 2 << 28;
    QTest::newRow("3pi/2") << 3 * Pi / 2 << 253;
    QTest::newRow("just past 3pi/2 wraps left") << 3 * Pi / 2 + 0.01 << 28;
    QTest::newRow("2pi") << 2 * Pi << 84;
    QTest::newRow("2pi + 0.1") << 2 * Pi + 0.1 << 88;
    QTest::newRow("-pi is not wrapped") << -Pi << -28;
    QTest::newRow("four turns and a bit") << 8 * Pi + 0.1 << 88;
}

void TestPlots::hoek2XWrapsOnePeriod() {
    QFETCH(double, angle);
    QFETCH(int, x);
    DrawSurface s(QSize(281, 168));
    SinusPlot p(s);
    p.InitSinus();
    QCOMPARE(p.Hoek2X(angle), x);
}

void TestPlots::curvePmechAndAxes() {
    DrawSurface s(QSize(281, 168));
    SinusPlot p(s);
    int shown = 0;
    p.showWindow = [&shown] { ++shown; };
    p.InitSinus();
    p.BerekenSinus();
    QCOMPARE(int(p.SinusPunten.size()), 225);
    QCOMPARE(p.SinusPunten.front(), QPoint(28, 144)); // sin(-90 degrees) = -1
    QCOMPARE(p.SinusPunten.back().x(), 252);
    const auto [lo, hi] =
        std::minmax_element(p.SinusPunten.begin(), p.SinusPunten.end(),
                            [](const QPoint &a, const QPoint &b) { return a.y() < b.y(); });
    QCOMPARE(lo->y(), 24);  // power +1
    QCOMPARE(hi->y(), 144); // power -1
    QVERIFY(std::count(p.SinusPunten.begin(), p.SinusPunten.end(), QPoint(p.Hoek2X(Pi / 2), 24)) ==
            1);

    p.TekenSinus();
    p.TekenPmech(0.5);
    QCOMPARE(p.PmechPunten, (PointList{{28, 54}, {253, 54}}));
    p.Tekenas();
    QCOMPARE(shown, 1);
    QCOMPARE(s.penColour(), clRed);
    QCOMPARE(s.penWidth(), 1);

    // The curve's crest, the Pmech line and the axes, where nothing else lies.
    QCOMPARE(s.pixel(lo->x(), 24), clBlue);
    QCOMPARE(s.pixel(28, 144), clBlue);       // the first point is drawn ...
    QCOMPARE(s.pixel(252, hi->y()), clWhite); // ... the last is left out
    for (int x : {28, 60, 200, 252}) QCOMPARE(s.pixel(x, 54), clGreen);
    QCOMPARE(s.pixel(253, 54), clWhite);
    for (int x : {30, 150, 252}) QCOMPARE(s.pixel(x, 84), clRed);
    for (int y : {17, 40, 150}) QCOMPARE(s.pixel(84, y), clRed);
    QCOMPARE(s.pixel(84, 54), clRed); // the axes are drawn last
    // Two pixels wide: one row (column) on each side of the line is still white.
    QCOMPARE(s.pixel(150, 82), clWhite);
    QCOMPARE(s.pixel(150, 85), clWhite);
    QCOMPARE(s.pixel(82, 150), clWhite);
    QCOMPARE(s.pixel(85, 150), clWhite);
    const auto blues = pixelsOf(s, clBlue);
    for (const auto &b : blues) QVERIFY(b.second >= 24 && b.second <= 144);
}

void TestPlots::operatingPointBlock() {
    DrawSurface s(QSize(281, 168));
    SinusPlot p(s);
    p.InitSinus();
    // Erasing before any block has been drawn draws nothing.
    s.setPenColour(clRed);
    s.setBrush(clRed);
    s.polygon({{0, 0}, {280, 0}, {280, 167}, {0, 167}});
    const QImage red = s.image().copy();
    p.VerwijderBlok();
    QCOMPARE(s.image(), red);

    // The start operating point: 30 degrees (18.75 gives 19 columns), Pelek 0.5.
    p.TekenBlok(Pi / 6, 0.5);
    QCOMPARE(p.BlokPunten, (PointList{{102, 53}, {104, 53}, {104, 55}, {102, 55}, {102, 53}}));
    const auto black = pixelsOf(s, clBlack);
    QCOMPARE(black.size(), 8); // the ring around (103, 54)
    QVERIFY(!black.contains({103, 54}));
    p.VerwijderBlok();
    QVERIFY(p.BlokPunten.empty());
    QVERIFY(pixelsOf(s, clBlack).isEmpty());
    QCOMPARE(pixelsOf(s, clWhite).size(), 8); // whitened what lay under the block
    p.Schoon();
    QCOMPARE(pixelsOf(s, clWhite).size(), 281 * 168);
}

void TestPlots::phasePlaneGeometryAndMappings() {
    DrawSurface s(QSize(145, 145));
    Fase f(s);
    f.InitFase();
    QCOMPARE(f.FaseBreedte, 116);
    QCOMPARE(f.FaseHoogte, 116);
    QCOMPARE(f.FaseLinks, 14);
    QCOMPARE(f.FaseNulX, 72);
    QCOMPARE(f.FaseBoven, 14);
    QCOMPARE(f.FaseNulY, 72);
    QVERIFY(!f.FasePunt);
    QCOMPARE(f.FaseHoek2X(Pi / 6), 89);
    QCOMPARE(f.FaseHoek2X(Pi / 2), 124);
    QCOMPARE(f.FaseHoek2X(Pi), 176);
    QCOMPARE(f.FaseHoek2X(-Pi / 2), 20);
    QCOMPARE(f.FaseHoek2X(10 * Pi), 72 + 1044); // not wrapped
    QCOMPARE(f.FaseDomega2Y(0), 72);
    QCOMPARE(f.FaseDomega2Y(1), 60);
    QCOMPARE(f.FaseDomega2Y(5), 14);
    QCOMPARE(f.FaseDomega2Y(-5), 130);
    f.BerekenFase(Pi / 6, 0);
    QCOMPARE(*f.FasePunt, QPoint(89, 72));
}

void TestPlots::phasePlaneTraceFollowsPen() {
    DrawSurface s(QSize(145, 145));
    Fase f(s);
    f.InitFase();
    f.TekenasFase();
    QCOMPARE(s.penWidth(), 1);
    QCOMPARE(s.pixel(20, 72), clRed);
    QCOMPARE(s.pixel(72, 20), clRed);
    f.beginTrace(Pi / 6, 0);
    QCOMPARE(s.penPos(), QPoint(89, 72));
    f.BerekenFase(Pi / 6, 0);
    f.TekenFase(); // a line of no length
    f.BerekenFase(Pi / 2, 2);
    f.TekenFase();
    f.BerekenFase(Pi / 2, -2);
    f.TekenFase();
    QCOMPARE(s.penPos(), QPoint(124, 95));
    // One pixel of the segment from (89, 72) to (124, 49) in column 100, near y = 64.8.
    int inColumn = 0;
    for (int y = 0; y < 145; ++y)
        if (s.pixel(100, y) == clBlue) {
            ++inColumn;
            QVERIFY(y >= 64 && y <= 66);
        }
    QCOMPARE(inColumn, 1);
    for (int y = 49; y < 95; ++y) QCOMPARE(s.pixel(124, y), clBlue);
    // Beyond the image the trace is cut off; nothing wraps.
    f.BerekenFase(10.0, 0);
    f.TekenFase();
    QCOMPARE(s.pixel(144, 94), clWhite);
    QCOMPARE(s.pixel(144, s.penPos().y()), clWhite);
    f.SchoonFase();
    QCOMPARE(pixelsOf(s, clWhite).size(), 145 * 145);
    QCOMPARE(s.penColour(), clBlack);
}

void TestPlots::rotorGeometry() {
    DrawSurface s(QSize(161, 161));
    Rotor r(s);
    r.InitRotor();
    QCOMPARE(r.RotorMidX, 80);
    QCOMPARE(r.RotorMidY, 80);
    QCOMPARE(r.CirkelStraal, 64);
    QCOMPARE(r.RotorStraal, 58);
    QVERIFY(r.RotorOmtrek.empty());
    // The fixed circle: blue, two pixels wide, radius 64 about the centre.
    QCOMPARE(s.pixel(144, 80), clBlue);
    QCOMPARE(s.pixel(80, 16), clBlue);
    QCOMPARE(s.pixel(80, 80), clWhite);
    for (const auto &p : pixelsOf(s, clBlue)) {
        const double d = std::hypot(p.first - 80, p.second - 80);
        QVERIFY2(d > 62 && d < 66, qPrintable(QString::number(d)));
    }
}

void TestPlots::rotorOutline_data() {
    QTest::addColumn<double>("delta");
    QTest::addColumn<int>("points");
    QTest::addColumn<QPoint>("first");
    QTest::addColumn<PointList>("on");
    QTest::addColumn<QPoint>("poleFrom");
    QTest::addColumn<QPoint>("poleTo");
    QTest::newRow("0") << 0.0 << 539 << QPoint(109, 130)
                       << PointList{{109, 30}, {109, 57}, {51, 57},  {51, 30},
                                    {51, 130}, {51, 103}, {109, 102}}
                       << QPoint(109, 57) << QPoint(109, 102);
    QTest::newRow("30 degrees") << Pi / 6 << 541 << QPoint(80, 138) << PointList{}
                                << QPoint(117, 75) << QPoint(94, 114);
    QTest::newRow("90 degrees") << Pi / 2 << -1 << QPoint() << PointList{} << QPoint(103, 109)
                                << QPoint(58, 109);
}

void TestPlots::rotorOutline() {
    QFETCH(double, delta);
    QFETCH(int, points);
    QFETCH(QPoint, first);
    QFETCH(PointList, on);
    QFETCH(QPoint, poleFrom);
    QFETCH(QPoint, poleTo);
    DrawSurface s(QSize(161, 161));
    Rotor r(s);
    r.InitRotor();
    r.TekenRotor(delta);
    const PointList &o = r.RotorOmtrek;
    if (points > 0) {
        QCOMPARE(int(o.size()), points);
        QCOMPARE(o.front(), first);
    }
    QVERIFY(o.size() <= 541);
    QCOMPARE(o.back(), o.front()); // closed
    // The corners come in this order along the outline.
    auto at = o.begin();
    for (const QPoint &corner : on) {
        at = std::find(at, o.end(), corner);
        QVERIFY2(at != o.end(),
                 qPrintable(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y())));
    }
    QCOMPARE(r.PoolLijn, (PointList{poleFrom, poleTo}));
    QCOMPARE(s.pixel(o[10].x(), o[10].y()), clRed);
    QCOMPARE(s.pixel(poleFrom.x(), poleFrom.y()), clBlue); // drawn over the outline
}

void TestPlots::rotorEraseLeavesCircle() {
    DrawSurface s(QSize(161, 161));
    Rotor r(s);
    r.WisRotor(); // before any rotor: nothing
    QCOMPARE(pixelsOf(s, clWhite).size(), 161 * 161);
    r.InitRotor();
    const QImage circleOnly = s.image().copy();
    for (double delta : {0.0, Pi / 6, 1.0, Pi / 2, 2.5, 7.0}) {
        r.TekenRotor(delta);
        QVERIFY(s.image() != circleOnly);
        r.WisRotor();
        QVERIFY(r.RotorOmtrek.empty());
        QVERIFY(r.PoolLijn.empty());
        QCOMPARE(s.image(), circleOnly);
        r.WisRotor(); // twice in a row: nothing more
        QCOMPARE(s.image(), circleOnly);
    }
}

void TestPlots::farPointsStayOffThePicture() {
    // A run with absurd machine data (a tiny inertia) sends the speed and the angle far
    // beyond the pictures, or to no number: the points stay off the picture on the side
    // they ran off, and nothing wraps round onto it.
    DrawSurface s(QSize(145, 145));
    Fase f(s);
    f.InitFase();
    QVERIFY(f.FaseHoek2X(Huge) >= 145);
    QVERIFY(f.FaseHoek2X(-Huge) < 0);
    QVERIFY(f.FaseDomega2Y(Huge) < 0);
    QVERIFY(f.FaseDomega2Y(-Huge) >= 145);
    QVERIFY(f.FaseHoek2X(NoNumber) < 0);
    QVERIFY(f.FaseDomega2Y(NoNumber) >= 145);
    f.beginTrace(Pi / 6, 0); // from (89, 72)
    for (const auto &[delta, domega] : {std::pair{Pi / 2, Huge}, std::pair{Pi / 2, -Huge},
                                        std::pair{NoNumber, NoNumber}, std::pair{Pi / 6, 0.0}}) {
        f.BerekenFase(delta, domega);
        f.TekenFase();
    }
    QCOMPARE(s.penPos(), QPoint(89, 72));
    for (int y = 0; y <= 72; ++y) QCOMPARE(s.pixel(89, y), clBlue);  // straight up and away
    for (int y = 0; y < 145; ++y) QCOMPARE(s.pixel(124, y), clBlue); // and down through it

    DrawSurface w(QSize(281, 168));
    SinusPlot p(w);
    p.InitSinus();
    QVERIFY(p.Hoek2X(-Huge) < 0);
    QVERIFY(p.Vermogen2Y(Huge) < 0);
    QVERIFY(p.Vermogen2Y(-Huge) >= 168);
    for (double angle : {-Huge, std::numeric_limits<double>::infinity(), NoNumber}) {
        const int x = p.Hoek2X(angle);
        QVERIFY(x < 0 || x >= 281);
    }
    for (const auto &[delta, pelek] :
         {std::pair{-Huge, -Huge}, std::pair{-Huge, Huge}, std::pair{NoNumber, NoNumber}}) {
        p.TekenBlok(delta, pelek);
        QCOMPARE(p.BlokPunten.size(), std::size_t(5));
        QVERIFY(pixelsOf(w, clBlack).isEmpty());
        p.VerwijderBlok();
    }
    QCOMPARE(pixelsOf(w, clWhite).size(), 281 * 168);
}

void TestPlots::rotorAtHugeAngles() {
    DrawSurface s(QSize(161, 161));
    Rotor r(s);
    r.InitRotor();
    const QImage circleOnly = s.image().copy();
    r.TekenRotor(Pi / 6);
    const PointList outline = r.RotorOmtrek, pole = r.PoolLijn;
    const QImage drawn = s.image().copy();
    r.WisRotor();
    // Whole turns on either side of a million half-turns, where the angle is first taken
    // within one turn, and far beyond: the rotor stands as at 30 degrees.
    for (double turns : {499999.0, 500000.0, -500000.0, -500001.0, 1e12, -1e12}) {
        r.TekenRotor((1.0 / 6 + 2 * turns) * Pi);
        QCOMPARE(r.RotorOmtrek, outline);
        QCOMPARE(r.PoolLijn, pole);
        QCOMPARE(s.image(), drawn);
        r.WisRotor();
    }
    for (double delta : {Huge, -Huge, std::numeric_limits<double>::max()}) {
        r.TekenRotor(delta);
        QVERIFY(r.RotorOmtrek.size() > 400 && r.RotorOmtrek.size() <= 541);
        QCOMPARE(r.RotorOmtrek.back(), r.RotorOmtrek.front());
        for (const QPoint &p : r.RotorOmtrek) QVERIFY(std::hypot(p.x() - 80, p.y() - 80) < 60);
        r.WisRotor();
        QCOMPARE(s.image(), circleOnly);
    }
    // No angle to turn to: no rotor, and nothing to erase.
    for (double delta : {NoNumber, std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity()}) {
        r.TekenRotor(delta);
        QVERIFY(r.RotorOmtrek.empty());
        QVERIFY(r.PoolLijn.empty());
        QCOMPARE(s.image(), circleOnly);
        r.WisRotor();
        QCOMPARE(s.image(), circleOnly);
    }
}

void TestPlots::zoomedPowerAngle() {
    // At 200 % the operating point's block grows with the picture, and the equal areas
    // hold as many operating points as at 100 %.
    DrawSurface s(QSize(562, 336));
    s.setScale(2);
    SinusPlot p(s);
    p.InitSinus();
    QCOMPARE(p.VlakCapaciteit, 137);
    p.TekenBlok(0, 0);
    QCOMPARE(p.BlokPunten.front(), QPoint(p.SinusNulX - 2, p.SinusNulY - 2));
}

QTEST_GUILESS_MAIN(TestPlots)
#include "tst_plots.moc"
