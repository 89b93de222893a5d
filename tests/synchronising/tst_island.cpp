// The island: two sets sharing a load along their droop lines, as the simulation reaches
// it; the running set's lag, the protection's delays, the bus lost, the tasks, the replay
// to the last bit; the island's ranges.
#include "switchboard.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <QtTest>

namespace {

using C = SwitchboardControl;
using S = ControlState;

// Set 1 (running set point `f1`) alone under `loadKw`; set 2 starts 0.05 Hz above that
// bus at the angle that makes an 80 ms breaker touch in phase.
SwitchboardSettings island(double f1, double loadKw) {
    SwitchboardSettings s;
    s.bus = BusKind::Island;
    s.island.runningSetpointHz = f1;
    s.load.pKw = loadKw;
    s.frequency = f1 - loadKw / 50 + 0.05; // 4 % of 50 Hz for 100 kW: 50 kW/Hz
    s.angle = -360 * 0.05 * 0.08;
    s.voltage = 388;
    s.governorRate = 1;
    return s;
}

void hold(Switchboard &b, SwitchboardControl control, double ms) {
    b.act(control, S::Press);
    b.runUntil(b.timeMs() + std::llround(ms));
    b.act(control, S::Release);
}

// Closes set 2 at once, then moves its governor's set point to `f2` at 1 Hz/s.
void closeAndRaise(Switchboard &b, double f2) {
    b.act(C::Breaker, S::Close);
    b.runUntil(100);
    QCOMPARE(b.breaker(), BreakerState::Closed);
    hold(b, C::SpeedRaise, (f2 - b.speedReferenceHz()) * 1000);
}

bool same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The recorded actions replayed on a new switchboard give the same numbers to the bit.
void checkReplay(const Switchboard &b) {
    Switchboard again(b.settings());
    again.runUntil(b.timeMs(), &b.actions());
    QCOMPARE(again.events().size(), b.events().size());
    QVERIFY(same(again.busFrequencyHz(), b.busFrequencyHz()) &&
            same(again.set(1).pKw, b.set(1).pKw) && same(again.set(2).qKvar, b.set(2).qKvar));
}

const SwitchboardEvent *find(const Switchboard &b, SwitchboardEventKind kind) {
    for (const SwitchboardEvent &e : b.events())
        if (e.kind == kind) return &e;
    return nullptr;
}

} // namespace

class TestIsland : public QObject {
    Q_OBJECT
private slots:
    void sharing_data();
    void sharing();
    void protection_data();
    void protection();
    void tasks_data();
    void tasks();
    void ranges();
};

// Both sets 100 kW, set 1 at 4 % and 52 Hz, 120 kW; set 1's set points then raised by
// its own controls by `raiseHz` and `raisePct` of 380 V; a load step of `stepKw` at 30 s.
struct Sharing {
    double droop2, f2, raiseHz, raisePct, stepKw;
    double hz, p1, p2, q1MinusQ2;
};
Q_DECLARE_METATYPE(Sharing)

void TestIsland::sharing_data() {
    QTest::addColumn<Sharing>("row");
    QTest::newRow("equal droops") << Sharing{4, 52, 0, 0, 0, 50.8, 60, 60, 0};
    QTest::newRow("4 and 5 %") << Sharing{5, 52, 0, 0, 0, 50.6667, 66.6667, 53.3333, 0};
    // Of 60 kW more the 4 % set takes 33.3 kW.
    QTest::newRow("4 and 5 %, step") << Sharing{5, 52, 0, 0, 60, 50.0, 100, 80, 0};
    QTest::newRow("set 1 0.3 Hz up") << Sharing{4, 52, 0.3, 0, 0, 50.95, 67.5, 52.5, 0};
    QTest::newRow("0.3 Hz up, 0.3 down") << Sharing{4, 51.7, 0.3, 0, 0, 50.8, 75, 45, 0};
    // 1 % of 380 V apart: 25 % of the 75 kvar reactive rating.
    QTest::newRow("voltages 1 % apart") << Sharing{4, 52, 0, 1, 0, 50.8, 60, 60, 18.75};
}

void TestIsland::sharing() {
    QFETCH(Sharing, row);
    SwitchboardSettings s = island(52, 120);
    s.avrRate = 1;
    s.island.incomingDroopPct = row.droop2;
    if (row.stepKw > 0) s.load.steps = {{30000, 120 + row.stepKw, s.load.qKvar}};
    Switchboard b(s);
    closeAndRaise(b, row.f2);
    hold(b, C::RunningSpeedRaise, row.raiseHz * 1000);    // at 1 Hz/s
    hold(b, C::RunningVoltageRaise, row.raisePct * 1000); // at 1 %/s
    b.runUntil(90000);
    QVERIFY(std::abs(b.busFrequencyHz() - row.hz) < 1e-3);
    QVERIFY(std::abs(b.set(1).pKw - row.p1) < 0.01);
    QVERIFY(std::abs(b.set(2).pKw - row.p2) < 0.01);
    QVERIFY(std::abs(b.set(1).qKvar - b.set(2).qKvar - row.q1MinusQ2) < 0.01);
    checkReplay(b);
}

// A load step at 1 s; what trips after its condition held how long (`watch`: 0 set 1 above
// 110 kW, 1 the bus below 47.5 Hz, 2 below 323 V, 3 set 1 below -2 kW, 4 the load beyond
// what set 1 gives at 90 degrees, about 240 kW), from when (-1: not worked out); set 2
// raised to `f2` unless NaN; whether the bus is lost, and then dead.
struct Protection {
    double f1, v1, lagS, stepKw, stepKvar, f2;
    int watch;
    TripCause cause;
    std::int64_t onsetMs, delayMs;
    bool lost;
};
Q_DECLARE_METATYPE(Protection)

void TestIsland::protection_data() {
    using T = TripCause;
    const double none = qQNaN();
    QTest::addColumn<Protection>("row");
    // A set alone takes a load step at once.
    QTest::newRow("overload") << Protection{51.2, 388,         1.5,  115,   45,  none,
                                            0,    T::Overload, 1000, 10000, true};
    // From 47.8 Hz towards 47.2 Hz with the governor's lag: halfway after lag * ln 2.
    QTest::newRow("under-frequency")
        << Protection{49, 388, 1.5, 90, 45, none, 1, T::UnderFrequency, 2040, 2000, true};
    QTest::newRow("under-frequency, 3 s lag")
        << Protection{49, 388, 3, 90, 45, none, 1, T::UnderFrequency, 3079, 2000, true};
    // 45 kvar more through the tie's 0.526 kvar/V: 85 V down at once.
    QTest::newRow("under-voltage")
        << Protection{51.2, 340, 1.5, 60, 90, none, 2, T::UnderVoltage, 1000, 2000, true};
    // Set 2 at 53 Hz drives set 1 (51.2 Hz) to -15 kW; set 2 holds the bus alone.
    QTest::newRow("reverse power")
        << Protection{51.2, 388, 1.5, 60, 45, 53, 3, T::ReversePower, -1, 5000, false};
    QTest::newRow("collapse") << Protection{51.2, 388, 1.5, 400, 45, none, 4, T::UnderVoltage,
                                            1000, 0,   true};
}

void TestIsland::protection() {
    QFETCH(Protection, row);
    SwitchboardSettings s = island(row.f1, 60);
    s.island.runningVoltageSetpointV = row.v1;
    s.speedLagS = row.lagS;
    s.load.steps = {{1000, row.stepKw, row.stepKvar}};
    Switchboard b(s);
    if (!std::isnan(row.f2)) {
        b.act(C::Breaker, S::Close);
        b.runUntil(100);
        b.act(C::SpeedRaise, S::Press);
    }
    std::int64_t since = -1;
    while (b.timeMs() < 30000 && !find(b, SwitchboardEventKind::Trip)) {
        if (b.lit()[0] && b.speedReferenceHz() >= row.f2 - 1e-6) b.act(C::SpeedRaise, S::Release);
        b.step();
        const double p = b.set(1).pKw;
        const bool held = row.watch == 0   ? p > 110
                          : row.watch == 1 ? b.busFrequencyHz() < 47.5
                          : row.watch == 2 ? b.busVoltageV() < 323
                          : row.watch == 3 ? p < -2
                                           : b.loadPKw() > 300;
        if (held && since < 0) since = b.timeMs();
    }
    const SwitchboardEvent *trip = find(b, SwitchboardEventKind::Trip);
    QVERIFY(trip && since > 0);
    QCOMPARE(trip->trip, row.cause);
    QCOMPARE(trip->set, 1);
    QCOMPARE(trip->timeMs - since, row.delayMs);
    if (row.onsetMs >= 0) QVERIFY(std::abs(since - row.onsetMs) <= 2);
    const SwitchboardEvent *blackout = find(b, SwitchboardEventKind::Blackout);
    QCOMPARE(blackout != nullptr, row.lost);
    if (!blackout) return;
    QCOMPARE(blackout->trip, row.cause);
    b.runUntil(b.timeMs() + 100);
    QCOMPARE(b.busFrequencyHz(), 0.0);
    QCOMPARE(b.busVoltageV(), 0.0);
    b.act(C::Breaker, S::Close);
    QVERIFY(b.events().back().refusal.voltage && b.breaker() == BreakerState::Open);
}

// Set 2 closed at the start and raised to `f2` (NaN: left off the bus); set 1 opened at
// 25 s if `open`; a load step to 90 kW at 30 s; when the task is decided (-1: whenever).
struct Task {
    IslandTask task;
    double f1, f2;
    bool open;
    TaskState state;
    std::int64_t doneMs;
};
Q_DECLARE_METATYPE(Task)

void TestIsland::tasks_data() {
    using T = IslandTask;
    const TaskState met = TaskState::Met, failed = TaskState::Failed;
    QTest::addColumn<Task>("row");
    // A close in phase, its result 10 s after contact at 80 ms.
    QTest::newRow("synchronised") << Task{T::Synchronise, 51.2, 51.2, false, met, 10080};
    // 50.8 Hz each: 30 kW each at 50.2 Hz.
    QTest::newRow("shared") << Task{T::ShareEqually, 50.8, 50.8, false, met, -1};
    QTest::newRow("sharing ended") << Task{T::ShareEqually, 50.8, qQNaN(), true, failed, 25000};
    // Set 2 at 52 Hz takes all 60 kW at 50.8 Hz.
    QTest::newRow("taken off") << Task{T::TakeRunningSetOff, 50.8, 52, true, met, 25000};
    QTest::newRow("taken off loaded")
        << Task{T::TakeRunningSetOff, 50.8, 50.8, true, failed, 25000};
    // 90 kW on both at 50.8 Hz: 49.9 Hz; on set 1 alone 49.0 Hz.
    QTest::newRow("step ridden") << Task{T::RideLoadStep, 50.8, 50.8, false, met, 35000};
    QTest::newRow("step alone") << Task{T::RideLoadStep, 50.8, qQNaN(), false, failed, 30000};
}

void TestIsland::tasks() {
    QFETCH(Task, row);
    SwitchboardSettings s = island(row.f1, 60);
    s.island.task = row.task;
    s.load.steps = {{30000, 90, 45}};
    Switchboard b(s);
    if (!std::isnan(row.f2)) closeAndRaise(b, row.f2);
    b.runUntil(25000);
    if (row.open) b.act(C::RunningBreaker, S::Open);
    b.runUntil(40000);
    QCOMPARE(b.taskState(), row.state);
    QCOMPARE(b.blackout(), row.open && std::isnan(row.f2)); // set 2 holds the bus
    if (row.doneMs >= 0) QCOMPARE(*b.taskDoneMs(), row.doneMs);
    const auto kind = row.state == TaskState::Met ? SwitchboardEventKind::TaskMet
                                                  : SwitchboardEventKind::TaskFailed;
    QCOMPARE(std::count_if(b.events().begin(), b.events().end(),
                           [&](const SwitchboardEvent &e) { return e.kind == kind; }),
             1);
    checkReplay(b);
}

void TestIsland::ranges() {
    SwitchboardSettings s = island(51.2, 60);
    QVERIFY(!checkSwitchboard(s));
    s.island.incomingVoltageDroopPct = qQNaN();
    QCOMPARE(checkSwitchboard(s), "incoming_voltage_droop_pct must lie from 1 to 20 %");
    s.island.incomingVoltageDroopPct = 4;
    s.load.steps = {{5000, 90, 45}, {5000, 60, 45}};
    QCOMPARE(checkSwitchboard(s), "steps must come in time order, each later than the one before");
    s.load.steps = {{5000, 90, 1e6}};
    QCOMPARE(checkSwitchboard(s), "a step's q_kvar must lie from -100000 to 100000 kvar");
}

QTEST_APPLESS_MAIN(TestIsland)
#include "tst_island.moc"
