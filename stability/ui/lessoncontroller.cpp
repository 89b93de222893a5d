#include "lessoncontroller.h"

#include "dravexsession.h"
#include "errorreport.h"
#include "lessonfile.h"
#include "lessonpane.h"
#include "lessonsession.h"
#include "lessontext.h"
#include "reportfiles.h"
#include "savefile.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

const QString LessonFilter = QStringLiteral("Dravex lessons (*.dravex-lesson)");

} // namespace

LessonController::LessonController(QMainWindow *window, DravexSession &session, ReportFiles &files,
                                   const ModalRunner &runner, MenuItems items,
                                   std::function<void()> fitWindow,
                                   std::function<void(EqualAreaStatus::Hold)> showHold)
    : m_window(window), m_session(session), m_files(files), m_runner(runner), m_items(items),
      m_fitWindow(std::move(fitWindow)), m_showHold(std::move(showHold)) {
    m_lesson = new LessonSession(session, this);
    m_pane = new LessonPane(*m_lesson, window);
    // Docked at once, with no animation: the window's width follows the pane's place.
    m_window->setAnimated(false);
    m_window->addDockWidget(Qt::RightDockWidgetArea, m_pane);
    m_pane->hide();
    m_pane->installEventFilter(this);
    const auto fit = [this] {
        m_items.pane->setChecked(!m_pane->isHidden());
        m_fitWindow();
    };
    connect(m_pane, &QDockWidget::visibilityChanged, this, fit);
    connect(m_pane, &QDockWidget::topLevelChanged, this, fit);
    connect(m_pane, &QDockWidget::dockLocationChanged, this, fit);
    connect(m_items.pane, &QAction::toggled, m_pane, &QWidget::setVisible);
    connect(m_items.open, &QAction::triggered, this, &LessonController::chooseAndOpen);
    connect(m_items.exportRecord, &QAction::triggered, this, &LessonController::exportRecord);
    connect(m_items.worksheet, &QAction::triggered, this,
            [this] { writeSheet(SheetKind::Worksheet); });
    connect(m_items.answerKey, &QAction::triggered, this,
            [this] { writeSheet(SheetKind::AnswerKey); });
    for (auto signal : {&LessonSession::opened, &LessonSession::closed, &LessonSession::stepChanged,
                        &LessonSession::predicted, &LessonSession::predictionLocked})
        connect(m_lesson, signal, this, &LessonController::showState);
    // The student's own case may be one a later step asks the limit of.
    connect(&m_session, &DravexSession::caseChanged, this, &LessonController::showState);
    showState();
}

LessonController::~LessonController() {
    // The pane goes while the window's zoom, which its signals reach, is still there.
    m_pane->disconnect(this);
    m_pane->removeEventFilter(this);
    delete m_pane;
}

bool LessonController::eventFilter(QObject *watched, QEvent *event) {
    // The pane widened by hand beside the client area widens the window, once the
    // layout has settled.
    if (watched == m_pane && event->type() == QEvent::Resize && !m_pane->isFloating())
        QTimer::singleShot(0, this, [this] { m_fitWindow(); });
    return QObject::eventFilter(watched, event);
}

void LessonController::showState() {
    const bool open = m_lesson->isOpen();
    m_items.exportRecord->setEnabled(open);
    m_items.worksheet->setEnabled(open);
    m_items.answerKey->setEnabled(open);
    m_items.pane->setEnabled(open);
    using Hold = EqualAreaStatus::Hold;
    m_showHold(m_lesson->answerOpen()           ? Hold::ForPrediction
               : m_lesson->laterStepAsksLimit() ? Hold::ForLaterStep
                                                : Hold::Nothing);
}

bool LessonController::runMayStart() {
    if (m_lesson->beforeRun()) return true;
    m_pane->showHeldBack();
    return false;
}

bool LessonController::holdsRuns(bool limits) {
    if (m_lesson->awaitsPrediction()) {
        m_pane->showHeldBack();
        return true;
    }
    if (m_lesson->answerOpen()) {
        m_pane->showHeldBack(QStringLiteral("Run the step first: until its run starts "
                                            "your prediction may change, so the answer "
                                            "is kept back."));
        return true;
    }
    if (!limits || !m_lesson->laterStepAsksLimit()) return false;
    m_pane->showHeldBack(QStringLiteral("A later step of the lesson asks for this case's "
                                        "limit: it is kept back until then."));
    return true;
}

bool LessonController::open(const QString &path) {
    LessonFileResult read = readLessonFile(path);
    if (!read.ok) {
        showErrorReport(m_window, read.error, m_runner);
        return false;
    }
    if (!recordMayGo()) return false;
    m_lesson->open(std::move(read.lesson), path);
    m_pane->show();
    m_pane->raise();
    return true;
}

void LessonController::chooseAndOpen() {
    const QString fileName =
        m_files.chooseFileToOpen(m_window, QStringLiteral("Open lesson"), LessonFilter);
    if (!fileName.isEmpty()) open(fileName);
}

bool LessonController::recordMayGo() {
    if (!m_lesson->isOpen() || !m_lesson->recordUnexported()) return true;
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(),
                    QStringLiteral("The predictions of this lesson have not been exported. "
                                   "Export the lesson record first?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, m_window);
    box.setObjectName(QStringLiteral("LessonRecordQuestion"));
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Save)->setText(QStringLiteral("&Export..."));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("&Discard"));
    box.setDefaultButton(QMessageBox::Save);
    const int result = runModal(box, m_runner);
    const QMessageBox::StandardButton answer =
        box.clickedButton() ? box.standardButton(box.clickedButton())
                            : static_cast<QMessageBox::StandardButton>(result);
    if (answer == QMessageBox::Discard) return true;
    return answer == QMessageBox::Save && exportRecord();
}

bool LessonController::exportRecord() {
    if (!m_lesson->isOpen()) return false;
    // The name goes into the record's first line; it is asked once a sitting, and may
    // be left empty.
    if (!m_lesson->nameAsked) {
        QInputDialog dialog(m_window);
        dialog.setObjectName(QStringLiteral("StudentName"));
        dialog.setWindowTitle(QStringLiteral("Lesson record"));
        dialog.setInputMode(QInputDialog::TextInput);
        dialog.setLabelText(QStringLiteral("Your name for the record (it may stay empty):"));
        if (runModal(dialog, m_runner) != QDialog::Accepted) return false;
        m_lesson->studentName = dialog.textValue().simplified();
        m_lesson->nameAsked = true;
    }
    const QString fileName = m_files.chooseFile(m_window, QStringLiteral("Export lesson record"),
                                                QStringLiteral("dravex-lesson-record.csv"),
                                                QStringLiteral("CSV files (*.csv)"));
    if (fileName.isEmpty()) return false;
    // As the lesson stands once the file is chosen: a run may have ended meanwhile.
    const QByteArray csv =
        lessonRecordCsv(m_lesson->lesson(), m_lesson->allProgress(), m_lesson->studentName);
    if (auto failure = writeThroughTemporaryFile(fileName, csv)) {
        showWriteFailure(m_window, fileName, *failure, m_runner);
        return false;
    }
    m_lesson->markRecordExported();
    return true;
}

void LessonController::writeSheet(SheetKind kind) {
    if (!m_lesson->isOpen()) return;
    const bool key = kind == SheetKind::AnswerKey;
    const QFileInfo lessonFile(m_lesson->path());
    const QString suggested =
        (lessonFile.completeBaseName().isEmpty() ? QStringLiteral("lesson")
                                                 : lessonFile.completeBaseName()) +
        (key ? QStringLiteral("-key.pdf") : QStringLiteral("-worksheet.pdf"));
    const QString fileName = m_files.chooseFile(
        m_window, key ? QStringLiteral("Export answer key") : QStringLiteral("Print worksheet"),
        suggested, QStringLiteral("PDF files (*.pdf)"));
    if (fileName.isEmpty()) return;
    const QString folder =
        m_lesson->path().isEmpty() ? QString() : lessonFile.absoluteDir().canonicalPath();
    if (const auto failure =
            writeLessonSheet(dravexLessonOutline(m_lesson->lesson(), folder), kind, fileName))
        showErrorReport(m_window, *failure, m_runner);
}
