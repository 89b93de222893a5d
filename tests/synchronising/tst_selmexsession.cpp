// A Selmex session without any window: its scenario files, their comments and switchboard
// kept through a save, and a refused file that changes nothing.
#include "selmexfile.h"
#include "session.h"

#include <QTemporaryDir>
#include <QtTest>

class TestSelmexSession : public QObject {
    Q_OBJECT
private slots:
    void scenarioFiles_data();
    void scenarioFiles();
};

void TestSelmexSession::scenarioFiles_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("refusal"); // empty: opened
    QTest::addColumn<QByteArray>("savedComments");
    QTest::addColumn<double>("boardFrequency"); // 0: no switchboard
    QTest::newRow("exercise") << QByteArray("# Exercise 4\r\n# Why?\r\n\r\n[generator]\r\n"
                                            "phase_order = wrong\r\n")
                              << QString() << QByteArray("# Exercise 4\n# Why?\n\n# A Selmex")
                              << 0.0;
    QTest::newRow("switchboard") << QByteArray("[switchboard]\nfrequency = 49.5\n") << QString()
                                 << QByteArray("# A Selmex") << 49.5;
    QTest::newRow("broken") << QByteArray("[generator]\nfrequency = 4,2\n")
                            << QStringLiteral("ex.selmex, line 2") << QByteArray() << 0.0;
}

void TestSelmexSession::scenarioFiles() {
    QFETCH(QByteArray, file);
    QFETCH(QString, refusal);
    QFETCH(QByteArray, savedComments);
    QFETCH(double, boardFrequency);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ex.selmex")),
                  copy = dir.filePath(QStringLiteral("copy.selmex"));
    QString error;
    QVERIFY(writeSelmexFile(path, file, &error));
    SelmexSession s(seededClock(7));
    s.beginAtRandom(QSize(200, 200), QSize(200, 200));
    const SelmexStart before = s.start();
    QCOMPARE(s.openScenarioFile(path, &error), refusal.isEmpty());
    if (!refusal.isEmpty()) {
        QVERIFY2(error.contains(refusal), qPrintable(error));
        QVERIFY(s.start() == before && s.scenarioFile().isEmpty());
        return;
    }
    QCOMPARE(s.scenarioFile(), path);
    QVERIFY(s.saveScenarioFile(copy, &error));
    QCOMPARE(s.scenarioFile(), copy);
    const SelmexFileResult saved = readSelmexScenario(copy);
    QVERIFY2(saved.comments.startsWith(savedComments), saved.comments.constData());
    QCOMPARE(saved.switchboard ? saved.switchboard->frequency : 0.0, boardFrequency);
    // A session from no file keeps nothing of the file.
    QVERIFY(s.openScenario({}));
    QVERIFY(s.scenarioFile().isEmpty() && s.scenarioComments().isEmpty() &&
            !s.scenarioSwitchboard());
}

QTEST_MAIN(TestSelmexSession)
#include "tst_selmexsession.moc"
