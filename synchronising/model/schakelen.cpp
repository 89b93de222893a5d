#include "schakelen.h"

#include "constants.h"

#include <cmath>
#include <cstdlib>

namespace {

// Position (0-based) of the generator phasor with the network's first colour.
std::size_t matching(const Phasors &net, const Phasors &gen) {
    for (std::size_t i = 0; i < gen.size(); ++i)
        if (gen[i].PhaseColor == net[0].PhaseColor) return i;
    return 0; // the generator's colours are always a permutation of the network's
}

// The direction of a phasor's tip from its centre, 0 .. 2 pi.
long double tipAngle(const Tvector &v, QPoint centre) {
    long double dx = v.tip().x() - centre.x();
    const long double dy = -static_cast<long double>(v.tip().y() - centre.y());
    if (dx == 0) dx = 0.00001L;
    long double a = std::atan2(dy, dx);
    if (a < 0) a += 2 * Pi;
    return a;
}

} // namespace

bool HoekGoed(const Phasors &net, const Phasors &gen, int maxAngle) {
    const long double limit = maxAngle / 100.0L * net[0].Length;
    const QPoint n = net[0].tip(), g = gen[matching(net, gen)].tip();
    if (std::abs(n.x() - g.x()) >= limit) return false;
    if (std::abs(n.y() - g.y()) >= limit) return false;
    return true;
}

bool FaseVolgordeGoed(const Phasors &net, const Phasors &gen) {
    const std::size_t next = (matching(net, gen) + 1) % gen.size();
    return gen[next].PhaseColor == net[1].PhaseColor;
}

bool turnsTheNetworksWay(double netStep, double genStep) {
    return !(netStep > 0 ? genStep < 0 : genStep > 0);
}

SchakelOordeel beoordeelSchakelen(const Phasors &net, const Phasors &gen, double netStep,
                                  double genStep, int maxAngle) {
    SchakelOordeel o;
    o.hoekGoed = HoekGoed(net, gen, maxAngle);
    o.draairichtingGoed = turnsTheNetworksWay(netStep, genStep);
    o.spanningGoed = !(std::fabs(static_cast<long double>(gen[0].Length) - net[0].Length) >
                       0.1L * net[0].Length);
    o.faseVolgordeGoed = FaseVolgordeGoed(net, gen);
    return o;
}

long double Fasehoek(const Phasors &net, const Phasors &gen) {
    const long double netAngle = tipAngle(net[0], net[0].Centre);
    const long double genAngle = tipAngle(gen[matching(net, gen)], gen[0].Centre);
    return (netAngle - genAngle) / Pi * 180;
}
