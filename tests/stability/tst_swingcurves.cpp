// The swing curves' window: the legend's names, one window with the last five runs, the
// axes following the curves, the curves growing during a run and ending with every step.
#include "dravonharness.h"
#include "runlegend.h"
#include "swingcurves.h"
#include "textconvert.h"

#include <QChart>
#include <QLineSeries>
#include <QtTest>
#include <QValueAxis>

namespace {

using Clock = std::chrono::steady_clock;

// A text written with a full stop, in the user's locale.
QString local(const char *text) {
    return QString::fromUtf8(text).replace(QChar('.'), QLocale::system().decimalPoint());
}

QStringList legendTexts(const SwingCurves &w) {
    QStringList list;
    for (const RunLegendEntry *entry : w.findChild<RunLegend *>()->entries()) list << entry->text();
    return list;
}

// The runs' names, from the first piece of each angle curve (the legend's entry).
QStringList names(const SwingCurves &w) {
    QStringList list;
    for (const auto &run : w.shownRuns()) list << run.angle.front()->name();
    return list;
}

QList<QPointF> newestAngles(const SwingCurves &w) {
    const auto shown = w.shownRuns();
    return shown.empty() ? QList<QPointF>() : SwingCurves::points(shown.back().angle);
}

// Whether the axis shows all the points of the curves, with no more than as much room again.
bool fitsSnugly(QAbstractAxis *axis, const std::vector<std::vector<QLineSeries *>> &curves) {
    double lo = 1e300, hi = -1e300;
    for (const auto &pieces : curves)
        for (const QPointF &p : SwingCurves::points(pieces)) {
            lo = std::min(lo, p.y());
            hi = std::max(hi, p.y());
        }
    const auto *range = static_cast<QValueAxis *>(axis);
    return range->min() <= lo && range->max() >= hi && range->max() - range->min() <= 2 * (hi - lo);
}

// A click on the legend entry of the run shown `index`th.
void clickLegend(const SwingCurves &w, std::size_t index) {
    w.findChild<RunLegend *>()->entries().at(index)->click();
}

// Whether the runs' curves are hidden whole as `hidden` says, each run still named once.
bool hiddenAs(const SwingCurves &c, const QList<bool> &hidden) {
    const auto runs = c.shownRuns();
    bool ok = legendTexts(c).size() == hidden.size();
    for (std::size_t i = 0; i < runs.size(); ++i)
        for (const auto *curve : {&runs[i].angle, &runs[i].speed, &runs[i].power})
            for (const QLineSeries *piece : *curve)
                ok = ok && piece->isVisible() != hidden.value(qsizetype(i));
    for (std::size_t i = 0; i < runs.size(); ++i)
        ok = ok &&
             c.findChild<RunLegend *>()->entries()[i]->isChecked() != hidden.value(qsizetype(i));
    return ok;
}

} // namespace

class TestSwingCurves : public QObject {
    Q_OBJECT
private slots:
    void init() { zoomSettings().remove("View/zoom"); }
    void cleanup() { zoomSettings().remove("View/zoom"); }
    void legendsNameHowRunsEnded();
    void machineDataAndAxesFollowTheRunsShown();
    void oneWindowWithTheLastFiveRuns();
    void curvesGrowAndEndWithEveryStep();
    void chartsFollowTheZoom();
    void hiddenAndRunawayRunsLeaveTheAxes_data();
    void hiddenAndRunawayRunsLeaveTheAxes();
    void narrowWindowSettles_data();
    void narrowWindowSettles();
    void runawayLeavesTheAxesWhileTheMessageIsOpen();
};

void TestSwingCurves::legendsNameHowRunsEnded() {
    DravonHarness h;
    control<QAction>(h.w, "SwingCurves1")->trigger();
    SwingCurves &curves = *h.w.swingCurves();
    h.w.session().setClearingTime(375);
    control<QPushButton>(h.w, "Kortsluiting")->click();
    h.w.session().setClearingTime(376);
    control<QPushButton>(h.w, "Kortsluiting")->click();
    h.w.session().setClearingTime(200);
    QString whileRunning;
    h.onStep = [&](int n) {
        if (n == 100) whileRunning = legendTexts(curves).last();
        if (n == 400) h.clickDuringRun();
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();

    QCOMPARE(whileRunning, QStringLiteral("200 ms: running"));
    // A run ends at the clock its read-out showed last.
    const QStringList expected{"375 ms: in step", local("376 ms: out of step at 2.925 s"),
                               local("200 ms: stopped at 1.197 s")};
    QVERIFY(std::fabs(textToFloat(control<QLineEdit>(h.w, "EdittotTijd")->text()) - 1.197) < 1e-9);
    if (qEnvironmentVariable("LC_ALL").startsWith(QLatin1String("nl")))
        QCOMPARE(expected[1], QStringLiteral("376 ms: out of step at 2,925 s"));
    QCOMPARE(legendTexts(curves), expected);

    // One millisecond more under the fault tips the rotor over.
    const auto shown = curves.shownRuns();
    const QList<QPointF> stable = SwingCurves::points(shown[0].angle);
    const QList<QPointF> slipping = SwingCurves::points(shown[1].angle);
    QCOMPARE(stable.size(), qsizetype(3334));
    QCOMPARE(slipping.size(), qsizetype(976)); // to 2.925 s
    QCOMPARE(slipping.mid(0, 120), stable.mid(0, 120));
    QVERIFY(std::all_of(stable.begin(), stable.end(), [](QPointF p) { return p.y() < 180; }));
    QVERIFY(slipping.last().y() > 1440);
}

void TestSwingCurves::machineDataAndAxesFollowTheRunsShown() {
    // Runs as the main window records them, made by the engine alone.
    RunHistory history;
    FaultRun engine;
    engine.addListener([&](const StepReport &r) { history.record(r, engine.generator()); });
    const auto run = [&](const TGenParams &params, int clearingMs) {
        engine.newGenerator(params);
        engine.start();
        history.begin(engine.generator(), clearingMs);
        while (engine.continues()) engine.step(clearingMs);
        engine.finish();
        history.finish(engine);
    };
    SwingCurves curves(nullptr);
    const auto axesFit = [&curves] {
        std::vector<std::vector<QLineSeries *>> angle, speed, power;
        for (const auto &shown : curves.shownRuns()) {
            // A runaway leaves the angle and speed axes to the runs in step.
            if (!shown.angle.front()->name().contains(QLatin1String("out of step"))) {
                angle.push_back(shown.angle);
                speed.push_back(shown.speed);
            }
            power.push_back(shown.power);
        }
        const QList<QAbstractAxis *> y = curves.speedPowerChart()->axes(Qt::Vertical);
        return fitsSnugly(curves.angleChart()->axes(Qt::Vertical).front(), angle) &&
               fitsSnugly(y[0], speed) && fitsSnugly(y[1], power);
    };

    run(TGenParams{}, 200);
    run(TGenParams{450, 7, 0.00002, 0.5}, 450); // out of step, beyond 1440 degrees
    curves.follow(history, true);
    const QStringList both = names(curves);
    QCOMPARE(both.size(), 2);
    QCOMPARE(both[0], QStringLiteral("200 ms: in step; H 6"));
    QVERIFY(both[1].startsWith(QLatin1String("450 ms: out of step at ")));
    QVERIFY(both[1].endsWith(QLatin1String("; H 7")));
    QVERIFY(axesFit());

    // Once the other machine has dropped out, the names are short again and the angle
    // axis shrinks to the swings that are left.
    for (int i = 0; i < 5; ++i) run(TGenParams{}, 200);
    curves.follow(history, true);
    QCOMPARE(names(curves), QStringList(5, QStringLiteral("200 ms: in step")));
    QVERIFY(axesFit());
    QVERIFY(static_cast<QValueAxis *>(curves.angleChart()->axes(Qt::Vertical).front())->max() <
            180);
}

void TestSwingCurves::oneWindowWithTheLastFiveRuns() {
    DravonHarness h;
    control<QAction>(h.w, "SwingCurves1")->trigger();
    SwingCurves *curves = h.w.swingCurves();
    control<QAction>(h.w, "SwingCurves1")->trigger();
    QCOMPARE(h.w.swingCurves(), curves);
    QCOMPARE(h.w.findChildren<SwingCurves *>().size(), 1);
    QVERIFY(curves->isWindow() && curves->isVisible() && curves->parent() == &h.w);
    QCOMPARE(curves->windowTitle(), QStringLiteral("Swing curves"));

    h.w.session().setClearingTime(450); // short runs: out of step within 1.3 s
    for (int i = 0; i < 6; ++i) control<QPushButton>(h.w, "Kortsluiting")->click();
    const auto shown = curves->shownRuns();
    QCOMPARE(shown.size(), std::size_t(5));
    QCOMPARE(shown.front().id, 2);
    QCOMPARE(shown.back().id, 6);
    std::size_t pieces = 0;
    QSet<QRgb> colours;
    for (const auto &run : shown) {
        const QColor colour = run.angle.front()->pen().color();
        colours.insert(colour.rgb());
        for (const auto *curve : {&run.angle, &run.speed, &run.power})
            for (QLineSeries *piece : *curve) {
                QCOMPARE(piece->pen().color(), colour);
                QCOMPARE(piece->pen().style(), curve == &run.power ? Qt::DashLine : Qt::SolidLine);
            }
        pieces += run.angle.size();
    }
    QCOMPARE(colours.size(), 5);
    // The first run's curves have left the charts.
    QCOMPARE(std::size_t(curves->angleChart()->series().size()), pieces);
    // Escape puts the window away; the menu brings the same one back.
    QTest::keyClick(curves, Qt::Key_Escape);
    QVERIFY(!curves->isVisible());
    control<QAction>(h.w, "SwingCurves1")->trigger();
    QVERIFY(curves->isVisible());
    QCOMPARE(h.w.swingCurves(), curves);
}

void TestSwingCurves::curvesGrowAndEndWithEveryStep() {
    DravonHarness h;
    control<QAction>(h.w, "SwingCurves1")->trigger();
    SwingCurves &curves = *h.w.swingCurves();
    Clock::time_point now{};
    curves.clock = [&] { return now; };
    curves.processorTime = [] { return Clock::duration{}; }; // the program all idle

    // Time enough passes at every step: each redraw (every fifth step) adds its steps.
    std::vector<std::pair<int, qsizetype>> seen;
    h.onStep = [&](int n) {
        now += std::chrono::seconds(1);
        if (n <= 40) seen.emplace_back(n, newestAngles(curves).size());
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    for (const auto &[step, points] : seen) QCOMPARE(points, qsizetype(step - step % 5));

    // A frozen clock holds the new steps back until the run ends, or until the window,
    // closed meanwhile, opens again.
    qsizetype atStep100 = 0, atStep400 = 0, atReopen = 0;
    h.onStep = [&](int n) {
        if (n == 100) atStep100 = newestAngles(curves).size();
        if (n == 300) curves.close();
        if (n == 400) atStep400 = newestAngles(curves).size();
        if (n == 500) {
            control<QAction>(h.w, "SwingCurves1")->trigger();
            atReopen = newestAngles(curves).size();
        }
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QCOMPARE(atStep100, qsizetype(5)); // the new run's first redraw
    QCOMPARE(atStep400, qsizetype(5));
    QCOMPARE(atReopen, qsizetype(500));

    const RunRecord &run = *h.w.session().history().last();
    const auto shown = curves.shownRuns();
    const QList<QPointF> angle = SwingCurves::points(shown.back().angle);
    const QList<QPointF> speed = SwingCurves::points(shown.back().speed);
    const QList<QPointF> power = SwingCurves::points(shown.back().power);
    QCOMPARE(run.samples.size(), std::size_t(3334));
    QCOMPARE(angle.size(), qsizetype(3334));
    QCOMPARE(speed.size(), qsizetype(3334));
    QCOMPARE(power.size(), qsizetype(3334));
    for (qsizetype i = 0; i < angle.size(); ++i) {
        const RunSample &s = run.samples[std::size_t(i)];
        QCOMPARE(angle[i], QPointF(s.clock, s.rotorAngleDeg));
        QCOMPARE(speed[i], QPointF(s.clock, s.speedDeviation));
        QCOMPARE(power[i], QPointF(s.clock, s.pelec));
    }
}

void TestSwingCurves::chartsFollowTheZoom() {
    // The charts' texts do not follow the window's font: the zoom sets them, and the
    // curves' widths, when the window opens zoomed and when the zoom changes.
    DravonHarness h;
    control<QPushButton>(h.w, "Kortsluiting")->click();
    zoomTo(h.w, 200);
    control<QAction>(h.w, "SwingCurves1")->trigger();
    const SwingCurves &c = *h.w.swingCurves();
    const auto sizes = [&c](double times) {
        return QList<qreal>{c.angleChart()->axes().front()->labelsFont().pointSizeF() * times,
                            c.speedPowerChart()->titleFont().pointSizeF() * times,
                            c.shownRuns().front().angle.front()->pen().widthF() * times};
    };
    const QList<qreal> at200 = sizes(1);
    zoomTo(h.w, 100);
    QCOMPARE(at200, sizes(2));
}

void TestSwingCurves::hiddenAndRunawayRunsLeaveTheAxes_data() {
    QTest::addColumn<int>("clearingMs"); // of the run after a hidden one that swung wider
    QTest::newRow("out of step") << 450;
    QTest::newRow("in step") << 50;
}

void TestSwingCurves::hiddenAndRunawayRunsLeaveTheAxes() {
    QFETCH(int, clearingMs);
    DravonHarness h;
    control<QAction>(h.w, "SwingCurves1")->trigger();
    SwingCurves &c = *h.w.swingCurves();
    // The first run is hidden as it grows, by the speed chart's legend.
    h.onStep = [&](int n) {
        if (n == 100 && c.shownRuns().size() == 1) clickLegend(c, 0);
    };
    h.w.session().setClearingTime(300);
    control<QPushButton>(h.w, "Kortsluiting")->click();
    h.w.session().setClearingTime(clearingMs);
    control<QPushButton>(h.w, "Kortsluiting")->click();
    zoomTo(h.w, 200);
    QVERIFY(hiddenAs(c, {true, false}));
    const auto shown = c.shownRuns();
    QVERIFY(fitsSnugly(c.angleChart()->axes(Qt::Vertical).front(), {shown[1].angle}));
    QVERIFY(fitsSnugly(c.speedPowerChart()->axes(Qt::Vertical).front(), {shown[1].speed}));
    clickLegend(c, 0);
    QVERIFY(hiddenAs(c, {false, false}));
}

void TestSwingCurves::narrowWindowSettles_data() {
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QSize>("size"); // the window's, at 100 %
    QTest::newRow("100 %, 560 x 430") << 100 << QSize(560, 430);
    QTest::newRow("125 %, 498 x 430") << 125 << QSize(498, 430);
    QTest::newRow("200 %, 715 x 852") << 200 << QSize(715, 852);
}

void TestSwingCurves::narrowWindowSettles() {
    // Long names, a narrow window, a zoom and runs that fell out of step: the charts are
    // still a few events after any change of width.
    QFETCH(int, zoom);
    QFETCH(QSize, size);
    FaultScenario scenario;
    scenario.network = Network::TwoLines;
    scenario.recloseMs = 300;
    scenario.recloseOnto = RecloseOnto::Permanent;
    RunHistory history;
    FaultRun engine;
    engine.addListener([&](const StepReport &r) { history.record(r, engine.generator()); });
    for (int ms : {200, 400, 450, 430, 100}) {
        engine.newGenerator(TGenParams{});
        engine.start(scenario);
        history.begin(engine.generator(), ms, scenario);
        while (engine.continues()) engine.step(ms);
        engine.finish();
        history.finish(engine);
    }
    SwingCurves c(nullptr);
    c.setZoom(zoom / 100.0);
    c.resize(size * zoom / 100);
    c.show();
    c.follow(history, true);

    int layouts = 0;
    for (QChart *chart : {c.angleChart(), c.speedPowerChart()})
        connect(chart, &QChart::plotAreaChanged, &c, [&layouts] { ++layouts; });
    for (int width = c.minimumWidth(); width < c.minimumWidth() + 300; width += 23) {
        c.resize(width, c.height());
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
        layouts = 0;
        QCoreApplication::processEvents();
        QVERIFY2(layouts == 0, qPrintable(QString::number(width)));
    }

    // At its least size each chart's upright axis titles are whole: Qt cuts them to the
    // plot's height.
    c.resize(c.minimumSizeHint());
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    for (QChart *chart : {c.angleChart(), c.speedPowerChart()})
        for (QAbstractAxis *axis : chart->axes(Qt::Vertical))
            QVERIFY2(QFontMetrics(axis->titleFont()).horizontalAdvance(axis->titleText()) <=
                         chart->plotArea().height(),
                     qPrintable(axis->titleText()));
}

void TestSwingCurves::runawayLeavesTheAxesWhileTheMessageIsOpen() {
    // The axes keep to the runs in step from the step that finds a run out of step, while
    // its message waits for OK, as they do after it.
    DravonHarness h;
    control<QAction>(h.w, "SwingCurves1")->trigger();
    SwingCurves &c = *h.w.swingCurves();
    control<QPushButton>(h.w, "Kortsluiting")->click();
    double angleMax = 0;
    const auto answer = h.w.modalRunner;
    h.w.modalRunner = [&](QDialog &box) {
        angleMax = static_cast<QValueAxis *>(c.angleChart()->axes(Qt::Vertical).front())->max();
        return answer(box);
    };
    h.w.session().setClearingTime(450);
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QCOMPARE(int(h.boxes.size()), 1);
    QVERIFY2(angleMax > 0 && angleMax < 180, qPrintable(QString::number(angleMax)));
}

QTEST_MAIN(TestSwingCurves)
#include "tst_swingcurves.moc"
