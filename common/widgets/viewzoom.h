#pragma once

#include <functional>
#include <QList>
#include <QObject>
#include <QSettings>
#include <QSize>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QWidget;

// The View menu's zoom of a main window: Zoom in, Zoom out and Actual size over the zoom
// levels, never larger than the screen holds, remembered between starts in the user's
// settings of the program. The window does the zooming itself, when its `changed`
// arrives or, in the middle of a step, at its end.
class ViewZoom : public QObject {
    Q_OBJECT
public:
    // `program` names the settings the zoom is remembered in.
    ViewZoom(QMainWindow *window, QString program);

    // The "&View" menu, inserted before `before` (the Help menu).
    QMenu *addMenu(QMenuBar *bar, QMenu *before);
    // Zoom in, Zoom out and Actual size, for a window that takes their shortcuts too.
    QList<QAction *> zoomActions() const { return {m_zoomIn, m_zoomOut, m_actualSize}; }

    int percent() const { return m_percent; }
    double factor() const { return m_percent / 100.0; }

    // The screen area a window may fill; tests give their own, since Qt's offscreen
    // screen is small.
    std::function<QSize()> availableArea;
    // The window's outer size at 100 % and the part of it that does not grow (title bar
    // and borders), from which the largest level follows.
    void setWindowSize(QSize innerAt100, QSize frame);
    int largestPercent() const;

    // Takes `percent` (a level of the menu, held to the largest) and remembers it.
    void zoomTo(int percent);
    void zoomIn();
    void zoomOut();
    void actualSize();
    // The level remembered from the last start, held to what the screen allows.
    int remembered() const;

signals:
    void changed();

private:
    QAction *m_zoomIn = nullptr;
    QAction *m_zoomOut = nullptr;
    QAction *m_actualSize = nullptr;
    QMainWindow *m_window;
    QString m_program;
    int m_percent = 100;
    QSize m_inner, m_frame;
};

// What a program remembers between starts, the zoom and the View menu's choices, in the
// user's settings of the program named.
QSettings programSettings(const QString &program);

// The zoom of the main window that `widget` belongs to, or was opened from: 1 when it has
// none.
double zoomOf(const QWidget *widget);
