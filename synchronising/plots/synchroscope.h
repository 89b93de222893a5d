#pragma once

#include "colour.h"

#include <array>
#include <QFont>
#include <QPainter>
#include <QSizeF>

// A synchroscope painted on any paint device, in a square as large as `size` allows: a
// dial whose needle stands at the phase difference between the generator and the
// network, clockwise from twelve o'clock, so that it turns clockwise ("FAST") when the
// generator runs ahead and anticlockwise ("SLOW") when it lags; the shaded sector around
// twelve holds the angles at which the switching check accepts a close at any
// orientation, a lighter band beyond it those it accepts at some orientations only. Laid
// out from a 100-unit radius and antialiased: sharp at any size. No
// needle for an angle that is no number.
void paintSynchroscope(QPainter &p, QSizeF size, double phiDeg, double acceptedHalfAngleDeg,
                       double someOrientationsHalfAngleDeg, const QFont &font);

// Three synchronising lamps in the dark-lamp connection side by side, each glowing with
// its brightness from 0 (dark) to 1 (full), its rim in the colour of its network phase.
void paintLamps(QPainter &p, QSizeF size, const std::array<double, 3> &brightness,
                const std::array<Colour, 3> &phases);
