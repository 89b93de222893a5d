#include "rounding.h"

#include <cmath>

std::int32_t roundToPixel(long double value) {
    // Written out rather than left to the floating-point environment's rounding mode,
    // which other code could have changed.
    const long double whole = std::floor(value);
    const long double fraction = value - whole;
    long double result = whole;
    if (fraction > 0.5L) {
        result = whole + 1.0L;
    } else if (fraction == 0.5L) {
        result = std::fmod(whole, 2.0L) == 0.0L ? whole : whole + 1.0L;
    }
    return static_cast<std::int32_t>(result);
}
