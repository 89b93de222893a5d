#pragma once

#include "mygenerator.h"
#include "scenario.h"

// The equal-area criterion (Kundur, Power System Stability and Control, sec. 13.1;
// Grainger and Stevenson, Power System Analysis, sec. 16.5): the rotor gains kinetic
// energy A1 while the fault is on, the network carrying r1 sin(delta), and gives it back
// as A2 after clearing on r2 sin(delta); the swing turns back if A2 can reach A1 before
// the angle passes delta_max = pi - asin(Pmech / r2).
struct KritiekeAfschakeling {
    enum class Soort {
        Grens,     // a critical clearing angle and time
        GeenMarge, // Pmech equals the power after clearing: critical time 0
        // Every clearing time keeps the machine in step:
        GeenVersnelling, // Pmech 0: nothing accelerates the rotor
        A2Overwint,      // K < -1: A2 can always outweigh A1
        KeertOnderFout,  // the undamped swing under the fault turns back before delta_cr
        // No clearing time keeps the machine in step:
        GeenEvenwicht, // Pmech above r2: no equilibrium after clearing
        A2TeKlein,     // even clearing at once leaves A2 short of A1
    };
    Soort soort = Soort::Grens;
    bool altijdStabiel = false; // every clearing time keeps the machine in step
    bool nooitStabiel = false;  // no clearing time does
    long double r1 = 0, r2 = 1; // the network during the fault and after clearing
    long double delta0 = 0;     // rad
    long double deltaMax = 0;   // rad
    long double hoek = 0;       // critical clearing angle, rad
    long double tijd = 0;       // critical clearing time, s
    long double keerhoek = 0;   // KeertOnderFout: where the swing under the fault turns, rad
};

// Critical clearing angle and time for the machine data on the scenario's network,
// without damping. With
//   K = (Pmech (delta_max - delta0) + r2 cos(delta_max) - r1 cos(delta0)) / (r2 - r1),
// A2 - A1 = (r2 - r1)(cos(delta_c) - K), so cos(delta_cr) = K. The time follows from
// (2H/C) delta'' = Pmech - r1 sin(delta): in closed form
//   t_cr = sqrt(4 H (delta_cr - delta0) / (C Pmech))
// for r1 = 0, otherwise by quadrature of dt = d(delta) / delta'. Reclosing is not
// covered.
KritiekeAfschakeling BerekenKritiek(const TGenParams &params, const FaultScenario &scenario = {});

// The equal-area criterion for a disturbance without a fault (Saadat, Power System
// Analysis, sec. 11.5): at the run's start the mechanical power steps to P1 on the
// whole network, or a line goes out and the network carries r sin(delta). The rotor
// swings from delta0 about the new equilibrium delta1 = asin(P1 / r) to where
//   P1 (delta_max - delta0) = r (cos(delta0) - cos(delta_max)),
// A1 = A2, if that comes before delta_u = pi - delta1; else A2 falls short and the
// machine falls out of step. The largest stable power is the one for which delta_max
// reaches delta_u: for a step the largest P1 from the data's Pmech, for a line out the
// largest Pmech (which moves delta0 too).
struct DisturbanceCriterion {
    bool stable = false;
    bool noEquilibrium = false;         // P1 lies above r: the machine can only run away
    long double r = 1;                  // the network's share of Pmax after the disturbance
    long double pm = 0;                 // the mechanical power after it
    long double delta0 = 0, delta1 = 0; // rad
    // Where the first swing turns, rad: above delta1 for a rise in power, below it for
    // a fall (a step down swings back first and is always stable). Meaningful when stable.
    long double deltaMax = 0;
    long double largestPmech = 0; // per-unit of Pmax
};
DisturbanceCriterion disturbanceCriterion(const TGenParams &params, const FaultScenario &scenario);

// The areas of a run as the steps go: A1 sums (Pmech - Pelek) d(delta) over the steps
// with the fault on, A2 sums (Pelek - Pmech) d(delta) after clearing while the angle
// still grows, both by the trapezoid rule over each step on the curve in force, in
// per-unit of Pmax times radians. The verdict comes when the swing turns back or passes
// delta_max of the curve in force; A2 ends there, since beyond delta_max the rotor
// accelerates again.
class Oppervlaktesom {
public:
    enum class Oordeel { Open, Stabiel, Instabiel };

    // Starts a run from the generator as it stands before its first step.
    void start(const TMyGenerator &g, const FaultScenario &scenario = {});
    // One step has been made: `g` holds its new angle and the power it used, on a
    // network that carried `factor` of Pmax, with the fault on or not.
    void stap(const TMyGenerator &g, bool faultOn, double factor);

    long double A1() const { return m_a1; }
    long double A2() const { return m_a2; }
    Oordeel oordeel() const { return m_oordeel; }
    // The largest angle of the swing when it turned back, rad.
    long double keerhoek() const { return m_keerhoek; }
    // Where the curve in force falls below Pmech for good; no number when it never
    // reaches Pmech.
    long double deltaMax() const { return m_deltaMax; }
    // A power step or a line out: deltaMax is then the unstable equilibrium delta_u,
    // the name the criterion keeps for where the swing turns.
    bool withoutFault() const { return m_zonderFout; }

private:
    void stapZonderFout(long double pm, long double r, long double nu);

    long double m_a1 = 0, m_a2 = 0;
    long double m_vorige = 0; // the angle before the step
    long double m_deltaMax = 0;
    long double m_keerhoek = 0;
    bool m_gewist = false; // the fault has been cleared
    bool m_teruggekeerd = false;
    // A power step or a line out: A1 lies below delta1, where the rotor accelerates,
    // A2 above it.
    bool m_zonderFout = false;
    long double m_delta1 = 0;
    Oordeel m_oordeel = Oordeel::Open;
};
