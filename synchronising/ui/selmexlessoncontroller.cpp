#include "selmexlessoncontroller.h"

#include "errorreport.h"
#include "filechooser.h"
#include "lessonsheet.h"
#include "selmexfile.h"
#include "selmexlessonfile.h"
#include "selmexlessonpane.h"
#include "selmexlessonsession.h"
#include "selmexlessontext.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QInputDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>

namespace {

const QString LessonFilter = QStringLiteral("Selmex lessons (*.selmex-lesson)");
const QString PdfFilter = QStringLiteral("PDF files (*.pdf)");

} // namespace

SelmexLessonController::SelmexLessonController(QMainWindow *window, SwitchboardSession &board,
                                               FileChooser &files, const ModalRunner &runner,
                                               MenuItems items)
    : m_window(window), m_files(files), m_runner(runner), m_items(items) {
    m_lesson = new SelmexLessonSession(board, this);
    m_pane = new SelmexLessonPane(*m_lesson, window);
    m_window->addDockWidget(Qt::RightDockWidgetArea, m_pane);
    m_pane->hide();
    connect(m_pane, &QDockWidget::visibilityChanged, this,
            [this] { m_items.pane->setChecked(!m_pane->isHidden()); });
    connect(m_items.pane, &QAction::toggled, m_pane, &QWidget::setVisible);
    connect(m_items.open, &QAction::triggered, this, &SelmexLessonController::chooseAndOpen);
    connect(m_items.exportRecord, &QAction::triggered, this, &SelmexLessonController::exportRecord);
    connect(m_items.printWorksheet, &QAction::triggered, this, [this] { writeSheet(false); });
    connect(m_items.exportKey, &QAction::triggered, this, [this] { writeSheet(true); });
    connect(m_lesson, &SelmexLessonSession::opened, this, &SelmexLessonController::showState);
    connect(m_lesson, &SelmexLessonSession::closed, this, &SelmexLessonController::showState);
    showState();
}

SelmexLessonController::~SelmexLessonController() {
    // The pane goes while the window, whose zoom its signals reach, is still there.
    m_pane->disconnect(this);
    delete m_pane;
}

void SelmexLessonController::showState() {
    const bool open = m_lesson->isOpen();
    for (QAction *item :
         {m_items.exportRecord, m_items.printWorksheet, m_items.exportKey, m_items.pane})
        item->setEnabled(open);
}

void SelmexLessonController::closeBreaker() {
    if (!m_lesson->closeBreaker()) m_pane->showHeldBack();
}

bool SelmexLessonController::open(const QString &path) {
    SelmexLessonFileResult read = readSelmexLessonFile(path);
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

void SelmexLessonController::chooseAndOpen() {
    const QString fileName =
        m_files.chooseFileToOpen(m_window, QStringLiteral("Open lesson"), LessonFilter);
    if (!fileName.isEmpty()) open(fileName);
}

bool SelmexLessonController::recordMayGo() {
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

bool SelmexLessonController::exportRecord() {
    if (!m_lesson->isOpen()) return false;
    // The name goes into the record's first line; asked once a sitting, it may stay empty.
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
                                                QStringLiteral("selmex-lesson-record.csv"),
                                                QStringLiteral("CSV files (*.csv)"));
    if (fileName.isEmpty()) return false;
    // As the lesson stands once the file is chosen: a close may have answered meanwhile.
    const QByteArray csv =
        selmexLessonRecordCsv(m_lesson->lesson(), m_lesson->allProgress(), m_lesson->studentName);
    QString error;
    if (!writeSelmexFile(fileName, csv, &error)) {
        showErrorReport(m_window, error, m_runner);
        return false;
    }
    m_lesson->markRecordExported();
    return true;
}

void SelmexLessonController::writeSheet(bool key) {
    if (!m_lesson->isOpen()) return;
    const QString base = QFileInfo(m_lesson->path()).completeBaseName();
    const QString offered = (base.isEmpty() ? QStringLiteral("lesson") : base) +
                            (key ? QStringLiteral("-key.pdf") : QStringLiteral("-worksheet.pdf"));
    const QString fileName = m_files.chooseFile(
        m_window, key ? QStringLiteral("Export answer key") : QStringLiteral("Print worksheet"),
        offered, PdfFilter);
    if (fileName.isEmpty()) return;
    if (const auto refused = writeLessonSheet(
            m_pane->outline(), key ? SheetKind::AnswerKey : SheetKind::Worksheet, fileName))
        showErrorReport(m_window, *refused, m_runner);
}
