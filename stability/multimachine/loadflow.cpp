#include "loadflow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace multimachine {

using Complex = std::complex<double>;

void stampBranch(Eigen::MatrixXcd &y, int from, int to, const Branch &branch, double sign,
                 double length) {
    // An ideal tap:1 transformer at the first end, then the pi section (Grainger and
    // Stevenson sec. 2.7; the same branch model as MATPOWER's).
    const Complex series = sign / (length * Complex(branch.r, branch.x));
    const Complex charging(0, sign * length * branch.b / 2);
    const double tap = branch.tap.value_or(1.0);
    if (from >= 0) y(from, from) += (series + charging) / (tap * tap);
    if (to >= 0) y(to, to) += series + charging;
    if (from >= 0 && to >= 0) {
        y(from, to) -= series / tap;
        y(to, from) -= series / tap;
    }
}

Eigen::MatrixXcd networkAdmittance(const Grid &grid) {
    const auto n = static_cast<Eigen::Index>(grid.buses.size());
    Eigen::MatrixXcd y = Eigen::MatrixXcd::Zero(n, n);
    for (const Branch &b : grid.branches)
        stampBranch(y, grid.busIndex(b.from), grid.busIndex(b.to), b);
    for (Eigen::Index i = 0; i < n; ++i) {
        const Bus &bus = grid.buses[static_cast<std::size_t>(i)];
        y(i, i) += Complex(bus.shuntG, bus.shuntB);
    }
    return y;
}

namespace {

std::string formatted(const char *format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The unknowns of the Newton step: the angle of every bus but the slack, then the
// magnitude of every PQ bus; the mismatches in the same order, P then Q.
struct Unknowns {
    std::vector<int> angleBus;
    std::vector<int> magnitudeBus;
    Eigen::Index count() const {
        return static_cast<Eigen::Index>(angleBus.size() + magnitudeBus.size());
    }
};

} // namespace

LoadFlowResult solveLoadFlow(const Grid &grid, int maxIterations) {
    LoadFlowResult result;
    const int n = static_cast<int>(grid.buses.size());
    const Eigen::MatrixXcd y = networkAdmittance(grid);
    Unknowns unknowns;
    Eigen::VectorXd vm(n), va(n), pSpec(n), qSpec(n);
    for (int i = 0; i < n; ++i) {
        const Bus &bus = grid.buses[static_cast<std::size_t>(i)];
        vm(i) = bus.voltage;
        va(i) = bus.angleDeg * Pi / 180;
        pSpec(i) = (bus.type == BusType::PV ? bus.generation : 0.0) - bus.loadP;
        qSpec(i) = -bus.loadQ;
        if (bus.type != BusType::Slack) unknowns.angleBus.push_back(i);
        if (bus.type == BusType::PQ) unknowns.magnitudeBus.push_back(i);
    }
    const auto na = static_cast<Eigen::Index>(unknowns.angleBus.size());
    const Eigen::Index unknownCount = unknowns.count();

    Eigen::VectorXcd v(n);
    Eigen::VectorXcd s(n); // the complex power each bus injects into the network
    const auto injections = [&] {
        for (int i = 0; i < n; ++i) v(i) = std::polar(vm(i), va(i));
        s = v.cwiseProduct((y * v).conjugate());
    };
    Eigen::VectorXd mismatch(unknownCount);
    const auto largestMismatch = [&] {
        for (Eigen::Index k = 0; k < na; ++k) {
            const int i = unknowns.angleBus[static_cast<std::size_t>(k)];
            mismatch(k) = pSpec(i) - s(i).real();
        }
        for (Eigen::Index k = na; k < unknownCount; ++k) {
            const int i = unknowns.magnitudeBus[static_cast<std::size_t>(k - na)];
            mismatch(k) = qSpec(i) - s(i).imag();
        }
        return unknownCount == 0 ? 0.0 : mismatch.cwiseAbs().maxCoeff();
    };

    injections();
    result.largestMismatch = largestMismatch();
    Eigen::MatrixXd jacobian(unknownCount, unknownCount);
    while (std::isfinite(result.largestMismatch) && result.largestMismatch > LoadFlowTolerance &&
           result.iterations < maxIterations) {
        // The polar Jacobian from the bus currents (Grainger and Stevenson eqs. 9.41-9.48):
        // dS_i/dtheta_k = j V_i conj(Y_ik V_k) off the diagonal, j (S_i - V_i conj(Y_ii V_i))
        // on it; |V_k| dS_i/d|V_k| = V_i conj(Y_ik V_k), plus S_i on the diagonal.
        const auto dS = [&](int i, int k, bool byAngle) {
            Complex d = v(i) * std::conj(y(i, k) * v(k));
            if (byAngle) {
                d = Complex(0, 1) * (i == k ? s(i) - d : -d);
            } else {
                if (i == k) d += s(i);
                d /= vm(k);
            }
            return d;
        };
        for (Eigen::Index r = 0; r < unknownCount; ++r) {
            const bool activeRow = r < na;
            const int i = activeRow ? unknowns.angleBus[static_cast<std::size_t>(r)]
                                    : unknowns.magnitudeBus[static_cast<std::size_t>(r - na)];
            for (Eigen::Index c = 0; c < unknownCount; ++c) {
                const bool byAngle = c < na;
                const int k = byAngle ? unknowns.angleBus[static_cast<std::size_t>(c)]
                                      : unknowns.magnitudeBus[static_cast<std::size_t>(c - na)];
                const Complex d = dS(i, k, byAngle);
                jacobian(r, c) = activeRow ? d.real() : d.imag();
            }
        }
        const Eigen::VectorXd step = jacobian.partialPivLu().solve(mismatch);
        for (Eigen::Index k = 0; k < na; ++k)
            va(unknowns.angleBus[static_cast<std::size_t>(k)]) += step(k);
        for (Eigen::Index k = na; k < unknownCount; ++k)
            vm(unknowns.magnitudeBus[static_cast<std::size_t>(k - na)]) += step(k);
        ++result.iterations;
        injections();
        result.largestMismatch = largestMismatch();
    }

    result.converged =
        std::isfinite(result.largestMismatch) && result.largestMismatch <= LoadFlowTolerance;
    if (!result.converged) {
        result.problem = "the load flow did not converge in " + std::to_string(result.iterations) +
                         " iterations: the largest mismatch is " +
                         (std::isfinite(result.largestMismatch)
                              ? formatted("%.3g", result.largestMismatch) + " pu"
                              : std::string("not a finite number"));
        return result;
    }
    for (int i = 0; i < n; ++i) {
        const Bus &bus = grid.buses[static_cast<std::size_t>(i)];
        result.voltage.push_back(v(i));
        // A PQ bus generates nothing; a PV bus its schedule; the slack what balances.
        const bool pq = bus.type == BusType::PQ;
        result.pGeneration.push_back(pq                        ? 0.0
                                     : bus.type == BusType::PV ? bus.generation
                                                               : s(i).real() + bus.loadP);
        result.qGeneration.push_back(pq ? 0.0 : s(i).imag() + bus.loadQ);
    }
    return result;
}

} // namespace multimachine
