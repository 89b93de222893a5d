#pragma once

#include "drawsurface.h"
#include "fase.h"
#include "faultrun.h"
#include "oppervlakken.h"
#include "plotstate.h"
#include "rotor.h"
#include "runhistory.h"
#include "sinusplot.h"

#include <memory>

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
    bool drawStep(const TMyGenerator &g, NetworkState network);
    // The plots on their present pictures, drawn again to look as they did.
    void redraw(const RunHistory &history);

private:
    void restartTrace(const TMyGenerator &g, bool freshPicture, bool markStart);

    PlotState m_state;
    int m_sinceRedraw = 0; // steps since the last full redraw
};
