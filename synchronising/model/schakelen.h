#pragma once

#include "tvector.h"

// The conditions for connecting the generator to the network, judged on the phasors
// as the last tick drew them. Position 1 of the network is always its red phase.

// The generator's phasor of the network's first phase has its tip within a square
// window around the network's tip, of half-width maxAngle percent of the network
// phasor's length.
bool HoekGoed(const Phasors &net, const Phasors &gen, int maxAngle);
// Read cyclically in position order, the generator's phases follow the network's.
bool FaseVolgordeGoed(const Phasors &net, const Phasors &gen);

// The generator turns the network's way, or stands still: the steps' signs agree.
bool turnsTheNetworksWay(double netStep, double genStep);

struct SchakelOordeel {
    bool hoekGoed = false;
    bool draairichtingGoed = false; // turns the network's way, or stands still
    bool spanningGoed = false;      // arrow length within 10 % of the network's
    bool faseVolgordeGoed = false;
    bool goed() const { return hoekGoed && draairichtingGoed && spanningGoed && faseVolgordeGoed; }
};

SchakelOordeel beoordeelSchakelen(const Phasors &net, const Phasors &gen, double netStep,
                                  double genStep, int maxAngle);

// The angle in degrees by which the network's first phase leads the same phase of the
// generator, from the arrows' tip pixels: -360 .. 360.
long double Fasehoek(const Phasors &net, const Phasors &gen);
