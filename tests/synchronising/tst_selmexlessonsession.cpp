// A synchronising lesson worked through at the switchboard, without a window: the
// exercise held until the prediction, the prediction standing from then on, and the
// outcome shown at the first close that the relay refuses or whose contacts touch.
#include "selmexlessonsession.h"
#include "switchboardsession.h"

#include <cmath>
#include <limits>
#include <QtTest>

namespace {

// The default exercise: the machine at 49 Hz against the 50 Hz bus, a breaker of 80 ms.
SwitchboardSettings exercise(SwitchboardMode mode = SwitchboardMode::Manual) {
    SwitchboardSettings s;
    s.mode = mode;
    return s;
}

SelmexLessonStep switchboardStep(std::optional<SelmexAsk> ask,
                                 const SwitchboardSettings &settings) {
    SelmexLessonStep step;
    step.title = "A step";
    step.lessonCase.switchboard = settings;
    step.ownScenario = true;
    if (ask) step.question = SelmexQuestion{*ask, 0.5, std::nullopt};
    return step;
}

SelmexLessonStep generatorStep(std::optional<SelmexAsk> ask) {
    SelmexLessonStep step;
    step.title = "The trainer's start";
    step.lessonCase.generator = SelmexScenario{};
    step.ownScenario = true;
    if (ask) step.question = SelmexQuestion{*ask, 0, std::nullopt};
    return step;
}

SelmexLesson lessonOf(SelmexLessonStep step) {
    SelmexLesson lesson;
    lesson.title = "Lesson";
    lesson.steps.push_back(std::move(step));
    return lesson;
}

// The lesson over a switchboard whose clock the test moves.
struct Sitting {
    std::int64_t nowMs = 0;
    SwitchboardSession board{SwitchboardSettings{}, [this] { return nowMs; }};
    SelmexLessonSession lesson{board};
    // `ms` of wall time, in frames of 20 ms as the window's timer asks.
    void pass(std::int64_t ms) {
        for (std::int64_t t = 0; t < ms; t += 20) {
            nowMs += 20;
            lesson.advance();
        }
    }
};

} // namespace

class TestSelmexLessonSession : public QObject {
    Q_OBJECT
private slots:
    void outcome_data();
    void outcome();
    void predictionsTaken_data();
    void predictionsTaken();
    void secondsToPredictAndSteps();
};

void TestSelmexLessonSession::outcome_data() {
    QTest::addColumn<int>("kind"); // 0 a switchboard question, 1 a [generator] question,
                                   // 2 free exploration at the switchboard
    QTest::addColumn<int>("mode");
    // What the student does in turn: p predict, c close, w half a second passes, s asks for
    // the outcome, x another exercise is loaded.
    QTest::addColumn<QString>("doing");
    QTest::addColumn<bool>("revealed");
    QTest::addColumn<qint64>("exerciseMs"); // the exercise's time at the end

    const int manual = int(SwitchboardMode::Manual), permissive = int(SwitchboardMode::Permissive);
    QTest::newRow("held: the machine waits, the close is refused")
        << 0 << manual << "cw" << false << qint64(0);
    QTest::newRow("predicted, no close yet") << 0 << manual << "pw" << false << qint64(500);
    // The breaker's contacts touch 80 ms after the command.
    QTest::newRow("manual close makes contact") << 0 << manual << "pcw" << true << qint64(500);
    // At a slip of 1 Hz the sync-check relay refuses at once.
    QTest::newRow("relay refuses the close") << 0 << permissive << "pcw" << true << qint64(500);
    QTest::newRow("outcome asked before predicting") << 0 << manual << "sw" << false << qint64(0);
    QTest::newRow("outcome asked after predicting") << 0 << manual << "ps" << true << qint64(0);
    QTest::newRow("a close on another exercise") << 0 << manual << "pxcw" << false << qint64(500);
    QTest::newRow("trainer's question: closes answer nothing")
        << 1 << manual << "pwcw" << false << qint64(1000);
    QTest::newRow("trainer's question: outcome asked") << 1 << manual << "ps" << true << qint64(0);
    QTest::newRow("free exploration: its first close")
        << 2 << manual << "wcw" << true << qint64(1000);
    QTest::newRow("free exploration: no close") << 2 << manual << "ww" << false << qint64(1000);
}

void TestSelmexLessonSession::outcome() {
    QFETCH(int, kind);
    QFETCH(int, mode);
    QFETCH(QString, doing);
    QFETCH(bool, revealed);
    QFETCH(qint64, exerciseMs);

    Sitting s;
    const auto settings = exercise(SwitchboardMode(mode));
    const SelmexLessonStep step = kind == 0   ? switchboardStep(SelmexAsk::Permits, settings)
                                  : kind == 1 ? generatorStep(SelmexAsk::Permits)
                                              : switchboardStep(std::nullopt, settings);
    s.lesson.open(lessonOf(step));
    QSignalSpy shown(&s.lesson, &SelmexLessonSession::revealed);
    for (QChar c : doing) {
        if (c == 'p') QVERIFY(s.lesson.predict(YesAnswer));
        if (c == 'c') QCOMPARE(s.lesson.closeBreaker(), !s.lesson.holdsExercise());
        if (c == 'w') s.pass(500);
        if (c == 's') s.lesson.showOutcome();
        if (c == 'x') {
            SwitchboardSettings other = settings;
            other.frequency = 49.5;
            QVERIFY(!s.board.restart(other));
        }
    }
    QCOMPARE(s.lesson.progress().revealed, revealed);
    QCOMPARE(shown.count(), revealed ? 1 : 0);
    QCOMPARE(s.board.board().timeMs(), exerciseMs);
    // Held, the breaker saw nothing of the student's close.
    if (exerciseMs == 0 && kind == 0) QVERIFY(s.board.board().actions().empty());
}

void TestSelmexLessonSession::predictionsTaken_data() {
    QTest::addColumn<int>("ask");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("second");
    QTest::addColumn<bool>("firstTaken");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const int permits = int(SelmexAsk::Permits), lamp = int(SelmexAsk::LampDarkFirst),
              current = int(SelmexAsk::ClosingCurrent);
    // The second prediction is always refused: the first stands.
    QTest::newRow("yes") << permits << YesAnswer << NoAnswer << true;
    QTest::newRow("permits has no third choice") << permits << 2.0 << YesAnswer << false;
    QTest::newRow("L3") << lamp << 2.0 << 0.0 << true;
    QTest::newRow("no lamp L4") << lamp << 3.0 << 0.0 << false;
    QTest::newRow("no lamp between two") << lamp << 0.5 << 0.0 << false;
    QTest::newRow("a current") << current << 5.0 << 8.66 << true;
    QTest::newRow("a current below 0") << current << -1.0 << 5.0 << false;
    QTest::newRow("a current that is no number") << current << nan << 5.0 << false;
    QTest::newRow("an infinite current")
        << current << std::numeric_limits<double>::infinity() << 5.0 << false;
}

void TestSelmexLessonSession::predictionsTaken() {
    QFETCH(int, ask);
    QFETCH(double, first);
    QFETCH(double, second);
    QFETCH(bool, firstTaken);

    Sitting s;
    s.lesson.open(lessonOf(switchboardStep(SelmexAsk(ask), exercise())));
    QCOMPARE(s.lesson.predict(first), firstTaken);
    QCOMPARE(s.lesson.holdsExercise(), !firstTaken);
    if (firstTaken) {
        QVERIFY(!s.lesson.predict(second));
        QCOMPARE(*s.lesson.progress().prediction, first);
        QVERIFY(s.lesson.progress().runStarted);
        QVERIFY(s.lesson.recordUnexported());
    } else {
        QVERIFY(!s.lesson.progress().prediction);
        QVERIFY(s.lesson.predict(second)); // a refusal leaves the question open
    }
}

void TestSelmexLessonSession::secondsToPredictAndSteps() {
    Sitting s;
    SelmexLessonSession::Clock::time_point now{};
    s.lesson.clock = [&now] { return now; };
    SwitchboardSettings fast = exercise();
    fast.frequency = 50.1;
    SelmexLesson lesson = lessonOf(switchboardStep(SelmexAsk::AdvanceAngle, exercise()));
    lesson.steps.push_back(switchboardStep(std::nullopt, fast));
    lesson.steps.push_back(generatorStep(std::nullopt));
    lesson.steps.back().ownScenario = false;
    lesson.steps.back().lessonCase.generator.reset(); // the step before's exercise
    lesson.steps.back().lessonCase.switchboard = fast;
    s.lesson.open(lesson);
    // 12.5 s of thought, interrupted by a look at the next step: counted from the first
    // showing.
    now += std::chrono::milliseconds(7000);
    s.lesson.next();
    QCOMPARE(s.board.settings().frequency, 50.1);
    s.pass(1000);
    s.lesson.back();
    QCOMPARE(s.board.settings().frequency, 49.0);
    QCOMPARE(s.board.board().timeMs(), 0); // held anew
    now += std::chrono::milliseconds(5500);
    QVERIFY(s.lesson.predict(2.88));
    QCOMPARE(s.lesson.progress().secondsToPredict, 12.5);
    // A free step without an exercise of its own keeps the student's as it runs.
    s.lesson.goToStep(1);
    s.pass(1000);
    s.lesson.goToStep(2);
    QCOMPARE(s.board.board().timeMs(), 1000);
    QVERIFY(!s.lesson.awaitsPrediction());
    QVERIFY(!s.lesson.predict(1)); // nothing asked
}

QTEST_GUILESS_MAIN(TestSelmexLessonSession)
#include "tst_selmexlessonsession.moc"
