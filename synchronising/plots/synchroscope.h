#pragma once

#include "colour.h"

#include <array>
#include <limits>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSizeF>
#include <QStaticText>
#include <utility>

// A synchroscope painted on any paint device, in a square as large as `size` allows: a
// dial whose needle stands at the phase difference between the generator and the
// network, clockwise from twelve o'clock, so that it turns clockwise ("FAST") when the
// generator runs ahead and anticlockwise ("SLOW") when it lags; the shaded sector around
// twelve holds the angles at which the switching check accepts a close at any
// orientation, a lighter band beyond it those it accepts at some orientations only. Laid
// out from a 100-unit radius and antialiased: sharp at any size. No
// needle for an angle that is no number.
// What a switchboard's synchroscope shows besides: a mark at the angle where the automatic
// synchroniser gives its close command (degrees clockwise from twelve; none when no
// number), and the seconds the needle takes for a turn.
struct SynchroscopeMarks {
    double commandAtDeg = std::numeric_limits<double>::quiet_NaN();
    bool showTurnTime = false;
    double secondsPerTurn = std::numeric_limits<double>::quiet_NaN();
};
void paintSynchroscope(QPainter &p, QSizeF size, double phiDeg, double acceptedHalfAngleDeg,
                       double someOrientationsHalfAngleDeg, const QFont &font,
                       const SynchroscopeMarks &marks = {});

// An empty, transparent picture of `size` at `ratio` device pixels a pixel, for what a
// drawing paints once and keeps (a dial, the lamps' fittings).
QImage keptPicture(QSizeF size, qreal ratio);

// A picture painted once and kept for a size, the device's pixels and what else it was
// painted for (`Key`: a dial's sector and font, the lamps' method and font): what a drawing
// painted anew many times a second does not repaint each frame.
template <class Key> class KeptPicture {
public:
    // The picture for `size` on `p`'s device and `key`, painted anew by `paintOn`, on a
    // transparent, antialiased picture at the device's pixels, when any of them changed.
    template <class Paint>
    const QImage &picture(const QPainter &p, QSizeF size, const Key &key, Paint paintOn) {
        const qreal ratio = p.device() ? p.device()->devicePixelRatioF() : 1.0;
        if (size != m_size || ratio != m_ratio || !(key == m_key)) {
            m_size = size;
            m_ratio = ratio;
            m_key = key;
            m_picture = keptPicture(size, ratio);
            QPainter on(&m_picture);
            on.setRenderHint(QPainter::Antialiasing);
            paintOn(on);
        }
        return m_picture;
    }

private:
    QImage m_picture;
    QSizeF m_size;
    qreal m_ratio = 0;
    Key m_key{};
};

// The same synchroscope for a picture painted anew many times a second: its dial, all
// that stands still, is painted once for the size, device pixels, sector and font it
// has and kept, so that a frame paints the kept dial and only what moves over it.
class KeptDialSynchroscope {
public:
    void paint(QPainter &p, QSizeF size, double phiDeg, double acceptedHalfAngleDeg,
               const QFont &font, const SynchroscopeMarks &marks);

private:
    KeptPicture<std::pair<double, QFont>> m_dial; // for the sector and the font
    QStaticText m_turnText;
};

// What a synchroscope painted in `size` must paint again when only its needle moves: the
// needle at `phiDeg` with its hub and a pixel of the antialiasing around, in the picture's
// pixels; the whole picture for an angle that is no number.
QRect synchroscopeNeedleBounds(QSizeF size, double phiDeg);

// The part of `size` the painter's device can show: nothing for a size that is no number
// or not positive, and no more than the device, so that a huge size costs no more than
// the device's pixels.
QSizeF paintableSize(const QPainter &p, QSizeF size);

// A synchronising lamp's colour at its brightness from 0 (dark) to 1 (full).
QColor lampGlow(double brightness);

// Three synchronising lamps in the dark-lamp connection side by side, each glowing with
// its brightness from 0 (dark) to 1 (full), its rim in the colour of its network phase.
void paintLamps(QPainter &p, QSizeF size, const std::array<double, 3> &brightness,
                const std::array<Colour, 3> &phases);
