// A lesson in the Dravex window: predict first, the pane's steps and outcome, the
// record through the File menu, a refused file, and the client area beside the pane.
#include "dravonharness.h"
#include "layouthelpers.h"
#include "layoutzoom.h"
#include "lessonpane.h"
#include "lessonsession.h"
#include "lessontext.h"
#include "numberformat.h"
#include "statuslines.h"
#include "studywindow.h"
#include "swingcurves.h"

#include <cmath>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QPixmap>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace {

// A verdict on the default case, then the largest angle of a case of its own at 250 ms,
// then free exploration.
const QByteArray ThreeSteps =
    "# Three runs\n"
    "Words for the whole lesson.\n"
    "## In step?\n"
    "Busbar fault.\n"
    "```predict\nask = verdict\n```\n"
    "### After the run\nA1 was small.\n"
    "## How far?\n"
    "```scenario\n[machine]\nPmech = 0.6\n[fault]\nclearing_ms = 100\n```\n"
    "```predict\nask = max_angle\nclearing_ms = 250\n```\n"
    "### After the run\nThe swing turned back.\n"
    "## Free\n"
    "```scenario\n[machine]\nPmech = 0.4\n```\n";

QString local(QString text) {
    return text.replace(QChar('.'), systemDecimalSeparator());
}

struct LessonHarness : DravonHarness {
    QTemporaryDir dir;
    std::vector<QDialog *> dialogs;

    bool open(const QByteArray &text, const char *name = "class.dravex-lesson") {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) return false;
        file.close();
        return w.openLesson(file.fileName());
    }
    LessonPane &pane() { return *w.lessonPane(); }
    QString result() { return control<QLabel>(w, "LessonResult")->text(); }
    void press(const char *name) { control<QAbstractButton>(w, name)->click(); }
    void trigger(const char *name) { control<QAction>(w, name)->trigger(); }
    // The simulation's line found at once, not at some moment between two checks.
    void searchAtOnce() {
        w.session().searchRunner = [](CriticalSearch search, CriticalFound found) {
            found(search());
        };
    }
};

} // namespace

class TestLessonPane : public QObject {
    Q_OBJECT
private slots:
    void init() { zoomSettings().remove("View/zoom"); }
    void runsWaitForThePrediction_data();
    void runsWaitForThePrediction();
    void laterLimitIsKeptBack();
    void runAfterPredictingGoesOnTheStepsCase();
    void numbersAsTheStudentWritesThem_data();
    void numbersAsTheStudentWritesThem();
    void backAndNextOpenTheStepsCases();
    void nothingOfTheAnswerBeforeThePrediction();
    void recordThroughTheMenu();
    void sheetsThroughTheMenu();
    void refusedLessonChangesNothing();
    void unexportedPredictionsAreOffered_data();
    void unexportedPredictionsAreOffered();
    void picturesComeFromTheLessonsFolderAlone();
    void dockedPaneLeavesTheClientArea_data();
    void dockedPaneLeavesTheClientArea();
};

void TestLessonPane::runsWaitForThePrediction_data() {
    QTest::addColumn<QString>("command"); // an action, or the short-circuit button
    QTest::newRow("short circuit") << "Kortsluiting";
    QTest::newRow("find critical clearing time") << "FindCritical1";
    QTest::newRow("swing curves") << "SwingCurves1";
    QTest::newRow("critical clearing study") << "CriticalClearingStudyAction";
}

void TestLessonPane::runsWaitForThePrediction() {
    // Nothing that would show the answer goes before the prediction; the status bar and
    // the Tools keep the critical clearing times back until the step's run starts, for
    // the prediction may change until then. Afterwards all goes as ever.
    QFETCH(QString, command);
    LessonHarness h;
    h.searchAtOnce();
    QVERIFY(h.open(ThreeSteps));
    const auto give = [&] {
        if (auto *button = h.w.findChild<QPushButton *>(command))
            button->click();
        else
            control<QAction>(h.w, qPrintable(command))->trigger();
    };
    EqualAreaStatus &status = *h.w.equalAreaStatus();
    const auto shown = [&] { return status.Criterion->text() + status.Simulation->text(); };
    QVERIFY2(!shown().contains(QStringLiteral(" ms")), qPrintable(shown()));
    give();
    QVERIFY(h.steps.empty());
    QVERIFY(!h.w.swingCurves() && !h.w.studyWindow());
    QVERIFY2(!shown().contains(QStringLiteral(" ms")), qPrintable(shown()));
    QVERIFY(h.result().startsWith(QStringLiteral("Predict first")));

    h.press("PredictInStep");
    h.press("PredictButton");
    if (command != "Kortsluiting") {
        give();
        QVERIFY(!h.w.swingCurves() && !h.w.studyWindow());
        QVERIFY2(!shown().contains(QStringLiteral(" ms")), qPrintable(shown()));
    }
    h.press("Kortsluiting");
    QCOMPARE(int(h.steps.size()), 3334);
    QVERIFY2(shown().contains(QStringLiteral("critical clearing time 364 ms")),
             qPrintable(shown()));
    give();
    if (command == "FindCritical1")
        QCOMPARE(status.Simulation->text(),
                 QStringLiteral("Simulation: in step up to 375 ms, out of step from 376 ms"));
    if (command == "SwingCurves1") QVERIFY(h.w.swingCurves() && h.w.swingCurves()->isVisible());
    if (command == "CriticalClearingStudyAction")
        QVERIFY(h.w.studyWindow() && h.w.studyWindow()->isVisible());
}

void TestLessonPane::laterLimitIsKeptBack() {
    // After a verdict's run the status bar and Find critical clearing time keep back the
    // limit a later step asks of the same case, until that step's run.
    LessonHarness h;
    h.searchAtOnce();
    QVERIFY(h.open("# T\n## Verdict\n```predict\nask = verdict\n```\n"
                   "## Limit\n```predict\nask = critical_clearing_ms\n```\n"));
    h.press("PredictInStep");
    h.press("PredictButton");
    h.press("Kortsluiting");
    EqualAreaStatus &status = *h.w.equalAreaStatus();
    QVERIFY2(status.Simulation->text().contains(QStringLiteral("kept back")),
             qPrintable(status.Simulation->text()));
    h.trigger("FindCritical1");
    QVERIFY(status.Simulation->text().contains(QStringLiteral("kept back")));
    QVERIFY(h.result().contains(QStringLiteral("later step")));
    // Another case shows its times; the step's own case keeps them back until its step.
    TGenParams other = h.w.session().machineData();
    other.Pmech = 0.6;
    h.w.session().setMachineData(other);
    QVERIFY2(!status.answersHeld(), qPrintable(status.Simulation->text()));
    h.press("LessonNext");
    QVERIFY(status.answersHeld());
    control<QLineEdit>(h.w, "PredictValue")->setText(QStringLiteral("360"));
    h.press("PredictButton");
    h.press("LessonBack");
    h.press("LessonNext");
    h.press("Kortsluiting");
    h.press("LessonBack");
    QVERIFY2(status.Criterion->text().contains(QStringLiteral("critical clearing time 364 ms")),
             qPrintable(status.Criterion->text()));
}

void TestLessonPane::runAfterPredictingGoesOnTheStepsCase() {
    // Whatever the student changed, the run that answers goes on the step's case at the
    // question's clearing time; its end shows the outcome and the words after the run.
    LessonHarness h;
    QVERIFY(h.open(ThreeSteps));
    h.press("LessonNext");
    auto *value = control<QLineEdit>(h.w, "PredictValue");
    QVERIFY(value->isVisible() && !control<QRadioButton>(h.w, "PredictInStep")->isVisible());
    value->setText(local("60.5"));
    QTest::keyClick(value, Qt::Key_Return);
    QCOMPARE(*h.w.lessonSession().progress().prediction, 60.5);
    // The answer to Enter is read out: the result line takes the focus.
    QCOMPARE(h.w.focusWidget(), control<QWidget>(h.w, "LessonResult"));
    h.w.session().setMachineData(TGenParams{450, 6, 0.00002, 0.3});
    h.w.session().setClearingTime(50);
    h.press("Kortsluiting");
    const RunRecord &run = *h.w.session().history().last();
    QCOMPARE(run.clearingMs, 250);
    QCOMPARE(run.params.Pmech, 0.6);
    const LessonStep &step = h.w.lessonSession().step();
    QVERIFY(h.w.lessonSession().progress().revealed);
    QCOMPARE(h.result(), outcomeText(*step.question, 60.5, step.answer, systemDecimalSeparator()));
    QVERIFY(h.pane().text()->toPlainText().endsWith(QStringLiteral("The swing turned back.")));
}

void TestLessonPane::numbersAsTheStudentWritesThem_data() {
    QTest::addColumn<QString>("written");
    QTest::addColumn<double>("taken"); // NaN: refused, with a message
    QTest::addColumn<QString>("says"); // a part of the message
    const bool comma = systemDecimalSeparator() == QChar(',');
    const QString number = QStringLiteral("number");
    QTest::newRow("full stop") << "70.25" << 70.25 << QString();
    QTest::newRow("decimal comma") << "70,25" << (comma ? 70.25 : std::nan("")) << number;
    QTest::newRow("empty") << "" << std::nan("") << number;
    QTest::newRow("words") << "about 70" << std::nan("") << number;
    QTest::newRow("infinite") << "inf" << std::nan("") << number;
    // The case runs from 36.9 degrees.
    QTest::newRow("below the start") << "-5" << std::nan("")
                                     << local("-5.0\u00B0 is below the angle the run starts "
                                              "from, 36.9\u00B0");
}

void TestLessonPane::numbersAsTheStudentWritesThem() {
    QFETCH(QString, written);
    QFETCH(double, taken);
    QFETCH(QString, says);
    LessonHarness h;
    QVERIFY(h.open(ThreeSteps));
    h.press("LessonNext");
    control<QLineEdit>(h.w, "PredictValue")->setText(written);
    h.press("PredictButton");
    const std::optional<double> prediction = h.w.lessonSession().progress().prediction;
    QCOMPARE(prediction.has_value(), !std::isnan(taken));
    if (prediction)
        QCOMPARE(*prediction, taken);
    else
        QVERIFY2(h.result().contains(says), qPrintable(h.result()));
    QCOMPARE(control<QLabel>(h.w, "LessonResult")->textFormat(), Qt::PlainText);
}

void TestLessonPane::backAndNextOpenTheStepsCases() {
    // Each step opens its case; the prediction stands in the input, also after Back and
    // Next, and may be changed until the run starts.
    LessonHarness h;
    QVERIFY(h.open(ThreeSteps));
    h.press("PredictInStep");
    h.press("PredictButton");
    h.press("PredictOutOfStep");
    h.press("PredictButton");
    QCOMPARE(*h.w.lessonSession().progress().prediction, OutOfStepAnswer);
    QStringList seen;
    for (const char *button : {"LessonNext", "LessonNext", "LessonNext", "LessonBack"}) {
        h.press(button);
        seen << control<QLabel>(h.w, "LessonStepLabel")->text() +
                    QString::number(h.w.session().machineData().Pmech) +
                    (control<QPushButton>(h.w, "LessonBack")->isEnabled() ? "<" : "") +
                    (control<QPushButton>(h.w, "LessonNext")->isEnabled() ? ">" : "");
    }
    QCOMPARE(seen, (QStringList{"Step 2 of 30.6<>", "Step 3 of 30.4<", "Step 3 of 30.4<",
                                "Step 2 of 30.6<>"}));
    h.press("LessonBack");
    QVERIFY(control<QRadioButton>(h.w, "PredictOutOfStep")->isChecked());
    QVERIFY(control<QPushButton>(h.w, "PredictButton")->isEnabled());
    // The run shows that the prediction was wrong; from its start the prediction stands.
    h.press("Kortsluiting");
    QVERIFY2(h.result().endsWith(QStringLiteral("wrong.")), qPrintable(h.result()));
    QVERIFY(!control<QRadioButton>(h.w, "PredictInStep")->isEnabled());
    QVERIFY(!control<QPushButton>(h.w, "PredictButton")->isEnabled());
    // A step without a question asks for nothing, and every run goes.
    h.press("LessonNext");
    h.press("LessonNext");
    QVERIFY(!control<QPushButton>(h.w, "PredictButton")->isVisible());
    const std::size_t before = h.steps.size();
    h.press("Kortsluiting");
    QVERIFY(h.steps.size() > before);
}

void TestLessonPane::nothingOfTheAnswerBeforeThePrediction() {
    // With labels on, the critical clearing angle waits for the prediction; the areas of
    // the step after do not stay on after Back.
    LessonHarness h;
    h.trigger("PlotLabelsAction");
    QVERIFY(h.open("# T\n## Limit\n```predict\nask = critical_clearing_ms\n```\n"
                   "## Late\n```predict\nask = verdict\nclearing_ms = 400\n```\n"));
    const SinusPlot &plot = *h.w.plots().sinus;
    control<QLineEdit>(h.w, "PredictValue")->setText(QStringLiteral("380"));
    h.press("PredictButton");
    QCOMPARE(int(plot.marks().size()), 1); // the prediction may change until the run
    QVERIFY2(h.result().contains(QStringLiteral("cleared after 380 ms")), qPrintable(h.result()));
    h.press("Kortsluiting");
    QCOMPARE(int(plot.marks().size()), 3);
    h.press("LessonNext");
    h.press("PredictOutOfStep");
    h.press("PredictButton");
    h.press("Kortsluiting");
    h.press("LessonBack");
    QCOMPARE(h.w.equalAreaStatus()->Areas->text(), noAreasText());
}

void TestLessonPane::recordThroughTheMenu() {
    // The name asked once, the record as the lesson has it, with full stops in any locale.
    LessonHarness h;
    QVERIFY(!control<QAction>(h.w, "ExportLessonRecordAction")->isEnabled());
    QVERIFY(h.open(ThreeSteps));
    QString path = h.dir.filePath(QStringLiteral("record.csv"));
    h.w.reportFiles().askFileName = [&](QWidget *, const QString &, const QString &,
                                        const QString &) { return path; };
    int asked = 0;
    h.onDialog = [&asked](QDialog &d) {
        ++asked;
        auto &name = dynamic_cast<QInputDialog &>(d);
        name.setTextValue(QStringLiteral("Ann de Vries"));
        return int(QDialog::Accepted);
    };
    h.press("LessonNext");
    control<QLineEdit>(h.w, "PredictValue")->setText(local("60.5"));
    h.press("PredictButton");
    h.trigger("ExportLessonRecordAction");
    h.press("Kortsluiting");
    const QString second = h.dir.filePath(QStringLiteral("after-run.csv"));
    path = second;
    h.trigger("ExportLessonRecordAction");
    QCOMPARE(asked, 1);
    QFile file(second);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray csv = file.readAll();
    const LessonSession &lesson = h.w.lessonSession();
    QCOMPARE(csv, lessonRecordCsv(lesson.lesson(), lesson.allProgress(), "Ann de Vries"));
    QVERIFY(csv.contains(",60.5,") && csv.contains("Ann de Vries"));
    QCOMPARE(csv.count('\n'), 4); // the name's line, the header, two steps that ask
    QVERIFY(QFile::exists(h.dir.filePath(QStringLiteral("record.csv"))));
    QVERIFY(h.boxes.empty());

    // A file that cannot be written is named.
    path = h.dir.filePath(QStringLiteral("no-such-folder/record.csv"));
    h.trigger("ExportLessonRecordAction");
    QCOMPARE(int(h.boxes.size()), 1);
    QVERIFY(h.boxes[0].text.contains(QStringLiteral("no-such-folder")));
}

// Each offered under the lesson's name and written as a PDF.
void TestLessonPane::sheetsThroughTheMenu() {
    LessonHarness h;
    QVERIFY(!control<QAction>(h.w, "PrintWorksheetAction")->isEnabled());
    QVERIFY(h.open(ThreeSteps, "class.dravex-lesson"));
    h.w.reportFiles().askFileName = [&](QWidget *, const QString &, const QString &path,
                                        const QString &) {
        return h.dir.filePath(QFileInfo(path).fileName());
    };
    h.trigger("PrintWorksheetAction");
    h.trigger("ExportAnswerKeyAction");
    for (const char *name : {"class-worksheet.pdf", "class-key.pdf"}) {
        QFile pdf(h.dir.filePath(QString::fromLatin1(name)));
        QVERIFY2(pdf.open(QIODevice::ReadOnly), name);
        QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
    }
}

void TestLessonPane::refusedLessonChangesNothing() {
    // Neither the case nor the pane change, with or without a lesson open before.
    LessonHarness h;
    h.w.session().setClearingTime(120);
    const StabilityCase before = h.w.session().studyCase();
    const QByteArray bad = "# Bad\n## S\n```predict\nask = colour\n```\n";
    QVERIFY(!h.open(bad, "bad.dravex-lesson"));
    QCOMPARE(int(h.boxes.size()), 1);
    QVERIFY2(h.boxes[0].text.startsWith(QStringLiteral("bad.dravex-lesson, line 4")),
             qPrintable(h.boxes[0].text));
    QCOMPARE(h.boxes[0].format, Qt::PlainText);
    QVERIFY(h.w.session().studyCase() == before && h.pane().isHidden());
    QVERIFY(!h.w.lessonSession().isOpen());

    QVERIFY(h.open(ThreeSteps));
    h.press("LessonNext");
    h.pane().close(); // only put away: the lesson goes on
    QVERIFY(h.w.lessonSession().isOpen());
    const StabilityCase step = h.w.session().studyCase();
    QVERIFY(!h.open(bad, "bad.dravex-lesson"));
    QVERIFY(h.w.session().studyCase() == step && h.pane().isHidden());
    QCOMPARE(h.w.lessonSession().stepIndex(), 1);
}

void TestLessonPane::unexportedPredictionsAreOffered_data() {
    QTest::addColumn<int>("answer"); // the button pressed in the question
    QTest::addColumn<bool>("goes");  // whether the lesson goes
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << false;
    QTest::newRow("discard") << int(QMessageBox::Discard) << true;
    QTest::newRow("export") << int(QMessageBox::Save) << true;
}

void TestLessonPane::unexportedPredictionsAreOffered() {
    // Another lesson, or the window closed, would lose predictions not yet exported: the
    // student is asked, and Cancel keeps the lesson and the window.
    QFETCH(int, answer);
    QFETCH(bool, goes);
    LessonHarness h;
    const QString record = h.dir.filePath(QStringLiteral("record.csv"));
    h.w.reportFiles().askFileName = [&](QWidget *, const QString &, const QString &,
                                        const QString &) { return record; };
    h.onDialog = [](QDialog &) { return int(QDialog::Accepted); }; // the name, left empty
    int asked = 0;
    const ModalRunner harness = h.w.modalRunner;
    h.w.modalRunner = [&](QDialog &d) {
        auto *box = qobject_cast<QMessageBox *>(&d);
        if (!box || box->objectName() != QStringLiteral("LessonRecordQuestion")) return harness(d);
        ++asked;
        box->button(QMessageBox::StandardButton(answer))->click();
        return box->result();
    };
    QVERIFY(h.open(ThreeSteps));
    QVERIFY(h.open(ThreeSteps)); // nothing predicted, nothing to lose
    QCOMPARE(asked, 0);
    h.press("PredictInStep");
    h.press("PredictButton");
    QCOMPARE(h.open("# Other\n## One\n"), goes);
    QCOMPARE(asked, 1);
    QCOMPARE(h.w.lessonSession().lesson().title, std::string(goes ? "Other" : "Three runs"));
    QCOMPARE(QFile::exists(record), answer == int(QMessageBox::Save));
    if (goes) return;
    QVERIFY(!h.w.close());
    QCOMPARE(asked, 2);
}

void TestLessonPane::picturesComeFromTheLessonsFolderAlone() {
    // A student's copy of a lesson reads no other file, nothing from the network.
    LessonHarness h;
    QImage figure(4, 3, QImage::Format_RGB32);
    figure.fill(Qt::red);
    QVERIFY(QDir().mkpath(h.dir.filePath("lesson")));
    QVERIFY(figure.save(h.dir.filePath("lesson/figure.png")));
    QVERIFY(figure.save(h.dir.filePath("outside.png")));
    QVERIFY(h.open("# Pictures\n## One\n![a](figure.png)\n", "lesson/pictures.dravex-lesson"));
    QTextDocument &shown = *h.pane().text()->document();
    const auto picture = [&shown](const char *name) {
        // The bytes read, or the picture drawn from them once the text was laid out.
        const QVariant r =
            shown.resource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(name)));
        if (r.userType() == QMetaType::QPixmap) return r.value<QPixmap>().toImage();
        return QImage::fromData(r.value<QByteArray>());
    };
    QCOMPARE(picture("figure.png").size(), QSize(4, 3));
    QVERIFY(picture("../outside.png").isNull());
    QVERIFY(picture("http://example.invalid/x.png").isNull());
    QVERIFY(picture(qPrintable(QUrl::fromLocalFile(h.dir.filePath("outside.png")).toString()))
                .isNull());
}

void TestLessonPane::dockedPaneLeavesTheClientArea_data() {
    QTest::addColumn<int>("percent");
    QTest::newRow("100 %") << 100;
    QTest::newRow("150 %") << 150;
}

void TestLessonPane::dockedPaneLeavesTheClientArea() {
    // The window grows by the docked pane and gives the width back when the pane is put
    // away or floats; the client area keeps its pixels throughout, at any zoom.
    QFETCH(int, percent);
    LessonHarness h;
    h.searchAtOnce();
    h.w.session().announceCase();
    zoomTo(h.w, percent);
    const auto picture = [&h] {
        h.w.activateWindow();
        QCoreApplication::processEvents();
        return h.w.clientPicture();
    };
    const QImage before = picture();
    const int width = h.w.width();
    // A step of free exploration leaves the case, and the status bar, as they were.
    QVERIFY(h.open("# Free\n## Look around\nRun what you like.\n"));
    QVERIFY(h.pane().isVisible() && !h.pane().isFloating());
    QCOMPARE(h.w.centralWidget()->width(), width);
    QVERIFY(h.w.width() > width + h.pane().width());
    QVERIFY(picture() == before);
    // The lesson's words at the window's zoom.
    QCOMPARE(h.pane().text()->font().pixelSize(),
             LayoutZoom::scaled(layoutFont(), percent / 100.0).pixelSize());
    // Zoomed out and in again with the pane open: the same.
    zoomTo(h.w, percent == 100 ? 150 : 100);
    zoomTo(h.w, percent);
    QVERIFY(picture() == before);
    QVERIFY(h.w.width() > width + h.pane().width());
    h.pane().setFloating(true);
    QCOMPARE(h.w.width(), width);
    h.pane().setFloating(false);
    QVERIFY(h.w.width() > width);
    QVERIFY(picture() == before);
    control<QAction>(h.w, "LessonPaneAction")->trigger();
    QVERIFY(h.pane().isHidden());
    QCOMPARE(h.w.width(), width);
    h.trigger("LessonPaneAction");
    QVERIFY(picture() == before);
}

QTEST_MAIN(TestLessonPane)
#include "tst_lessonpane.moc"
