#include "equivalentplotwidget.h"

#include <QPainter>

EquivalentPlotWidget::EquivalentPlotWidget(QWidget *parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Equivalent machine's power-angle plot"));
    setAccessibleDescription(equivalentPlotDescription(m_state));
    // Every pixel is painted each time: nothing behind it needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void EquivalentPlotWidget::setState(EquivalentPlotState state) {
    m_state = std::move(state);
    const QString description = equivalentPlotDescription(m_state);
    if (description != accessibleDescription()) setAccessibleDescription(description);
    update();
}

void EquivalentPlotWidget::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    paintEquivalentPlot(painter, QRectF(rect()), m_state);
}
