// The disturbances without a fault, the stability region, the early verdict of the
// searches, the study and the table of the case's values, all in the model without any
// window.
#include "casefields.h"
#include "criticalclearing.h"
#include "equalarea.h"
#include "faultrun.h"
#include "stabilityboundary.h"
#include "study.h"

#include <cmath>
#include <QtTest>
#include <random>
#include <set>

Q_DECLARE_METATYPE(FaultScenario)
Q_DECLARE_METATYPE(TGenParams)

namespace {

constexpr double Deg = 180 / 3.14159265358979323846;

TGenParams undamped(double pmech, double h = 6) {
    TGenParams p;
    p.Pmech = pmech;
    p.H = h;
    p.Demping = 0;
    return p;
}

FaultScenario powerStep(double p1) {
    FaultScenario s;
    s.network = Network::PowerStep;
    s.pmechAfter = p1;
    return s;
}

FaultScenario lineOut(double r2) {
    FaultScenario s;
    s.network = Network::LineOut;
    s.after = r2;
    return s;
}

FaultScenario twoLines(double location, int recloseMs = 0,
                       RecloseOnto onto = RecloseOnto::Transient) {
    FaultScenario s;
    s.network = Network::TwoLines;
    s.locationPercent = location;
    s.recloseMs = recloseMs;
    s.recloseOnto = onto;
    return s;
}

// The first clearing time, from 0 up, whose whole run falls out of step; -1 for none.
int exhaustiveFirstOut(const TGenParams &p, const FaultScenario &s, int limitMs) {
    for (int ms = 0; ms <= limitMs; ++ms)
        if (simulateFault(p, ms, s).end == RunEnd::OutOfStep) return ms;
    return -1;
}

} // namespace

class TestDisturbances : public QObject {
    Q_OBJECT
private slots:
    void criterion_data();
    void criterion();
    void largestStablePmechAgreesWithSingleRuns_data();
    void largestStablePmechAgreesWithSingleRuns();
    void runOfADisturbance();
    void boundaryCrossings_data();
    void boundaryCrossings();
    void earlyVerdictEqualsWholeRuns();
    void searchBeyondTheSliderEqualsAScan_data();
    void searchBeyondTheSliderEqualsAScan();
    void studyRows_data();
    void studyRows();
    void studyRefusals_data();
    void studyRefusals();
    void caseFieldsSetOnlyTheirOwnValue();
};

void TestDisturbances::criterion_data() {
    QTest::addColumn<double>("pmech");
    QTest::addColumn<FaultScenario>("scenario");
    QTest::addColumn<bool>("stable");
    QTest::addColumn<double>("delta0");
    QTest::addColumn<double>("delta1");
    QTest::addColumn<double>("deltaMax");
    QTest::addColumn<double>("largest");
    QTest::newRow("step 0.5 to 0.7")
        << 0.5 << powerStep(0.7) << true << 30.00 << 44.43 << 60.17 << 0.86965;
    QTest::newRow("step 0.5 to 0.88: out of step")
        << 0.5 << powerStep(0.88) << false << 30.00 << 61.64 << 0.0 << 0.86965;
    // Saadat's example 11.2: 0.6 of 2.0769 stepped as far as it can go.
    QTest::newRow("step to the largest P1") << 0.6 / 2.0769 << powerStep(1.6836 / 2.0769) << true
                                            << 16.79 << 54.16 << -1.0 << 1.684 / 2.0769;
    QTest::newRow("line out 1.351 to 1.1024") << 0.9 / 1.351 << lineOut(1.1024 / 1.351) << true
                                              << 41.77 << 54.73 << 69.26 << 1.0372 / 1.351;
    // A fall in power swings down first, and back.
    QTest::newRow("step down 0.7 to 0.5")
        << 0.7 << powerStep(0.5) << true << 44.43 << 30.00 << 16.25 << 0.99;
}

void TestDisturbances::criterion() {
    QFETCH(double, pmech);
    QFETCH(FaultScenario, scenario);
    QFETCH(bool, stable);
    QFETCH(double, delta0);
    QFETCH(double, delta1);
    QFETCH(double, deltaMax);
    QFETCH(double, largest);
    const DisturbanceCriterion k = disturbanceCriterion(undamped(pmech), scenario);
    QCOMPARE(k.stable, stable);
    QVERIFY2(std::fabs(double(k.delta0) * Deg - delta0) < 0.005,
             qPrintable(QString::number(double(k.delta0) * Deg)));
    QVERIFY2(std::fabs(double(k.delta1) * Deg - delta1) < 0.005,
             qPrintable(QString::number(double(k.delta1) * Deg)));
    if (stable && deltaMax >= 0)
        QVERIFY2(std::fabs(double(k.deltaMax) * Deg - deltaMax) < 0.005,
                 qPrintable(QString::number(double(k.deltaMax) * Deg)));
    if (largest < 0.99)
        QVERIFY2(std::fabs(double(k.largestPmech) - largest) < 2.5e-4,
                 qPrintable(QString::number(double(k.largestPmech), 'g', 10)));
    // At the largest stable power the swing just reaches delta_u = pi - delta1 (125.84
    // degrees in the textbook's example).
    FaultScenario largestStep = scenario;
    TGenParams at = undamped(pmech);
    if (scenario.network == Network::PowerStep)
        largestStep.pmechAfter = double(k.largestPmech) * (1 - 1e-9);
    else
        at.Pmech = double(k.largestPmech) * (1 - 1e-9);
    const DisturbanceCriterion edge = disturbanceCriterion(at, largestStep);
    QVERIFY(edge.stable);
    QVERIFY(std::fabs(double(edge.deltaMax + edge.delta1) * Deg - 180) < 0.05);
}

void TestDisturbances::largestStablePmechAgreesWithSingleRuns_data() {
    QTest::addColumn<TGenParams>("params");
    QTest::addColumn<FaultScenario>("scenario");
    QTest::newRow("step from 0.5, undamped") << undamped(0.5) << powerStep(0.7);
    QTest::newRow("step from 0.5, damped") << TGenParams{} << powerStep(0.7);
    QTest::newRow("line out, H 2") << undamped(0.3, 2) << lineOut(0.816);
    QTest::newRow("line out to 0.2") << TGenParams{} << lineOut(0.2);
}

void TestDisturbances::largestStablePmechAgreesWithSingleRuns() {
    QFETCH(TGenParams, params);
    QFETCH(FaultScenario, scenario);
    const LargestStablePmech found = findLargestStablePmech(params, scenario);
    QCOMPARE(found.kind, LargestStablePmech::Kind::Limit);
    // Whole runs at the two grid values about the limit, and every one below it.
    for (int k = found.firstTried; k <= found.lastInStep + 1; ++k) {
        TGenParams p = params;
        FaultScenario s = scenario;
        setSearchedPmech(p, s, k);
        QCOMPARE(simulateFault(p, 0, s).end,
                 k <= found.lastInStep ? RunEnd::ClockLimit : RunEnd::OutOfStep);
    }
    // Undamped, the criterion's limit lies within the grid step and the steps' error.
    if (params.Demping != 0) return;
    const double criterion = double(disturbanceCriterion(params, scenario).largestPmech);
    QVERIFY2(std::fabs(found.lastInStep / 1000.0 - criterion) < 0.004,
             qPrintable(QString::number(criterion)));
}

void TestDisturbances::runOfADisturbance() {
    // A step: the run turns on P1 from its first step, on the whole network, no fault.
    FaultRun run(undamped(0.5));
    Oppervlaktesom som;
    double top = 0;
    run.addListener([&](const StepReport &r) {
        QVERIFY(!r.faultOn);
        QCOMPARE(r.factor, 1.0);
        som.stap(run.generator(), r.faultOn, r.factor);
        top = std::max(top, r.Delta);
    });
    run.start(powerStep(0.7));
    som.start(run.generator(), powerStep(0.7));
    while (run.continues()) run.step(200);
    run.finish();
    QCOMPARE(run.end(), RunEnd::ClockLimit);
    QCOMPARE(run.generator().Pmech, 0.7);
    QVERIFY2(std::fabs(top * Deg - 60.17) < 0.2, qPrintable(QString::number(top * Deg)));
    // The areas swept up to the turn balance, but for the steps' error.
    QCOMPARE(som.oordeel(), Oppervlaktesom::Oordeel::Stabiel);
    QVERIFY2(std::fabs(double(som.A1() - som.A2())) < 0.003 * double(som.A1()),
             qPrintable(QString("%1 %2").arg(double(som.A1())).arg(double(som.A2()))));
    // Machine data given during the run leave the step's power in force.
    TGenParams changed = undamped(0.5);
    changed.H = 7;
    run.start(powerStep(0.7));
    QVERIFY(!run.takeMachineData(changed));
    QCOMPARE(run.generator().Pmech, 0.7);
}

void TestDisturbances::boundaryCrossings_data() {
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("pm");
    QTest::addColumn<double>("r");
    QTest::newRow("defaults") << 6.0 << 0.5 << 1.0;
    QTest::newRow("two lines cleared") << 5.0 << 0.8 / 1.8 << 0.8125;
    QTest::newRow("Pmech 0: symmetric") << 3.0 << 0.0 << 1.0;
    QTest::newRow("near the top") << 2.0 << 0.99 << 1.0;
}

void TestDisturbances::boundaryCrossings() {
    QFETCH(double, h);
    QFETCH(double, pm);
    QFETCH(double, r);
    const StabilityBoundary b(h, pm, r);
    QVERIFY(b.exists());
    const long double ds = std::asin(pm / r);
    QCOMPARE(double(b.deltaU()), double(3.14159265358979323846L - ds));
    // Both crossings have the barrier's energy, all of it potential:
    // Pm (delta - ds) + r (cos delta - cos ds) = Pm (du - ds) + r (cos du - cos ds).
    const auto potential = [&](long double d) {
        return -pm * (d - ds) - r * (std::cos(d) - std::cos(ds));
    };
    const long double barrier = pm * (3.14159265358979323846L - 2 * ds) * -1 + 2 * r * std::cos(ds);
    QVERIFY(std::fabs(double(potential(b.deltaU()) - barrier)) < 1e-12);
    QVERIFY(std::fabs(double(potential(b.deltaLow()) - barrier)) < 1e-12);
    QVERIFY(b.deltaLow() < ds && b.deltaLow() >= -3.14159265358979323846L - ds);
    if (pm == 0) QVERIFY(std::fabs(double(b.deltaLow()) + 3.14159265358979323846) < 1e-9);
    // At delta_s the speed is the one that carries the rotor up to delta_u.
    QVERIFY(std::fabs(double(b.speedAt(ds) -
                             std::sqrt(barrier * 100 * 3.14159265358979323846L / h))) < 1e-9);
    QCOMPARE(double(b.speedAt(b.deltaU() + 0.01)), 0.0);
    // No equilibrium, no region.
    QVERIFY(!StabilityBoundary(h, r * 1.01, r).exists());
}

void TestDisturbances::earlyVerdictEqualsWholeRuns() {
    // 2000 random cases of every network. Each search's limit is checked against whole
    // runs on either side of it and below it (every shorter clearing time must stay in
    // step), and a run's early verdict against the whole run at a random clearing time.
    std::mt19937_64 random(20261209);
    const auto uniform = [&](double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(random);
    };
    const auto whole = [](const TGenParams &p, int ms, const FaultScenario &s) {
        return simulateFault(p, ms, s).end != RunEnd::OutOfStep;
    };
    constexpr int Limit = 800;
    int early = 0;
    for (int n = 0; n < 2000; ++n) {
        TGenParams p;
        p.Pmech = uniform(0.05, 0.95);
        p.H = uniform(0.5, 12);
        p.Demping = random() % 3 == 0 ? 0 : uniform(0, 2e-4);
        FaultScenario s;
        switch (random() % 6) {
        case 0:
            break;
        case 1:
            s = twoLines(uniform(0, 99), random() % 2 ? 0 : int(uniform(100, 900)),
                         random() % 2 ? RecloseOnto::Transient : RecloseOnto::Permanent);
            break;
        case 2:
            s.network = Network::Transfer;
            s.during = uniform(0, 0.5);
            s.after = uniform(s.during + 0.1, 1);
            break;
        case 3:
            s = powerStep(uniform(0.05, 1));
            break;
        case 4:
            s = lineOut(uniform(0.3, 0.99));
            break;
        default:
            s = twoLines(uniform(0, 99));
            s.generatorReactance = uniform(0.1, 1);
            s.lineReactance = uniform(0.1, 1);
        }
        const QString name = QStringLiteral("Pmech %1 H %2 D %3 network %4")
                                 .arg(p.Pmech)
                                 .arg(p.H)
                                 .arg(p.Demping)
                                 .arg(networkKey(s.network));
        const int last = findCriticalClearingTime(p, s, Limit, nullptr, 1).lastInStepMs;
        if (last >= 0) QVERIFY2(whole(p, last, s), qPrintable(name));
        if (last < Limit) QVERIFY2(!whole(p, last + 1, s), qPrintable(name));
        if (last > 0) QVERIFY2(whole(p, int(uniform(0, last)), s), qPrintable(name));
        const int ms = int(uniform(0, Limit));
        const bool inStep = whole(p, ms, s);
        QVERIFY2(staysInStep(p, ms, s) == inStep,
                 qPrintable(name + QStringLiteral(" at %1 ms").arg(ms)));
        early += inStep;
    }
    QVERIFY(early > 200);
}

void TestDisturbances::searchBeyondTheSliderEqualsAScan_data() {
    QTest::addColumn<TGenParams>("params");
    QTest::addColumn<FaultScenario>("scenario");
    QTest::addColumn<int>("firstOut");
    // Far along the line with reclosing: critical only near 690 ms.
    QTest::newRow("80 %, reclosing") << TGenParams{} << twoLines(80, 300) << -2;
    QTest::newRow("busbar, defaults") << TGenParams{} << FaultScenario{} << 376;
    QTest::newRow("permanent reclose")
        << TGenParams{} << twoLines(50, 400, RecloseOnto::Permanent) << -2;
}

void TestDisturbances::searchBeyondTheSliderEqualsAScan() {
    QFETCH(TGenParams, params);
    QFETCH(FaultScenario, scenario);
    QFETCH(int, firstOut);
    const int scanned = exhaustiveFirstOut(params, scenario, SearchLimitMs);
    if (firstOut != -2) QCOMPARE(scanned, firstOut);
    const CriticalClearing found = findCriticalClearingTime(params, scenario, SearchLimitMs);
    QCOMPARE(found.limitMs, SearchLimitMs);
    QCOMPARE(found.lastInStepMs, scanned < 0 ? SearchLimitMs : scanned - 1);
    qDebug() << scanned;
}

void TestDisturbances::studyRows_data() {
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<FaultScenario>("scenario");
    QTest::addColumn<double>("pmech");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("ms");
    for (const auto &[h, ms] :
         {std::pair{2.0, 209.89}, {4.0, 296.83}, {6.0, 363.55}, {8.0, 419.79}, {10.0, 469.34}})
        QTest::addRow("busbar, H %g", h) << "H" << FaultScenario{} << 0.5 << h << 79.56 << ms;
    for (const auto &[at, angle, ms] : {std::tuple{0.0, 71.77, 251.06},
                                        {25.0, 85.43, 343.56},
                                        {50.0, 98.83, 450.53},
                                        {75.0, 112.75, 596.63}})
        QTest::addRow("two lines at %g %%", at)
            << "location" << twoLines(50) << 0.8 / 1.8 << at << angle << ms;
}

void TestDisturbances::studyRows() {
    QFETCH(QString, parameter);
    QFETCH(FaultScenario, scenario);
    QFETCH(double, pmech);
    QFETCH(double, value);
    QFETCH(double, angle);
    QFETCH(double, ms);
    StabilityCase c;
    // The textbook's H 5 is on a base in which Pmax is 1.8 per-unit; Dravex's swing
    // equation is per-unit of Pmax, where that inertia is H 5 / 1.8.
    c.machine = undamped(pmech, scenario.network == Network::TwoLines ? 5 / 1.8 : 5);
    c.scenario = scenario;
    const auto key = studyParameterFromKey(parameter.toStdString());
    QVERIFY(key);
    const StudyPoint point = studyPoint(c, *key, value, SearchLimitMs);
    QCOMPARE(point.criterion.soort, KritiekeAfschakeling::Soort::Grens);
    QVERIFY2(std::fabs(double(point.criterion.hoek) * Deg - angle) < 0.005,
             qPrintable(QString::number(double(point.criterion.hoek) * Deg)));
    QVERIFY2(std::fabs(double(point.criterion.tijd) * 1000 - ms) < 0.005,
             qPrintable(QString::number(double(point.criterion.tijd) * 1000)));
    // The simulation, undamped, lies within a step or two of the criterion.
    QCOMPARE(point.simulation.kind, CriticalClearing::Kind::Limit);
    QVERIFY2(std::fabs(point.simulation.lastInStepMs - ms) < 7,
             qPrintable(QString::number(point.simulation.lastInStepMs)));
}

void TestDisturbances::studyRefusals_data() {
    QTest::addColumn<FaultScenario>("scenario");
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("points");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("fine") << FaultScenario{} << "H" << 2.0 << 10.0 << 100 << "";
    QTest::newRow("no fault")
        << powerStep(0.7) << "H" << 2.0 << 10.0 << 10
        << "A study needs a fault to clear: the case's network (power-step) has no clearing time.";
    QTest::newRow("location of a busbar")
        << FaultScenario{} << "location" << 0.0 << 50.0 << 10
        << "location belongs to the two-lines network, not to the case's (busbar).";
    QTest::newRow("one value") << FaultScenario{} << "H" << 2.0 << 2.0 << 10
                               << "The range's ends must be two different numbers.";
    QTest::newRow("one point") << FaultScenario{} << "H" << 2.0 << 10.0 << 1
                               << "A study has from 2 to 200 points.";
    QTest::newRow("H to 0") << FaultScenario{} << "H" << 2.0 << 0.0 << 10
                            << "H to 0: H must be greater than 0.";
    QTest::newRow("Pmech from NaN") << FaultScenario{} << "Pmech" << qQNaN() << 0.5 << 10
                                    << "Pmech from nan: Pmech must lie from 0 to 1.";
    FaultScenario reclosing;
    reclosing.recloseMs = 300;
    QTest::newRow("dead time from 0.4, rounding to none")
        << FaultScenario{} << "reclose_ms" << 0.4 << 600.0 << 7
        << "reclose_ms from 0.4: The dead time before reclosing must lie from 1 to 5000 ms.";
    QTest::newRow("dead time to 5001")
        << FaultScenario{} << "reclose_ms" << 1.0 << 5001.0 << 3
        << "reclose_ms to 5001: The dead time before reclosing must lie from 1 to 5000 ms.";
    QTest::newRow("dead time from 1") << reclosing << "reclose_ms" << 1.0 << 600.0 << 7 << "";
    // Ends far apart: the points between them must not overflow on the way.
    QTest::newRow("H up to 1.7e308") << FaultScenario{} << "H" << 1.0 << 1.7e308 << 4 << "";
    QTest::newRow("location to 100")
        << twoLines(50) << "location" << 0.0 << 100.0 << 10
        << "location to 100: The fault location must lie from 0 to below 100 % of the line.";
}

void TestDisturbances::studyRefusals() {
    QFETCH(FaultScenario, scenario);
    QFETCH(QString, parameter);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, points);
    QFETCH(QString, refusal);
    StabilityCase c;
    c.scenario = scenario;
    const auto why =
        checkStudy(c, {*studyParameterFromKey(parameter.toStdString()), from, to, points});
    QCOMPARE(QString::fromStdString(why.value_or("")), refusal);
}

void TestDisturbances::caseFieldsSetOnlyTheirOwnValue() {
    // A value set through the table reads back through it, and no other value moves: a
    // row that reads or writes another member shows here. Each key names one row.
    std::set<std::string> keys;
    for (const CaseFieldInfo &f : caseFields()) {
        QVERIFY2(keys.insert(f.key).second, f.key);
        QCOMPARE(caseFieldOfKey(f.key), &f);
        if (!f.set) continue;
        StabilityCase c;
        f.set(c, 37);
        QCOMPARE(f.get(c), 37.0);
        for (const CaseFieldInfo &other : caseFields())
            if (&other != &f && other.get)
                QVERIFY2(other.get(c) == other.get(StabilityCase{}), other.key);
    }
}

QTEST_APPLESS_MAIN(TestDisturbances)
#include "tst_disturbances.moc"
