#pragma once

#include "drawsurface.h"

#include <cstdint>
#include <functional>

// The power-angle plot: sin(delta) from -90 degrees to just short of 270 degrees in
// blue, the Pmech line in dark green, red axes, and a black block at the operating
// point. Powers are normalised to Pmax. The equal-area polygons share its mapping.
class SinusPlot {
public:
    explicit SinusPlot(DrawSurface &surface) : m_surface(surface) {}

    // The geometry below, from the picture's present size.
    void InitSinus();
    // Samples the curve once; it is normalised and does not depend on the machine.
    void BerekenSinus();
    void TekenSinus();
    void TekenPmech(double pmech);
    // Shows the main window (through showWindow), then draws both axes.
    void Tekenas();
    // The 3 x 3 block around (delta, pelek), and its erasure in white.
    void TekenBlok(double delta, double pelek);
    void VerwijderBlok();
    // A fresh white picture.
    void Schoon();

    // Angle (radians) to x: one period is shown, from just above -pi/2 to 3pi/2;
    // larger angles are brought back into it, smaller ones are not.
    std::int32_t Hoek2X(double x) const;
    // Normalised power to y.
    std::int32_t Vermogen2Y(double p) const;

    std::int32_t SinusBreedte = 0; // plot width, spans 2 pi
    std::int32_t SinusHoogte = 0;  // length of the power axis
    std::int32_t SinusLinks = 0;   // x of delta = -pi/2
    std::int32_t SinusNulX = 0;    // x of delta = 0
    std::int32_t SinusNulY = 0;    // y of power 0
    std::int32_t SinusBoven = 0;   // y of the power axis' upper end
    double VermogenSchaal = 0;     // pixels per unit of normalised power
    double HoekStap = 0;           // angle per pixel column, in units of pi
    // Slots of each equal-area polygon list: the height, not the width, sets it.
    std::int32_t VlakCapaciteit = 0;

    PointList SinusPunten;
    PointList PmechPunten;
    PointList BlokPunten; // empty while no block is on the picture

    std::function<void()> showWindow;

private:
    DrawSurface &m_surface;
};
