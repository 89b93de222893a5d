// The dravex program's commands without a window: what they print and write, and their
// exit codes, in this process; and once as the program itself without any display.
#include "commandline.h"
#include "runcsv.h"
#include "scenariofile.h"
#include "statuslines.h"
#include "studycsv.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out, err;
};

// The commands as the program runs them, in this process.
Outcome dravex(const QStringList &arguments) {
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    Outcome o;
    const CommandLine c = parseCommandLine(QStringList{QStringLiteral("dravex")} + arguments);
    if (!needsNoWindow(c)) return o;
    o.exitCode = runWithoutWindow(c, outStream, errStream);
    outStream.flush();
    errStream.flush();
    o.out = out.toUtf8();
    o.err = err.toUtf8();
    return o;
}

Outcome dravexProcess(const QStringList &arguments) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(DRAVEX_BINARY), arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) return {};
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exitCodes_data();
    void exitCodes();
    void criticalClearingTimeOfTheDefaults();
    void simulationLine_data();
    void simulationLine();
    void exportRunWritesTheRunsCsv();
    void studyPrintsItsCsv();
    void theProgramNeedsNoDisplay();
    void sheetsNeedNoDisplay();
    void networkCommands();

private:
    QTemporaryDir dir;
};

void TestCommandLine::initTestCase() {
    QCoreApplication::setApplicationName(QStringLiteral("Dravex"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DRAVEX_VERSION));
    QFile bad(dir.filePath(QStringLiteral("bad.dravex")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("[machine]\nPmech = 2\n");
    QFile lesson(dir.filePath(QStringLiteral("bad.dravex-lesson")));
    QVERIFY(lesson.open(QIODevice::WriteOnly));
    lesson.write("# A lesson\n## A step\n```predict\nask = guess\n```\n");
    // The 9-bus example without its fault, and with a line that is not there.
    QFile example(QStringLiteral(EXAMPLES_DIR "/networks/wscc-9bus.dravex-network"));
    QVERIFY(example.open(QIODevice::ReadOnly));
    const QByteArray text = example.readAll();
    QFile noFault(dir.filePath(QStringLiteral("no-fault.dravex-network")));
    QVERIFY(noFault.open(QIODevice::WriteOnly));
    noFault.write(text.left(text.indexOf("[fault]")));
    QFile badNetwork(dir.filePath(QStringLiteral("bad.dravex-network")));
    QVERIFY(badNetwork.open(QIODevice::WriteOnly));
    badNetwork.write(text + "\n[line 4-10]\nx = 0.1\n");
}

void TestCommandLine::exitCodes_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err"); // a part of what goes to stderr
    const QString example = QStringLiteral(EXAMPLES_DIR "/reclose-permanent.dravex");
    const QString csv = dir.filePath(QStringLiteral("run.csv"));
    QTest::newRow("version") << QStringList{"--version"} << 0 << QString();
    QTest::newRow("example") << QStringList{"--critical-clearing-time", example} << 0 << QString();
    QTest::newRow("missing file") << QStringList{"--critical-clearing-time", "none.dravex"} << 1
                                  << "none.dravex: cannot be read";
    QTest::newRow("refused file") << QStringList{"--export-run", csv,
                                                 dir.filePath(QStringLiteral("bad.dravex"))}
                                  << 1 << "bad.dravex, line 2: Pmech must";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << 2 << "bogus";
    QTest::newRow("two files") << QStringList{"a", "b"} << 2 << "one scenario file";
    QTest::newRow("export without file") << QStringList{"--export-run"} << 2 << "export-run";
    QTest::newRow("clearing 2.5") << QStringList{"--export-run", csv, "--clearing", "2.5"} << 2
                                  << "whole number";
    QTest::newRow("clearing 501") << QStringList{"--export-run", csv, "--clearing", "501"} << 2
                                  << "clearing time must";
    const QString h = QStringLiteral("H=2:10:3");
    QTest::newRow("study") << QStringList{"--study", "Pmech=.2:0.8:2", "--limit", "0"} << 0
                           << QString();
    QTest::newRow("study, unknown name")
        << QStringList{"--study", "h=2:10:3"} << 2
        << "\"h\" is not a value a study can vary: write H, Pmech, Demping, location, "
           "generator_reactance, line_reactance, during, after or reclose_ms.";
    QTest::newRow("study, no range")
        << QStringList{"--study", "H=2:10"} << 2 << "write NAME=FROM:TO:POINTS";
    QTest::newRow("study, comma") << QStringList{"--study", "H=2,5:10:3"} << 2
                                  << "\"2,5\" is not a number";
    QTest::newRow("study, 2.5 points")
        << QStringList{"--study", "H=2:10:2.5"} << 2 << "POINTS \"2.5\" is not a whole number";
    QTest::newRow("study, H from 0") << QStringList{"--study", "H=0:10:3"} << 2
                                     << "--study: H from 0: H must be greater than 0.";
    QTest::newRow("study twice") << QStringList{"--study", h, "--study", "H=3:9:3"} << 2
                                 << "--study is given 2 times";
    QTest::newRow("study, limit 2001")
        << QStringList{"--study", h, "--limit", "2001"} << 2 << "from 0 to 2000";
    QTest::newRow("limit without study") << QStringList{"--limit", "100"} << 2 << "with --study";
    QTest::newRow("study and export")
        << QStringList{"--study", h, "--export-run", csv} << 2 << "--study goes alone";
    QTest::newRow("study, missing file")
        << QStringList{"--study", h, "none.dravex"} << 1 << "none.dravex: cannot be read";
    const QString badLesson = dir.filePath(QStringLiteral("bad.dravex-lesson"));
    QTest::newRow("lesson key, refused lesson")
        << QStringList{"--lesson-key", badLesson} << 1
        << "bad.dravex-lesson, line 4: ask = \"guess\" is not a question";
    QTest::newRow("lesson key without file")
        << QStringList{"--lesson-key"} << 2 << "needs a lesson file";
    QTest::newRow("lesson key and study")
        << QStringList{"--lesson-key", "--study", h, badLesson} << 2 << "goes alone";
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    QTest::newRow("lesson sheet without PDF")
        << QStringList{"--lesson-sheet", badLesson} << 2 << "a lesson file and the PDF";
    QTest::newRow("lesson sheet, refused lesson")
        << QStringList{"--lesson-sheet", badLesson, pdf} << 1 << "bad.dravex-lesson, line 4";
    QTest::newRow("output without key")
        << QStringList{"--output", pdf, badLesson} << 2 << "--output goes with --lesson-key";
    const QString nine = QStringLiteral(EXAMPLES_DIR "/networks/wscc-9bus.dravex-network");
    QTest::newRow("lesson sheet of a network")
        << QStringList{"--lesson-sheet", nine, pdf} << 2 << "is a network: --lesson-sheet";
    QTest::newRow("load flow") << QStringList{"--load-flow", nine} << 0 << QString();
    QTest::newRow("load flow, MATPOWER")
        << QStringList{"--load-flow", EXAMPLES_DIR "/networks/wscc-9bus.m"} << 0 << QString();
    QTest::newRow("load flow, refused network")
        << QStringList{"--load-flow", dir.filePath(QStringLiteral("bad.dravex-network"))} << 1
        << ": line 4-10 ends at a bus the network does not have.";
    QTest::newRow("network without fault")
        << QStringList{"--critical-clearing-time",
                       dir.filePath(QStringLiteral("no-fault.dravex-network"))}
        << 1 << "no-fault.dravex-network has no fault";
    QTest::newRow("load flow of a scenario")
        << QStringList{"--load-flow", "a.dravex"} << 2 << "--load-flow needs a network file";
    QTest::newRow("screening without file")
        << QStringList{"--screen-lines"} << 2 << "--screen-lines needs a network file";
    QTest::newRow("screening and load flow")
        << QStringList{"--screen-lines", "--load-flow", nine} << 2 << "goes alone";
    QTest::newRow("study of a network")
        << QStringList{"--study", h, nine} << 2 << "is a network: --study takes a scenario file";
    QTest::newRow("network cleared at 2001 ms")
        << QStringList{"--export-run", csv, "--clearing", "2001", nine} << 2 << "0 to 2000 ms";
    QTest::newRow("lesson for a command")
        << QStringList{"--critical-clearing-time", badLesson} << 2 << "is a lesson";
    const QString lesson = QStringLiteral(EXAMPLES_DIR "/lessons/equal-area.dravex-lesson");
    QTest::newRow("marks without a record")
        << QStringList{"--lesson-marks", lesson} << 2 << "needs the lesson and one or more";
    QTest::newRow("marks of a file that is no record")
        << QStringList{"--lesson-marks", lesson, dir.filePath(QStringLiteral("bad.dravex"))} << 1
        << "bad.dravex, line 1: this is not a lesson record";
    QTest::newRow("moodle") << QStringList{"--lesson-moodle", lesson, "--variants", "100"} << 0
                            << QString();
    QTest::newRow("moodle, 101 variants")
        << QStringList{"--lesson-moodle", lesson, "--variants", "101"} << 2 << "from 1 to 100";
}

void TestCommandLine::exitCodes() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    const Outcome o = dravex(arguments);
    QVERIFY2(o.exitCode == exitCode, o.err.constData());
    QVERIFY2(QString::fromUtf8(o.err).contains(err), o.err.constData());
    QCOMPARE(o.err.isEmpty(), exitCode == 0);
}

void TestCommandLine::criticalClearingTimeOfTheDefaults() {
    const Outcome o = dravex({QStringLiteral("--critical-clearing-time")});
    QCOMPARE(o.exitCode, 0);
    QCOMPARE(QString::fromUtf8(o.out),
             criterionLine(TGenParams{}, FaultScenario{}) +
                 QStringLiteral("\nSimulation: in step up to 375 ms, out of step from 376 ms\n"));
}

void TestCommandLine::simulationLine_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("line"); // the simulation's, after the criterion's
    // The default machine data, damped: a little above the criterion's undamped 0.869. A
    // step's search is of P1.
    QTest::newRow("power step 0.5 to 0.7")
        << QStringLiteral(EXAMPLES_DIR "/power-step.dravex")
        << "Simulation: in step up to P1 0.879, out of step from 0.880";
    QTest::newRow("line out") << QStringLiteral(EXAMPLES_DIR "/line-out.dravex")
                              << "Simulation: in step up to Pmech 0.767, out of step from 0.768";
    QTest::newRow("past the slider") << QStringLiteral("pmech-0.3.dravex")
                                     << "Simulation: in step up to 630 ms, out of step from 631 "
                                        "ms, beyond the slider";
}

void TestCommandLine::simulationLine() {
    QFETCH(QString, file);
    QFETCH(QString, line);
    if (QFileInfo(file).isRelative()) {
        file = dir.filePath(file);
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[machine]\nPmech = 0.3\n");
    }
    const ScenarioFileResult read = readScenarioFile(file);
    QVERIFY2(read.ok, qPrintable(read.error));
    const Outcome o = dravex({QStringLiteral("--critical-clearing-time"), file});
    QCOMPARE(o.exitCode, 0);
    QCOMPARE(QString::fromUtf8(o.out),
             criterionLine(read.value.machine, read.value.scenario) + '\n' + line + '\n');
}

void TestCommandLine::exportRunWritesTheRunsCsv() {
    const QString csv = dir.filePath(QStringLiteral("run.csv"));
    StabilityCase c;
    for (const QStringList &more : {QStringList{}, QStringList{"--clearing", "+376"}}) {
        QCOMPARE(dravex(QStringList{"--export-run", csv} + more).exitCode, 0);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), runCsv(recordRun(c)));
        c.clearingMs = 376;
    }
}

void TestCommandLine::studyPrintsItsCsv() {
    // The file's case, each point searched up to the limit given.
    const QString file = QStringLiteral(EXAMPLES_DIR "/two-lines-halfway.dravex");
    const Outcome o = dravex({"--study", "location=10:90:5", "--limit", "1200", file});
    QCOMPARE(o.exitCode, 0);
    const QList<QByteArray> lines = o.out.split('\n');
    QCOMPARE(lines.size(), 2 + 5 + 1);
    QCOMPARE(lines[0], "# Dravex study: location from 10 to 90, 5 points, simulation up to 1200 "
                       "ms; case Pmax=450 H=6 Demping=2E-5 Pmech=0.6 clearing_ms=200 "
                       "network=two-lines during=0.361111111111111 after=0.8125");
    QCOMPARE(lines[1],
             "value,criterion_verdict,criterion_angle_deg,criterion_ms,simulation_out_of_step_ms");
    const StabilityCase c = readScenarioFile(file).value;
    const StudyRange range{StudyParameter::Location, 10, 90, 5};
    const StudyPoint p = studyPoint(c, StudyParameter::Location, 30, 1200);
    QCOMPARE(lines[3], studyCsv(c, range, 1200, {p}).split('\n')[2]);
}

void TestCommandLine::theProgramNeedsNoDisplay() {
    const QStringList arguments{QStringLiteral("--critical-clearing-time")};
    const Outcome o = dravexProcess(arguments);
    QCOMPARE(o.exitCode, 0);
    QCOMPARE(o.out, dravex(arguments).out);
}

// The worksheet and the key are drawn with fonts, yet need no display.
void TestCommandLine::sheetsNeedNoDisplay() {
    const QString lesson = QStringLiteral(EXAMPLES_DIR "/lessons/equal-area.dravex-lesson");
    const QString key = dir.filePath(QStringLiteral("key.pdf"));
    QCOMPARE(dravexProcess({"--lesson-key", lesson, "--output", key}).exitCode, 0);
    QFile written(key);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.read(5), QByteArray("%PDF-"));
    const QString nowhere = dir.filePath(QStringLiteral("no folder/sheet.pdf"));
    const Outcome o = dravexProcess({"--lesson-sheet", lesson, nowhere});
    QCOMPARE(o.exitCode, 1);
    QVERIFY2(o.err.contains("no folder/sheet.pdf"), o.err.constData());
}

void TestCommandLine::networkCommands() {
    const QString nine = QStringLiteral(EXAMPLES_DIR "/networks/wscc-9bus.dravex-network");
    const QList<QByteArray> flow = dravex({"--load-flow", nine}).out.split('\n');
    QCOMPARE(flow.size(), 2 + 9 + 1);
    QCOMPARE(flow[1], "bus,type,voltage_pu,angle_deg,p_gen_pu,q_gen_pu,p_load_pu,q_load_pu");
    QVERIFY2(flow[2].startsWith("1,slack,1.04,0,"), flow[2].constData());
    QVERIFY2(flow[6].endsWith(",1.25,0.5"), flow[6].constData()); // bus 5's load

    const QString lines = QString::fromUtf8(dravex({"--critical-clearing-time", nine}).out);
    static const QRegularExpression form(
        QStringLiteral("^Simulation: in step up to (\\d+) ms, out of step from (\\d+) ms\n"
                       "Equivalent \\(machines 2, 3 against 1\\): critical angle [0-9.]+\u00b0, "
                       "critical clearing time \\d+ ms\n$"));
    const QRegularExpressionMatch m = form.match(lines);
    QVERIFY2(m.hasMatch(), qPrintable(lines));
    QCOMPARE(m.captured(2).toInt(), m.captured(1).toInt() + 1);

    const QString csv = dir.filePath(QStringLiteral("network-run.csv"));
    QCOMPARE(dravex({"--export-run", csv, "--clearing", "83", nine}).exitCode, 0);
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readLine(), "# Dravex network run: a fault at bus 7, cleared after 83 ms by "
                              "opening line 5-7\n");
    QCOMPARE(file.readLine(), "time_s,delta_1_deg,delta_2_deg,delta_3_deg,speed_1_rad_s,"
                              "speed_2_rad_s,speed_3_rad_s\n");

    const QList<QByteArray> screen = dravex({"--screen-lines", nine}).out.split('\n');
    QCOMPARE(screen[1], "line,fault_bus,simulation_cct_ms,equivalent_cct_ms,critical_machines");
    QVERIFY(screen.size() >= 2 + 2 * 6 + 1); // at least both ends of the six lines
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
