#pragma once

#include "colour.h"

#include <functional>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <vector>

// A growable list of pixel points (x to the right, y downwards).
using PointList = std::vector<QPoint>;

enum class BrushStyle {
    Solid,
    RisingHatch,  // 45-degree lines rising to the right: /
    FallingHatch, // 45-degree lines falling to the right: \ .
};

// An off-screen picture with a pen and a brush that stay set between calls, and a pen
// position kept between move-to and line-to, the way the plots draw step by step.
// One-pixel lines set their first pixel and leave out their last, whichever way they
// run, so a chain of line-to calls sets each joint once and a closed outline each
// corner once. Wider lines are Qt's own.
// Points may lie anywhere in the int32 range: what falls off the picture is cut away
// before drawing, so a call costs about the picture's size plus the points given.
// Hatches paint only their lines, fixed to the picture's pixel grid: painting the same
// polygon again in white removes exactly what it painted.
class DrawSurface {
public:
    explicit DrawSurface(QSize size);

    // A new white picture; the pen goes back to black of width 1 and the brush to solid
    // white.
    void newPicture();

    // A new white picture of `size`, as newPicture.
    void resize(QSize size);
    QSize size() const { return m_image.size(); }

    // How many times larger than the layout's picture this one is (the zoom times the
    // screen's device pixel ratio). Pen widths and hatch spacing grow with it, so that a
    // line is as heavy against its picture as at 1; at 1 every pixel is the layout's.
    void setScale(double scale) { m_scale = scale; }
    double scale() const { return m_scale; }
    // A length of the layout's picture at this picture's scale: max(1, round(scale x n)).
    int scaled(int n) const;
    const QImage &image() const { return m_image; }
    Colour pixel(int x, int y) const;

    void setPen(Colour colour, int width = 1);
    void setPenColour(Colour colour) { m_penColour = colour; }
    void setPenWidth(int width) { m_penWidth = width; }
    Colour penColour() const { return m_penColour; }
    int penWidth() const { return m_penWidth; }
    // The pen's width on this picture: its width scaled.
    int strokeWidth() const { return scaled(m_penWidth); }

    void setBrush(Colour colour, BrushStyle style = BrushStyle::Solid);
    Colour brushColour() const { return m_brushColour; }
    BrushStyle brushStyle() const { return m_brushStyle; }

    QPoint penPos() const { return m_penPos; }
    void moveTo(int x, int y) { m_penPos = QPoint(x, y); }
    void lineTo(int x, int y);
    // Lines through the points in turn; the pen position stays where it was.
    void polyline(const PointList &points);
    // A closed outline with the pen, the inside with the brush.
    void polygon(const PointList &points);

    // Text in the pen's colour with its top left at (x, y), in a plain sans-serif of
    // the given pixel height, not smoothed, so it lies on the pixel grid like the lines.
    void text(int x, int y, const QString &text, int pixelHeight);
    // How wide `text` is in that type, pixels.
    int textWidth(const QString &text, int pixelHeight) const;

    // Called after every change of the picture, so that whoever shows it can repaint.
    void setChangedHandler(std::function<void()> handler) { m_changed = std::move(handler); }

private:
    // Lines through the points in turn with the pen; `closed` adds the closing edge.
    void strokeSegments(const PointList &points, bool closed);
    void changed();

    QImage m_image;
    Colour m_penColour = clBlack;
    int m_penWidth = 1;
    Colour m_brushColour = clWhite;
    BrushStyle m_brushStyle = BrushStyle::Solid;
    QPoint m_penPos;
    std::function<void()> m_changed;
    double m_scale = 1.0;
};
