#pragma once

#include "grid.h"
#include "loadflow.h"

#include <complex>
#include <Eigen/Dense>
#include <string>
#include <vector>

namespace multimachine {

// The network as a run sees it at one moment.
enum class Topology {
    PreFault,
    Faulted,  // the fault on, nothing opened yet
    Cleared,  // the fault gone, `openLine` open
    Reclosed, // the line closed again after its dead time, the fault gone: as before it
};

// The classical model (Anderson and Fouad, Power System Control and Stability, ch. 2;
// Kundur sec. 13.3): loads as constant admittances at their load-flow voltage, each
// machine a constant E' behind x'd from its load-flow current, and the network reduced
// by Kron's elimination to the machines' internal nodes for each topology.
struct ClassicalModel {
    std::vector<int> machineBus;           // bus number of each machine, file order
    std::vector<std::complex<double>> emf; // E' of each machine at the pre-fault state
    std::vector<double> mechanicalPower;   // Pm = Pe at the pre-fault state, pu
    std::vector<double> inertia;           // M = 2H / ws, pu s^2/rad
    // D, pu power per pu speed: the swing equation's damping term is D dw / ws with the
    // speed deviation dw in rad/s.
    std::vector<double> damping;
    double synchronousSpeed = 0; // ws = 2 pi f, rad/s
    FaultSpec fault;             // the fault the faulted and cleared matrices are for
    Eigen::MatrixXcd reduced(Topology t) const; // the reduced admittance matrix
    Eigen::MatrixXcd preFault, faulted, cleared;
    std::size_t machineCount() const { return machineBus.size(); }
};

// Builds the model from a converged load flow, for the grid's own fault or for another
// one (the screening's, a bus clicked on the diagram); an empty `problem` when it could.
struct ClassicalModelResult {
    ClassicalModel model;
    std::string problem;
};
ClassicalModelResult buildClassicalModel(const Grid &grid, const LoadFlowResult &flow);
ClassicalModelResult buildClassicalModel(const Grid &grid, const LoadFlowResult &flow,
                                         const FaultSpec &fault);

// The full bus admittance matrix of the grid, in its bus order, with its loads as
// admittances at `flow`'s voltages, for a topology of `fault`. A grounded bus (the
// faulted bus, or a line's end where the fault sits) keeps its row as the equation
// V = 0: zeros off the diagonal, 1 on it. A fault inside a line grounds the point: each
// part of the line then hangs from its end bus to ground.
Eigen::MatrixXcd busAdmittance(const Grid &grid, const LoadFlowResult &flow, Topology t,
                               const FaultSpec &fault);

// Kron reduction: the matrix seen from the first `kept` nodes with all others eliminated,
// Y_kk - Y_ke Y_ee^-1 Y_ek.
Eigen::MatrixXcd kronReduce(const Eigen::MatrixXcd &y, int kept);

} // namespace multimachine
