#include "runhistory.h"

void RunHistory::begin(const TMyGenerator &g, std::int32_t clearingMs,
                       const FaultScenario &scenario) {
    if (!m_runs.empty() && m_runs.back().end == RunEnd::NotEnded) {
        RunRecord &open = m_runs.back();
        open.end = RunEnd::Stopped;
        open.endClock = open.samples.empty() ? 0 : open.samples.back().clock;
    }
    RunRecord run;
    run.id = ++m_lastId;
    run.params = TGenParams{g.Pmax, g.H, g.Demping, g.Pmech};
    run.clearingMs = clearingMs;
    run.scenario = scenario;
    run.samples.reserve(3334);
    m_runs.push_back(std::move(run));
    while (m_runs.size() > Kept) m_runs.pop_front();
}

void RunHistory::record(const StepReport &report, const TMyGenerator &g) {
    if (m_runs.empty()) return;
    RunSample s;
    s.number = report.number;
    s.clock = report.clock;
    s.faultOn = report.faultOn;
    s.rotorAngleDeg = static_cast<double>(g.DeltaInDegrees());
    s.speedDeviation = g.Domega;
    s.pelec = static_cast<double>(g.PelekInPowerUnit());
    s.delta = g.Delta;
    s.pelek = g.Pelek;
    s.network = report.network;
    RunRecord &run = m_runs.back();
    run.samples.push_back(s);
    // The run is out of step from the step that finds it so, while the message about it
    // waits for its OK, not only once the run has ended.
    if (report.outOfStep && run.end == RunEnd::NotEnded) {
        run.end = RunEnd::OutOfStep;
        run.endClock = report.clock;
    }
}

void RunHistory::finish(const FaultRun &run) {
    if (m_runs.empty() || m_runs.back().end != RunEnd::NotEnded) return;
    RunRecord &r = m_runs.back();
    r.end = run.end();
    // A stopped run ends at the clock its last step showed, as the read-out still does.
    r.endClock = r.end == RunEnd::OutOfStep ? run.outOfStepClock()
                 : r.samples.empty()        ? run.TotTijd()
                                            : r.samples.back().clock;
}

RunRecord recordRun(const StabilityCase &c) {
    FaultRun run(c.machine);
    RunHistory history;
    run.addListener([&](const StepReport &report) { history.record(report, run.generator()); });
    history.begin(run.generator(), c.clearingMs, c.scenario);
    run.runToEnd(c.clearingMs, c.scenario);
    history.finish(run);
    return *history.last();
}
