#pragma once

#include "mygenerator.h"
#include "scenario.h"

// The region from which the undamped machine returns, on a network that carries
// r sin(delta) under a mechanical power Pm (the direct method: Kundur, Power System
// Stability and Control, ch. 13; Pai, Energy Function Analysis for Power System
// Stability, ch. 2). The energy
//   W(delta, dw) = (H / ws) dw^2 - Pm (delta - delta_s) - r (cos(delta) - cos(delta_s)),
// 0 at the stable equilibrium delta_s = asin(Pm / r), is kept by the undamped swing and
// lowered by damping; the region is where W lies below its value at the unstable
// equilibrium delta_u = pi - delta_s, between delta_u and the other angle at which the
// barrier's energy is all potential. Kinetic energy at clearing is A1, the barrier the
// largest A2: the equal-area criterion seen in the phase plane.
class StabilityBoundary {
public:
    // No region when the network cannot carry Pm (Pm >= r: no stable equilibrium).
    StabilityBoundary(double h, double pm, double r);

    bool exists() const { return m_exists; }
    long double deltaS() const { return m_deltaS; }
    long double deltaU() const { return m_deltaU; }
    // The boundary's other crossing of dw = 0, below delta_s, rad.
    long double deltaLow() const { return m_deltaLow; }
    // The energy at delta_u, per-unit of Pmax times rad.
    long double barrier() const { return m_barrier; }
    long double energy(long double delta, long double dw) const;
    // The boundary's speed deviation at an angle from deltaLow to deltaU (its upper
    // half; the lower half is its negative), rad/s; 0 outside.
    long double speedAt(long double delta) const;

private:
    bool m_exists = false;
    long double m_h, m_pm, m_r;
    long double m_deltaS = 0, m_deltaU = 0, m_deltaLow = 0, m_barrier = 0;
};

// The boundary for the network and mechanical power a run ends on: after the last
// switching, with a power step's P1.
StabilityBoundary finalBoundary(const TGenParams &params, const FaultScenario &scenario);

// Whether a machine at (delta, dw) on the run's final network is sure to stay in step
// for good: inside the region with a margin that covers what the 3 ms steps can add to
// the energy, in the well of a whole number of turns that ends below the out-of-step
// angle. Needs damping of 0 or more (it only takes energy away).
class InStepCertainty {
public:
    InStepCertainty(const TGenParams &params, const FaultScenario &scenario);
    bool certain(double delta, double dw) const;

private:
    StabilityBoundary m_boundary;
    bool m_usable = false;
    long double m_below = 0; // the energy must lie at or below this
};
