#include "oppervlakken.h"

#include "constants.h"
#include "labelplacement.h"

#include <cmath>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace {

// Slot 0 at (1, 1) marks a polygon that has not been painted yet.
constexpr std::int32_t NotPaintedY = 1;

PointList freshPolygon(std::int32_t capacity) {
    PointList list(static_cast<std::size_t>(capacity));
    list[0] = QPoint(1, NotPaintedY);
    return list;
}

} // namespace

void Oppervlakken::InitOppervlakken(double delta, double pmech, double r1) {
    const std::int32_t x0 = m_sinus.Hoek2X(delta);
    const std::int32_t yP = m_sinus.Vermogen2Y(pmech);
    const std::int32_t y0 = m_sinus.SinusNulY;
    m_a1OnCurve = r1 > 0;
    if (m_a1OnCurve) {
        // The first vertex is the operating point on the during-fault curve at the start.
        VlakA1 = freshPolygon(m_sinus.VlakCapaciteit);
        VlakA1[1] = QPoint(x0, m_sinus.Vermogen2Y(r1 * std::sin(delta)));
        AantalA1 = 1;
    } else {
        VlakA1 = {QPoint(x0, yP), QPoint(x0, y0), QPoint(x0, y0), QPoint(x0, yP), QPoint(x0, yP)};
        AantalA1 = 0;
    }
    A1Hoek = A1Begin = QPoint(x0, yP);
    VlakHerfout = freshPolygon(m_sinus.VlakCapaciteit);
    AantalHerfout = 0;
    VlakA2 = freshPolygon(m_sinus.VlakCapaciteit);
    AantalA2 = 0;
    VlakA3 = freshPolygon(m_sinus.VlakCapaciteit);
    AantalA3 = 0;
    // A new run's picture holds none of an earlier run's areas: nothing to repaint or erase.
    GetekendA1.clear();
    GetekendHerfout.clear();
    GetekendA2.clear();
    GetekendA3.clear();
    VlakkenActief = true;
    BovenPmech = false;
    A2Klaar = false;
    A3Wacht = true;
    m_a2Interrupted = false;
    m_zonderFout = false;
    m_a1Klaar = false;
    m_voorbijPi = false;
}

void Oppervlakken::InitZonderFout(double delta, double pmech, double r) {
    // A1's first vertex is the operating point on the curve in force at the start, as on
    // a network that carries power during a fault.
    InitOppervlakken(delta, pmech, r);
    m_zonderFout = true;
    m_pmech = pmech;
    m_delta1 = r > 0 && pmech >= 0 && pmech <= r ? std::asin(pmech / r)
                                                 : std::numeric_limits<double>::quiet_NaN();
    VorigeDelta = delta;
}

void Oppervlakken::TekenOppervlakken(double delta, double pelek, double pmech,
                                     NetworkState network) {
    if (!VlakkenActief) return;
    if (delta > Pi) { // out of the picture's period: nothing changes
        m_voorbijPi = true;
        return;
    }
    if (m_zonderFout) {
        tekenZonderFout(delta, pelek);
        return;
    }

    if (network == NetworkState::Fault) { // A1 widens under the curve in force
        widenA1(delta, pelek);
        VorigeDelta = delta;
        return;
    }
    if (network == NetworkState::Refault) {
        // Reclosed onto the fault: the rotor accelerates again, from the angle of the
        // last update before.
        const QPoint start(AantalHerfout == 0 ? m_sinus.Hoek2X(VorigeDelta) : VlakHerfout[0].x(),
                           A1Hoek.y());
        extend(VlakHerfout, AantalHerfout, GetekendHerfout, start, delta, pelek,
               BrushStyle::RisingHatch);
        // Erasing its last outline may have whitened lines of A1 beneath: A1 again.
        const PointList &a1 = m_a1OnCurve ? GetekendA1 : VlakA1;
        if (!a1.empty()) TekenVeelhoek(clBlue, clLime, BrushStyle::RisingHatch, a1);
        if (AantalA2 > 0 && !A2Klaar) m_a2Interrupted = true;
        VorigeDelta = delta;
        return;
    }

    m_a1Klaar = true;
    if (!A2Klaar) {
        // The first smaller angle freezes A2; that update still adds its vertex.
        if (VorigeDelta > delta) A2Klaar = true;
        if (m_a2Interrupted) bridgeA2(delta);
        VorigeDelta = delta;
        extend(VlakA2, AantalA2, GetekendA2, A1Hoek, delta, pelek);
    }

    if (PmechGekruist(pelek, pmech) && A2Klaar) A3Wacht = false;
    if (A3Wacht) return;

    // The first larger angle on the back swing ends the updates; it is still drawn.
    if (VorigeDelta < delta) VlakkenActief = false;
    VorigeDelta = delta;
    extend(VlakA3, AantalA3, GetekendA3, A1Begin, delta, pelek);
}

// As after a fault's clearing, the first smaller angle ends the areas and still adds its
// vertex. A swing that turns before delta1 (a fall in power) sweeps no area.
void Oppervlakken::tekenZonderFout(double delta, double pelek) {
    const bool rising = delta >= VorigeDelta;
    VorigeDelta = delta;
    if (!m_a1Klaar) {
        if (!rising) {
            VlakkenActief = false;
            return;
        }
        // Below delta1 the curve lies under the Pmech line (never reached without an
        // equilibrium: the comparison with no number is false).
        if (!(delta > m_delta1)) {
            extend(VlakA1, AantalA1, GetekendA1, A1Begin, delta, pelek, BrushStyle::RisingHatch);
            return;
        }
        // A1 ends where the curve meets the Pmech line, and A2 starts there.
        extend(VlakA1, AantalA1, GetekendA1, A1Begin, m_delta1, m_pmech, BrushStyle::RisingHatch);
        A1Hoek = QPoint(m_sinus.Hoek2X(m_delta1), A1Begin.y());
        m_a1Klaar = true;
    }
    extend(VlakA2, AantalA2, GetekendA2, A1Hoek, delta, pelek);
    if (!rising) {
        A2Klaar = true;
        VlakkenActief = false;
    }
}

std::vector<std::pair<QString, QRect>> Oppervlakken::TekenNamen() {
    std::vector<std::pair<QString, QRect>> names;
    const auto add = [&](const PointList &area, const char *name) {
        if (const std::optional<QRect> box = nameBox(area, QString::fromLatin1(name)))
            names.emplace_back(QString::fromLatin1(name), *box);
    };
    if (m_a1Klaar) add(m_a1OnCurve ? GetekendA1 : VlakA1, "A1");
    if (A2Klaar || m_voorbijPi) add(GetekendA2, "A2");
    // A3 once the back swing has turned: the area below the starting angle where the
    // curve lies under the Pmech line, which brakes the swing back.
    if (!A3Wacht && !VlakkenActief) add(GetekendA3, "A3");
    // Thin areas side by side would put their names on one another: a name that would
    // touch one before it moves up or down by rows.
    const int height = m_sinus.labelHeight();
    std::vector<LabelRequest> requests;
    requests.reserve(names.size());
    for (const auto &[name, box] : names)
        requests.push_back({box, QPoint(0, height + m_surface.scaled(1)), true});
    const std::vector<QRect> placed =
        placeLabels(requests, QRect(QPoint(0, 0), m_surface.size()), m_surface.scaled(1));
    m_surface.setPenColour(clBlack);
    for (std::size_t i = 0; i < names.size(); ++i) {
        names[i].second = placed[i];
        m_surface.text(placed[i].left(), placed[i].top(), names[i].first, height);
    }
    return names;
}

// At the polygon's centroid (the shoelace formula), where a polygon of these shapes has
// its inside; a polygon of no area, or a name that would leave the picture, is not named.
std::optional<QRect> Oppervlakken::nameBox(const PointList &area, const QString &name) const {
    // The polygon closes from its last vertex back to its first, as it is painted.
    long double twiceArea = 0, cx = 0, cy = 0;
    for (std::size_t i = 0; i < area.size(); ++i) {
        const QPoint &next = area[(i + 1) % area.size()];
        const long double x0 = area[i].x(), y0 = area[i].y();
        const long double x1 = next.x(), y1 = next.y();
        const long double cross = x0 * y1 - x1 * y0;
        twiceArea += cross;
        cx += (x0 + x1) * cross;
        cy += (y0 + y1) * cross;
    }
    if (!(std::fabs(twiceArea) >= 2)) return std::nullopt; // less than a pixel's area
    const long double x = cx / (3 * twiceArea), y = cy / (3 * twiceArea);
    const int height = m_sinus.labelHeight();
    const int width = m_surface.textWidth(name, height);
    const QSize size = m_surface.size();
    if (!(x - width / 2.0L >= 0 && x + width / 2.0L <= size.width() && y - height / 2.0L >= 0 &&
          y + height / 2.0L <= size.height()))
        return std::nullopt;
    return QRect(static_cast<int>(x) - width / 2, static_cast<int>(y) - height / 2, width, height);
}

// The fault was on again since A2's last vertex: A2's outline goes down to the Pmech line
// there and along it to the present angle, so that A2 holds only the angles where the
// after-clearing curve was in force, not a chord across the second fault period.
void Oppervlakken::bridgeA2(double delta) {
    m_a2Interrupted = false;
    const std::int32_t n = AantalA2;
    if (n + 4 >= static_cast<std::int32_t>(VlakA2.size())) return; // full: as extend
    const std::int32_t y = A1Hoek.y();
    VlakA2[static_cast<std::size_t>(n) + 1] = QPoint(VlakA2[static_cast<std::size_t>(n)].x(), y);
    VlakA2[static_cast<std::size_t>(n) + 2] = QPoint(m_sinus.Hoek2X(delta), y);
    AantalA2 = n + 2;
}

void Oppervlakken::widenA1(double delta, double pelek) {
    if (m_a1OnCurve) {
        extend(VlakA1, AantalA1, GetekendA1, A1Begin, delta, pelek, BrushStyle::RisingHatch);
        if (AantalA1 > 0) A1Hoek = VlakA1[static_cast<std::size_t>(AantalA1) + 1];
        return;
    }
    // No power during the fault: A1 is the rectangle down to the angle axis.
    TekenVeelhoek(clWhite, clWhite, BrushStyle::RisingHatch, VlakA1);
    const std::int32_t x = m_sinus.Hoek2X(delta);
    VlakA1[2] = QPoint(x, VlakA1[1].y());
    VlakA1[3] = QPoint(x, VlakA1[0].y());
    TekenVeelhoek(clBlue, clLime, BrushStyle::RisingHatch, VlakA1);
    A1Hoek = VlakA1[3];
}

void Oppervlakken::extend(PointList &vlak, std::int32_t &aantal, PointList &getekend, QPoint start,
                          double delta, double pelek, BrushStyle hatch) {
    const std::int32_t n = aantal + 1;
    if (n + 2 >= static_cast<std::int32_t>(vlak.size())) return; // full: the area stays as is
    if (vlak[0].y() != NotPaintedY) TekenVeelhoek(clWhite, clWhite, hatch, getekend);
    aantal = n;
    vlak[0] = start;
    const QPoint punt(m_sinus.Hoek2X(delta), m_sinus.Vermogen2Y(pelek));
    const auto at = [&vlak](std::int32_t slot) -> QPoint & {
        return vlak[static_cast<std::size_t>(slot)];
    };
    at(n) = punt;
    at(n + 1) = QPoint(punt.x(), start.y());
    at(n + 2) = start;
    getekend.assign(vlak.begin(), vlak.begin() + n + 2);
    TekenVeelhoek(clBlue, clLime, hatch, getekend);
}

void Oppervlakken::TekenVeelhoek(Colour pen, Colour brush, BrushStyle style,
                                 const PointList &points) {
    m_surface.setPenColour(pen);
    m_surface.setBrush(brush, style);
    m_surface.polygon(points);
}

bool Oppervlakken::PmechGekruist(double pelek, double pmech) {
    const bool boven = pelek >= pmech;
    if (boven == BovenPmech) return false;
    BovenPmech = boven;
    return true;
}
