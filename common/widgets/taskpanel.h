#pragma once

#include <functional>
#include <QByteArrayView>
#include <QDockWidget>
#include <QFont>

class QMainWindow;
class QPlainTextEdit;

// The exercise's task beside a window's client area: the comments the open scenario file
// starts with, as plain text to read and copy, never to edit. Shown when a file with
// comments is opened, hidden when one without comments or a case without a file comes;
// its toggle action (for the View menu) shows it again once closed, while there is a task.
class TaskPanel : public QDockWidget {
    Q_OBJECT
public:
    // Docked at the right of `window`, hidden. `fitWindow` is called once the pane's place
    // or width has changed (a window laid out at fixed pixels widens itself for it);
    // without it, a window laid out by Qt is widened as far as its client area would
    // otherwise be squeezed below the width it asks for, and narrowed again once the pane
    // goes.
    explicit TaskPanel(QMainWindow *window, std::function<void()> fitWindow = {});

    // The comment block of the file now open (as `leadingComments` keeps it).
    void showComments(QByteArrayView comments);
    bool hasTask() const { return m_hasTask; }
    QString text() const;
    QPlainTextEdit *textView() const { return m_text; }
    // The window's zoom, for a window whose own font does not follow it.
    void setZoom(double zoom);

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Once the events that moved the pane are over: the window's layout knows the pane's
    // place, and a window going away drops the call.
    void fitLater();
    void fitLaidOutWindow();

    std::function<void()> m_fitWindow;
    QPlainTextEdit *m_text = nullptr;
    QFont m_font; // at 100 %
    bool m_hasTask = false;
    bool m_fitPending = false;
    bool m_widened = false; // the window was widened for the pane
};

// A window laid out by Qt widened as far as `pane`, docked beside its client area, would
// otherwise squeeze that below the width it asks for, and narrowed again once the pane
// goes or floats; `widened` remembers that the window was widened for it.
void fitWindowBesidePane(QDockWidget *pane, bool &widened);
