#include "equalarea.h"

#include "constants.h"

#include <algorithm>
#include <cmath>

KritiekeAfschakeling BerekenKritiek(const TGenParams &params) {
    KritiekeAfschakeling k;
    const long double pm = params.Pmech;
    k.delta0 = std::asin(pm);
    k.deltaMax = Pi - k.delta0;
    if (pm <= 0) {
        k.altijdStabiel = true;
        return k;
    }
    // Pmech 1 leaves no margin: delta_max equals delta0 and the formula gives 0.
    const long double c = pm * (k.deltaMax - k.delta0) + std::cos(k.deltaMax);
    k.hoek = std::acos(std::clamp(c, -1.0L, 1.0L));
    const long double swing = std::max(0.0L, k.hoek - k.delta0);
    k.tijd = std::sqrt(4 * static_cast<long double>(params.H) * swing / (SynchronousSpeed * pm));
    return k;
}

void Oppervlaktesom::start(const TMyGenerator &g) {
    *this = Oppervlaktesom();
    m_vorige = g.Delta;
    m_deltaMax = Pi - std::asin(static_cast<long double>(g.Pmech));
}

void Oppervlaktesom::stap(const TMyGenerator &g) {
    const long double nu = g.Delta;
    const long double d = nu - m_vorige;
    const long double pm = g.Pmech;
    if (g.Pelek == 0.0 && !m_gewist) {
        m_a1 += (pm - 0) * d;
    } else {
        m_gewist = true;
        if (!m_teruggekeerd && m_oordeel != Oordeel::Instabiel) {
            if (d < 0) {
                m_teruggekeerd = true;
                m_keerhoek = m_vorige;
                if (m_oordeel == Oordeel::Open) m_oordeel = Oordeel::Stabiel;
            } else {
                // Trapezoid over the step of the decelerating power sin(delta) - Pmech,
                // which ends at delta_max: beyond it the rotor accelerates again.
                const long double tot = std::min(nu, m_deltaMax);
                if (tot > m_vorige)
                    m_a2 +=
                        ((std::sin(m_vorige) - pm) + (std::sin(tot) - pm)) / 2 * (tot - m_vorige);
            }
        }
    }
    if (m_oordeel == Oordeel::Open && nu > m_deltaMax) m_oordeel = Oordeel::Instabiel;
    m_vorige = nu;
}
