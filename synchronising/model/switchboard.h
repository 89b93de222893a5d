#pragma once

#include "island.h"
#include "switchinglog.h"
#include "synchropanel.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

// The switchboard: a real generator brought onto a 50 Hz, 380 V bus by its governor and
// its voltage regulator, through a breaker that takes time to close, watched by a
// synchroscope, three lamps and a wattmeter. Simulated in fixed steps of 1 ms, so that the
// same exercise and the same operator actions always give the same numbers.

// How the three synchronising lamps are wired.
enum class LampMethod {
    Dark,     // each across its own phase: all dark together in phase
    Bright,   // one side reversed: all brightest in phase
    Rotating, // L1 red-red, L2 lime-blue, L3 blue-lime: the dark spot turns with the slip
};
// Who may close the breaker and when.
enum class SwitchboardMode {
    Manual,     // the operator, at any moment
    Permissive, // the operator, when a sync-check relay allows it
    Automatic,  // the automatic synchroniser
};

// One exercise: the bus, the machine's start and its controls' data.
struct SwitchboardSettings {
    double busFrequency = 50;    // Hz, 49.5 to 50.5
    double frequency = 49;       // Hz, the machine's start (and its governor's reference)
    double voltage = 360;        // V, the machine's start (and its regulator's reference)
    double angle = 0;            // degrees, generator's red phase ahead of the bus's
    std::int32_t breakerMs = 80; // command to contact, 10 to 500 ms
    double governorRate = 0.1;   // Hz/s while speed raise or lower is held
    double avrRate = 1;          // % of 380 V per second while voltage raise or lower is held
    double speedLagS = 1.5;      // the machine's frequency follows the reference with this lag
    double voltageLagS = 0.5;    // and its voltage the regulator's reference with this one
    double inertiaS = 3;         // H, s
    double droopPct = 5;         // governor droop
    double reversePowerPct = 2;  // the reverse-power relay trips below minus this
    double reversePowerS = 5;    // for this long
    LampMethod lamps = LampMethod::Dark;
    bool phaseOrderReversed = false; // two of the generator's cables swapped
    SwitchboardMode mode = SwitchboardMode::Manual;
    // The bus: infinite (bus_frequency, 380 V, whatever the machine does) or an island held
    // up by a running set; the island's data and its load are read for an island only.
    BusKind bus = BusKind::Infinite;
    IslandSettings island;
    IslandLoad load;
};

// The ranges of the settings; the first value out of range, named with its range
// ("frequency must be from 40 to 60 Hz"), or nothing. A value that is no number is out of
// range.
std::optional<std::string> checkSwitchboard(const SwitchboardSettings &settings);
// "KEY must lie from LOW to HIGH UNIT" when `v` is out of that range or no number.
std::optional<std::string> outOfRange(const std::string &key, double v, double low, double high,
                                      const char *unit);

// The bus: 380 V between lines.
constexpr double BusVoltage = 380;
// The reactance between the machine's internal voltage and the bus once it is connected,
// per-unit: the machine can give (U/380)/0.5 of its rating at 90 degrees.
constexpr double TieReactance = 0.5;
// The limits of the governor's and the regulator's references.
constexpr double MinSpeedReference = 40, MaxSpeedReference = 60;       // Hz
constexpr double MinVoltageReference = 190, MaxVoltageReference = 570; // V

// What the operator (or a replay) does, at a simulated time.
// The Running... controls act on the island's set 1: its governor's and regulator's
// raise/lower (press and release) and its breaker (open only); on an infinite bus they
// are ignored and not recorded.
enum class SwitchboardControl {
    SpeedRaise,
    SpeedLower,
    VoltageRaise,
    VoltageLower,
    Breaker,
    Mode,
    RunningSpeedRaise,
    RunningSpeedLower,
    RunningVoltageRaise,
    RunningVoltageLower,
    RunningBreaker,
};
enum class ControlState { Press, Release, Close, Open, Manual, Permissive, Automatic };
struct SwitchboardAction {
    std::int64_t timeMs = 0; // from the start of the exercise
    SwitchboardControl control = SwitchboardControl::Breaker;
    ControlState state = ControlState::Close;
};
// Whether a state belongs to a control (press and release to the four raise/lower
// controls, close and open to the breaker, the three modes to the mode).
bool fitsControl(SwitchboardControl control, ControlState state);

enum class BreakerState { Open, Closing, Closed };
enum class TripCause {
    None,
    PhaseOrderReversed,
    ReversePower,
    PoleSlip,
    OutOfPhase,
    // The island's protection.
    Overload,
    UnderFrequency,
    UnderVoltage,
};

// The machine's own three-phase fault current at its terminals, per-unit of rated current:
// 1/X"d. A close whose current reaches it is a fault to the protection, which trips at
// contact (about 60 degrees out of phase at the bus's voltage).
constexpr double ThreePhaseFaultCurrentPu = 1 / SubtransientReactance;
// Beyond this angle at contact the shaft takes a torque beyond a three-phase fault's: the
// close scores 0 whether or not it tripped.
constexpr double FaultTorqueAngleDeg = 30;
// The bands an operator aims for, as the sync-check relay's limits allow (IEEE C50.12):
// the generator a little fast, up to the relay's slip, and 0 to +5 % above the bus.
constexpr double TargetMinSlipHz = 0.02, TargetMaxSlipHz = RealMaxSlipHz;
constexpr double TargetMinVoltagePct = RealMinVoltagePercent,
                 TargetMaxVoltagePct = RealMaxVoltagePercent;
// A close's result is final at its trip, or this long after contact when nothing tripped.
constexpr std::int64_t ResultAfterMs = 10000;

// Which of the sync-check relay's conditions failed (IEEE C50.12's limits).
struct RelayRefusal {
    bool angle = false;   // |theta| > 10 degrees
    bool slip = false;    // |f - f_bus| > 0.067 Hz
    bool voltage = false; // not 0 to +5 % above the bus
    bool any() const { return angle || slip || voltage; }
};

// An entry of the switchboard's log. Numbers that an event does not have are NaN.
// On an island also: a load step, a blackout (the last set left the bus), a task met or
// failed.
enum class SwitchboardEventKind {
    CloseCommand,
    Refused,
    Contact,
    Trip,
    Open,
    Result,
    LoadStep,
    Blackout,
    TaskMet,
    TaskFailed,
};
struct SwitchboardEvent {
    std::int64_t timeMs = 0;
    SwitchboardEventKind kind = SwitchboardEventKind::CloseCommand;
    double angleDeg = std::numeric_limits<double>::quiet_NaN();             // theta
    double slipHz = std::numeric_limits<double>::quiet_NaN();               // f - f_bus
    double voltageDifferencePct = std::numeric_limits<double>::quiet_NaN(); // (U - 380)/380
    double closingCurrentPu = std::numeric_limits<double>::quiet_NaN();     // at contact
    // At a trip, and at a result (the power then).
    double powerPu = std::numeric_limits<double>::quiet_NaN();
    TripCause trip = TripCause::None; // at a trip, and in a result that scores 0 for it
    bool beyondFaultTorque = false;   // in a result: contact beyond FaultTorqueAngleDeg
    RelayRefusal refusal;             // at a refusal
    bool automatic = false;           // a close command of the automatic synchroniser
    int score = -1;                   // in a result, 0 to 100
    // Which set a trip or an open is of: 2 the switchboard's machine (always on an
    // infinite bus), 1 the island's running set. A blackout's trip cause is that of the
    // trip that ended it (None when the operator opened the last breaker).
    int set = 2;
    // At a load step: the load from then on.
    double loadPKw = std::numeric_limits<double>::quiet_NaN();
    double loadQKvar = std::numeric_limits<double>::quiet_NaN();
};

// The score of a close out of 100 (the user guide gives the rubric): angle at contact
// (|theta| <= 2: 40, <= 5: 30, <= 10: 15), slip (+0.02 to +0.067 Hz: 30, 0 to +0.2 Hz: 15),
// voltage difference (0 to +5 %: 20, -5 to +10 %: 10), time of contact from the start
// (<= 60 s: 10, <= 120 s: 5); a close that tripped before its result, or whose contact
// came beyond 30 degrees, scores 0.
struct SwitchboardScore {
    int angle = 0, slip = 0, voltage = 0, time = 0;
    TripCause zeroBecause = TripCause::None;
    bool beyondFaultTorque = false;
    bool zeroed() const { return zeroBecause != TripCause::None || beyondFaultTorque; }
    int total() const { return zeroed() ? 0 : angle + slip + voltage + time; }
};
SwitchboardScore scoreClose(double angleAtContactDeg, double slipHz, double voltageDifferencePct,
                            double contactTimeS, TripCause trip);

// One close command and what came of it, for the log's table.
struct SwitchboardAttempt {
    std::int64_t commandMs = 0;
    double angleAtCommandDeg = 0;
    bool automatic = false;
    bool refused = false; // by the relay: nothing more happened
    RelayRefusal refusal;
    bool cancelled = false; // opened before the contacts touched
    std::optional<std::int64_t> contactMs;
    double angleAtContactDeg = 0, slipHz = 0, voltageDifferencePct = 0, closingCurrentPu = 0;
    // What tripped the breaker while this close held it, also after the result: a close
    // that a trip ends before its result scores 0; one tripped later (a reverse-power
    // relay set slower than the result) keeps its score, and the trip stands beside it.
    TripCause trip = TripCause::None;
    // The power when the result was taken: at the trip, or ResultAfterMs after contact.
    std::optional<double> resultPowerPu;
    std::optional<int> score;    // once the result is in
    SwitchboardScore scoreParts; // and where it came from
};

// The voltage across each lamp over the largest it can see, 0 below a third of it (a
// filament stays dark), for the generator's red phase `thetaDeg` ahead of the bus's and its
// voltage `u` per-unit of the bus's.
std::array<double, 3> lampBrightness(LampMethod method, bool phaseOrderReversed, double thetaDeg,
                                     double u);
// Where lamp i stands on a circle, degrees clockwise from twelve o'clock, in the rotating
// method: L1 at 0, L3 at 120, L2 at 240, so that the dark spot turns clockwise when the
// generator runs fast, as the synchroscope's needle does.
double rotatingLampPositionDeg(std::size_t lamp);
// The largest current of the three phases when the breaker closes, per-unit of rated
// current: |u e^(j theta) - 1| / X"d for each phase, the phases 120 degrees apart when the
// phase order is reversed.
double closingCurrentPu(double thetaDeg, double u, bool phaseOrderReversed);
// The angle before twelve o'clock at which a close command makes the contacts touch in
// phase: 360 * slip * breaker time, degrees (+0.1 Hz, 80 ms: 2.88).
double advanceAngleDeg(double slipHz, std::int32_t breakerMs);

// What the automatic synchroniser is doing.
enum class SynchroniserState {
    Off,             // not in automatic mode
    Matching,        // pulsing the governor or the regulator towards the targets
    WaitingForAngle, // slip and voltage in their windows: waiting for the advance angle
    Closing,         // the close command is given
    Connected,       // the breaker is closed
    PhaseOrderWrong, // will not close: the phase order is reversed
};

// What one set on the island gives the bus, as its meters show it.
struct SetReading {
    bool connected = false;
    double pKw = 0, qKvar = 0;   // 0 when off the bus
    double currentA = 0;         // sqrt(P^2 + Q^2) / (sqrt(3) V), line current
    double powerFactor = 1;      // P / S, 1 with no load; its sign is P's
    double setpointHz = 0;       // the governor's no-load set point
    double voltageSetpointV = 0; // the regulator's no-load set point
    double frequencyHz = 0;      // the set's own speed, electrical Hz
    double ratingKw = 0;
};

// The machine, its bus, breaker, protection and automatic synchroniser.
class Switchboard {
public:
    static constexpr std::int64_t StepMs = 1;
    // At most this many actions and events are kept: a stuck mouse or key cannot grow them
    // without end.
    static constexpr std::size_t MaxActions = 100000, MaxEvents = 10000;

    // Starts the exercise anew at time 0. Settings out of range (checkSwitchboard) must
    // not be given.
    explicit Switchboard(const SwitchboardSettings &settings = {});
    void reset(const SwitchboardSettings &settings);
    const SwitchboardSettings &settings() const { return m_settings; }

    // An operator action at the present time: recorded, and in force from the next step.
    // A state that does not fit the control is ignored. A press of a raise/lower control
    // in the same millisecond as its release (a held key that some X servers repeat as
    // release/press pairs) takes the release back: one hold, one press and one release.
    void act(SwitchboardControl control, ControlState state);
    // One step of 1 ms.
    void step();
    // Steps until the time reaches `untilMs`, applying the actions of `replay` (in time
    // order, from `nextAction` on) as they fall due: an action at t from the first step
    // that starts at or after t.
    void runUntil(std::int64_t untilMs, const std::vector<SwitchboardAction> *replay = nullptr,
                  std::size_t *nextAction = nullptr);

    std::int64_t timeMs() const { return m_timeMs; }
    double timeS() const { return m_timeMs / 1000.0; }

    // The bus: on an island its frequency and voltage are those the sets on it hold up
    // (0 after a blackout); on the infinite bus bus_frequency and 380 V.
    double busFrequencyHz() const;
    double busVoltageV() const;
    bool island() const { return m_settings.bus == BusKind::Island; }

    // The island (on an infinite bus: set 1 not connected with zeros, set 2 from the
    // machine's power and the rating incoming_rating_kw, the load 0).
    SetReading set(int which) const; // 1 or 2
    double loadPKw() const;
    double loadQKvar() const;
    BreakerState runningBreaker() const; // set 1's; Open on an infinite bus
    bool blackout() const;
    // Set 1's raise/lower lit, as lit().
    std::array<bool, 4> runningLit() const;
    TaskState taskState() const;
    std::optional<std::int64_t> taskDoneMs() const; // when met or failed

    // The machine as the instruments see it.
    double frequencyHz() const;             // the machine's electrical frequency
    double voltageV() const { return m_u; } // its internal voltage, line to line
    // What its voltmeter reads at the terminals: the bus's voltage while the breaker ties
    // them to it, else the internal voltage (no load, no drop).
    double terminalVoltageV() const;
    double speedReferenceHz() const { return m_fRef; }
    double voltageReferenceV() const { return m_uRef; }
    double angleDeg() const; // theta, (-180, 180]: positive is the generator ahead
    double slipHz() const { return frequencyHz() - busFrequencyHz(); }
    double voltageDifferencePct() const; // (U - bus) / bus, %
    double powerPu() const;              // to the bus, of its rating; 0 when the breaker is open
    double reactivePu() const;           // the same for reactive power
    // Seconds for the synchroscope's needle to turn once: 1/|slip|; infinite at no slip.
    double secondsPerTurn() const;
    std::array<double, 3> lamps() const; // 0 dark to 1 full; dark while the breaker is closed
    BreakerState breaker() const { return m_breaker; }
    SwitchboardMode mode() const { return m_mode; }
    // Each raise/lower control lit: held by the operator or pulsed by the synchroniser, in
    // the order speed raise, speed lower, voltage raise, voltage lower.
    std::array<bool, 4> lit() const;
    // What the sync-check relay would say to a close command now.
    RelayRefusal relayCheck() const;
    // The advance angle the synchroniser uses at the present slip.
    double advanceAngleNowDeg() const { return advanceAngleDeg(slipHz(), m_settings.breakerMs); }
    SynchroniserState synchroniser() const;
    TripCause lastTrip() const { return m_lastTrip; }

    const std::vector<SwitchboardAction> &actions() const { return m_actions; }
    const std::vector<SwitchboardEvent> &events() const { return m_events; }
    const std::vector<SwitchboardAttempt> &attempts() const { return m_attempts; }

private:
    // Removes a release of `control` recorded in the present millisecond, if it is that
    // control's newest action; whether it did.
    bool takeBackRelease(SwitchboardControl control);
    void closeCommand(bool automatic);
    void contact();
    void trip(TripCause cause);
    // `cause` is the trip's that opens it (None for the operator's open).
    void openBreaker(bool logged, TripCause cause = TripCause::None);
    // The switchboard's machine's own protection while its breaker is closed: pole slip and
    // reverse power.
    void protectMachine();
    void settleAttempts();
    void synchronise();
    SwitchboardEvent event(SwitchboardEventKind kind) const;
    void log(const SwitchboardEvent &e);
    // The island's: its step, the load steps due, each set's and the bus's protection,
    // a set leaving the bus (`cause` None for an open), the bus lost, and the task.
    void stepIsland();
    void applyLoadSteps();
    void protectIsland();
    bool timed(bool condition, std::int64_t &sinceMs, std::int64_t delayMs) const;
    void leaveBus(int set, TripCause cause);
    void tripAll(TripCause cause);
    void loseBus(int set, TripCause cause);
    void decideTask(bool met);
    void watchTask();
    double busVoltageBaseV() const;

    SwitchboardSettings m_settings;
    SwitchboardMode m_mode = SwitchboardMode::Manual;
    std::int64_t m_timeMs = 0;
    // Per-step factors of the two lags, 1 - e^(-dt/tau).
    double m_speedFollow = 1, m_voltageFollow = 1;
    double m_fRef = 50, m_uRef = 380;
    double m_f = 50, m_fBefore = 50, m_u = 380, m_uBefore = 380;
    double m_thetaDeg = 0;
    // While connected: the rotor angle, rad, unwrapped, and its speed against the bus.
    double m_delta = 0, m_omega = 0;
    BreakerState m_breaker = BreakerState::Open;
    std::int64_t m_contactDueMs = 0;
    std::int64_t m_reverseSinceMs = -1;
    std::int64_t m_reversePowerMs = 0; // reverse_power_s to the millisecond
    TripCause m_lastTrip = TripCause::None;
    std::array<bool, 4> m_held{};
    std::array<bool, 4> m_pulsed{};
    // The synchroniser's pulses: when the running pulses end, and when it looks next.
    std::array<std::int64_t, 2> m_pulseEndMs{};
    std::int64_t m_nextLookMs = 0;
    std::size_t m_firstOpenAttempt = 0;
    // The attempt whose close holds the breaker now.
    std::optional<std::size_t> m_holdingAttempt;
    std::vector<SwitchboardAction> m_actions;
    std::vector<SwitchboardEvent> m_events;
    std::vector<SwitchboardAttempt> m_attempts;
    // The island (unused on an infinite bus): its bus and sets, set 1's held controls, the
    // bus lost, the protection's timers (reverse power and overload per set, then the
    // bus's under-frequency and under-voltage), the next load step and the task.
    IslandBus m_island;
    std::array<bool, 4> m_runningHeld{};
    bool m_dead = false;
    bool m_collapsing = false;
    std::int64_t m_runningReverseSinceMs = -1;
    std::array<std::int64_t, 4> m_islandSinceMs{};
    std::size_t m_nextLoadStep = 0;
    TaskState m_task = TaskState::Open;
    std::optional<std::int64_t> m_taskDoneMs;
    std::int64_t m_taskSinceMs = -1;
};
