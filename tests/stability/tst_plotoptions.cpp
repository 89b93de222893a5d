// The View menu's plot options in the window: turned off they leave the pictures as
// without them, the phase plane's description follows the boundary, and the next window
// remembers them.
#include "dravonharness.h"
#include "plotchecks.h"

#include <QtTest>

namespace {

const DrawSurface &surfaceOf(TDravon &w, const char *name) {
    return control<ImageControl>(w, name)->surface();
}

void trigger(TDravon &w, std::initializer_list<const char *> actions) {
    for (const char *action : actions) control<QAction>(w, action)->trigger();
}

void run(DravonHarness &h, const FaultScenario &scenario, int clearingMs = 200) {
    h.w.session().setScenario(scenario);
    h.w.session().setClearingTime(clearingMs);
    control<QPushButton>(h.w, "Kortsluiting")->click();
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
    void noBoundaryWithoutEquilibrium();
    void optionRememberedByTheNextWindow_data();
    void optionRememberedByTheNextWindow();
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

QTEST_MAIN(TestPlotOptions)
#include "tst_plotoptions.moc"
