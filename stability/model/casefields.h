#pragma once

#include "scenario.h"
#include "stabilitycase.h"

#include <string_view>
#include <vector>

// The values of a case, each written once: where a scenario file keeps it, how the windows
// and the study name it, the range the case's check holds it to, and how to read and set it.
// The scenario files, the study, the fault scenario dialog and --study all work from it.

// The file's section a value stands in.
enum class CaseSection { Machine, Fault };

// How a file writes a value.
enum class CaseValueForm {
    Number,         // a double
    Milliseconds,   // a whole number
    DeadTime,       // a whole number of milliseconds, or none
    NetworkName,    // busbar | two-lines | transfer | power-step | line-out
    RecloseOntoName // transient | permanent
};

// From `least` to `most`, each end in the range or not. A value that is no number lies in
// no range.
struct ValueRange {
    double least;
    double most;
    bool leastIn;
    bool mostIn;
    bool contains(double value) const;
};

struct CaseFieldInfo {
    CaseField field;
    CaseSection section;
    const char *key; // in the file, in --study and in a study's CSV
    CaseValueForm form;
    // How a window names the value, the unit in a caption ("H (s)") and behind a number
    // ("5.789 s").
    const char *label;
    const char *captionUnit;
    const char *valueUnit;
    // The networks that have the value; the machine's values and the reclosing's belong
    // to all of them.
    unsigned networks;
    // Where the value must lie whatever the case's other values; checkCase adds the
    // bounds that depend on them (the damping's on H, r2 above r1, ...).
    ValueRange range;
    // The number a case holds, and the case with another; a whole number of milliseconds
    // is rounded, and one beyond any range stays out of range. None for the names.
    double (*get)(const StabilityCase &);
    void (*set)(StabilityCase &, double);
};

constexpr unsigned networkBit(Network n) {
    return 1u << static_cast<unsigned>(n);
}
constexpr unsigned AllNetworks = ~0u;

// Every value of a case, in the order a scenario file has them.
const std::vector<CaseFieldInfo> &caseFields();
const CaseFieldInfo &caseField(CaseField field);
// The value a file's key names, in either section; none for a key of no value.
const CaseFieldInfo *caseFieldOfKey(std::string_view key);
// Whether a case on `network` has the value.
bool networkHas(Network network, CaseField field);
