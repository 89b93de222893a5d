// A class's records read back and marked against a lesson written out by hand: the marks
// come from the predictions and the lesson's answers, whatever the record's own columns
// say, and records that cannot be marked are refused with their file and line.
#include "lessonrecord.h"

#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

namespace {

// Step 1 explores, step 2 asks a verdict whose answer is "in step", step 3 the largest
// angle, 104.3° within 5°.
LessonOutline outline() {
    LessonOutline l;
    l.program = QStringLiteral("Dravex");
    l.fingerprint = lessonFingerprint("abc");
    l.steps.resize(3);
    OutlineQuestion verdict;
    verdict.askName = QStringLiteral("verdict");
    verdict.choices = QStringList{QStringLiteral("in step"), QStringLiteral("out of step")};
    verdict.answer = 0;
    l.steps[1].question = verdict;
    OutlineQuestion angle;
    angle.askName = QStringLiteral("max_angle");
    angle.answer = 104.3;
    angle.tolerance = 5;
    l.steps[2].question = angle;
    return l;
}

const QByteArray Head = "# Dravex lesson: Swing; student: Ann; lesson_sha256: ba7816bf8f01cfea\n"
                        "step,title,question,prediction,outcome,within_tolerance,"
                        "seconds_to_predict\n";

} // namespace

class TestLessonRecord : public QObject {
    Q_OBJECT
private slots:
    void fingerprintIsSha256sFirstDigits() {
        // The published SHA-256 test vector of "abc".
        QCOMPARE(lessonFingerprint("abc"), QStringLiteral("ba7816bf8f01cfea"));
    }
    void marks_data();
    void marks();
    void refusals_data();
    void refusals();
    void aClassMarkedDespiteARefusal();
};

void TestLessonRecord::marks_data() {
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("row");
    QTest::newRow("both right") << Head + "2,A,verdict,in step,in step,yes,10.2\n"
                                          "3,B,max_angle,107.5,104.3,yes,3.1\n"
                                << "Ann,,1,1,2,2,13.3";
    QTest::newRow("wrong, its columns edited to yes")
        << Head + "2,A,verdict,out of step,in step,yes,4\n3,B,max_angle,115,104.3,yes,6\n"
        << "Ann,,0,0,0,2,10";
    QTest::newRow("no prediction, a step left out") << Head + "2,A,verdict,,,,\n"
                                                    << "Ann,,,,0,2,0";
    QTest::newRow("at the tolerance's edge") << Head + "3,B,max_angle,99.3,,,2.5\n"
                                             << "Ann,,,1,1,2,2.5";
    QTest::newRow("spreadsheet's CRLF, BOM, quoted title, title with \"; \"")
        << QByteArray("\xEF\xBB\xBF# Dravex lesson: A; B; student: Ann; lesson_sha256: "
                      "ba7816bf8f01cfea\r\nstep,title,question,prediction,outcome,"
                      "within_tolerance,seconds_to_predict\r\n"
                      "3,\"Faults, \"\"near\"\"\",max_angle,100,,,1\r\n")
        << "Ann,,,1,1,2,1";
    QTest::newRow("a name a spreadsheet would run")
        << QByteArray(Head).replace("Ann", "=1+2") << "'=1+2,,,,0,2,0";
}

void TestLessonRecord::marks() {
    QFETCH(QByteArray, record);
    QFETCH(QString, row);
    const LessonRecordResult read = parseLessonRecord(record, QStringLiteral("ann.csv"));
    QVERIFY2(read.ok, qPrintable(read.error));
    StudentMarks m;
    const std::optional<QString> why = markRecord(outline(), read.record, m);
    QVERIFY2(!why, qPrintable(why.value_or(QString())));
    QCOMPARE(QString::fromUtf8(marksCsv(outline(), {m})),
             "student,step_1,step_2,step_3,right,asked,seconds_to_predict_total\n" + row + '\n');
}

void TestLessonRecord::refusals_data() {
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("error");
    QTest::newRow("another lesson")
        << QByteArray(Head).replace("ba7816bf8f01cfea", "0123456789abcdef")
        << "ann.csv is a record of another lesson (lesson_sha256 0123456789abcdef, this lesson "
           "ba7816bf8f01cfea).";
    QTest::newRow("not a record") << QByteArray("step,title\n1,A\n")
                                  << "ann.csv, line 1: this is not a lesson record";
    QTest::newRow("no fingerprint")
        << QByteArray(Head).replace("; lesson_sha256: ba7816bf8f01cfea", "")
        << "ann.csv names no lesson_sha256";
    QTest::newRow("other program") << QByteArray(Head).replace("Dravex", "Selmex")
                                   << "ann.csv is a record of a Selmex lesson, not of a Dravex";
    QTest::newRow("step beyond the lesson")
        << Head + "4,A,verdict,in step,,,1\n"
        << "line 3: step 4 is not a step of the lesson: it has 3.";
    QTest::newRow("step that asks nothing") << Head + "1,A,verdict,in step,,,1\n"
                                            << "line 3: step 1 asks no question";
    QTest::newRow("another question")
        << Head + "3,A,verdict,in step,,,1\n"
        << "line 3: step 3 asks max_angle in the lesson, not \"verdict\"";
    QTest::newRow("no choice") << Head + "2,A,verdict,in stap,,,1\n"
                               << "line 3: the prediction \"in stap\" is none";
    QTest::newRow("decimal comma") << Head + "3,A,max_angle,\"100,5\",,,1\n"
                                   << "line 3: the prediction \"100,5\" is not a number";
    QTest::newRow("step twice") << Head + "2,A,verdict,,,,\n2,A,verdict,,,,\n"
                                << "line 4: step 2 has a row already";
    QTest::newRow("quote left open") << Head + "2,\"A,verdict,,,,\n\n"
                                     << "line 3: the quote";
}

void TestLessonRecord::refusals() {
    QFETCH(QByteArray, record);
    QFETCH(QString, error);
    const LessonRecordResult read = parseLessonRecord(record, QStringLiteral("ann.csv"));
    StudentMarks m;
    const std::optional<QString> why = read.ok ? markRecord(outline(), read.record, m) : read.error;
    QVERIFY(why);
    QVERIFY2(why->contains(error), qPrintable(*why));
}

void TestLessonRecord::aClassMarkedDespiteARefusal() {
    QTemporaryDir dir;
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write(QStringLiteral("ann.csv"), Head + "2,A,verdict,in step,,,1\n");
    write(QStringLiteral("bob.csv"), QByteArray(Head).replace("ba78", "0000"));
    QString out, err;
    QTextStream o(&out), e(&err);
    QCOMPARE(runLessonMarks(outline(), {dir.filePath("ann.csv"), dir.filePath("bob.csv")}, o, e),
             1);
    QCOMPARE(out.count(QLatin1Char('\n')), 2);
    QVERIFY(out.endsWith(QLatin1String("Ann,,1,,1,2,1\n")));
    QVERIFY2(err.startsWith(QLatin1String("dravex: ") + dir.filePath("bob.csv") +
                            QLatin1String(" is a record of another lesson")),
             qPrintable(err));
}

QTEST_GUILESS_MAIN(TestLessonRecord)
#include "tst_lessonrecord.moc"
