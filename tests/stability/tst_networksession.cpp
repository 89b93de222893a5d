// A sitting with a network of several machines, without a window: the fault a click sets,
// a load flow that fails, the pace of a run, the equivalent's point along it, and the
// search and screening on their own thread.
#include "networksession.h"

#include <cmath>
#include <QSignalSpy>
#include <QtTest>

using namespace multimachine;

Q_DECLARE_METATYPE(RunSpeed)

namespace {

// Three buses in a triangle: the slack's machine at 1, a second machine at 2, a load at 3.
Grid triangle(double load = 1.0) {
    Grid g;
    g.frequency = 50;
    g.buses.resize(3);
    for (int i = 0; i < 3; ++i) g.buses[std::size_t(i)].number = i + 1;
    g.buses[0].type = BusType::Slack;
    g.buses[0].voltage = 1.02;
    g.buses[1].type = BusType::PV;
    g.buses[1].generation = 0.5;
    g.buses[2].loadP = load;
    g.buses[2].loadQ = 0.2 * load;
    for (auto [from, to] : {std::pair{1, 3}, {2, 3}, {1, 2}}) {
        Branch br;
        br.from = from;
        br.to = to;
        br.x = 0.1;
        g.branches.push_back(br);
    }
    g.machines = {Machine{1, 6, 0.2, 0}, Machine{2, 3, 0.25, 0}};
    g.fault.bus = 3;
    g.fault.openLine = BranchId{1, 3, 1};
    g.fault.clearMs = 100;
    return g;
}

} // namespace

class TestNetworkSession : public QObject {
    Q_OBJECT
private slots:
    void clickSetsTheFault_data();
    void clickSetsTheFault();
    void loadFlowThatFailsIsRefused();
    void runKeepsToItsPace_data();
    void runKeepsToItsPace();
    void equivalentFollowsTheRun();
    void searchAndScreeningOnTheirThread();
};

void TestNetworkSession::clickSetsTheFault_data() {
    QTest::addColumn<int>("bus"); // 0: the line 2-3 clicked
    QTest::addColumn<bool>("onLine");
    QTest::addColumn<QString>("opened"); // the line cleared by opening, or empty
    // A bus at the end of the line that was opened keeps it; elsewhere nothing opens.
    QTest::newRow("bus at the opened line") << 1 << false << "1-3";
    QTest::newRow("bus away from it") << 2 << false << "";
    QTest::newRow("line") << 0 << true << "2-3";
}

void TestNetworkSession::clickSetsTheFault() {
    QFETCH(int, bus);
    QFETCH(bool, onLine);
    QFETCH(QString, opened);
    NetworkSession s;
    s.setGrid(triangle());
    QSignalSpy changed(&s, &NetworkSession::faultChanged);
    if (onLine)
        s.setFaultOnLine(BranchId{2, 3, 1});
    else
        s.setFaultAtBus(bus);
    QCOMPARE(changed.count(), 1);
    const FaultSpec &f = s.fault();
    QCOMPARE(f.bus.has_value(), !onLine);
    QCOMPARE(f.line.has_value(), onLine);
    if (onLine) QCOMPARE(f.location, 0.5);
    QCOMPARE(f.openLine ? QString::fromStdString(branchName(*f.openLine)) : QString(), opened);
    QCOMPARE(f.clearMs, 100); // the clearing time stays
    // A bus or line the grid does not have changes nothing.
    s.setFaultAtBus(9);
    s.setFaultOnLine(BranchId{1, 2, 2});
    QCOMPARE(changed.count(), 1);
}

void TestNetworkSession::loadFlowThatFailsIsRefused() {
    // 40 pu through 0.1 pu lines: beyond any transfer limit (V1 V3 / x is about 10 pu).
    NetworkSession s;
    s.setGrid(triangle(40));
    QVERIFY(!s.hasModel());
    QVERIFY(!s.problem().isEmpty());
    QVERIFY(!s.equivalent().found);
    s.start();
    QVERIFY(!s.isRunning());
    s.findCriticalClearing();
    QVERIFY(!s.searching());
}

void TestNetworkSession::runKeepsToItsPace_data() {
    QTest::addColumn<RunSpeed>("speed");
    QTest::addColumn<int>("wallMs");
    QTest::addColumn<double>("modelSeconds");
    QTest::newRow("real time") << RunSpeed::RealTime << 50 << 0.05;
    QTest::newRow("slow motion, ten times slower") << RunSpeed::SlowMotion << 50 << 0.005;
    // Held up past the longest lag (a dialog), the schedule starts again where it stands.
    QTest::newRow("held up a second") << RunSpeed::RealTime << 1000 << 0.0;
}

void TestNetworkSession::runKeepsToItsPace() {
    QFETCH(RunSpeed, speed);
    QFETCH(int, wallMs);
    QFETCH(double, modelSeconds);
    NetworkSession s;
    s.setGrid(triangle());
    QVERIFY2(s.hasModel(), qPrintable(s.problem()));
    auto now = RunPacer::Clock::time_point{};
    s.clock = [&now] { return now; };
    s.setSpeed(speed);
    s.start();
    now += std::chrono::milliseconds(wallMs);
    s.tick();
    const double reached = s.states().back().time;
    QVERIFY2(reached >= modelSeconds - 1e-12 &&
                 reached < modelSeconds + SwingRun::stepSeconds() + 1e-12,
             qPrintable(QString::number(reached)));
    QVERIFY(s.isRunning());
}

void TestNetworkSession::equivalentFollowsTheRun() {
    NetworkSession s;
    s.setGrid(triangle());
    const EquivalentResult &e = s.equivalent();
    QVERIFY2(!e.clusterIndices.empty(), e.problem.c_str());
    QCOMPARE(s.clusterIndices().size(), e.criticalMachines.size());
    QSignalSpy ended(&s, &NetworkSession::runEnded);
    s.setSpeed(RunSpeed::Fast);
    auto now = RunPacer::Clock::time_point{};
    s.clock = [&now] { return now; }; // standing still: one tick runs to the end
    s.start();
    s.tick();
    QCOMPARE(ended.count(), 1);
    QVERIFY(!s.isRunning());
    QCOMPARE(s.equivalentPath().size(), s.states().size());
    // The run starts where the equivalent does, on the curve of the network it sees.
    const EquivalentPoint &first = s.equivalentPath().front();
    QVERIFY(std::fabs(first.angle - e.delta0) < 1e-9);
    const EquivalentCurve &curve =
        s.states().front().topology == Topology::PreFault ? e.preFault : e.faulted;
    QVERIFY2(std::fabs(first.power - curve.at(e.delta0)) < 1e-9,
             qPrintable(QStringLiteral("%1 against %2").arg(first.power).arg(curve.at(e.delta0))));
    // Clicking elsewhere makes a new equivalent and leaves the last run's steps alone.
    const std::size_t steps = s.states().size();
    s.setFaultAtBus(2);
    QCOMPARE(s.states().size(), steps);
}

void TestNetworkSession::searchAndScreeningOnTheirThread() {
    NetworkSession s;
    s.setGrid(triangle());
    QSignalSpy found(&s, &NetworkSession::searchFound);
    s.findCriticalClearing();
    QVERIFY(found.wait(10000));
    QVERIFY(s.simulationResult().has_value());

    // A screening cancelled says so and leaves no rows; one run through has a row for each
    // end of each line.
    QSignalSpy finished(&s, &NetworkSession::screeningFinished);
    QSignalSpy cancelled(&s, &NetworkSession::backgroundCancelled);
    s.screenLines();
    s.cancelBackground();
    QCOMPARE(cancelled.count(), 1);
    // A new clearing time gives up the search for the old one, not the screening.
    s.screenLines();
    s.findCriticalClearing();
    s.setClearingMs(120);
    QCOMPARE(cancelled.count(), 2);
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(s.screening().size(), std::size_t{6});
    // A session destroyed while it screens waits for its thread.
    auto going = std::make_unique<NetworkSession>();
    going->setGrid(triangle());
    going->screenLines();
    going.reset();
}

QTEST_GUILESS_MAIN(TestNetworkSession)
#include "tst_networksession.moc"
