// The texts written about runs: a run as CSV, and the swing curves' legend for a run; a
// network's load flow, run, screening and clearing times.
#include "networkcsv.h"
#include "runcsv.h"
#include "swinglegend.h"

#include <charconv>
#include <QtTest>

namespace {

// A text written with a full stop, in the user's locale.
QString local(const char *text) {
    return QString::fromUtf8(text).replace(QChar('.'), QLocale::system().decimalPoint());
}

double number(const QByteArray &text) {
    double v = 0;
    const auto r = std::from_chars(text.constData(), text.constData() + text.size(), v);
    return r.ec == std::errc() && r.ptr == text.constData() + text.size() ? v : -12345.678;
}

} // namespace

class TestRunReport : public QObject {
    Q_OBJECT
private slots:
    void csvOfDefaultRun();
    void csvNamesTheScenario();
    void swingLegendNumbers();
    void clearingLines_data();
    void clearingLines();
    void networkCsvs();
};

void TestRunReport::csvOfDefaultRun() {
    const RunRecord run = recordRun(StabilityCase{});
    const QList<QByteArray> lines = runCsv(run).split('\n');
    QCOMPARE(lines.size(), 2 + 3334 + 1); // the last line end leaves an empty piece
    QCOMPARE(lines[0], "# Dravex run: Pmax=450 H=6 Demping=2E-5 Pmech=0.5 clearing_ms=200");
    QCOMPARE(lines[1], "step,time_s,fault_on,rotor_angle_deg,speed_deviation_rad_s,pelec");
    QVERIFY(lines.last().isEmpty());
    for (int i = 0; i < 3334; ++i) {
        const QList<QByteArray> f = lines[2 + i].split(',');
        QCOMPARE(f.size(), 6);
        QCOMPARE(f[0], QByteArray::number(i + 1));
        QCOMPARE(f[2], i < 67 ? "1" : "0"); // cleared after 200 ms: 67 steps of 3 ms
        const RunSample &s = run.samples[std::size_t(i)];
        const double expected[] = {s.clock, s.rotorAngleDeg, s.speedDeviation, s.pelec};
        const int columns[] = {1, 3, 4, 5};
        for (int c = 0; c < 4; ++c) // exactly: QCOMPARE on doubles forgives the last digits
            QVERIFY2(number(f[columns[c]]) == expected[c], lines[2 + i].constData());
    }
    QCOMPARE(lines[2].split(',')[1], "0");
}

void TestRunReport::csvNamesTheScenario() {
    RunRecord run;
    run.clearingMs = 100;
    run.scenario.network = Network::Transfer;
    run.scenario.during = 0.25;
    const QByteArray line = "# Dravex run: Pmax=450 H=6 Demping=2E-5 Pmech=0.5 clearing_ms=100 "
                            "network=transfer during=0.25 after=1";
    QVERIFY(runCsv(run).startsWith(line + "\nstep,"));
    run.scenario.recloseMs = 300;
    QVERIFY(runCsv(run).startsWith(line + " reclose_ms=300 reclose_onto=transient\nstep,"));
}

void TestRunReport::swingLegendNumbers() {
    RunRecord run;
    run.clearingMs = 376;
    run.end = RunEnd::OutOfStep;
    run.endClock = 2.9249999999999998; // the running sum of the steps
    QCOMPARE(swingLegend(run, false), local("376 ms: out of step at 2.925 s"));
    run.end = RunEnd::Stopped;
    run.endClock = 3.0000000000000004;
    QCOMPARE(swingLegend(run, false), QStringLiteral("376 ms: stopped at 3 s"));
    run.end = RunEnd::ClockLimit;
    QCOMPARE(swingLegend(run, true),
             local("376 ms: in step; Pmax 450, H 6, Demping 2E-5, Pmech 0.5"));
    MachineDataNamed named;
    named.H = named.Pmech = true;
    run.params.H = 3.5;
    QCOMPARE(swingLegend(run, named), local("376 ms: in step; H 3.5, Pmech 0.5"));
    // The outcome comes first, so that a narrow legend never cuts it off.
    run.scenario.network = Network::TwoLines;
    run.scenario.recloseMs = 300;
    run.scenario.recloseOnto = RecloseOnto::Permanent;
    const SwingLegendText text = swingLegendText(run, MachineDataNamed{});
    QCOMPARE(text.headline, QStringLiteral("376 ms: in step"));
    QCOMPARE(text.details,
             local("two lines r1 0.3611 r2 0.8125, reclosing 300 ms onto a permanent fault"));
}

void TestRunReport::clearingLines_data() {
    using Kind = multimachine::ClearingSearchResult::Kind;
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("equivalent"); // its kind
    QTest::addColumn<std::vector<int>>("cluster");
    QTest::addColumn<QString>("lines");
    QTest::newRow("both found")
        << int(Kind::Found) << int(Kind::Found) << std::vector<int>{2, 3}
        << "Simulation: in step up to 160 ms, out of step from 161 ms\nEquivalent (machines 2, "
           "3 against 1): critical angle 97.4\u00b0, critical clearing time 172 ms";
    QTest::newRow("in step throughout")
        << int(Kind::StableThroughout) << int(Kind::StableThroughout) << std::vector<int>{2}
        << "Simulation: in step at every clearing time up to 2000 ms\nEquivalent (machine 2 "
           "against 1): in step at every clearing time: Pm below the faulted curve";
    QTest::newRow("out of step at once")
        << int(Kind::UnstableAtOnce) << int(Kind::UnstableAtOnce) << std::vector<int>{}
        << "Simulation: out of step even when the fault is cleared at once (0 ms)\nEquivalent: "
           "out of step even when the fault is cleared at once: Pm below the faulted curve";
}

void TestRunReport::clearingLines() {
    QFETCH(int, kind);
    QFETCH(int, equivalent);
    QFETCH(std::vector<int>, cluster);
    QFETCH(QString, lines);
    multimachine::ClearingSearchResult simulation;
    simulation.kind = static_cast<multimachine::ClearingSearchResult::Kind>(kind);
    simulation.inStepUpToMs = 160;
    simulation.outOfStepFromMs = 161;
    multimachine::EquivalentResult e;
    e.kind = static_cast<multimachine::EquivalentResult::Kind>(equivalent);
    e.criticalMachines = cluster;
    e.otherMachines = {1};
    e.criticalAngle = 1.7; // rad: 97.40282517...°
    e.criticalClearingMs = 172.9;
    e.problem = equivalent ? "Pm below the faulted curve" : "";
    QCOMPARE(simulationClearingLine(simulation) + '\n' + equivalentClearingLine(e), lines);
}

void TestRunReport::networkCsvs() {
    using namespace multimachine;
    Grid grid;
    grid.buses = {Bus{}, Bus{}};
    grid.buses[0].number = 1;
    grid.buses[0].type = BusType::Slack;
    grid.buses[1].number = 7;
    grid.buses[1].loadP = 0.5;
    grid.buses[1].loadQ = 0.25;
    LoadFlowResult flow;
    flow.converged = true;
    flow.voltage = {1.04, std::polar(0.98, -0.5)};
    flow.pGeneration = {0.5, 0};
    flow.qGeneration = {0.3, 0};
    const QList<QByteArray> lf = loadFlowCsv(grid, flow).split('\n');
    QCOMPARE(lf[1], "bus,type,voltage_pu,angle_deg,p_gen_pu,q_gen_pu,p_load_pu,q_load_pu");
    QCOMPARE(lf[2], "1,slack,1.04,0,0.5,0.3,0,0");
    const QList<QByteArray> bus7 = lf[3].split(',');
    QCOMPARE(bus7.size(), 8);
    QCOMPARE(bus7[1], "pq");
    QVERIFY(qAbs(number(bus7[2]) - 0.98) < 1e-15);
    QVERIFY(qAbs(number(bus7[3]) + 28.64788975654116) < 1e-12); // -0.5 rad
    QCOMPARE(bus7[6] + ',' + bus7[7], "0.5,0.25");

    ClassicalModel model;
    model.machineBus = {1, 3};
    SwingState s;
    s.time = 0.005;
    s.delta = {0.5, -0.25};
    s.speed = {0.125, 2e-5};
    FaultSpec fault;
    fault.bus = 7;
    fault.openLine = BranchId{5, 7, 1};
    const QList<QByteArray> run = networkRunCsv(model, fault, {s}).split('\n');
    QCOMPARE(run[0], "# Dravex network run: a fault at bus 7, cleared after 83 ms by opening "
                     "line 5-7");
    QCOMPARE(run[1], "time_s,delta_1_deg,delta_3_deg,speed_1_rad_s,speed_3_rad_s");
    QCOMPARE(run[2], "0.005,28.64788975654116,-14.32394487827058,0.125,2e-05");

    ScreeningRow held;
    held.line = {5, 7, 1};
    held.faultBus = 7;
    held.simulation = {ClearingSearchResult::Kind::Found, 160, 161};
    held.equivalent.kind = EquivalentResult::Kind::Found;
    held.equivalent.criticalClearingMs = 172.9;
    held.equivalent.criticalMachines = {2, 3};
    ScreeningRow other;
    other.line = {4, 5, 2};
    other.faultBus = 4;
    other.simulation.kind = ClearingSearchResult::Kind::StableThroughout;
    other.equivalent.kind = EquivalentResult::Kind::UnstableAtOnce;
    other.equivalent.criticalMachines = {3};
    ScreeningRow cut = other;
    cut.problem = "machine 1 is cut off";
    const QList<QByteArray> screen = screeningCsv({held, other, cut}).split('\n');
    QCOMPARE(screen[1], "line,fault_bus,simulation_cct_ms,equivalent_cct_ms,critical_machines");
    QCOMPARE(screen[2], "5-7,7,160,172,2 3");
    QCOMPARE(screen[3], "4-5 2,4,>2000,none,3");
    QCOMPARE(screen[4], "4-5 2,4,,,");
}

QTEST_GUILESS_MAIN(TestRunReport)
#include "tst_runreport.moc"
