// The island's droop pictures: where the lines, the operating points, the bus and the
// load's split land for states worked by hand, and wild values drawn at a bounded cost.
#include "droopdiagram.h"

#include <cmath>
#include <limits>
#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
const double NaN = std::nan("");

// Set 1 100 kW, 4 % and 4 %, at 51.2 Hz and 388 V; set 2 the same rating and droops.
DroopState state(double set2Hz, double set2V, bool set2On, double p1, double q1, double p2,
                 double q2, double busHz, double busV, double loadP, double loadQ) {
    DroopState s;
    s.sets[0] = {true, 100, 4, 51.2, 4, 388, p1, q1};
    s.sets[1] = {set2On, 100, 4, set2Hz, 4, set2V, p2, q2};
    s.busFrequencyHz = busHz;
    s.busVoltageV = busV;
    s.loadPKw = loadP;
    s.loadQKvar = loadQ;
    return s;
}

QString n(double v) {
    return QString::number(v, 'g', 6);
}

// The geometry as words: "x FROM TO STEP; y ...; line1 ...; point1 ...; bus ...; split ...".
QString words(const DroopGeometry &g) {
    QStringList w{QStringLiteral("x %1 %2 %3").arg(n(g.x0), n(g.x1), n(g.xStep)),
                  QStringLiteral("y %1 %2 %3").arg(n(g.y0), n(g.y1), n(g.yStep))};
    for (int i = 0; i < 2; ++i)
        if (g.lines[i])
            w << QStringLiteral("line%1 %2 %3 %4 %5")
                     .arg(i + 1)
                     .arg(n(g.lines[i]->x1()), n(g.lines[i]->y1()), n(g.lines[i]->x2()),
                          n(g.lines[i]->y2()));
    for (int i = 0; i < 2; ++i)
        if (g.points[i])
            w << QStringLiteral("point%1 %2 %3")
                     .arg(i + 1)
                     .arg(n(g.points[i]->x()), n(g.points[i]->y()));
    if (g.bus) w << QStringLiteral("bus ") + n(*g.bus);
    if (g.split && g.total) w << QStringLiteral("split %1 %2").arg(n(*g.split), n(*g.total));
    return w.join(QStringLiteral("; "));
}

} // namespace

Q_DECLARE_METATYPE(DroopState)

class TestDroopDiagram : public QObject {
    Q_OBJECT
private slots:
    void geometry_data();
    void geometry();
    void wildValues_data();
    void wildValues();
};

void TestDroopDiagram::geometry_data() {
    QTest::addColumn<DroopState>("state");
    QTest::addColumn<bool>("voltage");
    QTest::addColumn<QString>("expected");
    // Set 1 alone with 60 kW, 45 kvar: K = 100 / (0.04 x 50) = 50 kW/Hz, f = 51.2 - 60/50
    // = 50.0 Hz; Kq = 75 / (0.04 x 380) = 4.934 kvar/V, V = 388 - 45/4.934 = 378.88 V.
    // Its rating's end 4 % of 50 Hz below: 49.2 Hz; of 380 V at 75 kvar: 372.8 V. Axes:
    // power to 100 kW and 10 % more on ticks of 20: 120; 47 to 51.2 Hz and 5 % either
    // side on whole hertz: 46 to 52.
    const DroopState alone = state(49, 360, false, 60, 45, 0, 0, 50, 378.88, 60, 45);
    QTest::newRow("set 1 alone, frequency")
        << alone << false
        << "x 0 120 20; y 46 52 1; line1 0 51.2 100 49.2; line2 0 49 100 47; point1 60 50; "
           "bus 50; split 60 60";
    // 75 kvar + 10 % on ticks of 20: 100; 344.8 to 388 V and 5 % either side: 340 to 400.
    QTest::newRow("set 1 alone, voltage")
        << alone << true
        << "x 0 100 20; y 340 400 10; line1 0 388 75 372.8; line2 0 360 75 344.8; "
           "point1 45 378.88; bus 378.88; split 45 45";
    // Both at 52 Hz, 120 kW: f = 52 - 120/100 = 50.8 Hz, 60 kW each; the split's total
    // 120 kW with 10 % more on ticks of 20: 140.
    DroopState shared = state(52, 388, true, 60, 22.5, 60, 22.5, 50.8, 383.44, 120, 45);
    shared.sets[0].setpointHz = 52;
    QTest::newRow("equal sharing")
        << shared << false
        << "x 0 140 20; y 49.5 52.5 0.5; line1 0 52 100 50; line2 0 52 100 50; "
           "point1 60 50.8; point2 60 50.8; bus 50.8; split 60 120";
    // Set 2 motoring: the axis reaches below 0 kW to -10 on ticks of 20: -20; 48 to
    // 51.2 Hz and 5 % either side span 3.52 Hz, about five intervals of 0.7: whole hertz.
    QTest::newRow("reverse power")
        << state(50, 388, true, 70, 22.5, -10, 22.5, 50, 383.44, 60, 45) << false
        << "x -20 120 20; y 47 52 1; line1 0 51.2 100 49.2; line2 0 50 100 48; "
           "point1 70 50; point2 -10 50; bus 50; split 70 60";
    // A dead bus has no line and no operating points; the droop lines stay.
    QTest::newRow("blackout") << state(50, 388, true, 0, 0, 0, 0, 0, 0, 60, 45) << false
                              << "x 0 120 20; y 47 52 1; line1 0 51.2 100 49.2; "
                                 "line2 0 50 100 48";
}

void TestDroopDiagram::geometry() {
    QFETCH(DroopState, state);
    QFETCH(bool, voltage);
    QFETCH(QString, expected);
    QCOMPARE(words(droopGeometry(state, voltage ? DroopPicture::Voltage : DroopPicture::Frequency)),
             expected);
}

void TestDroopDiagram::wildValues_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QSizeF>("size");
    QTest::newRow("no number") << NaN << QSizeF(300, 200);
    QTest::newRow("infinite") << Inf << QSizeF(300, 200);
    QTest::newRow("huge") << 1e300 << QSizeF(300, 200);
    QTest::newRow("huge, negative") << -1e300 << QSizeF(300, 200);
    QTest::newRow("zero ratings and droops") << 0.0 << QSizeF(300, 200);
    QTest::newRow("a hair off 50 Hz") << 50 + 1e-13 << QSizeF(300, 200);
    QTest::newRow("huge picture") << 60.0 << QSizeF(1e12, 1e12);
    QTest::newRow("picture no number") << 60.0 << QSizeF(NaN, 5);
}

void TestDroopDiagram::wildValues() {
    QFETCH(double, value);
    QFETCH(QSizeF, size);
    DroopState s;
    s.sets[0] = {true, value, value, value, value, value, value, value};
    s.sets[1] = {true, 100, 4, 50, 4, 380, value, -value};
    s.busFrequencyHz = s.busVoltageV = s.loadPKw = s.loadQKvar = value;
    for (DroopPicture picture : {DroopPicture::Frequency, DroopPicture::Voltage}) {
        // The axes stay finite, with a bounded number of ticks.
        const DroopGeometry g = droopGeometry(s, picture);
        QVERIFY(std::isfinite(g.x0) && std::isfinite(g.x1) && g.x1 > g.x0);
        QVERIFY(std::isfinite(g.y0) && std::isfinite(g.y1) && g.y1 > g.y0);
        QVERIFY((g.x1 - g.x0) / g.xStep <= 20 && (g.y1 - g.y0) / g.yStep <= 20);
        QImage picture200(300, 200, QImage::Format_ARGB32_Premultiplied);
        picture200.fill(Qt::black);
        const QImage blank = picture200;
        {
            QPainter p(&picture200);
            paintDroopDiagram(p, size, s, picture, QFont());
        }
        QCOMPARE(picture200 != blank, std::isfinite(size.width()));
    }
}

QTEST_MAIN(TestDroopDiagram)
#include "tst_droopdiagram.moc"
