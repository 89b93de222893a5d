#pragma once

#include <cstdint>
#include <functional>

// The time of day in UTC, in milliseconds since midnight.
using TimeOfDayClock = std::function<std::uint32_t()>;
TimeOfDayClock systemTimeOfDay();

// Random draws for the generator's start: each draw reseeds from the time of day and
// takes one step of a linear congruential generator, so draws within the same
// millisecond give related results.
class RandomSource {
public:
    explicit RandomSource(TimeOfDayClock clock) : m_clock(std::move(clock)) {}

    // A whole number from 0 to n - 1.
    std::int32_t below(std::int32_t n);

private:
    TimeOfDayClock m_clock;
};
