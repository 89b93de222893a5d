#include "phasordiagram.h"

void PhasorDiagram::strokes(const Drawn &arrow, Colour pen, Colour brush) {
    m_image.setPenColour(pen);
    m_image.moveTo(arrow.centre.x(), arrow.centre.y());
    m_image.lineTo(arrow.points[0].x(), arrow.points[0].y());
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
