// The switchboard's session: the exercise kept in step with a clock the test moves, and
// the replay of recorded actions.
#include "switchboardsession.h"

#include <QtTest>

Q_DECLARE_METATYPE(std::vector<std::int64_t>)
Q_DECLARE_METATYPE(std::vector<SwitchboardAction>)

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

// Actions in a line, "sr+0" for a speed raise pressed at 0 ms, "vr-100" for a voltage
// raise released at 100.
QString shorthand(const std::vector<SwitchboardAction> &actions) {
    QStringList words;
    for (const SwitchboardAction &a : actions)
        words << QStringLiteral("%1%2%3")
                     .arg(a.control == SwitchboardControl::SpeedRaise ? "sr" : "vr")
                     .arg(a.state == ControlState::Press ? '+' : '-')
                     .arg(a.timeMs);
    return words.join(QChar(' '));
}

} // namespace

class TestSwitchboardSession : public QObject {
    Q_OBJECT
private slots:
    void pacing_data();
    void pacing();
    void replayPlaysInRealTimeAndIgnoresTheOperator();
    void heldKeyRepeats_data();
    void heldKeyRepeats();
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

void TestSwitchboardSession::heldKeyRepeats_data() {
    QTest::addColumn<std::vector<SwitchboardAction>>("given");
    QTest::addColumn<QString>("recorded");
    QTest::addColumn<double>("speedReference"); // Hz, at 4 s
    const auto sr = SwitchboardControl::SpeedRaise, vr = SwitchboardControl::VoltageRaise;
    const auto on = ControlState::Press, off = ControlState::Release;
    // Some X servers repeat a held key as release/press pairs in one millisecond.
    QTest::newRow("held 3 s, repeated")
        << std::vector<SwitchboardAction>{action(0, sr, on),   action(500, sr, off),
                                          action(500, sr, on), action(530, sr, off),
                                          action(530, sr, on), action(3000, sr, off)}
        << "sr+0 sr-3000" << 49.3;
    QTest::newRow("another key between the pair")
        << std::vector<SwitchboardAction>{action(0, sr, on), action(700, sr, off),
                                          action(700, vr, on), action(700, sr, on),
                                          action(2000, sr, off)}
        << "sr+0 vr+700 sr-2000" << 49.2;
    // Let go and pressed again a millisecond later: two holds.
    QTest::newRow("a millisecond apart")
        << std::vector<SwitchboardAction>{action(0, sr, on), action(1000, sr, off),
                                          action(1001, sr, on), action(2000, sr, off)}
        << "sr+0 sr-1000 sr+1001 sr-2000" << 49.1999;
    // A press then a release in one millisecond is a tap, not a repeat.
    QTest::newRow("tap") << std::vector<SwitchboardAction>{action(100, sr, on),
                                                           action(100, sr, off)}
                         << "sr+100 sr-100" << 49.0;
    QTest::newRow("release of another key")
        << std::vector<SwitchboardAction>{action(0, vr, on), action(0, sr, on),
                                          action(900, vr, off), action(900, sr, on),
                                          action(1000, sr, off)}
        << "vr+0 sr+0 vr-900 sr+900 sr-1000" << 49.1;
}

void TestSwitchboardSession::heldKeyRepeats() {
    QFETCH(std::vector<SwitchboardAction>, given);
    std::int64_t now = 0;
    SwitchboardSession session({}, [&now] { return now; });
    // The clock moves in frames, as a window's timer has it.
    const auto until = [&](std::int64_t t) {
        while (now < t) {
            now = std::min(now + 16, t);
            session.advance();
        }
    };
    for (const SwitchboardAction &a : given) {
        until(a.timeMs);
        session.act(a.control, a.state);
    }
    until(4000);
    QTEST(shorthand(session.board().actions()), "recorded");
    QFETCH(double, speedReference);
    QVERIFY2(std::abs(session.board().speedReferenceHz() - speedReference) < 1e-9,
             qPrintable(QString::number(session.board().speedReferenceHz(), 'g', 12)));
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
