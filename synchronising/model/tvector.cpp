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

// The middle of a picture of `picture`'s size, where the arrows start.
QPoint middleOf(QSize picture) {
    return QPoint(roundToPixel(picture.width() / 2.0L), roundToPixel(picture.height() / 2.0L));
}

} // namespace

void Tvector::Init(Colour colour, QSize picture, double angle) {
    Centre = middleOf(picture);
    Length = roundToPixel(picture.width() / 2.0L * 0.9L);
    Angle = angle;
    PhaseColor = colour;
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

void Tvector::turn(double step) {
    Angle = Angle + step;
    if (Angle > 2.0) Angle = Angle - 2.0;
    Bereken();
}

Tvector Tvector::atScale(QSize picture, double scale) const {
    if (scale == 1.0) return *this;
    Tvector scaled = *this;
    scaled.Centre = middleOf(picture);
    scaled.Length = Length * scale;
    scaled.Bereken();
    return scaled;
}
