// The Dravex main window: its read-outs, layout, menu and the one-line diagram's mouse.
#include "controls.h"
#include "criticalclearing.h"
#include "dravonharness.h"
#include "equalareastatus.h"
#include "gen_dlg_new.h"
#include "imagecontrol.h"
#include "numberformat.h"
#include "taskpanel.h"
#include "textconvert.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The read-out text for a number written with a full stop, in the user's locale.
QString local(const char *text) {
    return QString::fromUtf8(text).replace(QChar('.'), QLocale::system().decimalPoint());
}

// The control that Tab moves to from the given one.
QWidget *nextTabStop(QWidget *from) {
    QWidget *next = from->nextInFocusChain();
    while (next != from && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
    return next;
}

} // namespace

class TestDravon : public QObject {
    Q_OBJECT
private slots:
    void init() { cleanup(); }
    void cleanup() {
        zoomSettings().remove("View/zoom");
        zoomSettings().remove("View/roundedReadouts");
    }
    void readOutsAtStart();
    void readOutsFollowEachStep();
    void captionsFitTheirPlaces();
    void controlsHaveLayoutNamesAndPlaces();
    void menusAndSpeeds();
    void diagramSymbolsCopyMachineData();
    void busbarLeavesGeneratorAlone();
    void equalAreasInStatusBar();
    void toolsReachTheDialogsFromTheKeyboard();
    void simulationsCriticalTimeInStatusBar();
    void disturbanceWithoutAFault();
    void scenarioFilesThroughTheMenu();
    void titleNamesTheScenarioFile();
    void taskPanelBesideThePlots();
    void roundedReadouts_data();
    void roundedReadouts();
    void zoomedClicksHitTheSameSymbols();
    void zoomDuringRunRedrawsFromHistory_data();
    void zoomDuringRunRedrawsFromHistory();
    void zoomIsRememberedWithinTheScreen();
};

void TestDravon::readOutsAtStart() {
    TDravon w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Critical clearing time"));
    QCOMPARE(control<QLineEdit>(w, "EditDelta")->text(), QStringLiteral("30"));
    QCOMPARE(control<QLineEdit>(w, "EditPelek")->text(), local("0.5"));
    if (qEnvironmentVariable("LC_ALL").startsWith(QLatin1String("nl")))
        QCOMPARE(control<QLineEdit>(w, "EditPelek")->text(), QStringLiteral("0,5"));
    QVERIFY(control<QLineEdit>(w, "EditDomega")->text().isEmpty());
    QVERIFY(control<QLineEdit>(w, "EdittotTijd")->text().isEmpty());
    QCOMPARE(w.session().clearingTime(), 200);
    QCOMPARE(w.session().machineData().Pmax, 450.0);
    QCOMPARE(w.session().machineData().H, 6.0);
    QCOMPARE(w.session().machineData().Demping, 0.00002);
    QCOMPARE(w.session().machineData().Pmech, 0.5);
    QVERIFY(w.session().freshGenerator());
    QVERIFY(!w.session().isRunning());
    QCOMPARE(w.session().runTime(), 0.0);
}

void TestDravon::readOutsFollowEachStep() {
    DravonHarness h;
    QStringList seen;
    h.onStep = [&](int n) {
        if (n <= 2 || n == 68)
            seen << control<QLineEdit>(h.w, "EditPelek")->text()
                 << control<QLineEdit>(h.w, "EditDomega")->text()
                 << control<QLineEdit>(h.w, "EditDelta")->text()
                 << control<QLineEdit>(h.w, "EdittotTijd")->text();
        if (n == 68) h.clickDuringRun();
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QCOMPARE(seen.size(), 12);
    // Step 1, under the fault: no electrical power, C / 8000 rad/s, 30.00675 degrees.
    QCOMPARE(seen[0], QStringLiteral("0"));
    QCOMPARE(seen[1], local("0.0392699081698724"));
    QCOMPARE(seen[2], local("30.00675"));
    QCOMPARE(seen[3], QStringLiteral("0"));
    QCOMPARE(seen[4], QStringLiteral("0"));
    QCOMPARE(seen[5], local("0.0785192546639092"));
    QCOMPARE(seen[7], local("0.003"));
    // A long number is read from its first digit.
    QCOMPARE(control<QLineEdit>(h.w, "EditDomega")->cursorPosition(), 0);
    // Step 68 is the first after clearing: Pelek times Pmax, in the user's power unit.
    const double pelec = textToFloat(seen[8]);
    QVERIFY(pelec > 0.5 * 450 && pelec <= 450);
}

void TestDravon::captionsFitTheirPlaces() {
    TDravon w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (QLabel *label : w.findChildren<QLabel *>()) {
        if (!label->isVisible()) continue;
        const QRect r = label->geometry();
        QVERIFY2(label->sizeHint().width() <= r.width() + 1, qPrintable(label->objectName()));
        QVERIFY2(r.right() < label->parentWidget()->width(), qPrintable(label->objectName()));
    }
    // The read-out labels stop short of the phase-plane panel.
    for (QLabel *label : {control<QLabel>(w, "labDomega"), control<QLabel>(w, "LabDelta"),
                          control<QLabel>(w, "LabTotTijd"), control<QLabel>(w, "LabPelek")})
        QVERIFY2(label->geometry().right() < control<QFrame>(w, "Panelfase")->x(),
                 qPrintable(label->objectName()));
    QVERIFY(control<QPushButton>(w, "Kortsluiting")
                    ->fontMetrics()
                    .horizontalAdvance(control<QPushButton>(w, "Kortsluiting")->text()) +
                6 <=
            control<QPushButton>(w, "Kortsluiting")->width());
    // "G" and "SB" lie on their circles.
    QVERIFY(control<ShapeControl>(w, "Shape1")
                ->geometry()
                .contains(control<MouseLabel>(w, "Generator")->geometry()));
    QVERIFY(control<ShapeControl>(w, "Shape2")
                ->geometry()
                .contains(control<MouseLabel>(w, "swingbus")->geometry()));
    QCOMPARE(control<MouseLabel>(w, "Generator")->font().pixelSize(), 19);
    // Everything fits in the client area.
    const QWidget *client = w.centralWidget();
    for (QWidget *child : client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        QVERIFY2(client->rect().contains(child->geometry()), qPrintable(child->objectName()));
}

void TestDravon::controlsHaveLayoutNamesAndPlaces() {
    TDravon w;
    const struct {
        const char *name;
        QRect geometry;
    } expected[] = {
        {"schema", {24, 16, 297, 209}},      {"Shape1", {9, 78, 73, 57}},
        {"Shape2", {200, 64, 73, 57}},       {"Lijn", {119, 91, 90, 4}},
        {"Rail", {112, 48, 9, 89}},          {"Shape3", {73, 103, 45, 4}},
        {"PanelSinus", {24, 232, 297, 185}}, {"ImageSinus", {8, 8, 281, 168}},
        {"Kortsluiting", {344, 16, 75, 25}}, {"EditDomega", {328, 56, 73, 21}},
        {"EditDelta", {328, 88, 73, 21}},    {"EdittotTijd", {328, 128, 73, 21}},
        {"EditPelek", {328, 160, 73, 21}},   {"Panelrotor", {485, 238, 193, 177}},
        {"ImageRotor", {24, 8, 161, 161}},   {"Panelfase", {501, 14, 177, 177}},
        {"ImageFase", {16, 16, 145, 145}},
    };
    for (const auto &e : expected) {
        auto *control = w.findChild<QWidget *>(QString::fromLatin1(e.name));
        QVERIFY2(control, e.name);
        QCOMPARE(control->geometry(), e.geometry);
    }
    QVERIFY(control<QLineEdit>(w, "EditDomega")->isReadOnly());
    QVERIFY(control<QLineEdit>(w, "EditDelta")->isReadOnly());
    QVERIFY(!control<QLineEdit>(w, "EdittotTijd")->isReadOnly());
    QVERIFY(!control<QLineEdit>(w, "EditPelek")->isReadOnly());
    QCOMPARE(control<ShapeControl>(w, "Shape1")->toolTip(),
             QStringLiteral("right-click for popup"));
    QCOMPARE(control<MouseLabel>(w, "Generator")->toolTip(),
             QStringLiteral("rightclick for popup"));
    QCOMPARE(control<ShapeControl>(w, "Rail")->toolTip(), QStringLiteral("rightclick for popup"));
    QCOMPARE(control<ShapeControl>(w, "Shape1")->kind(), ShapeControl::Kind::Circle);
    QCOMPARE(control<ShapeControl>(w, "Rail")->fill(), clBlack);
    // Start-up has drawn on every image: each has a picture of its layout size.
    QCOMPARE(control<ImageControl>(w, "ImageSinus")->surface().size(), QSize(281, 168));
    QCOMPARE(control<ImageControl>(w, "ImageFase")->surface().size(), QSize(145, 145));
    QCOMPARE(control<ImageControl>(w, "ImageRotor")->surface().size(), QSize(161, 161));
    // Tab order through the button and the read-outs.
    QCOMPARE(nextTabStop(control<QPushButton>(w, "Kortsluiting")),
             control<QLineEdit>(w, "EditDomega"));
    QCOMPARE(nextTabStop(control<QLineEdit>(w, "EditDomega")), control<QLineEdit>(w, "EditDelta"));
    QCOMPARE(nextTabStop(control<QLineEdit>(w, "EditDelta")), control<QLineEdit>(w, "EdittotTijd"));
    QCOMPARE(nextTabStop(control<QLineEdit>(w, "EdittotTijd")), control<QLineEdit>(w, "EditPelek"));
}

void TestDravon::menusAndSpeeds() {
    TDravon w;
    QStringList titles;
    for (QAction *a : w.menuBar()->actions()) titles << a->text();
    QCOMPARE(titles, (QStringList{"&File", "&Tools", "&Speed", "&View", "&Help"}));
    QStringList items;
    for (QMenu *menu : {control<QMenu>(w, "File1"), control<QMenu>(w, "Tools1")})
        for (QAction *a : menu->actions()) items << a->text();
    QCOMPARE(items, (QStringList{"&Open scenario...",
                                 "Sa&ve scenario...",
                                 "Open &network...",
                                 "Import &MATPOWER case...",
                                 "",
                                 "Open &lesson...",
                                 "E&xport lesson record...",
                                 "Print &worksheet...",
                                 "Export answer &key...",
                                 "",
                                 "&Export run...",
                                 "Save &picture...",
                                 "",
                                 "&Close",
                                 "&Machine data...",
                                 "C&learing time...",
                                 "Fault &scenario...",
                                 "",
                                 "&Find critical clearing time",
                                 "S&wing curves",
                                 "Critical clearing s&tudy..."}));
    QCOMPARE(control<QAction>(w, "Help2")->text(), QStringLiteral("&Help"));
    QCOMPARE(control<QAction>(w, "About1")->text(), QStringLiteral("&About"));
    QCOMPARE(control<QMenu>(w, "Help1")->actions(),
             (QList<QAction *>{control<QAction>(w, "Help2"), control<QAction>(w, "UserGuide1"),
                               control<QAction>(w, "About1")}));
    QCOMPARE(control<QMenu>(w, "Speed1")->actions(),
             (QList<QAction *>{control<QAction>(w, "Realtime1"), control<QAction>(w, "Slowmotion1"),
                               control<QAction>(w, "Fast1")}));
    QCOMPARE(control<QAction>(w, "Realtime1")->text(), QStringLiteral("&Real time"));
    QCOMPARE(control<QAction>(w, "Slowmotion1")->text(), QStringLiteral("&Slow motion"));
    QCOMPARE(control<QAction>(w, "Fast1")->text(), QStringLiteral("&Fast"));
    QCOMPARE(w.session().speed(), RunSpeed::RealTime);
    QVERIFY(control<QAction>(w, "Realtime1")->isChecked());
    control<QAction>(w, "Slowmotion1")->trigger();
    QCOMPARE(w.session().speed(), RunSpeed::SlowMotion);
    QVERIFY(!control<QAction>(w, "Realtime1")->isChecked());
    w.session().setSpeed(RunSpeed::Fast);
    QVERIFY(control<QAction>(w, "Fast1")->isChecked());
    QVERIFY(!control<QAction>(w, "Slowmotion1")->isChecked());
}

void TestDravon::diagramSymbolsCopyMachineData() {
    // Any button on the generator, the swing bus or their letters copies the machine
    // data into the current generator; M and the angle stay as they were.
    TDravon w;
    w.show();
    QWidget *symbols[] = {control<ShapeControl>(w, "Shape1"), control<MouseLabel>(w, "Generator"),
                          control<ShapeControl>(w, "Shape2"), control<MouseLabel>(w, "swingbus")};
    double pmax = 450;
    for (QWidget *symbol : symbols) {
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton}) {
            pmax += 10;
            w.session().setMachineData(TGenParams{pmax, 7, 0.0001, 0.6});
            const double m = w.session().generator().M, delta = w.session().generator().Delta;
            QTest::mousePress(symbol, button, {}, QPoint(5, 5));
            QCOMPARE(w.session().generator().Pmax, pmax);
            QCOMPARE(w.session().generator().H, 7.0);
            QCOMPARE(w.session().generator().Demping, 0.0001);
            QCOMPARE(w.session().generator().Pmech, 0.6);
            QCOMPARE(w.session().generator().M, m);
            QCOMPARE(w.session().generator().Delta, delta);
        }
    }
    QVERIFY(w.session().freshGenerator()); // the dialog path leaves the flag alone
}

void TestDravon::busbarLeavesGeneratorAlone() {
    DravonHarness h;
    QStringList opened;
    h.onDialog = [&opened](QDialog &d) {
        opened << d.windowTitle();
        return int(QDialog::Rejected);
    };
    h.w.session().setMachineData(TGenParams{900, 6, 0.00002, 0.5});
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        QTest::mousePress(control<ShapeControl>(h.w, "Rail"), button, {}, QPoint(4, 40));
    QCOMPARE(opened, QStringList{QStringLiteral("Clearing time")}); // the right button only
    QCOMPARE(h.w.session().generator().Pmax, 450.0);
    QCOMPARE(h.w.session().clearingTime(), 200);
}

void TestDravon::equalAreasInStatusBar() {
    // The status bar shows the criterion for the case and, after a run, its areas; new
    // machine data give a new criterion at once and put the last run's areas away.
    DravonHarness h;
    EqualAreaStatus &status = *h.w.equalAreaStatus();
    QVERIFY2(status.Criterion->text().contains(QStringLiteral("critical clearing time 364 ms")),
             qPrintable(status.Criterion->text()));
    // The layout keeps its client area; the status bar comes below it.
    QCOMPARE(h.w.centralWidget()->height(), TDravon::ClientSize.height());

    control<QPushButton>(h.w, "Kortsluiting")->click();
    QVERIFY2(status.Areas->text().contains(QStringLiteral("stable: the swing turned back at")),
             qPrintable(status.Areas->text()));
    h.w.session().setClearingTime(376);
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QVERIFY2(status.Areas->text().contains(QStringLiteral("unstable:")),
             qPrintable(status.Areas->text()));

    h.onDialog = [](QDialog &d) {
        auto &g = dynamic_cast<TGenDlg &>(d);
        g.EditPmech->setText(QStringLiteral("0"));
        g.OKBtn->click();
        return g.result();
    };
    QTest::mousePress(control<MouseLabel>(h.w, "Generator"), Qt::RightButton, {}, QPoint(3, 3));
    QVERIFY2(status.Criterion->text().contains(QStringLiteral("with Pmech 0")),
             qPrintable(status.Criterion->text()));
    QCOMPARE(status.Areas->text(), noAreasText()); // the last run's areas belong to other data
    h.w.show();
    status.Areas->setText(QString(300, QChar('x'))); // too long a line does not widen the window
    QCoreApplication::processEvents();               // the line's layout, then the window's
    QCoreApplication::processEvents();
    QCOMPARE(h.w.width(), TDravon::ClientSize.width());
}

void TestDravon::toolsReachTheDialogsFromTheKeyboard() {
    // Tools opens what the right-clicks open, also during a run; Enter presses the
    // focused button; a screen reader can name every part of the window.
    DravonHarness h;
    QStringList opened;
    h.onDialog = [&opened](QDialog &d) {
        opened << d.windowTitle();
        if (auto *g = dynamic_cast<TGenDlg *>(&d)) {
            g->EditPmech->setText(QStringLiteral("0"));
            g->OKBtn->click();
        }
        return d.result();
    };
    h.onStep = [&h](int n) {
        if (n == 10) {
            control<QAction>(h.w, "MachineData1")->trigger();
            control<QAction>(h.w, "ClearingTime1")->trigger();
        }
    };
    h.w.show();
    control<QPushButton>(h.w, "Kortsluiting")->setFocus();
    QTest::keyClick(control<QPushButton>(h.w, "Kortsluiting"), Qt::Key_Return);
    QCOMPARE(int(h.steps.size()), 3334);
    QCOMPARE(opened, (QStringList{"Generator gegevens", "Clearing time"}));
    // The machine data reached the running generator, as after a right-click.
    QCOMPARE(h.w.session().generator().Pmech, 0.0);
    QCOMPARE(h.w.session().machineData().Pmech, 0.0);

    for (QWidget *part : std::initializer_list<QWidget *>{
             control<ShapeControl>(h.w, "Shape1"), control<MouseLabel>(h.w, "Generator"),
             control<ShapeControl>(h.w, "Shape2"), control<MouseLabel>(h.w, "swingbus"),
             control<ShapeControl>(h.w, "Rail"), control<ImageControl>(h.w, "ImageSinus"),
             control<ImageControl>(h.w, "ImageFase"), control<ImageControl>(h.w, "ImageRotor"),
             control<QLineEdit>(h.w, "EditDomega"), control<QLineEdit>(h.w, "EditDelta"),
             control<QLineEdit>(h.w, "EdittotTijd"), control<QLineEdit>(h.w, "EditPelek")}) {
        QVERIFY2(!part->accessibleName().isEmpty(), qPrintable(part->objectName()));
        QVERIFY2(!part->accessibleDescription().isEmpty(), qPrintable(part->objectName()));
    }
}

void TestDravon::simulationsCriticalTimeInStatusBar() {
    DravonHarness h;
    QLabel *line = h.w.equalAreaStatus()->Simulation;
    const QString hint = line->text();
    const TMyGenerator *generator = &h.w.session().generator();
    const QImage sinus = control<ImageControl>(h.w, "ImageSinus")->surface().image();
    control<QAction>(h.w, "FindCritical1")->trigger();
    QCOMPARE(line->text(),
             QStringLiteral("Simulation: in step up to 375 ms, out of step from 376 ms"));
    // The search runs generators of its own.
    QCOMPARE(&h.w.session().generator(), generator);
    QCOMPARE(h.w.session().generator().Domega, 0.0);
    QVERIFY(control<ImageControl>(h.w, "ImageSinus")->surface().image() == sinus);
    QVERIFY(h.w.session().freshGenerator());

    // Found during a run, the run goes on as it was.
    h.onStep = [&h](int n) {
        if (n == 100) control<QAction>(h.w, "FindCritical1")->trigger();
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QCOMPARE(int(h.steps.size()), 3334);
    QVERIFY(h.boxes.empty());

    // Other machine data: the line is found again for them at once, here where the
    // search runs at once.
    h.w.session().searchRunner = [](CriticalSearch search, CriticalFound found) {
        found(search());
    };
    h.onDialog = [](QDialog &d) {
        auto &g = dynamic_cast<TGenDlg &>(d);
        g.EditH->setText(QStringLiteral("3"));
        g.OKBtn->click();
        return g.result();
    };
    control<QAction>(h.w, "MachineData1")->trigger();
    TGenParams h3;
    h3.H = 3;
    QCOMPARE(line->text(), simulationText(findCriticalClearingTime(h3, {}, SearchLimitMs)));
    QVERIFY(line->text() !=
            QStringLiteral("Simulation: in step up to 375 ms, out of step from 376 ms"));

    // Searches that end out of order: only the one for the data as they stand speaks.
    std::vector<std::pair<CriticalSearch, CriticalFound>> pending;
    h.w.session().searchRunner = [&pending](CriticalSearch search, CriticalFound found) {
        pending.emplace_back(std::move(search), std::move(found));
    };
    FaultScenario twoLines;
    twoLines.network = Network::TwoLines;
    h.w.session().setScenario(twoLines);
    h.w.session().setMachineData(TGenParams{});
    QCOMPARE(line->text(), QStringLiteral("Simulation: searching\u2026"));
    QCOMPARE(int(pending.size()), 2);
    pending[1].second(pending[1].first());
    const QString newest = line->text();
    // Searched past the slider: this fault stays in step to 555 ms.
    QCOMPARE(newest,
             simulationText(findCriticalClearingTime(TGenParams{}, twoLines, SearchLimitMs)));
    QVERIFY(newest.endsWith(QStringLiteral(", beyond the slider")));
    pending[0].second(pending[0].first());
    QCOMPARE(line->text(), newest);
}

void TestDravon::disturbanceWithoutAFault() {
    DravonHarness h;
    h.w.session().searchRunner = [](CriticalSearch search, CriticalFound found) {
        found(search());
    };
    EqualAreaStatus &status = *h.w.equalAreaStatus();
    FaultScenario step;
    step.network = Network::PowerStep;
    step.pmechAfter = 0.7;
    h.w.session().setScenario(step);
    // The largest stable P1 instead of a clearing time; the damping holds the machine in
    // step a little beyond the criterion's.
    QCOMPARE(status.Simulation->text(),
             local("Simulation: in step up to P1 0.879, out of step from 0.880"));
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QCOMPARE(h.w.session().generator().Pmech, 0.7);
    // The run's record keeps the data it began from, as a run without a window does.
    QCOMPARE(h.w.session().history().last()->params, recordRun(h.w.session().studyCase()).params);
    QVERIFY2(status.Areas->text().contains(QStringLiteral("stable: the swing turned back at")),
             qPrintable(status.Areas->text()));
    // The machine data keep the Pmech the step starts from: the dialog shows it, and
    // Cancel leaves it, although the generator still runs at P1.
    QString shownPmech;
    h.onDialog = [&shownPmech](QDialog &d) {
        shownPmech = d.findChild<QLineEdit *>(QStringLiteral("EditPmech"))->text();
        return int(QDialog::Rejected);
    };
    control<QAction>(h.w, "MachineData1")->trigger();
    QCOMPARE(shownPmech, local("0.5"));
    QCOMPARE(h.w.session().machineData().Pmech, 0.5);
    QCOMPARE(h.w.session().generator().Pmech, 0.7);
    // Nothing to clear: the clearing-time command says so and changes nothing.
    control<QAction>(h.w, "ClearingTime1")->trigger();
    QCOMPARE(int(h.boxes.size()), 1);
    QVERIFY(h.boxes[0].text.startsWith(QStringLiteral("A step in mechanical power has no fault")));
    QCOMPARE(h.w.session().clearingTime(), DefaultAfschakeltijd);
}

void TestDravon::scenarioFilesThroughTheMenu() {
    DravonHarness h;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("exercise.dravex"));
    StabilityCase c;
    c.machine.Pmech = 0.6;
    c.clearingMs = 150;
    c.scenario.network = Network::TwoLines;
    c.scenario.recloseMs = 300;
    QVERIFY(h.w.session().openCase(c));
    h.w.reportFiles().askFileName = [&path](QWidget *, const QString &, const QString &,
                                            const QString &) { return path; };
    control<QAction>(h.w, "SaveScenario1")->trigger();
    QVERIFY(h.w.session().openCase(StabilityCase{}));

    // Opened during a run: the run stops, and a new generator from the file is drawn.
    QString chosen = path;
    h.w.reportFiles().askOpenFileName = [&chosen](QWidget *, const QString &, const QString &,
                                                  const QString &) { return chosen; };
    h.onStep = [&h](int n) {
        if (n == 10) control<QAction>(h.w, "OpenScenario1")->trigger();
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QCOMPARE(int(h.steps.size()), 10);
    QVERIFY(!h.w.session().isRunning());
    QVERIFY(h.w.session().studyCase() == c);
    QCOMPARE(h.w.session().generator().Pmech, 0.6);
    QCOMPARE(h.w.session().generator().Domega, 0.0);
    QVERIFY(control<ShapeControl>(h.w, "Lijn2")->isVisible());
    QCOMPARE(h.w.equalAreaStatus()->Areas->text(), // not the stopped run's, at its loop's end
             QStringLiteral("A1 and A2 are summed while a short circuit runs"));

    // A refused file changes nothing and says where it is wrong.
    chosen = dir.filePath(QStringLiteral("bad.dravex"));
    QFile bad(chosen);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("[machine]\nPmech = 2\n");
    bad.close();
    control<QAction>(h.w, "OpenScenario1")->trigger();
    QCOMPARE(int(h.boxes.size()), 1);
    QVERIFY2(h.boxes[0].text.startsWith(QStringLiteral("bad.dravex, line 2")),
             qPrintable(h.boxes[0].text));
    QVERIFY(h.w.session().studyCase() == c);
}

void TestDravon::titleNamesTheScenarioFile() {
    // Opened, saved under another name, refused, replaced by a case from no file.
    DravonHarness h;
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("two-lines.dravex"));
    const QString second = dir.filePath(QStringLiteral("copy.dravex"));
    const QString bad = dir.filePath(QStringLiteral("bad.dravex"));
    QFile file(first);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[fault]\nnetwork = two-lines\n");
    file.close();
    file.setFileName(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[fault]\nnetwork = lines\n");
    file.close();
    QString chosen;
    h.w.reportFiles().askOpenFileName = [&](QWidget *, const QString &, const QString &,
                                            const QString &) { return chosen; };
    h.w.reportFiles().askFileName = [&](QWidget *, const QString &, const QString &,
                                        const QString &) { return chosen; };
    QStringList titles;
    for (const auto &[item, path] : {std::pair{control<QAction>(h.w, "OpenScenario1"), first},
                                     {control<QAction>(h.w, "SaveScenario1"), second},
                                     {control<QAction>(h.w, "OpenScenario1"), bad}}) {
        chosen = path;
        item->trigger();
        titles << h.w.windowTitle();
    }
    QVERIFY(h.w.session().openCase(StabilityCase{}));
    titles << h.w.windowTitle();
    QCOMPARE(titles,
             (QStringList{"Critical clearing time \u2014 two-lines.dravex",
                          "Critical clearing time \u2014 copy.dravex",
                          "Critical clearing time \u2014 copy.dravex", "Critical clearing time"}));
    QCOMPARE(int(h.boxes.size()), 1); // the refused file's message
}

void TestDravon::taskPanelBesideThePlots() {
    // A scenario file's comments are its task, beside the plots, which keep their size; a
    // file without comments, or a case from none, puts it away.
    DravonHarness h;
    QTemporaryDir dir;
    const auto open = [&](const QByteArray &text) {
        QFile file(dir.filePath(QStringLiteral("task.dravex")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        file.close();
        QVERIFY(h.w.session().openScenarioFile(file.fileName()));
        QCoreApplication::processEvents(); // the window fits the pane once it has moved
    };
    TaskPanel *task = h.w.taskPanel();
    const int width = h.w.width(), client = h.w.centralWidget()->width();
    open("# Exercise A.\n# Why does it\n# swing?\n\n[machine]\nPmech = 0.6\n");
    QVERIFY(!task->isHidden() && !task->isFloating());
    QCOMPARE(task->textView()->toPlainText(), QStringLiteral("Exercise A.\nWhy does it swing?"));
    QCOMPARE(h.w.centralWidget()->width(), client);
    QVERIFY(h.w.width() >= width + task->width());
    open("[machine]\nPmech = 0.6\n");
    QVERIFY(task->isHidden() && !control<QAction>(h.w, "TaskPanelAction")->isEnabled());
    QCOMPARE(h.w.width(), width);
    open("# Again\n[machine]\n");
    QVERIFY(!task->isHidden());
    QVERIFY(h.w.session().openCase(StabilityCase{}));
    QVERIFY(task->isHidden());
}

void TestDravon::roundedReadouts_data() {
    QTest::addColumn<bool>("run"); // stopped after its second step
    QTest::addColumn<QString>("readout");
    QTest::addColumn<QString>("exact");
    QTest::addColumn<QString>("rounded");
    QTest::newRow("Pmech before a run") << false << "EditPelek"
                                        << "0.5"
                                        << "0.5 p.u.";
    QTest::newRow("angle before a run") << false << "EditDelta"
                                        << "30"
                                        << "30\u00B0";
    QTest::newRow("no speed before a run") << false << "EditDomega"
                                           << ""
                                           << "";
    QTest::newRow("speed") << true << "EditDomega"
                           << "0.0785192546639092"
                           << "0.07852 rad/s";
    QTest::newRow("angle") << true << "EditDelta"
                           << "30.0202464657083"
                           << "30.02\u00B0";
    QTest::newRow("total time") << true << "EdittotTijd"
                                << "0.003"
                                << "0.003 s";
    QTest::newRow("Pelec, in Pmax's unit") << true << "EditPelek"
                                           << "0"
                                           << "0";
}

void TestDravon::roundedReadouts() {
    // View > Rounded read-outs rewrites the read-outs shown at once, both ways, and a
    // new window starts as the last one was left.
    QFETCH(bool, run);
    QFETCH(QString, readout);
    QFETCH(QString, exact);
    QFETCH(QString, rounded);
    rounded.replace(rounded.indexOf('.'), rounded.contains('.'), QLocale::system().decimalPoint());
    DravonHarness h;
    if (run) {
        h.onStep = [&h](int n) {
            if (n == 2) h.clickDuringRun();
        };
        control<QPushButton>(h.w, "Kortsluiting")->click();
    }
    auto *edit = h.w.findChild<QLineEdit *>(readout);
    auto *item = h.w.findChild<QAction *>(QStringLiteral("RoundedReadouts1"));
    QVERIFY(edit && item);
    QCOMPARE(edit->text(), local(qPrintable(exact)));
    item->trigger();
    QCOMPARE(edit->text(), rounded);
    QCOMPARE(control<QLineEdit>(TDravon(), "EditDelta")->text(), QStringLiteral("30\u00B0"));
    item->trigger();
    QCOMPARE(edit->text(), local(qPrintable(exact)));
    QCOMPARE(control<QLineEdit>(TDravon(), "EditDelta")->text(), QStringLiteral("30"));
}

void TestDravon::zoomedClicksHitTheSameSymbols() {
    // At 150 and 200 %, right-clicks where the busbar's and the generator's centres lie
    // at 100 %, zoomed, open their dialogs; the client area holds every control.
    DravonHarness h;
    QStringList opened;
    h.onDialog = [&opened](QDialog &d) {
        opened << d.windowTitle();
        return int(QDialog::Rejected);
    };
    QWidget *client = h.w.centralWidget();
    for (double zoom : {1.5, 2.0}) {
        zoomTo(h.w, static_cast<int>(zoom * 100));
        for (QPoint centre : {QPoint(140, 108), QPoint(69, 122)}) {
            QWidget *hit = client->childAt(centre * zoom);
            QVERIFY(hit);
            QTest::mousePress(hit, Qt::RightButton, {}, hit->mapFrom(client, centre * zoom));
        }
        QCOMPARE(opened, (QStringList{"Clearing time", "Generator gegevens"}));
        opened.clear();
        for (QWidget *child : client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QVERIFY2(client->rect().contains(child->geometry()), qPrintable(child->objectName()));
    }
}

void TestDravon::zoomDuringRunRedrawsFromHistory_data() {
    QTest::addColumn<int>("clearingMs");
    QTest::addColumn<int>("stepsBefore"); // of a run before, stopped there; 0: no run
    QTest::addColumn<int>("zoomStep");    // 0: in the out-of-step message
    QTest::addColumn<int>("backStep");    // back to 100 % after this step; 0: after the run
    QTest::addColumn<bool>("twoLines");   // reclosed, a new Pmech at step 1500
    QTest::newRow("in step") << 200 << 0 << 100 << 2001 << false;
    QTest::newRow("out of step, zoomed in its message") << 376 << 0 << 0 << 0 << false;
    QTest::newRow("after a whole run") << 200 << 99999 << 50 << 0 << false;
    QTest::newRow("two lines, new Pmech") << 100 << 0 << 777 << 2500 << true;
}

void TestDravon::zoomDuringRunRedrawsFromHistory() {
    // Zoomed to 200 % between two steps, or at the end of the step that asked, a run
    // keeps its steps, its plots drawn anew for 200 % from the run so far; back at 100 %
    // the window looks as if it had never been zoomed.
    QFETCH(int, clearingMs);
    QFETCH(int, stepsBefore);
    QFETCH(int, zoomStep);
    QFETCH(int, backStep);
    QFETCH(bool, twoLines);
    DravonHarness ref, h;
    QSize inMessage;
    for (DravonHarness *x : {&ref, &h}) {
        x->onStep = [&, x](int n) {
            if (n == stepsBefore) x->clickDuringRun();
        };
        if (stepsBefore > 0) control<QPushButton>(x->w, "Kortsluiting")->click();
        FaultScenario scenario;
        if (twoLines) {
            scenario.network = Network::TwoLines;
            scenario.recloseMs = 300;
            scenario.recloseOnto = RecloseOnto::Permanent;
        }
        x->w.session().setScenario(scenario);
        x->w.session().setClearingTime(clearingMs);
        x->w.modalRunner = [&, x, answer = x->w.modalRunner](QDialog &d) {
            if (x == &h && zoomStep == 0) zoomTo(h.w, 200);
            inMessage = control<ImageControl>(h.w, "ImageFase")->surface().size();
            return answer(d);
        };
        x->onStep = [&, x](int n) {
            if (twoLines && n == 1500) {
                x->w.session().setMachineData(TGenParams{450, 6, 0.00002, 0.55});
                QTest::mousePress(control<MouseLabel>(x->w, "Generator"), Qt::LeftButton, {},
                                  QPoint(3, 3));
            }
            if (x == &h && n == zoomStep) zoomTo(h.w, 200);
            if (x == &h && n == backStep) zoomTo(h.w, 100);
        };
        control<QPushButton>(x->w, "Kortsluiting")->click();
    }
    if (zoomStep == 0) QCOMPARE(inMessage, QSize(145, 145)); // at the step's end only
    if (backStep == 0)
        QCOMPARE(control<ImageControl>(h.w, "ImageFase")->surface().size(), QSize(290, 290));
    zoomTo(h.w, 100);
    QCOMPARE(h.steps, ref.steps);
    QCOMPARE(h.w.session().history().last()->endClock, ref.w.session().history().last()->endClock);
    const auto active = [](TDravon &w) { // the focus shows in the active window only
        w.activateWindow();
        QCoreApplication::processEvents();
        return w.clientPicture();
    };
    QVERIFY(active(h.w) == active(ref.w));
}

void TestDravon::zoomIsRememberedWithinTheScreen() {
    // A new window starts on its screen at the last zoom as far as the screen holds it,
    // and keeps the remembered zoom for a larger one; a damaged setting means 100 %.
    zoomTo(*std::make_unique<TDravon>(), 200); // a window closed at 200 %
    TDravon small;                             // Qt's offscreen screen holds 100 % only
    QCOMPARE(small.viewZoom()->percent(), 100);
    QVERIFY(small.screen()->availableGeometry().contains(small.frameGeometry())); // moved onto it
    small.viewZoom()->availableArea = [] { return QSize(4000, 3000); };
    QCOMPARE(small.viewZoom()->remembered(), 200);
    for (const char *damaged : {"abc", "130", "-5"}) {
        zoomSettings().setValue("View/zoom", damaged);
        QCOMPARE(small.viewZoom()->remembered(), 100);
    }
}

QTEST_MAIN(TestDravon)
#include "tst_dravon2.moc"
