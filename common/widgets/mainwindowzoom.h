#pragma once

#include "layoutzoom.h"

#include <functional>
#include <QSize>
#include <QString>

class QMainWindow;
class ViewZoom;

// The zoom of a main window laid out at fixed pixel positions: the View menu's zoom,
// remembered between starts; the layout, the window's size and the outline of the
// diagram's shapes at it; and the window's frame, which the largest zoom allows for.
class MainWindowZoom {
public:
    // `program` names the settings the zoom is remembered in; `clientSize` is the client
    // area's layout at 100 %.
    MainWindowZoom(QMainWindow *window, const QString &program, QSize clientSize);

    ViewZoom *viewZoom() const { return m_viewZoom; }
    LayoutZoom &layout() { return m_layout; }
    const LayoutZoom &layout() const { return m_layout; }

    // The window as made, at 100 %: its size and its controls' places, noted.
    void capture();
    // The zoom of the last start, as far as the screen holds it. Nothing is written to the
    // settings.
    void takeRemembered();
    // When the View menu's zoom differs from the layout's: the controls, the outlines and
    // the window at the new zoom. Back at 100 % the window's size is start-up's; zoomed,
    // the client area is the layout's, with the bars around it as high as
    // `barsHeight()` gives at their new fonts. Returns whether the layout changed.
    bool layOut(const std::function<int()> &barsHeight);
    // Docked panes beside the client area (a lesson beside the plots) take their width
    // from the window, not from the client area: the window is as much wider than the
    // client area at its zoom as they are wide. Called when a pane is shown, hidden,
    // floated or docked; the zoom's layOut allows for them too.
    void fitBesidePanes();
    // Called when the window is shown or moves: the frame is known once it is on the
    // screen.
    void noteFrame();

private:
    // The width of the docked panes beside the client area, as the window's layout stands.
    int besideWidth() const;
    void noteWindowSize();

    QMainWindow *m_window;
    ViewZoom *m_viewZoom;
    QSize m_clientSize, m_sizeAt100, m_frame;
    int m_besideAt100 = 0; // the panes' width, back at 100 %, for the largest zoom
    LayoutZoom m_layout;
};
