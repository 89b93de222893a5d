#include "stabilityboundary.h"

#include "faultrun.h"

#include <algorithm>
#include <cmath>

StabilityBoundary::StabilityBoundary(double h, double pm, double r) : m_h(h), m_pm(pm), m_r(r) {
    if (!(h > 0 && r > 0 && pm >= 0 && pm < r) || !std::isfinite(h)) return;
    m_exists = true;
    m_deltaS = std::asin(m_pm / m_r);
    m_deltaU = Pi - m_deltaS;
    m_barrier = energy(m_deltaU, 0);
    // The potential -Pm (delta - delta_s) - r (cos(delta) - cos(delta_s)) falls from
    // the lower barrier at -pi - delta_s (the higher one, or as high with Pm 0) to 0 at
    // delta_s: it meets the barrier's energy once between them.
    long double lo = -Pi - m_deltaS, hi = m_deltaS;
    for (int i = 0; i < 200; ++i) {
        const long double mid = (lo + hi) / 2;
        if (mid <= lo || mid >= hi) break;
        (energy(mid, 0) > m_barrier ? lo : hi) = mid;
    }
    m_deltaLow = (lo + hi) / 2;
}

long double StabilityBoundary::energy(long double delta, long double dw) const {
    return m_h / SynchronousSpeed * dw * dw - m_pm * (delta - m_deltaS) -
           m_r * (std::cos(delta) - std::cos(m_deltaS));
}

long double StabilityBoundary::speedAt(long double delta) const {
    if (!m_exists || !(delta >= m_deltaLow && delta <= m_deltaU)) return 0;
    const long double kinetic = m_barrier - energy(delta, 0);
    return kinetic > 0 ? std::sqrt(kinetic * SynchronousSpeed / m_h) : 0;
}

StabilityBoundary finalBoundary(const TGenParams &params, const FaultScenario &scenario) {
    return StabilityBoundary(params.H, scenario.mechanicalPower(params.Pmech),
                             scenario.finalFactor());
}

InStepCertainty::InStepCertainty(const TGenParams &params, const FaultScenario &scenario)
    : m_boundary(finalBoundary(params, scenario)) {
    if (!m_boundary.exists() || !(params.Demping >= 0)) return;
    // Semi-implicit Euler keeps a modified energy, which differs from W by about
    // (h w_n / 2) of the swing's energy, w_n = sqrt(ws r / 2H) the largest natural
    // frequency of the curve (Hairer, Lubich and Wanner, Geometric Numerical
    // Integration, sec. IX.8). Four times that, and never less than 2 %, is kept free;
    // where the steps are too coarse for it to hold, no verdict comes early.
    const long double eps =
        StapTijd * std::sqrt(SynchronousSpeed * scenario.finalFactor() / (2.0L * params.H));
    const long double margin = std::max(0.02L, 4 * eps);
    if (margin >= 0.5L) return;
    m_usable = true;
    m_below = m_boundary.barrier() * (1 - margin);
}

bool InStepCertainty::certain(double delta, double dw) const {
    if (!m_usable) return false;
    // The well of whole turns the angle lies in; it must end below four turns, where
    // a run counts the machine out of step.
    const long double turns =
        std::floor((delta - m_boundary.deltaLow()) / static_cast<long double>(TwoPi));
    const long double shifted = delta - turns * TwoPi;
    if (m_boundary.deltaU() + turns * TwoPi >= UitDePasHoek) return false;
    if (!(shifted > m_boundary.deltaLow() && shifted < m_boundary.deltaU())) return false;
    return m_boundary.energy(shifted, dw) <= m_below;
}
