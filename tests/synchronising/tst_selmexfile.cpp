// Selmex scenario files: what is refused (file and line named, nothing handed out), the
// oddities accepted, the round trip of a full start and of a switchboard, the examples; the
// switchboard's actions files; and seeded starts.
#include "actionsfile.h"
#include "keyfile.h"
#include "selmexfile.h"
#include "switchboardkeys.h"

#include <cmath>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(SelmexScenario)
Q_DECLARE_METATYPE(SelmexStart)
Q_DECLARE_METATYPE(SwitchboardSettings)

namespace {

bool same(const SelmexScenario &a, const SelmexScenario &b) {
    return a.voltage == b.voltage && a.frequency == b.frequency && a.reversed == b.reversed &&
           a.wrongOrder == b.wrongOrder && a.angle == b.angle && a.maxAngle == b.maxAngle;
}

// Every key's text as the file writes it: the shortest that reads back to the same
// double, so that equal texts are equal numbers (-0 included).
bool same(const SwitchboardSettings &a, const SwitchboardSettings &b) {
    return allSwitchboardKeyValues(a) == allSwitchboardKeyValues(b);
}

SelmexStart seeded(std::uint32_t n, const SelmexScenario &s = {}) {
    RandomSource random(seededClock(n));
    return drawStart(random, s);
}

} // namespace

class TestSelmexFile : public QObject {
    Q_OBJECT
private slots:
    void refused_data();
    void refused();
    void accepted_data();
    void accepted();
    void roundTrip_data();
    void roundTrip();
    void filesOnDisk();
    void examplesRead();
    void seededStarts();
    void switchboardRead_data();
    void switchboardRead();
    void switchboardWritten_data();
    void switchboardWritten();
    void actionsRefused_data();
    void actionsRefused();
    void actionTimes_data();
    void actionTimes();
    void actionsRoundTrip();
    void leadingComments_data();
    void leadingComments();
    void commentsWrittenFirst_data();
    void commentsWrittenFirst();
};

void TestSelmexFile::refused_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line"); // 0: the message names no line
    QTest::addColumn<QString>("why");
    const auto row = [](const char *name, const QByteArray &text, int line, const char *why) {
        QTest::newRow(name) << text << line << QString::fromUtf8(why);
    };
    row("unknown section", "#\n[generatr]\n", 2, "not a section");
    row("unclosed section", "[generator\n", 1, "not a [section]");
    row("unknown key", "[generator]\nvoltag = 380\n", 2, "\"voltag\" is not a key of [generator]");
    row("key twice", "[generator]\nangle = 0\n\nangle = 0\n", 4, "twice");
    row("section twice", "[setup]\n[generator]\n[setup]\n", 3, "twice");
    row("key before a section", "voltage = 380\n", 1, "before any");
    row("no =", "[generator]\nvoltage 380\n", 2, "neither");
    row("empty", "[generator]\nvoltage =  # none\n", 2, "no value");
    for (const char *form : {"380,5", "380.0", ".5", "+380", "-0", "3.8e2", "nan", "inf", "0x17C"})
        QTest::newRow(form) << QByteArray("[generator]\nvoltage = ") + form << 2
                            << QStringLiteral("not a whole number");
    row("voltage 837", "[generator]\nfrequency = 3\nvoltage = 837\n", 3, "voltage must");
    row("voltage 2^64", "[generator]\nvoltage = 18446744073709551616\n", 2, "voltage must");
    row("frequency 101", "[generator]\nfrequency = 101\n", 2, "frequency must");
    row("angle 90", "[generator]\nangle = 90\n", 2, "angle must");
    row("max_angle 25", "[generator]\n[setup]\nmax_angle = 25\n", 3, "max_angle must");
    row("direction", "[generator]\ndirection = backwards\n", 2, "same or reversed");
    row("phase order", "[generator]\nphase_order = Wrong\n", 2, "right or wrong");
    row("not UTF-8", "[generator]\n# caf\xE9\n", 2, "not UTF-8");
    QTest::newRow("over 64 KiB") << QByteArray(MaxSelmexFileBytes + 1, '#') << 0 << "64 KiB";
    // Just beyond each end of each number's range.
    const char *const edges[][3] = {
        {"bus_frequency", "49.49", "50.51"}, {"frequency", "39.99", "60.01"},
        {"voltage", "189.9", "570.1"},       {"angle", "-180.01", "180.01"},
        {"breaker_ms", "9", "501"},          {"governor_rate", "0", "1.001"},
        {"avr_rate", "-0", "10.01"},         {"speed_lag_s", "-0.001", "10.001"},
        {"voltage_lag_s", "-1e-9", "11"},    {"inertia_s", "0.49", "20.1"},
        {"droop_pct", "0.99", "20.01"},      {"reverse_power_pct", "0.09", "50.1"},
        {"reverse_power_s", "0.099", "61"},
    };
    for (const auto &[key, low, high] : edges)
        for (const char *v : {low, high})
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(key, v)))
                << QByteArray("[switchboard]\n") + key + " = " + v << 2
                << QStringLiteral("%1 must").arg(key);
    row("breaker_ms 2^64", "[switchboard]\nbreaker_ms = 18446744073709551616\n", 2,
        "breaker_ms must");
    row("breaker_ms decimal", "[switchboard]\nbreaker_ms = 80.5\n", 2, "not a whole number");
    for (const char *form : {"49,8", "nan", "inf", "0x32", "49.8Hz", "--1", "1e", ".", "4 9"})
        QTest::newRow(qPrintable(QStringLiteral("frequency = %1").arg(form)))
            << QByteArray("[switchboard]\nfrequency = ") + form << 2
            << QStringLiteral("not a number");
    row("1e999", "[switchboard]\nvoltage = 1e999\n", 2, "too large or too close to 0");
    row("lamps", "[switchboard]\nlamps = Dark\n", 2, "write dark, bright or rotating");
    row("phase_order", "[switchboard]\nphase_order = wrong\n", 2, "write same or reversed");
    row("mode", "[switchboard]\nmode = auto\n", 2, "write manual, permissive or automatic");
    row("the generator's words", "[generator]\nphase_order = same\n", 2, "right or wrong");
    row("switchboard key twice", "[switchboard]\nmode = manual\n#\nmode = manual\n", 4, "twice");
    row("switchboard twice", "[switchboard]\n[generator]\n[switchboard]\n", 3, "twice");
    row("a generator's key", "[switchboard]\ndirection = same\n", 2, "not a key of [switchboard]");
    row("bus", "[switchboard]\nbus = Island\n", 2, "write infinite or island");
    row("[island] on the infinite bus", "[switchboard]\n[island]\ntask = none\n", 2,
        "[island] needs bus = island in [switchboard]");
    row("[load] alone, before [island]", "[load]\n[island]\n", 1, "[load] needs bus = island");
    const QByteArray island = "[switchboard]\nbus = island\n[island]\n";
    row("island's unknown key", island + "running_droop = 4\n", 4,
        "\"running_droop\" is not a key of [island]");
    row("task", island + "task = share\n", 4,
        "write none, synchronise, share_equally, take_running_set_off or ride_load_step");
    row("load key twice", island + "[load]\np_kw = 1\nq_kvar = 1\np_kw = 1\n", 7,
        "p_kw is given twice");
    row("step on the same millisecond",
        island + "[load]\nstep = 30, 1, 1\n\nstep = 29.9995, 1, 1\n", 7,
        "the step at 29.9995 s does not come after the step before (line 5)");
    for (const char *form : {"30, 1", "30, 1, 1, 1", "30,5, 1, 1", "30 1 1", "30, 1,"})
        QTest::newRow(qPrintable(QStringLiteral("step = %1").arg(form)))
            << island + "[load]\nstep = " + form << 5
            << QStringLiteral("such as step = 30, 120, 90");
    for (const char *t : {"-0.001", "86400.001"})
        row(t, island + "[load]\nstep = " + t + ", 1, 1\n", 5, "from 0 to 86400 s");
    // Just beyond the island's ranges, each refused on its own line.
    row("running_rating_kw 0.99", island + "running_rating_kw = 0.99\n", 4,
        "running_rating_kw must lie from 1 to 100000 kW, not 0.99.");
    row("p_kw -0.01", island + "[load]\np_kw = -0.01\n", 5, "p_kw must lie from 0 to 100000 kW");
    row("step's kvar", island + "[load]\nstep = 1, 0, 1e6\n", 5, "a step's q_kvar must lie");
    QByteArray many = island + "[load]\n";
    for (int i = 0; i <= 100; ++i) many += "step = " + QByteArray::number(i) + ", 1, 1\n";
    row("101 steps", many, 105, "more than 100 load steps");
}

void TestSelmexFile::refused() {
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, why);
    const SelmexFileResult r = parseSelmexScenario(text, QStringLiteral("ex%2.selmex"));
    QVERIFY(!r.ok);
    // The %2 in the name stays as it is.
    const QString start =
        line ? QStringLiteral("ex%2.selmex, line %1: ").arg(line) : QStringLiteral("ex%2.selmex: ");
    QVERIFY2(r.error.startsWith(start), qPrintable(r.error));
    QVERIFY2(r.error.contains(why), qPrintable(r.error));
    QVERIFY(same(r.value, SelmexScenario{}) && !r.switchboard);
}

void TestSelmexFile::accepted_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<SelmexScenario>("expected");
    const SelmexScenario some{836, {}, false, {}, 240, 0}, noSetup{{}, 0, {}, true, {}, 20};
    QTest::newRow("empty: all drawn, max_angle 20") << QByteArray() << SelmexScenario{};
    QTest::newRow("BOM, CRLF, comments, blanks")
        << QByteArray("\xEF\xBB\xBF# \xC3\xA9\r\n[ generator ]  # g\r\n\t voltage\t=  836 #\r\n"
                      "\r\nangle=0240\r\ndirection = same#x\r\n[setup]\r\nmax_angle = 0")
        << some;
    QTest::newRow("no [setup]") << QByteArray("[generator]\nfrequency = 0\nphase_order = wrong\n")
                                << noSetup;
}

void TestSelmexFile::accepted() {
    QFETCH(QByteArray, text);
    QFETCH(SelmexScenario, expected);
    const SelmexFileResult r = parseSelmexScenario(text, QStringLiteral("ex.selmex"));
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(same(r.value, expected));
}

void TestSelmexFile::roundTrip_data() {
    QTest::addColumn<SelmexStart>("start");
    QTest::newRow("defaults") << SelmexStart{};
    QTest::newRow("highest") << SelmexStart{836, 100, true, true, 240, 100};
    QTest::newRow("lowest") << SelmexStart{228, 0, false, true, 120, 0};
}

void TestSelmexFile::roundTrip() {
    QFETCH(SelmexStart, start);
    const SelmexFileResult r =
        parseSelmexScenario(selmexScenarioText(start), QStringLiteral("ex.selmex"));
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(r.value.voltage && r.value.frequency && r.value.reversed && r.value.wrongOrder &&
            r.value.angle);
    QCOMPARE(seeded(7, r.value), start);
}

void TestSelmexFile::filesOnDisk() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ex.selmex"));
    const SelmexStart start{304, 42, true, true, 120, 30};
    QString error;
    QVERIFY2(writeSelmexScenario(path, start, &error), qPrintable(error));
    QCOMPARE(seeded(1, readSelmexScenario(path).value), start);
    // Not written: a start the program would refuse to read, a folder that is not there.
    QVERIFY(!writeSelmexScenario(path, SelmexStart{380, 50, false, false, 90, 20}, &error));
    QVERIFY(!writeSelmexScenario(dir.filePath(QStringLiteral("no/ex.selmex")), start, &error));
    QVERIFY(error.contains(QStringLiteral("no/ex.selmex")));
    QCOMPARE(seeded(1, readSelmexScenario(path).value), start);

    QFile big(path);
    QVERIFY(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(MaxSelmexFileBytes + 1, '\n'));
    big.close();
    QVERIFY(readSelmexScenario(path).error.startsWith(
        QStringLiteral("ex.selmex: the file is over 64 KiB")));
    QVERIFY(readSelmexScenario(dir.filePath(QStringLiteral("none.selmex")))
                .error.startsWith(QStringLiteral("none.selmex: cannot be read: ")));
}

void TestSelmexFile::examplesRead() {
    const QFileInfoList files =
        QDir(QStringLiteral(EXAMPLES_DIR)).entryInfoList({QStringLiteral("*.selmex")});
    QVERIFY(files.size() >= 7);
    int switchboards = 0;
    for (const QFileInfo &file : files) {
        const SelmexFileResult r = readSelmexScenario(file.filePath());
        QVERIFY2(r.ok, qPrintable(r.error));
        // A switchboard exercise is named so, and tells its task in its comments.
        QCOMPARE(bool(r.switchboard), file.fileName().startsWith(QStringLiteral("switchboard-")));
        QVERIFY(r.comments.size() > 100);
        switchboards += r.switchboard ? 1 : 0;
    }
    QVERIFY(switchboards >= 4);
}

void TestSelmexFile::seededStarts() {
    const SelmexScenario voltageOnly{836, {}, {}, {}, {}, 20};
    for (const std::uint32_t n : {0u, 1u, 12345u, 4294967295u}) {
        QCOMPARE(seeded(n), seeded(n));
        QVERIFY(seeded(n) != seeded(n + 1));
        // What a scenario leaves out is drawn as without it.
        SelmexStart expected = seeded(n);
        expected.voltage = 836;
        QCOMPARE(seeded(n, voltageOnly), expected);
    }
}

void TestSelmexFile::leadingComments_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("comments");
    QTest::newRow("none") << QByteArray("[generator]\n# later\n") << QByteArray();
    QTest::newRow("block, blank line kept between, dropped after")
        << QByteArray("# One\n#\n\n  # two\n\n[generator]\n# not this\n")
        << QByteArray("# One\n#\n\n  # two\n");
    QTest::newRow("mark, CRLF, blanks before, no last line end")
        << QByteArray("\xEF\xBB\xBF\r\n \t\r\n# A\r\n\r\n# B") << QByteArray("# A\n\n# B\n");
}

void TestSelmexFile::leadingComments() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, comments);
    QCOMPARE(::leadingComments(text), comments);
}

void TestSelmexFile::commentsWrittenFirst_data() {
    QTest::addColumn<QByteArray>("comments");
    QTest::addColumn<QByteArray>("top"); // the text before "[generator]"
    const QByteArray own = "# A Selmex exercise: the generator's start and the setup\n";
    QTest::newRow("none") << QByteArray() << own;
    QTest::newRow("an exercise's")
        << QByteArray("# Ex 1\n#\n# Why?\n") << "# Ex 1\n#\n# Why?\n\n" + own;
    QTest::newRow("saved before, not doubled") << "# Ex 1\n\n" + own << "# Ex 1\n\n" + own;
    QTest::newRow("a key line is no comment") << QByteArray("voltage = 400\n# x\n") << own;
}

void TestSelmexFile::commentsWrittenFirst() {
    QFETCH(QByteArray, comments);
    QFETCH(QByteArray, top);
    const QByteArray text = selmexScenarioText(SelmexStart{}, comments);
    QCOMPARE(text.left(text.indexOf("[generator]")), top);
    const SelmexFileResult r = parseSelmexScenario(text, QStringLiteral("ex.selmex"));
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.comments, top); // and read back as they were written
}

void TestSelmexFile::switchboardRead_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("has");
    QTest::addColumn<SwitchboardSettings>("expected");
    SwitchboardSettings edges;
    edges.busFrequency = 50.5;
    edges.angle = -180;
    edges.breakerMs = 500;
    edges.speedLagS = 0;
    edges.governorRate = 1;
    edges.lamps = LampMethod::Rotating;
    edges.phaseOrderReversed = true;
    edges.mode = SwitchboardMode::Permissive;
    QTest::newRow("no section") << QByteArray("[generator]\n") << false << SwitchboardSettings{};
    QTest::newRow("empty section: the defaults")
        << QByteArray("[switchboard]\n") << true << SwitchboardSettings{};
    SwitchboardSettings island;
    island.bus = BusKind::Island;
    island.island.task = IslandTask::RideLoadStep;
    island.load.qKvar = -3;
    island.load.steps = {{0, 0, 0}, {30000, 120, 90}, {30001, 1.5, 2}};
    QTest::newRow("an island, the rest its defaults")
        << QByteArray("[load]\nq_kvar = -3\nstep = 0, 0, 0\nstep = 30, 120, 90\n"
                      "step=30.0005,1.5,2 # to the nearest ms\n[island]\n"
                      "task = ride_load_step\n[switchboard]\nbus = island\n")
        << true << island;
    QTest::newRow("the ends of ranges, beside [generator]")
        << QByteArray("[generator]\nphase_order = wrong\n[switchboard]\nbus_frequency=5.05E1\n"
                      "angle = -180.0\nbreaker_ms = +500\nspeed_lag_s = 0\ngovernor_rate=1.\n"
                      "lamps = rotating\nphase_order = reversed\nmode = permissive\n")
        << true << edges;
}

void TestSelmexFile::switchboardRead() {
    QFETCH(QByteArray, text);
    QFETCH(bool, has);
    QFETCH(SwitchboardSettings, expected);
    const SelmexFileResult r = parseSelmexScenario(text, QStringLiteral("sb.selmex"));
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(bool(r.switchboard), has);
    if (has) QVERIFY(same(*r.switchboard, expected));
}

void TestSelmexFile::switchboardWritten_data() {
    QTest::addColumn<SwitchboardSettings>("settings");
    SwitchboardSettings odd; // numbers whose shortest text is long, or at a range's end
    odd.busFrequency = std::nextafter(50.5, 0.0);
    odd.frequency = 40;
    odd.voltage = 0.1 * 3 + 369.7;
    odd.angle = 180;
    odd.breakerMs = 10;
    odd.governorRate = 0.1 + 0.2;
    odd.avrRate = 10;
    odd.speedLagS = 1.0 / 3;
    odd.voltageLagS = 0;
    odd.inertiaS = 0.5;
    odd.droopPct = 20;
    odd.reversePowerPct = 0.1;
    odd.reversePowerS = 60;
    odd.lamps = LampMethod::Bright;
    odd.phaseOrderReversed = true;
    odd.mode = SwitchboardMode::Automatic;
    QTest::newRow("defaults") << SwitchboardSettings{};
    QTest::newRow("odd numbers, other words") << odd;
    SwitchboardSettings island = odd;
    island.bus = BusKind::Island;
    island.island = {
        1 + 1.0 / 3, 20, 40, 1, 570, 100000, 0.1 + 0.2 + 1, 7, IslandTask::TakeRunningSetOff};
    island.load.pKw = 0;
    island.load.steps = {{1, 0.1 + 0.2, -1e-9}, {86400000, 100000, -100000}};
    QTest::newRow("an island") << island;
}

void TestSelmexFile::switchboardWritten() {
    QFETCH(SwitchboardSettings, settings);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sb.selmex"));
    const SelmexStart start{304, 42, true, true, 120, 30};
    QString error;
    QVERIFY2(writeSelmexScenario(path, start, &error, "# Task\n", settings), qPrintable(error));
    const SelmexFileResult r = readSelmexScenario(path);
    QVERIFY2(r.ok && r.switchboard, qPrintable(r.error));
    QVERIFY(same(*r.switchboard, settings));
    QCOMPARE(seeded(1, r.value), start);
    // Only an island's file has the bus's key: other files are as before islands.
    QCOMPARE(selmexScenarioText(start, {}, settings).contains("\nbus = island\nbus_frequency"),
             settings.bus == BusKind::Island);
    // Saved again as it was opened, it is the same file.
    QCOMPARE(selmexScenarioText(start, r.comments, r.switchboard),
             selmexScenarioText(start, "# Task\n", settings));

    // Not written, the file left as it was: a switchboard out of range, or comments that
    // would make a file too large to read.
    SwitchboardSettings bad = settings;
    bad.inertiaS = std::nan("");
    QVERIFY(!writeSelmexScenario(path, start, &error, {}, bad));
    QVERIFY2(error.contains(QStringLiteral("inertia_s must")), qPrintable(error));
    const QByteArray longComments = QByteArray(MaxSelmexFileBytes - 200, '#') + '\n';
    QVERIFY(parseSelmexScenario(longComments, {}).ok);
    QVERIFY(!writeSelmexScenario(path, start, &error, longComments, settings));
    QVERIFY2(error.contains(QStringLiteral("64 KiB")), qPrintable(error));
    QVERIFY(same(*readSelmexScenario(path).switchboard, settings));
}

void TestSelmexFile::actionsRefused_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line"); // 0: the message names no line
    QTest::addColumn<QString>("why");
    const auto row = [](const char *name, const QByteArray &text, int line, const char *why) {
        QTest::newRow(name) << text << line << QString::fromUtf8(why);
    };
    const QByteArray head = "time_s,control,state\n";
    row("empty", "\xEF\xBB\xBF\r\n", 0, "empty");
    row("other header", "time,control,state\n", 1, "write time_s,control,state");
    row("two fields", head + "1,breaker\n", 2, "2 fields");
    row("decimal comma", head + "1,5,breaker,close\n", 2, "4 fields");
    row("unknown control", head + "1,throttle,press\n", 2, "\"throttle\" is not a control");
    row("running breaker's close", head + "1,running_breaker,close\n", 2,
        "running_breaker takes open, not \"close\"");
    row("state of another control", head + "1,breaker,press\n", 2,
        "breaker takes close or open, not \"press\"");
    row("unknown state", head + "1,mode,auto\n", 2, "mode takes manual, permissive or automatic");
    for (const char *t : {"", "+1", "1e3", "0x1", "1.2.3", "nan", "\xC2\xB9", "1 000", "-"})
        QTest::newRow(qPrintable(QStringLiteral("time %1").arg(QString::fromUtf8(t))))
            << head + t + ",breaker,close\n"
            << 2 << QStringLiteral("not a time in seconds");
    row("negative", head + "-0.0001,breaker,close\n", 2, "negative");
    row("beyond 24 h", head + "86400.0000001,breaker,close\n", 2, "beyond 24 hours");
    row("beyond 2^63 ms", head + "99999999999999999999,breaker,close\n", 2, "beyond 24 hours");
    row("earlier", head + "2,breaker,close\n\n1.9999,breaker,open\n", 4,
        "earlier than the row before (\"2\" on line 2)");
    row("not UTF-8", head + "1,breaker,close\n# caf\xE9\n", 3, "not UTF-8");
    QByteArray many = head;
    for (std::size_t i = 0; i <= Switchboard::MaxActions; ++i) many += "0,breaker,open\n";
    row("too many", many, int(Switchboard::MaxActions) + 2, "more than 100000 actions");
    row("too large", head + QByteArray(MaxActionsFileBytes, '\n'), 0, "too large");
}

void TestSelmexFile::actionsRefused() {
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, why);
    const SwitchboardActionsResult r = parseSwitchboardActions(text, QStringLiteral("a%2.csv"));
    QVERIFY(!r.ok);
    QVERIFY(r.actions.empty());
    const QString start =
        line ? QStringLiteral("a%2.csv, line %1: ").arg(line) : QStringLiteral("a%2.csv: ");
    QVERIFY2(r.error.startsWith(start), qPrintable(r.error));
    QVERIFY2(r.error.contains(why), qPrintable(r.error));
}

void TestSelmexFile::actionTimes_data() {
    QTest::addColumn<QByteArray>("time");
    QTest::addColumn<qint64>("ms"); // the first whole millisecond at or after the time
    const auto row = [](const char *t, qint64 ms) { QTest::newRow(t) << QByteArray(t) << ms; };
    row("-0.000", 0);
    row("2.35", 2350);
    row("0.0001", 1);
    row("1.00000000000000000001", 1001); // a double would read 1
    row("0.29999999999999999", 300);     // and 0.3, one step too late or early
    row(".5", 500);
    row("86399.9991", 86400000);
    row("86400", 86400000);
}

void TestSelmexFile::actionTimes() {
    QFETCH(QByteArray, time);
    QFETCH(qint64, ms);
    const SwitchboardActionsResult r = parseSwitchboardActions(
        "\xEF\xBB\xBFtime_s , control,state\r\n\r\n" + time + ",\tmode ,automatic\r\n",
        QStringLiteral("a.csv"));
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.actions.size(), std::size_t(1));
    QCOMPARE(qint64(r.actions[0].timeMs), ms);
}

void TestSelmexFile::actionsRoundTrip() {
    using C = SwitchboardControl;
    using S = ControlState;
    const std::vector<SwitchboardAction> actions{
        {0, C::SpeedRaise, S::Press},        {2350, C::SpeedRaise, S::Release},
        {2350, C::SpeedLower, S::Press},     {9001, C::VoltageRaise, S::Press},
        {9001, C::VoltageLower, S::Release}, {12000, C::Mode, S::Permissive},
        {31412, C::Breaker, S::Close},       {40000, C::Breaker, S::Open},
        {86400000, C::Mode, S::Manual},      {86400000, C::Mode, S::Automatic},
    };
    const QByteArray csv = switchboardActionsCsv(actions);
    QVERIFY(csv.startsWith("time_s,control,state\n0.000,speed_raise,press\n2.350,speed_raise,"
                           "release\n2.350,speed_lower,press\n9.001,voltage_raise,press\n"));
    QVERIFY(csv.endsWith("\n86400.000,mode,automatic\n"));
    // The running set's controls as a person writes them.
    const QByteArray running = "time_s,control,state\n1.000,running_speed_raise,press\n1.000,"
                               "running_speed_lower,release\n1.000,running_voltage_raise,press\n"
                               "1.000,running_voltage_lower,release\n1.000,running_breaker,open\n";
    QCOMPARE(switchboardActionsCsv(parseSwitchboardActions(running, {}).actions), running);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.csv"));
    QString error;
    QVERIFY2(writeSelmexFile(path, csv, &error), qPrintable(error));
    const SwitchboardActionsResult r = readSwitchboardActions(path);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(switchboardActionsCsv(r.actions), csv);
    QVERIFY(readSwitchboardActions(dir.filePath(QStringLiteral("none.csv")))
                .error.startsWith(QStringLiteral("none.csv: cannot be read: ")));
}

QTEST_GUILESS_MAIN(TestSelmexFile)
#include "tst_selmexfile.moc"
