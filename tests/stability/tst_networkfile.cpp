// Network files and MATPOWER cases: what is refused (file and line named), the bit-exact
// round trip of a grid, the comments kept, and a case's powers and machines brought to the
// system base.
#include "matpowercase.h"
#include "networkfile.h"

#include <cstring>
#include <QtTest>

using namespace multimachine;

namespace {

// Two machines and a load: bus 1 the slack, bus 2 PV, bus 3 PQ.
const QByteArray threeBuses = "[network]\nfrequency = 50\n"
                              "[bus 1]\ntype = slack\nvoltage = 1.04\n"
                              "[bus 2]\ntype = pv\nvoltage = 1.02\ngeneration = 0.8\n"
                              "[bus 3]\ntype = pq\nload_p = 1.2\nload_q = 0.4\n"
                              "[line 1-3]\nx = 0.1\n[line 2-3]\nr = 0.01\nx = 0.12\nb = 0.02\n"
                              "[machine 1]\nH = 10\nxd_prime = 0.05\n"
                              "[machine 2]\nH = 4\nxd_prime = 0.2\n";

// A case of three buses at 100 MVA: the generator at bus 2 on 250 MVA, two at bus 3 on
// 100 MVA (MBASE 0: the system's) and 50 MVA; bus 1 a PQ load of 90 MW and 30 Mvar.
QByteArray matpowerCase(const QByteArray &lastBranch = "2 3 0.01 0.1 0 0 0 0 0 0 1") {
    return "function mpc = case3\n% A small case\nmpc.version = '2';\nmpc.baseMVA = 100;\n"
           "mpc.bus = [\n"
           "  1 1 90 30 0 19 1 1 0 230 1 1.1 0.9;\n"
           "  2 3 0 0 0 0 1 1.04 0 230 1 1.1 0.9;\n"
           "  3 2 0 0 0 0 1 1.02 0 230 1 1.1 0.9;\n];\n"
           "mpc.gen = [\n"
           "  2 0 0 Inf -Inf 1.04 250 1 300 0;\n"
           "  3 30 0 99 -99 1.02 0 1 100 0;\n"
           "  3 20 0 99 -99 1.03 50 1 100 0;\n"
           "  3 70 0 99 -99 1.03 50 0 100 0;\n];\n"
           "mpc.gencost = [ 2 0 0 3 0.1 20 0 ];\n"
           "mpc.branch = [\n  1 2 0.01 0.1 0.02 0 0 0 0 0 1;\n"
           "  1 3 0.01 0.1 0.02 0 0 0 0.98 0 1;\n  " +
           lastBranch + ";\n];\n";
}

} // namespace

class TestNetworkFile : public QObject {
    Q_OBJECT
private slots:
    void refused_data();
    void refused();
    void roundTrip();
    void commentsKept();
    void matpowerRefused_data();
    void matpowerRefused();
    void matpowerOnTheSystemBase();
    void examplesRead();
};

void TestNetworkFile::refused_data() {
    QTest::addColumn<QByteArray>("replace"); // "old|new" in threeBuses
    QTest::addColumn<QString>("error");
    QTest::newRow("unknown key") << QByteArray("b = 0.02|colour = red")
                                 << "net.dravex-network, line 19: \"colour\" is not a key of "
                                    "[line 2-3] (its keys: r, x, b, tap).";
    QTest::newRow("key twice") << QByteArray("load_q = 0.4|load_q = 0.4\nload_p = 1")
                               << "line 14: load_p is given twice in [bus 3] (first on line 12).";
    QTest::newRow("bus twice") << QByteArray("[bus 3]|[bus 2]")
                               << "line 10: bus 2 is given twice (first on line 6).";
    QTest::newRow("line twice, turned") << QByteArray("[line 2-3]|[line 3-1]")
                                        << "line 16: line 3-1 is given twice (first on line 14).";
    QTest::newRow("comma") << QByteArray("x = 0.12|x = 0,12")
                           << "line 18: x = \"0,12\" is not a number: write it with digits";
    QTest::newRow("not finite") << QByteArray("H = 4|H = 1e999")
                                << "line 24: H = \"1e999\" is too large or too close to 0";
    QTest::newRow("no x") << QByteArray("x = 0.1\n|")
                          << "line 14: [line 1-3] needs x, the series reactance in pu.";
    QTest::newRow("missing bus") << QByteArray("[line 1-3]|[line 1-7]")
                                 << "line 14: line 1-7 ends at a bus the network does not have.";
    QTest::newRow("two slacks") << QByteArray("type = pv|type = slack")
                                << "net.dravex-network: a network needs exactly one slack bus, "
                                   "this one has 2.";
    QTest::newRow("disconnected") << QByteArray("[line 2-3]|[line 1-3 2]")
                                  << ": the network falls apart: not every bus is reached";
    QTest::newRow("no machine") << QByteArray("[machine 2]|[machine 3]")
                                << "line 6: bus 2 generates but has no machine.";
    QTest::newRow("bad machine") << QByteArray("H = 4|H = -4")
                                 << "line 23: the machine at bus 2 needs a positive H and x'd";
    QTest::newRow("frequency") << QByteArray("frequency = 50|frequency = 55")
                               << "line 2: frequency = \"55\": the network's frequency must be 50";
    QTest::newRow("bus type") << QByteArray("type = pq|type = load")
                              << "line 11: type = \"load\" is not a kind of bus: write slack, pv";
    QTest::newRow("bus name") << QByteArray("[bus 3]|[bus three]")
                              << "line 10: [bus three] does not give the bus's number";
    QTest::newRow("fault unknown bus") << QByteArray("[machine 1]|[fault]\nbus = 9\n[machine 1]")
                                       << "line 20: the fault is at bus 9, which the network";
    QTest::newRow("fault at bus and line")
        << QByteArray("[machine 1]|[fault]\nbus = 3\nline = 1-3\n[machine 1]")
        << "line 22: the fault is either at a bus or on a line";
    QTest::newRow("reclosing without opening")
        << QByteArray("[machine 1]|[fault]\nbus = 3\nreclose_ms = 300\n[machine 1]")
        << "line 22: reclose_ms closes the opened line again: give open_line as well.";
    QTest::newRow("clear_ms 2001") << QByteArray("[machine 1]|[fault]\nbus = 3\nclear_ms = "
                                                 "2001\n[machine 1]")
                                   << "line 22: clear_ms = \"2001\" must lie from 0 to 2000 ms.";
    QTest::newRow("not UTF-8") << QByteArray("load_q = 0.4|load_q = 0.4 # \xff")
                               << "line 13: the text is not UTF-8.";
}

void TestNetworkFile::refused() {
    QFETCH(QByteArray, replace);
    QFETCH(QString, error);
    const QList<QByteArray> parts = replace.split('|');
    QByteArray text = threeBuses;
    QVERIFY(text.contains(parts[0]));
    text.replace(text.indexOf(parts[0]), parts[0].size(), parts[1]);
    const NetworkFileResult r = parseNetwork(text, QStringLiteral("net.dravex-network"));
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(error), qPrintable(r.error));
    QVERIFY(r.grid.buses.empty());
    QVERIFY(parseNetwork(threeBuses, QStringLiteral("net.dravex-network")).ok);
}

void TestNetworkFile::roundTrip() {
    Grid g = parseNetwork(threeBuses, QStringLiteral("n")).grid;
    g.baseMva = 0.1 + 0.2; // a number with no short decimal form
    g.buses[2].shuntB = -1.0 / 3;
    g.buses[2].x = 120;
    g.buses[2].y = -2.5e-7;
    g.branches[0].tap = 1.0 / 0.975;
    g.branches.push_back(Branch{3, 1, 2, 0, 0.3, 0, std::nullopt});
    g.machines[1].damping = 2e-5;
    g.fault.line = BranchId{1, 3, 2};
    g.fault.location = 0.3;
    g.fault.clearMs = 117;
    g.fault.openLine = BranchId{3, 1, 2};
    g.fault.recloseMs = 400;
    const QByteArray text = networkText(g);
    const NetworkFileResult r = parseNetwork(text, QStringLiteral("n"));
    QVERIFY2(r.ok, qPrintable(r.error + '\n' + text));
    QCOMPARE(r.grid.baseMva, 0.1 + 0.2);
    QCOMPARE(std::memcmp(&r.grid.buses[2].shuntB, &g.buses[2].shuntB, sizeof(double)), 0);
    QCOMPARE(*r.grid.buses[2].y, -2.5e-7);
    QCOMPARE(*r.grid.branches[0].tap, 1.0 / 0.975);
    QCOMPARE(r.grid.branches[2].circuit, 2);
    QCOMPARE(r.grid.machines[1].damping, 2e-5);
    QVERIFY(*r.grid.fault.line == (BranchId{1, 3, 2}) &&
            *r.grid.fault.openLine == *g.fault.openLine);
    QCOMPARE(r.grid.fault.location, 0.3);
    QCOMPARE(*r.grid.fault.recloseMs, 400);
    QCOMPARE(networkText(r.grid), text);
}

void TestNetworkFile::commentsKept() {
    const QByteArray top = "# Exercise 4: three buses\n#\n# Which machine swings most?\n";
    const NetworkFileResult r = parseNetwork(top + "\n" + threeBuses, QStringLiteral("n"));
    QVERIFY(r.ok);
    QCOMPARE(r.comments, top);
    const QByteArray text = networkText(r.grid, r.comments);
    QVERIFY(text.startsWith(top + "\n# A Dravex network:"));
    // Saved again, the block and the program's own line stand once.
    QCOMPARE(networkText(r.grid, parseNetwork(text, QStringLiteral("n")).comments), text);
}

void TestNetworkFile::matpowerRefused_data() {
    QTest::addColumn<QByteArray>("lastBranch");
    QTest::addColumn<QByteArray>("replace"); // "old|new" in the case, or empty
    QTest::addColumn<QString>("error");
    const QByteArray line = "2 3 0.01 0.1 0 0 0 0 0 0 1";
    QTest::newRow("phase shifter")
        << QByteArray("2 3 0.01 0.1 0 0 0 0 1 -3 1") << QByteArray()
        << "case3.m, line 20: branch 2-3 shifts the phase by -3\u00b0: the model has no "
           "phase-shifting transformers";
    QTest::newRow("isolated bus") << line << QByteArray("1 1 90|1 4 90")
                                  << "line 6: bus 1 is isolated (type 4)";
    QTest::newRow("version 1") << line << QByteArray("'2'|'1'")
                               << "line 3: mpc.version = \"'1'\": the reader takes MATPOWER's "
                                  "version 2 cases";
    QTest::newRow("generator elsewhere") << line << QByteArray("  3 30|  4 30")
                                         << "line 12: the generator is at bus 4, which mpc.bus";
    QTest::newRow("short row") << line << QByteArray(" 1 1.1 0.9;\n  3| 1 1.1;\n  3")
                               << "line 7: this row of mpc.bus has 12 numbers, its first row "
                                  "(line 6) 13.";
    QTest::newRow("computed") << line << QByteArray("mpc.gencost|mpc.branch(:, 3) = 0;\nmpc.x")
                              << "line 16: \"mpc.branch(:, 3) = 0;\" is not what a MATPOWER case";
    QTest::newRow("matrix open") << line << QByteArray(";\n];\n|;\n")
                                 << "case3.m, line 17: what "
                                    "starts here is not "
                                    "closed with \"]\".";
}

void TestNetworkFile::matpowerRefused() {
    QFETCH(QByteArray, lastBranch);
    QFETCH(QByteArray, replace);
    QFETCH(QString, error);
    QByteArray text = matpowerCase(lastBranch);
    if (!replace.isEmpty()) {
        const QList<QByteArray> parts = replace.split('|');
        const qsizetype at =
            replace.startsWith(';') ? text.lastIndexOf(parts[0]) : text.indexOf(parts[0]);
        QVERIFY(at >= 0);
        text.replace(at, parts[0].size(), parts[1]);
    }
    const NetworkFileResult r = parseMatpowerCase(text, QStringLiteral("case3.m"));
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(error), qPrintable(r.error));
}

void TestNetworkFile::matpowerOnTheSystemBase() {
    const NetworkFileResult r = parseMatpowerCase(matpowerCase(), QStringLiteral("case3.m"));
    QVERIFY2(r.ok, qPrintable(r.error));
    const Grid &g = r.grid;
    QCOMPARE(g.baseMva, 100.0);
    // Bus 1: 90 MW + j30 Mvar and a 19 Mvar capacitor on 100 MVA.
    QCOMPARE(g.buses[0].loadP, 0.9);
    QCOMPARE(g.buses[0].loadQ, 0.3);
    QCOMPARE(g.buses[0].shuntB, 0.19);
    // Bus 3: the two generators in service, 30 + 20 MW, at the first one's 1.02 pu.
    QVERIFY(g.buses[2].type == BusType::PV);
    QCOMPARE(g.buses[2].generation, 0.5);
    QCOMPARE(g.buses[2].voltage, 1.02);
    // H 5 s and x'd 0.3 on 250 MVA: 5 * 250/100 = 12.5 s, 0.3 * 100/250 = 0.12 pu; on
    // 100 + 50 MVA: 7.5 s and 0.2 pu.
    QCOMPARE(g.machines.size(), std::size_t(2));
    QCOMPARE(g.machines[0].bus, 2);
    QCOMPARE(g.machines[0].H, 12.5);
    QCOMPARE(g.machines[0].xdPrime, 0.12);
    QCOMPARE(g.machines[1].H, 7.5);
    QCOMPARE(g.machines[1].xdPrime, 0.2);
    QVERIFY(!g.branches[0].tap && *g.branches[1].tap == 0.98);
    QCOMPARE(*g.fault.bus, 1);
    QCOMPARE(g.fault.clearMs, 100);
    QVERIFY(r.comments.startsWith("# From the MATPOWER case case3.m\n# A small case\n"));
    // A branch out of service is left out, its phase shift with it.
    const auto out = parseMatpowerCase(matpowerCase("2 3 0.01 0.1 0 0 0 0 1 -3 0"), "case3.m");
    QVERIFY(out.ok && out.grid.branches.size() == 2);
    // As a network file it reads back the same.
    QCOMPARE(networkText(parseNetwork(networkText(g, r.comments), "n").grid), networkText(g));
}

void TestNetworkFile::examplesRead() {
    const QDir dir(QStringLiteral(EXAMPLES_DIR "/networks"));
    const QStringList names = dir.entryList({"*.dravex-network", "*.m"}, QDir::Files);
    QVERIFY(names.size() >= 5);
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        const NetworkFileResult r =
            isMatpowerFileName(path) ? readMatpowerCase(path) : readNetworkFile(path);
        QVERIFY2(r.ok, qPrintable(r.error));
    }
}

QTEST_GUILESS_MAIN(TestNetworkFile)
#include "tst_networkfile.moc"
