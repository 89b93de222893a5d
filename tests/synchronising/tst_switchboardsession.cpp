// The switchboard's session: the exercise kept in step with a clock the test moves, and
// the replay of recorded actions.
#include "switchboardsession.h"

#include <QtTest>

Q_DECLARE_METATYPE(std::vector<std::int64_t>)

namespace {

using Steps = std::vector<std::int64_t>;

// Frames of 15, 17 and 16 ms in turn, as a timer of about 16 ms delivers them.
Steps frames(std::int64_t totalMs) {
    Steps steps;
    static constexpr std::int64_t Pattern[3] = {15, 17, 16};
    for (std::int64_t t = 0, k = 0; t < totalMs; ++k) {
        const std::int64_t d = std::min(Pattern[k % 3], totalMs - t);
        steps.push_back(d);
        t += d;
    }
    return steps;
}

Steps operator+(Steps a, const Steps &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

SwitchboardAction action(std::int64_t t, SwitchboardControl c, ControlState s) {
    SwitchboardAction a;
    a.timeMs = t;
    a.control = c;
    a.state = s;
    return a;
}

// Speed raised for 4 s, then a close in manual mode, then opened again.
std::vector<SwitchboardAction> someActions() {
    return {action(100, SwitchboardControl::SpeedRaise, ControlState::Press),
            action(4100, SwitchboardControl::SpeedRaise, ControlState::Release),
            action(6000, SwitchboardControl::Breaker, ControlState::Close),
            action(9000, SwitchboardControl::Breaker, ControlState::Open)};
}

} // namespace

class TestSwitchboardSession : public QObject {
    Q_OBJECT
private slots:
    void pacing_data();
    void pacing();
    void replayPlaysInRealTimeAndIgnoresTheOperator();
    void refusedInputChangesNothing_data();
    void refusedInputChangesNothing();
};

void TestSwitchboardSession::pacing_data() {
    QTest::addColumn<Steps>("clockSteps"); // ms the clock moves before each advance
    QTest::addColumn<qint64>("timeMs");    // the exercise's time at the end
    QTest::addColumn<qint64>("droppedMs");
    // Ten minutes of uneven frames add up to ten minutes, to the millisecond.
    QTest::newRow("ten minutes of frames") << frames(600000) << qint64(600000) << qint64(0);
    // A 5 s stall is made up by 250 ms; the rest is let go and the pace goes on.
    QTest::newRow("stall of 5 s") << frames(1000) + Steps{5000} + frames(1000) << qint64(2250)
                                  << qint64(4750);
    QTest::newRow("stall of 251 ms") << Steps{251, 0} << qint64(250) << qint64(1);
    QTest::newRow("two stalls") << Steps{1000, 16, 1000} << qint64(516) << qint64(1500);
}

void TestSwitchboardSession::pacing() {
    QFETCH(Steps, clockSteps);
    QFETCH(qint64, timeMs);
    QFETCH(qint64, droppedMs);
    std::int64_t now = 123456789; // any origin
    SwitchboardSession session({}, [&now] { return now; });
    for (std::int64_t d : clockSteps) {
        now += d;
        session.advance();
    }
    QCOMPARE(session.board().timeMs(), timeMs);
    QCOMPARE(session.droppedMs(), droppedMs);
}

void TestSwitchboardSession::replayPlaysInRealTimeAndIgnoresTheOperator() {
    std::int64_t now = 0;
    SwitchboardSession session({}, [&now] { return now; });
    now = 200;
    session.advance();
    session.act(SwitchboardControl::VoltageRaise, ControlState::Press);
    QVERIFY(!session.replay(someActions()));
    QCOMPARE(session.board().timeMs(), 0); // from the start again
    QVERIFY(session.board().actions().empty());
    for (int frame = 0; frame < 1000; ++frame) {
        now += 16;
        session.advance();
        if (frame >= 500) continue; // to 8 s, before the file's last action
        // The operator's hand is on the controls, but the file plays.
        session.act(SwitchboardControl::Breaker, ControlState::Close);
        session.act(SwitchboardControl::SpeedLower, ControlState::Press);
    }
    QCOMPARE(session.board().timeMs(), 16000);
    QVERIFY(!session.replaying());
    Switchboard direct;
    const std::vector<SwitchboardAction> actions = someActions();
    direct.runUntil(16000, &actions);
    QCOMPARE(direct.attempts().size(), std::size_t(1));
    QCOMPARE(session.board().actions().size(), actions.size());
    QCOMPARE(session.board().frequencyHz(), direct.frequencyHz());
    // Played to its end, the controls are the operator's again.
    session.act(SwitchboardControl::Breaker, ControlState::Close);
    QCOMPARE(session.board().actions().size(), actions.size() + 1);
}

void TestSwitchboardSession::refusedInputChangesNothing_data() {
    QTest::addColumn<double>("frequency");
    QTest::newRow("settings out of range") << 75.0;
    QTest::newRow("a frequency that is no number") << std::nan("");
}

void TestSwitchboardSession::refusedInputChangesNothing() {
    QFETCH(double, frequency);
    std::int64_t now = 0;
    SwitchboardSession session({}, [&now] { return now; });
    for (std::int64_t d : frames(2000)) {
        now += d;
        session.advance();
    }
    session.act(SwitchboardControl::SpeedRaise, ControlState::Press);
    SwitchboardSettings settings;
    settings.frequency = frequency;
    QVERIFY(session.restart(settings));
    QCOMPARE(session.board().timeMs(), 2000);
    QCOMPARE(session.board().actions().size(), std::size_t(1));
    QCOMPARE(session.settings().frequency, 49.0);
}

QTEST_GUILESS_MAIN(TestSwitchboardSession)
#include "tst_switchboardsession.moc"
