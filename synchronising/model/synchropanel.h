#pragma once

#include "schakelen.h"
#include "tvector.h"

#include <array>

// What a synchronising panel shows of the network and the generator: a synchroscope's
// phase difference and slip, three lamps in the dark-lamp connection, and the current a
// close at this moment would drive. Computed from the phasors' angles and lengths, not
// from their rounded pixels. Angles of phasors are in half-turns (Tvector).

// The subtransient reactance X"d of a typical generator, per-unit: it alone limits the
// current when the breaker closes across a voltage difference.
constexpr double SubtransientReactance = 0.2;

struct PanelReading {
    double phaseDifferenceDeg = 0;       // generator minus network, red phases, (-180, 180]
    double generatorVolts = 0;           // line voltage, as the main window computes it
    double generatorHz = 0;              // as the main window shows it: never negative
    double voltageDifferencePercent = 0; // of the network's 380 V, signed
    double slipHz = 0; // generator minus network; negative when slower or turning backwards
    // Each lamp across the network's phasor and the generator's of the same colour, in
    // the network's phase order: 0 dark, 1 full (the two phasors opposite).
    std::array<double, 3> lamps{};
    // The closing current in multiples of the rated current: the largest of the three
    // phases' currents, each the difference of its network's and generator's voltages,
    // per-unit of the network's phase voltage, over X"d. With the phase order wrong two
    // phases stand 120 degrees apart whatever the red phases do. The moment does not
    // show a wrong rotation direction: the arrows keep the network's layout.
    double closingCurrent = 0;
    // What a phase-sequence indicator on the panel shows.
    bool phaseOrderRight = true;
    bool directionRight = true; // turns the network's way, or stands still
};

PanelReading readPanel(const Phasors &net, const Phasors &gen, double netStep, double genStep);

// Half the sector of phase differences that the switching check accepts at any
// orientation for equal voltages: the tips closer than maxAngle percent of the arrow's
// length, 2 arcsin(limit / 2 length) (11.5 degrees for 20).
double acceptedHalfAngleDeg(int maxAngle);
// Half the sector that the square window accepts at some orientations only: its corners
// lie sqrt(2) times as far out, 2 arcsin(sqrt(2) limit / 2 length) (16.3 degrees for
// 20; 180 once that passes a half-turn).
double someOrientationsHalfAngleDeg(int maxAngle);

// What the panel keeps of a press of "Switch": the reading and the verdict at that moment.
struct SwitchingRecord {
    PanelReading at;
    SchakelOordeel oordeel;
};
