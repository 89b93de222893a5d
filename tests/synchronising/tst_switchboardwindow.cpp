// The switchboard's window: its keys and held controls, replays and the files of its
// menu, and the trainer beside it, on clocks the tests move.
#include "actionsfile.h"
#include "selmexfile.h"
#include "selmexlessoncontroller.h"
#include "selmexlessonpane.h"
#include "selmexlessonsession.h"
#include "switchboardcsv.h"
#include "switchboardwindow.h"
#include "uselmora.h"
#include "viewzoom.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace {

// A switchboard whose clock, file dialogs and message boxes the test holds.
struct Board {
    std::int64_t now = 0;
    FileChooser files;
    ModalRunner runner;
    QStringList boxes; // each box's name and text
    QString answer;    // what every file dialog answers
    SwitchboardWindow w{files, runner, nullptr, [this] { return now; }};

    Board() {
        runner = [this](QDialog &d) {
            if (auto *box = qobject_cast<QMessageBox *>(&d))
                boxes << box->objectName() + QStringLiteral(": ") + box->text();
            return int(QMessageBox::Ok);
        };
        files.askFileName = [this](QWidget *, const QString &, const QString &, const QString &) {
            return answer;
        };
        files.askOpenFileName = files.askFileName;
    }
    // Frames of 16 ms, as the window's timer gives them.
    void run(std::int64_t ms) {
        for (const std::int64_t end = now + ms; now < end;) {
            now = std::min(now + 16, end);
            w.frame();
        }
    }
    void trigger(const char *action) { w.findChild<QAction *>(QLatin1String(action))->trigger(); }
    // The actions as "control state" words, in order.
    QStringList actions() const {
        QStringList words;
        for (const SwitchboardAction &a : w.session().board().actions())
            words << QStringLiteral("%1 %2").arg(int(a.control)).arg(int(a.state));
        return words;
    }
};

const QString Press = QStringLiteral("0 0"), Release = QStringLiteral("0 1"),
              Close = QStringLiteral("4 2");

} // namespace

class TestSwitchboardWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void heldKeysAndButtons_data();
    void heldKeysAndButtons();
    void replayLogsAsTheModel();
    void refusedReplayChangesNothing_data();
    void refusedReplayChangesNothing();
    void scenarioFileOpensTheSwitchboard();
    void trainerUntouchedBesideTheSwitchboard();
    void actualSizeComesBack();
    void islandGroupOnAnIslandOnly_data();
    void islandGroupOnAnIslandOnly();
    void lessonPaneHoldsTheClose();
};

void TestSwitchboardWindow::heldKeysAndButtons_data() {
    // Steps: "key K", "repeat K" (a key's auto-repeat: a release and a press), "split K"
    // (the same unmarked, with one time stamp, a frame apart), "unkey K",
    // "mouse" and "unmouse" on Raise, "deactivate" (another window takes the keyboard).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("actions");
    QTest::newRow("held key repeats")
        << QStringList{"key Up", "repeat Up", "repeat Up", "repeat Up", "unkey Up"}
        << QStringList{Press, Release};
    QTest::newRow("focus lost while held")
        << QStringList{"key Up", "repeat Up", "deactivate", "repeat Up", "unkey Up"}
        << QStringList{Press, Release};
    QTest::newRow("mouse lost while held")
        << QStringList{"mouse", "deactivate", "unmouse"} << QStringList{Press, Release};
    QTest::newRow("key and mouse on one control")
        << QStringList{"key Up", "mouse", "unkey Up", "unmouse"} << QStringList{Press, Release};
    QTest::newRow("close key repeats")
        << QStringList{"key C", "repeat C", "repeat C", "unkey C"} << QStringList{Close};
    // Some X servers repeat a held key unmarked, the press a frame after the release.
    QTest::newRow("unmarked repeat")
        << QStringList{"key Up", "split Up", "unkey Up"} << QStringList{Press, Release};
    QTest::newRow("let go and pressed again")
        << QStringList{"key Up", "unkey Up", "key Up", "unkey Up"}
        << QStringList{Press, Release, Press, Release};
}

void TestSwitchboardWindow::heldKeysAndButtons() {
    QFETCH(QStringList, steps);
    QFETCH(QStringList, actions);
    Board b;
    b.w.show();
    auto *raise = b.w.findChild<QPushButton *>(QStringLiteral("SpeedRaise"));
    quint64 stamp = 1000;
    for (const QString &step : steps) {
        const QString what = step.section(QChar(' '), 0, 0);
        const int key = step.endsWith(QStringLiteral("Up")) ? Qt::Key_Up : Qt::Key_C;
        const auto send = [&](QEvent::Type type, bool repeat) {
            QKeyEvent event(type, key, Qt::NoModifier, QString(), repeat);
            event.setTimestamp(stamp);
            QApplication::sendEvent(raise, &event); // the focus may be anywhere
        };
        stamp += 30;
        if (what == QLatin1String("key")) send(QEvent::KeyPress, false);
        if (what == QLatin1String("unkey")) send(QEvent::KeyRelease, false);
        if (what == QLatin1String("repeat")) {
            send(QEvent::KeyRelease, true);
            send(QEvent::KeyPress, true);
        }
        if (what == QLatin1String("split")) {
            send(QEvent::KeyRelease, false);
            b.run(16);
            send(QEvent::KeyPress, false);
        }
        if (what == QLatin1String("mouse")) QTest::mousePress(raise, Qt::LeftButton);
        if (what == QLatin1String("unmouse")) QTest::mouseRelease(raise, Qt::LeftButton);
        if (what == QLatin1String("deactivate")) {
            QEvent event(QEvent::ActivationChange); // the window is not the active one
            QApplication::sendEvent(&b.w, &event);
        }
        b.run(100);
    }
    QCOMPARE(b.actions(), actions);
}

void TestSwitchboardWindow::replayLogsAsTheModel() {
    // The synchroniser brings the machine on, the operator opens and closes again by hand.
    const std::vector<SwitchboardAction> actions{
        {300, SwitchboardControl::VoltageRaise, ControlState::Press},
        {2300, SwitchboardControl::VoltageRaise, ControlState::Release},
        {2500, SwitchboardControl::Mode, ControlState::Automatic},
        {40000, SwitchboardControl::Breaker, ControlState::Open},
        {40001, SwitchboardControl::Mode, ControlState::Manual},
        {43210, SwitchboardControl::Breaker, ControlState::Close}};
    Switchboard model;
    model.runUntil(50000, &actions);
    QVERIFY(model.attempts().size() >= 2);
    QTemporaryDir dir;
    Board b;
    b.run(5000); // the student's own exercise first
    b.w.session().act(SwitchboardControl::Breaker, ControlState::Close);
    b.answer = dir.filePath(QStringLiteral("actions.csv"));
    QString error;
    QVERIFY(writeSelmexFile(b.answer, switchboardActionsCsv(actions), &error));
    b.trigger("ReplayActions1");
    b.run(50000);
    b.answer = dir.filePath(QStringLiteral("log.csv"));
    b.trigger("ExportLog1");
    QFile log(b.answer);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), switchboardLogCsv(model.settings(), model.events()));
    QCOMPARE(b.w.findChild<QTableWidget *>(QStringLiteral("Log"))->rowCount(),
             int(model.attempts().size()));
    QVERIFY(b.boxes.isEmpty());
}

void TestSwitchboardWindow::refusedReplayChangesNothing_data() {
    QTest::addColumn<QByteArray>("file"); // empty: no file at all
    QTest::newRow("no such file") << QByteArray();
    QTest::newRow("unknown control") << QByteArray("time_s,control,state\n1.000,warp,press\n");
    QTest::newRow("out of time order")
        << QByteArray("time_s,control,state\n2.000,breaker,close\n1.000,breaker,open\n");
}

void TestSwitchboardWindow::refusedReplayChangesNothing() {
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    Board b;
    b.answer = dir.filePath(QStringLiteral("bad.csv"));
    QString error;
    if (!file.isEmpty()) QVERIFY(writeSelmexFile(b.answer, file, &error));
    b.run(1000);
    b.w.session().act(SwitchboardControl::Breaker, ControlState::Close);
    b.trigger("ReplayActions1");
    QCOMPARE(b.boxes.size(), 1);
    QVERIFY2(b.boxes[0].startsWith(QStringLiteral("ErrorReport: ")) &&
                 b.boxes[0].contains(QStringLiteral("bad.csv")),
             qPrintable(b.boxes[0]));
    QCOMPARE(b.w.session().board().timeMs(), 1000);
    QCOMPARE(b.actions(), QStringList{Close});
    QVERIFY(!b.w.session().replaying());
}

void TestSwitchboardWindow::scenarioFileOpensTheSwitchboard() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("board.selmex"));
    QString error;
    QVERIFY(writeSelmexFile(
        path, "[generator]\nvoltage = 304\n[switchboard]\nfrequency = 49.5\nlamps = bright\n",
        &error));
    std::uint32_t t = 43200000;
    TForm1 f([&t] { return t++; });
    f.switchboardClock = [] { return std::int64_t(0); };
    QVERIFY2(f.openScenarioFile(path, &error), qPrintable(error));
    QCOMPARE(f.session().start().voltage, 304); // the trainer's part
    QVERIFY(f.switchboardWindow());
    const SwitchboardSettings &board = f.switchboardWindow()->session().settings();
    QCOMPARE(board.frequency, 49.5);
    QCOMPARE(board.lamps, LampMethod::Bright);
}

void TestSwitchboardWindow::trainerUntouchedBesideTheSwitchboard() {
    // Two trainers from the same start; one has the switchboard open, its keys held.
    std::uint32_t ta = 43200000, tb = 43200000;
    TForm1 a([&ta] { return ta++; }), b([&tb] { return tb++; });
    b.switchboardClock = [] { return std::int64_t(0); };
    b.findChild<QAction *>(QStringLiteral("Switchboard1"))->trigger();
    QVERIFY(b.switchboardWindow());
    QKeyEvent hold(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(b.switchboardWindow(), &hold);
    // The trainer's own keys still reach its controls. A slider's move starts the timer
    // again, so both stop only then, before either ticks: one window's ticks pump the
    // other's events, and a timer left running would tick a window more.
    for (TForm1 *f : {&a, &b})
        QTest::keyClick(f->findChild<QSlider *>(QStringLiteral("TbFrequentie")), Qt::Key_Right);
    for (TForm1 *f : {&a, &b}) f->findChild<QTimer *>(QStringLiteral("Timer1"))->stop();
    for (TForm1 *f : {&a, &b})
        for (int k = 0; k < 30; ++k) f->tick();
    QCOMPARE(b.findChild<QSlider *>(QStringLiteral("TbFrequentie"))->value(), 51);
    for (std::size_t k = 0; k < 3; ++k) {
        QCOMPARE(b.session().generatorPhasors()[k].Angle, a.session().generatorPhasors()[k].Angle);
        QCOMPARE(b.session().networkPhasors()[k].Angle, a.session().networkPhasors()[k].Angle);
    }
    QCOMPARE(b.findChild<QWidget *>(QStringLiteral("Image2"))->grab().toImage(),
             a.findChild<QWidget *>(QStringLiteral("Image2"))->grab().toImage());
}

void TestSwitchboardWindow::actualSizeComesBack() {
    // Ctrl+0 after zooming: the switchboard at its size at 100 %, however the larger
    // sizes were held back by the screen or by the window's least size.
    QMainWindow trainer;
    ViewZoom zoom(&trainer, QStringLiteral("selmex"));
    zoom.availableArea = [] { return QSize(4000, 4000); };
    zoom.setWindowSize(QSize(400, 300), QSize()); // every level fits
    FileChooser files;
    ModalRunner runner;
    std::int64_t now = 0;
    SwitchboardWindow w(files, runner, &zoom, [&now] { return now; });
    w.show();
    const QSize at100 = w.size();
    for (const int percent : {200, 125, 300, 150}) zoom.zoomTo(percent);
    QVERIFY(w.size() != at100);
    zoom.actualSize();
    QCOMPARE(w.size(), at100);
}

void TestSwitchboardWindow::islandGroupOnAnIslandOnly_data() {
    QTest::addColumn<bool>("island");
    QTest::newRow("infinite bus") << false;
    QTest::newRow("island") << true;
}

void TestSwitchboardWindow::islandGroupOnAnIslandOnly() {
    QFETCH(bool, island);
    Board b;
    SwitchboardSettings settings;
    settings.bus = island ? BusKind::Island : BusKind::Infinite;
    QVERIFY(b.w.startExercise(settings));
    b.w.show();
    QCOMPARE(b.w.findChild<QGroupBox *>(QStringLiteral("IslandGroup"))->isVisible(), island);
}

QTEST_MAIN(TestSwitchboardWindow)
#include "tst_switchboardwindow.moc"

// The pane's wiring: the close button and key held back until the pane's prediction, the
// exercise standing still meanwhile, and the outcome shown at the first close.
void TestSwitchboardWindow::lessonPaneHoldsTheClose() {
    Board b;
    b.w.show();
    SelmexLessonStep step;
    step.title = "The first close";
    step.lessonCase.switchboard = SwitchboardSettings{};
    step.ownScenario = true;
    step.question = SelmexQuestion{SelmexAsk::Permits, 0, std::nullopt};
    SelmexLesson lesson;
    lesson.title = "Synchronising";
    lesson.steps = {step};
    b.w.lessons().lesson().open(lesson);
    b.w.lessons().pane()->show();
    SelmexLessonPane *pane = b.w.lessons().pane();
    QVERIFY(pane->isVisible());
    QCOMPARE(pane->findChild<QLabel *>(QStringLiteral("LessonStepLabel"))->text(),
             QStringLiteral("Step 1 of 1"));
    QVERIFY(pane->findChild<QRadioButton *>(QStringLiteral("PredictChoice1"))->isVisible());
    QVERIFY(!pane->findChild<QRadioButton *>(QStringLiteral("PredictChoice3"))->isVisible());

    b.w.findChild<QPushButton *>(QStringLiteral("CloseButton"))->click();
    QTest::keyClick(&b.w, Qt::Key_C);
    b.run(500);
    QVERIFY(b.actions().isEmpty());
    QCOMPARE(b.w.session().board().timeMs(), 0);
    QVERIFY(pane->result()->text().startsWith(QStringLiteral("Predict first")));
    // The relay's verdict is the answer: it waits too.
    QLabel *relay = b.w.findChild<QLabel *>(QStringLiteral("RelayValue"));
    QVERIFY(relay->text().contains(QStringLiteral("waits for your prediction")));

    for (QRadioButton *choice : pane->findChildren<QRadioButton *>())
        if (choice->text() == QStringLiteral("No")) choice->click();
    pane->findChild<QPushButton *>(QStringLiteral("PredictButton"))->click();
    QCOMPARE(*b.w.lessons().lesson().progress().prediction, NoAnswer);
    // Typed into the lesson's text, C is a letter, not a close.
    b.w.activateWindow();
    QCoreApplication::processEvents();
    pane->text()->setFocus();
    QCOMPARE(QApplication::focusWidget(), pane->text());
    QTest::keyClick(pane->text(), Qt::Key_C);
    QVERIFY(b.actions().isEmpty());
    b.w.findChild<QPushButton *>(QStringLiteral("CloseButton"))->click();
    b.run(500);
    QCOMPARE(b.actions(), QStringList{Close});
    QVERIFY(!relay->text().contains(QStringLiteral("waits for your prediction")));
    // The answer key through the File menu: a PDF.
    QTemporaryDir dir;
    b.answer = dir.filePath(QStringLiteral("key.pdf"));
    b.trigger("ExportAnswerKey1");
    QFile key(b.answer);
    QVERIFY(key.open(QIODevice::ReadOnly));
    QCOMPARE(key.read(5), QByteArray("%PDF-"));
    QVERIFY(b.boxes.isEmpty());
    QVERIFY(b.w.lessons().lesson().progress().revealed);
}
