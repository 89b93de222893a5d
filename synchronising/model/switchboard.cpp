#include "switchboard.h"

#include "switchinglog.h"
#include "synchropanel.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <sstream>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double StepS = Switchboard::StepMs / 1000.0;
// Governor droop is a fraction of the rated frequency, not of the bus's.
constexpr double RatedFrequency = 50;
// Rounding in the read-out's own digits must not cost a student a band of the score.
constexpr double Slack = 1e-9;

// The automatic synchroniser closes within the operator's target bands, aims at their
// middle and leaves a band around it alone, so that it does not hunt.
constexpr double TargetSlipHz = 0.045, SlipBandHz = 0.012;
constexpr double MinSlipHz = TargetMinSlipHz, MaxSlipHz = TargetMaxSlipHz;
constexpr double TargetVoltagePct = 2.5, VoltageBandPct = 1;
constexpr double MinVoltagePct = TargetMinVoltagePct, MaxVoltagePct = TargetMaxVoltagePct;
// Its pulses: at most this long, then a pause to see what they did.
constexpr std::int64_t LongestPulseMs = 3000, ShortestPulseMs = 10, PauseMs = 500;

bool inRange(double v, double low, double high) {
    return v >= low && v <= high; // false for NaN
}

std::string number(double v) {
    std::ostringstream s;
    s << v;
    return s.str();
}

std::string range(const char *key, double low, double high, const char *unit) {
    return std::string(key) + " must lie from " + number(low) + " to " + number(high) + unit;
}

// Which way a raise/lower pair moves its set point: held together, neither.
double direction(bool up, bool down) {
    return up == down ? 0.0 : up ? 1.0 : -1.0;
}

// Degrees into (-180, 180].
double wrapDeg(double deg) {
    if (deg > 180 || deg <= -180) {
        deg = std::remainder(deg, 360.0);
        if (deg <= -180) deg += 360;
    }
    return deg;
}

// The lag's share of the remaining difference taken in one step.
double follow(double lagS) {
    return lagS > 0 ? -std::expm1(-StepS / lagS) : 1;
}

// The generator's terminal of each phase, degrees ahead of the bus's red phase; the bus's
// phases stand at 0, -120, -240. Two swapped cables make the generator's sequence run the
// other way round.
std::array<std::complex<double>, 3> generatorPhases(bool reversed, double thetaDeg, double u) {
    std::array<std::complex<double>, 3> g;
    for (int k = 0; k < 3; ++k)
        g[k] = std::polar(u, (thetaDeg + (reversed ? 120.0 : -120.0) * k) * Pi / 180);
    return g;
}

std::complex<double> busPhase(int k) {
    return std::polar(1.0, -120.0 * k * Pi / 180);
}

} // namespace

std::optional<std::string> outOfRange(const std::string &key, double v, double low, double high,
                                      const char *unit) {
    if (inRange(v, low, high)) return std::nullopt;
    return range(key.c_str(), low, high, unit);
}

std::optional<std::string> checkSwitchboard(const SwitchboardSettings &s) {
    if (!inRange(s.busFrequency, 49.5, 50.5)) return range("bus_frequency", 49.5, 50.5, " Hz");
    if (!inRange(s.frequency, 40, 60)) return range("frequency", 40, 60, " Hz");
    if (!inRange(s.voltage, 190, 570)) return range("voltage", 190, 570, " V");
    if (!inRange(s.angle, -180, 180)) return range("angle", -180, 180, " degrees");
    if (!inRange(s.breakerMs, 10, 500)) return range("breaker_ms", 10, 500, " ms");
    if (!(s.governorRate > 0 && s.governorRate <= 1))
        return std::string("governor_rate must be above 0 and at most 1 Hz/s");
    if (!(s.avrRate > 0 && s.avrRate <= 10))
        return std::string("avr_rate must be above 0 and at most 10 %/s");
    if (!inRange(s.speedLagS, 0, 10)) return range("speed_lag_s", 0, 10, " s");
    if (!inRange(s.voltageLagS, 0, 10)) return range("voltage_lag_s", 0, 10, " s");
    if (!inRange(s.inertiaS, 0.5, 20)) return range("inertia_s", 0.5, 20, " s");
    if (!inRange(s.droopPct, 1, 20)) return range("droop_pct", 1, 20, " %");
    if (!inRange(s.reversePowerPct, 0.1, 50)) return range("reverse_power_pct", 0.1, 50, " %");
    if (!inRange(s.reversePowerS, 0.1, 60)) return range("reverse_power_s", 0.1, 60, " s");
    if (s.bus == BusKind::Island) return checkIsland(s.island, s.load);
    return std::nullopt;
}

bool fitsControl(SwitchboardControl control, ControlState state) {
    switch (control) {
    case SwitchboardControl::Breaker:
        return state == ControlState::Close || state == ControlState::Open;
    case SwitchboardControl::Mode:
        return state == ControlState::Manual || state == ControlState::Permissive ||
               state == ControlState::Automatic;
    case SwitchboardControl::RunningBreaker:
        return state == ControlState::Open;
    default:
        return state == ControlState::Press || state == ControlState::Release;
    }
}

SwitchboardScore scoreClose(double angleDeg, double slipHz, double dUPct, double timeS,
                            TripCause trip) {
    SwitchboardScore s;
    const double a = std::abs(angleDeg);
    s.angle = a <= 2 + Slack ? 40 : a <= 5 + Slack ? 30 : a <= 10 + Slack ? 15 : 0;
    s.slip = inRange(slipHz, TargetMinSlipHz - Slack, TargetMaxSlipHz + Slack) ? 30
             : inRange(slipHz, -Slack, 0.2 + Slack)                            ? 15
                                                                               : 0;
    s.voltage = inRange(dUPct, -Slack, 5 + Slack)        ? 20
                : inRange(dUPct, -5 - Slack, 10 + Slack) ? 10
                                                         : 0;
    s.time = timeS <= 60 + Slack ? 10 : timeS <= 120 + Slack ? 5 : 0;
    s.zeroBecause = trip;
    // The torque on the shaft at contact grows with the angle; beyond 30 degrees it is
    // more than a three-phase fault at the terminals gives, which the shaft is built for.
    s.beyondFaultTorque = !(a <= FaultTorqueAngleDeg + Slack);
    return s;
}

std::array<double, 3> lampBrightness(LampMethod method, bool reversed, double thetaDeg, double u) {
    const auto g = generatorPhases(reversed, thetaDeg, u);
    // The rotating method crosses the lime and blue lamps.
    static constexpr int RotatingBus[3] = {0, 2, 1};
    const double largest = 1 + u;
    std::array<double, 3> b{};
    for (int k = 0; k < 3; ++k) {
        double v = 0;
        switch (method) {
        case LampMethod::Dark:
            v = std::abs(g[k] - busPhase(k));
            break;
        case LampMethod::Bright:
            v = std::abs(g[k] + busPhase(k));
            break;
        case LampMethod::Rotating:
            v = std::abs(g[k] - busPhase(RotatingBus[k]));
            break;
        }
        const double share = largest > 0 ? v / largest : 0;
        b[k] = share >= 1.0 / 3 ? std::min(share, 1.0) : 0;
    }
    return b;
}

double rotatingLampPositionDeg(std::size_t lamp) {
    static constexpr double Positions[3] = {0, 240, 120};
    return Positions[lamp % 3];
}

double closingCurrentPu(double thetaDeg, double u, bool reversed) {
    const auto g = generatorPhases(reversed, thetaDeg, u);
    double largest = 0;
    for (int k = 0; k < 3; ++k) largest = std::max(largest, std::abs(g[k] - busPhase(k)));
    return largest / SubtransientReactance;
}

double advanceAngleDeg(double slipHz, std::int32_t breakerMs) {
    return 360 * slipHz * breakerMs / 1000.0;
}

Switchboard::Switchboard(const SwitchboardSettings &settings) {
    reset(settings);
}

void Switchboard::reset(const SwitchboardSettings &s) {
    m_settings = s;
    m_mode = s.mode;
    m_timeMs = 0;
    m_speedFollow = follow(s.speedLagS);
    m_voltageFollow = follow(s.voltageLagS);
    m_fRef = m_f = m_fBefore = s.frequency;
    m_uRef = m_u = m_uBefore = s.voltage;
    m_thetaDeg = wrapDeg(s.angle);
    m_delta = m_omega = 0;
    m_breaker = BreakerState::Open;
    m_contactDueMs = 0;
    m_reverseSinceMs = -1;
    m_lastTrip = TripCause::None;
    m_held = {};
    m_pulsed = {};
    m_pulseEndMs = {};
    m_nextLookMs = 0;
    m_firstOpenAttempt = 0;
    m_holdingAttempt.reset();
    m_actions.clear();
    m_events.clear();
    m_attempts.clear();
    // Room for a long exercise, so that the steps do not allocate.
    m_actions.reserve(1024);
    m_events.reserve(256);
    m_attempts.reserve(64);

    m_runningHeld = {};
    m_dead = m_collapsing = false;
    m_runningReverseSinceMs = -1;
    m_reversePowerMs = std::llround(s.reversePowerS * 1000);
    m_islandSinceMs.fill(-1);
    m_nextLoadStep = 0;
    m_task = TaskState::Open;
    m_taskDoneMs.reset();
    m_taskSinceMs = -1;
    if (island()) {
        // A step at time 0 is the load from the start.
        const auto &steps = s.load.steps;
        const bool first = !steps.empty() && steps.front().timeMs <= 0;
        const bool held =
            m_island.start(s.island, first ? steps.front().pKw : s.load.pKw,
                           first ? steps.front().qKvar : s.load.qKvar, m_f, m_u, s.angle,
                           s.speedLagS, s.voltageLagS, m_speedFollow, m_voltageFollow);
        applyLoadSteps();
        if (!held) tripAll(TripCause::UnderVoltage);
    }
}

double Switchboard::busFrequencyHz() const {
    return island() ? m_island.frequencyHz() : m_settings.busFrequency;
}

double Switchboard::busVoltageV() const {
    return island() ? m_island.voltageV() : BusVoltage;
}

// What a voltage difference is a share of: the bus's voltage, 380 V on a dead bus.
double Switchboard::busVoltageBaseV() const {
    const double v = busVoltageV();
    return v > 0 ? v : BusVoltage;
}

double Switchboard::voltageDifferencePct() const {
    return (m_u - busVoltageV()) / busVoltageBaseV() * 100;
}

double Switchboard::reactivePu() const {
    if (m_breaker != BreakerState::Closed) return 0;
    if (island()) return m_island.set(1).qKvar / m_island.set(1).ratingKw;
    return (m_u / BusVoltage * std::cos(m_delta) - 1) / TieReactance;
}

SetReading Switchboard::set(int which) const {
    SetReading r;
    if (island()) {
        const IslandSet &s = m_island.set(which == 1 ? 0 : 1);
        r.connected = s.connected;
        r.pKw = s.pKw;
        r.qKvar = s.qKvar;
        const double va = std::hypot(r.pKw, r.qKvar), v = busVoltageV();
        r.currentA = va > 0 && v > 0 ? va * 1000 / (std::sqrt(3.0) * v) : 0;
        r.powerFactor = va > 0 ? r.pKw / va : 1;
        r.setpointHz = s.setpointHz;
        r.voltageSetpointV = s.voltageSetpointV;
        r.frequencyHz = s.frequencyHz;
        r.ratingKw = s.ratingKw;
        return r;
    }
    r.ratingKw = m_settings.island.incomingRatingKw;
    if (which != 2) return r;
    r.connected = m_breaker == BreakerState::Closed;
    r.pKw = powerPu() * r.ratingKw;
    r.qKvar = reactivePu() * r.ratingKw;
    const double s = std::hypot(r.pKw, r.qKvar);
    r.currentA = s * 1000 / (std::sqrt(3.0) * terminalVoltageV());
    r.powerFactor = s > 0 ? r.pKw / s : 1;
    r.setpointHz = m_fRef;
    r.voltageSetpointV = m_uRef;
    r.frequencyHz = m_f;
    return r;
}

double Switchboard::loadPKw() const {
    return island() ? m_island.loadPKw() : 0;
}

double Switchboard::loadQKvar() const {
    return island() ? m_island.loadQKvar() : 0;
}

BreakerState Switchboard::runningBreaker() const {
    return island() && m_island.set(0).connected ? BreakerState::Closed : BreakerState::Open;
}

bool Switchboard::blackout() const {
    return m_dead;
}

std::array<bool, 4> Switchboard::runningLit() const {
    return m_runningHeld;
}

TaskState Switchboard::taskState() const {
    return m_task;
}

std::optional<std::int64_t> Switchboard::taskDoneMs() const {
    return m_taskDoneMs;
}

double Switchboard::frequencyHz() const {
    return m_f;
}

double Switchboard::angleDeg() const {
    return m_thetaDeg;
}

double Switchboard::terminalVoltageV() const {
    return m_breaker == BreakerState::Closed ? busVoltageV() : m_u;
}

double Switchboard::powerPu() const {
    if (m_breaker != BreakerState::Closed) return 0;
    if (island()) return m_island.set(1).pKw / m_island.set(1).ratingKw;
    return m_u / BusVoltage / TieReactance * std::sin(m_delta);
}

double Switchboard::secondsPerTurn() const {
    const double s = std::abs(slipHz());
    return s > 0 ? 1 / s : INFINITY;
}

std::array<double, 3> Switchboard::lamps() const {
    // The closed breaker shorts the lamps.
    if (m_breaker == BreakerState::Closed) return {};
    if (m_dead) {
        // Against a dead bus each lamp sees the generator's phase alone.
        const double u = m_u / BusVoltage, b = u / (1 + u);
        return {b, b, b};
    }
    return lampBrightness(m_settings.lamps, m_settings.phaseOrderReversed, m_thetaDeg,
                          m_u / busVoltageV());
}

std::array<bool, 4> Switchboard::lit() const {
    std::array<bool, 4> l;
    for (std::size_t i = 0; i < 4; ++i) l[i] = m_held[i] || m_pulsed[i];
    return l;
}

RelayRefusal Switchboard::relayCheck() const {
    RelayRefusal r;
    r.angle = !(std::abs(m_thetaDeg) <= RealMaxAngleDeg);
    r.slip = !(std::abs(slipHz()) <= RealMaxSlipHz);
    const double dU = voltageDifferencePct();
    r.voltage = !inRange(dU, RealMinVoltagePercent, RealMaxVoltagePercent);
    return r;
}

SynchroniserState Switchboard::synchroniser() const {
    if (m_mode != SwitchboardMode::Automatic) return SynchroniserState::Off;
    if (m_breaker == BreakerState::Closed) return SynchroniserState::Connected;
    if (m_breaker == BreakerState::Closing) return SynchroniserState::Closing;
    if (m_settings.phaseOrderReversed) return SynchroniserState::PhaseOrderWrong;
    const double s = slipHz(), dU = voltageDifferencePct();
    return inRange(s, MinSlipHz, MaxSlipHz) && inRange(dU, MinVoltagePct, MaxVoltagePct)
               ? SynchroniserState::WaitingForAngle
               : SynchroniserState::Matching;
}

void Switchboard::act(SwitchboardControl control, ControlState state) {
    if (!fitsControl(control, state)) return;
    if (control >= SwitchboardControl::RunningSpeedRaise && !island()) return;
    const bool sameHold = state == ControlState::Press && takeBackRelease(control);
    if (!sameHold && m_actions.size() < MaxActions) m_actions.push_back({m_timeMs, control, state});
    switch (control) {
    case SwitchboardControl::Breaker:
        if (state == ControlState::Close)
            closeCommand(false);
        else
            openBreaker(true);
        break;
    case SwitchboardControl::Mode:
        m_mode = state == ControlState::Manual       ? SwitchboardMode::Manual
                 : state == ControlState::Permissive ? SwitchboardMode::Permissive
                                                     : SwitchboardMode::Automatic;
        if (m_mode != SwitchboardMode::Automatic) {
            m_pulsed = {};
            m_pulseEndMs = {};
        }
        m_nextLookMs = m_timeMs;
        break;
    case SwitchboardControl::RunningBreaker:
        leaveBus(1, TripCause::None);
        break;
    default:
        if (control >= SwitchboardControl::RunningSpeedRaise)
            m_runningHeld[static_cast<std::size_t>(control) -
                          static_cast<std::size_t>(SwitchboardControl::RunningSpeedRaise)] =
                state == ControlState::Press;
        else
            m_held[static_cast<std::size_t>(control)] = state == ControlState::Press;
        break;
    }
}

bool Switchboard::takeBackRelease(SwitchboardControl control) {
    for (auto a = m_actions.rbegin(); a != m_actions.rend() && a->timeMs == m_timeMs; ++a) {
        if (a->control != control) continue;
        if (a->state != ControlState::Release) return false;
        m_actions.erase(std::next(a).base());
        return true;
    }
    return false;
}

SwitchboardEvent Switchboard::event(SwitchboardEventKind kind) const {
    SwitchboardEvent e;
    e.timeMs = m_timeMs;
    e.kind = kind;
    e.angleDeg = m_thetaDeg;
    e.slipHz = slipHz();
    e.voltageDifferencePct = voltageDifferencePct();
    return e;
}

void Switchboard::log(const SwitchboardEvent &e) {
    // A full log drops its oldest tenth at once rather than shift for every new entry.
    if (m_events.size() >= MaxEvents)
        m_events.erase(m_events.begin(), m_events.begin() + MaxEvents / 10);
    m_events.push_back(e);
}

void Switchboard::closeCommand(bool automatic) {
    if (m_breaker != BreakerState::Open) return;
    if (m_attempts.size() >= MaxEvents) {
        // Only attempts that are settled go: the open ones are the newest few.
        const std::size_t drop = std::min(m_firstOpenAttempt, MaxEvents / 10);
        m_attempts.erase(m_attempts.begin(), m_attempts.begin() + std::ptrdiff_t(drop));
        m_firstOpenAttempt -= drop;
    }
    SwitchboardAttempt a;
    a.commandMs = m_timeMs;
    a.angleAtCommandDeg = m_thetaDeg;
    a.automatic = automatic;
    SwitchboardEvent e = event(SwitchboardEventKind::CloseCommand);
    e.automatic = automatic;
    log(e);
    if (m_dead) {
        // No voltage on the bus: nothing to synchronise to.
        a.refused = a.refusal.voltage = true;
        m_attempts.push_back(a);
        SwitchboardEvent r = event(SwitchboardEventKind::Refused);
        r.refusal = a.refusal;
        log(r);
        return;
    }
    if (!automatic && m_mode != SwitchboardMode::Manual) {
        a.refusal = relayCheck();
        if (a.refusal.any()) {
            a.refused = true;
            m_attempts.push_back(a);
            SwitchboardEvent r = event(SwitchboardEventKind::Refused);
            r.refusal = a.refusal;
            log(r);
            return;
        }
    }
    m_attempts.push_back(a);
    m_breaker = BreakerState::Closing;
    m_contactDueMs = m_timeMs + m_settings.breakerMs;
}

void Switchboard::openBreaker(bool logged, TripCause cause) {
    if (m_breaker == BreakerState::Open) return;
    if (logged) {
        SwitchboardEvent e = event(SwitchboardEventKind::Open);
        e.powerPu = powerPu();
        log(e);
    }
    if (m_breaker == BreakerState::Closing && !m_attempts.empty())
        m_attempts.back().cancelled = true;
    m_breaker = BreakerState::Open;
    m_reverseSinceMs = -1;
    m_holdingAttempt.reset();
    if (island()) leaveBus(2, cause);
}

void Switchboard::contact() {
    SwitchboardAttempt &a = m_attempts.back();
    const double u = m_u / busVoltageV();
    a.contactMs = m_timeMs;
    a.angleAtContactDeg = m_thetaDeg;
    a.slipHz = slipHz();
    a.voltageDifferencePct = voltageDifferencePct();
    a.closingCurrentPu = closingCurrentPu(m_thetaDeg, u, m_settings.phaseOrderReversed);
    SwitchboardEvent e = event(SwitchboardEventKind::Contact);
    e.closingCurrentPu = a.closingCurrentPu;
    log(e);
    // From here the bus holds the rotor: its angle starts where the phases stood and its
    // speed at the slip.
    m_breaker = BreakerState::Closed;
    m_holdingAttempt = m_attempts.size() - 1;
    m_delta = m_thetaDeg * Pi / 180;
    m_omega = 2 * Pi * a.slipHz;
    m_reverseSinceMs = -1;
    // Two phases meet 120 degrees apart: the overcurrent protection trips at once. So it
    // does when a close far out of phase drives as much current as a three-phase fault at
    // the machine's terminals, 1/X"d (Slack: 60 degrees at the bus's voltage reaches it).
    if (m_settings.phaseOrderReversed)
        trip(TripCause::PhaseOrderReversed);
    else if (a.closingCurrentPu >= ThreePhaseFaultCurrentPu - Slack)
        trip(TripCause::OutOfPhase);
    if (island() && m_breaker == BreakerState::Closed) {
        IslandSet &two = m_island.set(1);
        two.frequencyHz = m_f;
        two.internalV = m_u;
        m_island.connect(1, true);
        if (!m_island.solve()) tripAll(TripCause::UnderVoltage);
    }
}

void Switchboard::trip(TripCause cause) {
    SwitchboardEvent e = event(SwitchboardEventKind::Trip);
    e.powerPu = powerPu();
    e.trip = cause;
    m_lastTrip = cause;
    if (m_holdingAttempt) {
        SwitchboardAttempt &a = m_attempts[*m_holdingAttempt];
        // A trip at contact came from the close itself: its current goes with it.
        if (a.contactMs == m_timeMs) e.closingCurrentPu = a.closingCurrentPu;
        // A result not yet in is taken now and scores 0 for it; one that is keeps its
        // score.
        a.trip = cause;
        if (!a.score) a.resultPowerPu = e.powerPu;
    }
    log(e);
    openBreaker(false, cause);
}

void Switchboard::settleAttempts() {
    while (m_firstOpenAttempt < m_attempts.size()) {
        SwitchboardAttempt &a = m_attempts[m_firstOpenAttempt];
        if (!a.refused && !a.cancelled) {
            // Final at the trip, or once nothing tripped for ResultAfterMs after contact.
            if (!a.contactMs) return;
            if (a.trip == TripCause::None && m_timeMs < *a.contactMs + ResultAfterMs) return;
            if (!a.resultPowerPu) a.resultPowerPu = powerPu();
            a.scoreParts = scoreClose(a.angleAtContactDeg, a.slipHz, a.voltageDifferencePct,
                                      *a.contactMs / 1000.0, a.trip);
            a.score = a.scoreParts.total();
            SwitchboardEvent e;
            e.timeMs = m_timeMs;
            e.kind = SwitchboardEventKind::Result;
            e.powerPu = *a.resultPowerPu;
            e.trip = a.trip;
            e.beyondFaultTorque = a.scoreParts.beyondFaultTorque;
            e.automatic = a.automatic;
            e.score = *a.score;
            log(e);
            if (island() && m_settings.island.task == IslandTask::Synchronise && e.score > 0 &&
                m_task == TaskState::Open)
                decideTask(true);
        }
        ++m_firstOpenAttempt;
    }
}

// The automatic synchroniser, as real ones work: it looks at the machine, gives the
// governor or the regulator a raise or lower pulse as long as the distance from its target
// needs at the control's rate, waits to see the effect, and looks again. It reads the
// frequency and voltage ahead by their rate of change over the machine's lag (for a first
// order lag f + tau df/dt is where f is heading), so that it does not overshoot. Once slip
// and voltage are in their windows it gives the close command the advance angle before the
// phases meet.
void Switchboard::synchronise() {
    if (m_mode != SwitchboardMode::Automatic || m_breaker != BreakerState::Open || m_dead) {
        m_pulsed = {};
        return;
    }
    for (std::size_t i = 0; i < 2; ++i)
        if (m_timeMs >= m_pulseEndMs[i]) m_pulsed[2 * i] = m_pulsed[2 * i + 1] = false;

    const double slip = slipHz(), dU = voltageDifferencePct();
    if (m_timeMs >= m_nextLookMs && !m_pulsed[0] && !m_pulsed[1] && !m_pulsed[2] && !m_pulsed[3]) {
        const double aheadF = m_f + m_settings.speedLagS * (m_f - m_fBefore) / StepS;
        const double aheadU = m_u + m_settings.voltageLagS * (m_u - m_uBefore) / StepS;
        const double errors[2] = {TargetSlipHz - (aheadF - busFrequencyHz()),
                                  TargetVoltagePct -
                                      (aheadU - busVoltageV()) / busVoltageV() * 100};
        const double bands[2] = {SlipBandHz, VoltageBandPct};
        // Hz/s and %/s.
        const double rates[2] = {m_settings.governorRate, m_settings.avrRate};
        std::int64_t longest = 0;
        for (std::size_t i = 0; i < 2; ++i) {
            if (!(std::abs(errors[i]) > bands[i])) continue;
            const double ms = std::abs(errors[i]) / rates[i] * 1000;
            const std::int64_t length = std::clamp<std::int64_t>(std::llround(std::min(ms, 1e9)),
                                                                 ShortestPulseMs, LongestPulseMs);
            m_pulsed[2 * i + (errors[i] > 0 ? 0 : 1)] = true;
            m_pulseEndMs[i] = m_timeMs + length;
            longest = std::max(longest, length);
        }
        m_nextLookMs = m_timeMs + longest + PauseMs;
    }

    if (m_settings.phaseOrderReversed) return;
    if (!inRange(slip, MinSlipHz, MaxSlipHz) || !inRange(dU, MinVoltagePct, MaxVoltagePct)) return;
    // Approaching twelve o'clock from behind: the command goes the moment theta passes the
    // advance angle before it.
    const double advance = advanceAngleDeg(slip, m_settings.breakerMs);
    const double before = m_thetaDeg - 360 * slip * StepS;
    if (m_thetaDeg <= 0 && m_thetaDeg + advance >= 0 && before + advance < 0) closeCommand(true);
}

void Switchboard::step() {
    synchronise();

    const std::array<bool, 4> on = lit();
    m_fRef = std::clamp(m_fRef + direction(on[0], on[1]) * m_settings.governorRate * StepS,
                        MinSpeedReference, MaxSpeedReference);
    m_uRef =
        std::clamp(m_uRef + direction(on[2], on[3]) * m_settings.avrRate / 100 * BusVoltage * StepS,
                   MinVoltageReference, MaxVoltageReference);

    m_uBefore = m_u;
    m_fBefore = m_f;
    if (island()) {
        stepIsland();
        return;
    }
    m_u += (m_uRef - m_u) * m_voltageFollow;
    if (m_breaker == BreakerState::Closed) {
        // The swing equation, 2H/ws d2(delta)/dt2 = Pm - Pe (Kundur, Power System
        // Stability and Control, 3.9), with the governor's droop giving Pm from the speed
        // and Pe = (U/380)/X sin(delta) across the tie; semi-implicit Euler.
        const double ws = 2 * Pi * m_settings.busFrequency;
        const double pm = (m_fRef - m_f) / (m_settings.droopPct / 100 * RatedFrequency);
        const double pe = m_u / BusVoltage / TieReactance * std::sin(m_delta);
        m_omega += (pm - pe) * ws / (2 * m_settings.inertiaS) * StepS;
        m_delta += m_omega * StepS;
        m_f = m_settings.busFrequency + m_omega / (2 * Pi);
        m_thetaDeg = wrapDeg(m_delta * 180 / Pi);
    } else {
        m_f += (m_fRef - m_f) * m_speedFollow;
        m_thetaDeg = wrapDeg(m_thetaDeg + 360 * (m_f - m_settings.busFrequency) * StepS);
    }
    m_timeMs += StepMs;

    if (m_breaker == BreakerState::Closing && m_timeMs >= m_contactDueMs) contact();
    if (m_breaker == BreakerState::Closed) protectMachine();
    settleAttempts();
}

void Switchboard::protectMachine() {
    if (std::abs(m_delta) > Pi) {
        trip(TripCause::PoleSlip);
    } else if (powerPu() < -m_settings.reversePowerPct / 100) {
        if (m_reverseSinceMs < 0) m_reverseSinceMs = m_timeMs;
        if (m_timeMs - m_reverseSinceMs >= m_reversePowerMs) trip(TripCause::ReversePower);
    } else {
        m_reverseSinceMs = -1;
    }
}

// The island's step: set 1's set points move with its held controls, set 2 off the bus
// follows its own as on the infinite bus, the sets on the bus swing, and the synchroscope
// reads set 2's angle ahead of the bus.
void Switchboard::stepIsland() {
    IslandSet &one = m_island.set(0), &two = m_island.set(1);
    const std::array<bool, 4> &on = m_runningHeld;
    one.setpointHz =
        std::clamp(one.setpointHz + direction(on[0], on[1]) * m_settings.governorRate * StepS,
                   MinSpeedReference, MaxSpeedReference);
    one.voltageSetpointV =
        std::clamp(one.voltageSetpointV +
                       direction(on[2], on[3]) * m_settings.avrRate * (BusVoltage / 100 * StepS),
                   MinVoltageReference, MaxVoltageReference);
    two.setpointHz = m_fRef;
    two.voltageSetpointV = m_uRef;
    const bool closed = m_breaker == BreakerState::Closed;
    if (!closed) {
        m_u += (m_uRef - m_u) * m_voltageFollow;
        m_f += (m_fRef - m_f) * m_speedFollow;
        two.frequencyHz = m_f;
        two.internalV = m_u;
    }
    const bool held = m_island.advance(StepS);
    if (closed) {
        m_f = two.frequencyHz;
        m_u = two.internalV;
        m_delta = m_island.angleAheadRad(1);
    }
    m_thetaDeg = wrapDeg(m_island.angleAheadRad(1) * (180 / Pi));
    m_timeMs += StepMs;

    if (!held) tripAll(TripCause::UnderVoltage);
    applyLoadSteps();
    if (m_breaker == BreakerState::Closing && m_timeMs >= m_contactDueMs) contact();
    if (m_breaker == BreakerState::Closed) protectMachine();
    protectIsland();
    watchTask();
    settleAttempts();
}

void Switchboard::applyLoadSteps() {
    const std::vector<LoadStep> &steps = m_settings.load.steps;
    while (m_nextLoadStep < steps.size() && steps[m_nextLoadStep].timeMs <= m_timeMs) {
        const LoadStep &step = steps[m_nextLoadStep++];
        m_island.setLoad(step.pKw, step.qKvar);
        SwitchboardEvent e = event(SwitchboardEventKind::LoadStep);
        e.loadPKw = step.pKw;
        e.loadQKvar = step.qKvar;
        log(e);
        // The first step after the start opens the ride, with set 2 on the bus.
        if (m_settings.island.task == IslandTask::RideLoadStep && m_task == TaskState::Open &&
            step.timeMs > 0 && m_taskSinceMs < 0) {
            if (m_breaker == BreakerState::Closed)
                m_taskSinceMs = m_timeMs;
            else
                decideTask(false);
        }
        if (!m_island.solve()) tripAll(TripCause::UnderVoltage);
    }
}

// Whether `condition` has held for `delayMs`, counted from the step it first held in.
bool Switchboard::timed(bool condition, std::int64_t &sinceMs, std::int64_t delayMs) const {
    if (!condition) {
        sinceMs = -1;
        return false;
    }
    if (sinceMs < 0) sinceMs = m_timeMs;
    return m_timeMs - sinceMs >= delayMs;
}

void Switchboard::protectIsland() {
    const IslandSet &one = m_island.set(0), &two = m_island.set(1);
    const double reverse = m_settings.reversePowerPct / 100;
    if (one.connected) {
        const bool reversed =
            timed(one.pKw < -reverse * one.ratingKw, m_runningReverseSinceMs, m_reversePowerMs);
        const bool overloaded =
            timed(one.pKw > OverloadShare * one.ratingKw, m_islandSinceMs[0], OverloadMs);
        if (std::abs(m_island.angleAheadRad(0)) > Pi)
            leaveBus(1, TripCause::PoleSlip);
        else if (reversed)
            leaveBus(1, TripCause::ReversePower);
        else if (overloaded)
            leaveBus(1, TripCause::Overload);
    }
    if (two.connected &&
        timed(two.pKw > OverloadShare * two.ratingKw, m_islandSinceMs[1], OverloadMs))
        trip(TripCause::Overload);
    if (!m_island.live()) return;
    const bool slow =
        timed(m_island.frequencyHz() < UnderFrequencyHz, m_islandSinceMs[2], UnderFrequencyMs);
    const bool low = timed(m_island.voltageV() < UnderVoltageShare * BusVoltage, m_islandSinceMs[3],
                           UnderVoltageMs);
    if (slow)
        tripAll(TripCause::UnderFrequency);
    else if (low)
        tripAll(TripCause::UnderVoltage);
}

// Set 1 or set 2 off the bus: by the operator (`cause` None) or a trip. Set 1's open or
// trip is logged here, set 2's by its breaker.
void Switchboard::leaveBus(int set, TripCause cause) {
    IslandSet &s = m_island.set(set - 1);
    if (!s.connected) return;
    const double p = s.pKw;
    if (set == 1) {
        SwitchboardEvent e = event(cause == TripCause::None ? SwitchboardEventKind::Open
                                                            : SwitchboardEventKind::Trip);
        e.set = 1;
        e.powerPu = p / s.ratingKw;
        e.trip = cause;
        log(e);
        m_runningReverseSinceMs = -1;
    }
    m_islandSinceMs[std::size_t(set - 1)] = -1;
    m_island.connect(set - 1, false);
    if (m_task == TaskState::Open) {
        switch (m_settings.island.task) {
        case IslandTask::TakeRunningSetOff:
            // Taken off by its breaker with set 2 carrying the load and set 1 near none.
            if (set == 1)
                decideTask(cause == TripCause::None && m_breaker == BreakerState::Closed &&
                           p >= -m_settings.reversePowerPct / 100 * s.ratingKw &&
                           p <= TakeOffMaxShare * s.ratingKw);
            break;
        case IslandTask::ShareEqually:
            if (set == 1) decideTask(false);
            break;
        case IslandTask::RideLoadStep:
            if (cause != TripCause::None && m_taskSinceMs >= 0) decideTask(false);
            break;
        default:
            break;
        }
    }
    if (m_collapsing) return;
    if (!m_island.live())
        loseBus(set, cause);
    else if (!m_island.solve())
        tripAll(TripCause::UnderVoltage);
}

// The bus cannot be held: every set on it trips, and it is lost.
void Switchboard::tripAll(TripCause cause) {
    if (!m_island.live() || m_collapsing) return;
    const int last = m_breaker == BreakerState::Closed ? 2 : 1;
    m_collapsing = true;
    leaveBus(1, cause);
    if (m_breaker == BreakerState::Closed) trip(cause);
    m_collapsing = false;
    loseBus(last, cause);
}

void Switchboard::loseBus(int set, TripCause cause) {
    SwitchboardEvent e = event(SwitchboardEventKind::Blackout);
    e.set = set;
    e.trip = cause;
    log(e);
    m_dead = true;
    m_island.solve();
    // A breaker's undervoltage release keeps it from closing onto the dead bus.
    if (m_breaker == BreakerState::Closing) openBreaker(false);
    m_pulsed = {};
    if (m_task == TaskState::Open && m_settings.island.task != IslandTask::None) decideTask(false);
}

void Switchboard::decideTask(bool met) {
    m_task = met ? TaskState::Met : TaskState::Failed;
    m_taskDoneMs = m_timeMs;
    log(event(met ? SwitchboardEventKind::TaskMet : SwitchboardEventKind::TaskFailed));
}

// The tasks decided by the bus over time: sharing held, a load step ridden.
void Switchboard::watchTask() {
    if (m_task != TaskState::Open) return;
    const IslandSet &one = m_island.set(0), &two = m_island.set(1);
    const bool inBand = std::abs(m_island.frequencyHz() - RatedFrequency) <= FrequencyBandHz;
    if (m_settings.island.task == IslandTask::ShareEqually) {
        const double share = m_island.loadPKw() / (one.ratingKw + two.ratingKw);
        const bool shared = one.connected && two.connected && inBand &&
                            std::abs(one.pKw / one.ratingKw - share) <= ShareBand &&
                            std::abs(two.pKw / two.ratingKw - share) <= ShareBand;
        if (timed(shared, m_taskSinceMs, TaskHoldMs)) decideTask(true);
    } else if (m_settings.island.task == IslandTask::RideLoadStep && m_taskSinceMs >= 0) {
        if (!inBand)
            decideTask(false);
        else if (m_timeMs >= m_settings.load.steps.back().timeMs + TaskHoldMs)
            decideTask(true);
    }
}

void Switchboard::runUntil(std::int64_t untilMs, const std::vector<SwitchboardAction> *replay,
                           std::size_t *nextAction) {
    std::size_t local = 0;
    std::size_t &next = nextAction ? *nextAction : local;
    for (;;) {
        while (replay && next < replay->size() && (*replay)[next].timeMs <= m_timeMs) {
            const SwitchboardAction &a = (*replay)[next++];
            act(a.control, a.state);
        }
        if (m_timeMs >= untilMs) break;
        step();
    }
}
