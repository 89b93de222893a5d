#include "casefields.h"

#include <cmath>
#include <limits>

namespace {

constexpr double Unbounded = std::numeric_limits<double>::infinity();

// Whole milliseconds; a count beyond any range stands in as -1, for the check to refuse.
std::int32_t wholeMs(double value) {
    return std::isfinite(value) && std::fabs(value) < 1e9
               ? static_cast<std::int32_t>(std::lround(value))
               : -1;
}

// How the table reads and sets a value of the machine, of the scenario, or a whole number
// of milliseconds.
template <double TGenParams::*Value> double readMachine(const StabilityCase &c) {
    return c.machine.*Value;
}
template <double TGenParams::*Value> void writeMachine(StabilityCase &c, double v) {
    c.machine.*Value = v;
}
template <double FaultScenario::*Value> double readScenario(const StabilityCase &c) {
    return c.scenario.*Value;
}
template <double FaultScenario::*Value> void writeScenario(StabilityCase &c, double v) {
    c.scenario.*Value = v;
}
double readClearingMs(const StabilityCase &c) {
    return c.clearingMs;
}
void writeClearingMs(StabilityCase &c, double v) {
    c.clearingMs = wholeMs(v);
}
double readRecloseMs(const StabilityCase &c) {
    return c.scenario.recloseMs;
}
void writeRecloseMs(StabilityCase &c, double v) {
    c.scenario.recloseMs = wholeMs(v);
}

constexpr unsigned TwoLines = networkBit(Network::TwoLines);
constexpr unsigned Transfer = networkBit(Network::Transfer);
constexpr unsigned PowerStep = networkBit(Network::PowerStep);
constexpr unsigned LineOut = networkBit(Network::LineOut);
constexpr ValueRange NoRange{0, 0, false, false};

using F = CaseField;
using Form = CaseValueForm;
constexpr CaseSection Machine = CaseSection::Machine, Fault = CaseSection::Fault;

} // namespace

bool ValueRange::contains(double value) const {
    return (leastIn ? value >= least : value > least) && (mostIn ? value <= most : value < most);
}

const std::vector<CaseFieldInfo> &caseFields() {
    // clang-format off
    // Each row: the value, the file's section, key and form, the window's name with its
    // units, the networks that have it, its range, and how to read and set it.
    static const std::vector<CaseFieldInfo> fields{
        {F::Pmax, Machine, "Pmax", Form::Number, "Pmax", "", "", AllNetworks,
         {0, Unbounded, false, true}, readMachine<&TGenParams::Pmax>,
         writeMachine<&TGenParams::Pmax>},
        {F::H, Machine, "H", Form::Number, "H", " (s)", " s", AllNetworks,
         {0, Unbounded, false, true}, readMachine<&TGenParams::H>, writeMachine<&TGenParams::H>},
        {F::Demping, Machine, "Demping", Form::Number, "Demping", "", "", AllNetworks,
         {0, Unbounded, true, true}, readMachine<&TGenParams::Demping>,
         writeMachine<&TGenParams::Demping>},
        {F::Pmech, Machine, "Pmech", Form::Number, "Pmech", " (of Pmax)", " of Pmax", AllNetworks,
         {0, 1, true, true}, readMachine<&TGenParams::Pmech>, writeMachine<&TGenParams::Pmech>},
        {F::ClearingMs, Fault, "clearing_ms", Form::Milliseconds, "Clearing time", " (ms)", " ms",
         AllNetworks, {0, MaxClearingMs, true, true}, readClearingMs, writeClearingMs},
        {F::Network, Fault, "network", Form::NetworkName, "Network", "", "", AllNetworks,
         NoRange, nullptr, nullptr},
        {F::GeneratorReactance, Fault, "generator_reactance", Form::Number,
         "Generator reactance Xg", "", " per-unit", TwoLines, {0, MaxReactance, false, true},
         readScenario<&FaultScenario::generatorReactance>,
         writeScenario<&FaultScenario::generatorReactance>},
        {F::LineReactance, Fault, "line_reactance", Form::Number,
         "Line reactance XL", "", " per-unit", TwoLines, {0, MaxReactance, false, true},
         readScenario<&FaultScenario::lineReactance>, writeScenario<&FaultScenario::lineReactance>},
        {F::Location, Fault, "location", Form::Number, "Fault location", " (%)", " %", TwoLines,
         {0, 100, true, false}, readScenario<&FaultScenario::locationPercent>,
         writeScenario<&FaultScenario::locationPercent>},
        {F::During, Fault, "during", Form::Number, "r1", " (during the fault)", "", Transfer,
         {0, 1, true, false}, readScenario<&FaultScenario::during>,
         writeScenario<&FaultScenario::during>},
        {F::After, Fault, "after", Form::Number, "r2", " (after clearing)", "", Transfer | LineOut,
         {0, 1, false, true}, readScenario<&FaultScenario::after>,
         writeScenario<&FaultScenario::after>},
        {F::PmechAfter, Fault, "pmech_after", Form::Number, "P1", " (after the step)", "",
         PowerStep, {0, 1, false, true}, readScenario<&FaultScenario::pmechAfter>,
         writeScenario<&FaultScenario::pmechAfter>},
        {F::RecloseMs, Fault, "reclose_ms", Form::DeadTime, "Reclosing dead time", " (ms)", " ms",
         AllNetworks, {1, MaxRecloseMs, true, true}, readRecloseMs, writeRecloseMs},
        {F::RecloseOnto, Fault, "reclose_onto", Form::RecloseOntoName, "Reclose onto", "", "",
         AllNetworks, NoRange, nullptr, nullptr},
    };
    // clang-format on
    return fields;
}

const CaseFieldInfo &caseField(CaseField field) {
    for (const CaseFieldInfo &f : caseFields())
        if (f.field == field) return f;
    return caseFields().front();
}

const CaseFieldInfo *caseFieldOfKey(std::string_view key) {
    for (const CaseFieldInfo &f : caseFields())
        if (key == f.key) return &f;
    return nullptr;
}

bool networkHas(Network network, CaseField field) {
    return (caseField(field).networks & networkBit(network)) != 0;
}
