#pragma once

#include "grid.h"

#include <complex>
#include <Eigen/Dense>
#include <string>
#include <vector>

namespace multimachine {

// A Newton-Raphson load flow in polar form (Grainger and Stevenson, Power System
// Analysis, sec. 9.3; Saadat, Power System Analysis, sec. 6.10), converged when the
// largest active or reactive mismatch is at most 1e-10 pu.
struct LoadFlowResult {
    bool converged = false;
    int iterations = 0;
    double largestMismatch = 0; // pu
    std::string problem;        // why it did not converge, with the two numbers above
    // Per bus, in the grid's bus order.
    std::vector<std::complex<double>> voltage; // pu
    std::vector<double> pGeneration;           // pu
    std::vector<double> qGeneration;
};

constexpr double LoadFlowTolerance = 1e-10;
constexpr double Pi = 3.14159265358979323846;

LoadFlowResult solveLoadFlow(const Grid &grid, int maxIterations = 30);

// The bus admittance matrix of the lines, transformers and bus shunts, in the grid's bus
// order (no loads).
Eigen::MatrixXcd networkAdmittance(const Grid &grid);

// Adds `sign` times a branch's admittances between the nodes `from` and `to` (the
// branch's own first and second bus): series r + jx scaled by `length`, charging b
// scaled by `length` split half at each end, and the tap:1 ratio at the first end.
// A node of -1 is ground: that end's terms are left out.
void stampBranch(Eigen::MatrixXcd &y, int from, int to, const Branch &branch, double sign = 1,
                 double length = 1);

} // namespace multimachine
