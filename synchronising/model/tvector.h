#pragma once

#include "colour.h"
#include "drawsurface.h"

#include <array>
#include <functional>
#include <optional>
#include <QPoint>

// One rotating phasor of a three-phase voltage, drawn as an arrow from the middle of a
// picture. Angles are in half-turns: 0 points right, 0.5 straight up, and growing
// angles turn counter-clockwise on the screen. The colour is the phase's identity.
class Tvector {
public:
    Tvector() = default;
    explicit Tvector(DrawSurface *image) : Image(image) {}

    // Centres the phasor on `image`, 0.9 of half its width long, at `angle`.
    void Init(Colour colour, DrawSurface &image, double angle);
    // The arrow's points for the present centre, length and angle.
    void Bereken();
    void Teken();
    // Removes the arrow that is on the picture, in the background colour.
    void Wis();

    bool isDrawn() const { return m_drawn.has_value(); }
    QPoint tip() const { return Points[0]; }

    QPoint Centre{10, 10};
    double Length = 10.0;
    double Angle = 0.0;
    Colour PhaseColor = 0x0000FFFF; // yellow until Init gives the phase's colour
    DrawSurface *Image = nullptr;
    std::array<QPoint, 4> Points{}; // tip, first barb, second barb, tip
    // What erasing paints with: the colour behind the arrows (white on the usual
    // desktop colours).
    Colour BackgroundColor = clWhite;

private:
    struct Drawn {
        QPoint centre;
        std::array<QPoint, 4> points;
    };
    void strokes(const Drawn &arrow, Colour pen, Colour brush);

    // The arrow as it stands on the picture, if it does.
    std::optional<Drawn> m_drawn;
};

// A phase order: positions 1, 2, 3 of a three-phase set are indices 0, 1, 2.
using Phasors = std::array<Tvector, 3>;

// Turns each phasor of the list by `step`: erase it, let pending events run (the
// window stays live), advance and wrap the angle above 2, redraw it. A tick that runs
// inside the events (a dialog's own event loop delivers them) leaves its arrows on
// the picture; redrawing erases such an arrow first, so none is ever left behind.
void Draai(Phasors &list, double step, const std::function<void()> &pump);
