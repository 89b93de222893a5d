// The switchboard's words as its window shows and says them: the meters' numbers, the
// synchroscope and the lamps in words, the lines under the instruments, a close's row.
#include "numberformat.h"
#include "switchboardtext.h"

#include <cmath>
#include <limits>
#include <QtTest>

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
const double NaN = std::nan("");

// '^' stands for the user's decimal separator; a full stop stays one (Qt's arg).
QString local(QString text) {
    return text.replace(QChar('^'), systemDecimalSeparator());
}

} // namespace

class TestSwitchboardText : public QObject {
    Q_OBJECT
private slots:
    void readings_data();
    void readings();
    void words_data();
    void words();
    void lines_data();
    void lines();
};

void TestSwitchboardText::readings_data() {
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected"); // with a full stop for the decimal separator
    QTest::newRow("export") << powerReading(12.34) << "+12.3";
    QTest::newRow("motoring") << powerReading(-1.96) << "-2.0";
    // A power that rounds to nothing shows no sign: neither export nor motoring.
    QTest::newRow("a little below zero") << powerReading(-0.04) << "0.0";
    QTest::newRow("minus zero") << powerReading(-0.0) << "0.0";
    QTest::newRow("power no number") << powerReading(NaN) << "---";
    QTest::newRow("hertz to the hundredth") << hertzReading(49.994) << "49.99";
    QTest::newRow("hertz rounded up") << hertzReading(49.996) << "50.00";
    QTest::newRow("volts") << voltsReading(379.96) << "380.0";
    // The slip to the thousandth with its sign: the direction is the whole point.
    QTest::newRow("slip slow") << slipReading(-0.0996) << "-0.100";
    QTest::newRow("slip fast") << slipReading(0.0666) << "+0.067";
    QTest::newRow("slip nothing") << slipReading(-0.0004) << "0.000";
    QTest::newRow("seconds a turn") << turnTimeText(-16.666) << "16.7";
    QTest::newRow("no slip") << turnTimeText(Inf) << "standing";
    QTest::newRow("nearly no slip") << turnTimeText(999.96) << "standing";
    // The island's meters: kW, kvar and A with a minus only when one shows.
    QTest::newRow("kW rounding to nothing") << kiloReading(-0.04) << "0.0";
    QTest::newRow("kW motoring") << kiloReading(-1.96) << "-2.0";
    QTest::newRow("kW no number") << kiloReading(NaN) << "---";
    // 60 kW with 45 kvar: 75 kVA, power factor 0.8, lagging when the set gives the kvar.
    QTest::newRow("lagging") << powerFactorReading(true, 60, 45) << "0.80 lag";
    QTest::newRow("leading") << powerFactorReading(true, -60, -45) << "0.80 lead";
    QTest::newRow("unity as shown") << powerFactorReading(true, 60, 0.1) << "1.00";
    QTest::newRow("no load") << powerFactorReading(true, 0, 0) << "1.00";
    QTest::newRow("off the bus") << powerFactorReading(false, 60, 45) << "---";
}

void TestSwitchboardText::readings() {
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    QCOMPARE(shown, expected.replace(QChar('.'), systemDecimalSeparator()));
}

void TestSwitchboardText::words_data() {
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ahead, fast") << synchroscopeText(12.4, 0.1, 10)
                                 << "generator ahead 12\u00B0, fast, 10^0 s a turn";
    QTest::newRow("behind, turning too slowly to count")
        << synchroscopeText(-170.6, -0.001, -1000) << "generator behind 171\u00B0, standing still";
    QTest::newRow("no angle, no slip")
        << synchroscopeText(NaN, 0, Inf) << "in phase, standing still";
    QTest::newRow("lamps")
        << lampsText(LampMethod::Rotating, {0, 0.3, 0.9})
        << "Synchronising lamps, rotating method: lamp 1 dark, lamp 2 dim, lamp 3 full";
    QTest::newRow("motoring") << meterText(4, QStringLiteral("-0.4"), {})
                              << "Power to the bus: -0.4 % of the rating, motoring";
    QTest::newRow("generator voltmeter")
        << meterText(1, QStringLiteral("370.0"), QStringLiteral("380.0"))
        << "Generator voltage: 370.0 V, AVR set point 380.0 V";
    QTest::newRow("slip scale") << differenceText(0, QStringLiteral("---"))
                                << "Slip: --- Hz, target +0^020 to +0^067 Hz";
    QTest::newRow("power factor said")
        << setMeterText(1, 3, QStringLiteral("0.80 lag"), {}) << "Set 1 power factor: 0.80 lagging";
    QTest::newRow("set motoring") << setMeterText(2, 0, QStringLiteral("-2.0"),
                                                  QStringLiteral("set point 49.80 Hz"))
                                  << "Set 2 power: -2.0 kW, motoring, set point 49.80 Hz";
    QTest::newRow("set current") << setMeterText(1, 2, QStringLiteral("91.2"), {})
                                 << "Set 1 current: 91.2 A";
    SetReading set1;
    set1.setpointHz = 51.204;
    set1.voltageSetpointV = 387.96;
    const auto notes = setMeterNotes(set1);
    QTest::newRow("set points, off the bus")
        << QStringList(notes.begin(), notes.end()).join(QChar('|'))
        << "set point 51^20 Hz|set point 388^0 V|off the bus|";
    QTest::newRow("load split") << loadSplitText(60, 29.96, 30.04, QStringLiteral("kvar"))
                                << "Load 60^0 kvar: set 1 30^0, set 2 30^0";
    QTest::newRow("task met") << taskLine(IslandTask::ShareEqually, TaskState::Met, 42345)
                              << "Task: share the load equally \u2014 met at 42^3 s";
    QTest::newRow("task open") << taskLine(IslandTask::TakeRunningSetOff, TaskState::Open, {})
                               << "Task: take the running set off \u2014 open";
    QTest::newRow("no task") << taskLine(IslandTask::None, TaskState::Open, {})
                             << "Task: none, free practice";
    // Set 1 tripped, then set 2 opened: set 1's line names the trip, set 2's none.
    std::vector<SwitchboardEvent> events(2);
    events[0].kind = SwitchboardEventKind::Trip;
    events[0].trip = TripCause::Overload;
    events[0].set = 1;
    events[1].kind = SwitchboardEventKind::Open;
    QTest::newRow("set 1 tripped") << runningBreakerLine(BreakerState::Open, setTrip(events, 1))
                                   << "Set 1 breaker OPEN\ntripped: overload";
    QTest::newRow("set 2 opened") << tripText(setTrip(events, 2)) << "";
    QTest::newRow("blackout") << blackoutText(TripCause::UnderVoltage)
                              << "BLACKOUT: the bus is dead (under-voltage)";
    SwitchboardAttempt refused;
    refused.commandMs = 1500;
    refused.angleAtCommandDeg = -12.34;
    refused.refused = refused.refusal.slip = true;
    QTest::newRow("refused close") << attemptTexts(refused).join(QChar('|'))
                                   << "1^500|operator|-12^3\u00B0|refused: slip beyond 0.067 Hz";
}

void TestSwitchboardText::words() {
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    QCOMPARE(shown, local(expected));
}

void TestSwitchboardText::lines_data() {
    // The default exercise: 49 Hz and 360 V against the bus's 50 Hz and 380 V.
    QTest::addColumn<int>("mode"); // ControlState
    QTest::addColumn<bool>("close");
    QTest::addColumn<QStringList>("lines"); // breaker, synchroniser, relay
    const QString off = QStringLiteral("Synchroniser: off (it works in automatic mode)");
    const QString blocks =
        QStringLiteral("slip beyond 0.067 Hz; voltage not 0 to +5 % above the bus");
    QTest::newRow("manual") << int(ControlState::Manual) << false
                            << QStringList{"Breaker OPEN", off,
                                           "Sync-check relay: bypassed in manual mode"};
    QTest::newRow("manual close") << int(ControlState::Manual) << true
                                  << QStringList{"Breaker CLOSING", off,
                                                 "Sync-check relay: bypassed in manual mode"};
    QTest::newRow("permissive") << int(ControlState::Permissive) << false
                                << QStringList{"Breaker OPEN", off,
                                               "Sync-check relay: blocks now (" + blocks + ")"};
    QTest::newRow("permissive, refused")
        << int(ControlState::Permissive) << true
        << QStringList{"Breaker OPEN", off,
                       "Sync-check relay: blocks now (" + blocks +
                           ") \u2014 refused the last close: " + blocks};
    // The advance angle at -1 Hz and 80 ms: 360 x -1 x 0.08.
    QTest::newRow("automatic")
        << int(ControlState::Automatic) << false
        << QStringList{"Breaker OPEN",
                       "Synchroniser: matching slip and voltage; advance angle -28^8\u00B0",
                       "Sync-check relay: blocks now (" + blocks + ")"};
}

void TestSwitchboardText::lines() {
    QFETCH(int, mode);
    QFETCH(bool, close);
    QFETCH(QStringList, lines);
    Switchboard board;
    board.act(SwitchboardControl::Mode, ControlState(mode));
    board.step();
    if (close) board.act(SwitchboardControl::Breaker, ControlState::Close);
    board.step();
    QCOMPARE((QStringList{breakerLine(board), synchroniserLine(board), relayLine(board)}),
             local(lines.join(QChar('|'))).split(QChar('|')));
}

QTEST_MAIN(TestSwitchboardText)
#include "tst_switchboardtext.moc"
