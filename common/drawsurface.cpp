#include "drawsurface.h"

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
    {
        QPainter painter(&m_image);
        preparePainter(painter);
        painter.setPen(makePen(m_penColour, m_penWidth));
        painter.drawLine(m_penPos, to);
    }
    m_penPos = to;
    changed();
}

void DrawSurface::polyline(const PointList &points) {
    if (points.empty()) return;
    {
        QPainter painter(&m_image);
        preparePainter(painter);
        painter.setPen(makePen(m_penColour, m_penWidth));
        painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    }
    changed();
}

void DrawSurface::polygon(const PointList &points) {
    if (points.empty()) return;
    {
        QPainter painter(&m_image);
        preparePainter(painter);
        painter.setPen(makePen(m_penColour, m_penWidth));
        painter.setBrush(QBrush(toQColor(m_brushColour), toQt(m_brushStyle)));
        painter.drawPolygon(points.data(), static_cast<int>(points.size()), Qt::OddEvenFill);
    }
    changed();
}

void DrawSurface::changed() {
    if (m_changed) m_changed();
}
