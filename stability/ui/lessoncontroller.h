#pragma once

#include "equalareastatus.h"
#include "lessonsheet.h"
#include "modalrunner.h"

#include <functional>
#include <QObject>

class DravexSession;
class LessonPane;
class LessonSession;
class QAction;
class QMainWindow;
class ReportFiles;

// A lesson in the main window: File > Open lesson..., Export lesson record..., Print
// worksheet... and Export answer key..., the
// pane beside the plots with its View menu item, and the rules that hold the runs and the
// answers back while a step awaits the student's prediction.
class LessonController : public QObject {
    Q_OBJECT
public:
    // The File and View menu's items for a lesson.
    struct MenuItems {
        QAction *open = nullptr;
        QAction *exportRecord = nullptr;
        QAction *pane = nullptr;
        QAction *worksheet = nullptr;
        QAction *answerKey = nullptr;
    };
    // The pane docked at the right of `window`, hidden; the lesson opens its steps in
    // `session`; `runner` is the window's modal runner, which tests replace. `fitWindow` is
    // called once the pane's place or width has changed; `showHold` is given what is held
    // back whenever the lesson or the case changes.
    LessonController(QMainWindow *window, DravexSession &session, ReportFiles &files,
                     const ModalRunner &runner, MenuItems items, std::function<void()> fitWindow,
                     std::function<void(EqualAreaStatus::Hold)> showHold);
    ~LessonController() override;

    LessonSession &lesson() { return *m_lesson; }
    LessonPane *pane() const { return m_pane; }

    // Opens a lesson file at its first step and shows the pane; a file refused is named
    // with its line and what is wrong, and nothing changes.
    bool open(const QString &path);
    // Before the lesson goes (another lesson is opened, the window closes): predictions not
    // exported yet are offered for export. False when the lesson is to stay: Cancel, or an
    // export that was cancelled or failed.
    bool recordMayGo();
    // A new run may start ("short circuit" outside a run); while a prediction is awaited
    // the pane says why not.
    bool runMayStart();
    // While the lesson awaits a prediction, or with `limits` while a later step asks for
    // the case's critical clearing time: the pane says why the command waits, and true.
    bool holdsRuns(bool limits);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void chooseAndOpen();
    // Writes the record to a file the user chooses; false when nothing was written.
    bool exportRecord();
    // Writes the lesson's worksheet or answer key as a PDF to a file the user chooses.
    void writeSheet(SheetKind kind);
    // The menu and what is held back, as the lesson stands.
    void showState();

    QMainWindow *m_window;
    DravexSession &m_session;
    ReportFiles &m_files;
    const ModalRunner &m_runner;
    MenuItems m_items;
    std::function<void()> m_fitWindow;
    std::function<void(EqualAreaStatus::Hold)> m_showHold;
    LessonSession *m_lesson = nullptr; // a child
    LessonPane *m_pane = nullptr;
};
