// The multi-machine model against published tables and hand calculations: the load flow,
// Kron's reduction, the classical model of Anderson and Fouad's 9-bus system, the swing
// of its machines, the critical clearing time and the equivalent machine.
#include "classicalmodel.h"
#include "clearingsearch.h"
#include "criticalclearing.h"
#include "equivalentmachine.h"
#include "loadflow.h"
#include "swingrun.h"

#include <QtTest>

using namespace multimachine;
using Complex = std::complex<double>;
Q_DECLARE_METATYPE(Complex)
Q_DECLARE_METATYPE(BranchId)

namespace {

constexpr double Deg = 180 / multimachine::Pi;
using Row = QVector<double>;

Bus bus(int number, BusType type, double voltage, double generation = 0, double loadP = 0,
        double loadQ = 0) {
    Bus b;
    std::tie(b.number, b.type, b.voltage, b.generation, b.loadP, b.loadQ) =
        std::tie(number, type, voltage, generation, loadP, loadQ);
    return b;
}

Branch branch(int from, int to, double r, double x, double b = 0, std::optional<double> tap = {}) {
    Branch br;
    std::tie(br.from, br.to, br.r, br.x, br.b, br.tap) = std::tie(from, to, r, x, b, tap);
    return br;
}

// Anderson and Fouad, Power System Control and Stability, fig. 2.18 and table 2.1: the
// WSCC 3-machine 9-bus system, 100 MVA, 60 Hz; the fault at bus 7 cleared by opening 5-7.
Grid nineBus() {
    Grid g;
    g.frequency = 60;
    g.buses = {bus(1, BusType::Slack, 1.04),
               bus(2, BusType::PV, 1.025, 1.63),
               bus(3, BusType::PV, 1.025, 0.85),
               bus(4, BusType::PQ, 1),
               bus(5, BusType::PQ, 1, 0, 1.25, 0.5),
               bus(6, BusType::PQ, 1, 0, 0.9, 0.3),
               bus(7, BusType::PQ, 1),
               bus(8, BusType::PQ, 1, 0, 1.0, 0.35),
               bus(9, BusType::PQ, 1)};
    g.branches = {branch(1, 4, 0, 0.0576, 0, 1.0),    branch(2, 7, 0, 0.0625, 0, 1.0),
                  branch(3, 9, 0, 0.0586, 0, 1.0),    branch(4, 5, 0.01, 0.085, 0.176),
                  branch(4, 6, 0.017, 0.092, 0.158),  branch(5, 7, 0.032, 0.161, 0.306),
                  branch(6, 9, 0.039, 0.17, 0.358),   branch(7, 8, 0.0085, 0.072, 0.149),
                  branch(8, 9, 0.0119, 0.1008, 0.209)};
    g.machines = {{1, 23.64, 0.0608, 0}, {2, 6.4, 0.1198, 0}, {3, 3.01, 0.1813, 0}};
    g.fault.bus = 7;
    g.fault.clearMs = 83;
    g.fault.openLine = BranchId{5, 7, 1};
    return g;
}

// Saadat, Power System Analysis, example 6.9: slack 1.05, a 4 + j2.5 load at bus 2, bus 3
// generating 2.0 at 1.04, on 100 MVA.
Grid saadatThreeBus() {
    Grid g;
    g.buses = {bus(1, BusType::Slack, 1.05), bus(2, BusType::PQ, 1, 0, 4.0, 2.5),
               bus(3, BusType::PV, 1.04, 2.0)};
    g.branches = {branch(1, 2, 0.02, 0.04), branch(1, 3, 0.01, 0.03), branch(2, 3, 0.0125, 0.025)};
    return g;
}

// A transformer x 0.1 with tap 1.1 at the slack (1 pu) feeding a 1 pu capacitor at bus 2,
// unloaded: V2 = (1 / 1.1) / (1 - 0.1 * 1) = 1 / 0.99; the slack takes up the capacitor's
// B V2^2 less the transformer's x I^2 = 0.918274.
Grid tappedTransformer() {
    Grid g;
    g.buses = {bus(1, BusType::Slack, 1.0), bus(2, BusType::PQ, 1)};
    g.buses[1].shuntB = 1;
    g.branches = {branch(1, 2, 0, 0.1, 0, 1.1)};
    return g;
}

// Two machines at buses 1 and 2 joined by one lossless line of x 0.4.
Grid twoMachines() {
    Grid g;
    g.frequency = 50;
    g.buses = {bus(1, BusType::PV, 1.0, 0.8), bus(2, BusType::Slack, 1.0)};
    g.branches = {branch(1, 2, 0, 0.4)};
    g.machines = {{1, 5, 0.2, 0}, {2, 20, 0.1, 0}};
    g.fault.bus = 1;
    return g;
}

Grid gridNamed(const QString &name) {
    if (name == "nine") return nineBus();
    if (name == "saadat") return saadatThreeBus();
    if (name == "tap") return tappedTransformer();
    return twoMachines();
}

} // namespace

class TestMultimachine : public QObject {
    Q_OBJECT
private slots:
    void loadFlow_data();
    void loadFlow();
    void loadFlowRefusal();
    void kron_data();
    void kron();
    void nineBusModel();
    void faultOnLine_data();
    void faultOnLine();
    void nineBusSwing();
    void switchings_data();
    void switchings();
    void twoMachinesAsOne_data();
    void twoMachinesAsOne();
    void equivalentCurves();
    void screeningTripsUnitWithItsTransformer();
};

void TestMultimachine::loadFlow_data() {
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("bus");                  // index in the grid
    QTest::addColumn<QVector<double>>("expected"); // |V|, angle in degrees, P, Q generated
    QTest::addColumn<double>("tolerance");
    // Saadat's printed solution.
    QTest::newRow("saadat slack") << "saadat" << 0 << Row{1.05, 0.0, 2.18423, 1.40852} << 1e-5;
    QTest::newRow("saadat load") << "saadat" << 1 << Row{0.97168, -2.696, 0.0, 0.0} << 1e-4;
    QTest::newRow("saadat pv") << "saadat" << 2 << Row{1.04, -0.4988, 2.0, 1.46177} << 1e-4;
    QTest::newRow("tap slack") << "tap" << 0 << Row{1.0, 0.0, 0.0, -0.9182736} << 1e-7;
    QTest::newRow("tap capacitor") << "tap" << 1 << Row{1 / 0.99, 0.0, 0.0, 0.0} << 1e-9;
    // Anderson and Fouad fig. 2.19, to their three decimals.
    QTest::newRow("9-bus 1") << "nine" << 0 << Row{1.04, 0.0, 0.716, 0.27} << 1e-3;
    QTest::newRow("9-bus 2") << "nine" << 1 << Row{1.025, 9.3, 1.63, 0.067} << 1e-3;
    QTest::newRow("9-bus 3") << "nine" << 2 << Row{1.025, 4.7, 0.85, -0.109} << 1e-3;
    QTest::newRow("9-bus 5") << "nine" << 4 << Row{0.996, -4.0, 0.0, 0.0} << 1e-3;
    QTest::newRow("9-bus 7") << "nine" << 6 << Row{1.026, 3.7, 0.0, 0.0} << 1e-3;
    QTest::newRow("9-bus 8") << "nine" << 7 << Row{1.016, 0.7, 0.0, 0.0} << 1e-3;
}

void TestMultimachine::loadFlow() {
    QFETCH(QString, grid);
    QFETCH(int, bus);
    QFETCH(QVector<double>, expected);
    QFETCH(double, tolerance);
    const LoadFlowResult flow = solveLoadFlow(gridNamed(grid));
    QVERIFY2(flow.converged && flow.largestMismatch <= 1e-10, flow.problem.c_str());
    const auto i = static_cast<std::size_t>(bus);
    const double got[4] = {std::abs(flow.voltage[i]), std::arg(flow.voltage[i]) * Deg,
                           flow.pGeneration[i], flow.qGeneration[i]};
    // Angles printed to a tenth or a ten-thousandth of a degree.
    for (int k = 0; k < 4; ++k)
        QVERIFY2(std::abs(got[k] - expected[k]) <= tolerance + (k == 1 ? 0.05 : 0),
                 qPrintable(QString("%1: %2").arg(k).arg(got[k])));
}

void TestMultimachine::loadFlowRefusal() {
    Grid g = saadatThreeBus();
    g.buses[1].loadP = 60; // far beyond what the lines can carry
    const LoadFlowResult flow = solveLoadFlow(g, 12);
    QVERIFY(!flow.converged);
    QCOMPARE(flow.iterations, 12);
    QVERIFY(flow.largestMismatch > 1);
    QVERIFY2(QString::fromStdString(flow.problem)
                 .contains(QRegularExpression("in 12 iterations: the largest mismatch is [0-9.]+")),
             flow.problem.c_str());
}

void TestMultimachine::kron_data() {
    QTest::addColumn<Complex>("load"); // at the eliminated node 2, behind x 0.1 from node 1
    QTest::addColumn<Complex>("reduced");
    // The series of j0.1 and the load's impedance, seen from node 1.
    QTest::newRow("reactor x 0.2") << Complex(0, -5) << Complex(0, -1 / 0.3);
    QTest::newRow("resistor 1") << Complex(1, 0) << 1.0 / Complex(1, 0.1);
}

void TestMultimachine::kron() {
    QFETCH(Complex, load);
    QFETCH(Complex, reduced);
    Eigen::MatrixXcd y(2, 2);
    y << Complex(0, -10), Complex(0, 10), Complex(0, 10), Complex(0, -10) + load;
    const Eigen::MatrixXcd r = kronReduce(y, 1);
    QCOMPARE(r.rows(), 1);
    QVERIFY(std::abs(r(0, 0) - reduced) < 1e-12);
}

void TestMultimachine::nineBusModel() {
    const Grid g = nineBus();
    const ClassicalModelResult built = buildClassicalModel(g, solveLoadFlow(g));
    QVERIFY2(built.problem.empty(), built.problem.c_str());
    const ClassicalModel &m = built.model;
    // E' from the load flow, and the reduced matrices of Anderson and Fouad table 2.7.
    const double emf[3][2] = {{1.0566, 2.27}, {1.0502, 19.73}, {1.0170, 13.17}};
    for (std::size_t i = 0; i < 3; ++i) {
        QVERIFY(std::abs(std::abs(m.emf[i]) - emf[i][0]) < 5e-5);
        QVERIFY(std::abs(std::arg(m.emf[i]) * Deg - emf[i][1]) < 5e-3);
    }
    const struct {
        Eigen::MatrixXcd matrix;
        int i, j;
        Complex expected;
        double tolerance;
    } entries[] = {
        {m.preFault, 0, 0, {0.8455, -2.9883}, 5e-5}, {m.preFault, 0, 1, {0.2871, 1.5129}, 5e-5},
        {m.preFault, 1, 1, {0.4200, -2.7239}, 5e-5}, {m.faulted, 0, 0, {0.657, -3.816}, 5e-4},
        {m.faulted, 0, 2, {0.070, 0.631}, 5e-4},     {m.faulted, 1, 1, {0, -5.4855}, 5e-4},
        {m.faulted, 2, 2, {0.174, -2.796}, 5e-4},    {m.faulted, 0, 1, {0, 0}, 1e-12},
    };
    for (const auto &e : entries) {
        const Complex d = e.matrix(e.i, e.j) - e.expected;
        QVERIFY2(std::abs(d.real()) <= e.tolerance && std::abs(d.imag()) <= e.tolerance,
                 qPrintable(QString("Y%1%2").arg(e.i + 1).arg(e.j + 1)));
    }
    // Pm equals the scheduled generation, and the cleared network has lost line 5-7.
    QVERIFY(std::abs(m.mechanicalPower[1] - 1.63) < 1e-9);
    QVERIFY(std::abs(m.cleared(0, 1) - m.preFault(0, 1)) > 0.1);
}

void TestMultimachine::faultOnLine_data() {
    QTest::addColumn<BranchId>("line"); // as the fault names it
    QTest::addColumn<double>("location");
    QTest::addColumn<Row>("x"); // each machine's reactance to the grounded point
    // x'd 0.2 and 0.1 on either side of the 0.4 line; the grounded point cuts them apart.
    QTest::newRow("quarter") << BranchId{1, 2, 1} << 0.25 << Row{0.3, 0.4};
    QTest::newRow("quarter, named 2-1") << BranchId{2, 1, 1} << 0.25 << Row{0.5, 0.2};
    QTest::newRow("at bus 1") << BranchId{1, 2, 1} << 0.0 << Row{0.2, 0.5};
    QTest::newRow("at bus 2") << BranchId{1, 2, 1} << 1.0 << Row{0.6, 0.1};
}

void TestMultimachine::faultOnLine() {
    QFETCH(BranchId, line);
    QFETCH(double, location);
    QFETCH(Row, x);
    const Grid g = twoMachines();
    FaultSpec fault;
    fault.line = line;
    fault.location = location;
    const Eigen::MatrixXcd y = buildClassicalModel(g, solveLoadFlow(g), fault).model.faulted;
    QVERIFY(std::abs(y(0, 0) - 1.0 / Complex(0, x[0])) < 1e-12);
    QVERIFY(std::abs(y(1, 1) - 1.0 / Complex(0, x[1])) < 1e-12);
    QVERIFY(std::abs(y(0, 1)) < 1e-12);
}

void TestMultimachine::nineBusSwing() {
    // Anderson and Fouad fig. 2.20 keep line 5-7's charging when it opens: here it hangs
    // from buses 5 and 7 as shunts, so that opening the line takes its series branch only.
    Grid g = nineBus();
    g.branches[5].b = 0;
    g.buses[4].shuntB += 0.306 / 2;
    g.buses[6].shuntB += 0.306 / 2;
    const ClassicalModelResult built = buildClassicalModel(g, solveLoadFlow(g));
    const RunOutcome run = simulate(built.model, g.fault, true);
    QVERIFY(run.stable);
    double peak = -1, at = 0;
    for (const SwingState &s : run.states) {
        if ((s.delta[1] - s.delta[0]) * Deg > peak) {
            peak = (s.delta[1] - s.delta[0]) * Deg;
            at = s.time;
        }
    }
    QVERIFY2(std::abs(peak - 81) < 1.5 && std::abs(at - 0.43) < 0.02,
             qPrintable(QString("%1 deg at %2 s").arg(peak).arg(at)));
}

void TestMultimachine::switchings_data() {
    QTest::addColumn<int>("clearMs");
    QTest::addColumn<int>("recloseMs"); // -1: none
    QTest::newRow("cleared at 83 ms") << 83 << -1;
    QTest::newRow("reclosed 400 ms later") << 83 << 400;
    QTest::newRow("cleared at once") << 0 << -1;
}

void TestMultimachine::switchings() {
    // A state falls exactly on the clearing, the fault on before it; the run goes on in
    // step for 3 s after the last switching.
    QFETCH(int, clearMs);
    QFETCH(int, recloseMs);
    const Grid g = nineBus();
    FaultSpec fault = g.fault;
    fault.clearMs = clearMs;
    if (recloseMs >= 0) fault.recloseMs = recloseMs;
    const RunOutcome run = simulate(buildClassicalModel(g, solveLoadFlow(g)).model, fault, true);
    QVERIFY(run.stable);
    double previous = -1;
    for (const SwingState &s : run.states) {
        QVERIFY(s.time > previous && (previous < 0 || s.time <= previous + 0.005 + 1e-12));
        QCOMPARE(s.topology == Topology::Faulted, s.time < clearMs / 1e3);
        if (s.topology != Topology::Faulted && previous < clearMs / 1e3)
            QCOMPARE(s.time, clearMs / 1e3);
        previous = s.time;
    }
    QVERIFY(std::abs(previous - (clearMs + std::max(recloseMs, 0)) / 1e3 - 3) < 1e-9);
    QCOMPARE(run.states.back().topology, recloseMs >= 0 ? Topology::Reclosed : Topology::Cleared);
}

void TestMultimachine::twoMachinesAsOne_data() {
    QTest::addColumn<double>("generation"); // machine 1's, pu
    QTest::addColumn<double>("h1");
    QTest::addColumn<double>("h2");
    QTest::newRow("0.8 pu") << 0.8 << 5.0 << 20.0;
    QTest::newRow("1.5 pu, light") << 1.5 << 3.0 << 3.0;
    QTest::newRow("0.4 pu, heavy") << 0.4 << 8.0 << 40.0;
}

void TestMultimachine::twoMachinesAsOne() {
    // Two lossless machines with a bolted fault at machine 1's terminal, cleared without
    // opening anything: the angle between them swings as one machine of inertia
    // M1 M2 / (M1 + M2) on an infinite bus, Pe = 0 while the fault is on, Pmax sin after,
    // Pmax = E1 E2 / (x'd1 + x + x'd2): the single machine's case with H = H1 H2 /
    // (H1 + H2) / Pmax at 50 Hz.
    QFETCH(double, generation);
    QFETCH(double, h1);
    QFETCH(double, h2);
    Grid g = twoMachines();
    g.buses[0].generation = generation;
    g.machines[0].H = h1;
    g.machines[1].H = h2;
    const ClassicalModelResult built = buildClassicalModel(g, solveLoadFlow(g));
    const ClassicalModel &m = built.model;
    const double pmax = std::abs(m.emf[0]) * std::abs(m.emf[1]) / (0.2 + 0.4 + 0.1);
    const double delta0 = std::asin(generation / pmax);
    QVERIFY(std::abs(std::arg(m.emf[0] / m.emf[1]) - delta0) < 1e-9);

    TGenParams single;
    single.H = h1 * h2 / (h1 + h2) / pmax;
    single.Demping = 0;
    single.Pmech = generation / pmax;
    const CriticalClearing dravex = findCriticalClearingTime(single, {}, SearchLimitMs);
    const ClearingSearchResult search = searchCriticalClearing(m, g.fault);
    QCOMPARE(search.kind, ClearingSearchResult::Kind::Found);
    // Dravex's own steps are 3 ms long.
    QVERIFY2(
        std::abs(search.inStepUpToMs - dravex.lastInStepMs) <= 3,
        qPrintable(QString("%1 against %2").arg(search.inStepUpToMs).arg(dravex.lastInStepMs)));

    // The equivalent is the single machine itself: the textbook's critical angle
    // cos dc = (pi - 2 d0) sin d0 - cos d0, reached at t = sqrt(2 M (dc - d0) / Pm).
    const EquivalentResult e = equivalentMachine(m, g.fault);
    QVERIFY2(e.found, e.problem.c_str());
    const double dc =
        std::acos((multimachine::Pi - 2 * delta0) * std::sin(delta0) - std::cos(delta0));
    const double mEq = 2 / m.synchronousSpeed * h1 * h2 / (h1 + h2);
    QVERIFY(std::abs(e.criticalAngle - dc) < 1e-9);
    QVERIFY(std::abs(e.criticalClearingMs -
                     1000 * std::sqrt(2 * mEq * (dc - delta0) / generation)) < 0.05);
    QVERIFY(std::abs(e.inertia - mEq) < 1e-12);
}

void TestMultimachine::equivalentCurves() {
    // On the lossy 9-bus system the closed form pc + pmax sin(delta - v) must equal the
    // equivalent's power from its definition, (Mn sum_C Pe - Mc sum_N Pe) / MT with every
    // Pe_i = Re(E_i conj(sum_j Y_ij E_j)), the angles inside each group kept at their
    // pre-fault offsets, at any angle between the groups.
    const Grid g = nineBus();
    const ClassicalModel m = buildClassicalModel(g, solveLoadFlow(g)).model;
    const std::vector<int> cluster{1, 2};
    const EquivalentResult e = equivalentFor(m, cluster);
    const double mc = m.inertia[1] + m.inertia[2], mn = m.inertia[0];
    const double centreC =
        (m.inertia[1] * std::arg(m.emf[1]) + m.inertia[2] * std::arg(m.emf[2])) / mc;
    for (double shift : {-1.0, 0.0, 0.7, 2.0}) {
        std::vector<std::complex<double>> emf = m.emf;
        emf[1] *= std::polar(1.0, shift);
        emf[2] *= std::polar(1.0, shift);
        const double delta = centreC + shift - std::arg(m.emf[0]);
        const std::pair<const Eigen::MatrixXcd *, const EquivalentCurve *> curves[] = {
            {&m.preFault, &e.preFault}, {&m.faulted, &e.faulted}, {&m.cleared, &e.postFault}};
        for (const auto &[y, curve] : curves) {
            const Eigen::VectorXcd current = *y * Eigen::Map<const Eigen::VectorXcd>(emf.data(), 3);
            double pe[3];
            for (int i = 0; i < 3; ++i) pe[i] = (emf[i] * std::conj(current(i))).real();
            const double expected = (mn * (pe[1] + pe[2]) - mc * pe[0]) / (mc + mn);
            QVERIFY(std::abs(curve->at(delta) - expected) < 1e-12);
        }
    }
    // Before the fault the equivalent rests in balance.
    QVERIFY(std::abs(e.preFault.at(e.delta0) - e.mechanicalPower) < 1e-9);
}

void TestMultimachine::screeningTripsUnitWithItsTransformer() {
    // Opening a unit's step-up transformer takes the machine off the network: the row
    // names it instead of giving clearing times; a line between load buses cuts nothing.
    const Grid g = nineBus();
    QCOMPARE(machinesCutOffBy(g, BranchId{1, 4, 1}), std::vector<int>{1});
    QCOMPARE(machinesCutOffBy(g, BranchId{5, 7, 1}), std::vector<int>{});
    const std::vector<ScreeningRow> rows = screenLines(g, solveLoadFlow(g), 1);
    QCOMPARE(rows.front().problem, std::string("opening line 1-4 cuts off machine 1"));
    QVERIFY(rows[6].problem.empty());
}

QTEST_APPLESS_MAIN(TestMultimachine)
#include "tst_multimachine.moc"
