#pragma once

#include "modalrunner.h"

#include <QObject>

class FileChooser;
class QAction;
class QMainWindow;
class SelmexLessonPane;
class SelmexLessonSession;
class SwitchboardSession;

// A lesson at the switchboard: File > Open lesson..., Export lesson record..., Print
// worksheet... and Export answer key..., the pane docked beside the instruments with its
// View menu item, and the question asked before the record's predictions would be lost.
class SelmexLessonController : public QObject {
    Q_OBJECT
public:
    struct MenuItems {
        QAction *open = nullptr;
        QAction *exportRecord = nullptr;
        QAction *printWorksheet = nullptr;
        QAction *exportKey = nullptr;
        QAction *pane = nullptr;
    };
    // The pane docked at the right of `window`, hidden; the lesson holds and steps `board`.
    SelmexLessonController(QMainWindow *window, SwitchboardSession &board, FileChooser &files,
                           const ModalRunner &runner, MenuItems items);
    ~SelmexLessonController() override;

    SelmexLessonSession &lesson() { return *m_lesson; }
    SelmexLessonPane *pane() const { return m_pane; }

    // Opens a lesson file at its first step and shows the pane; a file refused is named
    // with its line and what is wrong, and nothing changes.
    bool open(const QString &path);
    // Before the lesson goes (another lesson, the program ends): predictions not exported
    // yet are offered for export. False when the lesson is to stay.
    bool recordMayGo();
    // The operator's close command: held back, and the pane says why, while the step
    // awaits the prediction.
    void closeBreaker();

private:
    void chooseAndOpen();
    bool exportRecord();
    void writeSheet(bool key);
    void showState();

    QMainWindow *m_window;
    FileChooser &m_files;
    const ModalRunner &m_runner;
    MenuItems m_items;
    SelmexLessonSession *m_lesson = nullptr; // a child
    SelmexLessonPane *m_pane = nullptr;
};
