#include "switchboardinstruments.h"

#include "colour.h"
#include "numberformat.h"
#include "switchboardtext.h"
#include "synchroscope.h"

#include <algorithm>
#include <cmath>
#include <QFontMetricsF>
#include <QPen>
#include <QPolygonF>

namespace {

const QColor Ink(40, 40, 40);

// Where the lamps stand, in the units of their layout: the rotating method's on a circle
// around the layout's middle, the others in a row.
struct LampPlaces {
    QSizeF layout;
    std::array<QPointF, 3> centre;
    std::array<QPointF, 3> label;
    double radius;
};

LampPlaces lampPlaces(LampMethod method) {
    LampPlaces places{};
    if (method == LampMethod::Rotating) {
        places.layout = {240, 240};
        places.radius = 32;
        for (std::size_t i = 0; i < 3; ++i) {
            const double a = rotatingLampPositionDeg(i) * 3.14159265358979323846 / 180;
            const QPointF along(std::sin(a), -std::cos(a));
            places.centre[i] = QPointF(120, 120) + along * 80;
            places.label[i] = QPointF(120, 120) + along * 34;
        }
    } else {
        places.layout = {300, 110};
        places.radius = 36;
        for (std::size_t i = 0; i < 3; ++i) {
            places.centre[i] = QPointF(50 + 100 * double(i), 44);
            places.label[i] = QPointF(places.centre[i].x(), 98);
        }
    }
    return places;
}

// What does not glow: the rotating method's circle, each lamp's rim, the generator's phase
// colour above and the bus's below, and the names. The lamps' own discs are left clear.
void paintLampFittings(QPainter &p, LampMethod method, const LampPlaces &places,
                       const QFont &font) {
    static const std::array<QColor, 3> Phases{toQColor(clRed), toQColor(clLime), toQColor(clBlue)};
    // The bus phase each lamp's lower side meets: its own, but for the rotating method's
    // crossed second and third lamps.
    static constexpr std::size_t Crossed[3] = {0, 2, 1};
    if (method == LampMethod::Rotating) {
        p.setPen(QPen(QColor(150, 150, 150), 2, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(120, 120), 80, 80);
    }
    const double r = places.radius;
    QFont label = font;
    label.setPixelSize(15);
    label.setBold(true);
    p.setFont(label);
    for (std::size_t i = 0; i < 3; ++i) {
        const QPointF c = places.centre[i];
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(c, r, r);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        const QRectF rim(c.x() - r, c.y() - r, 2 * r, 2 * r);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Phases[i], r / 5, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(rim, 0, 180 * 16);
        const std::size_t bus = method == LampMethod::Rotating ? Crossed[i] : i;
        p.setPen(QPen(Phases[bus], r / 5, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(rim, 180 * 16, 180 * 16);
        p.setPen(Ink);
        p.drawText(QRectF(places.label[i] - QPointF(20, 10), QSizeF(40, 20)), Qt::AlignCenter,
                   QStringLiteral("L%1").arg(i + 1));
    }
}

// A meter's band scale in `r`: the track, the target band in green, a tick at zero when
// the range holds it, and the pointer, a triangle at an end when the value is beyond it.
void paintBand(QPainter &p, const QRectF &r, const MeterBand &band) {
    if (!(band.to > band.from) || !std::isfinite(band.from) || !std::isfinite(band.to) ||
        !std::isfinite(band.low) || !std::isfinite(band.high))
        return;
    const auto x = [&](double v) {
        return r.left() + std::clamp((v - band.from) / (band.to - band.from), 0.0, 1.0) * r.width();
    };
    const double mid = r.center().y(), half = r.height() / 4;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(80, 84, 92));
    p.drawRect(QRectF(r.left(), mid - half, r.width(), 2 * half));
    p.setBrush(QColor(60, 190, 90));
    p.drawRect(QRectF(QPointF(x(band.low), mid - half), QPointF(x(band.high), mid + half)));
    if (band.from < 0 && band.to > 0) {
        p.setPen(QPen(QColor(205, 205, 205), 1.5));
        p.drawLine(QPointF(x(0), r.top() + 2), QPointF(x(0), r.bottom() - 2));
    }
    if (!std::isfinite(band.value)) return;
    const double at = x(band.value);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 196, 64));
    const double w = r.height() / 2;
    const QPointF tip(at, mid);
    // Within the range a pointer from above; beyond it an arrow pointing out.
    QPolygonF pointer;
    if (band.value < band.from)
        pointer << tip << QPointF(at + w, r.top()) << QPointF(at + w, r.bottom());
    else if (band.value > band.to)
        pointer << tip << QPointF(at - w, r.top()) << QPointF(at - w, r.bottom());
    else
        pointer << QPointF(at, r.bottom()) << QPointF(at - w, r.top()) << QPointF(at + w, r.top());
    p.drawPolygon(pointer);
}

} // namespace

void fitLayout(QPainter &p, QSizeF size, QSizeF layout) {
    const double scale = std::min(size.width() / layout.width(), size.height() / layout.height());
    p.translate((size.width() - layout.width() * scale) / 2,
                (size.height() - layout.height() * scale) / 2);
    p.scale(scale, scale);
}

void SwitchboardLamps::paint(QPainter &p, QSizeF size, LampMethod method,
                             const std::array<double, 3> &brightness, const QFont &font) {
    size = paintableSize(p, size);
    if (size.isEmpty()) return;
    const LampPlaces places = lampPlaces(method);
    const QImage &fittings = m_fittings.picture(p, size, {method, font}, [&](QPainter &on) {
        fitLayout(on, size, places.layout);
        paintLampFittings(on, method, places, font);
    });
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.save();
    fitLayout(p, size, places.layout);
    p.setPen(Qt::NoPen);
    for (std::size_t i = 0; i < 3; ++i) {
        p.setBrush(lampGlow(brightness[i]));
        p.drawEllipse(places.centre[i], places.radius, places.radius);
    }
    p.restore();
    p.drawImage(QPointF(0, 0), fittings);
    p.restore();
}

void paintMeter(QPainter &p, QSizeF size, const MeterFace &face, const QFont &font) {
    size = paintableSize(p, size);
    if (size.isEmpty()) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    fitLayout(p, size, {240, 120});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 26, 30));
    p.drawRoundedRect(QRectF(0, 0, 240, 120), 8, 8);

    QFont caption = font;
    caption.setPixelSize(17);
    p.setFont(caption);
    p.setPen(QColor(205, 205, 205));
    p.drawText(QRectF(12, 6, 216, 24), Qt::AlignLeft | Qt::AlignVCenter, face.caption);

    // The digits as large as the room for them allows; a band's scale takes some of it.
    const bool banded = face.band.has_value();
    const int digitsPx = banded ? 40 : 50;
    const QRectF digitsRect = banded ? QRectF(10, 28, 168, 46) : QRectF(10, 30, 168, 62);
    QFont digits = font;
    digits.setBold(true);
    digits.setPixelSize(digitsPx);
    const double room = digitsRect.width();
    const double wide = QFontMetricsF(digits).horizontalAdvance(face.value);
    if (wide > room) digits.setPixelSize(std::max(8, int(digitsPx * room / wide)));
    p.setFont(digits);
    p.setPen(face.value == QLatin1String(NoReadingText) ? QColor(120, 120, 120)
                                                        : QColor(255, 196, 64));
    p.drawText(digitsRect, Qt::AlignRight | Qt::AlignVCenter, face.value);
    QFont unit = font;
    unit.setPixelSize(banded ? 20 : 24);
    p.setFont(unit);
    p.setPen(QColor(205, 205, 205));
    p.drawText(QRectF(184, digitsRect.center().y() - 20, 54, 40), Qt::AlignLeft | Qt::AlignVCenter,
               face.unit);

    if (banded) paintBand(p, QRectF(14, 78, 212, 14), *face.band);
    if (!face.note.isEmpty()) {
        QFont note = font;
        note.setPixelSize(banded ? 14 : 16);
        p.setFont(note);
        p.setPen(face.warning ? QColor(255, 90, 80) : QColor(150, 210, 150));
        p.drawText(banded ? QRectF(12, 94, 216, 22) : QRectF(12, 92, 216, 24),
                   Qt::AlignLeft | Qt::AlignVCenter, face.note);
    }
    p.restore();
}
