#include "equivalentview.h"

#include <QPainter>

EquivalentView::EquivalentView(QWidget *parent) : QWidget(parent) {
    setMinimumSize(240, 180);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void EquivalentView::show(const EquivalentPlotState &state) {
    m_state = state;
    m_shown = true;
    update();
}

void EquivalentView::showNothing(const QString &why) {
    m_shown = false;
    m_nothing = why.isEmpty() ? QStringLiteral("No equivalent machine.")
                              : QStringLiteral("No equivalent machine: ") + why;
    update();
}

void EquivalentView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setFont(font());
    if (m_shown)
        paintEquivalentPlot(painter, rect(), m_state);
    else
        painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                         m_nothing);
}
