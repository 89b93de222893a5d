#include "instrumentview.h"

#include "layoutzoom.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

InstrumentView::InstrumentView(QWidget *parent, const QString &name, QSize minimumAt100,
                               QSize hintAt100, int options)
    : QWidget(parent), m_minimumAt100(minimumAt100), m_hintAt100(hintAt100), m_options(options) {
    setObjectName(name);
    setMinimumSize(minimumAt100);
    QSizePolicy policy(QSizePolicy::Expanding,
                       options & FixedHeight ? QSizePolicy::Fixed : QSizePolicy::Expanding);
    policy.setHeightForWidth(options & Square);
    setSizePolicy(policy);
    if (options & Focusable) {
        setFocusPolicy(Qt::TabFocus);
        // It paints its whole rectangle: nothing under it needs painting first.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
}

void InstrumentView::setZoom(double zoom) {
    m_zoom = zoom;
    setMinimumSize(LayoutZoom::scaled(m_minimumAt100, zoom));
    updateGeometry();
}

QSize InstrumentView::sizeHint() const {
    return LayoutZoom::scaled(m_hintAt100, m_zoom);
}

void InstrumentView::paintEvent(QPaintEvent *) {
    QPainter p(this);
    if (m_options & Focusable) p.fillRect(rect(), palette().window());
    if (paint) paint(p, size());
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
}
