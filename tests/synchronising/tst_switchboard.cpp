// The switchboard's machine: the synchroscope's angle, the lamps, the breaker and its
// relay, the power after a close, the protection, the automatic synchroniser and the score.
#include "switchboard.h"

#include <cmath>
#include <QtTest>

namespace {

using C = SwitchboardControl;
using S = ControlState;

// A machine already at its speed and voltage: no lag to wait for.
SwitchboardSettings steady(double frequency, double voltage, double angle) {
    SwitchboardSettings s;
    s.frequency = frequency;
    s.voltage = voltage;
    s.angle = angle;
    s.speedLagS = 0;
    s.voltageLagS = 0;
    return s;
}

// Runs until the needle reaches `commandAngle` coming round in its own direction, then
// gives the close command.
void closeAt(Switchboard &b, double commandAngle) {
    const bool fast = b.slipHz() > 0;
    while (fast ? b.angleDeg() < commandAngle : b.angleDeg() > commandAngle) b.step();
    b.act(C::Breaker, S::Close);
}

bool near(double a, double b, double within) {
    return std::abs(a - b) <= within;
}

} // namespace

class TestSwitchboard : public QObject {
    Q_OBJECT
private slots:
    void needleAndActions();
    void heldKeyRepeats_data();
    void heldKeyRepeats();
    void lamps_data();
    void lamps();
    void closingCurrentAndAdvance();
    void closing_data();
    void closing();
    void outOfPhaseClose_data();
    void outOfPhaseClose();
    void relayRefuses_data();
    void relayRefuses();
    void automaticSynchroniser_data();
    void automaticSynchroniser();
    void score_data();
    void score();
};

void TestSwitchboard::needleAndActions() {
    // 50.10 Hz turns the needle clockwise, a turn in 10.0 s.
    Switchboard b(steady(50.1, 380, 0));
    QCOMPARE(b.secondsPerTurn(), 1 / (50.1 - 50.0));
    b.runUntil(1000);
    QVERIFY(near(b.angleDeg(), 36, 1e-9));
    b.runUntil(6000);
    QVERIFY(near(b.angleDeg(), -144, 1e-9));

    // Raise held for exactly a second moves the reference 0.1 Hz, from the step that
    // starts at the press; the machine follows the ramp with its lag,
    // f = f0 + r (t - tau (1 - e^(-t/tau))). References stop at 60 Hz.
    SwitchboardSettings s;
    s.frequency = 59.95;
    Switchboard g(s);
    g.runUntil(250);
    g.act(C::SpeedRaise, S::Press);
    g.act(C::VoltageLower, S::Press);
    g.runUntil(750);
    QVERIFY(near(g.speedReferenceHz(), 60, 1e-9));
    QVERIFY(near(g.frequencyHz(), 59.95 + 0.1 * (0.5 - 1.5 * (1 - std::exp(-0.5 / 1.5))), 1e-4));
    g.act(C::SpeedRaise, S::Release);
    g.runUntil(1250);
    g.act(C::VoltageLower, S::Release);
    g.runUntil(3000);
    QCOMPARE(g.speedReferenceHz(), MaxSpeedReference);
    QVERIFY(near(g.voltageReferenceV(), 360 - 3.8, 1e-9));
    QCOMPARE(g.actions().size(), std::size_t(4));
    QCOMPARE(g.actions()[3].timeMs, std::int64_t(1250));
    // A state that does not fit its control is no action.
    g.act(C::Breaker, S::Press);
    QCOMPARE(g.actions().size(), std::size_t(4));
}

void TestSwitchboard::heldKeyRepeats_data() {
    // Actions in a line: "sr+0" speed raise pressed at 0 ms, "vr-100" voltage raise let go.
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("recorded");
    // Some X servers repeat a held key as a release and a press in one millisecond.
    QTest::newRow("repeated") << "sr+0 sr-500 sr+500 sr-530 sr+530 sr-3000"
                              << "sr+0 sr-3000";
    QTest::newRow("another key between") << "sr+0 sr-700 vr+700 sr+700 sr-2000"
                                         << "sr+0 vr+700 sr-2000";
    QTest::newRow("a millisecond apart") << "sr+0 sr-1000 sr+1001"
                                         << "sr+0 sr-1000 sr+1001";
    QTest::newRow("a tap") << "sr+100 sr-100"
                           << "sr+100 sr-100";
}

void TestSwitchboard::heldKeyRepeats() {
    QFETCH(QString, given);
    Switchboard b{SwitchboardSettings()};
    for (const QString &word : given.split(QChar(' '))) {
        b.runUntil(word.mid(3).toLongLong());
        b.act(word.startsWith(QLatin1String("sr")) ? C::SpeedRaise : C::VoltageRaise,
              word[2] == QChar('+') ? S::Press : S::Release);
    }
    QStringList recorded;
    for (const SwitchboardAction &a : b.actions())
        recorded << QStringLiteral("%1%2%3")
                        .arg(a.control == C::SpeedRaise ? "sr" : "vr")
                        .arg(a.state == S::Press ? '+' : '-')
                        .arg(a.timeMs);
    QTEST(recorded.join(QChar(' ')), "recorded");
}

void TestSwitchboard::lamps_data() {
    QTest::addColumn<int>("method");
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<double>("theta");
    QTest::addColumn<double>("lamp1");
    QTest::addColumn<double>("lamp2");
    QTest::addColumn<double>("lamp3");
    const int dark = int(LampMethod::Dark), bright = int(LampMethod::Bright),
              rotating = int(LampMethod::Rotating);
    QTest::newRow("dark in phase") << dark << false << 0.0 << 0.0 << 0.0 << 0.0;
    // A filament stays dark below a third of its largest voltage: +-38.9 degrees.
    QTest::newRow("dark at 38.9") << dark << false << 38.9 << 0.0 << 0.0 << 0.0;
    QTest::newRow("dark at 39") << dark << false << 39.0 << 0.3338 << 0.3338 << 0.3338;
    QTest::newRow("dark opposite") << dark << false << 180.0 << 1.0 << 1.0 << 1.0;
    QTest::newRow("bright in phase") << bright << false << 0.0 << 1.0 << 1.0 << 1.0;
    QTest::newRow("rotating in phase") << rotating << false << 0.0 << 0.0 << 0.866 << 0.866;
    // The dark spot moves on to lamp 3 (at four o'clock) as a fast generator gains 120.
    QTest::newRow("rotating at 120") << rotating << false << 120.0 << 0.866 << 0.866 << 0.0;
    QTest::newRow("rotating at -120") << rotating << false << -120.0 << 0.866 << 0.0 << 0.866;
    // Phase order reversed: the rotating lamps pulse together, the dark ones in turn.
    QTest::newRow("rotating reversed") << rotating << true << 60.0 << 0.5 << 0.5 << 0.5;
    QTest::newRow("dark reversed") << dark << true << 0.0 << 0.0 << 0.866 << 0.866;
}

void TestSwitchboard::lamps() {
    QFETCH(int, method);
    QFETCH(bool, reversed);
    QFETCH(double, theta);
    const auto b = lampBrightness(LampMethod(method), reversed, theta, 1);
    QFETCH(double, lamp1);
    QFETCH(double, lamp2);
    QFETCH(double, lamp3);
    QVERIFY2(near(b[0], lamp1, 5e-4) && near(b[1], lamp2, 5e-4) && near(b[2], lamp3, 5e-4),
             qPrintable(QStringLiteral("%1 %2 %3").arg(b[0]).arg(b[1]).arg(b[2])));
}

void TestSwitchboard::closingCurrentAndAdvance() {
    QVERIFY(near(closingCurrentPu(10, 1, false), 0.87, 0.005));
    // Two phases 120 degrees apart whatever the red phases do.
    for (const double theta : {0.0, 45.0, -170.0})
        QVERIFY(closingCurrentPu(theta, 1, true) >= std::sqrt(3.0) / 0.2 - 1e-9);
    QVERIFY(near(advanceAngleDeg(0.1, 80), 2.88, 1e-12));
}

void TestSwitchboard::closing_data() {
    QTest::addColumn<double>("frequency");
    QTest::addColumn<double>("commandAngle");
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<double>("reversePowerS");
    QTest::addColumn<double>("resultPower"); // NaN: not checked
    QTest::addColumn<int>("trip");
    QTest::addColumn<int>("score");
    QTest::addColumn<int>("resultAfterMs"); // after contact; -1: at the trip
    const int none = int(TripCause::None);
    const double any = std::nan("");
    // Closed 0.05 Hz fast the droop loads the machine to +2 %; 0.1 Hz slow it motors at
    // -4 % and the reverse-power relay trips it 5 s after the power fell below -2 %, which
    // is the result, 0.
    QTest::newRow("fast") << 50.05 << -1.44 << false << 5.0 << 0.02 << none << 100 << 10000;
    QTest::newRow("slow") << 49.9 << 2.88 << false << 5.0 << -0.04 << int(TripCause::ReversePower)
                          << 0 << -1;
    // A relay slower than the result: the close keeps its score and the trip stands beside.
    QTest::newRow("slow, relay after the result")
        << 49.9 << 2.88 << false << 15.0 << -0.04 << int(TripCause::ReversePower) << 70 << 10000;
    // 4 Hz fast, the contacts touch at 45 degrees (3.8 x rated): the rotor slips a pole.
    QTest::newRow("pole slip") << 54.0 << -70.2 << false << 5.0 << any << int(TripCause::PoleSlip)
                               << 0 << -1;
    QTest::newRow("phase order reversed")
        << 50.1 << -2.88 << true << 5.0 << any << int(TripCause::PhaseOrderReversed) << 0 << 0;
}

void TestSwitchboard::closing() {
    QFETCH(double, frequency);
    QFETCH(double, commandAngle);
    SwitchboardSettings s = steady(frequency, 380, frequency > 50 ? -170 : 170);
    QFETCH(bool, reversed);
    s.phaseOrderReversed = reversed;
    QFETCH(double, reversePowerS);
    s.reversePowerS = reversePowerS;
    Switchboard b(s);
    closeAt(b, commandAngle);
    b.runUntil(b.timeMs() + 20000);
    const SwitchboardAttempt &a = b.attempts().at(0);
    QVERIFY(a.contactMs && *a.contactMs == a.commandMs + 80);
    QFETCH(double, resultPower);
    if (!std::isnan(resultPower)) QVERIFY(near(*a.resultPowerPu, resultPower, 0.002));
    QFETCH(int, trip);
    QCOMPARE(int(b.lastTrip()), trip);
    QCOMPARE(int(a.trip), trip); // also when it came after the result
    QCOMPARE(b.breaker() == BreakerState::Open, trip != int(TripCause::None));
    QFETCH(int, score);
    QCOMPARE(*a.score, score);
    const auto after = [&](SwitchboardEventKind kind) {
        for (const SwitchboardEvent &e : b.events())
            if (e.kind == kind) return e.timeMs - *a.contactMs;
        return std::int64_t(-1);
    };
    const std::int64_t tripMs = after(SwitchboardEventKind::Trip);
    QFETCH(int, resultAfterMs);
    QCOMPARE(after(SwitchboardEventKind::Result), resultAfterMs < 0 ? tripMs : resultAfterMs);
    if (trip == int(TripCause::ReversePower))
        QVERIFY(tripMs > reversePowerS * 1000 && tripMs < reversePowerS * 1000 + 2000);
    // After a trip the machine runs free towards its reference again.
    if (trip == int(TripCause::PoleSlip)) QVERIFY(b.frequencyHz() > 53);
}

void TestSwitchboard::outOfPhaseClose_data() {
    QTest::addColumn<double>("angle"); // at contact: the machine stands, in step with the bus
    QTest::addColumn<double>("voltage");
    QTest::addColumn<double>("current"); // x rated: |u e^(j theta) - 1| / 0.2
    QTest::addColumn<bool>("trips");     // the current reaches 1/X"d = 5
    QTest::newRow("30") << 30.0 << 380.0 << 2.588 << false;
    // Beyond 30 degrees the shaft's torque exceeds a three-phase fault's (scored 0), untripped.
    QTest::newRow("-40") << -40.0 << 380.0 << 3.420 << false;
    QTest::newRow("60") << 60.0 << 380.0 << 5.0 << true;
    QTest::newRow("58, 10 % high") << 58.0 << 420.0 << 5.124 << true;
    QTest::newRow("170") << 170.0 << 380.0 << 9.962 << true;
}

void TestSwitchboard::outOfPhaseClose() {
    QFETCH(double, angle);
    QFETCH(double, voltage);
    Switchboard b(steady(50, voltage, angle));
    b.act(C::Breaker, S::Close);
    b.runUntil(200);
    const SwitchboardAttempt &a = b.attempts().at(0);
    QFETCH(double, current);
    QVERIFY2(near(a.closingCurrentPu, current, 0.0005),
             qPrintable(QString::number(a.closingCurrentPu)));
    QFETCH(bool, trips);
    QCOMPARE(b.breaker() == BreakerState::Open, trips);
    // Connected, the terminals are the bus's, whatever the regulator holds.
    QCOMPARE(b.terminalVoltageV(), trips ? voltage : BusVoltage);
    QCOMPARE(a.trip, trips ? TripCause::OutOfPhase : TripCause::None);
    // A trip at contact carries the current that tripped it and is the result.
    if (trips) QCOMPARE(b.events().at(2).closingCurrentPu, a.closingCurrentPu);
    QCOMPARE(a.score.has_value(), trips);
    b.runUntil(80 + 10000);
    QCOMPARE(a.scoreParts.beyondFaultTorque, std::abs(angle) > 30);
}

void TestSwitchboard::relayRefuses_data() {
    QTest::addColumn<double>("frequency");
    QTest::addColumn<double>("voltage");
    QTest::addColumn<double>("angle");
    QTest::addColumn<bool>("angleFails");
    QTest::addColumn<bool>("slipFails");
    QTest::addColumn<bool>("voltageFails");
    QTest::newRow("within") << 50.06 << 395.0 << 9.9 << false << false << false;
    QTest::newRow("angle") << 50.05 << 385.0 << -10.5 << true << false << false;
    QTest::newRow("slip") << 49.9 << 385.0 << 0.0 << false << true << false;
    QTest::newRow("voltage low") << 50.05 << 379.0 << 0.0 << false << false << true;
    QTest::newRow("all") << 50.5 << 400.0 << 90.0 << true << true << true;
}

void TestSwitchboard::relayRefuses() {
    QFETCH(double, frequency);
    QFETCH(double, voltage);
    QFETCH(double, angle);
    SwitchboardSettings s = steady(frequency, voltage, angle);
    s.mode = SwitchboardMode::Permissive;
    Switchboard b(s);
    b.act(C::Breaker, S::Close);
    QFETCH(bool, angleFails);
    QFETCH(bool, slipFails);
    QFETCH(bool, voltageFails);
    const SwitchboardAttempt &a = b.attempts().at(0);
    QCOMPARE(a.refusal.angle, angleFails);
    QCOMPARE(a.refusal.slip, slipFails);
    QCOMPARE(a.refusal.voltage, voltageFails);
    QCOMPARE(a.refused, angleFails || slipFails || voltageFails);
    QCOMPARE(b.breaker() == BreakerState::Closing, !a.refused);
    QCOMPARE(b.events().back().kind,
             a.refused ? SwitchboardEventKind::Refused : SwitchboardEventKind::CloseCommand);
}

void TestSwitchboard::automaticSynchroniser_data() {
    QTest::addColumn<double>("frequency");
    QTest::addColumn<double>("voltage");
    QTest::addColumn<double>("angle");
    QTest::addColumn<int>("breakerMs");
    QTest::newRow("45 Hz, 250 V") << 45.0 << 250.0 << 0.0 << 80;
    QTest::newRow("55 Hz, 500 V") << 55.0 << 500.0 << 179.0 << 80;
    QTest::newRow("45 Hz, 500 V, slow breaker") << 45.0 << 500.0 << -90.0 << 500;
    QTest::newRow("55 Hz, 250 V, fast breaker") << 55.0 << 250.0 << 90.0 << 10;
    QTest::newRow("in step already") << 50.0 << 380.0 << 0.0 << 150;
}

void TestSwitchboard::automaticSynchroniser() {
    SwitchboardSettings s;
    QFETCH(double, frequency);
    QFETCH(double, voltage);
    QFETCH(double, angle);
    QFETCH(int, breakerMs);
    s.frequency = frequency;
    s.voltage = voltage;
    s.angle = angle;
    s.breakerMs = breakerMs;
    s.mode = SwitchboardMode::Automatic;
    Switchboard b(s);
    b.runUntil(120000);
    QCOMPARE(b.attempts().size(), std::size_t(1));
    const SwitchboardAttempt &a = b.attempts()[0];
    QVERIFY(a.automatic && a.contactMs && *a.contactMs <= 120000);
    QVERIFY2(near(a.angleAtContactDeg, 0, 2), qPrintable(QString::number(a.angleAtContactDeg)));
    QVERIFY(a.slipHz >= 0.02 && a.slipHz <= 0.1);
    QVERIFY(a.voltageDifferencePct >= 0 && a.voltageDifferencePct <= 5);
    QCOMPARE(b.synchroniser(), SynchroniserState::Connected);
    QVERIFY(b.powerPu() > 0);

    // It never closes onto a reversed phase order.
    s.phaseOrderReversed = true;
    Switchboard wrong(s);
    wrong.runUntil(120000);
    QVERIFY(wrong.attempts().empty());
    QCOMPARE(wrong.synchroniser(), SynchroniserState::PhaseOrderWrong);
}

void TestSwitchboard::score_data() {
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("slip");
    QTest::addColumn<double>("dU");
    QTest::addColumn<double>("time");
    QTest::addColumn<int>("trip");
    QTest::addColumn<int>("score");
    const int none = int(TripCause::None);
    QTest::newRow("best") << -2.0 << 0.02 << 0.0 << 60.0 << none << 100;
    QTest::newRow("each second band") << 5.0 << 0.0 << -5.0 << 120.0 << none << 30 + 15 + 10 + 5;
    QTest::newRow("each third band") << -10.0 << 0.2 << 10.0 << 121.0 << none << 15 + 15 + 10;
    QTest::newRow("nothing") << 10.01 << -0.01 << 10.01 << 500.0 << none << 0;
    QTest::newRow("slip just beyond") << 0.0 << 0.2001 << 5.01 << 0.0 << none << 40 + 10 + 10;
    QTest::newRow("tripped") << 0.0 << 0.05 << 1.0 << 10.0 << int(TripCause::PoleSlip) << 0;
    // The full slip band ends at the sync-check relay's limit.
    QTest::newRow("slip at the relay's limit") << 0.0 << 0.067 << 0.0 << 0.0 << none << 100;
    QTest::newRow("slip beyond the relay's") << 0.0 << 0.07 << 0.0 << 0.0 << none << 85;
    QTest::newRow("contact at 30.5") << 30.5 << 0.05 << 1.0 << 10.0 << none << 0;
}

void TestSwitchboard::score() {
    QFETCH(double, angle);
    QFETCH(double, slip);
    QFETCH(double, dU);
    QFETCH(double, time);
    QFETCH(int, trip);
    QFETCH(int, score);
    QCOMPARE(scoreClose(angle, slip, dU, time, TripCause(trip)).total(), score);
}

QTEST_APPLESS_MAIN(TestSwitchboard)
#include "tst_switchboard.moc"
