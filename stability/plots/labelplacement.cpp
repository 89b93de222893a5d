#include "labelplacement.h"

#include <algorithm>

std::vector<QRect> placeLabels(const std::vector<LabelRequest> &requests, const QRect &bounds,
                               int gap, const std::vector<QRect> &taken, int maxSteps) {
    std::vector<QRect> placed;
    placed.reserve(requests.size());
    std::vector<QRect> obstacles = taken;
    const auto clear = [&](const QRect &box) {
        const QRect around = box.adjusted(-gap, -gap, gap, gap);
        return std::none_of(obstacles.begin(), obstacles.end(),
                            [&](const QRect &o) { return around.intersects(o); });
    };
    for (const LabelRequest &r : requests) {
        QRect chosen = r.box;
        // The own place, then one step, one step back, two steps, ...
        for (int k = 0; k <= maxSteps; ++k) {
            bool found = false;
            for (const int sign : {1, -1}) {
                if (sign < 0 && (k == 0 || !r.bothWays)) continue;
                const QRect box = r.box.translated(r.step * (sign * k));
                if (bounds.contains(box) && clear(box)) {
                    chosen = box;
                    found = true;
                    break;
                }
            }
            if (found) break;
        }
        placed.push_back(chosen);
        obstacles.push_back(chosen);
    }
    return placed;
}
