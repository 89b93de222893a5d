#include "classicalmodel.h"

#include <cmath>

namespace multimachine {

using Complex = std::complex<double>;

Eigen::MatrixXcd ClassicalModel::reduced(Topology t) const {
    switch (t) {
    case Topology::Faulted:
        return faulted;
    case Topology::Cleared:
        return cleared;
    case Topology::PreFault:
    case Topology::Reclosed:
        break;
    }
    return preFault;
}

Eigen::MatrixXcd kronReduce(const Eigen::MatrixXcd &y, int kept) {
    const Eigen::Index k = kept;
    const Eigen::Index e = y.rows() - k;
    if (e <= 0) return y;
    return y.topLeftCorner(k, k) -
           y.topRightCorner(k, e) *
               y.bottomRightCorner(e, e).partialPivLu().solve(y.bottomLeftCorner(e, k));
}

namespace {

// Where a fault sits: a grounded bus, or a point inside a branch at `fraction` from the
// branch's own first bus.
struct FaultPlace {
    int bus = -1;
    int branch = -1;
    double fraction = 0;
};

FaultPlace placeOf(const Grid &grid, const FaultSpec &fault) {
    FaultPlace place;
    if (fault.bus) {
        place.bus = grid.busIndex(*fault.bus);
    } else if (fault.line) {
        const int index = grid.branchIndex(*fault.line);
        if (index < 0) return place;
        const Branch &b = grid.branches[static_cast<std::size_t>(index)];
        // The location counts from the first bus as the fault names the line.
        const double f = b.from == fault.line->from ? fault.location : 1 - fault.location;
        if (f <= 0)
            place.bus = grid.busIndex(b.from);
        else if (f >= 1)
            place.bus = grid.busIndex(b.to);
        else {
            place.branch = index;
            place.fraction = f;
        }
    }
    return place;
}

// The equation V = 0 for a node: what a bolted fault makes of it.
void ground(Eigen::MatrixXcd &y, Eigen::Index node) {
    y.row(node).setZero();
    y.col(node).setZero();
    y(node, node) = 1;
}

// The bus matrix with loads, without grounding: the faulted line's parts hang from
// their end buses; an opened branch is taken out whole.
Eigen::MatrixXcd ungroundedBusMatrix(const Grid &grid, const LoadFlowResult &flow, Topology t,
                                     const FaultSpec &fault, const FaultPlace &place) {
    Eigen::MatrixXcd y = networkAdmittance(grid);
    for (std::size_t i = 0; i < grid.buses.size(); ++i) {
        const Bus &bus = grid.buses[i];
        const double v2 = std::norm(flow.voltage[i]);
        const auto d = static_cast<Eigen::Index>(i);
        y(d, d) += Complex(bus.loadP, -bus.loadQ) / v2;
    }
    if (t == Topology::Faulted && place.branch >= 0) {
        const Branch &b = grid.branches[static_cast<std::size_t>(place.branch)];
        const int from = grid.busIndex(b.from);
        const int to = grid.busIndex(b.to);
        stampBranch(y, from, to, b, -1);
        stampBranch(y, from, -1, b, 1, place.fraction);
        stampBranch(y, -1, to, b, 1, 1 - place.fraction);
    }
    if (t == Topology::Cleared && fault.openLine) {
        const int index = grid.branchIndex(*fault.openLine);
        if (index >= 0) {
            const Branch &b = grid.branches[static_cast<std::size_t>(index)];
            stampBranch(y, grid.busIndex(b.from), grid.busIndex(b.to), b, -1);
        }
    }
    return y;
}

// A node that nothing touches any more (a bus left alone by an opened line) would make
// the elimination singular: it carries no current, so any voltage will do.
void settleLoneNodes(Eigen::MatrixXcd &y) {
    for (Eigen::Index i = 0; i < y.rows(); ++i)
        if (y.row(i).cwiseAbs().maxCoeff() == 0) y(i, i) = 1;
}

} // namespace

Eigen::MatrixXcd busAdmittance(const Grid &grid, const LoadFlowResult &flow, Topology t,
                               const FaultSpec &fault) {
    const FaultPlace place = placeOf(grid, fault);
    Eigen::MatrixXcd y = ungroundedBusMatrix(grid, flow, t, fault, place);
    if (t == Topology::Faulted && place.bus >= 0) ground(y, place.bus);
    settleLoneNodes(y);
    return y;
}

ClassicalModelResult buildClassicalModel(const Grid &grid, const LoadFlowResult &flow) {
    return buildClassicalModel(grid, flow, grid.fault);
}

ClassicalModelResult buildClassicalModel(const Grid &grid, const LoadFlowResult &flow,
                                         const FaultSpec &fault) {
    ClassicalModelResult result;
    ClassicalModel &model = result.model;
    if (!flow.converged || flow.voltage.size() != grid.buses.size()) {
        result.problem = "the classical model needs a converged load flow";
        return result;
    }
    const FaultPlace place = placeOf(grid, fault);
    if (place.bus < 0 && place.branch < 0) {
        result.problem = "the network has no fault: give it a bus or a line";
        return result;
    }
    model.fault = fault;
    model.synchronousSpeed = 2 * Pi * grid.frequency;
    const auto m = static_cast<Eigen::Index>(grid.machines.size());
    const auto n = static_cast<Eigen::Index>(grid.buses.size());
    for (const Machine &machine : grid.machines) {
        const auto b = static_cast<std::size_t>(grid.busIndex(machine.bus));
        const Complex v = flow.voltage[b];
        // The machine carries the whole generation of its bus.
        const Complex current = std::conj(Complex(flow.pGeneration[b], flow.qGeneration[b]) / v);
        model.machineBus.push_back(machine.bus);
        model.emf.push_back(v + Complex(0, machine.xdPrime) * current);
        model.inertia.push_back(2 * machine.H / model.synchronousSpeed);
        model.damping.push_back(machine.damping);
    }

    // The internal nodes first, then the buses; each machine's x'd joins the two.
    const auto reducedFor = [&](Topology t) {
        Eigen::MatrixXcd y = Eigen::MatrixXcd::Zero(m + n, m + n);
        y.bottomRightCorner(n, n) = ungroundedBusMatrix(grid, flow, t, fault, place);
        for (Eigen::Index i = 0; i < m; ++i) {
            const Machine &machine = grid.machines[static_cast<std::size_t>(i)];
            const Eigen::Index b = m + grid.busIndex(machine.bus);
            const Complex yd = 1.0 / Complex(0, machine.xdPrime);
            y(i, i) += yd;
            y(b, b) += yd;
            y(i, b) -= yd;
            y(b, i) -= yd;
        }
        if (t == Topology::Faulted && place.bus >= 0) ground(y, m + place.bus);
        settleLoneNodes(y);
        return kronReduce(y, static_cast<int>(m));
    };
    model.preFault = reducedFor(Topology::PreFault);
    model.faulted = reducedFor(Topology::Faulted);
    model.cleared = fault.openLine ? reducedFor(Topology::Cleared) : model.preFault;
    if (!model.preFault.allFinite() || !model.faulted.allFinite() || !model.cleared.allFinite()) {
        result.problem = "the network cannot be reduced to its machines: a part of it is left "
                         "without any path to ground";
        return result;
    }
    const Eigen::Map<const Eigen::VectorXcd> e(model.emf.data(), m);
    const Eigen::VectorXcd current = model.preFault * e;
    for (Eigen::Index i = 0; i < m; ++i)
        model.mechanicalPower.push_back((e(i) * std::conj(current(i))).real());
    return result;
}

} // namespace multimachine
