#include "synchropanel.h"

#include "constants.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace {

using Phasor = std::complex<long double>;

Phasor phasor(const Tvector &v) {
    return std::polar(static_cast<long double>(v.Length), Pi * v.Angle);
}

const Tvector &sameColour(const Phasors &list, Colour colour) {
    for (const Tvector &v : list)
        if (v.PhaseColor == colour) return v;
    return list[0]; // the generator's colours are always a permutation of the network's
}

} // namespace

PanelReading readPanel(const Phasors &net, const Phasors &gen, double netStep, double genStep) {
    PanelReading r;
    const Tvector &netRed = net[0];
    const Tvector &genRed = sameColour(gen, netRed.PhaseColor);

    // Half-turns to degrees, brought into (-180, 180].
    long double phi =
        std::remainder((static_cast<long double>(genRed.Angle) - netRed.Angle) * 180, 360.0L);
    if (phi <= -180) phi += 360;
    r.phaseDifferenceDeg = static_cast<double>(phi);

    const long double netLength = netRed.Length;
    r.generatorVolts = static_cast<double>(gen[0].Length / netLength * NetworkLineVoltage);
    const long double signedHz = NetworkFrequency / netStep * genStep;
    r.generatorHz = static_cast<double>(std::fabs(signedHz));
    r.voltageDifferencePercent =
        static_cast<double>((r.generatorVolts - NetworkLineVoltage) / NetworkLineVoltage * 100);
    r.slipHz = static_cast<double>(signedHz - NetworkFrequency);

    // One voltage difference a phase: the lamp across it shows it, and it drives that
    // phase's current at the close.
    long double largest = 0;
    for (std::size_t i = 0; i < net.size(); ++i) {
        const long double difference =
            std::abs(phasor(net[i]) - phasor(sameColour(gen, net[i].PhaseColor)));
        r.lamps[i] = static_cast<double>(difference / (2 * netLength));
        largest = std::max(largest, difference);
    }
    r.closingCurrent = static_cast<double>(largest / netLength / SubtransientReactance);
    r.phaseOrderRight = FaseVolgordeGoed(net, gen);
    r.directionRight = turnsTheNetworksWay(netStep, genStep);
    return r;
}

double acceptedHalfAngleDeg(int maxAngle) {
    return static_cast<double>(2 * std::asin(maxAngle / 200.0L) * 180 / Pi);
}

double someOrientationsHalfAngleDeg(int maxAngle) {
    const long double half = std::sqrt(2.0L) * maxAngle / 200;
    if (half >= 1) return 180;
    return static_cast<double>(2 * std::asin(half) * 180 / Pi);
}
