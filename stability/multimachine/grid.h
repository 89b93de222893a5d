#pragma once

#include <optional>
#include <string>
#include <vector>

// A power network of several machines, as a network file or a MATPOWER case gives it:
// buses, lines and transformers, constant-power loads, and the classical machines with
// the fault studied on them. Per-unit on the system base (base_mva); angles in degrees
// where a person types them.
namespace multimachine {

enum class BusType { Slack, PV, PQ };
// "slack", "pv" or "pq", as the files and reports write the type.
const char *busTypeKey(BusType type);

struct Bus {
    int number = 0; // the bus's name in the file and on the diagram
    BusType type = BusType::PQ;
    double voltage = 1.0;  // pu: the set point (slack, PV) or the first guess (PQ)
    double angleDeg = 0;   // the slack's angle; a first guess elsewhere
    double generation = 0; // PV: the scheduled active power, pu
    double loadP = 0;      // constant-power load, pu
    double loadQ = 0;
    double shuntG = 0; // a fixed shunt at the bus (MATPOWER's Gs, Bs), pu at 1 pu voltage
    double shuntB = 0;
    std::optional<double> x; // where the diagram draws it, when the file says
    std::optional<double> y;
};

// A line or a transformer between two buses: series r + jx, total charging b split
// half at each end; a transformer has an off-nominal ratio `tap` at the first bus (an
// ideal tap:1 transformer in series with the impedance on the second bus's side).
struct Branch {
    int from = 0;
    int to = 0;
    int circuit = 1; // a second circuit between the same buses: 2, ...
    double r = 0;
    double x = 0.1;
    double b = 0;
    std::optional<double> tap;
    bool isTransformer() const { return tap.has_value(); }
};

// Which branch, as a file and a person name it: "4-5" or "4-5 2".
struct BranchId {
    int from = 0;
    int to = 0;
    int circuit = 1;
};
bool operator==(const BranchId &a, const BranchId &b);
inline bool operator!=(const BranchId &a, const BranchId &b) {
    return !(a == b);
}
std::string branchName(const BranchId &id); // "4-5", or "4-5 2" for a second circuit

// A classical machine: a constant voltage behind its transient reactance.
struct Machine {
    int bus = 0;
    double H = 5;         // inertia constant, s, on the system base
    double xdPrime = 0.1; // pu, system base
    double damping = 0;   // D in 2H/ws d2(delta)/dt2 = Pm - Pe - D dw, pu power per pu speed
};

// A bolted three-phase fault at a bus, or on a line at `location` along it from its
// first bus; cleared after `clearMs` by opening `openLine` (series branch and charging,
// as a breaker does), or by the fault's vanishing when no line opens; reclosed after
// `recloseMs` of dead time when given.
struct FaultSpec {
    std::optional<int> bus;
    std::optional<BranchId> line;
    double location = 0.5;
    int clearMs = 83;
    std::optional<BranchId> openLine;
    std::optional<int> recloseMs;
};

struct Grid {
    double frequency = 60; // Hz: 50 or 60
    double baseMva = 100;
    std::vector<Bus> buses;
    std::vector<Branch> branches;
    std::vector<Machine> machines;
    FaultSpec fault;

    // Index into buses / branches, or -1.
    int busIndex(int number) const;
    int branchIndex(const BranchId &id) const;
};

// What is wrong with a grid a reader built, or an empty text: every branch and machine
// on a known bus, exactly one slack bus, connected, a machine at the slack and at each
// PV bus, the fault's bus or line known, reactances not zero, numbers finite.
std::string gridProblem(const Grid &grid);

// The machines (bus numbers) that opening `opened` separates from the rest of the
// network: a fault cleared that way trips them with it.
std::vector<int> machinesCutOffBy(const Grid &grid, const BranchId &opened);

} // namespace multimachine
