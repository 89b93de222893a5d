#pragma once

#include "switchboard.h"
#include "synchroscope.h"

#include <array>
#include <optional>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSizeF>
#include <QString>

// The switchboard's lamps and meters, painted on any paint device from the values they
// show, laid out in units of their own and scaled to the size given, antialiased: sharp
// at any size, and no dearer than the device's pixels.

// Scales the painter so that a picture laid out in `layout` units fills as much of `size`
// as it can, centred.
void fitLayout(QPainter &p, QSizeF size, QSizeF layout);

// The three synchronising lamps: side by side for the dark and the bright method, on a
// circle for the rotating one, lamp i at rotatingLampPositionDeg(i) clockwise from twelve,
// so that the dark spot turns clockwise when the generator runs fast. Each glows with its
// brightness from 0 (dark) to 1 (full); its rim shows how it is wired, the generator's
// phase colour in its upper half and the bus's in its lower; each is named L1, L2, L3.
// What does not glow is painted once for the size, device pixels, method and font and
// kept, so that a frame paints three discs and the kept picture over them.
class SwitchboardLamps {
public:
    void paint(QPainter &p, QSizeF size, LampMethod method, const std::array<double, 3> &brightness,
               const QFont &font);

private:
    KeptPicture<std::pair<LampMethod, QFont>> m_fittings; // for the method and the font
};

// A scale under a meter's digits: the range `from` to `to`, the target band `low` to
// `high` on it in green, and a pointer at `value`, held at an end when beyond it.
struct MeterBand {
    double from = -1, to = 1;
    double low = 0, high = 0;
    double value = 0;
};
// A digital meter: its caption above, the value in large digits with its unit, and a note
// under them, in red when it warns; with a band, the scale between the digits and the note.
struct MeterFace {
    QString caption;
    QString value;
    QString unit;
    QString note;
    bool warning = false;
    std::optional<MeterBand> band;
};
void paintMeter(QPainter &p, QSizeF size, const MeterFace &face, const QFont &font);
