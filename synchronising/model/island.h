#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The island: a bus that no grid holds up. Set 1, the running set, carries the load
// alone until the switchboard's machine, set 2, is brought onto the bus; then the two
// share it along their droop lines. Frequency and voltage sag with the load:
//
//     P_i = K_i (f0_i - f),   K_i = rating_i / (droop_i * 50 Hz),           sum P_i = P_load
//     Q_i = Kq_i (V0_i - V),  Kq_i = 0.75 rating_i / (vdroop_i * 380 V),     sum Q_i = Q_load
//
// so f = (sum K_i f0_i - P_load) / sum K_i and V = (sum Kq_i V0_i - Q_load) / sum Kq_i.
// Each set's reactive rating is 0.75 of its rating in kW (power factor 0.8).

// Which bus the switchboard's machine is brought onto.
enum class BusKind { Infinite, Island };

// What an island exercise asks of the student; the log says when it was met or failed.
enum class IslandTask {
    None,
    // Close set 2 onto the island: met at the close's result when it scored above 0.
    Synchronise,
    // With both sets on the bus, each set's load within 10 % of its rating of the equal
    // share (P_i / rating_i within 0.10 of P_load / sum of ratings) and the frequency
    // within 50 +- 0.5 Hz, held for 5 s.
    ShareEqually,
    // All load moved to set 2 and set 1 taken off by its breaker: met when the operator
    // opens set 1's breaker with set 2 on the bus and set 1's power from minus the
    // reverse-power setting to +5 % of its rating; failed by a reverse-power trip of
    // set 1 or a blackout.
    TakeRunningSetOff,
    // With set 2 on the bus before the first load step, the frequency kept within
    // 50 +- 0.5 Hz from that step until 5 s after the last: met then; failed when the
    // frequency leaves the band in that time, by a trip or a blackout.
    RideLoadStep,
};
enum class TaskState { Open, Met, Failed };

// The load from `timeMs` on (a step of the [load] section).
struct LoadStep {
    std::int64_t timeMs = 0;
    double pKw = 0, qKvar = 0;
};

struct IslandSettings {
    double runningRatingKw = 100;
    double runningDroopPct = 4;           // % of 50 Hz from no load to the rating
    double runningSetpointHz = 51.2;      // set 1's no-load frequency at the start
    double runningVoltageDroopPct = 4;    // % of 380 V from no load to the reactive rating
    double runningVoltageSetpointV = 388; // set 1's no-load voltage at the start
    double incomingRatingKw = 100;        // set 2, the switchboard's machine
    double incomingDroopPct = 4;          // its droop on the island (droop_pct is the
    double incomingVoltageDroopPct = 4;   // infinite bus's)
    IslandTask task = IslandTask::None;
};

struct IslandLoad {
    double pKw = 60, qKvar = 45; // from the start
    std::vector<LoadStep> steps; // in time order, at most MaxLoadSteps
};
constexpr std::size_t MaxLoadSteps = 100;

// The ranges; the first value out of range named with its range in the file's words
// ("running_droop_pct must lie from 1 to 20 %"), or nothing. NaN is out of range.
// Ratings 1 to 100000 kW; droops 1 to 20 %; running_setpoint_hz 40 to 60;
// running_voltage_setpoint_v 190 to 570; p_kw 0 to 100000; q_kvar -100000 to 100000;
// steps from 0 to 24 h in time order (equal times refused), at most MaxLoadSteps.
std::optional<std::string> checkIsland(const IslandSettings &island, const IslandLoad &load);

// Steady state of the sets on the bus along their droop lines (the algebra above), for
// the docs, the tests and the drawing's expected points. `connected[i]` says whether set
// i+1 is on the bus; none connected gives NaN everywhere.
struct DroopShare {
    double frequencyHz = 0, voltageV = 0;
    double pKw[2] = {0, 0}, qKvar[2] = {0, 0};
};
struct DroopSet {
    double ratingKw, droopPct, setpointHz, voltageDroopPct, voltageSetpointV;
    bool connected;
};
DroopShare droopShare(const DroopSet &set1, const DroopSet &set2, double loadPKw, double loadQKvar);
// K_i in kW/Hz and Kq_i in kvar/V.
double droopStiffnessKwPerHz(double ratingKw, double droopPct);
double voltageStiffnessKvarPerV(double ratingKw, double voltageDroopPct);

// Protection of each set on the island (besides the switchboard's reverse power and pole
// slip): overload above 110 % of the rating for 10 s, under-frequency below 47.5 Hz for
// 2 s, under-voltage below 85 % of 380 V for 2 s.
constexpr double OverloadShare = 1.10, UnderFrequencyHz = 47.5, UnderVoltageShare = 0.85;
constexpr std::int64_t OverloadMs = 10000, UnderFrequencyMs = 2000, UnderVoltageMs = 2000;
// How long ShareEqually and RideLoadStep hold, and their bands.
constexpr std::int64_t TaskHoldMs = 5000;
constexpr double ShareBand = 0.10, FrequencyBandHz = 0.5, TakeOffMaxShare = 0.05;

// One set on the island: its governor's and regulator's set points, its state and what it
// gives the bus at the last solution.
struct IslandSet {
    double ratingKw = 100;
    double stiffnessKwPerHz = 1, voltageStiffnessKvarPerV = 1; // K and Kq of its droops
    double setpointHz = 50, voltageSetpointV = 380;            // no load
    double frequencyHz = 50, internalV = 380;
    double angleRad = 0;               // against a frame turning at 50 Hz, unwrapped
    double cosAngle = 1, sinAngle = 0; // turned along with it, so no step needs sin or cos
    bool connected = false;
    double pKw = 0, qKvar = 0; // 0 off the bus
};

// The island's bus and its two sets, stepped by the switchboard. The sets meet at the bus
// through the tie reactance; the load takes constant P and Q. With the bus voltage V of
// the step before, each set drives B_i = rating_i (E_i/380)(V/380)/X kW per radian and
// Bq_i = rating_i/(380 X) kvar per volt; the bus stands at
//     theta = atan2(S, C) - asin(P_load / R),  S + jC summed over B_i e^(j delta_i)
// so that P_i = B_i sin(delta_i - theta) adds up to the load, and V = (sum Bq_i E_i -
// Q_load) / sum Bq_i. Each set on the bus swings by its governor along its droop with the
// damper windings' torque D_i (f_i - f_bus), D_i = 2.5 rating_i per Hz:
//     tau df_i/dt = f0_i - f_i - (P_i + D_i (f_i - f_bus)) / K_i
//     tau_v dE_i/dt = V0_i - Q_i/Kq_i - V
// so that a set alone follows its droop line with the governor's lag.
class IslandBus {
public:
    // Set 1 on the bus in its steady state under the load, set 2 off it at `set2AngleDeg`
    // ahead of the bus with its frequency and voltage. The lags in seconds; `follow` the
    // per-step shares of set 1's frequency and voltage that close on its set points while
    // it is off the bus. Whether the bus holds (see solve).
    bool start(const IslandSettings &island, double loadPKw, double loadQKvar, double set2Hz,
               double set2V, double set2AngleDeg, double speedLagS, double voltageLagS,
               double speedFollow, double voltageFollow);
    IslandSet &set(int index) { return m_sets[index]; } // 0 set 1, 1 set 2
    const IslandSet &set(int index) const { return m_sets[index]; }
    void setLoad(double pKw, double qKvar) {
        m_loadPKw = pKw;
        m_loadQKvar = qKvar;
    }
    double loadPKw() const { return m_loadPKw; }
    double loadQKvar() const { return m_loadQKvar; }
    // Puts a set on the bus where its angle stands, or takes it off.
    void connect(int index, bool on);
    bool live() const { return m_sets[0].connected || m_sets[1].connected; }
    // The bus from the sets on it: false when they cannot hold the load (P_load reaches
    // 0.999 R, or no positive voltage comes out): the bus collapses.
    bool solve();
    // One step of `dt` seconds, then solve. Set 2 off the bus only turns with the frequency
    // the switchboard gives it.
    bool advance(double dt);
    double frequencyHz() const { return m_frequencyHz; } // 0 with no set on the bus
    double voltageV() const { return m_voltageV; }
    // delta_i - theta, rad: the set's angle ahead of the bus.
    double angleAheadRad(int index) const { return m_sets[index].angleRad - m_thetaRad; }

private:
    IslandSet m_sets[2];
    double m_loadPKw = 0, m_loadQKvar = 0;
    double m_perLag = 1, m_perVoltageLag = 1, m_speedFollow = 1, m_voltageFollow = 1;
    double m_perSumBq = 1; // 1 / sum Bq_i of the sets on the bus
    double m_frequencyHz = 50, m_voltageV = 380;
    double m_thetaRad = 0, m_cosTheta = 1, m_sinTheta = 0;
    double m_perStiffness[2] = {1, 1}, m_perVoltageStiffness[2] = {1, 1}; // 1/K_i, 1/Kq_i
};
