#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A time of day that reads the given values in turn, then moves on a millisecond at
// every reading.
struct FakeClock {
    std::vector<std::uint32_t> readings;
    std::size_t reads = 0;
    std::uint32_t operator()() {
        const std::uint32_t t = reads < readings.size()
                                    ? readings[reads]
                                    : readings.back() + std::uint32_t(reads - readings.size() + 1);
        ++reads;
        return t;
    }
};
