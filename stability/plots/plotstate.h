#pragma once

#include "fase.h"
#include "oppervlakken.h"
#include "rotor.h"
#include "runhistory.h"
#include "sinusplot.h"

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

// What the three plots show beyond the present generator, noted as they are drawn, so
// that pictures of another size (a zoom, a screen of other density) can be drawn again
// to look as if they had been drawn at that size all along.
struct PlotState {
    // The power-angle plot as last drawn afresh outside a run: its Pmech line, and
    // whether the axes lie over the curves (as start-up draws them) or under them.
    double pmech = 0;
    bool axesOverCurves = true;
    // The run whose equal areas and operating point are on it (its id in the history, 0
    // for none), what its areas started from, and after how many of its steps the plot
    // was drawn afresh for a new Pmech.
    int areasRun = 0;
    double areasDelta = 0, areasPmech = 0, areasR1 = 0, areasPreviousDelta = 0;
    // A power step or a line out: the areas lie about delta1 of r sin(delta).
    bool areasWithoutFault = false;
    double areasR = 1;
    std::vector<std::pair<std::size_t, double>> freshAfter;
    // The operating point (delta, Pelek) last drawn, and the one before that run: a fresh
    // plot keeps the block's place, and the next redraw step whitens it.
    std::optional<std::pair<double, double>> lastBlock, blockBeforeRun;
    // The phase-plane trace: where it starts, and the run that continues it (0: none).
    double traceDelta = 0, traceDomega = 0;
    int traceRun = 0;
    // The angle the rotor was last drawn at.
    double rotorDelta = 0;
};

// The phase plane's trace starts again at (delta, domega): on a new picture or a blanked
// one, with or without the starting point marked; the boundary and the axes' values, when
// shown, come before the trace.
void restartTrace(Fase &fase, double delta, double domega, bool freshPicture, bool markStart);
// The phase plane on its present picture, blanked, geometry included, drawn again to
// `state` with `run` (the trace's run, or none): with labels, its spans the least that
// hold the whole trace.
void redrawPhasePlane(const PlotState &state, const RunRecord *run, Fase &fase);

// The angle at which a run's fault was first cleared: the angle of its last step under the
// fault, known at the first step after it.
class ClearingWatch {
public:
    // Returns the clearing angle at the step that makes it known.
    std::optional<double> step(double delta, NetworkState network, double domega = 0);
    // The phase point (angle, speed deviation) of that last step under the fault, once
    // the clearing is known.
    std::optional<std::pair<double, double>> point() const {
        if (!m_known || !m_fault) return std::nullopt;
        return m_underFault;
    }

private:
    std::pair<double, double> m_underFault;
    bool m_fault = false; // a step under the fault came
    bool m_known = false;
};

// The power-angle plot afresh: the curves of the plot's network, the Pmech line and the
// axes.
void drawPowerAngle(SinusPlot &sinus, double pmech, bool axesOverCurves);
// The operating point, the curves (over what earlier steps left on them) and the equal
// areas at one of a run's redraw steps.
void drawSwingStep(SinusPlot &sinus, Oppervlakken &areas, const RunSample &step, double pmech,
                   bool curves = true);

// The three plots on their present pictures, geometry included, drawn again to `state`:
// the runs' steps come from the history, every `redrawEvery`-th step's operating point
// and areas as the run drew them.
void redrawPlots(const PlotState &state, const RunHistory &history, int redrawEvery,
                 SinusPlot &sinus, Oppervlakken &areas, Fase &fase, Rotor &rotor);
