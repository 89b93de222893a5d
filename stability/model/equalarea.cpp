#include "equalarea.h"

#include "constants.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace {

// delta_max on a curve r sin(delta): where it falls below Pmech for good; no number
// when it never reaches Pmech.
long double deltaMaxOn(long double pm, long double r) {
    if (pm > r) return std::numeric_limits<long double>::quiet_NaN();
    return Pi - std::asin(pm / r);
}

// The accelerating energy gained under the fault from delta0 to delta0 + x, per-unit
// times rad: Pmech x + r1 (cos(delta0 + x) - cos(delta0)), the difference of cosines
// written as a product so that small x loses no digits.
long double gained(long double pm, long double r1, long double d0, long double x) {
    return pm * x - 2 * r1 * std::sin(d0 + x / 2) * std::sin(x / 2);
}

// Adaptive Simpson quadrature (Burden and Faires, Numerical Analysis, sec. 4.6) with a
// bounded depth, so that no integrand can make it run on.
long double simpson(const std::function<long double(long double)> &f, long double a, long double b,
                    long double fa, long double fm, long double fb, long double whole,
                    long double tol, int depth) {
    const long double m = (a + b) / 2, lm = (a + m) / 2, rm = (m + b) / 2;
    const long double flm = f(lm), frm = f(rm);
    const long double left = (m - a) / 6 * (fa + 4 * flm + fm);
    const long double right = (b - m) / 6 * (fm + 4 * frm + fb);
    const long double diff = left + right - whole;
    if (depth <= 0 || std::fabs(diff) <= 15 * tol) return left + right + diff / 15;
    return simpson(f, a, m, fa, flm, fm, left, tol / 2, depth - 1) +
           simpson(f, m, b, fm, frm, fb, right, tol / 2, depth - 1);
}

// t = integral of d(delta) / sqrt((C/H) A(delta)) from delta0 to delta_cr, with
// delta = delta0 + u^2 to take away the singularity at the start: the integrand
// 2u / sqrt((C/H) A) tends to 2 / sqrt((C/H) Pmech (1 - r1)) there.
long double timeUnderFault(long double pm, long double r1, long double h, long double d0,
                           long double dcr) {
    const long double ch = SynchronousSpeed / h;
    const auto f = [&](long double u) -> long double {
        if (u == 0) return 2 / std::sqrt(ch * (pm - r1 * std::sin(d0)));
        const long double a = gained(pm, r1, d0, u * u);
        return a > 0 ? 2 * u / std::sqrt(ch * a) : 0;
    };
    const long double end = std::sqrt(std::max(0.0L, dcr - d0));
    const long double fa = f(0), fm = f(end / 2), fb = f(end);
    const long double whole = end / 6 * (fa + 4 * fm + fb);
    return simpson(f, 0, end, fa, fm, fb, whole, 1e-9L, 40);
}

} // namespace

KritiekeAfschakeling BerekenKritiek(const TGenParams &params, const FaultScenario &scenario) {
    using Soort = KritiekeAfschakeling::Soort;
    KritiekeAfschakeling k;
    const long double pm = params.Pmech;
    const long double r1 = scenario.r1(), r2 = scenario.r2();
    k.r1 = r1;
    k.r2 = r2;
    k.delta0 = std::asin(pm);
    const auto always = [&k](Soort soort) {
        k.soort = soort;
        k.altijdStabiel = true;
        return k;
    };
    const auto never = [&k](Soort soort) {
        k.soort = soort;
        k.nooitStabiel = true;
        return k;
    };
    if (pm <= 0) {
        k.deltaMax = Pi - k.delta0;
        return always(Soort::GeenVersnelling);
    }
    if (pm > r2) return never(Soort::GeenEvenwicht);
    k.deltaMax = deltaMaxOn(pm, r2);
    const long double c =
        (pm * (k.deltaMax - k.delta0) + r2 * std::cos(k.deltaMax) - r1 * std::cos(k.delta0)) /
        (r2 - r1);
    if (pm == r2) {
        // delta_max is the top of the curve after clearing: no margin at all.
        k.soort = Soort::GeenMarge;
        k.hoek = k.deltaMax;
        return k;
    }
    if (c >= std::cos(k.delta0)) return never(Soort::A2TeKlein);
    if (c < -1) return always(Soort::A2Overwint);
    k.hoek = std::acos(c);
    if (r1 > 0 && pm < r1) {
        // Under a lasting fault the rotor swings about asin(Pmech / r1) and turns back
        // where the energy it gained is 0 again: if that is before delta_cr, the fault
        // can stay on for ever.
        const long double top = Pi - std::asin(pm / r1); // the gain is least here
        const long double upTo = std::min(k.hoek, top);
        if (gained(pm, r1, k.delta0, upTo - k.delta0) <= 0) {
            long double lo = std::asin(pm / r1), hi = upTo;
            for (int i = 0; i < 200 && hi - lo > 1e-15L; ++i) {
                const long double mid = (lo + hi) / 2;
                (gained(pm, r1, k.delta0, mid - k.delta0) > 0 ? lo : hi) = mid;
            }
            k.keerhoek = (lo + hi) / 2;
            return always(Soort::KeertOnderFout);
        }
    }
    const long double swing = std::max(0.0L, k.hoek - k.delta0);
    if (r1 == 0)
        k.tijd =
            std::sqrt(4 * static_cast<long double>(params.H) * swing / (SynchronousSpeed * pm));
    else
        k.tijd = timeUnderFault(pm, r1, params.H, k.delta0, k.hoek);
    return k;
}

namespace {

// The root of f, which changes sign between lo and hi, by bisection to the last bit.
template <typename F> long double bisect(F f, long double lo, long double hi) {
    const bool risesThroughIt = f(lo) < 0;
    for (int i = 0; i < 200 && hi - lo > 0; ++i) {
        const long double mid = (lo + hi) / 2;
        if (mid <= lo || mid >= hi) break;
        ((f(mid) < 0) == risesThroughIt ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

} // namespace

DisturbanceCriterion disturbanceCriterion(const TGenParams &params, const FaultScenario &scenario) {
    DisturbanceCriterion k;
    const long double pm0 = params.Pmech;
    const long double pm = scenario.mechanicalPower(params.Pmech);
    const long double r = scenario.r2();
    k.r = r;
    k.pm = pm;
    k.delta0 = std::asin(pm0);
    // A2 - A1 up to delta: r (cos(delta0) - cos(delta)) - pm (delta - delta0).
    const auto surplus = [&](long double p, long double d0, long double d) {
        return r * (std::cos(d0) - std::cos(d)) - p * (d - d0);
    };
    // Where delta_max reaches delta_u: the surplus up to delta_u of each power, which
    // falls as the power grows; for a line out the power moves delta0 as well.
    const bool step = scenario.network == Network::PowerStep;
    const auto marginAt = [&](long double p) {
        const long double d0 = step ? k.delta0 : std::asin(p);
        return -surplus(p, d0, Pi - std::asin(p / r));
    };
    const long double from = step ? pm0 : 0;
    k.largestPmech = marginAt(r) <= 0 ? r : bisect(marginAt, from, r);
    if (pm > r) {
        k.noEquilibrium = true;
        return k;
    }
    k.delta1 = std::asin(pm / r);
    if (pm < r * std::sin(k.delta0)) {
        // A fall in power: the swing goes down first, to the other side of delta1, and
        // the barrier there lies far higher than the energy it started with.
        k.stable = true;
        k.deltaMax = bisect([&](long double d) { return surplus(pm, k.delta0, d); }, -Pi - k.delta1,
                            k.delta1);
        return k;
    }
    const long double deltaU = Pi - k.delta1;
    if (surplus(pm, k.delta0, deltaU) < 0) return k;
    k.stable = true;
    k.deltaMax =
        k.delta0 == k.delta1
            ? k.delta0
            : bisect([&](long double d) { return surplus(pm, k.delta0, d); }, k.delta1, deltaU);
    return k;
}

void Oppervlaktesom::start(const TMyGenerator &g, const FaultScenario &scenario) {
    *this = Oppervlaktesom();
    m_vorige = g.Delta;
    m_deltaMax = deltaMaxOn(g.Pmech, scenario.r2());
    m_zonderFout = !scenario.hasFault();
    if (m_zonderFout && !std::isnan(m_deltaMax)) m_delta1 = Pi - m_deltaMax;
}

void Oppervlaktesom::stap(const TMyGenerator &g, bool faultOn, double factor) {
    const long double nu = g.Delta;
    const long double d = nu - m_vorige;
    const long double pm = g.Pmech;
    const long double r = factor;
    if (m_zonderFout) {
        stapZonderFout(pm, r, nu);
        return;
    }
    if (faultOn && !m_gewist) {
        if (r == 0)
            m_a1 += (pm - 0) * d;
        else
            m_a1 += ((pm - r * std::sin(m_vorige)) + (pm - r * std::sin(nu))) / 2 * d;
    } else if (faultOn) {
        // Reclosed onto a fault that is still there: the rotor gains energy again.
        if (!m_teruggekeerd && m_oordeel == Oordeel::Open)
            m_a1 += ((pm - r * std::sin(m_vorige)) + (pm - r * std::sin(nu))) / 2 * d;
    } else {
        m_gewist = true;
        m_deltaMax = deltaMaxOn(pm, r);
        if (!m_teruggekeerd && m_oordeel != Oordeel::Instabiel) {
            if (d < 0) {
                m_teruggekeerd = true;
                m_keerhoek = m_vorige;
                if (m_oordeel == Oordeel::Open) m_oordeel = Oordeel::Stabiel;
            } else if (!std::isnan(m_deltaMax)) {
                // Trapezoid over the step of the decelerating power r sin(delta) - Pmech,
                // which ends at delta_max: beyond it the rotor accelerates again.
                const long double tot = std::min(nu, m_deltaMax);
                if (tot > m_vorige)
                    m_a2 += ((r * std::sin(m_vorige) - pm) + (r * std::sin(tot) - pm)) / 2 *
                            (tot - m_vorige);
            }
        }
    }
    // A curve that never reaches Pmech has no delta_max: the rotor can only run away.
    // Past delta_max the rotor accelerates again, fault on or not.
    const bool noReturn = m_gewist && !faultOn && std::isnan(m_deltaMax);
    if (m_oordeel == Oordeel::Open && (noReturn || nu > m_deltaMax)) m_oordeel = Oordeel::Instabiel;
    m_vorige = nu;
}

void Oppervlaktesom::stapZonderFout(long double pm, long double r, long double nu) {
    const long double vorige = m_vorige;
    m_vorige = nu;
    if (m_oordeel != Oordeel::Open) return;
    // Trapezoid of (Pmech - r sin(delta)) from a to b.
    const auto net = [&](long double a, long double b) {
        return ((pm - r * std::sin(a)) + (pm - r * std::sin(b))) / 2 * (b - a);
    };
    if (std::isnan(m_deltaMax)) {
        // No equilibrium: the rotor only accelerates.
        m_a1 += net(vorige, nu);
        if (nu > vorige) m_oordeel = Oordeel::Instabiel;
        return;
    }
    if (nu < vorige) {
        // The swing turned (a fall in power turns at once: nothing to sweep).
        m_teruggekeerd = true;
        m_keerhoek = vorige;
        m_oordeel = Oordeel::Stabiel;
        return;
    }
    const long double split = std::clamp(m_delta1, vorige, nu);
    m_a1 += net(vorige, split);
    const long double tot = std::min(nu, m_deltaMax);
    if (tot > split) m_a2 -= net(split, tot);
    if (nu > m_deltaMax) m_oordeel = Oordeel::Instabiel;
}
