#pragma once

#include "drawsurface.h"

#include <cstdint>
#include <optional>

// The phase plane: the generator's trajectory of speed deviation against rotor angle,
// one blue segment per step from the surface's kept pen position, over red axes that
// cross in the middle. Ten rad/s span the speed axis; one pi of angle spans 0.9 of the
// angle axis.
class Fase {
public:
    explicit Fase(DrawSurface &surface) : m_surface(surface) {}

    void InitFase();
    void TekenasFase();
    std::int32_t FaseHoek2X(double delta) const;
    std::int32_t FaseDomega2Y(double domega) const;
    void BerekenFase(double delta, double domega);
    // A line from the present pen position to the phase point.
    void TekenFase();
    void SchoonFase();
    // Moves the pen, without drawing, to where a trace from (delta, domega) starts.
    void beginTrace(double delta, double domega);

    std::int32_t FaseBreedte = 0;
    std::int32_t FaseHoogte = 0;
    std::int32_t FaseLinks = 0;
    std::int32_t FaseNulX = 0;
    std::int32_t FaseBoven = 0;
    std::int32_t FaseNulY = 0;
    double FaseHoekStap = 0;
    std::optional<QPoint> FasePunt;

private:
    DrawSurface &m_surface;
};
