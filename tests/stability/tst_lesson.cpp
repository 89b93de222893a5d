// Lessons without a window: the reader's refusals and what it takes, the answer key
// against the model's own runs, predict-first in a session, and the record as CSV.
#include "criticalclearing.h"
#include "dravexsession.h"
#include "lessonfile.h"
#include "lessonsession.h"
#include "lessontext.h"
#include "numberformat.h"
#include "runhistory.h"

#include <algorithm>
#include <cmath>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(LessonAsk)
Q_DECLARE_METATYPE(PredictionProblem)

namespace {

const QString File = QStringLiteral("class.dravex-lesson");

Lesson read(const QByteArray &text) {
    const LessonFileResult r = parseLesson(text, File);
    if (!r.ok) qWarning("%s", qPrintable(r.error));
    return r.lesson;
}

StabilityCase withPmech(double pmech) {
    StabilityCase c;
    c.machine.Pmech = pmech;
    return c;
}

} // namespace

class TestLesson : public QObject {
    Q_OBJECT
private slots:
    void refusals_data();
    void refusals();
    void stepsKeepTheirCasesAndTexts();
    void answersAreTheModels_data();
    void answersAreTheModels();
    void predictFirst();
    void aStoppedOrChangedRunShowsNothing();
    void recordCsv();
    void examplesAreAccepted();
    void picturesTheReaderRefuses_data();
    void picturesTheReaderRefuses();
    void predictionsTheCaseRulesOut_data();
    void predictionsTheCaseRulesOut();
    void predictionMayChangeUntilTheRun();
    void criticalClearingIsTriedAtThePrediction_data();
    void criticalClearingIsTriedAtThePrediction();
    void answersHeldBeforeThePrediction_data();
    void answersHeldBeforeThePrediction();
    void outlineForPaperAndMarks_data();
    void outlineForPaperAndMarks();
};

void TestLesson::refusals_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    const QByteArray step = "# T\n## S\n";
    QTest::newRow("no title") << QByteArray("Words\n# T\n## S\n")
                              << "line 1: a lesson starts with its title";
    QTest::newRow("no step") << QByteArray("# T\nWords\n") << ": the lesson has no step";
    QTest::newRow("second title") << step + "# U\n"
                                  << "line 3: a second title";
    QTest::newRow("unknown block") << step + "```python\nx\n```\n"
                                   << "line 3: a block named \"python\" is not known";
    QTest::newRow("block left open") << step + "text\n```predict\nask = verdict\n"
                                     << "line 4: the fenced block that opens here is not closed";
    QTest::newRow("scenario refused, its line in the lesson")
        << step + "\n```scenario\n[machine]\nPmech = 2\n```\n"
        << "line 6: Pmech must lie";
    QTest::newRow("scenario's default out of range, its section named")
        << step + "```scenario\n[fault]\nnetwork = line-out\n```\n"
        << "line 4: The power";
    QTest::newRow("two scenarios") << step + "```scenario\n```\n```scenario\n```\n"
                                   << "line 5: the step has a scenario";
    QTest::newRow("two questions") << step + "```predict\nask = verdict\n```\n```predict\n"
                                             "ask = verdict\n```\n"
                                   << "line 6: the step has a predict block already";
    QTest::newRow("block before any step")
        << QByteArray("# T\n```predict\nask = verdict\n```\n## S\n")
        << "line 2: a \"predict\" "
           "block stands outside";
    QTest::newRow("block after the run")
        << step + "### After the run\n```predict\nask = verdict\n```\n"
        << "line 4: a \"predict\"";
    QTest::newRow("unknown key") << step + "```predict\nask = verdict\nhint = 3\n```\n"
                                 << "line 5: a predict block has no key \"hint\"";
    QTest::newRow("key twice") << step + "```predict\nask = verdict\nask = verdict\n```\n"
                               << "line 5: ask is given twice";
    QTest::newRow("unknown question") << step + "```predict\nask = angle\n```\n"
                                      << "line 4: ask = \"angle\" is not a question";
    QTest::newRow("no ask") << step + "```predict\ntolerance = 3\n```\n"
                            << "line 3: the predict block has no line";
    QTest::newRow("verdict with a tolerance")
        << step + "```predict\nask = verdict\ntolerance = 1\n```\n"
        << "line 5: a verdict has no";
    QTest::newRow("clearing beyond the slider")
        << step + "```predict\nask = verdict\nclearing_ms = 501\n```\n"
        << "line 5: clearing_ms is to lie from 0 to 500 ms";
    QTest::newRow("clearing time of a line out")
        << step + "```predict\nask = verdict\nclearing_ms = 100\n```\n```scenario\n[fault]\n"
                  "network = line-out\nafter = 0.7\n```\n"
        << "line 3: clearing_ms is given, but";
    QTest::newRow("clearing time asked of a power step")
        << step + "```scenario\n[fault]\nnetwork = power-step\n```\n```predict\n"
                  "ask = critical_clearing_ms\n```\n"
        << "line 7: the question has no answer: a power step";
    QTest::newRow("Pmech limit asked of a fault")
        << step + "```predict\nask = largest_stable_pmech\n```\n"
        << "line 3: the question has "
           "no answer";
    QTest::newRow("largest angle of a run out of step")
        << step + "```predict\nask = max_angle\nclearing_ms = 450\n```\n"
        << "line 3: the question has no answer: the run falls out of step";
    QTest::newRow("every clearing time in step")
        << step + "```scenario\n[machine]\nPmech = 0.05\n```\n```predict\n"
                  "ask = critical_clearing_ms\n```\n"
        << "line 7: the question has no answer: every clearing time";
    QTest::newRow("not UTF-8") << step + "caf\xe9\n"
                               << "line 3: the text is not UTF-8";
    QTest::newRow("over 256 KiB") << step + QByteArray(MaxLessonFileBytes, '\n')
                                  << ": the file is over 256 KiB";
    QByteArray many = "# T\n";
    for (int i = 0; i <= MaxLessonSteps; ++i) many += "## S\n";
    QTest::newRow("too many steps") << many << "line 102: more than 100 steps";
    QTest::newRow("a picture without a lesson folder")
        << step + "![a](figure.png)\n"
        << "line 3: the picture \"figure.png\" has no lesson folder";
}

void TestLesson::refusals() {
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    const LessonFileResult r = parseLesson(text, File);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.startsWith(File) && r.error.contains(error), qPrintable(r.error));
    QVERIFY(r.lesson.steps.empty());
}

void TestLesson::stepsKeepTheirCasesAndTexts() {
    // A byte-order mark and CRLF line ends; a fence without a name keeps its headings as
    // text; the question given before the scenario still takes the scenario's clearing
    // time.
    QByteArray text = "\xEF\xBB\xBF# Four runs ##\n"
                      "For the class.\n"
                      "## One\n"
                      "Text of one.\n"
                      "```predict\nask = max_angle\ntolerance = 2.5\n```\n"
                      "```scenario\n[machine]\nPmech = 0.6\n[fault]\nclearing_ms = 150\n```\n"
                      "### After the run\n"
                      "Why.\n"
                      "## Two\n"
                      "```\n## not a step\n```\n"
                      "### Another heading\n"
                      "## Three\n"
                      "```predict\nask = verdict # a comment\nclearing_ms = 400\n```\n";
    text.replace("\n", "\r\n");
    const Lesson l = read(text);
    QCOMPARE(l.title, std::string("Four runs"));
    QCOMPARE(l.introduction, std::string("For the class."));
    QCOMPARE(l.steps.size(), std::size_t(3));
    const LessonStep &one = l.steps[0];
    QCOMPARE(one.line, 3);
    QVERIFY(one.ownScenario);
    QCOMPARE(one.studyCase.machine.Pmech, 0.6);
    QCOMPARE(one.question->clearingMs, 150);
    QCOMPARE(one.question->tolerance, 2.5);
    QCOMPARE(one.text, std::string("Text of one."));
    QCOMPARE(one.afterRun, std::string("Why."));
    const LessonStep &two = l.steps[1];
    QVERIFY(!two.question && !two.ownScenario);
    QCOMPARE(two.text, std::string("```\n## not a step\n```\n### Another heading"));
    QVERIFY(two.studyCase == one.studyCase);
    const LessonStep &three = l.steps[2];
    QCOMPARE(three.question->ask, LessonAsk::Verdict);
    QCOMPARE(three.question->clearingMs, 400);
    QCOMPARE(three.answer, OutOfStepAnswer);
}

void TestLesson::answersAreTheModels_data() {
    QTest::addColumn<LessonAsk>("ask");
    QTest::addColumn<double>("pmech");
    QTest::addColumn<int>("network"); // Network
    QTest::addColumn<int>("clearingMs");
    for (double pmech : {0.3, 0.5, 0.8}) {
        const QByteArray p = QByteArray::number(pmech);
        QTest::newRow("critical clearing time, busbar, Pmech " + p)
            << LessonAsk::CriticalClearingMs << pmech << int(Network::Busbar) << 200;
    }
    for (double pmech : {0.5, 0.65})
        QTest::newRow("critical clearing time, two lines, Pmech " + QByteArray::number(pmech))
            << LessonAsk::CriticalClearingMs << pmech << int(Network::TwoLines) << 200;
    QTest::newRow("largest angle, 100 ms")
        << LessonAsk::MaxAngle << 0.5 << int(Network::Busbar) << 100;
    QTest::newRow("largest angle, two lines")
        << LessonAsk::MaxAngle << 0.7 << int(Network::TwoLines) << 150;
    QTest::newRow("largest angle of a step down")
        << LessonAsk::MaxAngle << 0.5 << int(Network::PowerStep) << 0;
    QTest::newRow("largest P1 of a power step")
        << LessonAsk::LargestStablePmech << 0.5 << int(Network::PowerStep) << 0;
    QTest::newRow("largest Pmech with a line out")
        << LessonAsk::LargestStablePmech << 0.5 << int(Network::LineOut) << 0;
}

// Each answer checked by what defines it, from runs of the model's own.
void TestLesson::answersAreTheModels() {
    QFETCH(LessonAsk, ask);
    QFETCH(double, pmech);
    QFETCH(int, network);
    QFETCH(int, clearingMs);
    StabilityCase c = withPmech(pmech);
    c.scenario.network = Network(network);
    c.scenario.after = 0.6;      // a line out's r2
    c.scenario.pmechAfter = 0.3; // a step down
    if (ask == LessonAsk::LargestStablePmech) c.scenario.pmechAfter = 0.7;
    LessonQuestion q{ask, defaultTolerance(ask), clearingMs, {}};
    const LessonAnswer a = answerQuestion(c, q);
    QVERIFY2(a.value, a.refusal.c_str());
    const auto inStep = [&](const StabilityCase &k, std::int32_t ms) {
        return simulateFault(k.machine, ms, k.scenario).end != RunEnd::OutOfStep;
    };
    switch (ask) {
    case LessonAsk::Verdict:
        break;
    case LessonAsk::MaxAngle: {
        c.clearingMs = clearingMs;
        const RunRecord run = recordRun(c);
        // From the angle the run starts at, which a step down never passes again.
        double most = std::asin(pmech) * 180 / M_PI;
        for (const RunSample &s : run.samples) most = std::max(most, s.rotorAngleDeg);
        QCOMPARE(run.end, RunEnd::ClockLimit);
        QCOMPARE(*a.value, most);
        break;
    }
    case LessonAsk::CriticalClearingMs: {
        const int ms = int(*a.value);
        for (int t = std::max(0, ms - 3); t <= ms; ++t) QVERIFY(inStep(c, t));
        QVERIFY(!inStep(c, ms + 1));
        break;
    }
    case LessonAsk::LargestStablePmech: {
        const int last = int(std::lround(*a.value * 1000));
        for (int t : {last - 1, last, last + 1}) {
            StabilityCase k = c;
            setSearchedPmech(k.machine, k.scenario, t);
            QCOMPARE(inStep(k, 0), t <= last);
        }
        break;
    }
    }
}

namespace {

const QByteArray TwoSteps = "# Two runs, cleared early and late\n"
                            "## Early\n"
                            "```scenario\n[fault]\nclearing_ms = 100\n```\n"
                            "```predict\nask = verdict\n```\n"
                            "## Free\n"
                            "Look around.\n"
                            "## Late\n"
                            "```predict\nask = max_angle\nclearing_ms = 300\n```\n";

struct LessonSitting {
    DravexSession s;
    LessonSession lesson{s};
    LessonSession::Clock::time_point now{};
    LessonSitting() {
        s.setSpeed(RunSpeed::Fast);
        s.searchRunner = [](CriticalSearch, CriticalFound) {};
        lesson.clock = [this] { return now; };
        lesson.open(read(TwoSteps), {});
    }
};

} // namespace

void TestLesson::predictFirst() {
    // What the window's tests cannot reach: a value that is no verdict, a number that is
    // not finite, a step out of range; the seconds to predict by the clock; a free step
    // keeps the student's case and shows its text for after the run after any run.
    LessonSitting t;
    QSignalSpy revealed(&t.lesson, &LessonSession::revealed);
    QCOMPARE(t.s.clearingTime(), 100); // the step's case is the session's
    QVERIFY(!t.lesson.beforeRun());
    QVERIFY(!t.lesson.predict(0.5));
    t.now += std::chrono::milliseconds(12300);
    QVERIFY(t.lesson.predict(OutOfStepAnswer));
    QCOMPARE(t.lesson.progress().secondsToPredict, 12.3);
    t.lesson.next();
    t.s.setClearingTime(400);
    QVERIFY(t.lesson.beforeRun());
    t.s.shortCircuit();
    QCOMPARE(revealed.count(), 1);
    QCOMPARE(t.s.history().last()->clearingMs, 400);
    t.lesson.next();
    QCOMPARE(t.s.clearingTime(), 300);
    QVERIFY(!t.lesson.predict(qQNaN()));
    t.lesson.goToStep(7);
    QCOMPARE(t.lesson.stepIndex(), 2);
}

void TestLesson::aStoppedOrChangedRunShowsNothing() {
    LessonSitting t;
    QSignalSpy revealed(&t.lesson, &LessonSession::revealed);
    QVERIFY(t.lesson.predict(InStepAnswer));
    QVERIFY(t.lesson.beforeRun());
    QMetaObject::Connection stop = connect(&t.s, &DravexSession::stepEnded, [&](int n) {
        if (n == 50) t.s.shortCircuit(); // the second press
    });
    t.s.shortCircuit();
    QCOMPARE(revealed.count(), 0);
    disconnect(stop);
    // A run whose clearing time the dialog changes on the way is not the question's.
    QMetaObject::Connection change = connect(&t.s, &DravexSession::stepEnded, [&](int n) {
        if (n == 5) t.s.setClearingTime(300);
    });
    QVERIFY(t.lesson.beforeRun());
    t.s.shortCircuit();
    QCOMPARE(revealed.count(), 0);
    disconnect(change);
    QVERIFY(t.lesson.beforeRun());
    t.s.shortCircuit();
    QCOMPARE(revealed.count(), 1);
}

// Run in a comma locale too: the numbers keep their full stops.
void TestLesson::recordCsv() {
    Lesson l = read("# Faults, cleared early and late\n"
                    "## One, a verdict\n```predict\nask = verdict\n```\n"
                    "## Two\n```predict\nask = max_angle\nclearing_ms = 100\n```\n"
                    "## Free\n"
                    "## Three\n```predict\nask = critical_clearing_ms\n```\n");
    std::vector<LessonProgress> p(l.steps.size());
    p[0] = {InStepAnswer, 4.26, true};
    p[1] = {95.25, 61.04, true};
    p[3] = {280.5, 8, false}; // predicted, not run yet
    const QList<QByteArray> lines =
        lessonRecordCsv(l, p, QStringLiteral(" Ann\nde Vries ")).split('\n');
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[0], "# Dravex lesson: Faults, cleared early and late; student: Ann de Vries; "
                       "lesson_sha256: " +
                           QByteArray::fromStdString(l.fingerprint));
    QCOMPARE(lines[2], QByteArray("1,\"One, a verdict\",verdict,in step,in step,yes,4.3"));
    QCOMPARE(lines[3], "2,Two,max_angle,95.25," + csvNumber(l.steps[1].answer) + ',' +
                           (std::fabs(95.25 - l.steps[1].answer) <= 5 ? "yes" : "no") + ",61");
    QCOMPARE(lines[4], QByteArray("4,Three,critical_clearing_ms,280.5,,,8"));
    QCOMPARE(lines[5], QByteArray());
}

// The lessons handed out with the program stay answerable as the model changes.
void TestLesson::examplesAreAccepted() {
    const QDir dir(QStringLiteral(EXAMPLES_DIR "/lessons"));
    const QStringList lessons = dir.entryList({QStringLiteral("*.dravex-lesson")});
    QVERIFY(lessons.size() >= 2);
    for (const QString &name : lessons) {
        const LessonFileResult r = readLessonFile(dir.filePath(name));
        QVERIFY2(r.ok, qPrintable(r.error));
        QVERIFY(std::any_of(r.lesson.steps.begin(), r.lesson.steps.end(),
                            [](const LessonStep &s) { return s.question.has_value(); }));
    }
}

void TestLesson::picturesTheReaderRefuses_data() {
    QTest::addColumn<QByteArray>("text"); // after "# T\n## S\n"
    QTest::addColumn<QString>("error");   // empty: accepted
    QTest::newRow("below the folder") << QByteArray("![a](<sub/b.png> \"B\")") << QString();
    QTest::newRow("in a code span") << QByteArray("`![a](http://x.invalid/b.png)`") << QString();
    QTest::newRow("a link") << QByteArray("[notes](https://x.invalid/)") << QString();
    QTest::newRow("missing") << QByteArray("Text ![a](sub/c.png)")
                             << "line 3: the picture \"sub/c.png\" is not there";
    QTest::newRow("outside") << QByteArray("![a](sub/../../b.png)")
                             << "line 3: the picture "
                                "\"sub/../../b.png\" lies outside";
    QTest::newRow("out by a link") << QByteArray("![a](out.png)") << "\"out.png\" lies outside";
    QTest::newRow("second, https") << QByteArray("![a](sub/b.png) ![b](HTTPS://x.invalid/b.png)")
                                   << "line 3: the picture \"HTTPS://x.invalid/b.png\" is an "
                                      "address on the network";
    QTest::newRow("a host") << QByteArray("![a](//x.invalid/b.png)") << "on the network";
    QTest::newRow("file:") << QByteArray("![a](file:///tmp/b.png)") << "is a file address";
    QTest::newRow("by a reference")
        << QByteArray("![a][B]\n\n[b]: ftp://x.invalid/b.png")
        << "line 5: the picture \"ftp://x.invalid/b.png\" is an address";
}

void TestLesson::picturesTheReaderRefuses() {
    // A picture the pane would leave out is named with its line before the class sees it.
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("lesson/sub")));
    for (const char *name : {"lesson/sub/b.png", "b.png"}) {
        QFile picture(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(picture.open(QIODevice::WriteOnly) && picture.write("\x89PNG") == 4);
    }
    QVERIFY(QFile::link(dir.filePath("b.png"), dir.filePath("lesson/out.png")));
    QFile file(dir.filePath("lesson/" + File));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("# T\n## S\n" + text + "\n") > 0);
    file.close();
    const LessonFileResult r = readLessonFile(file.fileName());
    QVERIFY2(r.ok == error.isEmpty() && r.error.contains(error), qPrintable(r.error));
}

void TestLesson::predictionsTheCaseRulesOut_data() {
    QTest::addColumn<LessonAsk>("ask");
    QTest::addColumn<double>("pmech"); // 0.5 starts at 30.0 degrees, 0.8 at 53.1
    QTest::addColumn<double>("value");
    QTest::addColumn<PredictionProblem>("problem");
    using P = PredictionProblem;
    const LessonAsk angle = LessonAsk::MaxAngle, time = LessonAsk::CriticalClearingMs,
                    power = LessonAsk::LargestStablePmech;
    QTest::newRow("delta0 as shown") << angle << 0.8 << 53.1 << P::None;
    QTest::newRow("below delta0") << angle << 0.8 << 53.0 << P::BelowStartingAngle;
    QTest::newRow("180 degrees") << angle << 0.5 << 180.0 << P::HalfTurnOrMore;
    QTest::newRow("infinite") << angle << 0.5 << qInf() << P::NotFinite;
    QTest::newRow("-0.5 ms") << time << 0.5 << -0.5 << P::NegativeTime;
    QTest::newRow("0 ms") << time << 0.5 << 0.0 << P::None;
    QTest::newRow("power below 0") << power << 0.5 << -0.01 << P::PowerOutsidePmax;
    QTest::newRow("power Pmax") << power << 0.5 << 1.0 << P::None;
    QTest::newRow("power in MW") << power << 0.5 << 300.0 << P::PowerOutsidePmax;
    QTest::newRow("verdict 0.5") << LessonAsk::Verdict << 0.5 << 0.5 << P::NotAVerdict;
}

void TestLesson::predictionsTheCaseRulesOut() {
    QFETCH(LessonAsk, ask);
    QFETCH(double, pmech);
    QFETCH(double, value);
    QFETCH(PredictionProblem, problem);
    QCOMPARE(checkPrediction(LessonQuestion{ask, 1, 100, {}}, withPmech(pmech), value), problem);
    QCOMPARE(predictionProblemText(problem, ask, value, 30).isEmpty(),
             problem == PredictionProblem::None);
}

void TestLesson::predictionMayChangeUntilTheRun() {
    // The prediction in force when the run starts counts, with the seconds to it, also
    // after a run stopped early.
    LessonSitting t;
    QVERIFY(t.lesson.predict(OutOfStepAnswer));
    t.now += std::chrono::seconds(9);
    QVERIFY(t.lesson.predict(InStepAnswer));
    QVERIFY(t.lesson.beforeRun());
    connect(&t.s, &DravexSession::stepEnded, [&](int n) {
        if (n == 20) t.s.shortCircuit();
    });
    t.s.shortCircuit();
    QVERIFY(!t.lesson.progress().revealed && !t.lesson.predict(OutOfStepAnswer));
    QCOMPARE(lessonRecordCsv(t.lesson.lesson(), t.lesson.allProgress(), {}).split('\n')[2],
             QByteArray("1,Early,verdict,in step,,,9"));
}

void TestLesson::criticalClearingIsTriedAtThePrediction_data() {
    QTest::addColumn<double>("prediction");
    QTest::addColumn<int>("runMs");
    QTest::newRow("a fraction") << 380.4 << 380;
    QTest::newRow("a half up") << 99.5 << 100;
    QTest::newRow("beyond the slider") << 2000.0 << 500;
}

void TestLesson::criticalClearingIsTriedAtThePrediction() {
    // The run after the prediction clears the fault at the predicted time, not at the
    // step's own 150 ms: the student sees what that time does.
    QFETCH(double, prediction);
    QFETCH(int, runMs);
    LessonSitting t;
    t.lesson.open(read("# T\n## Limit\n```scenario\n[fault]\nclearing_ms = 150\n```\n"
                       "```predict\nask = critical_clearing_ms\n```\n"));
    QVERIFY(t.lesson.predict(prediction));
    QCOMPARE(t.s.clearingTime(), runMs); // the slider shows it before the run
    t.s.setClearingTime(150);
    QVERIFY(t.lesson.beforeRun());
    t.s.shortCircuit();
    QVERIFY(t.lesson.progress().revealed);
    QCOMPARE(t.s.history().last()->clearingMs, runMs);
}

void TestLesson::answersHeldBeforeThePrediction_data() {
    QTest::addColumn<QByteArray>("steps");
    QTest::addColumn<bool>("heldAfter"); // once the step's run has started
    const QByteArray step = "# T\n## S\n", ask = "```predict\nask = ";
    QTest::newRow("verdict on a fault") << step + ask + "verdict\n```\n" << false;
    QTest::newRow("largest angle of a step down")
        << step + "```scenario\n[fault]\nnetwork = power-step\npmech_after = 0.3\n```\n" + ask +
               "max_angle\n```\n"
        << false;
    QTest::newRow("its limit asked later")
        << step + ask + "max_angle\n```\n## L\n" + ask + "critical_clearing_ms\n```\n"
        << true;
}

void TestLesson::answersHeldBeforeThePrediction() {
    // Until the step's run starts the prediction may change: nothing shows the answer.
    QFETCH(QByteArray, steps);
    QFETCH(bool, heldAfter);
    LessonSitting t;
    t.lesson.open(read(steps));
    QVERIFY(t.lesson.holdsLimits());
    QVERIFY(t.lesson.predict(t.lesson.step().question->ask == LessonAsk::Verdict ? 1 : 90));
    QVERIFY(t.lesson.holdsLimits());
    QVERIFY(t.lesson.beforeRun());
    t.s.shortCircuit();
    QCOMPARE(t.lesson.holdsLimits(), heldAfter);
}

QTEST_GUILESS_MAIN(TestLesson)
#include "tst_lesson.moc"

void TestLesson::outlineForPaperAndMarks_data() {
    QTest::addColumn<QByteArray>("predict");
    QTest::addColumn<double>("answer"); // a choice's index; -1: a number, not checked here
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("toleranceText");
    QTest::addColumn<QString>("howFoundHas");
    // Pmech 0.5, H 6 s, busbar fault: in step when cleared after 150 ms, out of step after
    // 400 ms (the equal areas: A1 0.52 against at most 0.34 of A2).
    QTest::newRow("in step, the first choice")
        << QByteArray("verdict\nclearing_ms = 150") << 0.0 << ""
        << ""
        << "after 150 ms";
    QTest::newRow("out of step, the second choice")
        << QByteArray("verdict\nclearing_ms = 400") << 1.0 << ""
        << ""
        << "after 400 ms";
    QTest::newRow("largest angle") << QByteArray("max_angle\ntolerance = 2.5") << -1.0 << "\u00B0"
                                   << "2.5\u00B0"
                                   << "3 ms steps";
    QTest::newRow("critical clearing time") << QByteArray("critical_clearing_ms") << -1.0 << " ms"
                                            << "20 ms"
                                            << "whole milliseconds";
}

void TestLesson::outlineForPaperAndMarks() {
    QFETCH(QByteArray, predict);
    QFETCH(double, answer);
    QFETCH(QString, unit);
    QFETCH(QString, toleranceText);
    QFETCH(QString, howFoundHas);
    const Lesson l = read("# Paper\n## Asked\n```scenario\n[machine]\nH = 6\nPmech = 0.5\n"
                          "[fault]\nnetwork = busbar\n```\n```predict\nask = " +
                          predict + "\n```\n## Free\n");
    const LessonOutline o = dravexLessonOutline(l, QStringLiteral("/lessons"));
    QCOMPARE(o.program + o.fingerprint, "Dravex" + QString::fromStdString(l.fingerprint));
    QVERIFY(o.questionCount() == 1 && !o.steps[1].question);
    const OutlineQuestion &q = *o.steps[0].question;
    const QStringList verdict{QStringLiteral("in step"), QStringLiteral("out of step")};
    QCOMPARE(q.choices, answer < 0 ? QStringList() : verdict);
    if (answer >= 0) QCOMPARE(q.answer, answer);
    if (answer >= 0) QCOMPARE(q.answerText, verdict[int(answer)]);
    QCOMPARE(q.unit + q.toleranceText, unit + toleranceText);
    QVERIFY2(q.howFound.contains(howFoundHas), qPrintable(q.howFound));
}
