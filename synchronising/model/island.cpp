#include "island.h"

#include "switchboard.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double RatedFrequency = 50, RatedVoltage = 380, ReactiveShare = 0.75;
constexpr double Pi = 3.14159265358979323846;
// The damper windings' torque per Hz of slip against the bus, per kW of rating: a swing
// between two sets dies away in a few cycles.
constexpr double DampingPerHz = 2.5;
// The load a bus can hold, of the most the sets can give at 90 degrees.
constexpr double HoldableShare = 0.999;
// The lags below this are the machine's own, whatever its controls.
constexpr double ShortestLagS = 0.1;
constexpr std::int64_t LongestStepMs = 24 * 3600 * 1000;

// Turns a phasor (c, s) on by x radians (a step's few milliradians) by the sine's and the
// cosine's series, and back onto the unit circle: no sin or cos in a step.
void turn(double &c, double &s, double x) {
    double cx, sx;
    if (std::abs(x) < 0.1) {
        // Factors, not divisors: a division costs as much as the rest of the step.
        const double x2 = x * x;
        cx = 1 - x2 * 0.5 * (1 - x2 * (1.0 / 12) * (1 - x2 * (1.0 / 30)));
        sx = x * (1 - x2 * (1.0 / 6) * (1 - x2 * (1.0 / 20) * (1 - x2 * (1.0 / 42))));
    } else {
        cx = std::cos(x);
        sx = std::sin(x);
    }
    const double nc = c * cx - s * sx, ns = s * cx + c * sx;
    const double k = 1.5 - 0.5 * (nc * nc + ns * ns);
    c = nc * k;
    s = ns * k;
}

} // namespace

double droopStiffnessKwPerHz(double ratingKw, double droopPct) {
    return ratingKw / (droopPct / 100 * RatedFrequency);
}

double voltageStiffnessKvarPerV(double ratingKw, double voltageDroopPct) {
    return ReactiveShare * ratingKw / (voltageDroopPct / 100 * RatedVoltage);
}

DroopShare droopShare(const DroopSet &set1, const DroopSet &set2, double loadPKw,
                      double loadQKvar) {
    const DroopSet *sets[2] = {&set1, &set2};
    double k = 0, kf = 0, kq = 0, kv = 0;
    for (const DroopSet *s : sets) {
        if (!s->connected) continue;
        const double ki = droopStiffnessKwPerHz(s->ratingKw, s->droopPct);
        const double kqi = voltageStiffnessKvarPerV(s->ratingKw, s->voltageDroopPct);
        k += ki;
        kf += ki * s->setpointHz;
        kq += kqi;
        kv += kqi * s->voltageSetpointV;
    }
    DroopShare d;
    if (k == 0) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        d.frequencyHz = d.voltageV = nan;
        d.pKw[0] = d.pKw[1] = d.qKvar[0] = d.qKvar[1] = nan;
        return d;
    }
    d.frequencyHz = (kf - loadPKw) / k;
    d.voltageV = (kv - loadQKvar) / kq;
    for (int i = 0; i < 2; ++i) {
        const DroopSet &s = *sets[i];
        if (!s.connected) continue;
        d.pKw[i] = droopStiffnessKwPerHz(s.ratingKw, s.droopPct) * (s.setpointHz - d.frequencyHz);
        d.qKvar[i] = voltageStiffnessKvarPerV(s.ratingKw, s.voltageDroopPct) *
                     (s.voltageSetpointV - d.voltageV);
    }
    return d;
}

std::optional<std::string> checkIsland(const IslandSettings &i, const IslandLoad &l) {
    const std::pair<const char *, double> ratings[] = {{"running_rating_kw", i.runningRatingKw},
                                                       {"incoming_rating_kw", i.incomingRatingKw}};
    for (const auto &[key, v] : ratings)
        if (auto r = outOfRange(key, v, 1, 100000, " kW")) return r;
    const std::pair<const char *, double> droops[] = {
        {"running_droop_pct", i.runningDroopPct},
        {"running_voltage_droop_pct", i.runningVoltageDroopPct},
        {"incoming_droop_pct", i.incomingDroopPct},
        {"incoming_voltage_droop_pct", i.incomingVoltageDroopPct}};
    for (const auto &[key, v] : droops)
        if (auto r = outOfRange(key, v, 1, 20, " %")) return r;
    if (auto r = outOfRange("running_setpoint_hz", i.runningSetpointHz, MinSpeedReference,
                            MaxSpeedReference, " Hz"))
        return r;
    if (auto r = outOfRange("running_voltage_setpoint_v", i.runningVoltageSetpointV,
                            MinVoltageReference, MaxVoltageReference, " V"))
        return r;
    if (auto r = outOfRange("p_kw", l.pKw, 0, 100000, " kW")) return r;
    if (auto r = outOfRange("q_kvar", l.qKvar, -100000, 100000, " kvar")) return r;
    if (l.steps.size() > MaxLoadSteps)
        return "at most " + std::to_string(MaxLoadSteps) + " load steps";
    std::int64_t before = -1;
    for (const LoadStep &step : l.steps) {
        if (step.timeMs < 0 || step.timeMs > LongestStepMs)
            return std::string("a step's time must lie from 0 to 86400 s");
        if (step.timeMs <= before)
            return std::string("steps must come in time order, each later than the one before");
        before = step.timeMs;
        if (auto r = outOfRange("a step's p_kw", step.pKw, 0, 100000, " kW")) return r;
        if (auto r = outOfRange("a step's q_kvar", step.qKvar, -100000, 100000, " kvar")) return r;
    }
    return std::nullopt;
}

bool IslandBus::start(const IslandSettings &island, double loadPKw, double loadQKvar, double set2Hz,
                      double set2V, double set2AngleDeg, double speedLagS, double voltageLagS,
                      double speedFollow, double voltageFollow) {
    m_perLag = 1 / std::max(speedLagS, ShortestLagS);
    m_perVoltageLag = 1 / std::max(voltageLagS, ShortestLagS);
    m_speedFollow = speedFollow;
    m_voltageFollow = voltageFollow;
    setLoad(loadPKw, loadQKvar);
    IslandSet &one = m_sets[0], &two = m_sets[1];
    one = IslandSet{};
    one.ratingKw = island.runningRatingKw;
    one.stiffnessKwPerHz = droopStiffnessKwPerHz(one.ratingKw, island.runningDroopPct);
    one.voltageStiffnessKvarPerV =
        voltageStiffnessKvarPerV(one.ratingKw, island.runningVoltageDroopPct);
    one.setpointHz = island.runningSetpointHz;
    one.voltageSetpointV = island.runningVoltageSetpointV;
    two = IslandSet{};
    two.ratingKw = island.incomingRatingKw;
    two.stiffnessKwPerHz = droopStiffnessKwPerHz(two.ratingKw, island.incomingDroopPct);
    two.voltageStiffnessKvarPerV =
        voltageStiffnessKvarPerV(two.ratingKw, island.incomingVoltageDroopPct);
    two.frequencyHz = two.setpointHz = set2Hz;
    two.internalV = two.voltageSetpointV = set2V;

    // Set 1 alone on its droop lines, the bus at angle 0: nothing swings at the start.
    m_frequencyHz = one.frequencyHz = one.setpointHz - loadPKw / one.stiffnessKwPerHz;
    m_voltageV = one.voltageSetpointV - loadQKvar / one.voltageStiffnessKvarPerV;
    one.internalV = m_voltageV + loadQKvar * RatedVoltage * TieReactance / one.ratingKw;
    const double most =
        one.ratingKw * one.internalV / RatedVoltage * m_voltageV / RatedVoltage / TieReactance;
    one.angleRad = std::asin(std::clamp(most > 0 ? loadPKw / most : 1.0, -1.0, 1.0));
    two.angleRad = set2AngleDeg * Pi / 180;
    m_thetaRad = 0;
    m_cosTheta = 1;
    m_sinTheta = 0;
    for (int i = 0; i < 2; ++i) {
        m_perStiffness[i] = 1 / m_sets[i].stiffnessKwPerHz;
        m_perVoltageStiffness[i] = 1 / m_sets[i].voltageStiffnessKvarPerV;
    }
    connect(0, true);
    return solve();
}

void IslandBus::connect(int index, bool on) {
    IslandSet &s = m_sets[index];
    s.connected = on;
    double sumBq = 0;
    for (const IslandSet &set : m_sets)
        if (set.connected) sumBq += set.ratingKw / (RatedVoltage * TieReactance);
    m_perSumBq = 1 / sumBq;
    s.cosAngle = std::cos(s.angleRad);
    s.sinAngle = std::sin(s.angleRad);
    if (!on) s.pKw = s.qKvar = 0;
}

bool IslandBus::solve() {
    // kW per radian for each volt of E_i V, and kvar per volt.
    constexpr double PerVoltSquared = 1 / (RatedVoltage * RatedVoltage * TieReactance);
    constexpr double PerVolt = 1 / (RatedVoltage * TieReactance);
    double b[2] = {0, 0}, bq[2] = {0, 0};
    double sumS = 0, sumC = 0, sumBqE = 0;
    for (int i = 0; i < 2; ++i) {
        const IslandSet &s = m_sets[i];
        if (!s.connected) continue;
        b[i] = s.ratingKw * PerVoltSquared * s.internalV * m_voltageV;
        bq[i] = s.ratingKw * PerVolt;
        sumS += b[i] * s.sinAngle;
        sumC += b[i] * s.cosAngle;
        sumBqE += bq[i] * s.internalV;
    }
    if (!live()) {
        m_frequencyHz = m_voltageV = 0;
        return true;
    }
    // R and 1/R side by side, so that neither waits for the other.
    const double r2 = sumS * sumS + sumC * sumC, perR2 = 1 / r2;
    const double r = std::sqrt(r2), perR = r * perR2;
    const double voltage = (sumBqE - m_loadQKvar) * m_perSumBq;
    if (!(m_loadPKw < HoldableShare * r) || !(voltage > 0)) return false;
    m_voltageV = voltage;
    // theta = phi - a with phi the angle of S + jC and sin a = P_load / R.
    const double cosPhi = sumC * perR, sinPhi = sumS * perR;
    const double sinA = m_loadPKw * perR;
    const double cosA = std::sqrt(1 - m_loadPKw * m_loadPKw * perR2);
    const double sinTheta = sinPhi * cosA - cosPhi * sinA;
    const double cosTheta = cosPhi * cosA + sinPhi * sinA;
    // The bus's angle unwrapped: on by the little it turned since the last solution.
    const double sinTurn = sinTheta * m_cosTheta - cosTheta * m_sinTheta;
    const double cosTurn = cosTheta * m_cosTheta + sinTheta * m_sinTheta;
    const double sin2 = sinTurn * sinTurn;
    m_thetaRad += cosTurn > 0.9 ? sinTurn * (1 + sin2 * (1.0 / 6 + sin2 * (3.0 / 40)))
                                : std::atan2(sinTurn, cosTurn);
    m_cosTheta = cosTheta;
    m_sinTheta = sinTheta;
    // f_bus weighs each set by its synchronising power B_i cos(delta_i - theta); they add
    // up to R cos a > 0.
    double weighted = 0, weights = 0;
    for (int i = 0; i < 2; ++i) {
        IslandSet &s = m_sets[i];
        if (!s.connected) continue;
        const double sinAhead = s.sinAngle * cosTheta - s.cosAngle * sinTheta;
        const double cosAhead = s.cosAngle * cosTheta + s.sinAngle * sinTheta;
        s.pKw = b[i] * sinAhead;
        s.qKvar = bq[i] * (s.internalV - m_voltageV);
        weighted += b[i] * cosAhead * s.frequencyHz;
        weights += b[i] * cosAhead;
    }
    m_frequencyHz = weighted / weights;
    // Angles stay small: the frame moves to the bus once it has turned half a cycle.
    if (std::abs(m_thetaRad) > Pi) {
        for (IslandSet &s : m_sets) {
            s.angleRad -= m_thetaRad;
            const double c = s.cosAngle * cosTheta + s.sinAngle * sinTheta;
            s.sinAngle = s.sinAngle * cosTheta - s.cosAngle * sinTheta;
            s.cosAngle = c;
        }
        m_thetaRad = 0;
        m_cosTheta = 1;
        m_sinTheta = 0;
    }
    return true;
}

bool IslandBus::advance(double dt) {
    const double busHz = m_frequencyHz, busV = m_voltageV;
    const double speedShare = dt * m_perLag, voltageShare = dt * m_perVoltageLag;
    for (int i = 0; i < 2; ++i) {
        IslandSet &s = m_sets[i];
        if (s.connected) {
            const double damping = DampingPerHz * s.ratingKw * (s.frequencyHz - busHz);
            s.frequencyHz +=
                speedShare * (s.setpointHz - s.frequencyHz - (s.pKw + damping) * m_perStiffness[i]);
            s.internalV +=
                voltageShare * (s.voltageSetpointV - s.qKvar * m_perVoltageStiffness[i] - busV);
        } else if (i == 0) {
            s.frequencyHz += (s.setpointHz - s.frequencyHz) * m_speedFollow;
            s.internalV += (s.voltageSetpointV - s.internalV) * m_voltageFollow;
        }
        const double turned = 2 * Pi * (s.frequencyHz - RatedFrequency) * dt;
        s.angleRad += turned;
        if (s.connected) {
            turn(s.cosAngle, s.sinAngle, turned);
        } else if (std::abs(s.angleRad - m_thetaRad) > Pi) {
            // Off the bus only the angle to it counts.
            s.angleRad = m_thetaRad + std::remainder(s.angleRad - m_thetaRad, 2 * Pi);
        }
    }
    return solve();
}
