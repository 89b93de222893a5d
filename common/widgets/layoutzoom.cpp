#include "layoutzoom.h"

#include "rounding.h"

#include <algorithm>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QScreen>
#include <QWidget>

namespace {

int scaledCoordinate(int v, double zoom) {
    return roundToPixel(static_cast<long double>(v) * zoom);
}

} // namespace

QRect LayoutZoom::scaled(QRect layout, double zoom) {
    const int left = scaledCoordinate(layout.left(), zoom);
    const int top = scaledCoordinate(layout.top(), zoom);
    const int right = scaledCoordinate(layout.left() + layout.width(), zoom);
    const int bottom = scaledCoordinate(layout.top() + layout.height(), zoom);
    return {left, top, right - left, bottom - top};
}

QSize LayoutZoom::scaled(QSize layout, double zoom) {
    return {scaledCoordinate(layout.width(), zoom), scaledCoordinate(layout.height(), zoom)};
}

QFont LayoutZoom::scaled(const QFont &font, double zoom) {
    QFont f = font;
    if (font.pixelSize() > 0)
        f.setPixelSize(std::max(1, scaledCoordinate(font.pixelSize(), zoom)));
    else if (font.pointSizeF() > 0)
        f.setPointSizeF(font.pointSizeF() * zoom);
    return f;
}

void LayoutZoom::capture(QWidget *root) {
    m_entries.clear();
    m_zoom = 1.0;
    std::vector<QWidget *> controls{root};
    const auto under = root->findChildren<QWidget *>();
    for (QWidget *w : under)
        if (!w->isWindow() || qobject_cast<QMenu *>(w)) controls.push_back(w);
    for (QWidget *w : controls) {
        Entry e;
        e.control = w;
        e.layout = w->geometry();
        const QWidget *parent = w->parentWidget();
        // A parent with a Qt layout (a main window, a dialog laid out by Qt) places its
        // controls itself; menus drop down where they are opened.
        e.placed = w != root && !w->isWindow() && parent && !parent->layout();
        // The root's font is what the controls without their own inherit; the menus
        // that drop down from a menu bar are windows of their own and inherit nothing.
        e.ownFont = w == root || w->isWindow() || w->testAttribute(Qt::WA_SetFont);
        e.font = w->font();
        if (const auto *label = qobject_cast<const QLabel *>(w)) {
            e.fitsText = !label->wordWrap() && w->size() == w->sizeHint();
            e.rightAligned = w->property("rightAligned").toBool();
        }
        m_entries.push_back(e);
    }
}

LayoutZoom::Entry *LayoutZoom::find(const QWidget *control) {
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [control](const Entry &e) { return e.control == control; });
    return it == m_entries.end() ? nullptr : &*it;
}

void LayoutZoom::place(QWidget *control, QRect layout) {
    if (Entry *e = find(control); e && e->placed) {
        e->layout = layout;
        applyTo(*e);
        return;
    }
    control->setGeometry(scaled(layout, m_zoom));
}

QRect LayoutZoom::layoutGeometry(const QWidget *control) const {
    for (const Entry &e : m_entries)
        if (e.control == control) return e.layout;
    return control->geometry();
}

void LayoutZoom::applyTo(Entry &e) {
    QWidget *w = e.control;
    if (!w) return;
    if (e.ownFont) w->setFont(scaled(e.font, m_zoom));
    if (!e.placed) return;
    QRect r = scaled(e.layout, m_zoom);
    if (e.fitsText && m_zoom != 1.0) {
        // The text's own width at this size, which hinting makes a little more or less
        // than the zoom's share.
        const QSize fit = w->sizeHint();
        if (e.rightAligned) r.setLeft(r.right() + 1 - fit.width());
        r.setSize(fit);
    }
    w->setGeometry(r);
}

void LayoutZoom::apply(double zoom) {
    m_zoom = zoom;
    // Fonts first, parents before children: sizes to the text need the font in force.
    for (Entry &e : m_entries)
        if (e.ownFont && e.control) e.control->setFont(scaled(e.font, m_zoom));
    for (Entry &e : m_entries) applyTo(e);
}

void zoomDialog(QWidget *dialog, double zoom) {
    // Once: a dialog shown again keeps the zoom it was made for.
    if (zoom == 1.0 || dialog->property("zoomed").toBool()) return;
    dialog->setProperty("zoomed", true);
    const bool fixed = dialog->minimumSize() == dialog->maximumSize();
    const QSize size = dialog->size();
    const QPoint centre = dialog->geometry().center();
    LayoutZoom z;
    z.capture(dialog);
    z.apply(zoom);
    if (fixed) dialog->setFixedSize(LayoutZoom::scaled(size, zoom));
    // One placed before it was zoomed (centred on the screen) keeps its centre there, its
    // top left corner on the screen.
    if (dialog->testAttribute(Qt::WA_Moved)) {
        QPoint at = centre - dialog->rect().center();
        if (const QScreen *screen = dialog->screen()) {
            const QRect area = screen->availableGeometry();
            at = QPoint(std::max(at.x(), area.left()), std::max(at.y(), area.top()));
        }
        dialog->move(at);
    }
}

int zoomedLineWidth(double zoom) {
    return std::max(1, roundToPixel(static_cast<long double>(zoom)));
}

void keepOnScreen(QWidget *window) {
    const QScreen *screen = window->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry(), frame = window->frameGeometry();
    const QPoint at(
        std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())),
        std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
    if (at != frame.topLeft()) window->move(at);
}
