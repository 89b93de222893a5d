#include "controls.h"

#include <QMouseEvent>
#include <QPainter>

ShapeControl::ShapeControl(QWidget *parent, const QString &name, Kind kind, QRect geometry,
                           Colour fill)
    : QWidget(parent), m_kind(kind), m_fill(fill) {
    setObjectName(name);
    setGeometry(geometry);
}

void ShapeControl::setFill(Colour fill) {
    m_fill = fill;
    update();
}

void ShapeControl::setLineWidth(int width) {
    m_lineWidth = qMax(1, width);
    update();
}

void ShapeControl::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (m_kind == Kind::Rectangle) {
        // The outline inside the control's edge, however wide.
        painter.fillRect(rect(), Qt::black);
        const int t = qMin(m_lineWidth, qMin(width(), height()) / 2);
        painter.fillRect(rect().adjusted(t, t, -t, -t), toQColor(m_fill));
        return;
    }
    painter.setPen(QPen(Qt::black, m_lineWidth));
    painter.setBrush(toQColor(m_fill));
    const int d = qMin(width(), height());
    if (m_lineWidth == 1) {
        painter.drawEllipse((width() - d) / 2, (height() - d) / 2, d - 1, d - 1);
        return;
    }
    // A wide pen is centred on the ellipse's edge: draw it half its width inside.
    const qreal inset = m_lineWidth / 2.0;
    const int left = (width() - d) / 2, top = (height() - d) / 2; // whole pixels, as above
    painter.drawEllipse(QRectF(left + inset, top + inset, d - 2 * inset, d - 2 * inset));
}

void ShapeControl::mousePressEvent(QMouseEvent *event) {
    emit mouseDown(event->button());
}

MouseLabel::MouseLabel(QWidget *parent, const QString &name, const QString &text, QPoint position)
    : QLabel(text, parent) {
    setObjectName(name);
    move(position);
    adjustSize();
}

void MouseLabel::mousePressEvent(QMouseEvent *event) {
    emit mouseDown(event->button());
}
