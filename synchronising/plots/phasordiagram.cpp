#include "phasordiagram.h"

void PhasorDiagram::strokes(const Drawn &arrow, Colour pen, Colour brush) {
    const QPoint tip = arrow.points[0];
    m_image.setPenColour(pen);
    if (m_image.strokeWidth() <= 1) {
        // A one-pixel line leaves out its last pixel, so shaft and head as one chain set
        // the very pixels they set drawn one after the other, in one pass over the picture.
        m_image.setBrush(brush, BrushStyle::Solid);
        m_image.polyline({arrow.centre, tip, arrow.points[1], arrow.points[2], arrow.points[3]});
        m_image.moveTo(tip.x(), tip.y()); // where the shaft leaves the pen
        return;
    }
    // Wider lines would be joined at the tip: the shaft stands alone.
    m_image.moveTo(arrow.centre.x(), arrow.centre.y());
    m_image.lineTo(tip.x(), tip.y());
    m_image.setBrush(brush, BrushStyle::Solid);
    m_image.polyline(PointList(arrow.points.begin(), arrow.points.end()));
}

void PhasorDiagram::Teken(std::size_t k, const Tvector &v) {
    if (m_drawn[k]) Wis(k);
    const Tvector shown = v.atScale(m_image.size(), m_image.scale());
    m_drawn[k] = Drawn{shown.Centre, shown.Points, v.PhaseColor};
    strokes(*m_drawn[k], v.PhaseColor, v.PhaseColor);
}

void PhasorDiagram::Wis(std::size_t k) {
    if (!m_drawn[k]) return;
    strokes(*m_drawn[k], BackgroundColor, clWhite);
    m_drawn[k].reset();
}

void PhasorDiagram::redrawOnNewPicture(const Phasors &set) {
    for (std::size_t k = 0; k < set.size(); ++k) {
        if (!m_drawn[k]) continue;
        m_drawn[k].reset(); // gone with the old picture: nothing to erase
        Teken(k, set[k]);
    }
}
