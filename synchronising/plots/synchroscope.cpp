#include "synchroscope.h"

#include "constants.h"
#include "numberformat.h"
#include "switchboardtext.h"

#include <algorithm>
#include <cmath>
#include <QPainterPath>
#include <QTransform>

namespace {

// The dial is laid out in units of a 100-unit radius, within a square of this side.
constexpr double DialSquare = 232;

// A point on the dial `radius` from the middle, `clock` degrees clockwise from twelve.
QPointF onDial(double clock, double radius) {
    const double a = clock * Pi / 180;
    return {radius * std::sin(a), -radius * std::cos(a)};
}

// An arc along the dial from `from` to `to` (degrees clockwise from twelve) with an
// arrowhead at `to`: the way the needle turns.
void arcArrow(QPainter &p, double from, double to, double radius) {
    QPainterPath path(onDial(from, radius));
    const QRectF circle(-radius, -radius, 2 * radius, 2 * radius);
    path.arcTo(circle, 90 - from, from - to); // Qt counts anticlockwise from three o'clock
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    const double dir = to > from ? 1 : -1;
    const QPointF tip = onDial(to + dir * 8, radius);
    p.setBrush(p.pen().color());
    p.drawPolygon(QPolygonF{tip, onDial(to, radius - 5), onDial(to, radius + 5)});
}

// The needle pointing at twelve, through the middle with a short tail, over a hub.
const QPolygonF Needle{{-5, 0}, {0, -90}, {5, 0}, {0, 22}};
constexpr double HubRadius = 8;

// The automatic synchroniser's command mark: a blue wedge on the rim pointing in, and a
// line to the scale, where the needle is when the close command goes.
void commandMark(QPainter &p, double clock) {
    p.setPen(QPen(QColor(30, 80, 200), 2.5));
    p.drawLine(onDial(clock, 100), onDial(clock, 80));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 80, 200));
    p.drawPolygon(QPolygonF{onDial(clock, 99), onDial(clock - 5, 110), onDial(clock + 5, 110)});
}

} // namespace

QSizeF paintableSize(const QPainter &p, QSizeF size) {
    if (!(size.width() > 0 && size.height() > 0)) return {}; // also no number
    if (const QPaintDevice *device = p.device();
        device && device->width() > 0 && device->height() > 0)
        size = size.boundedTo(QSizeF(device->width(), device->height()));
    return size;
}

QRect synchroscopeNeedleBounds(QSizeF size, double phiDeg) {
    const QRect whole = QRectF(QPointF(0, 0), size).toAlignedRect();
    if (!std::isfinite(phiDeg) || size.isEmpty()) return whole;
    QTransform toPicture;
    const double side = std::min(size.width(), size.height());
    toPicture.translate(size.width() / 2.0, size.height() / 2.0);
    toPicture.scale(side / DialSquare, side / DialSquare);
    toPicture.rotate(phiDeg);
    const QRectF hub(-HubRadius, -HubRadius, 2 * HubRadius, 2 * HubRadius);
    const QRectF needle = toPicture.map(Needle).boundingRect() | toPicture.mapRect(hub);
    return needle.toAlignedRect().adjusted(-2, -2, 2, 2) & whole;
}

QImage keptPicture(QSizeF size, qreal ratio) {
    QImage picture((size * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    return picture;
}

namespace {

const QColor Ink(40, 40, 40);

// The dial's units: its middle at the origin, a 100-unit radius, in the middle of `size`.
void toDialUnits(QPainter &p, QSizeF size) {
    const double side = std::min(size.width(), size.height());
    p.translate(size.width() / 2.0, size.height() / 2.0);
    p.scale(side / DialSquare, side / DialSquare);
}

QFont labelFont(const QFont &font) {
    QFont label = font;
    label.setPixelSize(14);
    label.setBold(true);
    return label;
}

// What stands still: the face, the sectors, the scale, and the FAST and SLOW arrows.
void paintDial(QPainter &p, double acceptedHalfAngleDeg, double someOrientationsHalfAngleDeg,
               const QFont &font) {
    p.setPen(QPen(Ink, 4));
    p.setBrush(QColor(250, 250, 242));
    p.drawEllipse(QPointF(0, 0), 104, 104);

    // The angles accepted at some orientations of the tips only, lighter, behind.
    if (std::isfinite(someOrientationsHalfAngleDeg) && someOrientationsHalfAngleDeg > 0) {
        const double half = std::min(someOrientationsHalfAngleDeg, 180.0);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 180, 70, 55));
        p.drawPie(QRectF(-100, -100, 200, 200), qRound((90 - half) * 16), qRound(2 * half * 16));
    }

    // The accepted sector, centred on twelve o'clock.
    if (std::isfinite(acceptedHalfAngleDeg) && acceptedHalfAngleDeg > 0) {
        const double half = std::min(acceptedHalfAngleDeg, 180.0);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 180, 70, 130));
        p.drawPie(QRectF(-100, -100, 200, 200), qRound((90 - half) * 16), qRound(2 * half * 16));
    }

    // Scale marks every 10 degrees, long ones every 30.
    p.setPen(QPen(Ink, 1.5));
    for (int mark = 0; mark < 360; mark += 10)
        p.drawLine(onDial(mark, 100), onDial(mark, mark % 30 == 0 ? 86 : 93));
    p.setPen(QPen(Ink, 3));
    p.drawLine(onDial(0, 100), onDial(0, 80));

    p.setFont(labelFont(font));
    p.setPen(QPen(Ink, 2));
    arcArrow(p, 15, 45, 74);
    arcArrow(p, -15, -45, 74);
    const QSizeF box(70, 20);
    p.drawText(QRectF(onDial(62, 50) - QPointF(box.width() / 2, box.height() / 2), box),
               Qt::AlignCenter, QStringLiteral("FAST"));
    p.drawText(QRectF(onDial(-62, 50) - QPointF(box.width() / 2, box.height() / 2), box),
               Qt::AlignCenter, QStringLiteral("SLOW"));
}

// What moves: the command mark, the seconds a turn, and the needle over its hub. A kept
// `turnText` keeps the laid-out text of the seconds a turn from frame to frame: laying a
// text out costs more than the rest of a frame, and it changes a few times a second.
void paintMoving(QPainter &p, double phiDeg, const QFont &font, const SynchroscopeMarks &marks,
                 QStaticText *turnText = nullptr) {
    if (std::isfinite(marks.commandAtDeg)) commandMark(p, marks.commandAtDeg);
    if (marks.showTurnTime) {
        QString turn = turnTimeText(marks.secondsPerTurn);
        if (std::fabs(marks.secondsPerTurn) < 999.95) turn += QStringLiteral(" s/turn");
        p.setFont(labelFont(font));
        p.setPen(Ink);
        const QRectF box(-60, 40, 120, 20);
        if (turnText) {
            if (turnText->text() != turn) turnText->setText(turn);
            const QSizeF size = turnText->size();
            p.drawStaticText(box.center() - QPointF(size.width() / 2, size.height() / 2),
                             *turnText);
        } else {
            p.drawText(box, Qt::AlignCenter, turn);
        }
    }

    // The needle, through the middle with a short tail.
    if (std::isfinite(phiDeg)) {
        p.save();
        p.rotate(phiDeg); // positive angles turn clockwise on the screen
        p.setPen(QPen(QColor(20, 20, 20), 1));
        p.setBrush(QColor(190, 30, 30));
        p.drawPolygon(Needle);
        p.restore();
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawEllipse(QPointF(0, 0), HubRadius, HubRadius);
}

} // namespace

void paintSynchroscope(QPainter &p, QSizeF size, double phiDeg, double acceptedHalfAngleDeg,
                       double someOrientationsHalfAngleDeg, const QFont &font,
                       const SynchroscopeMarks &marks) {
    size = paintableSize(p, size);
    if (size.isEmpty()) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    toDialUnits(p, size);
    paintDial(p, acceptedHalfAngleDeg, someOrientationsHalfAngleDeg, font);
    paintMoving(p, phiDeg, font, marks);
    p.restore();
}

void KeptDialSynchroscope::paint(QPainter &p, QSizeF size, double phiDeg,
                                 double acceptedHalfAngleDeg, const QFont &font,
                                 const SynchroscopeMarks &marks) {
    size = paintableSize(p, size);
    if (size.isEmpty()) return;
    p.drawImage(QPointF(0, 0),
                m_dial.picture(p, size, {acceptedHalfAngleDeg, font}, [&](QPainter &dial) {
                    toDialUnits(dial, size);
                    paintDial(dial, acceptedHalfAngleDeg, 0, font);
                }));
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    toDialUnits(p, size);
    paintMoving(p, phiDeg, font, marks, &m_turnText);
    p.restore();
}

QColor lampGlow(double brightness) {
    // A voltage above the largest a lamp is made for still glows no brighter; one that is
    // no number shows dark.
    const double b = std::isfinite(brightness) ? std::clamp(brightness, 0.0, 1.0) : 0;
    const QColor dark(62, 58, 52), full(255, 236, 130);
    return QColor::fromRgbF(float(dark.redF() + b * (full.redF() - dark.redF())),
                            float(dark.greenF() + b * (full.greenF() - dark.greenF())),
                            float(dark.blueF() + b * (full.blueF() - dark.blueF())));
}

void paintLamps(QPainter &p, QSizeF size, const std::array<double, 3> &brightness,
                const std::array<Colour, 3> &phases) {
    size = paintableSize(p, size);
    if (size.isEmpty()) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double cell = size.width() / 3.0;
    const double radius = std::max(4.0, std::min(cell, size.height()) * 0.36);
    for (std::size_t i = 0; i < 3; ++i) {
        const QColor glow = lampGlow(brightness[i]);
        const QPointF centre((double(i) + 0.5) * cell, size.height() / 2.0);
        p.setPen(QPen(toQColor(phases[i]), std::max(2.0, radius / 6)));
        p.setBrush(glow);
        p.drawEllipse(centre, radius, radius);
    }
    p.restore();
}
