#pragma once

#include "faultrun.h"
#include "mygenerator.h"
#include "scenario.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// One exercise: the machine data, the fault scenario and the clearing time. The window,
// the scenario files, the command line and the critical clearing time search all work
// from this one object.
struct StabilityCase {
    TGenParams machine;
    FaultScenario scenario;
    std::int32_t clearingMs = DefaultAfschakeltijd;
};

inline bool operator==(const StabilityCase &a, const StabilityCase &b) {
    return a.machine == b.machine && a.scenario == b.scenario && a.clearingMs == b.clearingMs;
}
inline bool operator!=(const StabilityCase &a, const StabilityCase &b) {
    return !(a == b);
}

// The values of a case; caseFields() (casefields.h) says where each is kept and how it is
// named.
enum class CaseField {
    Pmax,
    H,
    Demping,
    Pmech,
    ClearingMs,
    Network,
    GeneratorReactance,
    LineReactance,
    Location,
    During,
    After,
    PmechAfter,
    RecloseMs,
    RecloseOnto,
};

// The first value out of range, and a sentence that names it and its range.
struct CaseProblem {
    CaseField field;
    std::string message;
};

// Writes a number in a message; the windows give the locale's general format.
using NumberText = std::function<std::string(double)>;
// The shortest text that reads back to the same double, with a full stop.
std::string shortestNumber(double value);

// The ranges within which the swing equation makes sense and the network is one of the
// three: a positive Pmax and H whose inertia coefficient is a normal double, damping
// that removes less than all of the speed deviation in a step, 0 <= Pmech <= 1, a
// clearing time of 0 to 500 ms, reactances above 0 up to 10 per-unit, a fault location
// from 0 to below 100 %, 0 <= r1 < 1, 0 < r2 <= 1 and r1 < r2, and a dead time of 1 to
// 5000 ms when there is one; a power step to 0 < P1 <= 1 other than Pmech, a line out
// leaving 0 < r2 < 1. Values of the networks not chosen are not checked. Non-finite
// numbers are refused everywhere.
std::optional<CaseProblem> checkMachine(const TGenParams &machine,
                                        const NumberText &number = shortestNumber);
std::optional<CaseProblem> checkScenario(const FaultScenario &scenario,
                                         const NumberText &number = shortestNumber);
std::optional<CaseProblem> checkCase(const StabilityCase &c,
                                     const NumberText &number = shortestNumber);

constexpr std::int32_t MaxClearingMs = 500;
constexpr double MaxReactance = 10;
constexpr std::int32_t MaxRecloseMs = 5000;
