#pragma once

#include "equivalentmachine.h"

#include <QPointF>
#include <QRectF>
#include <QString>

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

class QPainter;

// What the equivalent machine's power-angle plot shows at one moment of a run: the
// critical cluster against the rest as one machine (extended equal-area criterion), its
// three curves, and where the run has taken it so far.
struct EquivalentPlotState {
    multimachine::EquivalentCurve preFault, faulted, postFault;
    double mechanicalPower = 0;          // Pm of the equivalent, pu
    double delta0 = 0;                   // rad
    std::optional<double> criticalAngle; // rad, by equal areas
    std::optional<double> clearingAngle; // rad, where the run's fault was cleared (once it was)
    std::vector<QPointF> trajectory;     // (delta rad, Pe pu) of the equivalent along the run
    QString clusterText;                 // e.g. "machines 2, 3 against 1"
};

// The areas between the Pm line and the run's trajectory on its first forward swing, in
// pu rad, by the trapezoidal rule: A1 (accelerating) where Pm > Pe before the clearing
// angle, A2 (decelerating) where Pe > Pm. The swing turning back ends both; points that
// are no number are left out.
std::pair<double, double> equivalentAreas(const EquivalentPlotState &state);

// The most trajectory points a picture draws: a longer run is thinned to about this many,
// keeping its turning points and the points around the clearing.
constexpr std::size_t MaxDrawnTrajectoryPoints = 2000;

// Paints the plot into `area` of any paint device, sized to it: axes with ticks (delta in
// degrees, Pe in pu), the three curves (solid, dashed and dash-dotted, named), the Pm line,
// delta0, the critical and the clearing angle, the trajectory, A1 and A2 hatched with
// their values, and a legend naming the curves and the cluster.
void paintEquivalentPlot(QPainter &painter, const QRectF &area, const EquivalentPlotState &state);

// What the plot shows in words, for screen readers: the cluster, A1 and A2, the critical
// angle and, once known, the clearing angle, with the locale's decimal separator.
QString equivalentPlotDescription(const EquivalentPlotState &state);
