#pragma once

#include "drawsurface.h"
#include "fase.h"
#include "faultrun.h"
#include "oppervlakken.h"
#include "plotstate.h"
#include "rotor.h"
#include "runhistory.h"
#include "sinusplot.h"
#include "stabilityboundary.h"

#include <memory>
#include <optional>
#include <utility>

// The three drawings of a fault run, the power-angle plot with the equal areas, the phase
// plane and the rotor, each on its own surface, with the record of what they show
// beyond the present generator: new pictures (a zoom, a screen of other density) are
// drawn again from that record and the run history alone.
class RunPlots {
public:
    RunPlots(DrawSurface &powerAngle, DrawSurface &phasePlane, DrawSurface &rotorPicture);

    // The plots that cost most are redrawn on every fifth step only.
    static constexpr int RedrawEvery = 5;
    // Measurements switch the drawings off to see their share of a step.
    bool drawing = true;

    std::unique_ptr<SinusPlot> sinus;
    std::unique_ptr<Oppervlakken> oppervlakken;
    std::unique_ptr<Fase> fase;
    std::unique_ptr<Rotor> rotor;

    // The generator as start-up builds it, on blank pictures: the axes over the curves.
    void drawStart(const TMyGenerator &g);
    // A whole new case's generator, with no run going.
    void drawNewCase(const TMyGenerator &g, const FaultScenario &network);
    // A run's new generator: the power-angle plot and the phase plane start afresh.
    void drawNewGenerator(const TMyGenerator &g, const FaultScenario &network);
    // Blanks the power-angle plot and draws axes, curves and Pmech line again for
    // `network`. During a run, `run` is its record: the plot then goes on with its areas
    // from its present step.
    void redrawPowerAngle(const FaultScenario &network, double pmech, const RunRecord *run);
    // A run begins from the generator as it stands.
    void beginRun(const TMyGenerator &g, const RunRecord &run, const FaultScenario &scenario);
    // One step of a run: the phase plane's segment, and on every RedrawEvery-th step the
    // operating point, the areas and the rotor. Returns whether this was such a step.
    // With labels, a step that would leave the phase plane's box widens its spans, and
    // the plane is drawn again from `run`, the run's record up to this step.
    bool drawStep(const TMyGenerator &g, NetworkState network, const RunRecord *run = nullptr);
    // The plots on their present pictures, drawn again to look as they did.
    void redraw(const RunHistory &history);
    // The phase plane alone, drawn again as it stands (after a new boundary).
    void redrawPhasePlane(const RunHistory &history);

    // View > Labels on the plots: values on the axes, the criterion's angles and the
    // run's clearing angle marked, the areas named, and the phase plane's spans following
    // a run. Shown from the next drawing on; redraw() shows them at once.
    void setLabels(bool on);
    // View > Stability boundary: the region of the network a run ends on, drawn on the
    // phase plane from its next drawing on; none to draw nothing.
    void setBoundary(const std::optional<StabilityBoundary> &boundary);
    // While a lesson waits for a prediction they would give away, the criterion's angles
    // beyond the starting angle and the stability boundary are left out; shown again
    // once released. Returns whether that changed, so that the plots are to be drawn
    // again (redraw()).
    bool holdAnswers(bool held);
    bool answersHeld() const { return m_answersHeld; }

private:
    void restartTrace(const TMyGenerator &g, bool freshPicture, bool markStart);

    PlotState m_state;
    int m_sinceRedraw = 0; // steps since the last full redraw
    ClearingWatch m_clearing;
    bool m_answersHeld = false;
    // The Pmech and the network the criterion's angles are for, and the boundary set.
    std::pair<double, FaultScenario> m_marksFor;
    std::shared_ptr<const StabilityBoundary> m_boundary;
};
