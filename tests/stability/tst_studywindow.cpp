// The critical clearing study's window: its curves and markers hold the study's points,
// a range that cannot be studied runs nothing, closing it stops a study,
// a clicked point's value goes into the case when the user agrees, and its CSV is the
// study's.
#include "dravonharness.h"
#include "numberformat.h"
#include "studycsv.h"
#include "studywindow.h"
#include "textconvert.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>
#include <QValueAxis>
#include <QXYSeries>

Q_DECLARE_METATYPE(StabilityCase)
Q_DECLARE_METATYPE(StudyRange)

namespace {

StabilityCase undamped(Network network = Network::Busbar) {
    StabilityCase c;
    c.machine.Demping = 0;
    c.machine.Pmech = 0.5;
    c.scenario.network = network;
    return c;
}

StudyWindow &openStudy(DravonHarness &h, const StabilityCase &c) {
    if (!h.w.session().openCase(c)) qFatal("case refused");
    control<QAction>(h.w, "CriticalClearingStudyAction")->trigger();
    return *h.w.studyWindow();
}

void setRange(StudyWindow &w, const StudyRange &r, const QString &fromText = {}) {
    auto *combo = control<QComboBox>(w, "Parameter");
    combo->setCurrentIndex(combo->findData(static_cast<int>(r.parameter)));
    control<QLineEdit>(w, "From")->setText(fromText.isEmpty() ? formatGeneral(r.from) : fromText);
    control<QLineEdit>(w, "To")->setText(formatGeneral(r.to));
    control<QSpinBox>(w, "Points")->setValue(r.points);
}

bool studyToEnd(StudyWindow &w) {
    QSignalSpy ended(&w, &StudyWindow::studyEnded);
    control<QPushButton>(w, "Start")->click();
    return ended.wait(60000);
}

// A curve's points, its pieces joined.
QList<QPointF> pointsOf(const StudyWindow &w, const QString &name) {
    QList<QPointF> all;
    for (QAbstractSeries *s : w.chart()->series())
        if (s->name() == name) all += static_cast<QXYSeries *>(s)->points();
    return all;
}

// The present case's line, whatever its name says of where the case lies.
QList<QPointF> presentLine(const StudyWindow &w) {
    for (QAbstractSeries *s : w.chart()->series())
        if (s->name().startsWith(QStringLiteral("present case")))
            return static_cast<QXYSeries *>(s)->points();
    return {};
}

// Where a curve's point at `x` is drawn in the chart's view.
QPoint pixelOf(const StudyWindow &w, const QString &name, double x) {
    auto *view = w.findChild<QChartView *>("StudyChart");
    for (QAbstractSeries *s : w.chart()->series())
        for (const QPointF &p :
             s->name() == name ? static_cast<QXYSeries *>(s)->points() : QList<QPointF>())
            if (p.x() == x)
                return view->mapFromScene(w.chart()->mapToScene(w.chart()->mapToPosition(p, s)));
    qFatal("no point");
}

QString local(const char *text) {
    return QString::fromUtf8(text).replace(QChar('.'), systemDecimalSeparator());
}

const QString Criterion = QStringLiteral("equal-area criterion");
const QString Simulation = QStringLiteral("simulation: first out-of-step clearing");

} // namespace

class TestStudyWindow : public QObject {
    Q_OBJECT
private slots:
    void pointsLandInTheirSeries_data();
    void pointsLandInTheirSeries();
    void refusedRangeRunsNothing_data();
    void refusedRangeRunsNothing();
    void closingStopsTheStudy();
    void takingAPointOverAsksFirst_data();
    void takingAPointOverAsksFirst();
    void savedFilesHoldTheStudy();
    void presentCaseAndPointTexts_data();
    void presentCaseAndPointTexts();
};

void TestStudyWindow::pointsLandInTheirSeries_data() {
    QTest::addColumn<StabilityCase>("studied");
    QTest::addColumn<StudyRange>("range");
    QTest::newRow("H on the busbar") << undamped() << StudyRange{StudyParameter::H, 2, 10, 5};
    // Pmech 0: nothing accelerates the rotor, both say stable whatever the clearing time;
    // just above it the criterion's time goes past the simulation's 2000 ms.
    QTest::newRow("Pmech from 0") << undamped() << StudyRange{StudyParameter::Pmech, 0, 0.1, 6};
    // r2 below Pmech: no equilibrium after clearing; the simulation falls out at 0 ms.
    QTest::newRow("r2 below Pmech")
        << undamped(Network::Transfer) << StudyRange{StudyParameter::After, 0.3, 0.9, 4};
}

void TestStudyWindow::pointsLandInTheirSeries() {
    QFETCH(StabilityCase, studied);
    QFETCH(StudyRange, range);
    DravonHarness h;
    StudyWindow &w = openStudy(h, studied);
    setRange(w, range);
    QVERIFY(studyToEnd(w));

    // The study's own numbers are the session's to test; here, where each point is drawn.
    QList<QPointF> criterion, simulation;
    QList<double> always, never, inStep;
    QVERIFY(w.shown());
    QCOMPARE(int(w.shown()->points.size()), range.points);
    for (const StudyPoint &p : w.shown()->points) {
        if (p.criterion.altijdStabiel)
            always << p.value;
        else if (p.criterion.nooitStabiel)
            never << p.value;
        else
            criterion << QPointF(p.value, static_cast<double>(p.criterion.tijd * 1000));
        if (const auto ms = firstOutOfStepMs(p.simulation))
            simulation << QPointF(p.value, *ms);
        else
            inStep << p.value;
    }
    QCOMPARE(pointsOf(w, Criterion), criterion);
    QCOMPARE(pointsOf(w, Simulation), simulation);
    // The markers where a curve has no number: at the top of the axis, or at 0.
    const QList<QPointF> present = presentLine(w);
    const double top = present.last().y();
    const auto xsAt = [&](const QString &name, double y) {
        QList<double> xs;
        for (const QPointF &p : pointsOf(w, name)) xs << (p.y() == y ? p.x() : -1);
        return xs;
    };
    QCOMPARE(xsAt("criterion: always stable", top), always);
    QCOMPARE(xsAt("criterion: never stable", 0), never);
    QCOMPARE(xsAt(QStringLiteral("simulation: in step up to %1 ms").arg(SearchLimitMs),
                  std::min<double>(top, SearchLimitMs)),
             inStep);
    for (const QPointF &p : criterion + simulation) QVERIFY(p.y() <= top);
    QVERIFY(static_cast<QValueAxis *>(w.chart()->axes(Qt::Vertical).front())->max() >= top);
    // Inside the range the present case stands at its value (outside it at the axis's end).
    const double value = studyParameterValue(studied, range.parameter);
    if (value >= std::min(range.from, range.to) && value <= std::max(range.from, range.to))
        QCOMPARE(present.first().x(), value);
}

void TestStudyWindow::refusedRangeRunsNothing_data() {
    QTest::addColumn<StabilityCase>("studied");
    QTest::addColumn<StudyRange>("range");
    QTest::addColumn<QString>("fromText");
    QTest::newRow("network lacks it")
        << undamped() << StudyRange{StudyParameter::Location, 10, 90, 5} << QString();
    QTest::newRow("not a number") << undamped() << StudyRange{StudyParameter::H, 2, 10, 5}
                                  << QStringLiteral("two");
}

void TestStudyWindow::refusedRangeRunsNothing() {
    QFETCH(StabilityCase, studied);
    QFETCH(StudyRange, range);
    QFETCH(QString, fromText);
    DravonHarness h;
    StudyWindow &w = openStudy(h, studied);
    setRange(w, range, fromText);
    QSignalSpy ended(&w, &StudyWindow::studyEnded);
    control<QPushButton>(w, "Start")->click();

    const auto refusal =
        checkStudy(studied, range, [](double v) { return formatGeneral(v).toStdString(); });
    const QString expected = fromText.isEmpty() ? QString::fromStdString(refusal.value())
                                                : ConversionError(fromText).messageFor("From");
    QCOMPARE(control<QLabel>(w, "Status")->text(), expected);
    QVERIFY(!w.running());
    QCoreApplication::processEvents();
    QCOMPARE(ended.count(), 0);
    QVERIFY(!w.shown());
}

void TestStudyWindow::closingStopsTheStudy() {
    // A long study: 200 dead times, each searched to 2000 ms.
    StabilityCase c = undamped(Network::TwoLines);
    c.scenario.locationPercent = 80;
    const StudyRange range{StudyParameter::RecloseMs, 100, 1000, 200};
    DravonHarness h;
    StudyWindow &w = openStudy(h, c);
    setRange(w, range);
    QSignalSpy ended(&w, &StudyWindow::studyEnded);
    QVERIFY(w.start());
    w.close();
    QVERIFY(ended.wait(60000));
    QVERIFY(control<QLabel>(w, "Status")->text().startsWith("Study cancelled after"));
    QVERIFY(control<QProgressBar>(w, "Progress")->value() < range.points);
    QVERIFY(control<QPushButton>(w, "Start")->isEnabled());
}

void TestStudyWindow::takingAPointOverAsksFirst_data() {
    QTest::addColumn<QString>("curve");
    QTest::addColumn<int>("answer");
    QTest::addColumn<double>("H");
    QTest::newRow("yes") << Simulation << int(QMessageBox::Yes) << 4.0;
    QTest::newRow("no") << Criterion << int(QMessageBox::No) << 6.0;
}

void TestStudyWindow::takingAPointOverAsksFirst() {
    QFETCH(QString, curve);
    QFETCH(int, answer);
    QFETCH(double, H);
    DravonHarness h;
    StudyWindow &w = openStudy(h, undamped());
    setRange(w, {StudyParameter::H, 2, 10, 5});
    QVERIFY(studyToEnd(w));
    QCoreApplication::processEvents(); // the chart laid out for its points
    QStringList asked;
    h.w.modalRunner = [&](QDialog &dialog) {
        asked << dialog.objectName();
        return answer;
    };
    const QString statusBefore = h.w.equalAreaStatus()->Criterion->text();
    // A click a little beside the point at H = 4.
    QWidget *chart = w.findChild<QChartView *>("StudyChart")->viewport();
    QTest::mouseClick(chart, Qt::LeftButton, {}, pixelOf(w, curve, 4) + QPoint(3, -2));

    QCOMPARE(asked, QStringList{"TakeOver"});
    QCOMPARE(h.w.session().machineData().H, H);
    QCOMPARE(h.w.equalAreaStatus()->Criterion->text() != statusBefore, H == 4.0);
    QCOMPARE(pointsOf(w, "present case").first().x(), H);
}

void TestStudyWindow::savedFilesHoldTheStudy() {
    QTemporaryDir dir;
    DravonHarness h;
    const StabilityCase c = undamped();
    StudyWindow &w = openStudy(h, c);
    const StudyRange range{StudyParameter::H, 2, 10, 5};
    setRange(w, range);
    QVERIFY(studyToEnd(w));
    QString path;
    h.w.reportFiles().askFileName = [&](QWidget *, const QString &, const QString &,
                                        const QString &) { return path; };

    path = dir.filePath("study.csv");
    control<QPushButton>(w, "SaveCsv")->click();
    QFile csv(path);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(csv.readAll(), studyCsv(c, range, SearchLimitMs, w.shown()->points));

    path = dir.filePath("study.png");
    control<QPushButton>(w, "SavePicture")->click();
    QVERIFY(!QImage(path).isNull());
    QVERIFY(h.boxes.empty()); // no write failure
    // The picture carries a title the window does not show: what was studied, on what.
    const QImage shown = w.findChild<QChartView *>("StudyChart")->grab().toImage();
    QCOMPARE(QImage(path).size(), shown.size());
    QVERIFY(QImage(path).convertToFormat(shown.format()) != shown);
}

void TestStudyWindow::presentCaseAndPointTexts_data() {
    // The present case's H against a study of H from 2 to 10 in 20 points.
    QTest::addColumn<double>("present");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("right"); // at the axis's right end, else its left
    QTest::newRow("beyond") << 12.0 << "present case: H = 12 s, beyond" << true;
    QTest::newRow("below") << 0.5 << local("present case: H = 0.5 s, below") << false;
}

void TestStudyWindow::presentCaseAndPointTexts() {
    QFETCH(double, present);
    QFETCH(QString, name);
    QFETCH(bool, right);
    DravonHarness h;
    StabilityCase c = undamped();
    c.machine.H = present;
    StudyWindow &w = openStudy(h, c);
    setRange(w, {StudyParameter::H, 2, 10, 20});
    QVERIFY(studyToEnd(w));
    // The axis keeps to the range studied, whatever the present case.
    const auto *axis = static_cast<QValueAxis *>(w.chart()->axes(Qt::Horizontal).front());
    QVERIFY2(axis->min() > 1.5 && axis->max() < 10.5, qPrintable(QString::number(axis->max())));
    const QList<QPointF> line = pointsOf(w, name);
    QCOMPARE(line.size(), 2);
    QCOMPARE(line[0].x(), right ? axis->max() : axis->min());
    // A point's value to four digits with its unit: 2 + 8 x 9/19.
    QVERIFY2(w.pointText(9).startsWith(local("H = 5.789 s\n")), qPrintable(w.pointText(9)));
}

QTEST_MAIN(TestStudyWindow)
#include "tst_studywindow.moc"
