#pragma once

#include "grid.h"

#include <optional>
#include <QPointF>
#include <QRectF>
#include <vector>

class QPainter;

// The one-line diagram of a network of several machines: each bus a bar with its number,
// lines between them, a transformer as two circles on its branch, a machine as a circle
// with a tilde above its bus and a load as an arrow below, and the fault's mark. Painted
// from the grid as it stands into any rectangle of any paint device, at a cost that grows
// with the number of buses and branches alone.

// Where each bus is drawn, in the grid's bus order, in the unit square: the file's
// positions scaled to fill it (their aspect kept), or evenly round a circle when some bus
// has none.
std::vector<QPointF> placeBuses(const multimachine::Grid &grid);

// What the diagram shows beside the grid: the line opened to clear the fault (grey while
// it is open), and whether the fault is on.
struct GridDiagramState {
    bool faultOn = true;
    bool lineOpen = false;
};

void paintGridDiagram(QPainter &painter, const QRectF &area, const multimachine::Grid &grid,
                      const std::vector<QPointF> &places, const GridDiagramState &state);

// Where a bus's bar is drawn in `area` (its middle), when the grid has the bus.
std::optional<QPointF> busOnDiagram(const QRectF &area, const multimachine::Grid &grid,
                                    const std::vector<QPointF> &places, int bus);

// What a press at `point` hits: a bus (its number) or else a line, or nothing.
struct GridHit {
    std::optional<int> bus;
    std::optional<multimachine::BranchId> line;
};
GridHit gridHitAt(const QRectF &area, const multimachine::Grid &grid,
                  const std::vector<QPointF> &places, QPointF point);
