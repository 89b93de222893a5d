#include "runplots.h"

#include <utility>

RunPlots::RunPlots(DrawSurface &powerAngle, DrawSurface &phasePlane, DrawSurface &rotorPicture)
    : sinus(std::make_unique<SinusPlot>(powerAngle)),
      oppervlakken(std::make_unique<Oppervlakken>(powerAngle, *sinus)),
      fase(std::make_unique<Fase>(phasePlane)), rotor(std::make_unique<Rotor>(rotorPicture)) {}

void RunPlots::restartTrace(const TMyGenerator &g, bool freshPicture, bool markStart) {
    ::restartTrace(*fase, g.Delta, g.Domega, freshPicture, markStart);
    m_state.traceDelta = g.Delta;
    m_state.traceDomega = g.Domega;
}

void RunPlots::drawStart(const TMyGenerator &g) {
    m_state = PlotState{};
    m_state.pmech = g.Pmech;
    m_state.rotorDelta = g.Delta;
    sinus->InitSinus();
    sinus->BerekenSinus();
    drawPowerAngle(*sinus, g.Pmech, true);
    restartTrace(g, true, true);
    rotor->InitRotor();
    rotor->TekenRotor(g.Delta);
}

void RunPlots::drawNewCase(const TMyGenerator &g, const FaultScenario &network) {
    redrawPowerAngle(network, g.Pmech, nullptr);
    restartTrace(g, false, true);
    rotor->WisRotor();
    rotor->TekenRotor(g.Delta);
    m_state.traceRun = 0;
    m_state.rotorDelta = g.Delta;
}

void RunPlots::drawNewGenerator(const TMyGenerator &g, const FaultScenario &network) {
    redrawPowerAngle(network, g.Pmech, nullptr);
    restartTrace(g, false, false);
}

void RunPlots::redrawPowerAngle(const FaultScenario &network, double pmech, const RunRecord *run) {
    if (run) {
        m_state.freshAfter.emplace_back(run->samples.size(), pmech);
    } else {
        // No run draws the areas again.
        m_state.pmech = pmech;
        m_state.axesOverCurves = false;
        m_state.areasRun = 0;
        m_state.freshAfter.clear();
    }
    // A run's record keeps the Pmech it started from, before a power step.
    const double before = run ? run->params.Pmech : pmech;
    sinus->setScenario(network, before);
    drawPowerAngle(*sinus, pmech, false);
}

void RunPlots::beginRun(const TMyGenerator &g, const RunRecord &run,
                        const FaultScenario &scenario) {
    m_sinceRedraw = 0;
    m_state.areasRun = m_state.traceRun = run.id;
    m_state.areasDelta = g.Delta;
    m_state.areasPmech = g.Pmech;
    m_state.areasR1 = scenario.r1();
    m_state.areasWithoutFault = !scenario.hasFault();
    m_state.areasR = scenario.r2();
    m_state.areasPreviousDelta = oppervlakken->VorigeDelta;
    m_state.freshAfter.clear();
    m_state.blockBeforeRun = m_state.lastBlock;
    if (m_state.areasWithoutFault)
        oppervlakken->InitZonderFout(m_state.areasDelta, m_state.areasPmech, m_state.areasR);
    else
        oppervlakken->InitOppervlakken(m_state.areasDelta, m_state.areasPmech, m_state.areasR1);
}

bool RunPlots::drawStep(const TMyGenerator &g, NetworkState network) {
    if (drawing) {
        fase->BerekenFase(g.Delta, g.Domega);
        fase->TekenFase();
    }
    ++m_sinceRedraw;
    const bool full = m_sinceRedraw == RedrawEvery && drawing;
    if (full) {
        RunSample now;
        now.delta = g.Delta;
        now.pelek = g.Pelek;
        now.network = network;
        drawSwingStep(*sinus, *oppervlakken, now, g.Pmech);
        m_state.lastBlock = std::make_pair(g.Delta, g.Pelek);
        rotor->WisRotor();
        rotor->TekenRotor(g.Delta);
        m_state.rotorDelta = g.Delta;
    }
    if (m_sinceRedraw == RedrawEvery) m_sinceRedraw = 0;
    return full;
}

void RunPlots::redraw(const RunHistory &history) {
    redrawPlots(m_state, history, RedrawEvery, *sinus, *oppervlakken, *fase, *rotor);
}
