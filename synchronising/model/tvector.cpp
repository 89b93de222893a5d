#include "tvector.h"

#include "constants.h"
#include "rounding.h"

#include <cmath>

namespace {

// The point at `halfTurns` and `length` from the centre (y grows downwards).
QPoint pointAt(QPoint centre, long double halfTurns, long double length) {
    const long double a = Pi * halfTurns;
    return QPoint(pixelAdd(centre.x(), roundToPixel(std::cos(a) * length)),
                  pixelSub(centre.y(), roundToPixel(std::sin(a) * length)));
}

} // namespace

void Tvector::Init(Colour colour, DrawSurface &image, double angle) {
    Centre = QPoint(roundToPixel(image.size().width() / 2.0L),
                    roundToPixel(image.size().height() / 2.0L));
    Length = roundToPixel(image.size().width() / 2.0L * 0.9L);
    Angle = angle;
    PhaseColor = colour;
    Image = &image;
    Bereken();
}

void Tvector::Bereken() {
    // The barbs stand 3 degrees either side of the shaft, at nine tenths of its length.
    const long double barb = 0.9L * Length;
    Points[0] = pointAt(Centre, Angle, Length);
    Points[1] = pointAt(Centre, Angle + 1.0L / 60, barb);
    Points[2] = pointAt(Centre, Angle - 1.0L / 60, barb);
    Points[3] = Points[0];
}

void Tvector::strokes(const Drawn &arrow, Colour pen, Colour brush) {
    Image->setPenColour(pen);
    Image->moveTo(arrow.centre.x(), arrow.centre.y());
    Image->lineTo(arrow.points[0].x(), arrow.points[0].y());
    Image->setBrush(brush, BrushStyle::Solid);
    Image->polyline(PointList(arrow.points.begin(), arrow.points.end()));
}

void Tvector::Teken() {
    if (!Image) return;
    if (m_drawn) Wis(); // left by a tick that ran inside this one
    m_drawn = Drawn{Centre, Points};
    strokes(*m_drawn, PhaseColor, PhaseColor);
}

void Tvector::Wis() {
    if (!Image || !m_drawn) return;
    strokes(*m_drawn, BackgroundColor, clWhite);
    m_drawn.reset();
}

void Draai(Phasors &list, double step, const std::function<void()> &pump) {
    for (Tvector &v : list) {
        v.Wis();
        if (pump) pump();
        v.Angle = v.Angle + step;
        if (v.Angle > 2.0) v.Angle = v.Angle - 2.0;
        v.Bereken();
        v.Teken();
    }
}
