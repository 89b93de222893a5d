// Selmex's lessons: the model's answers against hand sums, the lesson file's refusals with
// their lines, the key and the record, and the example lesson.
#include "selmexlessonfile.h"
#include "selmexlessontext.h"

#include <cmath>
#include <QtTest>

Q_DECLARE_METATYPE(SelmexAsk)

namespace {

const QString File = QStringLiteral("l.selmex-lesson");

SelmexLessonCase board(double frequency, double voltage, double angle, int breakerMs,
                       bool reversed = false, LampMethod lamps = LampMethod::Dark) {
    SwitchboardSettings s;
    s.frequency = frequency;
    s.voltage = voltage;
    s.angle = angle;
    s.breakerMs = breakerMs;
    s.phaseOrderReversed = reversed;
    s.lamps = lamps;
    return {std::nullopt, s};
}

SelmexLessonCase trainer(int voltage, int frequency, bool reversed, bool wrongOrder, int angle) {
    SelmexScenario s;
    s.voltage = voltage;
    s.frequency = frequency;
    s.reversed = reversed;
    s.wrongOrder = wrongOrder;
    s.angle = angle;
    return {s, std::nullopt};
}

} // namespace

class TestSelmexLesson : public QObject {
    Q_OBJECT
private slots:
    void answers_data() {
        QTest::addColumn<SelmexLessonCase>("lessonCase");
        QTest::addColumn<SelmexAsk>("ask");
        QTest::addColumn<double>("closeAt");
        QTest::addColumn<double>("expected");
        const double none = qQNaN();
        const auto A = SelmexAsk::AdvanceAngle;
        // 360 slip t_breaker.
        QTest::newRow("advance +0.1 Hz 80 ms") << board(50.1, 380, 0, 80) << A << none << 2.88;
        QTest::newRow("advance -0.05 Hz 100 ms") << board(49.95, 380, 0, 100) << A << none << -1.8;
        // |u e^(j theta) - 1| / 0.2, the largest phase.
        const auto I = SelmexAsk::ClosingCurrent;
        QTest::newRow("current 60 deg") << board(50, 380, 60, 80) << I << none << 5.0;
        QTest::newRow("current 0 deg 418 V") << board(50, 418, 0, 80) << I << none << 0.5;
        QTest::newRow("current reversed 0 deg")
            << board(50, 380, 0, 80, true) << I << none << std::sqrt(3.0) / 0.2;
        // close_at + 360 slip t_breaker, within (-180, 180].
        const auto C = SelmexAsk::ContactAngle;
        QTest::newRow("contact -3, +0.1 Hz 80 ms") << board(50.1, 380, 0, 80) << C << -3.0 << -0.12;
        QTest::newRow("contact wraps") << board(50.5, 380, 0, 100) << C << 179.0 << -163.0;
        // The relay: |theta| <= 10, |slip| <= 0.067 Hz, 0 to +5 % above 380 V.
        const auto P = SelmexAsk::Permits;
        QTest::newRow("relay passes") << board(50.05, 390, -5, 80) << P << none << YesAnswer;
        QTest::newRow("relay: angle 12") << board(50.05, 390, 12, 80) << P << none << NoAnswer;
        QTest::newRow("relay: slip 0.1") << board(50.1, 390, 0, 80) << P << none << NoAnswer;
        QTest::newRow("relay: voltage below") << board(50, 375, 0, 80) << P << none << NoAnswer;
        QTest::newRow("relay: 6 % above") << board(50, 402.8, 0, 80) << P << none << NoAnswer;
        // The trainer's check: tips together, same way round, within 10 %, order right.
        QTest::newRow("trainer in phase")
            << trainer(380, 50, false, false, 0) << P << none << YesAnswer;
        QTest::newRow("trainer 120 behind")
            << trainer(380, 50, false, false, 120) << P << none << NoAnswer;
        QTest::newRow("trainer reversed")
            << trainer(380, 50, true, false, 0) << P << none << NoAnswer;
        QTest::newRow("trainer 20 % low")
            << trainer(304, 50, false, false, 0) << P << none << NoAnswer;
        // Rotating lamps, u = 1: lamp k dark within 2 asin(1/3) = 38.9 deg of 0 (L1),
        // 240 (L2), 120 (L3).
        const auto L = SelmexAsk::LampDarkFirst;
        const auto R = LampMethod::Rotating;
        QTest::newRow("lamps from 60 fast")
            << board(50.1, 380, 60, 80, false, R) << L << none << 2.0;
        QTest::newRow("lamps from 60 slow")
            << board(49.9, 380, 60, 80, false, R) << L << none << 0.0;
        QTest::newRow("lamps from 180 fast")
            << board(50.1, 380, 180, 80, false, R) << L << none << 1.0;
    }
    void answers() {
        QFETCH(SelmexLessonCase, lessonCase);
        QFETCH(SelmexAsk, ask);
        QFETCH(double, closeAt);
        QFETCH(double, expected);
        SelmexQuestion q{ask, 0, std::nullopt, {}};
        if (!std::isnan(closeAt)) q.closeAtDeg = closeAt;
        const SelmexAnswer a = answerSelmexQuestion(lessonCase, q);
        QVERIFY2(a.value, a.refusal.c_str());
        QVERIFY2(std::fabs(*a.value - expected) < 1e-9, qPrintable(QString::number(*a.value)));
    }

    void fileRefused_data() {
        QTest::addColumn<QByteArray>("blocks");
        QTest::addColumn<QString>("error");
        const QByteArray board = "```scenario\n[switchboard]\nfrequency = 50.1\n```\n";
        QTest::newRow("unknown ask") << board + "```predict\nask = slip\n```\n"
                                     << "line 8: ask = \"slip\" is not a question";
        QTest::newRow("scenario out of range")
            << QByteArray("```scenario\n[switchboard]\nfrequency = 70\n```\n")
            << "line 5: frequency must";
        QTest::newRow("no section") << QByteArray("```scenario\n[setup]\nmax_angle = 20\n```\n")
                                    << "line 3: the scenario block has no [switchboard]";
        QTest::newRow("tolerance of a choice")
            << board + "```predict\nask = permits\ntolerance = 1\n```\n"
            << "line 9: permits is a choice";
        QTest::newRow("contact without close_at")
            << board + "```predict\nask = contact_angle\n```\n"
            << "line 7: contact_angle needs";
        QTest::newRow("close_at elsewhere")
            << board + "```predict\nask = advance_angle\nclose_at = 5\n```\n"
            << "line 9: close_at belongs";
        QTest::newRow("switchboard question of the trainer")
            << QByteArray("```scenario\n[generator]\nvoltage = 380\n```\n"
                          "```predict\nask = advance_angle\n```\n")
            << "line 7: the question has no answer: the question is about the switchboard";
        QTest::newRow("trainer left to chance")
            << QByteArray("```scenario\n[generator]\nvoltage = 380\n```\n"
                          "```predict\nask = permits\n```\n")
            << "line 7: the question has no answer: the [generator] start leaves";
        QTest::newRow("lamps of the dark method")
            << board + "```predict\nask = lamp_dark_first\n```\n"
            << "line 7: the question has "
               "no answer: lamp_dark_first";
        QTest::newRow("no case") << QByteArray("```predict\nask = permits\n```\n")
                                 << "line 3: the question has no case";
        QTest::newRow("vary a name the case has not")
            << board + "```predict\nask = permits\nvary = H 3..6\n```\n"
            << "line 9: vary: the step has no value H";
        QTest::newRow("vary out of limits")
            << board + "```predict\nask = permits\nvary = frequency 50..61\n```\n"
            << "line 9: vary: the ranges' end leaves the switchboard's limits";
    }
    void fileRefused() {
        QFETCH(QByteArray, blocks);
        QFETCH(QString, error);
        const SelmexLessonFileResult r = parseSelmexLesson("# T\n## S\n" + blocks, File);
        QVERIFY(!r.ok);
        QVERIFY2(r.error.startsWith(File + QStringLiteral(", ") + error), qPrintable(r.error));
        QVERIFY(r.lesson.steps.empty());
    }

    void keyAndRecord() {
        SelmexLesson lesson;
        lesson.title = "Closing, first tries";
        lesson.fingerprint = "0123456789abcdef";
        SelmexLessonStep free;
        free.title = "Look around";
        free.line = 3;
        SelmexLessonStep relay = free;
        relay.title = "The relay, again";
        relay.line = 5;
        relay.lessonCase = board(50.05, 375, -5, 80);
        relay.question = SelmexQuestion{SelmexAsk::Permits, 0, std::nullopt, {}};
        relay.answer = NoAnswer;
        SelmexLessonStep advance = relay;
        advance.title = "Early";
        advance.line = 9;
        advance.lessonCase = board(50.1, 380, 0, 80);
        advance.question = SelmexQuestion{SelmexAsk::AdvanceAngle, 0.5, std::nullopt, {}};
        advance.answer = 2.88;
        lesson.steps = {free, relay, advance};
        const QString key = selmexLessonKeyText(lesson);
        QVERIFY2(key.startsWith(QStringLiteral("Lesson: Closing, first tries\n"
                                               "Step 1 (line 3): Look around\n"
                                               "  free exploration, no question\n"
                                               "Step 2 (line 5): The relay, again\n")),
                 qPrintable(key));
        QVERIFY(key.contains(QStringLiteral("  answer: no\n")));
        QVERIFY(key.contains(QStringLiteral("  answer: 2.88°, within 0.50° counts as right\n"
                                            "  found by: 360 × slip × breaker time = 360 × 0.1 "
                                            "Hz × 0.08 s.\n")));
        // A yes against no; 3 against 2.88 within 0.5, predicted after 12.34 s.
        const std::vector<SelmexLessonProgress> progress = {
            {}, {YesAnswer, 4, true, true}, {3.0, 12.34, true, true}};
        QCOMPARE(selmexLessonRecordCsv(lesson, progress, QStringLiteral("Ann, B\n")),
                 QByteArray("# Selmex lesson: Closing, first tries; student: Ann, B; "
                            "lesson_sha256: 0123456789abcdef\n"
                            "step,title,question,prediction,outcome,within_tolerance,"
                            "seconds_to_predict\n"
                            "2,\"The relay, again\",permits,yes,no,no,4\n"
                            "3,Early,advance_angle,3,2.88,yes,12.3\n"));
    }

    void variants() {
        // The example's advance-angle step varies frequency 50.05..50.2 Hz and breaker_ms
        // 60..120: 360 slip t_breaker at 0.05 Hz 60 ms, 0.1 Hz 80 ms, 0.15 Hz 100 ms,
        // 0.2 Hz 120 ms.
        const SelmexLessonFileResult r = readSelmexLessonFile(
            QStringLiteral(EXAMPLES_DIR "/lessons/synchronising.selmex-lesson"));
        QVERIFY2(r.ok, qPrintable(r.error));
        const SelmexVariants made = selmexLessonVariants(r.lesson, 4);
        QCOMPARE(made.leftOut, 0);
        std::vector<MoodleVariant> advance;
        for (const MoodleVariant &v : made.variants)
            if (v.step == 1) advance.push_back(v);
        const double answers[] = {1.08, 2.88, 5.4, 8.64};
        QCOMPARE(advance.size(), std::size(answers));
        for (std::size_t i = 0; i < advance.size(); ++i)
            QVERIFY(std::fabs(advance[i].question.answer - answers[i]) < 1e-9);
        QCOMPARE(advance.front().values,
                 QStringLiteral("frequency = 50.05 Hz, breaker_ms = 60 ms"));
        // A question that varies nothing: one variant.
        QCOMPARE(made.variants.size(), 6 - 1 + advance.size());
    }

    void exampleLesson() {
        const SelmexLessonFileResult r = readSelmexLessonFile(
            QStringLiteral(EXAMPLES_DIR "/lessons/synchronising.selmex-lesson"));
        QVERIFY2(r.ok, qPrintable(r.error));
        // The after-run texts' hand sums: no, 2.88°, -12.8°, 5, √3/0.2, L3; then free.
        const std::vector<double> answers = {NoAnswer, 2.88, -12.8, 5, std::sqrt(3.0) / 0.2, 2};
        QCOMPARE(r.lesson.steps.size(), answers.size() + 1);
        for (std::size_t i = 0; i < answers.size(); ++i)
            QVERIFY2(std::fabs(r.lesson.steps[i].answer - answers[i]) < 1e-9,
                     qPrintable(QString::number(i)));
        QVERIFY(!r.lesson.steps.back().question);
    }
};

QTEST_GUILESS_MAIN(TestSelmexLesson)
#include "tst_selmexlesson.moc"
