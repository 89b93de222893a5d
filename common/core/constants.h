#pragma once

// The numbers that both programs take from geometry and from the network, each defined
// once. They are long double: the pixels and read-outs are worked out in extended
// precision (see the top-level CMakeLists.txt for the platforms where that holds).

constexpr long double Pi = 3.14159265358979323846L;
constexpr long double TwoPi = 2 * Pi;

// The network the generators connect to: 380 V between lines (220 V phase to
// neutral), 50 Hz.
constexpr long double NetworkLineVoltage = 380;
constexpr long double NetworkFrequency = 50;

// C, the synchronous speed of the network in electrical rad/s: 2 pi f = 100 pi.
constexpr long double SynchronousSpeed = TwoPi * NetworkFrequency;

// The same values as the textbooks print them, to the last digit of the extended
// format: deriving them changes no pixel and no read-out.
static_assert(TwoPi == 6.283185307179586477L);
static_assert(SynchronousSpeed == 314.15926535897932384L);
