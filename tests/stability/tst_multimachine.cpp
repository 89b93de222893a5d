// The multi-machine model against published tables and hand calculations: the load flow,
// Kron's reduction, the classical model of Anderson and Fouad's 9-bus system, the swing
// of its machines, the critical clearing time and the equivalent machine.
#include "classicalmodel.h"
#include "loadflow.h"

#include <QtTest>

using namespace multimachine;
using Complex = std::complex<double>;
Q_DECLARE_METATYPE(Complex)

namespace {

constexpr double Deg = 180 / Pi;

Bus bus(int number, BusType type, double voltage, double generation = 0, double loadP = 0,
        double loadQ = 0) {
    Bus b;
    b.number = number;
    b.type = type;
    b.voltage = voltage;
    b.generation = generation;
    b.loadP = loadP;
    b.loadQ = loadQ;
    return b;
}

Branch branch(int from, int to, double r, double x, double b = 0, std::optional<double> tap = {}) {
    Branch br;
    br.from = from;
    br.to = to;
    br.r = r;
    br.x = x;
    br.b = b;
    br.tap = tap;
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
};

void TestMultimachine::loadFlow_data() {
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("bus"); // index in the grid
    QTest::addColumn<double>("voltage");
    QTest::addColumn<double>("angleDeg");
    QTest::addColumn<double>("p");
    QTest::addColumn<double>("q");
    QTest::addColumn<double>("tolerance");
    // Saadat's printed solution.
    QTest::newRow("saadat slack") << "saadat" << 0 << 1.05 << 0.0 << 2.18423 << 1.40852 << 1e-5;
    QTest::newRow("saadat load") << "saadat" << 1 << 0.97168 << -2.696 << 0.0 << 0.0 << 1e-4;
    QTest::newRow("saadat pv") << "saadat" << 2 << 1.04 << -0.4988 << 2.0 << 1.46177 << 1e-4;
    QTest::newRow("tap slack") << "tap" << 0 << 1.0 << 0.0 << 0.0 << -0.9182736 << 1e-7;
    QTest::newRow("tap capacitor") << "tap" << 1 << 1 / 0.99 << 0.0 << 0.0 << 0.0 << 1e-9;
    // Anderson and Fouad fig. 2.19, to their three decimals.
    QTest::newRow("9-bus 1") << "nine" << 0 << 1.04 << 0.0 << 0.716 << 0.27 << 1e-3;
    QTest::newRow("9-bus 2") << "nine" << 1 << 1.025 << 9.3 << 1.63 << 0.067 << 1e-3;
    QTest::newRow("9-bus 3") << "nine" << 2 << 1.025 << 4.7 << 0.85 << -0.109 << 1e-3;
    QTest::newRow("9-bus 5") << "nine" << 4 << 0.996 << -4.0 << 0.0 << 0.0 << 1e-3;
    QTest::newRow("9-bus 7") << "nine" << 6 << 1.026 << 3.7 << 0.0 << 0.0 << 1e-3;
    QTest::newRow("9-bus 8") << "nine" << 7 << 1.016 << 0.7 << 0.0 << 0.0 << 1e-3;
}

void TestMultimachine::loadFlow() {
    QFETCH(QString, grid);
    QFETCH(int, bus);
    QFETCH(double, voltage);
    QFETCH(double, angleDeg);
    QFETCH(double, p);
    QFETCH(double, q);
    QFETCH(double, tolerance);
    const LoadFlowResult flow = solveLoadFlow(gridNamed(grid));
    QVERIFY2(flow.converged, flow.problem.c_str());
    QVERIFY(flow.largestMismatch <= 1e-10);
    const auto i = static_cast<std::size_t>(bus);
    QVERIFY(std::abs(std::abs(flow.voltage[i]) - voltage) <= tolerance);
    // Angles printed to a tenth or a ten-thousandth of a degree.
    QVERIFY(std::abs(std::arg(flow.voltage[i]) * Deg - angleDeg) <= 0.05 + tolerance);
    QVERIFY(std::abs(flow.pGeneration[i] - p) <= tolerance);
    QVERIFY(std::abs(flow.qGeneration[i] - q) <= tolerance);
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
        const Complex got = e.matrix(e.i, e.j);
        QVERIFY2(
            std::abs(got.real() - e.expected.real()) <= e.tolerance &&
                std::abs(got.imag() - e.expected.imag()) <= e.tolerance,
            qPrintable(
                QString("Y%1%2 %3 %4").arg(e.i + 1).arg(e.j + 1).arg(got.real()).arg(got.imag())));
    }
    // Pm equals the scheduled generation, and the cleared network has lost line 5-7.
    QVERIFY(std::abs(m.mechanicalPower[1] - 1.63) < 1e-9);
    QVERIFY(std::abs(m.cleared(0, 1) - m.preFault(0, 1)) > 0.1);
}

void TestMultimachine::faultOnLine_data() {
    QTest::addColumn<int>("from"); // the line as the fault names it
    QTest::addColumn<int>("to");
    QTest::addColumn<double>("location");
    QTest::addColumn<double>("x1"); // machine 1's reactance to the grounded point
    QTest::addColumn<double>("x2");
    // x'd 0.2 and 0.1 on either side of the 0.4 line; the grounded point cuts them apart.
    QTest::newRow("quarter") << 1 << 2 << 0.25 << 0.3 << 0.4;
    QTest::newRow("quarter, named 2-1") << 2 << 1 << 0.25 << 0.5 << 0.2;
    QTest::newRow("at bus 1") << 1 << 2 << 0.0 << 0.2 << 0.5;
    QTest::newRow("at bus 2") << 1 << 2 << 1.0 << 0.6 << 0.1;
}

void TestMultimachine::faultOnLine() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(double, location);
    QFETCH(double, x1);
    QFETCH(double, x2);
    const Grid g = twoMachines();
    FaultSpec fault;
    fault.line = BranchId{from, to, 1};
    fault.location = location;
    const ClassicalModelResult built = buildClassicalModel(g, solveLoadFlow(g), fault);
    QVERIFY2(built.problem.empty(), built.problem.c_str());
    const Eigen::MatrixXcd &y = built.model.faulted;
    QVERIFY(std::abs(y(0, 0) - 1.0 / Complex(0, x1)) < 1e-12);
    QVERIFY(std::abs(y(1, 1) - 1.0 / Complex(0, x2)) < 1e-12);
    QVERIFY(std::abs(y(0, 1)) < 1e-12);
}

QTEST_APPLESS_MAIN(TestMultimachine)
#include "tst_multimachine.moc"
