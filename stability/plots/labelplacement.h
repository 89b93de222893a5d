#pragma once

#include <QPoint>
#include <QRect>

#include <vector>

// Names written on a plot kept clear of one another. Each name has the box it takes
// where it belongs and a step to move it by; a name that would touch one placed before
// it (or a box already taken) moves by whole steps, the nearest clear place first, as
// long as it stays inside the picture.
struct LabelRequest {
    QRect box;             // where the name belongs
    QPoint step;           // one step away from there
    bool bothWays = false; // also against the step: the first step back comes after it
};

// The boxes of the requests in their order, each clear by `gap` pixels of those before
// it and of `taken`, within `maxSteps` steps; a name with no such place keeps its own box.
std::vector<QRect> placeLabels(const std::vector<LabelRequest> &requests, const QRect &bounds,
                               int gap, const std::vector<QRect> &taken = {}, int maxSteps = 8);
