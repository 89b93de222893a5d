#pragma once

#include "switchboard.h"

#include <array>
#include <optional>
#include <QFont>
#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

class QPainter;

// The island's droop pictures: why each set takes what it takes. Frequency against kW:
// each set's governor droop line from its no-load set point down to its rating, its
// operating point where the bus's frequency line crosses its power, and the load's total
// split between the sets; voltage against kvar the same with the voltage regulators'
// droop lines down to the reactive rating (0.75 of the rating in kW).

// One set as the pictures show it.
struct DroopSetState {
    bool connected = false;
    double ratingKw = 0;
    double droopPct = 0, setpointHz = 0;              // % of 50 Hz from no load to the rating
    double voltageDroopPct = 0, voltageSetpointV = 0; // % of 380 V to the reactive rating
    double pKw = 0, qKvar = 0;                        // what it gives the bus now
};
struct DroopState {
    std::array<DroopSetState, 2> sets;          // set 1, the running set; set 2, the incoming one
    double busFrequencyHz = 0, busVoltageV = 0; // 0 when the bus is dead
    double loadPKw = 0, loadQKvar = 0;
};
enum class DroopPicture { Frequency, Voltage };

// Where a picture's parts land, in its own units: kW or kvar across, Hz or V up. A part
// with a value that is no number is left out. Values beyond +-1e9 are held there.
struct DroopGeometry {
    double x0 = 0, x1 = 1, y0 = 0, y1 = 1;        // the axes' ranges, on whole ticks
    double xStep = 1, yStep = 1;                  // between the ticks
    std::array<std::optional<QLineF>, 2> lines;   // from no load to the (reactive) rating
    std::array<std::optional<QPointF>, 2> points; // (power, bus) of a set on the bus
    std::optional<double> bus;                    // the bus's line; none when it is dead
    // The load's split along the power axis: set 1 from 0 to split, set 2 from split to
    // total (the sets' powers; the load itself may differ for a moment in a swing).
    std::optional<double> split, total;
};
DroopGeometry droopGeometry(const DroopState &state, DroopPicture picture);
// The switchboard's island as the pictures show it.
DroopState droopState(const Switchboard &board);

// Paints one picture filling `size` on any paint device: scaled from a layout of its own,
// so sharp at any size, at a cost that does not grow with the values.
void paintDroopDiagram(QPainter &p, QSizeF size, const DroopState &state, DroopPicture picture,
                       const QFont &font);
