#include "randomsource.h"

#include <QDateTime>

TimeOfDayClock systemTimeOfDay() {
    return [] {
        return static_cast<std::uint32_t>(
            QDateTime::currentDateTimeUtc().time().msecsSinceStartOfDay());
    };
}

std::int32_t RandomSource::below(std::int32_t n) {
    std::uint32_t seed = m_clock();
    seed = seed * 134775813u + 1u; // modulo 2^32
    return static_cast<std::int32_t>(
        (static_cast<std::uint64_t>(seed) * static_cast<std::uint32_t>(n)) >> 32);
}
