#pragma once

#include <cstdint>

// A colour as the drawings name it: 0x00BBGGRR (red in the low byte). Plain data, so
// that the models can name their colours without the drawing library.
using Colour = std::uint32_t;

constexpr Colour clBlack = 0x00000000;
constexpr Colour clWhite = 0x00FFFFFF;
constexpr Colour clRed = 0x000000FF;
constexpr Colour clLime = 0x0000FF00;
constexpr Colour clGreen = 0x00008000;
constexpr Colour clBlue = 0x00FF0000;
constexpr Colour clSilver = 0x00C0C0C0;
constexpr Colour clOrange = 0x000080FF;
constexpr Colour clPurple = 0x00C000A0;
constexpr Colour clTeal = 0x00808000;
constexpr Colour clFuchsia = 0x00FF00FF;
