#pragma once

#include "colourvalue.h"

#include <array>
#include <QPoint>
#include <QSize>

// One rotating phasor of a three-phase voltage, an arrow from the middle of its picture.
// Angles are in half-turns: 0 points right, 0.5 straight up, and growing angles turn
// counter-clockwise on the screen. The colour is the phase's identity. The arrow's
// points are plain arithmetic on the picture's pixels; the phasor diagrams draw them.
class Tvector {
public:
    // Centres the phasor on a picture of `picture`'s size, 0.9 of half its width long,
    // at `angle`.
    void Init(Colour colour, QSize picture, double angle);
    // The arrow's points for the present centre, length and angle.
    void Bereken();
    // One tick: the angle moves on by `step`, brought back by a turn above 2.
    void turn(double step);
    // This phasor on a picture of `picture`'s size that is `scale` times the layout's:
    // centred on it as Init centres, `scale` times as long, its points worked out anew.
    // At scale 1 the phasor itself, point for point.
    Tvector atScale(QSize picture, double scale) const;

    QPoint tip() const { return Points[0]; }

    QPoint Centre{10, 10};
    double Length = 10.0;
    double Angle = 0.0;
    Colour PhaseColor = 0x0000FFFF; // yellow until Init gives the phase's colour
    std::array<QPoint, 4> Points{}; // tip, first barb, second barb, tip
};

// A phase order: positions 1, 2, 3 of a three-phase set are indices 0, 1, 2.
using Phasors = std::array<Tvector, 3>;
