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

void ShapeControl::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(toQColor(m_fill));
    if (m_kind == Kind::Rectangle) {
        painter.drawRect(0, 0, width() - 1, height() - 1);
        return;
    }
    const int d = qMin(width(), height());
    painter.drawEllipse((width() - d) / 2, (height() - d) / 2, d - 1, d - 1);
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
