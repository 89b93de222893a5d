#include "fase.h"

#include "constants.h"
#include "rounding.h"
#include "stabilityboundary.h"

#include <algorithm>
#include <cmath>
#include <QString>

namespace {

// Beyond 2^40 times the standard spans no run that counts steps can still be followed.
constexpr double LargestRange = 1099511627776.0;

} // namespace

void Fase::InitFase() {
    const long double w = m_surface.size().width();
    const long double h = m_surface.size().height();
    FaseBreedte = roundToPixel(0.8L * w);
    FaseHoogte = roundToPixel(0.8L * h);
    FaseLinks = roundToPixel(0.1L * w);
    FaseNulX = pixelAdd(roundToPixel(0.5L * FaseBreedte), FaseLinks);
    FaseBoven = roundToPixel(0.1L * h);
    FaseNulY = pixelAdd(roundToPixel(0.5L * FaseHoogte), FaseBoven);
    FaseHoekStap = static_cast<double>(1.0L / (FaseBreedte * 0.9L));
    FasePunt.reset();
}

void Fase::TekenasFase() {
    m_surface.setPen(clRed, 2);
    m_surface.moveTo(FaseLinks, FaseNulY);
    m_surface.lineTo(FaseLinks + FaseBreedte, FaseNulY);
    m_surface.moveTo(FaseNulX, FaseBoven);
    m_surface.lineTo(FaseNulX, FaseBoven + FaseHoogte);
    m_surface.setPenWidth(1);
}

// A run with absurd machine data can send the speed or the angle to enormous values (or
// no number at all): the point is then held at the int32 range's ends, off the picture.
// The spans divide exactly: at their standard 1 the pixels are those without them.
std::int32_t Fase::FaseHoek2X(double delta) const {
    return pixelAdd(roundToPixel((1.0L / FaseHoekStap) * delta / Pi / angleRange), FaseNulX);
}

std::int32_t Fase::FaseDomega2Y(double domega) const {
    return pixelSub(FaseNulY, roundToPixel((FaseHoogte / (10.0L * speedRange)) * domega));
}

void Fase::BerekenFase(double delta, double domega) {
    const std::int32_t y = FaseDomega2Y(domega);
    const std::int32_t x = FaseHoek2X(delta);
    FasePunt = QPoint(x, y);
}

void Fase::TekenFase() {
    if (!FasePunt) return;
    m_surface.setPenColour(clBlue);
    m_surface.lineTo(FasePunt->x(), FasePunt->y());
}

void Fase::SchoonFase() {
    m_surface.newPicture();
}

void Fase::beginTrace(double delta, double domega) {
    m_surface.moveTo(FaseHoek2X(delta), FaseDomega2Y(domega));
}

bool Fase::holds(double delta, double domega) const {
    const std::int32_t x = FaseHoek2X(delta), y = FaseDomega2Y(domega);
    return x >= FaseLinks && x <= pixelAdd(FaseLinks, FaseBreedte) && y >= FaseBoven &&
           y <= pixelAdd(FaseBoven, FaseHoogte);
}

bool Fase::holdPoint(double delta, double domega) {
    if (!std::isfinite(delta) || !std::isfinite(domega) || holds(delta, domega)) return false;
    const double angle = angleRange, speed = speedRange;
    const auto inside = [](std::int32_t v, std::int32_t from, std::int32_t length) {
        return v >= from && v <= pixelAdd(from, length);
    };
    while (!inside(FaseHoek2X(delta), FaseLinks, FaseBreedte) && angleRange < LargestRange)
        angleRange *= 2;
    while (!inside(FaseDomega2Y(domega), FaseBoven, FaseHoogte) && speedRange < LargestRange)
        speedRange *= 2;
    return angleRange != angle || speedRange != speed;
}

void Fase::TekenWaarden() {
    const int height =
        std::max(m_surface.scaled(8), roundToPixel(0.06L * m_surface.size().height()));
    const int tick = m_surface.scaled(2);
    m_surface.setPen(clBlack, 1);
    // The speed at the top of its axis, left of it: the axis's own name stands right.
    const QString speed = QString::number(5 * speedRange, 'g', 6) + QStringLiteral(" rad/s");
    m_surface.text(FaseNulX - tick - 1 - m_surface.textWidth(speed, height),
                   FaseBoven - height - m_surface.scaled(1), speed, height);
    // A right angle (times the span) ticked on the angle axis, its value below the box.
    const double right = 90 * angleRange;
    const std::int32_t x = FaseHoek2X(static_cast<double>(Pi / 2 * angleRange));
    m_surface.moveTo(x, FaseNulY - 1 - tick);
    m_surface.lineTo(x, FaseNulY + tick + 1);
    const QString angle = QString::number(right, 'g', 6) + QStringLiteral("\u00B0");
    m_surface.text(x - m_surface.textWidth(angle, height) / 2,
                   pixelAdd(FaseBoven, FaseHoogte) + m_surface.scaled(1), angle, height);
}

PointList Fase::boundaryPoints() const {
    if (!m_boundary || !m_boundary->exists()) return {};
    const StabilityBoundary &b = *m_boundary;
    const std::int32_t xLow = FaseHoek2X(static_cast<double>(b.deltaLow()));
    const std::int32_t xHigh = FaseHoek2X(static_cast<double>(b.deltaU()));
    // The columns strictly between the ends that lie on the picture.
    const std::int32_t from = std::max(pixelAdd(xLow, 1), 0);
    const std::int32_t to = std::min(pixelSub(xHigh, 1), m_surface.size().width() - 1);
    const long double perColumn = static_cast<long double>(FaseHoekStap) * Pi * angleRange;
    PointList upper, lower;
    for (std::int32_t x = from; x <= to; ++x) {
        const long double speed = b.speedAt((x - static_cast<long double>(FaseNulX)) * perColumn);
        upper.emplace_back(x, FaseDomega2Y(static_cast<double>(speed)));
        lower.emplace_back(x, FaseDomega2Y(static_cast<double>(-speed)));
    }
    PointList closed;
    closed.reserve(upper.size() + lower.size() + 3);
    closed.emplace_back(xLow, FaseNulY);
    closed.insert(closed.end(), upper.begin(), upper.end());
    closed.emplace_back(xHigh, FaseNulY);
    closed.insert(closed.end(), lower.rbegin(), lower.rend());
    closed.emplace_back(xLow, FaseNulY);
    return closed;
}

void Fase::TekenGrens() {
    const PointList points = boundaryPoints();
    if (points.empty()) return;
    m_surface.setPen(clFuchsia, 1);
    m_surface.polyline(points);
}

void Fase::holdBoundary() {
    if (!m_boundary || !m_boundary->exists()) return;
    // A tenth beyond each crossing: the saddle stands clear of the box's edge.
    constexpr long double Margin = 1.1L;
    for (const long double delta : {m_boundary->deltaU(), m_boundary->deltaLow()})
        holdPoint(static_cast<double>(delta * Margin), 0);
}

void Fase::TekenAfschakeling(double delta, double domega) {
    const QPoint pen = m_surface.penPos();
    const std::int32_t x = FaseHoek2X(delta), y = FaseDomega2Y(domega);
    const int arm = m_surface.scaled(2);
    m_surface.setPen(clBlack, 1);
    m_surface.moveTo(x - arm, y - arm);
    m_surface.lineTo(x + arm + 1, y + arm + 1);
    m_surface.moveTo(x - arm, y + arm);
    m_surface.lineTo(x + arm + 1, y - arm - 1);
    const int height =
        std::max(m_surface.scaled(8), roundToPixel(0.06L * m_surface.size().height()));
    // Above left of the cross: the trace after clearing runs on to the right and down.
    const QString name = QStringLiteral("\u03B4c");
    m_surface.text(x - arm - m_surface.textWidth(name, height), y - arm - height, name, height);
    m_surface.moveTo(pen.x(), pen.y()); // where the trace goes on from
}
