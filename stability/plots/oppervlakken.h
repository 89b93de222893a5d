#pragma once

#include "drawsurface.h"
#include "sinusplot.h"

#include <cstdint>

// The areas of the equal-area criterion, painted on the power-angle plot as the rotor
// swings (Kundur, Power System Stability and Control, sec. 13.1): A1, accelerating,
// between the Pmech line and the angle axis while the fault is on; A2, decelerating,
// between the Pmech line and the curve after clearing, until the swing turns back; A3
// below the starting angle on the back swing. A1 is hatched rising to the right, A2
// and A3 falling to the right.
class Oppervlakken {
public:
    Oppervlakken(DrawSurface &surface, const SinusPlot &sinus)
        : m_surface(surface), m_sinus(sinus) {}

    // Starts the areas at the run's starting angle.
    void InitOppervlakken(double delta, double pmech);
    // Extends the area of the present phase of the swing to the operating point.
    void TekenOppervlakken(double delta, double pelek, double pmech);
    void TekenVeelhoek(Colour pen, Colour brush, BrushStyle style, const PointList &points);
    // Whether Pelek has crossed the Pmech line since the last call.
    bool PmechGekruist(double pelek, double pmech);

    PointList VlakA1; // (x0, yP), (x0, y0), (x, y0), (x, yP), (x0, yP)
    PointList VlakA2; // start, n operating points, foot, start again
    PointList VlakA3;
    std::int32_t AantalA2 = 0;
    std::int32_t AantalA3 = 0;
    PointList GetekendA2; // as last painted, for erasing
    PointList GetekendA3;
    bool VlakkenActief = false;
    bool A2Klaar = false; // the swing has turned back: A2 is frozen
    bool A3Wacht = false; // A3 has not started yet
    bool BovenPmech = false;
    double VorigeDelta = 0; // kept from one run to the next

private:
    // Adds the operating point as vertex n of a swing-area polygon that starts at
    // `start`, repaints it, and notes what was painted. A full list takes no more.
    void extend(PointList &vlak, std::int32_t &aantal, PointList &getekend, QPoint start,
                double delta, double pelek);

    DrawSurface &m_surface;
    const SinusPlot &m_sinus;
};
