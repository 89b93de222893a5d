#include "selmexstart.h"

#include <memory>

std::optional<std::string> checkScenario(const SelmexScenario &s) {
    if (s.voltage && !(*s.voltage >= MinStartVoltage && *s.voltage <= MaxStartVoltage))
        return "voltage must lie from " + std::to_string(MinStartVoltage) + " to " +
               std::to_string(MaxStartVoltage) + " V";
    if (s.frequency && !(*s.frequency >= MinStartFrequency && *s.frequency <= MaxStartFrequency))
        return "frequency must lie from " + std::to_string(MinStartFrequency) + " to " +
               std::to_string(MaxStartFrequency) + " Hz";
    if (s.angle && *s.angle != 0 && *s.angle != 120 && *s.angle != 240)
        return "angle must be 0, 120 or 240";
    if (!(s.maxAngle >= 0 && s.maxAngle <= 100 && s.maxAngle % 10 == 0))
        return "max_angle must be one of 0, 10, 20, ... 100";
    return std::nullopt;
}

// The network's phasors stand at 90, -30 and 210 degrees, red, lime, blue: the
// generator's red phasor in place 1 or 2 lies 120 or 240 degrees behind. The right
// order repeats the network's cyclically, the wrong one runs the other way round.
ColourOrder colourOrder(bool wrongOrder, std::int32_t angle) {
    const std::int32_t red = angle == 120 ? 1 : angle == 240 ? 2 : 0;
    std::int32_t at[3];
    for (std::int32_t k = 0; k < 3; ++k) {
        const std::int32_t colour = wrongOrder ? (3 - k) % 3 : k;
        at[(red + k) % 3] = colour;
    }
    return {at[0], at[1], at[2]};
}

void orderOf(ColourOrder order, bool &wrongOrder, std::int32_t &angle) {
    const std::int32_t at[3] = {order.first, order.second, order.third};
    std::int32_t red = 0;
    for (std::int32_t k = 0; k < 3; ++k)
        if (at[k] == 0) red = k;
    angle = red * 120;
    wrongOrder = at[(red + 1) % 3] != 1;
}

SelmexStart drawStart(RandomSource &random, const SelmexScenario &s) {
    SelmexStart start;
    const std::int32_t i1 = random.below(3);
    std::int32_t i2 = 0;
    do {
        i2 = random.below(3); // the same millisecond gives the same draw: wait for the next
    } while (i2 == i1);
    orderOf(ColourOrder{i1, i2, 3 - i1 - i2}, start.wrongOrder, start.angle);
    start.reversed = random.below(2) == 0;
    start.frequency = 50 - random.below(30);
    start.voltage = (random.below(4) + 7) * 38; // 380 V times 0.7 to 1.0
    if (s.wrongOrder) start.wrongOrder = *s.wrongOrder;
    if (s.angle) start.angle = *s.angle;
    if (s.reversed) start.reversed = *s.reversed;
    if (s.frequency) start.frequency = *s.frequency;
    if (s.voltage) start.voltage = *s.voltage;
    start.maxAngle = s.maxAngle;
    return start;
}

// Readings n, n + 1, ... would make successive draws follow one another, and the wait
// for a second colour would then bring nearly every seed to the same start. Each reading
// is the seed and the reading's number, mixed by xor-shifts and multiplications.
TimeOfDayClock seededClock(std::uint32_t seed) {
    auto count = std::make_shared<std::uint32_t>(0);
    return [seed, count] {
        std::uint64_t z = (std::uint64_t{seed} << 32 | (*count)++) + 0x9E3779B97F4A7C15u;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
    };
}
