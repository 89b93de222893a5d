// Names on the plots kept clear of one another, the phase plane's scale holding the
// stability boundary's saddle, the boundary on its closed form, values that are no number
// or huge, and the answers held back while a lesson waits for a prediction.
#include "constants.h"
#include "fase.h"
#include "labelplacement.h"
#include "oppervlakken.h"
#include "plotchecks.h"
#include "plotstate.h"
#include "runhistory.h"
#include "runplots.h"
#include "sinusplot.h"
#include "stabilityboundary.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <QtTest>

Q_DECLARE_METATYPE(FaultScenario)

namespace {

const double pi = 3.14159265358979323846;
const double NoNumber = std::numeric_limits<double>::quiet_NaN();

} // namespace

class TestPlotLabels : public QObject {
    Q_OBJECT
private slots:
    void labelsKeepApart_data();
    void labelsKeepApart();
    void areaNamesKeepApart_data();
    void areaNamesKeepApart();
    void saddleInsidePhasePlane_data();
    void saddleInsidePhasePlane();
    void clearingMarkedOnTheTrace_data();
    void clearingMarkedOnTheTrace();
    void boundaryOnTheClosedForm_data();
    void boundaryOnTheClosedForm();
    void noNumbersAndHugeValuesSurvive();
    void heldAnswersLeaveTheStartAlone();
};

void TestPlotLabels::labelsKeepApart_data() {
    // Boxes where names belong, 10 wide and 8 high, in a 100 x 50 picture, moved by a row
    // of 9 when they would touch (gap 1); the boxes they end in.
    QTest::addColumn<QList<QRect>>("wanted");
    QTest::addColumn<bool>("bothWays");
    QTest::addColumn<QList<QRect>>("placed");
    const auto box = [](int x, int y) { return QRect(x, y, 10, 8); };
    QTest::newRow("second a row down")
        << QList<QRect>{box(0, 0), box(5, 0)} << false << QList<QRect>{box(0, 0), box(5, 9)};
    QTest::newRow("three on one place") << QList<QRect>{box(0, 0), box(2, 0), box(4, 0)} << false
                                        << QList<QRect>{box(0, 0), box(2, 9), box(4, 18)};
    QTest::newRow("side by side without a gap")
        << QList<QRect>{box(0, 0), box(10, 0)} << false << QList<QRect>{box(0, 0), box(10, 9)};
    QTest::newRow("a pixel apart")
        << QList<QRect>{box(0, 0), box(11, 0)} << false << QList<QRect>{box(0, 0), box(11, 0)};
    QTest::newRow("below leaves the picture: above")
        << QList<QRect>{box(0, 42), box(3, 42)} << true << QList<QRect>{box(0, 42), box(3, 33)};
    const QList<QRect> full{box(0, 0), box(0, 9), box(0, 18), box(0, 27), box(0, 36), box(0, 36)};
    QTest::newRow("no room: own place") << full << false << full;
}

void TestPlotLabels::labelsKeepApart() {
    QFETCH(QList<QRect>, wanted);
    QFETCH(bool, bothWays);
    QFETCH(QList<QRect>, placed);
    std::vector<LabelRequest> requests;
    for (const QRect &r : wanted) requests.push_back({r, QPoint(0, 9), bothWays});
    const std::vector<QRect> got = placeLabels(requests, QRect(0, 0, 100, 50), 1);
    QCOMPARE(QList<QRect>(got.begin(), got.end()), placed);
}

void TestPlotLabels::areaNamesKeepApart_data() {
    // A run's areas named at the end, at the zoom of the picture: each name clear of the
    // others.
    QTest::addColumn<int>("network");
    QTest::addColumn<double>("p1");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("busbar fault, the back swing's A3")
        << int(Network::Busbar) << 0.7 << 1.0 << QStringList{"A1", "A2", "A3"};
    QTest::newRow("small step's slivers at 200 %")
        << int(Network::PowerStep) << 0.6 << 2.0 << QStringList{"A1", "A2"};
    QTest::newRow("small step's slivers at 100 %")
        << int(Network::PowerStep) << 0.55 << 1.0 << QStringList{"A1", "A2"};
    QTest::newRow("power step at 100 %")
        << int(Network::PowerStep) << 0.7 << 1.0 << QStringList{"A1", "A2"};
}

void TestPlotLabels::areaNamesKeepApart() {
    QFETCH(int, network);
    QFETCH(double, p1);
    QFETCH(double, scale);
    QFETCH(QStringList, names);
    StabilityCase c;
    c.scenario.network = static_cast<Network>(network);
    c.scenario.pmechAfter = p1;
    const RunRecord run = recordRun(c);
    DrawSurface s(QSize(qRound(281 * scale), qRound(168 * scale)));
    s.setScale(scale);
    SinusPlot p(s);
    p.InitSinus();
    Oppervlakken areas(s, p);
    const double pmech = c.scenario.mechanicalPower(c.machine.Pmech);
    const double delta0 = std::asin(c.machine.Pmech);
    if (c.scenario.hasFault())
        areas.InitOppervlakken(delta0, pmech);
    else
        areas.InitZonderFout(delta0, pmech, 1);
    for (const RunSample &step : run.samples)
        if (step.number % 5 == 0)
            areas.TekenOppervlakken(step.delta, step.pelek, pmech, step.network);
    const auto named = areas.TekenNamen();
    QStringList got;
    for (const auto &[name, box] : named) got << name;
    QCOMPARE(got, names);
    for (std::size_t i = 0; i < named.size(); ++i)
        for (std::size_t j = i + 1; j < named.size(); ++j)
            QVERIFY2(!named[i].second.intersects(named[j].second),
                     qPrintable(named[i].first + " on " + named[j].first));
}

void TestPlotLabels::saddleInsidePhasePlane_data() {
    // The boundary's crossing delta_u, where a run leaves the region, inside the box with
    // room to spare, at the layout size.
    QTest::addColumn<int>("network");
    QTest::addColumn<double>("pmech");
    QTest::addColumn<double>("after");  // a line out's r2
    QTest::addColumn<double>("deltaU"); // degrees
    QTest::newRow("busbar fault") << int(Network::Busbar) << 0.5 << 1.0 << 150.0;
    QTest::newRow("power step to 0.7") << int(Network::PowerStep) << 0.5 << 1.0 << 135.6;
    QTest::newRow("line out, Pmech 0.65") << int(Network::LineOut) << 0.65 << 0.8 << 125.7;
}

void TestPlotLabels::saddleInsidePhasePlane() {
    QFETCH(int, network);
    QFETCH(double, pmech);
    QFETCH(double, after);
    QFETCH(double, deltaU);
    StabilityCase c;
    c.scenario.network = static_cast<Network>(network);
    c.scenario.pmechAfter = 0.7;
    c.scenario.after = after;
    c.machine.Pmech = pmech;
    DrawSurface s(QSize(145, 145));
    Fase f(s);
    f.setBoundary(std::make_shared<const StabilityBoundary>(finalBoundary(c.machine, c.scenario)));
    QCOMPARE(qRound(double(f.boundary()->deltaU() * 1800 / Pi)) / 10.0, deltaU);
    restartTrace(f, 0.5, 0, true, true);
    const int x = f.FaseHoek2X(double(f.boundary()->deltaU()));
    QVERIFY2(x < f.FaseLinks + f.FaseBreedte - 2, qPrintable(QString::number(x)));
    QVERIFY(f.FaseHoek2X(double(f.boundary()->deltaLow())) > f.FaseLinks + 2);
}

void TestPlotLabels::clearingMarkedOnTheTrace_data() {
    // The trace as the phase plane draws it again from a run's record: with labels, a
    // black cross where the fault was cleared (the trace itself is blue, the axes red).
    QTest::addColumn<bool>("labels");
    QTest::addColumn<int>("clearingMs");
    QTest::newRow("labels, 200 ms") << true << 200;
    QTest::newRow("no labels") << false << 200;
}

void TestPlotLabels::clearingMarkedOnTheTrace() {
    QFETCH(bool, labels);
    QFETCH(int, clearingMs);
    StabilityCase c;
    c.clearingMs = clearingMs;
    RunRecord run = recordRun(c);
    run.id = 1;
    PlotState state;
    state.traceRun = 1;
    state.traceDelta = std::asin(c.machine.Pmech);
    DrawSurface s(QSize(145, 145));
    Fase f(s);
    f.labels = labels;
    redrawPhasePlane(state, &run, f);
    // The last step under the fault: the cross is centred on it.
    const auto last = std::find_if(run.samples.begin(), run.samples.end(),
                                   [](const RunSample &r) { return !r.faultOn; }) -
                      1;
    const int x = f.FaseHoek2X(last->delta), y = f.FaseDomega2Y(last->speedDeviation);
    int black = 0;
    for (int dx = -2; dx <= 2; ++dx)
        for (int dy = -2; dy <= 2; ++dy) black += s.pixel(x + dx, y + dy) == clBlack;
    QCOMPARE(black >= 8, labels);
}

void TestPlotLabels::boundaryOnTheClosedForm_data() {
    QTest::addColumn<FaultScenario>("scenario");
    QTest::addColumn<double>("span");
    QTest::newRow("busbar") << FaultScenario{} << 1.0;
    QTest::newRow("busbar, spans doubled twice") << FaultScenario{} << 4.0;
    QTest::newRow("two lines") << scenarioOf(Network::TwoLines) << 1.0;
    QTest::newRow("power step") << scenarioOf(Network::PowerStep, 0.8) << 2.0;
    QTest::newRow("line out") << scenarioOf(Network::LineOut, 0.6) << 1.0;
}

void TestPlotLabels::boundaryOnTheClosedForm() {
    // In every column between its ends the boundary lies at +-speedAt(delta) of the
    // column's angle, and nowhere beyond its ends.
    QFETCH(FaultScenario, scenario);
    QFETCH(double, span);
    DrawSurface s(QSize(145, 145));
    Fase f(s);
    f.InitFase();
    f.angleRange = f.speedRange = span;
    const StabilityBoundary b = finalBoundary(TGenParams{}, scenario);
    f.setBoundary(std::make_shared<const StabilityBoundary>(b));
    restartTrace(f, pi / 6, 0, false, false);
    const int xLow = f.FaseHoek2X(double(b.deltaLow())), xHigh = f.FaseHoek2X(double(b.deltaU()));
    int checked = 0;
    for (int x = std::max(0, xLow + 1); x < std::min(145, xHigh); x += 5) {
        // The spans as drawn: widened where the boundary's crossings need it.
        const long double delta = (x - f.FaseNulX) * f.FaseHoekStap * pi * f.angleRange;
        for (const long double speed : {b.speedAt(delta), -b.speedAt(delta)}) {
            const int y = f.FaseDomega2Y(double(speed));
            if (y < 1 || y > 143) continue;
            ++checked; // within a row of the closed form
            QVERIFY(countPixels(s, clFuchsia, QRect(x, y - 1, 1, 3)) > 0);
        }
    }
    QVERIFY(checked >= 10);
    QCOMPARE(countPixels(s, clFuchsia, QRect(0, 0, std::max(0, xLow), 145)), 0);
    if (xHigh < 144) QCOMPARE(countPixels(s, clFuchsia, QRect(xHigh + 1, 0, 144 - xHigh, 145)), 0);
}

void TestPlotLabels::noNumbersAndHugeValuesSurvive() {
    // Spans stay bounded for any point, the boundary's cost is held to the picture's
    // width, and labels and areas take angles that are no number.
    DrawSurface s(QSize(4000, 30));
    Fase f(s);
    f.InitFase();
    f.labels = true;
    QVERIFY(!f.holdPoint(NoNumber, 1) && !f.holdPoint(1, -std::numeric_limits<double>::infinity()));
    QCOMPARE(f.angleRange, 1.0);
    QVERIFY(f.holdPoint(1e300, -1e300));
    QVERIFY(f.angleRange <= 1.2e12 && f.speedRange <= 1.2e12);
    for (double h : {1e-9, 1e9}) {
        f.setBoundary(std::make_shared<const StabilityBoundary>(h, 0.5, 1));
        QVERIFY(f.boundaryPoints().size() <= 2 * 4000 + 3);
        restartTrace(f, NoNumber, 1e300, false, true);
    }
    SinusPlot p(s);
    p.InitSinus();
    p.labels = true;
    p.setMarks({{"x", NoNumber}, {"y", 1e300}, {"z", -1e300}});
    p.setClearingAngle(std::numeric_limits<double>::infinity());
    p.TekenWaarden();
    Oppervlakken o(s, p);
    o.InitZonderFout(NoNumber, NoNumber, 0);
    o.TekenOppervlakken(NoNumber, NoNumber, NoNumber, NetworkState::Cleared);
    o.TekenOppervlakken(1e300, -1e300, 0.5, NetworkState::Cleared);
    o.TekenNamen();
}

void TestPlotLabels::heldAnswersLeaveTheStartAlone() {
    // While a lesson waits for a prediction, only the starting angle is marked and the
    // boundary is not drawn, whatever is set meanwhile; released, both are there again.
    DrawSurface a(QSize(281, 168)), b(QSize(161, 161)), c(QSize(145, 145));
    RunPlots plots(a, b, c);
    plots.drawStart(TMyGenerator(TGenParams{}));
    plots.redrawPowerAngle(FaultScenario{}, 0.5, nullptr);
    QVERIFY(plots.holdAnswers(true) && !plots.holdAnswers(true));
    plots.setBoundary(StabilityBoundary(6, 0.5, 1));
    plots.redrawPowerAngle(FaultScenario{}, 0.5, nullptr);
    QCOMPARE(int(plots.sinus->marks().size()), 1);
    QCOMPARE(plots.sinus->marks()[0].angle, pi / 6);
    QVERIFY(!plots.fase->boundary());
    QVERIFY(plots.holdAnswers(false));
    QCOMPARE(int(plots.sinus->marks().size()), 3); // delta0, delta_cr, delta_max
    QVERIFY(plots.fase->boundary());
}

QTEST_MAIN(TestPlotLabels)
#include "tst_plotlabels.moc"
