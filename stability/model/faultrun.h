#pragma once

#include "constants.h"
#include "mygenerator.h"
#include "scenario.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The fault run: one simulated three-phase fault, on the generator's busbar or on a line
// (see FaultScenario), stepped every 3 ms of simulated time until the clock reaches 10 s.
constexpr double StapTijd = 0.003;
constexpr double EindTijd = 10.0;
// Four full turns: beyond this the generator has certainly slipped a pole.
constexpr long double UitDePasHoek = 4 * TwoPi;
static_assert(UitDePasHoek == 25.132741228718345908L);
// The clearing time the program starts with, ms.
constexpr std::int32_t DefaultAfschakeltijd = 200;

// What one step of a run did, as whoever follows the run sees it.
struct StepReport {
    int number = 0;   // 1 for the first step of its run
    double clock = 0; // TotTijd at the start of the step, s
    bool faultOn = false;
    // The network the step saw, and the share of the pre-fault Pmax it carried.
    NetworkState network = NetworkState::Fault;
    double factor = 0;
    double Delta = 0;       // rad, after the step
    double Domega = 0;      // rad/s, after the step
    double Pelek = 0;       // per-unit of Pmax, the power the step used
    bool outOfStep = false; // this step found the generator out of step
};

// How a run ended, or that it has not.
enum class RunEnd {
    NotEnded,   // in progress, or no run yet
    ClockLimit, // the clock reached 10 s: the generator stayed in step
    OutOfStep,  // the rotor angle passed four turns
    Stopped,    // stopped from outside (a second press of the button)
};

// The simulation of fault runs, without any window: it owns the current generator,
// the clock TotTijd, the step counter and the run flag, and steps the generator by
// the swing equation. Whoever shows the run (the main window, a test, a search for
// the critical clearing time) listens to the steps and decides how fast they come.
//
// Each step, in this order: the electrical power from the angle of the previous step
// (the fault on while the clock is at or before the clearing time), the speed, the
// angle; the out-of-step test; the listeners; the clock advanced by 3 ms as a running
// sum. The clearing time is read anew at every step, so a change made during a run
// takes effect at the next one.
class FaultRun {
public:
    using Listener = std::function<void(const StepReport &)>;

    // Starts with a generator built from `params`, at its pre-fault equilibrium.
    explicit FaultRun(const TGenParams &params = TGenParams{});

    // The current generator. A run always reaches it through here, so a run started
    // while another was being shown steps the newest one.
    TMyGenerator &generator() { return *m_generator; }
    const TMyGenerator &generator() const { return *m_generator; }
    // Destroys the current generator and builds its successor from `params`.
    void newGenerator(const TGenParams &params);
    // Writes changed machine data into the current generator, a run in progress
    // included: Pmax, H and Demping, and Pmech only when it differs. M and the starting
    // angle stay as they were computed at creation. Returns whether Pmech changed.
    bool takeMachineData(const TGenParams &params);

    // Called after every step, in the order added. A listener may show a modal dialog;
    // the run waits inside the step until it returns.
    void addListener(Listener listener) { m_listeners.push_back(std::move(listener)); }

    // Starts a run on the network of `scenario`, which it keeps to its end: clock and
    // step counter to 0, the run flag set.
    void start(const FaultScenario &scenario = {});
    const FaultScenario &scenario() const { return m_scenario; }
    // Whether the run makes another step: the flag is set and the clock below 10 s.
    bool continues() const { return m_running && m_totTijd < EindTijd; }
    // One step with the clearing time as it stands now.
    StepReport step(std::int32_t afschakeltijdMs);
    // Asks the run to end; it makes no further step.
    void stop();
    // The run's loop has ended, whatever the cause.
    void finish() { m_running = false; }

    // A whole run from the current generator, as fast as the machine goes.
    RunEnd runToEnd(std::int32_t afschakeltijdMs, const FaultScenario &scenario = {});

    double TotTijd() const { return m_totTijd; }
    bool Running() const { return m_running; }
    // Steps made in the present or last run.
    int Steps() const { return m_steps; }
    RunEnd end() const;
    // The step that found the generator out of step, and the clock at its start
    // (meaningful when end() is OutOfStep).
    int outOfStepStep() const { return m_outOfStepStep; }
    double outOfStepClock() const { return m_outOfStepClock; }

private:
    std::unique_ptr<TMyGenerator> m_generator;
    std::vector<Listener> m_listeners;
    FaultScenario m_scenario;
    // The run's network for the clearing time last asked for: made again when it changes.
    NetworkSchedule m_network{FaultScenario{}, DefaultAfschakeltijd};
    double m_totTijd = 0; // simulation clock, s: a running sum of steps
    int m_steps = 0;
    bool m_running = false;
    bool m_stopped = false;
    int m_outOfStepStep = 0;
    double m_outOfStepClock = 0;
};

// The outcome of one whole run from a fresh generator, without any window.
struct RunOutcome {
    RunEnd end = RunEnd::NotEnded;
    int steps = 0;
    int outOfStepStep = 0;     // 0 unless out of step
    double outOfStepClock = 0; // clock at the start of that step, s
};
RunOutcome simulateFault(const TGenParams &params, std::int32_t afschakeltijdMs,
                         const FaultScenario &scenario = {});
