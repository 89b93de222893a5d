#pragma once

#include "grid.h"

#include <complex>
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

LoadFlowResult solveLoadFlow(const Grid &grid, int maxIterations = 30);

} // namespace multimachine
