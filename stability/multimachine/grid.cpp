#include "grid.h"

#include <cmath>
#include <functional>
#include <set>

namespace multimachine {

const char *busTypeKey(BusType type) {
    switch (type) {
    case BusType::Slack:
        return "slack";
    case BusType::PV:
        return "pv";
    case BusType::PQ:
        break;
    }
    return "pq";
}

bool operator==(const BranchId &a, const BranchId &b) {
    return a.from == b.from && a.to == b.to && a.circuit == b.circuit;
}

std::string branchName(const BranchId &id) {
    std::string name = std::to_string(id.from) + "-" + std::to_string(id.to);
    if (id.circuit != 1) name += " " + std::to_string(id.circuit);
    return name;
}

int Grid::busIndex(int number) const {
    for (std::size_t i = 0; i < buses.size(); ++i)
        if (buses[i].number == number) return static_cast<int>(i);
    return -1;
}

int Grid::branchIndex(const BranchId &id) const {
    for (std::size_t i = 0; i < branches.size(); ++i) {
        const Branch &b = branches[i];
        if (b.circuit == id.circuit &&
            ((b.from == id.from && b.to == id.to) || (b.from == id.to && b.to == id.from)))
            return static_cast<int>(i);
    }
    return -1;
}

namespace {

bool finite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

// The buses reached from the first along the branches, leaving out `without` (index).
std::set<int> reachedBuses(const Grid &grid, int without) {
    std::set<int> reached{grid.buses.front().number};
    bool grew = true;
    while (grew) {
        grew = false;
        for (std::size_t i = 0; i < grid.branches.size(); ++i) {
            const Branch &b = grid.branches[i];
            if (static_cast<int>(i) == without) continue;
            const bool hasFrom = reached.count(b.from) != 0;
            const bool hasTo = reached.count(b.to) != 0;
            if (hasFrom != hasTo) {
                reached.insert(hasFrom ? b.to : b.from);
                grew = true;
            }
        }
    }
    return reached;
}

bool connected(const Grid &grid) {
    return !grid.buses.empty() && reachedBuses(grid, -1).size() == grid.buses.size();
}

} // namespace

std::vector<int> machinesCutOffBy(const Grid &grid, const BranchId &opened) {
    std::vector<int> cutOff;
    if (grid.buses.empty()) return cutOff;
    const std::set<int> reached = reachedBuses(grid, grid.branchIndex(opened));
    // The part holding the most machines stays "the network"; a machine elsewhere is cut off.
    std::vector<int> inside, outside;
    for (const Machine &m : grid.machines)
        (reached.count(m.bus) ? inside : outside).push_back(m.bus);
    return inside.size() >= outside.size() ? outside : inside;
}

std::string gridProblem(const Grid &grid) {
    if (!finite({grid.frequency, grid.baseMva}) || grid.baseMva <= 0)
        return "the base power must be a positive number";
    if (grid.buses.size() < 2) return "a network needs at least two buses";
    int slacks = 0;
    std::set<int> numbers;
    for (const Bus &bus : grid.buses) {
        if (!numbers.insert(bus.number).second)
            return "bus " + std::to_string(bus.number) + " is given twice";
        if (!finite({bus.voltage, bus.angleDeg, bus.generation, bus.loadP, bus.loadQ, bus.shuntG,
                     bus.shuntB}) ||
            (bus.x && !std::isfinite(*bus.x)) || (bus.y && !std::isfinite(*bus.y)))
            return "bus " + std::to_string(bus.number) + " has a number that is not finite";
        if (bus.voltage <= 0)
            return "bus " + std::to_string(bus.number) + " needs a positive voltage";
        if (bus.type == BusType::Slack) ++slacks;
    }
    if (slacks != 1)
        return "a network needs exactly one slack bus, this one has " + std::to_string(slacks);
    for (const Branch &b : grid.branches) {
        const std::string name = "line " + branchName({b.from, b.to, b.circuit});
        if (!numbers.count(b.from) || !numbers.count(b.to))
            return name + " ends at a bus the network does not have";
        if (b.from == b.to) return name + " starts and ends at the same bus";
        if (!finite({b.r, b.x, b.b}) || (b.tap && !std::isfinite(*b.tap)))
            return name + " has a number that is not finite";
        if (b.r == 0 && b.x == 0) return name + " has no impedance";
        if (b.tap && *b.tap <= 0) return name + " needs a positive tap ratio";
    }
    if (!connected(grid))
        return "the network falls apart: not every bus is reached along its lines";
    std::set<int> machineBuses;
    for (const Machine &m : grid.machines) {
        const std::string name = "the machine at bus " + std::to_string(m.bus);
        if (!numbers.count(m.bus)) return name + " stands at a bus the network does not have";
        if (!machineBuses.insert(m.bus).second)
            return "bus " + std::to_string(m.bus) + " has two machines";
        if (!finite({m.H, m.xdPrime, m.damping}) || m.H <= 0 || m.xdPrime <= 0 || m.damping < 0)
            return name + " needs a positive H and x'd and a damping of 0 or more";
    }
    for (const Bus &bus : grid.buses)
        if (bus.type != BusType::PQ && !machineBuses.count(bus.number))
            return "bus " + std::to_string(bus.number) + " generates but has no machine";
    if (grid.machines.size() < 2) return "a network needs at least two machines";
    const FaultSpec &f = grid.fault;
    if (f.bus && !numbers.count(*f.bus))
        return "the fault is at bus " + std::to_string(*f.bus) +
               ", which the network does not have";
    if (f.line && grid.branchIndex(*f.line) < 0)
        return "the fault is on line " + branchName(*f.line) + ", which the network does not have";
    if (f.openLine && grid.branchIndex(*f.openLine) < 0)
        return "the fault clears by opening line " + branchName(*f.openLine) +
               ", which the network does not have";
    if (!std::isfinite(f.location) || f.location < 0 || f.location > 1)
        return "the fault's location must lie from 0 to 1 along its line";
    return {};
}

} // namespace multimachine
