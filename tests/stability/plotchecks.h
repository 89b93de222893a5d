#pragma once

// What the plots' tests look for on the pictures, and the disturbances they draw.
#include "drawsurface.h"
#include "scenario.h"

// The pixels of `colour` on the picture, or within a part of it.
inline int countPixels(const DrawSurface &s, Colour colour, QRect within = {}) {
    if (within.isNull()) within = QRect(QPoint(0, 0), s.size());
    int n = 0;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x) n += s.pixel(x, y) == colour;
    return n;
}

// P1 for a power step, r2 for a line out.
inline FaultScenario scenarioOf(Network network, double value = 0.7) {
    FaultScenario s;
    s.network = network;
    s.after = s.pmechAfter = value;
    return s;
}
