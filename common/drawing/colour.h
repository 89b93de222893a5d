#pragma once

#include "colourvalue.h"

#include <QColor>

// The colours' values live with the plain data (colourvalue.h); here they meet Qt's.
inline QColor toQColor(Colour c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

inline Colour fromQRgb(QRgb rgb) {
    return static_cast<Colour>(qRed(rgb)) | (static_cast<Colour>(qGreen(rgb)) << 8) |
           (static_cast<Colour>(qBlue(rgb)) << 16);
}
