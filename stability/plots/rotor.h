#pragma once

#include "drawsurface.h"

#include <cstdint>

// The two-pole rotor, turned by the rotor angle inside a fixed blue circle: two red
// pole faces of 120 degrees joined by the narrower body, and a blue line across the
// root of the pole at -delta, so that the rotor is seen to turn clockwise as the angle
// grows.
class Rotor {
public:
    explicit Rotor(DrawSurface &surface) : m_surface(surface) {}

    // Centre and radii from the picture's size; draws the fixed circle.
    void InitRotor();
    void TekenCirkel(std::int32_t r, std::int32_t xc, std::int32_t yc);
    void TekenRotor(double delta);
    // Draws the rotor on the picture again in white and forgets it.
    void WisRotor();

    std::int32_t RotorMidX = 0;
    std::int32_t RotorMidY = 0;
    std::int32_t CirkelStraal = 0;
    std::int32_t RotorStraal = 0;
    PointList RotorOmtrek; // empty while no rotor is drawn
    PointList PoolLijn;

private:
    QPoint pointAt(long double theta, long double r) const;

    DrawSurface &m_surface;
};
