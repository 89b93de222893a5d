#pragma once

#include "grid.h"

#include <map>
#include <string>
#include <vector>

// Where each part of a grid stood in the file it was read from, so that a refusal of the
// whole grid (gridProblem) can name the line of the bus, line or machine it is about.
struct GridLines {
    int network = 0; // 0: the file did not say
    int fault = 0;
    std::map<int, int> buses;    // by bus number
    std::map<int, int> machines; // by the machine's bus
    std::vector<int> branches;   // in the grid's branch order

    // The line `problem` (a gridProblem text about `grid`) is about, or 0.
    int lineOf(const multimachine::Grid &grid, const std::string &problem) const;
};
