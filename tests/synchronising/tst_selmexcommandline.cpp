// Selmex's command line: help, version, a bad command line and the switchboard's
// simulation end before a window, and what the window is given; a simulation replays the
// same log to the byte.
#include "actionsfile.h"
#include "selmexcommandline.h"
#include "selmexfile.h"
#include "selmexlessonfile.h"
#include "selmexlessontext.h"
#include "switchboardcsv.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
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
    void simulate_data();
    void simulate();
    void replayedToTheByte();
    void traceOfInfiniteBus();
    void lessonMarks();

private:
    int run(const QStringList &arguments, QString *err = nullptr);
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }
    void write(const char *name, const QByteArray &bytes) {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
};

int TestSelmexCommandLine::run(const QStringList &arguments, QString *err) {
    const SelmexCommandLine c = parseSelmexCommandLine(QStringList{"selmex"} + arguments);
    QString stdOut, stdErr;
    QTextStream outStream(&stdOut), errStream(&stdErr);
    const int code = runWithoutWindow(c, outStream, errStream);
    errStream.flush();
    if (err) *err = stdErr;
    return code;
}

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
    const QStringList sim{"--simulate", "a.selmex", "--log", "o.csv"};
    QTest::newRow("no --log") << QStringList{"--simulate", "a.selmex"} << 2 << "needs --log";
    for (const char *option : {"--actions", "--seconds", "--log", "--trace"})
        QTest::newRow(option) << QStringList{option, "1"} << 2 << "goes with --simulate";
    QTest::newRow("and --seed") << sim + QStringList{"--seed", "1"} << 2 << "--seed draws";
    QTest::newRow("and a file") << sim + QStringList{"b.selmex"} << 2 << "b.selmex is one file";
    QTest::newRow("empty --actions") << sim + QStringList{"--actions="} << 2 << "--actions needs";
    QTest::newRow("empty --trace") << sim + QStringList{"--trace="} << 2 << "--trace needs";
    // An output named as another of the run's files would overwrite it.
    QTest::newRow("trace is the log")
        << sim + QStringList{"--trace", "./o.csv"} << 2 << "o.csv is named twice";
    QTest::newRow("log is the scenario")
        << QStringList{"--simulate", "a.selmex", "--log", "a.selmex"} << 2 << "a.selmex is named";
    QTest::newRow("trace is the actions")
        << sim + QStringList{"--actions", "x.csv", "--trace", "x.csv"} << 2 << "x.csv is named";
    const QString lesson = QStringLiteral(EXAMPLES_DIR "/lessons/synchronising.selmex-lesson");
    QTest::newRow("lesson key") << QStringList{"--lesson-key", lesson} << 0
                                << "  answer: 2.88°, within 0.50° counts as right\n";
    QTest::newRow("lesson key, no file")
        << QStringList{"--lesson-key", "no.selmex-lesson"} << 1 << "no.selmex-lesson";
    QTest::newRow("lesson key and a file")
        << QStringList{"--lesson-key", lesson, "b"} << 2 << "b is one file too many";
    QTest::newRow("lesson key and --simulate")
        << sim + QStringList{"--lesson-key", lesson} << 2 << "goes alone";
    QTest::newRow("lesson key empty") << QStringList{"--lesson-key="} << 2 << "needs the name";
    QTest::newRow("moodle") << QStringList{"--lesson-moodle", lesson, "--variants", "3"} << 0
                            << "<question type=\"numerical\">";
    QTest::newRow("moodle, 101 variants")
        << QStringList{"--lesson-moodle", lesson, "--variants", "101"} << 2 << "--variants 101";
    QTest::newRow("variants without moodle")
        << QStringList{"--lesson-key", lesson, "--variants", "2"} << 2 << "--variants goes with";
    QTest::newRow("lesson sheet, no PDF")
        << QStringList{"--lesson-sheet", lesson} << 2 << "needs the lesson and one PDF";
    QTest::newRow("lesson sheet over the lesson")
        << QStringList{"--lesson-sheet", lesson, lesson} << 2 << "is the lesson itself";
    QTest::newRow("--output without the key")
        << QStringList{"--lesson-marks", lesson, "r.csv", "--output", "k.pdf"} << 2
        << "--output goes with --lesson-key";
    QTest::newRow("lesson marks, no record")
        << QStringList{"--lesson-marks", lesson} << 2 << "needs the records";
    QTest::newRow("lesson marks and key")
        << QStringList{"--lesson-marks", lesson, "--lesson-key", lesson, "r.csv"} << 2
        << "goes alone";
    for (const char *n : {"0", "0.0000", "3600.0001", "-5", "1e3", "2,5", "x", ""})
        QTest::newRow(qPrintable(QStringLiteral("--seconds %1").arg(n)))
            << sim + QStringList{QStringLiteral("--seconds=") + n} << 2
            << QStringLiteral("--seconds %1 is not").arg(n);
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

void TestSelmexCommandLine::simulate_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err"); // a part of the message on failure
    const QStringList log{"--log", path("out.csv")};
    const auto sim = [&](const char *file) { return QStringList{"--simulate", path(file)}; };
    write("board.selmex", "[switchboard]\nfrequency = 49.9\n");
    write("classic.selmex", "[generator]\nfrequency = 49\n");
    write("bad.selmex", "[switchboard]\nbreaker_ms = 5\n");
    write("actions.csv", "time_s,control,state\n1,breaker,close\n");
    write("bad.csv", "time_s,control,state\n1,breaker,press\n");
    QTest::newRow("ran") << sim("board.selmex") + log + QStringList{"--seconds", "7.5"} << 0
                         << QString();
    QTest::newRow("with actions") << sim("board.selmex") + log +
                                         QStringList{"--actions", path("actions.csv")}
                                  << 0 << QString();
    QTest::newRow("no switchboard")
        << sim("classic.selmex") + log << 1 << "classic.selmex: has no [switchboard] section";
    QTest::newRow("refused") << sim("bad.selmex") + log << 1 << "bad.selmex, line 2: breaker_ms";
    QTest::newRow("missing") << sim("none.selmex") + log << 1 << "none.selmex: cannot be read";
    QTest::newRow("actions refused")
        << sim("board.selmex") + log + QStringList{"--actions", path("bad.csv")} << 1
        << "bad.csv, line 2: breaker takes close or open";
    QTest::newRow("log not written")
        << sim("board.selmex") + QStringList{"--log", path("no/out.csv")} << 1 << "Could not write";
    QTest::newRow("trace not written")
        << sim("board.selmex") + log + QStringList{"--trace", path("no/t.csv")} << 1 << "no/t.csv";
}

void TestSelmexCommandLine::simulate() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    QFile::remove(path("out.csv"));
    QString stdErr;
    QCOMPARE(run(arguments, &stdErr), exitCode);
    QVERIFY2(exitCode ? stdErr.contains(err) : stdErr.isEmpty(), qPrintable(stdErr));
    // A log only when the run succeeded.
    QCOMPARE(QFile::exists(path("out.csv")), exitCode == 0);
}

void TestSelmexCommandLine::replayedToTheByte() {
    // An operator's run of the model: raise the speed and the voltage, a close the relay
    // refuses, then one it lets through, and the result 5 s after contact.
    SwitchboardSettings settings;
    settings.frequency = 49.8;
    settings.voltage = 370;
    settings.mode = SwitchboardMode::Permissive;
    Switchboard board(settings);
    using C = SwitchboardControl;
    using S = ControlState;
    const std::pair<std::int64_t, std::pair<C, S>> plan[] = {
        {500, {C::SpeedRaise, S::Press}},      {1000, {C::VoltageRaise, S::Press}},
        {1500, {C::Breaker, S::Close}},        {2701, {C::SpeedRaise, S::Release}},
        {5003, {C::VoltageRaise, S::Release}}, {9000, {C::Mode, S::Manual}},
        {9000, {C::Breaker, S::Close}},        {20000, {C::Mode, S::Automatic}},
    };
    for (const auto &[ms, action] : plan) {
        board.runUntil(ms);
        board.act(action.first, action.second);
    }
    board.runUntil(30000);
    const QByteArray log = switchboardLogCsv(settings, board.events());
    QVERIFY(log.contains(",refused,") && log.contains(",contact,") && log.contains(",result,"));

    write("board.selmex", selmexScenarioText(SelmexStart{}, {}, settings));
    write("actions.csv", switchboardActionsCsv(board.actions()));
    const QStringList arguments{"--simulate",        path("board.selmex"), "--actions",
                                path("actions.csv"), "--seconds",          "30"};
    // The trace's samples leave the run as it was.
    for (const char *out : {"a.csv", "b.csv"}) {
        const QStringList trace{"--trace", path("trace.csv")};
        QCOMPARE(run(arguments + QStringList{"--log", path(out)} +
                     (*out == 'b' ? trace : QStringList{})),
                 0);
        QFile f(path(out));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), log);
    }
}

void TestSelmexCommandLine::traceOfInfiniteBus() {
    // Nothing moves the unconnected machine at its references: the bus's 50 Hz and 380 V,
    // set 2's references, no power; no set 1 or load. The same bytes in a comma locale.
    write("board.selmex", "[switchboard]\nfrequency = 49.9\nvoltage = 370\n");
    QCOMPARE(run({"--simulate", path("board.selmex"), "--seconds", "0.25", "--log", path("out.csv"),
                  "--trace", path("trace.csv")}),
             0);
    QFile f(path("trace.csv"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), "time_s,bus_frequency_hz,bus_voltage_v,breaker,set1_setpoint_hz,"
                          "set2_setpoint_hz,set1_voltage_setpoint_v,set2_voltage_setpoint_v,"
                          "set1_p_kw,set2_p_kw,set1_q_kvar,set2_q_kvar,load_p_kw,load_q_kvar\n"
                          "0.000,50.000,380.0,open,,49.900,,370.0,,0.00,,0.00,,\n"
                          "0.100,50.000,380.0,open,,49.900,,370.0,,0.00,,0.00,,\n"
                          "0.200,50.000,380.0,open,,49.900,,370.0,,0.00,,0.00,,\n");
}

void TestSelmexCommandLine::lessonMarks() {
    // A record the program writes, read back and marked: no (answer) predicted yes, 2.88°
    // predicted 3 (within 0.5°), 5 × rated predicted 4 (not within 0.1).
    const QString lesson = QStringLiteral(EXAMPLES_DIR "/lessons/synchronising.selmex-lesson");
    const SelmexLessonFileResult read = readSelmexLessonFile(lesson);
    QVERIFY2(read.ok, qPrintable(read.error));
    std::vector<SelmexLessonProgress> progress(read.lesson.steps.size());
    progress[0] = {YesAnswer, 1.5, true, true};
    progress[1] = {3.0, 2, true, true};
    progress[3] = {4.0, 3, false, true};
    write("ann.csv", selmexLessonRecordCsv(read.lesson, progress, QStringLiteral("Ann")));
    const SelmexCommandLine c = parseSelmexCommandLine(
        {"selmex", "--lesson-marks", lesson, path("ann.csv"), path("none.csv")});
    QString stdOut, stdErr;
    QTextStream outStream(&stdOut), errStream(&stdErr);
    QCOMPARE(runWithoutWindow(c, outStream, errStream), 1); // none.csv is not there
    outStream.flush();
    errStream.flush();
    QVERIFY2(stdOut.endsWith(QStringLiteral("\nAnn,0,1,,0,,,,1,6,6.5\n")), qPrintable(stdOut));
    QVERIFY2(stdErr.contains(QStringLiteral("none.csv")), qPrintable(stdErr));
}

QTEST_GUILESS_MAIN(TestSelmexCommandLine)
#include "tst_selmexcommandline.moc"
