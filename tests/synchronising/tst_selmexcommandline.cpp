// selmex run without any display: help, version and a bad command line end before a window.
#include <QProcess>
#include <QtTest>

class TestSelmexCommandLine : public QObject {
    Q_OBJECT
private slots:
    void withoutWindow_data();
    void withoutWindow();
};

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
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SELMEX_BINARY), arguments);
    QVERIFY(p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit);
    const QString stdOut = QString::fromUtf8(p.readAllStandardOutput());
    const QString stdErr = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(p.exitCode() == exitCode, qPrintable(stdErr));
    QVERIFY2((exitCode ? stdErr : stdOut).contains(out), qPrintable(stdOut + stdErr));
    QCOMPARE(stdErr.isEmpty(), exitCode == 0);
}

QTEST_GUILESS_MAIN(TestSelmexCommandLine)
#include "tst_selmexcommandline.moc"
