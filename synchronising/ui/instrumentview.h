#pragma once

#include <functional>
#include <QSize>
#include <QSizeF>
#include <QWidget>

class QPainter;

// A drawing of an instrument (a synchroscope, synchronising lamps, a meter) as a control: it
// paints itself from its window's present state, through `paint`, at whatever size it has,
// and its least and wished-for sizes follow the window's zoom. What it keeps between frames
// (a dial painted once) stays with the drawing that `paint` calls.
class InstrumentView : public QWidget {
    Q_OBJECT
public:
    enum Option {
        Plain = 0,
        // Tab reaches it, so that a screen reader reads its name: it fills its rectangle in
        // the window's colour and shows the focus.
        Focusable = 1,
        Square = 2,      // as high as it is wide
        FixedHeight = 4, // as high as its wished-for size, as wide as it is given
    };
    InstrumentView(QWidget *parent, const QString &name, QSize minimumAt100, QSize hintAt100,
                   int options);

    std::function<void(QPainter &, QSizeF)> paint;
    void setZoom(double zoom);

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return m_options & Square; }
    int heightForWidth(int width) const override {
        return m_options & Square ? width : QWidget::heightForWidth(width);
    }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize m_minimumAt100, m_hintAt100;
    int m_options;
    double m_zoom = 1;
};
