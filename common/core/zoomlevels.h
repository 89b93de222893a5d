#pragma once

#include <array>

// The zoom levels of the View menu, in percent of the layout's size: enough steps to
// fill a laptop screen or a projector, none so large that a window leaves the screen.
constexpr std::array<int, 7> ZoomLevels{100, 125, 150, 175, 200, 250, 300};

// The next level above `percent` that is at most `largest`, or `percent` when there is
// none.
int nextZoomLevel(int percent, int largest);
// The next level below `percent`, or 100.
int previousZoomLevel(int percent);
// The largest level at which a window fits the screen's available area: its inner part
// (`innerWidth` x `innerHeight` at 100 %) grows with the zoom, its frame (`frameWidth` x
// `frameHeight`, the title bar and borders) does not. 100 % when not even that fits.
int largestZoomFitting(int innerWidth, int innerHeight, int frameWidth, int frameHeight,
                       int availableWidth, int availableHeight);
// A remembered level as the settings hold it: a level of the menu, or 100 for anything
// else (a damaged or absent setting); no larger than `largest`.
int rememberedZoomLevel(long long stored, bool valid, int largest);
