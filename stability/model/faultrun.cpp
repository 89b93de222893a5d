#include "faultrun.h"

FaultRun::FaultRun(const TGenParams &params)
    : m_generator(std::make_unique<TMyGenerator>(params)) {}

void FaultRun::newGenerator(const TGenParams &params) {
    m_generator.reset();
    m_generator = std::make_unique<TMyGenerator>(params);
}

bool FaultRun::takeMachineData(const TGenParams &params) {
    TMyGenerator &g = generator();
    g.Pmax = params.Pmax;
    g.H = params.H;
    g.Demping = params.Demping;
    // A power step's run turns on the power after the step; the data's Pmech is where
    // it started from.
    if (m_running && m_scenario.network == Network::PowerStep) return false;
    if (params.Pmech == g.Pmech) return false;
    g.Pmech = params.Pmech;
    return true;
}

void FaultRun::start(const FaultScenario &scenario) {
    m_scenario = scenario;
    // The mechanical power steps at the run's start (the machine stays where it was).
    if (scenario.network == Network::PowerStep) generator().Pmech = scenario.pmechAfter;
    m_network = NetworkSchedule(scenario, m_network.clearingMs());
    m_totTijd = 0;
    m_steps = 0;
    m_stopped = false;
    m_outOfStepStep = 0;
    m_outOfStepClock = 0;
    m_running = true;
}

void FaultRun::stop() {
    if (m_running) m_stopped = true;
    m_running = false;
}

StepReport FaultRun::step(std::int32_t afschakeltijdMs) {
    StepReport r;
    r.number = ++m_steps;
    r.clock = m_totTijd;
    TMyGenerator &g = generator();
    if (afschakeltijdMs != m_network.clearingMs())
        m_network = NetworkSchedule(m_scenario, afschakeltijdMs);
    const NetworkAtStep network = m_network.at(m_totTijd);
    r.faultOn = network.faultOn;
    r.network = network.state;
    r.factor = network.factor;
    g.BerekenPelek(network.factor);
    g.BerekenDomega(StapTijd);
    g.BerekenDelta(StapTijd);
    r.Delta = g.Delta;
    r.Domega = g.Domega;
    r.Pelek = g.Pelek;
    // "Unless Delta <= 8 pi": an angle that is no number counts as out of step too. An
    // angle that runs away below zero is not reported; such a run ends at 10 s.
    r.outOfStep = !(g.Delta <= UitDePasHoek);
    if (r.outOfStep && m_outOfStepStep == 0) {
        m_outOfStepStep = r.number;
        m_outOfStepClock = r.clock;
    }
    for (const Listener &listener : m_listeners) listener(r);
    // The out-of-step reaction (a message box, for a window) has run in the listeners;
    // the run ends after this step.
    if (r.outOfStep) m_running = false;
    m_totTijd = m_totTijd + StapTijd;
    return r;
}

RunEnd FaultRun::runToEnd(std::int32_t afschakeltijdMs, const FaultScenario &scenario) {
    start(scenario);
    while (continues()) step(afschakeltijdMs);
    finish();
    return end();
}

RunEnd FaultRun::end() const {
    if (m_steps == 0 || m_running) return RunEnd::NotEnded;
    if (m_outOfStepStep != 0) return RunEnd::OutOfStep;
    if (m_stopped) return RunEnd::Stopped;
    return m_totTijd >= EindTijd ? RunEnd::ClockLimit : RunEnd::NotEnded;
}

RunOutcome simulateFault(const TGenParams &params, std::int32_t afschakeltijdMs,
                         const FaultScenario &scenario) {
    FaultRun run(params);
    RunOutcome outcome;
    outcome.end = run.runToEnd(afschakeltijdMs, scenario);
    outcome.steps = run.Steps();
    outcome.outOfStepStep = run.outOfStepStep();
    outcome.outOfStepClock = run.outOfStepClock();
    return outcome;
}
