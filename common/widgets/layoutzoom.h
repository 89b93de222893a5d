#pragma once

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

// Zooms a window laid out at fixed pixel positions: every control's place and size, and
// every font set on a control, z times what it is at 100 %. Controls under a Qt layout
// are left to it; their fonts still grow. Labels sized to their text are sized
// to it again, so no caption is cut off.
class LayoutZoom {
public:
    // Notes `root` and the controls under it as they stand, at 100 %.
    void capture(QWidget *root);
    // A control's place at 100 % after the capture (one that moves as the program runs),
    // shown at the present zoom.
    void place(QWidget *control, QRect layout);
    // Its place at 100 %, or its geometry when it was not captured.
    QRect layoutGeometry(const QWidget *control) const;

    void apply(double zoom);
    double zoom() const { return m_zoom; }

    // `layout` at `zoom`: each edge, not each size, is scaled, so that controls side by
    // side at 100 % stay side by side.
    static QRect scaled(QRect layout, double zoom);
    static QSize scaled(QSize layout, double zoom);
    static QFont scaled(const QFont &font, double zoom);

private:
    struct Entry {
        QPointer<QWidget> control;
        QRect layout;
        bool placed = false; // by this, not by a Qt layout
        bool ownFont = false;
        QFont font;
        bool fitsText = false;
        bool rightAligned = false;
    };
    Entry *find(const QWidget *control);
    void applyTo(Entry &e);

    std::vector<Entry> m_entries;
    double m_zoom = 1.0;
};

// A line one pixel wide at 100 % (a shape's outline, a curve), at `zoom`.
int zoomedLineWidth(double zoom);

// A dialog made for one showing at the zoom of the window it is opened from: its fonts,
// its controls and, when fixed, its size. Nothing happens at 100 %.
void zoomDialog(QWidget *dialog, double zoom);

// A window grown past its screen's edge, or placed for a larger screen, moves back onto
// it as far as it fits there.
void keepOnScreen(QWidget *window);
