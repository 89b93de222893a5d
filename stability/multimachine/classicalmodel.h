#pragma once

#include "grid.h"
#include "loadflow.h"

#include <complex>
#include <Eigen/Dense>
#include <vector>

namespace multimachine {

// The network as a run sees it at one moment.
enum class Topology {
    PreFault,
    Faulted,  // the fault on, nothing opened yet
    Cleared,  // the fault gone, `openLine` open
    Reclosed, // the line closed again after its dead time
};

// The classical model (Anderson and Fouad, Power System Control and Stability, ch. 2;
// Kundur sec. 13.3): loads as constant admittances at their load-flow voltage, each
// machine a constant E' behind x'd from its load-flow current, and the network reduced
// by Kron's elimination to the machines' internal nodes for each topology.
struct ClassicalModel {
    std::vector<int> machineBus;                // bus number of each machine, file order
    std::vector<std::complex<double>> emf;      // E' of each machine at the pre-fault state
    std::vector<double> mechanicalPower;        // Pm = Pe at the pre-fault state, pu
    std::vector<double> inertia;                // M = 2H / ws, pu s^2/rad
    std::vector<double> damping;                // D, pu
    double synchronousSpeed = 0;                // ws = 2 pi f, rad/s
    Eigen::MatrixXcd reduced(Topology t) const; // the reduced admittance matrix
    Eigen::MatrixXcd preFault, faulted, cleared;
};

// Builds the model from a converged load flow; an empty `problem` when it could.
struct ClassicalModelResult {
    ClassicalModel model;
    std::string problem;
};
ClassicalModelResult buildClassicalModel(const Grid &grid, const LoadFlowResult &flow);

// The full bus admittance matrix of the grid with its loads as admittances at `flow`'s
// voltages, for a topology (the fault grounding its bus or the point on its line).
Eigen::MatrixXcd busAdmittance(const Grid &grid, Topology t);

// Kron reduction: the matrix seen from the first `kept` nodes with all others eliminated.
Eigen::MatrixXcd kronReduce(const Eigen::MatrixXcd &y, int kept);

} // namespace multimachine
