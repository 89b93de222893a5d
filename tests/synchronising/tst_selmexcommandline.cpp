// Selmex's command line: help, version and a bad command line end before a window, and
// what the window is given.
#include "selmexcommandline.h"

#include <QProcess>
#include <QTextStream>
#include <QtTest>

class TestSelmexCommandLine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void withoutWindow_data();
    void withoutWindow();
    void forTheWindow_data();
    void forTheWindow();
    void helpNeedsNoDisplay();
};

void TestSelmexCommandLine::initTestCase() {
    QCoreApplication::setApplicationName(QStringLiteral("Selmex"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SELMEX_VERSION));
}

void TestSelmexCommandLine::withoutWindow_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out"); // a part of what goes to stdout, or to stderr on exit 2
    QTest::newRow("help") << QStringList{"--help"} << 0 << "--seed <N>";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "Selmex " SELMEX_VERSION "\n";
    QTest::newRow("seed x") << QStringList{"--seed", "x"} << 2 << "--seed x is not";
    QTest::newRow("seed 2^32") << QStringList{"--seed", "4294967296"} << 2 << "--seed 4294967296";
    QTest::newRow("seed -1") << QStringList{"--seed=-1"} << 2 << "--seed -1";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << 2 << "bogus";
    QTest::newRow("two files") << QStringList{"a.selmex", "b.selmex"} << 2 << "one scenario file";
}

void TestSelmexCommandLine::withoutWindow() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    const SelmexCommandLine c = parseSelmexCommandLine(QStringList{"selmex"} + arguments);
    QVERIFY(needsNoWindow(c));
    QString stdOut, stdErr;
    QTextStream outStream(&stdOut), errStream(&stdErr);
    QCOMPARE(runWithoutWindow(c, outStream, errStream), exitCode);
    outStream.flush();
    errStream.flush();
    QVERIFY2((exitCode ? stdErr : stdOut).contains(out), qPrintable(stdOut + stdErr));
    QCOMPARE(stdErr.isEmpty(), exitCode == 0);
}

void TestSelmexCommandLine::forTheWindow_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");
    QTest::addColumn<qlonglong>("seed"); // -1: none
    QTest::newRow("nothing") << QStringList{} << QString() << -1LL;
    QTest::newRow("largest seed and a file")
        << QStringList{"--seed", "4294967295", "ex.selmex"} << "ex.selmex" << 4294967295LL;
    QTest::newRow("seed 0, Qt's own option")
        << QStringList{"-platform", "offscreen", "--seed=0"} << QString() << 0LL;
}

void TestSelmexCommandLine::forTheWindow() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    QFETCH(qlonglong, seed);
    const SelmexCommandLine c = parseSelmexCommandLine(QStringList{"selmex"} + arguments);
    QVERIFY2(!needsNoWindow(c), qPrintable(c.error));
    QCOMPARE(c.file, file);
    QCOMPARE(c.seed ? qlonglong(*c.seed) : -1LL, seed);
}

void TestSelmexCommandLine::helpNeedsNoDisplay() {
    // The program itself, without any display: help prints before a window is made.
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SELMEX_BINARY), {QStringLiteral("--help")});
    QVERIFY(p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(p.readAllStandardOutput().contains("--seed <N>"));
}

QTEST_GUILESS_MAIN(TestSelmexCommandLine)
#include "tst_selmexcommandline.moc"
