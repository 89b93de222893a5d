#pragma once

#include "drawsurface.h"
#include "scenario.h"
#include "sinusplot.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// The areas of the equal-area criterion, painted on the power-angle plot as the rotor
// swings (Kundur, Power System Stability and Control, sec. 13.1): A1, accelerating,
// between the Pmech line and the angle axis while the fault is on; A2, decelerating,
// between the Pmech line and the curve after clearing, until the swing turns back; A3
// below the starting angle on the back swing. A1 is hatched rising to the right, A2
// and A3 falling to the right. On a network that still carries r1 sin(delta) during the
// fault, A1 lies between the Pmech line and that curve; a second fault period, after
// reclosing onto a fault that is still there, gets a polygon of its own with A1's hatch.
// A disturbance without a fault (Saadat, Power System Analysis, sec. 11.5) has its A1
// between the Pmech line in force and the curve up to the new equilibrium delta1, where
// they meet, and A2 above the line from there until the swing turns back.
class Oppervlakken {
public:
    Oppervlakken(DrawSurface &surface, const SinusPlot &sinus)
        : m_surface(surface), m_sinus(sinus) {}

    // Starts the areas at the run's starting angle, on a network that carries r1 of Pmax
    // during the fault.
    void InitOppervlakken(double delta, double pmech, double r1 = 0);
    // Starts the areas of a power step or a line out at the run's starting angle: the
    // network carries r sin(delta) under `pmech` from the first step on.
    void InitZonderFout(double delta, double pmech, double r);
    // Extends the area of the present phase of the swing to the operating point; the
    // network of the latest step tells the phase.
    void TekenOppervlakken(double delta, double pelek, double pmech, NetworkState network);
    void TekenVeelhoek(Colour pen, Colour brush, BrushStyle style, const PointList &points);
    // Whether Pelek has crossed the Pmech line since the last call.
    bool PmechGekruist(double pelek, double pmech);
    // Writes "A1", "A2" and "A3" at the centre of each area once it is whole: A1 once the
    // swing has left it, A2 once the swing has turned back or left the picture's period,
    // A3 once the back swing has turned; names that would touch move apart. Returns each
    // name written and its box.
    std::vector<std::pair<QString, QRect>> TekenNamen();
    // The angle where A1 ends and A2 begins on a disturbance without a fault; no number
    // when the curve cannot carry Pmech.
    double delta1() const { return m_delta1; }

    // With no power during the fault: (x0, yP), (x0, y0), (x, y0), (x, yP), (x0, yP).
    // Otherwise laid out as VlakA2, along the during-fault curve.
    PointList VlakA1;
    std::int32_t AantalA1 = 0;
    PointList GetekendA1;
    // Where A1 meets the Pmech line at the angle of its latest update: A2 starts there.
    QPoint A1Hoek;
    QPoint A1Begin;        // (x0, yP): the Pmech line at the run's starting angle
    PointList VlakHerfout; // the second fault period, laid out as VlakA2
    std::int32_t AantalHerfout = 0;
    PointList GetekendHerfout;
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
    bool m_a1OnCurve = false;     // the network carries power during the fault
    bool m_a2Interrupted = false; // reclosed onto the fault while A2 grew
    bool m_zonderFout = false;    // a power step or a line out
    double m_delta1 = 0;
    double m_pmech = 0;
    bool m_a1Klaar = false;   // the swing has left A1
    bool m_voorbijPi = false; // an update came beyond the picture's period
    void bridgeA2(double delta);
    void tekenZonderFout(double delta, double pelek);
    // Where a name goes at the area's centre, if it has an inside and the name fits.
    std::optional<QRect> nameBox(const PointList &area, const QString &name) const;
    // Adds the operating point as vertex n of a swing-area polygon that starts at
    // `start`, repaints it, and notes what was painted. A full list takes no more.
    void extend(PointList &vlak, std::int32_t &aantal, PointList &getekend, QPoint start,
                double delta, double pelek, BrushStyle hatch = BrushStyle::FallingHatch);
    void widenA1(double delta, double pelek);

    DrawSurface &m_surface;
    const SinusPlot &m_sinus;
};
