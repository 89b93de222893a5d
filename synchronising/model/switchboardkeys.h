#pragma once

#include "switchboard.h"

#include <array>
#include <cstdint>
#include <QByteArray>
#include <utility>
#include <vector>

// How the switchboard's exercise and times are written, in the scenario files' [switchboard]
// section and in the switchboard's CSV files alike.

// The keys of [switchboard], in the order the file writes them.
enum class SwitchboardKeyKind { Number, Milliseconds, Lamps, PhaseOrder, Mode };
struct SwitchboardKey {
    const char *name;
    SwitchboardKeyKind kind;
    double SwitchboardSettings::*number; // for a Number
};
extern const std::array<SwitchboardKey, 16> SwitchboardKeys;

// The words of the switchboard's choices, in the order of their enums.
using ChoiceWords = std::array<const char *, 3>;
constexpr ChoiceWords LampWords{"dark", "bright", "rotating"};
constexpr ChoiceWords PhaseOrderWords{"same", "reversed", nullptr};
constexpr ChoiceWords ModeWords{"manual", "permissive", "automatic"};
// Those of the Lamps, PhaseOrder or Mode key.
const ChoiceWords &choiceWordsOf(SwitchboardKeyKind kind);

// The keys and their values as the file writes them, in its order: every key, each number
// as the shortest text that reads back to the same double.
std::vector<std::pair<const char *, QByteArray>>
switchboardKeyValues(const SwitchboardSettings &settings);

// Milliseconds as seconds with exactly three decimals: 2350 reads "2.350".
QByteArray secondsText(std::int64_t ms);
