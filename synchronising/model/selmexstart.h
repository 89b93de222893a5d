#pragma once

#include "randomsource.h"

#include <cstdint>
#include <optional>
#include <string>

// How a session starts: the generator's voltage and frequency with both sliders in
// their middles, its rotation direction, its phase order, where its red phasor stands
// behind the network's, and how close the switching check wants the tips.
struct SelmexStart {
    std::int32_t voltage = 380;  // V at the amplitude slider's middle
    std::int32_t frequency = 50; // Hz at the frequency slider's middle
    bool reversed = false;       // turns against the network
    bool wrongOrder = false;     // phase order
    std::int32_t angle = 0;      // 0, 120 or 240 degrees behind the network's red phasor
    std::int32_t maxAngle = 20;  // the setup's value, percent of the arrow's length
};

inline bool operator==(const SelmexStart &a, const SelmexStart &b) {
    return a.voltage == b.voltage && a.frequency == b.frequency && a.reversed == b.reversed &&
           a.wrongOrder == b.wrongOrder && a.angle == b.angle && a.maxAngle == b.maxAngle;
}
inline bool operator!=(const SelmexStart &a, const SelmexStart &b) {
    return !(a == b);
}

// A start as a lecturer writes it: what is left out is drawn as the random start would.
struct SelmexScenario {
    std::optional<std::int32_t> voltage;
    std::optional<std::int32_t> frequency;
    std::optional<bool> reversed;
    std::optional<bool> wrongOrder;
    std::optional<std::int32_t> angle;
    std::int32_t maxAngle = 20;
};

// The ranges within which 380 V +-10 % and 50 Hz can be reached with the sliders: the
// amplitude slider scales the voltage by 0.5 to 1.5, the frequency slider adds -50 to
// +50 Hz.
constexpr std::int32_t MinStartVoltage = 228, MaxStartVoltage = 836;
constexpr std::int32_t MinStartFrequency = 0, MaxStartFrequency = 100;

// The first value out of range, named with its range; nothing when all are in range.
std::optional<std::string> checkScenario(const SelmexScenario &scenario);

// The start: the random draws in the order the program has always made them (the
// generator's first and second colour, the direction, the frequency offset, the
// amplitude), each replaced by the scenario's value where it gives one. The draws are
// made whatever the scenario gives, so a seed gives the same values for what it leaves
// out.
SelmexStart drawStart(RandomSource &random, const SelmexScenario &scenario = {});

// The generator's colours by position (0: red, 1: lime, 2: blue of the network's order)
// for a phase order and the red phasor's place, and back.
struct ColourOrder {
    std::int32_t first, second, third;
};
ColourOrder colourOrder(bool wrongOrder, std::int32_t angle);
void orderOf(ColourOrder order, bool &wrongOrder, std::int32_t &angle);

// A random source that reads a mixed sequence from the seed where the program reads the
// time of day: the same seed gives the same start on every machine, and other seeds
// other starts.
TimeOfDayClock seededClock(std::uint32_t seed);
