// The switchboard's log as CSV: every kind of event, its numbers to their fixed decimals with
// a full stop in any locale, empty where it has none, and the detail's words; the breaker's
// line after a trip; an island's log; the trace's rows.
#include "switchboardcsv.h"
#include "switchboardtext.h"
#include "switchboardtrace.h"

#include <QtTest>

class TestSwitchboardCsv : public QObject {
    Q_OBJECT
private slots:
    void log();
    void islandLog();
    void traceRow();
};

void TestSwitchboardCsv::log() {
    using K = SwitchboardEventKind;
    const auto event = [](std::int64_t ms, K kind) {
        SwitchboardEvent e;
        e.timeMs = ms;
        e.kind = kind;
        return e;
    };
    std::vector<SwitchboardEvent> events;
    SwitchboardEvent e = event(1500, K::CloseCommand);
    e.angleDeg = -12.3456;
    e.slipHz = 0.25049;
    e.voltageDifferencePct = -2.6316;
    events.push_back(e);
    e = event(1500, K::Refused);
    e.refusal.angle = e.refusal.slip = e.refusal.voltage = true;
    events.push_back(e);
    e = event(62001, K::CloseCommand);
    e.automatic = true;
    e.angleDeg = 3.2;
    events.push_back(e);
    e = event(62081, K::Contact);
    e.angleDeg = -0.004; // rounds to no sign
    e.slipHz = 0.0604;
    e.voltageDifferencePct = 2.5;
    e.closingCurrentPu = 0.05149;
    events.push_back(e);
    e = event(65000, K::Trip);
    e.trip = TripCause::ReversePower;
    e.powerPu = -0.0216;
    events.push_back(e);
    e = event(67081, K::Result);
    e.trip = TripCause::ReversePower;
    e.score = 0;
    events.push_back(e);
    e = event(70000, K::Result);
    e.powerPu = 1234.5678;
    e.score = 85;
    events.push_back(e);
    events.push_back(event(3599999, K::Open));
    for (const TripCause cause : {TripCause::PhaseOrderReversed, TripCause::PoleSlip}) {
        e = event(3600000, K::Trip);
        e.trip = cause;
        events.push_back(e);
    }
    e = event(3600080, K::Trip);
    e.trip = TripCause::OutOfPhase;
    e.closingCurrentPu = 9.9619;
    events.push_back(e);
    e = event(3600080, K::Result);
    e.trip = TripCause::OutOfPhase;
    e.beyondFaultTorque = true;
    e.score = 0;
    events.push_back(e);
    e = event(3600090, K::Result);
    e.beyondFaultTorque = true;
    e.score = 0;
    events.push_back(e);

    SwitchboardSettings settings;
    settings.frequency = 49.8;
    settings.lamps = LampMethod::Rotating;
    settings.mode = SwitchboardMode::Permissive;
    const QByteArray expected =
        "# Selmex switchboard: bus_frequency=50 frequency=49.8 voltage=360 angle=0 "
        "breaker_ms=80 governor_rate=0.1 avr_rate=1 speed_lag_s=1.5 voltage_lag_s=0.5 "
        "inertia_s=3 droop_pct=5 reverse_power_pct=2 reverse_power_s=5 lamps=rotating "
        "phase_order=same mode=permissive\n"
        "time_s,event,angle_deg,slip_hz,voltage_difference_pct,closing_current_pu,power_pu,"
        "detail,score\n"
        "1.500,close_command,-12.35,0.250,-2.63,,,,\n"
        "1.500,refused,,,,,,angle beyond 10\xC2\xB0; slip beyond 0.067 Hz; voltage not 0 to +5 % "
        "above the bus,\n"
        "62.001,close_command,3.20,,,,,automatic,\n"
        "62.081,contact,0.00,0.060,2.50,0.051,,,\n"
        "65.000,trip,,,,,-0.022,reverse power,\n"
        "67.081,result,,,,,,reverse power,0\n"
        "70.000,result,,,,,1234.568,,85\n"
        "3599.999,open,,,,,,,\n"
        "3600.000,trip,,,,,,phase order reversed,\n"
        "3600.000,trip,,,,,,pole slip,\n"
        "3600.080,trip,,,,9.962,,out-of-phase close,\n"
        "3600.080,result,,,,,,out-of-phase close; the shaft took a torque beyond a "
        "three-phase fault's,0\n"
        "3600.090,result,,,,,,the shaft took a torque beyond a three-phase fault's,0\n";
    QCOMPARE(switchboardLogCsv(settings, events), expected);
    // The breaker's line: an out-of-phase trip with its current, another without.
    QCOMPARE(trippedText(TripCause::OutOfPhase, 9.962),
             QStringLiteral("tripped: out-of-phase close, 10.0 \u00D7 rated"));
    QCOMPARE(trippedText(TripCause::ReversePower, 0.3), QStringLiteral("tripped: reverse power"));
}

void TestSwitchboardCsv::islandLog() {
    SwitchboardSettings settings;
    settings.bus = BusKind::Island;
    settings.island.task = IslandTask::TakeRunningSetOff;
    settings.load.steps = {{30000, 120, 90}, {45500, 0.5, -1}};
    const auto event = [](std::int64_t ms, SwitchboardEventKind kind, int set, TripCause trip) {
        SwitchboardEvent e;
        e.timeMs = ms;
        e.kind = kind;
        e.set = set;
        e.trip = trip;
        return e;
    };
    using K = SwitchboardEventKind;
    std::vector<SwitchboardEvent> events{event(30000, K::LoadStep, 2, TripCause::None),
                                         event(40000, K::Trip, 1, TripCause::Overload),
                                         event(41000, K::Open, 2, TripCause::None),
                                         event(41000, K::Blackout, 2, TripCause::None),
                                         event(42000, K::Blackout, 1, TripCause::UnderFrequency),
                                         event(50000, K::TaskFailed, 2, {})};
    events[0].loadPKw = 120;
    events[0].loadQKvar = 90;
    const QByteArray log = switchboardLogCsv(settings, events);
    QVERIFY(log.startsWith("# Selmex switchboard: bus=island bus_frequency=50 "));
    QCOMPARE(log.sliced(log.indexOf(" running_droop_pct")),
             " running_droop_pct=4 running_setpoint_hz=51.2 running_voltage_droop_pct=4 "
             "running_voltage_setpoint_v=388 incoming_rating_kw=100 incoming_droop_pct=4 "
             "incoming_voltage_droop_pct=4 task=take_running_set_off p_kw=60 q_kvar=45 "
             "step=30,120,90 step=45.5,0.5,-1\n"
             "time_s,event,angle_deg,slip_hz,voltage_difference_pct,closing_current_pu,power_pu,"
             "detail,score\n"
             "30.000,load_step,,,,,,\"load 120 kW, 90 kvar\",\n"
             "40.000,trip,,,,,,set 1: overload,\n"
             "41.000,open,,,,,,set 2,\n"
             "41.000,blackout,,,,,,the last breaker opened,\n"
             "42.000,blackout,,,,,,under-frequency,\n"
             "50.000,task_failed,,,,,,take the running set off,\n");
}

void TestSwitchboardCsv::traceRow() {
    // Each to its decimals: 0.001 Hz, 0.1 V, 0.01 kW and kvar.
    SwitchboardSample island{12345, 49.99951, 378.8846, true, true, {}, {}, 60, 45};
    island.set1 = {true, 59.996, -0.004, 0, 1, 51.2, 388, 50, 100};
    island.set2 = {true, 0.004, 45.126, 0, 1, 49.8, 370.04, 50, 100};
    QByteArray out;
    appendTraceRow(out, island);
    QCOMPARE(out, "12.345,50.000,378.9,closed,51.200,49.800,388.0,370.0,60.00,0.00,0.00,45.13,"
                  "60.00,45.00\n");
}

QTEST_GUILESS_MAIN(TestSwitchboardCsv)
#include "tst_switchboardcsv.moc"
