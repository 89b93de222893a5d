#include "runplots.h"

#include "constants.h"
#include "equalarea.h"

#include <utility>

namespace {

// The criterion's angles for a machine at `pmech` before the scenario: the starting
// angle delta0; the equilibrium delta1 of the network the swing ends on, where it differs
// from delta0; the critical clearing angle of a fault where there is one; for a
// disturbance without a fault, where the first swing turns (delta_max, or delta_min for a
// fall in power) when it turns; and the unstable equilibrium delta_u, where the curve
// falls below Pmech for good. With the answers held, the starting angle alone: whether
// the others are there, and where, tells a lesson's answer.
std::vector<SinusPlot::Mark> criterionMarks(double pmech, const FaultScenario &scenario,
                                            bool answersHeld) {
    TGenParams params;
    params.Pmech = pmech;
    const auto mark = [](const char *name, long double angle) {
        return SinusPlot::Mark{QString::fromUtf8(name), static_cast<double>(angle)};
    };
    std::vector<SinusPlot::Mark> marks;
    if (!scenario.hasFault()) {
        const DisturbanceCriterion d = disturbanceCriterion(params, scenario);
        marks.push_back(mark("\u03B40", d.delta0));
        if (d.noEquilibrium || answersHeld) return marks;
        marks.push_back(mark("\u03B41", d.delta1));
        if (d.stable)
            marks.push_back(mark(d.deltaMax < d.delta1 ? "\u03B4min" : "\u03B4max", d.deltaMax));
        marks.push_back(mark("\u03B4u", Pi - d.delta1));
        return marks;
    }
    using Soort = KritiekeAfschakeling::Soort;
    const KritiekeAfschakeling k = BerekenKritiek(params, scenario);
    marks.push_back(mark("\u03B40", k.delta0));
    if (answersHeld) return marks;
    const bool equilibrium = k.soort != Soort::GeenEvenwicht;
    // After clearing onto a weaker network the machine settles at a larger angle.
    if (equilibrium && k.r2 < 1) marks.push_back(mark("\u03B41", Pi - k.deltaMax));
    if (k.soort == Soort::Grens) marks.push_back(mark("\u03B4cr", k.hoek));
    if (equilibrium) marks.push_back(mark("\u03B4u", k.deltaMax));
    return marks;
}

} // namespace

RunPlots::RunPlots(DrawSurface &powerAngle, DrawSurface &phasePlane, DrawSurface &rotorPicture)
    : sinus(std::make_unique<SinusPlot>(powerAngle)),
      oppervlakken(std::make_unique<Oppervlakken>(powerAngle, *sinus)),
      fase(std::make_unique<Fase>(phasePlane)), rotor(std::make_unique<Rotor>(rotorPicture)) {}

void RunPlots::restartTrace(const TMyGenerator &g, bool freshPicture, bool markStart) {
    // A new trace starts at the standard spans; with labels its run widens them.
    fase->resetRanges();
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
    m_marksFor = {g.Pmech, FaultScenario{}};
    sinus->setMarks(criterionMarks(g.Pmech, FaultScenario{}, m_answersHeld));
    sinus->setClearingAngle(std::nullopt);
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
        sinus->setClearingAngle(std::nullopt);
    }
    // A run's record keeps the Pmech it started from, before a power step.
    const double before = run ? run->params.Pmech : pmech;
    sinus->setScenario(network, before);
    m_marksFor = {before, network};
    sinus->setMarks(criterionMarks(before, network, m_answersHeld));
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
    m_clearing = ClearingWatch();
    sinus->setClearingAngle(std::nullopt);
}

bool RunPlots::drawStep(const TMyGenerator &g, NetworkState network, const RunRecord *run) {
    const std::optional<double> cleared = m_clearing.step(g.Delta, network, g.Domega);
    if (cleared) sinus->setClearingAngle(cleared);
    if (drawing) {
        if (fase->labels && run && run->id == m_state.traceRun &&
            fase->holdPoint(g.Delta, g.Domega)) {
            // The record holds this step already: the plane is drawn again up to it.
            ::redrawPhasePlane(m_state, run, *fase);
        } else {
            fase->BerekenFase(g.Delta, g.Domega);
            fase->TekenFase();
            // Over the trace, which passes the point again on later swings: once the
            // clearing is known, and again on every redraw step.
            const auto point = m_clearing.point();
            if (point && fase->labels && (cleared || m_sinceRedraw + 1 == RedrawEvery))
                fase->TekenAfschakeling(point->first, point->second);
        }
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

void RunPlots::redrawPhasePlane(const RunHistory &history) {
    // Only the newest run can be on the plane: a later one would have replaced it.
    const RunRecord *last = history.last();
    const bool shown = m_state.traceRun != 0 && last && last->id == m_state.traceRun;
    ::redrawPhasePlane(m_state, shown ? last : nullptr, *fase);
}

void RunPlots::setBoundary(const std::optional<StabilityBoundary> &boundary) {
    m_boundary = boundary ? std::make_shared<const StabilityBoundary>(*boundary) : nullptr;
    fase->setBoundary(m_answersHeld ? nullptr : m_boundary);
}

bool RunPlots::holdAnswers(bool held) {
    if (held == m_answersHeld) return false;
    m_answersHeld = held;
    sinus->setMarks(criterionMarks(m_marksFor.first, m_marksFor.second, held));
    fase->setBoundary(held ? nullptr : m_boundary);
    return true;
}

void RunPlots::setLabels(bool on) {
    sinus->labels = on;
    fase->labels = on;
}
