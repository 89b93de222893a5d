#pragma once

#include "drawsurface.h"

#include <cstdint>
#include <memory>
#include <optional>

class StabilityBoundary;

// The phase plane: the generator's trajectory of speed deviation against rotor angle,
// one blue segment per step from the surface's kept pen position, over red axes that
// cross in the middle. Ten rad/s span the speed axis; one pi of angle spans 0.9 of the
// angle axis. With labels the axes carry values and their spans grow by doubling as a
// run needs them; the stability boundary of the final network may be drawn over the
// axes, under the trajectory.
class Fase {
public:
    explicit Fase(DrawSurface &surface) : m_surface(surface) {}

    void InitFase();
    void TekenasFase();
    std::int32_t FaseHoek2X(double delta) const;
    std::int32_t FaseDomega2Y(double domega) const;
    void BerekenFase(double delta, double domega);
    // A line from the present pen position to the phase point.
    void TekenFase();
    void SchoonFase();
    // Moves the pen, without drawing, to where a trace from (delta, domega) starts.
    void beginTrace(double delta, double domega);

    // View > Labels on the plots: the axes' values (TekenWaarden), and spans that follow
    // a run (holdPoint).
    bool labels = false;
    // The spans of the axes in units of the standard ones (pi of angle over 0.9 of the
    // width, 10 rad/s over the height): 1, or a power of two that a run has needed.
    double angleRange = 1;
    double speedRange = 1;
    void resetRanges() { angleRange = speedRange = 1; }
    // Whether the phase point lies inside the axes' box.
    bool holds(double delta, double domega) const;
    // Doubles the spans until the box holds the phase point, up to a limit; returns
    // whether they grew. A point that is no number, or infinite, changes nothing.
    bool holdPoint(double delta, double domega);
    void TekenWaarden();

    // View > Stability boundary: the region of the network the run ends on, or none.
    void setBoundary(std::shared_ptr<const StabilityBoundary> boundary) {
        m_boundary = std::move(boundary);
    }
    const StabilityBoundary *boundary() const { return m_boundary.get(); }
    // The closed boundary: its upper half, speedAt(delta), from deltaLow to deltaU at one
    // point per pixel column of the picture, and back along the lower half. Empty when no
    // boundary is set or it does not exist.
    PointList boundaryPoints() const;
    void TekenGrens();
    // With a boundary, doubles the angle's span until the boundary's crossings of the
    // angle axis, the saddle delta_u above all, lie inside the box with a margin: a
    // trajectory that leaves the region is seen to leave it there.
    void holdBoundary();
    // With labels: where the fault was cleared, a small cross on the trace named "δc";
    // the pen stays where the trace goes on from.
    void TekenAfschakeling(double delta, double domega);

    std::int32_t FaseBreedte = 0;
    std::int32_t FaseHoogte = 0;
    std::int32_t FaseLinks = 0;
    std::int32_t FaseNulX = 0;
    std::int32_t FaseBoven = 0;
    std::int32_t FaseNulY = 0;
    double FaseHoekStap = 0;
    std::optional<QPoint> FasePunt;

private:
    DrawSurface &m_surface;
    std::shared_ptr<const StabilityBoundary> m_boundary;
};
