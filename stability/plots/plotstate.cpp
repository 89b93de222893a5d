#include "plotstate.h"

void restartTrace(Fase &fase, double delta, double domega, bool freshPicture, bool markStart) {
    if (freshPicture)
        fase.InitFase();
    else
        fase.SchoonFase();
    fase.holdBoundary();
    fase.TekenasFase();
    fase.TekenGrens();
    if (fase.labels) fase.TekenWaarden();
    if (markStart) fase.BerekenFase(delta, domega);
    fase.beginTrace(delta, domega);
    if (markStart) fase.TekenFase();
}

void drawPowerAngle(SinusPlot &sinus, double pmech, bool axesOverCurves) {
    sinus.Schoon();
    if (!axesOverCurves) sinus.Tekenas();
    sinus.TekenSinus();
    sinus.TekenPmech(pmech);
    if (axesOverCurves) sinus.Tekenas();
    if (sinus.labels) sinus.TekenWaarden();
}

void drawSwingStep(SinusPlot &sinus, Oppervlakken &areas, const RunSample &step, double pmech,
                   bool curves) {
    sinus.VerwijderBlok();
    if (curves) sinus.TekenSinus();
    sinus.TekenBlok(step.delta, step.pelek);
    areas.TekenOppervlakken(step.delta, step.pelek, pmech, step.network);
    if (sinus.labels) {
        areas.TekenNamen();
        sinus.TekenWaarden();
    }
}

std::optional<double> ClearingWatch::step(double delta, NetworkState network, double domega) {
    if (m_known) return std::nullopt;
    if (network == NetworkState::Fault) {
        m_underFault = {delta, domega};
        m_fault = true;
        return std::nullopt;
    }
    m_known = true;
    if (!m_fault) return std::nullopt; // a run without a fault
    return m_underFault.first;
}

void redrawPhasePlane(const PlotState &state, const RunRecord *run, Fase &fase) {
    fase.InitFase();
    fase.resetRanges();
    if (fase.labels) {
        fase.holdPoint(state.traceDelta, state.traceDomega);
        if (run)
            for (const RunSample &s : run->samples) fase.holdPoint(s.delta, s.speedDeviation);
    }
    restartTrace(fase, state.traceDelta, state.traceDomega, false, true);
    if (!run) return;
    ClearingWatch clearing;
    for (const RunSample &s : run->samples) {
        clearing.step(s.delta, s.network, s.speedDeviation);
        fase.BerekenFase(s.delta, s.speedDeviation);
        fase.TekenFase();
    }
    // Over the trace, which passes the point again on later swings.
    if (const auto cleared = clearing.point(); cleared && fase.labels)
        fase.TekenAfschakeling(cleared->first, cleared->second);
}

void redrawPlots(const PlotState &state, const RunHistory &history, int redrawEvery,
                 SinusPlot &sinus, Oppervlakken &areas, Fase &fase, Rotor &rotor) {
    // Only the newest run can be on the plots: a later one would have replaced it.
    const RunRecord *last = history.last();
    const auto shown = [last](int id) {
        return id != 0 && last && last->id == id ? last : nullptr;
    };

    redrawPhasePlane(state, shown(state.traceRun), fase);

    rotor.InitRotor();
    rotor.TekenRotor(state.rotorDelta);

    sinus.InitSinus();
    sinus.BerekenSinus();
    // A run's clearing angle is marked from its step on, as the run drew it.
    sinus.setClearingAngle(std::nullopt);
    drawPowerAngle(sinus, state.pmech, state.axesOverCurves);
    const RunRecord *run = shown(state.areasRun);
    const auto &block = run ? state.blockBeforeRun : state.lastBlock;
    sinus.BlokPunten = block ? sinus.blockAround(block->first, block->second) : PointList();
    if (!run) return;
    // The areas' state runs through every redraw step again, as the erasing of each
    // polygon's last outline depends on it.
    areas.VorigeDelta = state.areasPreviousDelta;
    if (state.areasWithoutFault)
        areas.InitZonderFout(state.areasDelta, state.areasPmech, state.areasR);
    else
        areas.InitOppervlakken(state.areasDelta, state.areasPmech, state.areasR1);
    ClearingWatch clearing;
    // Each redraw step draws the curves over all that came before, so only the last one's
    // drawing of them can be seen.
    const std::vector<RunSample> &samples = run->samples;
    std::size_t lastCurves = samples.size();
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (samples[i].number % redrawEvery == 0) lastCurves = i;
    double pmech = state.areasPmech;
    auto fresh = state.freshAfter.begin();
    for (std::size_t i = 0;; ++i) {
        for (; fresh != state.freshAfter.end() && fresh->first == i; ++fresh) {
            pmech = fresh->second;
            drawPowerAngle(sinus, pmech, false);
        }
        if (i == samples.size()) break;
        const RunSample &s = samples[i];
        if (const std::optional<double> cleared = clearing.step(s.delta, s.network))
            sinus.setClearingAngle(cleared);
        if (s.number % redrawEvery == 0) drawSwingStep(sinus, areas, s, pmech, i == lastCurves);
    }
}
