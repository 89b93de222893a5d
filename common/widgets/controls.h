#pragma once

#include "colour.h"

#include <QLabel>
#include <QWidget>

// A filled circle or rectangle with a black outline, like the symbols of a one-line
// diagram. A circle is as wide as the shorter side and centred in the control.
class ShapeControl : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Circle, Rectangle };
    ShapeControl(QWidget *parent, const QString &name, Kind kind, QRect geometry, Colour fill);

    Kind kind() const { return m_kind; }
    Colour fill() const { return m_fill; }
    void setFill(Colour fill);
    // The outline's width: 1 in the layout, more when the window is zoomed.
    void setLineWidth(int width);

signals:
    void mouseDown(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    Kind m_kind;
    Colour m_fill;
    int m_lineWidth = 1;
};

// A label that reports mouse-button-down, for captions that lie on a clickable symbol.
class MouseLabel : public QLabel {
    Q_OBJECT
public:
    MouseLabel(QWidget *parent, const QString &name, const QString &text, QPoint position);

signals:
    void mouseDown(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
