#include "drawsurface.h"

#include <cstdlib>
#include <QPainter>

namespace {

QPen makePen(Colour colour, int width) {
    QPen pen(toQColor(colour));
    pen.setWidth(width);
    pen.setStyle(Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap); // the end pixel is left out
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

Qt::BrushStyle toQt(BrushStyle style) {
    switch (style) {
    case BrushStyle::RisingHatch:
        return Qt::BDiagPattern;
    case BrushStyle::FallingHatch:
        return Qt::FDiagPattern;
    case BrushStyle::Solid:
        break;
    }
    return Qt::SolidPattern;
}

// The pixels of a one-pixel line from `from` towards `to`, by Bresenham's algorithm:
// the start pixel is set, the end pixel is left out, whichever way the line runs, so a
// chain of segments sets every joint exactly once.
void appendLinePixels(QPoint from, QPoint to, std::vector<QPoint> &pixels) {
    int x = from.x(), y = from.y();
    const int dx = std::abs(to.x() - x), dy = -std::abs(to.y() - y);
    const int sx = x < to.x() ? 1 : -1, sy = y < to.y() ? 1 : -1;
    int error = dx + dy;
    while (x != to.x() || y != to.y()) {
        pixels.emplace_back(x, y);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void preparePainter(QPainter &painter) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBackgroundMode(Qt::TransparentMode); // hatches leave the gaps alone
    painter.setBrushOrigin(0, 0);
}

} // namespace

DrawSurface::DrawSurface(QSize size) : m_image(size, QImage::Format_RGB32) {
    newPicture();
}

void DrawSurface::newPicture() {
    m_image.fill(Qt::white);
    m_penColour = clBlack;
    m_penWidth = 1;
    m_brushColour = clWhite;
    m_brushStyle = BrushStyle::Solid;
    changed();
}

Colour DrawSurface::pixel(int x, int y) const {
    return fromQRgb(m_image.pixel(x, y));
}

void DrawSurface::setPen(Colour colour, int width) {
    m_penColour = colour;
    m_penWidth = width;
}

void DrawSurface::setBrush(Colour colour, BrushStyle style) {
    m_brushColour = colour;
    m_brushStyle = style;
}

void DrawSurface::lineTo(int x, int y) {
    const QPoint to(x, y);
    strokeSegments({m_penPos, to}, false);
    m_penPos = to;
    changed();
}

void DrawSurface::polyline(const PointList &points) {
    if (points.empty()) return;
    strokeSegments(points, false);
    changed();
}

void DrawSurface::polygon(const PointList &points) {
    if (points.empty()) return;
    {
        QPainter painter(&m_image);
        preparePainter(painter);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QBrush(toQColor(m_brushColour), toQt(m_brushStyle)));
        painter.drawPolygon(points.data(), static_cast<int>(points.size()), Qt::OddEvenFill);
    }
    strokeSegments(points, true);
    changed();
}

void DrawSurface::strokeSegments(const PointList &points, bool closed) {
    QPainter painter(&m_image);
    preparePainter(painter);
    if (m_penWidth <= 1) {
        // One-pixel lines are laid pixel by pixel, so that which end is left out does
        // not depend on the direction of the line.
        std::vector<QPoint> pixels;
        for (std::size_t i = 1; i < points.size(); ++i)
            appendLinePixels(points[i - 1], points[i], pixels);
        if (closed && points.size() > 1) appendLinePixels(points.back(), points.front(), pixels);
        QPen pen(toQColor(m_penColour));
        pen.setWidth(1);
        painter.setPen(pen);
        painter.drawPoints(pixels.data(), static_cast<int>(pixels.size()));
        return;
    }
    painter.setPen(makePen(m_penColour, m_penWidth));
    painter.setBrush(Qt::NoBrush);
    if (closed) {
        painter.drawPolygon(points.data(), static_cast<int>(points.size()));
    } else {
        painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    }
}

void DrawSurface::changed() {
    if (m_changed) m_changed();
}
