#pragma once

#include <cstdint>
#include <limits>

// A step for an axis' ticks: 1, 2 or 5 times a power of ten, giving about `wanted`
// intervals over `span` (positive and finite).
double niceStep(double span, int wanted);

// What a value that is no number rounds to: the most negative coordinate, far off every
// picture, so that a point that cannot be placed is not drawn on it.
constexpr std::int32_t NoNumberPixel = std::numeric_limits<std::int32_t>::min();

// Rounds a real value to the nearest integer pixel coordinate or length. Halves go to
// the even integer (14.5 -> 14, 80.5 -> 80, 112.5 -> 112), and callers do the
// arithmetic before it in long double, so the drawings land on the same pixels on
// every machine. Values beyond the int32 range are held at its ends (a trace that runs
// off to 1e300 stays off the picture in the same direction); no number gives
// NoNumberPixel.
std::int32_t roundToPixel(long double value);

// Pixel coordinates of points far off a picture stay far off it: the arithmetic after
// rounding is done in 64 bits and held at the ends of the int32 range, so an offset
// added to a held value neither wraps round onto the picture nor overflows.
constexpr std::int32_t clampToPixel(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

constexpr std::int32_t pixelAdd(std::int32_t a, std::int32_t b) {
    return clampToPixel(std::int64_t{a} + b);
}

constexpr std::int32_t pixelSub(std::int32_t a, std::int32_t b) {
    return clampToPixel(std::int64_t{a} - b);
}
