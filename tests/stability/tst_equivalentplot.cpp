// The equivalent machine's power-angle plot: its areas worked by hand on straight lines,
// pictures of states that make no sense, and where A1's fill ends.
#include "equivalentplot.h"

#include <cmath>
#include <limits>
#include <QImage>
#include <QPainter>
#include <QtTest>

Q_DECLARE_METATYPE(std::vector<QPointF>)
Q_DECLARE_METATYPE(EquivalentPlotState)

namespace {

const double NoNumber = std::numeric_limits<double>::quiet_NaN();
const double Infinite = std::numeric_limits<double>::infinity();

// The columns that hold A1's reddish fill on a picture with no curves on it.
std::pair<int, int> reddishColumns(const QImage &image) {
    int first = image.width(), last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() - c.green() > 25 && c.red() - c.blue() > 25)
                first = std::min(first, x), last = std::max(last, x);
        }
    return {first, last};
}

} // namespace

class TestEquivalentPlot : public QObject {
    Q_OBJECT
private slots:
    void areas_data();
    void areas();
    void oddStatesPaint_data();
    void oddStatesPaint();
    void acceleratingAreaEndsAtClearing_data();
    void acceleratingAreaEndsAtClearing();
    void describedInWords_data();
    void describedInWords();
};

void TestEquivalentPlot::areas_data() {
    // Pm = 1 pu throughout. On Pe = delta from 0 to 2 rad the areas are the triangles
    // either side of delta = 1: 1/2 each; cleared at 0.5 rad A1 is 1/2 - 0.5^2/2 = 0.375.
    QTest::addColumn<std::vector<QPointF>>("trajectory");
    QTest::addColumn<double>("clearing"); // rad, no number: not cleared yet
    QTest::addColumn<double>("a1");
    QTest::addColumn<double>("a2");
    QTest::newRow("straight line, fault on")
        << std::vector<QPointF>{{0, 0}, {2, 2}} << NoNumber << 0.5 << 0.5;
    QTest::newRow("straight line, cleared at 0.5")
        << std::vector<QPointF>{{0, 0}, {2, 2}} << 0.5 << 0.375 << 0.5;
    // Pe 0 from 0.5 to 1 rad during the fault, then 2 pu to 1.5 rad: 0.5 x 1 each.
    QTest::newRow("steps at fault and clearing")
        << std::vector<QPointF>{{0.5, 0}, {1, 0}, {1, 2}, {1.5, 2}} << 1.0 << 0.5 << 0.5;
    QTest::newRow("the back swing adds nothing")
        << std::vector<QPointF>{{0, 0}, {1, 1}, {2, 2}, {1, 1}, {0, 0}} << NoNumber << 0.5 << 0.5;
    QTest::newRow("no numbers left out")
        << std::vector<QPointF>{{0, 0}, {NoNumber, 1}, {1, Infinite}, {2, 2}} << NoNumber << 0.5
        << 0.5;
    // Pe 0 from 0 to 1 rad, cleared at 0.5 rad yet still below Pm: only 0.5 x 1 is A1.
    QTest::newRow("accelerating after clearing is not A1")
        << std::vector<QPointF>{{0, 0}, {1, 0}} << 0.5 << 0.5 << 0.0;
    QTest::newRow("one point") << std::vector<QPointF>{{1, 0}} << NoNumber << 0.0 << 0.0;
}

void TestEquivalentPlot::areas() {
    QFETCH(std::vector<QPointF>, trajectory);
    QFETCH(double, clearing);
    QFETCH(double, a1);
    QFETCH(double, a2);
    EquivalentPlotState state;
    state.mechanicalPower = 1;
    state.trajectory = trajectory;
    if (!std::isnan(clearing)) state.clearingAngle = clearing;
    const auto [gotA1, gotA2] = equivalentAreas(state);
    QVERIFY2(std::abs(gotA1 - a1) < 1e-12, qPrintable(QString::number(gotA1)));
    QVERIFY2(std::abs(gotA2 - a2) < 1e-12, qPrintable(QString::number(gotA2)));
}

void TestEquivalentPlot::oddStatesPaint_data() {
    QTest::addColumn<EquivalentPlotState>("state");
    QTest::addColumn<QRectF>("area");
    QTest::addColumn<bool>("paints");
    const QRectF whole(0, 0, 400, 300);
    EquivalentPlotState usual;
    usual.preFault = {0.2, 2.0, -0.1};
    usual.postFault = {0.2, 1.5, -0.1};
    usual.mechanicalPower = 0.9;
    usual.delta0 = 0.45;
    usual.criticalAngle = 1.2;
    usual.clusterText = QStringLiteral("machines 2, 3 against 1");
    QTest::newRow("empty trajectory, faulted pmax 0") << usual << whole << true;
    QTest::newRow("zero-size rectangle") << usual << QRectF(10, 10, 0, 0) << false;
    QTest::newRow("smaller than its text") << usual << QRectF(0, 0, 12, 9) << true;
    EquivalentPlotState odd = usual;
    odd.preFault = {NoNumber, 1, 0};
    odd.postFault = {1e300, -1e300, Infinite};
    odd.mechanicalPower = NoNumber;
    odd.delta0 = Infinite;
    odd.criticalAngle = -Infinite;
    odd.clearingAngle = 1e300;
    odd.trajectory = {{NoNumber, 0}, {0.5, Infinite}, {1e300, 1}, {1, -1e300}, {0.6, 0.2}};
    QTest::newRow("no numbers and huge ones") << odd << whole << true;
    EquivalentPlotState runaway = usual;
    runaway.clearingAngle = 1.0;
    for (int i = 0; i < 2'000'000; ++i)
        runaway.trajectory.emplace_back(0.45 + i * 1e-5, 0.9 * std::cos(i * 1e-3));
    QTest::newRow("two million points, 20 rad") << runaway << QRectF(0, 0, 1100, 800) << true;
}

void TestEquivalentPlot::oddStatesPaint() {
    QFETCH(EquivalentPlotState, state);
    QFETCH(QRectF, area);
    QFETCH(bool, paints);
    QImage image(1200, 900, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::gray);
    QPainter painter(&image);
    paintEquivalentPlot(painter, area, state);
    painter.end();
    QCOMPARE(image.pixelColor(0, 0) != QColor(Qt::gray), paints);
    QCOMPARE(image.pixelColor(1150, 850), QColor(Qt::gray)); // nothing outside its area
}

void TestEquivalentPlot::acceleratingAreaEndsAtClearing_data() {
    // Pe 0 from 0.5 to 2.5 rad under Pm 1: the whole run accelerates, but A1 ends where
    // the fault was cleared, (clearing - 0.5) / 2 of the way along.
    QTest::addColumn<double>("clearing");
    QTest::newRow("at 1.0 rad") << 1.0;
    QTest::newRow("at 1.5 rad") << 1.5;
    QTest::newRow("at 2.0 rad") << 2.0;
}

void TestEquivalentPlot::acceleratingAreaEndsAtClearing() {
    QFETCH(double, clearing);
    EquivalentPlotState state;
    state.preFault = state.faulted = state.postFault = {NoNumber, 0, 0}; // no curves
    state.mechanicalPower = 1;
    state.delta0 = 0.5;
    state.trajectory = {{0.5, 0}, {2.5, 0}};
    const auto draw = [&](std::optional<double> cleared) {
        QImage image(400, 300, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        state.clearingAngle = cleared;
        paintEquivalentPlot(painter, QRectF(0, 0, 400, 300), state);
        return reddishColumns(image);
    };
    const auto [left, right] = draw(std::nullopt);
    const auto [clearedLeft, clearedRight] = draw(clearing);
    QVERIFY(right - left > 100);
    QVERIFY(std::abs(clearedLeft - left) <= 1);
    const double expected = left + (right - left) * (clearing - 0.5) / 2;
    QVERIFY2(std::abs(clearedRight - expected) <= 2, qPrintable(QString::number(clearedRight)));
}

void TestEquivalentPlot::describedInWords_data() {
    // Pm 1 on Pe = delta from 0 to 2 rad, cleared at 0.5 rad (28.65 degrees): A1 0.375 and
    // A2 0.5 pu rad, as above; a critical angle of pi/2 is 90 degrees.
    QTest::addColumn<double>("critical");
    QTest::addColumn<QString>("words");
    QTest::newRow("critical angle known")
        << 1.5707963267948966
        << "machines 2, 3 against 1: A1 0.375 pu rad, A2 0.5 pu rad; critical angle 90 degrees, "
           "cleared at 28.6 degrees.";
    QTest::newRow("no critical angle")
        << NoNumber
        << "machines 2, 3 against 1: A1 0.375 pu rad, A2 0.5 pu rad; no critical angle, cleared "
           "at 28.6 degrees.";
}

void TestEquivalentPlot::describedInWords() {
    QFETCH(double, critical);
    QFETCH(QString, words);
    EquivalentPlotState state;
    state.mechanicalPower = 1;
    state.trajectory = {{0, 0}, {2, 2}};
    state.clearingAngle = 0.5;
    state.criticalAngle = critical;
    state.clusterText = QStringLiteral("machines 2, 3 against 1");
    QCOMPARE(equivalentPlotDescription(state), words);
}

QTEST_MAIN(TestEquivalentPlot)
#include "tst_equivalentplot.moc"
