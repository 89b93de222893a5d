#include "switchboardinstruments.h"

#include "colour.h"
#include "numberformat.h"
#include "synchroscope.h"

#include <algorithm>
#include <cmath>
#include <QFontMetricsF>

namespace {

const QString NoReading = QStringLiteral("---");

const QColor Ink(40, 40, 40);

// Scales the painter so that a picture laid out in `layout` units fills as much of `size`
// as it can, centred.
void fitLayout(QPainter &p, QSizeF size, QSizeF layout) {
    const double scale = std::min(size.width() / layout.width(), size.height() / layout.height());
    p.translate((size.width() - layout.width() * scale) / 2,
                (size.height() - layout.height() * scale) / 2);
    p.scale(scale, scale);
}

// The bus phase each lamp's lower side meets: its own, but for the rotating method's
// crossed second and third lamps.
std::size_t busPhaseOf(LampMethod method, std::size_t lamp) {
    static constexpr std::size_t Crossed[3] = {0, 2, 1};
    return method == LampMethod::Rotating ? Crossed[lamp] : lamp;
}

void paintLamp(QPainter &p, QPointF centre, double radius, double brightness, QColor generator,
               QColor bus) {
    p.setPen(Qt::NoPen);
    p.setBrush(lampGlow(brightness));
    p.drawEllipse(centre, radius, radius);
    const QRectF rim(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(generator, radius / 5, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(rim, 0, 180 * 16);
    p.setPen(QPen(bus, radius / 5, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(rim, 180 * 16, 180 * 16);
}

QString signedFixed(double value, int decimals) {
    if (!std::isfinite(value)) return NoReading;
    QString text = formatFixed(std::fabs(value), 15, decimals);
    // The sign of what is shown: a value that rounds to nothing has none.
    const bool zero = std::all_of(text.cbegin(), text.cend(),
                                  [](QChar c) { return !c.isDigit() || c == QChar('0'); });
    if (!zero) text.prepend(value > 0 ? QChar('+') : QChar('-'));
    return text;
}

} // namespace

void paintSwitchboardLamps(QPainter &p, QSizeF size, LampMethod method,
                           const std::array<double, 3> &brightness, const QFont &font) {
    size = paintableSize(p, size);
    if (size.isEmpty()) return;
    static const std::array<QColor, 3> Phases{toQColor(clRed), toQColor(clLime), toQColor(clBlue)};
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QFont label = font;
    label.setPixelSize(15);
    label.setBold(true);
    p.setFont(label);
    const auto name = [](std::size_t i) { return QStringLiteral("L%1").arg(i + 1); };
    if (method == LampMethod::Rotating) {
        fitLayout(p, size, {240, 240});
        p.translate(120, 120);
        p.setPen(QPen(QColor(150, 150, 150), 2, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(0, 0), 80, 80);
        for (std::size_t i = 0; i < 3; ++i) {
            const double a = rotatingLampPositionDeg(i) * 3.14159265358979323846 / 180;
            const QPointF along(std::sin(a), -std::cos(a));
            paintLamp(p, along * 80, 32, brightness[i], Phases[i], Phases[busPhaseOf(method, i)]);
            p.setPen(Ink);
            p.drawText(QRectF(along * 34 - QPointF(16, 10), QSizeF(32, 20)), Qt::AlignCenter,
                       name(i));
        }
    } else {
        fitLayout(p, size, {300, 110});
        for (std::size_t i = 0; i < 3; ++i) {
            const QPointF centre(50 + 100 * double(i), 44);
            paintLamp(p, centre, 36, brightness[i], Phases[i], Phases[busPhaseOf(method, i)]);
            p.setPen(Ink);
            p.drawText(QRectF(centre.x() - 20, 88, 40, 20), Qt::AlignCenter, name(i));
        }
    }
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

    // The digits as large as the room for them allows.
    QFont digits = font;
    digits.setBold(true);
    digits.setPixelSize(50);
    const double room = 168;
    const double wide = QFontMetricsF(digits).horizontalAdvance(face.value);
    if (wide > room) digits.setPixelSize(std::max(8, int(50 * room / wide)));
    p.setFont(digits);
    p.setPen(face.value == NoReading ? QColor(120, 120, 120) : QColor(255, 196, 64));
    p.drawText(QRectF(10, 30, room, 62), Qt::AlignRight | Qt::AlignVCenter, face.value);
    QFont unit = font;
    unit.setPixelSize(24);
    p.setFont(unit);
    p.setPen(QColor(205, 205, 205));
    p.drawText(QRectF(184, 46, 54, 40), Qt::AlignLeft | Qt::AlignVCenter, face.unit);

    if (!face.note.isEmpty()) {
        QFont note = font;
        note.setPixelSize(16);
        p.setFont(note);
        p.setPen(face.warning ? QColor(255, 90, 80) : QColor(150, 210, 150));
        p.drawText(QRectF(12, 92, 216, 24), Qt::AlignLeft | Qt::AlignVCenter, face.note);
    }
    p.restore();
}

QString voltsReading(double volts) {
    return std::isfinite(volts) ? formatFixed(volts, 15, 1) : NoReading;
}

QString hertzReading(double hertz) {
    return std::isfinite(hertz) ? formatFixed(hertz, 15, 2) : NoReading;
}

QString powerReading(double percent) {
    return signedFixed(percent, 1);
}
