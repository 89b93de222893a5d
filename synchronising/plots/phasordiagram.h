#pragma once

#include "drawsurface.h"
#include "tvector.h"

#include <array>
#include <cstddef>
#include <optional>

// A three-phase phasor diagram on its picture: each phasor as a coloured shaft and an
// arrowhead. It remembers each arrow as it stands on the picture, so that erasing paints
// exactly that arrow again in the background colour. The diagram only draws: a tick
// erases a phasor before the session turns it and draws it once turned.
class PhasorDiagram {
public:
    explicit PhasorDiagram(DrawSurface &image) : m_image(image) {}

    // Draws phasor `k` as it now stands, at the picture's scale (a zoomed or
    // high-density picture shows the phasor larger, not its pixels); an arrow of it
    // already on the picture (left by a tick that ran inside this one) is erased first.
    void Teken(std::size_t k, const Tvector &v);
    // Removes arrow `k` from the picture, if it is there.
    void Wis(std::size_t k);
    bool isDrawn(std::size_t k) const { return m_drawn[k].has_value(); }
    // The picture has been made anew, blank: the arrows that stood on the old one are
    // drawn on it as `set` now stands.
    void redrawOnNewPicture(const Phasors &set);

    DrawSurface &image() { return m_image; }
    // What erasing paints with: the colour behind the arrows (white on the usual
    // desktop colours).
    Colour BackgroundColor = clWhite;

private:
    struct Drawn {
        QPoint centre;
        std::array<QPoint, 4> points;
        Colour colour;
    };
    void strokes(const Drawn &arrow, Colour pen, Colour brush);

    DrawSurface &m_image;
    std::array<std::optional<Drawn>, 3> m_drawn;
};
