// The example lesson's worksheet and answer key as PDF, read back as a class's reader
// would: the answers on the key alone, the texts for after the run on neither.
#include "lessonfile.h"
#include "lessonsheet.h"
#include "lessontext.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(SheetKind)

class TestLessonSheet : public QObject {
    Q_OBJECT
private slots:
    void textReadBack_data();
    void textReadBack();
};

void TestLessonSheet::textReadBack_data() {
    QTest::addColumn<SheetKind>("kind");
    QTest::newRow("worksheet") << SheetKind::Worksheet;
    QTest::newRow("answer key") << SheetKind::AnswerKey;
}

void TestLessonSheet::textReadBack() {
    QFETCH(SheetKind, kind);
    const QString reader = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (reader.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
    const QString file = QStringLiteral(EXAMPLES_DIR "/lessons/equal-area.dravex-lesson");
    const LessonFileResult read = readLessonFile(file);
    QVERIFY(read.ok);
    const LessonOutline o = dravexLessonOutline(read.lesson, EXAMPLES_DIR "/lessons");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    QCOMPARE(writeLessonSheet(o, kind, pdf), std::nullopt);
    QProcess p;
    p.start(reader, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    QVERIFY(p.waitForFinished());
    // Lines the reader broke are joined again.
    const QString text = QString::fromUtf8(p.readAllStandardOutput()).simplified();
    const bool key = kind == SheetKind::AnswerKey;
    QVERIFY(text.startsWith(key ? "Answer key: The equal-area criterion" : "The equal-area"));
    QCOMPARE(text.contains(QStringLiteral("Your answer: ________________ ms")), !key);
    for (const OutlineStep &s : o.steps) {
        QVERIFY2(text.contains(s.title), qPrintable(s.title));
        // The first sentence shown after the run, if any.
        QVERIFY(s.afterRun.isEmpty() || !text.contains(s.afterRun.section(QLatin1Char('.'), 0, 0)));
        if (!s.question) continue;
        QVERIFY(text.contains(s.question->text));
        if (s.question->isChoice()) continue; // both choices stand on the worksheet
        const QString answer = QStringLiteral("Answer: ") + s.question->answerText +
                               QStringLiteral(", within ") + s.question->toleranceText;
        QCOMPARE(text.contains(answer), key);
        QCOMPARE(text.contains(s.question->answerText), key);
    }
}

QTEST_MAIN(TestLessonSheet)
#include "tst_lessonsheet.moc"
