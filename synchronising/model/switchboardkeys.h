#pragma once

#include "switchboard.h"

#include <array>
#include <cstdint>
#include <QByteArray>
#include <utility>
#include <vector>

// How the switchboard's exercise and times are written, in the scenario files' [switchboard],
// [island] and [load] sections and in the switchboard's CSV files alike.

// The keys of [switchboard], in the order the file writes them (bus first, written for an
// island alone, so that an infinite bus's file reads as it did before islands).
enum class SwitchboardKeyKind { Number, Milliseconds, Lamps, PhaseOrder, Mode, Bus };
struct SwitchboardKey {
    const char *name;
    SwitchboardKeyKind kind;
    double SwitchboardSettings::*number; // for a Number
};
extern const std::array<SwitchboardKey, 17> SwitchboardKeys;

// The words of the switchboard's choices, in the order of their enums.
using ChoiceWords = std::array<const char *, 3>;
constexpr ChoiceWords LampWords{"dark", "bright", "rotating"};
constexpr ChoiceWords PhaseOrderWords{"same", "reversed", nullptr};
constexpr ChoiceWords ModeWords{"manual", "permissive", "automatic"};
constexpr ChoiceWords BusWords{"infinite", "island", nullptr};
// Those of the Lamps, PhaseOrder, Mode or Bus key.
const ChoiceWords &choiceWordsOf(SwitchboardKeyKind kind);

// The numbers of [island], in the order the file writes them; its task follows them.
struct IslandKey {
    const char *name;
    double IslandSettings::*number;
};
extern const std::array<IslandKey, 8> IslandKeys;
constexpr const char *TaskKey = "task";
// The task's words, in the order of IslandTask.
constexpr std::array<const char *, 5> TaskWords{"none", "synchronise", "share_equally",
                                                "take_running_set_off", "ride_load_step"};
// The keys of [load]: the load from the start, then a "step" line for each load step.
constexpr const char *LoadPKey = "p_kw", *LoadQKey = "q_kvar", *LoadStepKey = "step";

using KeyValues = std::vector<std::pair<const char *, QByteArray>>;
// The keys and their values as the file writes them, in its order: every key, each number
// as the shortest text that reads back to the same double. [switchboard]'s, then, for an
// island, [island]'s and [load]'s (a step's value "30, 120, 90": seconds, kW, kvar).
KeyValues switchboardKeyValues(const SwitchboardSettings &settings);
KeyValues islandKeyValues(const SwitchboardSettings &settings);
KeyValues loadKeyValues(const SwitchboardSettings &settings);
// All three in turn: every key of the exercise.
KeyValues allSwitchboardKeyValues(const SwitchboardSettings &settings);

// Milliseconds as seconds with exactly three decimals: 2350 reads "2.350".
QByteArray secondsText(std::int64_t ms);
