// The View menu's plot options: the stability boundary on the phase plane and the labels
// on the plots.
#include "dravonharness.h"
#include "plotstate.h"
#include "runplots.h"
#include "stabilityboundary.h"

#include <cmath>
#include <limits>
#include <QtTest>

namespace {

const double pi = 3.14159265358979323846;
const double NoNumber = std::numeric_limits<double>::quiet_NaN();

const DrawSurface &surfaceOf(TDravon &w, const char *name) {
    return control<ImageControl>(w, name)->surface();
}

int countPixels(const DrawSurface &s, Colour colour, QRect within = {}) {
    if (within.isNull()) within = QRect(QPoint(0, 0), s.size());
    int n = 0;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x) n += s.pixel(x, y) == colour;
    return n;
}

void trigger(TDravon &w, std::initializer_list<const char *> actions) {
    for (const char *action : actions) control<QAction>(w, action)->trigger();
}

void run(DravonHarness &h, const FaultScenario &scenario, int clearingMs = 200) {
    h.w.session().setScenario(scenario);
    h.w.session().setClearingTime(clearingMs);
    control<QPushButton>(h.w, "Kortsluiting")->click();
}

// P1 for a power step, r2 for a line out.
FaultScenario scenarioOf(Network network, double value = 0.7) {
    FaultScenario s;
    s.network = network;
    s.after = s.pmechAfter = value;
    return s;
}

} // namespace

class TestPlotOptions : public QObject {
    Q_OBJECT
private slots:
    void init() { cleanup(); }
    void cleanup() {
        zoomSettings().remove("View/stabilityBoundary");
        zoomSettings().remove("View/plotLabels");
    }
    void optionsOffLeaveThePicturesAlone_data();
    void optionsOffLeaveThePicturesAlone();
    void boundaryOnTheClosedForm_data();
    void boundaryOnTheClosedForm();
    void noBoundaryWithoutEquilibrium();
    void optionRememberedByTheNextWindow_data();
    void optionRememberedByTheNextWindow();
    void phasePlaneFollowsALongSwing();
    void noNumbersAndHugeValuesSurvive();
    void heldAnswersLeaveTheStartAlone();
};

void TestPlotOptions::optionsOffLeaveThePicturesAlone_data() {
    QTest::addColumn<FaultScenario>("scenario");
    QTest::newRow("busbar") << FaultScenario{};
    QTest::newRow("two lines") << scenarioOf(Network::TwoLines);
    QTest::newRow("power step") << scenarioOf(Network::PowerStep);
}

void TestPlotOptions::optionsOffLeaveThePicturesAlone() {
    // A run drawn with both options, then both turned off: the plots as without them.
    QFETCH(FaultScenario, scenario);
    DravonHarness plain, toggled;
    run(plain, scenario);
    trigger(toggled.w, {"StabilityBoundaryAction", "PlotLabelsAction"});
    run(toggled, scenario);
    QVERIFY(surfaceOf(toggled.w, "ImageSinus").image() != surfaceOf(plain.w, "ImageSinus").image());
    trigger(toggled.w, {"StabilityBoundaryAction", "PlotLabelsAction"});
    for (const char *name : {"ImageSinus", "ImageFase", "ImageRotor"})
        QCOMPARE(surfaceOf(toggled.w, name).image(), surfaceOf(plain.w, name).image());
}

void TestPlotOptions::boundaryOnTheClosedForm_data() {
    QTest::addColumn<FaultScenario>("scenario");
    QTest::addColumn<double>("span");
    QTest::newRow("busbar") << FaultScenario{} << 1.0;
    QTest::newRow("busbar, spans doubled twice") << FaultScenario{} << 4.0;
    QTest::newRow("two lines") << scenarioOf(Network::TwoLines) << 1.0;
    QTest::newRow("power step") << scenarioOf(Network::PowerStep, 0.8) << 2.0;
    QTest::newRow("line out") << scenarioOf(Network::LineOut, 0.6) << 1.0;
}

void TestPlotOptions::boundaryOnTheClosedForm() {
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

void TestPlotOptions::noBoundaryWithoutEquilibrium() {
    // A line out that cannot carry Pmech has no boundary to draw, and the phase plane's
    // description says so; back on the whole network the boundary is drawn again.
    DravonHarness h;
    trigger(h.w, {"StabilityBoundaryAction"});
    auto *plane = control<ImageControl>(h.w, "ImageFase");
    QVERIFY(countPixels(plane->surface(), clFuchsia) > 100);
    QVERIFY(plane->accessibleDescription().contains("Stability boundary shown"));
    h.w.session().setScenario(scenarioOf(Network::LineOut, 0.4));
    QCOMPARE(countPixels(plane->surface(), clFuchsia), 0);
    QVERIFY(plane->accessibleDescription().contains("no stability boundary"));
    h.w.session().setScenario(FaultScenario{});
    QVERIFY(countPixels(plane->surface(), clFuchsia) > 100);
}

void TestPlotOptions::optionRememberedByTheNextWindow_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<Colour>("colour"); // what the option alone draws there
    QTest::newRow("boundary") << "StabilityBoundaryAction"
                              << "ImageFase" << clFuchsia;
    QTest::newRow("labels") << "PlotLabelsAction"
                            << "ImageSinus" << clBlack;
}

void TestPlotOptions::optionRememberedByTheNextWindow() {
    QFETCH(QString, action);
    QFETCH(QString, picture);
    QFETCH(Colour, colour);
    const QByteArray a = action.toLatin1(), p = picture.toLatin1();
    for (const bool on : {true, false}) {
        TDravon before;
        QCOMPARE(countPixels(surfaceOf(before, p), colour) > 20, !on);
        trigger(before, {a.constData()});
        TDravon after;
        QCOMPARE(control<QAction>(after, a)->isChecked(), on);
        QCOMPARE(countPixels(surfaceOf(after, p), colour) > 20, on);
    }
}

void TestPlotOptions::phasePlaneFollowsALongSwing() {
    // Cleared at 375 ms the swing leaves the standard spans; with labels the trace stays
    // inside the axes' box, clear of the values around it, and a redraw (as for a zoom)
    // draws the same plots.
    DravonHarness h;
    trigger(h.w, {"PlotLabelsAction"});
    run(h, FaultScenario{}, 375);
    const Fase &f = *h.w.plots().fase;
    QVERIFY(f.angleRange > 1 || f.speedRange > 1); // the standard box did not hold it
    const DrawSurface &plane = surfaceOf(h.w, "ImageFase");
    const QRect box(f.FaseLinks, f.FaseBoven, f.FaseBreedte + 1, f.FaseHoogte + 1);
    QVERIFY(countPixels(plane, clBlue) > 200);
    QCOMPARE(countPixels(plane, clBlue, box), countPixels(plane, clBlue));

    const QImage sinus = surfaceOf(h.w, "ImageSinus").image(), fase = plane.image();
    h.w.plots().redraw(h.w.session().history());
    QCOMPARE(surfaceOf(h.w, "ImageSinus").image(), sinus);
    QCOMPARE(plane.image(), fase);
    // The ticks below the angle axis at delta0, delta_cr, delta_max and the clearing angle.
    const SinusPlot &p = *h.w.plots().sinus;
    std::vector<double> marked{p.clearingAngle().value_or(NoNumber)};
    for (const SinusPlot::Mark &m : p.marks()) marked.push_back(m.angle);
    QCOMPARE(marked.size(), std::size_t(4));
    for (double angle : marked)
        QCOMPARE(surfaceOf(h.w, "ImageSinus").pixel(p.Hoek2X(angle), p.SinusNulY + 2), clBlack);
}

void TestPlotOptions::noNumbersAndHugeValuesSurvive() {
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

void TestPlotOptions::heldAnswersLeaveTheStartAlone() {
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

QTEST_MAIN(TestPlotOptions)
#include "tst_plotoptions.moc"
