#include "zoomlevels.h"

#include <algorithm>

int nextZoomLevel(int percent, int largest) {
    for (int level : ZoomLevels)
        if (level > percent) return level <= largest ? level : percent;
    return percent;
}

int previousZoomLevel(int percent) {
    int below = ZoomLevels.front();
    for (int level : ZoomLevels)
        if (level < percent) below = level;
    return below;
}

int largestZoomFitting(int innerWidth, int innerHeight, int frameWidth, int frameHeight,
                       int availableWidth, int availableHeight) {
    int fits = ZoomLevels.front();
    for (int level : ZoomLevels) {
        // In 64 bits: screen sizes times percent stay far inside.
        const long long w = static_cast<long long>(innerWidth) * level + 100LL * frameWidth;
        const long long h = static_cast<long long>(innerHeight) * level + 100LL * frameHeight;
        if (w <= 100LL * availableWidth && h <= 100LL * availableHeight) fits = level;
    }
    return fits;
}

int rememberedZoomLevel(long long stored, bool valid, int largest) {
    if (!valid || std::find(ZoomLevels.begin(), ZoomLevels.end(), stored) == ZoomLevels.end())
        return ZoomLevels.front();
    int level = static_cast<int>(stored);
    while (level > largest && level > ZoomLevels.front()) level = previousZoomLevel(level);
    return level;
}
