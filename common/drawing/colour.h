#pragma once

#include <cstdint>
#include <QColor>

// A colour as the drawings name it: 0x00BBGGRR (red in the low byte).
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

inline QColor toQColor(Colour c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

inline Colour fromQRgb(QRgb rgb) {
    return static_cast<Colour>(qRed(rgb)) | (static_cast<Colour>(qGreen(rgb)) << 8) |
           (static_cast<Colour>(qBlue(rgb)) << 16);
}
