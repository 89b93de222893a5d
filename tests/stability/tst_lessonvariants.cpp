// A question's variants: the vary lines the reader refuses, and the Moodle XML of a lesson
// read back, each answer checked against the model's run for the values its name gives.
#include "lessonfile.h"
#include "lessontext.h"
#include "lessonvariants.h"
#include <array>

#include <QRegularExpression>
#include <QtTest>
#include <QXmlStreamReader>

namespace {

// The example lesson's machine: half load, H = 6 s; a busbar fault cleared after 375 ms
// stays in step, after 376 ms it does not.
const QByteArray LessonText =
    "# T\n## S\n```scenario\n[machine]\nPmax = 450\nH = 6\nDemping = 2E-5\n"
    "Pmech = 0.5\n[fault]\nnetwork = busbar\nreclose_ms = none\n```\n"
    "```predict\nask = max_angle\nvary = clearing_ms 100..400\n```\n"
    "## A/B\n```predict\nask = verdict\nclearing_ms = 400\n"
    "vary = H 4..8\n```\n";

struct Question {
    QString type, category, name, answer, tolerance;
};

// Each <question> of the quiz with the texts a check needs: the right answer's (fraction
// 100) and the tolerance; none when the XML is not well-formed.
std::vector<Question> questions(const QByteArray &bytes) {
    std::vector<Question> found;
    QXmlStreamReader xml(bytes);
    QString fraction;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QStringView tag = xml.name();
        if (tag == u"question") {
            found.push_back({xml.attributes().value("type").toString(), {}, {}, {}, {}});
            fraction.clear();
        } else if (tag == u"answer") {
            fraction = xml.attributes().value("fraction").toString();
        } else if (tag == u"tolerance") {
            found.back().tolerance = xml.readElementText();
        } else if (tag == u"text") {
            const QString text = xml.readElementText();
            if (found.back().type == QLatin1String("category"))
                found.back().category = text;
            else if (found.back().name.isEmpty())
                found.back().name = text;
            else if (fraction == QLatin1String("100") && found.back().answer.isEmpty())
                found.back().answer = text;
        }
    }
    return xml.hasError() ? std::vector<Question>{} : found;
}

// The number after "NAME = " in a question's name.
double valueNamed(const QString &name, const QString &key) {
    const QRegularExpression number(key + QStringLiteral(" = ([-0-9.eE]+)"));
    return number.match(name).captured(1).toDouble();
}

} // namespace

class TestLessonVariants : public QObject {
    Q_OBJECT
private slots:
    void varyRefused_data();
    void varyRefused();
    void moodleQuestionsAreTheModels();
};

void TestLessonVariants::varyRefused_data() {
    QTest::addColumn<QByteArray>("vary");
    QTest::addColumn<QString>("error");
    const QString none = "line 5: vary: the step's case has no value ";
    QTest::newRow("a name the case has not") << QByteArray("Q 1..2") << none + "Q";
    QTest::newRow("another network's value") << QByteArray("location 10..90") << none + "location";
    QTest::newRow("a dead time, no number")
        << QByteArray("reclose_ms 100..300") << none + "reclose_ms";
    QTest::newRow("end out of limits") << QByteArray("H 4..8, Pmech 0.5..1.5")
                                       << "line 5: vary: the ranges' end leaves the case's limits: "
                                          "Pmech must lie from 0 to 1.";
    QTest::newRow("start out of limits")
        << QByteArray("H -1..6") << "line 5: vary: the ranges' start";
    QTest::newRow("no range") << QByteArray("H 3-6")
                              << "line 5: vary: \"H 3-6\" is not NAME FROM..TO";
    QTest::newRow("ends that meet")
        << QByteArray("H 3..3") << "line 5: vary: the range of \"H\" starts";
    QTest::newRow("a name twice") << QByteArray("H 3..4, H 5..6")
                                  << "line 5: vary: \"H\" is given twice";
}

void TestLessonVariants::varyRefused() {
    QFETCH(QByteArray, vary);
    QFETCH(QString, error);
    const LessonFileResult read =
        parseLesson("# T\n## S\n```predict\nask = verdict\nvary = " + vary + "\n```\n",
                    QStringLiteral("class.dravex-lesson"));
    QVERIFY(!read.ok);
    QVERIFY2(read.error.contains(error), qPrintable(read.error));
}

void TestLessonVariants::moodleQuestionsAreTheModels() {
    const LessonFileResult read = parseLesson(LessonText, QStringLiteral("class.dravex-lesson"));
    QVERIFY2(read.ok, qPrintable(read.error));
    const DravexVariants made = dravexLessonVariants(read.lesson, 4);
    // Cleared after 400 ms the run falls out of step: its largest angle has no answer.
    QCOMPARE(made.leftOut, 1);
    const std::vector<Question> quiz =
        questions(moodleXml(dravexLessonOutline(read.lesson, {}), made.variants));
    QCOMPARE(quiz.size(), std::size_t(2 + 3 + 4));
    QCOMPARE(quiz[0].category, QStringLiteral("$course$/T/Step 1: S"));
    QCOMPARE(quiz[4].category, QStringLiteral("$course$/T/Step 2: A//B"));
    const StabilityCase base = read.lesson.steps[0].studyCase;
    for (std::size_t i = 1; i < 4; ++i) {
        const Question &q = quiz[i];
        QCOMPARE(q.type, QStringLiteral("numerical"));
        const double ms = valueNamed(q.name, QStringLiteral("clearing_ms"));
        QCOMPARE(ms, 100.0 * double(i)); // 100, 200 and 300 ms of 100 to 400 in four
        const LessonAnswer model =
            answerQuestion(base, LessonQuestion{LessonAsk::MaxAngle, 5, std::int32_t(ms), {}});
        QCOMPARE(q.answer, QString::number(*model.value, 'f', 1));
        QCOMPARE(q.tolerance, QStringLiteral("5"));
    }
    // The critical clearing time grows as √H: 375 ms · √(4/6) = 306 ms, 375 ms · √(8/6) =
    // 433 ms, so cleared after 400 ms the light machine falls out of step, the heavy one not.
    QCOMPARE(quiz[5].answer, QStringLiteral("out of step"));
    QCOMPARE(quiz[8].answer, QStringLiteral("in step"));
    for (std::size_t i = 5; i < 9; ++i) {
        QCOMPARE(quiz[i].type, QStringLiteral("multichoice"));
        StabilityCase c = base;
        c.machine.H = valueNamed(quiz[i].name, QStringLiteral("H"));
        // 4 to 8 s in four, those between rounded to two figures of their spacing of 1.33 s.
        QCOMPARE(c.machine.H, (std::array<double, 4>{4, 5.3, 6.7, 8}[i - 5]));
        const LessonAnswer model =
            answerQuestion(c, LessonQuestion{LessonAsk::Verdict, 0, 400, {}});
        QCOMPARE(quiz[i].answer, answerText(LessonAsk::Verdict, *model.value));
    }
}

QTEST_GUILESS_MAIN(TestLessonVariants)
#include "tst_lessonvariants.moc"
