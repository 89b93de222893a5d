#include "rotor.h"

#include "constants.h"
#include "rounding.h"

#include <cmath>

namespace {

// The rotor's outline is swept in steps of pi / 400.
constexpr int Steps = 400;
constexpr std::size_t MaxOutline = 800;

} // namespace

QPoint Rotor::pointAt(long double theta, long double r) const {
    return QPoint(pixelAdd(RotorMidX, roundToPixel(r * std::cos(theta))),
                  pixelSub(RotorMidY, roundToPixel(r * std::sin(theta))));
}

void Rotor::InitRotor() {
    const long double w = m_surface.size().width();
    const long double h = m_surface.size().height();
    RotorMidX = roundToPixel(w / 2);
    RotorMidY = roundToPixel(h / 2);
    CirkelStraal = roundToPixel(0.4L * w);
    TekenCirkel(CirkelStraal, RotorMidX, RotorMidY);
    RotorStraal = roundToPixel(0.9L * CirkelStraal);
}

void Rotor::TekenCirkel(std::int32_t r, std::int32_t xc, std::int32_t yc) {
    PointList circle;
    circle.reserve(401);
    for (int i = 0; i <= 400; ++i) {
        const long double theta = i / 200.0L * Pi;
        circle.emplace_back(pixelAdd(xc, roundToPixel(r * std::cos(theta))),
                            pixelSub(yc, roundToPixel(r * std::sin(theta))));
    }
    m_surface.setPen(clBlue, 2);
    m_surface.polyline(circle);
}

void Rotor::TekenRotor(double delta) {
    auto d = static_cast<double>(delta / Pi);
    RotorOmtrek.clear();
    PoolLijn.clear();
    if (!std::isfinite(d)) return; // no angle to turn to: no rotor
    // The face limits below count steps of pi / 400 from the angle; beyond a million
    // half-turns they would leave the int32 range. Whole turns (two half-turns) do not
    // change where the rotor stands, so such an angle is taken within one turn.
    if (std::fabs(d) > 1e6) d = std::fmod(d, 2.0);
    PoolLijn.assign(2, QPoint());

    // Pole faces from a to b and from c to e, in steps of pi / 400.
    const std::int32_t a = roundToPixel((-1.0L / 3 - d) * Steps);
    const std::int32_t b = roundToPixel((1.0L / 3 - d) * Steps);
    const std::int32_t c = roundToPixel((2.0L / 3 - d) * Steps);
    const std::int32_t e = roundToPixel((4.0L / 3 - d) * Steps);
    const long double r2 = roundToPixel(RotorStraal / 1.55L);
    const std::int32_t s = roundToPixel((1.0L / 3 + d) * Steps);
    const auto theta = [](long double k) { return k / Steps * Pi; };

    RotorOmtrek.reserve(MaxOutline);
    for (std::int32_t i = 0; i <= 2 * Steps; ++i) {
        const std::int32_t k = pixelSub(i, s);
        if ((a <= k && k <= b) || (c <= k && k <= e)) {
            RotorOmtrek.push_back(pointAt(theta(k), RotorStraal));
            continue;
        }
        // Off a face: step in to the body a sixteenth of a turn back inside the face
        // just left, and out again the same way before the next face.
        if (k == pixelAdd(b, 1) || k == pixelAdd(e, 1)) {
            const QPoint p = pointAt((k / static_cast<long double>(Steps) - 0.125L) * Pi, r2);
            RotorOmtrek.push_back(p);
            if (k == pixelAdd(b, 1)) PoolLijn[0] = p;
        }
        if (k == pixelSub(c, 1) || i == 2 * Steps) {
            const QPoint p = pointAt((k / static_cast<long double>(Steps) + 0.125L) * Pi, r2);
            RotorOmtrek.push_back(p);
            if (i == 2 * Steps) PoolLijn[1] = p;
        }
    }
    RotorOmtrek.push_back(RotorOmtrek.front());

    m_surface.setPen(clRed, 1);
    m_surface.polyline(RotorOmtrek);
    m_surface.setPenColour(clBlue);
    m_surface.polyline(PoolLijn);
}

void Rotor::WisRotor() {
    if (RotorOmtrek.empty()) return;
    m_surface.setPenColour(clWhite);
    m_surface.polyline(RotorOmtrek);
    m_surface.polyline(PoolLijn);
    RotorOmtrek.clear();
    PoolLijn.clear();
}
