#include "onelinediagram.h"

#include "networksession.h"

#include <QMouseEvent>
#include <QPainter>

OneLineDiagram::OneLineDiagram(const NetworkSession &session, QWidget *parent)
    : QWidget(parent), m_session(session) {
    setObjectName(QStringLiteral("OneLineDiagram"));
    setMinimumSize(240, 200);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
    takeGrid();
}

void OneLineDiagram::takeGrid() {
    m_places = placeBuses(m_session.grid());
    update();
}

void OneLineDiagram::show(const GridDiagramState &state) {
    if (state.faultOn == m_state.faultOn && state.lineOpen == m_state.lineOpen) return;
    m_state = state;
    update();
}

QPointF OneLineDiagram::busPoint(int bus) const {
    return busOnDiagram(rect(), m_session.grid(), m_places, bus).value_or(QPointF());
}

void OneLineDiagram::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setFont(font());
    paintGridDiagram(painter, rect(), m_session.grid(), m_places, m_state);
}

void OneLineDiagram::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const GridHit hit = gridHitAt(rect(), m_session.grid(), m_places, event->position());
    if (hit.bus)
        emit busPressed(*hit.bus);
    else if (hit.line)
        emit linePressed(*hit.line);
}
