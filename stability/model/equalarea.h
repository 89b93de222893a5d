#pragma once

#include "mygenerator.h"

#include <optional>

// The equal-area criterion for a three-phase fault that takes away all electrical power
// (Kundur, Power System Stability and Control, sec. 13.1; Grainger and Stevenson,
// Power System Analysis, ch. 16): the rotor gains kinetic energy A1 while the fault
// is on and gives it back as A2 after clearing; the swing turns back if A2 can reach
// A1 before the angle passes delta_max = pi - delta0.
struct KritiekeAfschakeling {
    bool altijdStabiel = false; // Pmech 0: nothing accelerates the rotor
    long double delta0 = 0;     // rad
    long double deltaMax = 0;   // rad
    long double hoek = 0;       // critical clearing angle, rad
    long double tijd = 0;       // critical clearing time, s
};

// Critical clearing angle and time for the machine data, without damping:
//   cos(delta_cr) = Pmech (delta_max - delta0) + cos(delta_max),
//   t_cr = sqrt(4 H (delta_cr - delta0) / (C Pmech)).
KritiekeAfschakeling BerekenKritiek(const TGenParams &params);

// The areas of a run as the steps go: A1 sums (Pmech - Pelek) d(delta) over the steps
// with the fault on, A2 sums (Pelek - Pmech) d(delta) after clearing while the angle
// still grows, both by the trapezoid rule over each step, in per-unit of Pmax times
// radians. The verdict comes when the swing turns back or passes delta_max; A2 ends
// there, since beyond delta_max the rotor accelerates again.
class Oppervlaktesom {
public:
    enum class Oordeel { Open, Stabiel, Instabiel };

    // Starts a run from the generator as it stands before its first step.
    void start(const TMyGenerator &g);
    // One step has been made: `g` holds its new angle and the power it used.
    void stap(const TMyGenerator &g);

    long double A1() const { return m_a1; }
    long double A2() const { return m_a2; }
    Oordeel oordeel() const { return m_oordeel; }
    // The largest angle of the swing when it turned back, rad.
    long double keerhoek() const { return m_keerhoek; }
    long double deltaMax() const { return m_deltaMax; }

private:
    long double m_a1 = 0, m_a2 = 0;
    long double m_vorige = 0; // the angle before the step
    long double m_deltaMax = 0;
    long double m_keerhoek = 0;
    bool m_gewist = false; // the fault has been cleared
    bool m_teruggekeerd = false;
    Oordeel m_oordeel = Oordeel::Open;
};
