#pragma once

#include <cstdint>

// Rounds a real value to the nearest integer pixel coordinate or length. Halves go to
// the even integer (14.5 -> 14, 80.5 -> 80, 112.5 -> 112), and callers do the
// arithmetic before it in long double, so the drawings land on the same pixels on
// every machine.
std::int32_t roundToPixel(long double value);
