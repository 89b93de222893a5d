// The equal-area criterion in numbers: the critical clearing angle and time, and the
// areas A1 and A2 summed along a run.
#include "equalarea.h"
#include "faultrun.h"

#include <cmath>
#include <QtTest>

namespace {

const long double Deg = 180 / 3.14159265358979323846L;

// Steps a generator the way the fault run does, to the clock limit or until `until`
// says stop, feeding the area sums.
struct Run {
    TMyGenerator g;
    Oppervlaktesom som;
    double clock = 0;
    long double clearingAngle = 0;
    long double largestStepChange = 0;

    Run(const TGenParams &p, int clearingMs, const std::function<bool(const Run &)> &until = {})
        : g(p) {
        som.start(g);
        while (clock < EindTijd) {
            const bool faultOn = g.BerekenPelek(clock, clearingMs);
            g.BerekenDomega(StapTijd);
            const double before = g.Delta;
            g.BerekenDelta(StapTijd);
            largestStepChange =
                std::max(largestStepChange, std::fabs(static_cast<long double>(g.Delta) - before));
            if (g.Pelek == 0.0) clearingAngle = g.Delta;
            som.stap(g, faultOn, faultOn ? 0 : 1);
            clock += StapTijd;
            if (until && until(*this)) break;
        }
    }
};

} // namespace

class TestEqualArea : public QObject {
    Q_OBJECT
private slots:
    void criticalClearing_data();
    void criticalClearing();
    void noPowerNoMargin();
    void a1IsTheAcceleratingRectangle();
    void undampedSwingGivesBackA1();
    void verdicts();
    void onNetworks_data();
    void onNetworks();
};

void TestEqualArea::criticalClearing_data() {
    QTest::addColumn<double>("pmech");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("degrees");
    QTest::addColumn<double>("ms");
    QTest::newRow("defaults") << 0.5 << 6.0 << 79.56 << 363.5;
    QTest::newRow("Pmech 0.8, H 3") << 0.8 << 3.0 << 64.56 << 97.6;
    QTest::newRow("Pmech 0.3") << 0.3 << 6.0 << 101.20 << 610.1;
}

void TestEqualArea::criticalClearing() {
    QFETCH(double, pmech);
    QFETCH(double, h);
    QFETCH(double, degrees);
    QFETCH(double, ms);
    TGenParams p;
    p.Pmech = pmech;
    p.H = h;
    const KritiekeAfschakeling k = BerekenKritiek(p);
    QVERIFY(!k.altijdStabiel);
    QVERIFY2(std::fabs(double(k.hoek * Deg) - degrees) < 0.005,
             qPrintable(QString::number(double(k.hoek * Deg))));
    QVERIFY2(std::fabs(double(k.tijd * 1000) - ms) < 0.05,
             qPrintable(QString::number(double(k.tijd * 1000))));
    QVERIFY(std::fabs(double((k.deltaMax + k.delta0) * Deg) - 180) < 1e-9);
}

void TestEqualArea::noPowerNoMargin() {
    TGenParams p;
    p.Pmech = 0;
    QVERIFY(BerekenKritiek(p).altijdStabiel);
    p.Pmech = 1;
    const KritiekeAfschakeling k = BerekenKritiek(p);
    QVERIFY(!k.altijdStabiel);
    QCOMPARE(double(k.tijd), 0.0);
    QVERIFY(std::fabs(double(k.hoek * Deg) - 90) < 1e-6);
}

void TestEqualArea::a1IsTheAcceleratingRectangle() {
    // With no electrical power during the fault, A1 is Pmech times the angle gained.
    for (int ms : {0, 100, 200, 350}) {
        const Run r(TGenParams{}, ms, [](const Run &run) { return run.clock > 0.5; });
        const long double expected = 0.5L * (r.clearingAngle - 3.14159265358979323846L / 6);
        QVERIFY2(std::fabs(double(r.som.A1() - expected)) < 1e-12, qPrintable(QString::number(ms)));
    }
}

void TestEqualArea::undampedSwingGivesBackA1() {
    // Without damping the rotor gives back at the top of the swing what it gained: A2
    // equals A1 but for what one step's strip can hold, the largest step in angle
    // times the largest decelerating power (1 + Pmech).
    TGenParams p;
    p.Demping = 0;
    for (int ms : {100, 200, 300}) {
        const Run r(p, ms, [](const Run &run) {
            return run.som.oordeel() != Oppervlaktesom::Oordeel::Open;
        });
        QCOMPARE(r.som.oordeel(), Oppervlaktesom::Oordeel::Stabiel);
        const long double bound = r.largestStepChange * 1.5L;
        QVERIFY2(std::fabs(double(r.som.A2() - r.som.A1())) < double(bound),
                 qPrintable(QStringLiteral("%1 ms: A1 %2, A2 %3, bound %4")
                                .arg(ms)
                                .arg(double(r.som.A1()))
                                .arg(double(r.som.A2()))
                                .arg(double(bound))));
    }
}

void TestEqualArea::verdicts() {
    const Run stable(TGenParams{}, 200, [](const Run &run) {
        return run.som.oordeel() != Oppervlaktesom::Oordeel::Open;
    });
    QCOMPARE(stable.som.oordeel(), Oppervlaktesom::Oordeel::Stabiel);
    const double top = double(stable.som.keerhoek() * Deg);
    QVERIFY2(top > double(stable.clearingAngle * Deg) && top < 150,
             qPrintable(QString::number(top)));
    QVERIFY(std::fabs(double(stable.som.deltaMax() * Deg) - 150) < 1e-9);
    // 376 ms: the angle passes delta_max, A2 never reached A1.
    const Run unstable(TGenParams{}, 376, [](const Run &run) {
        return run.som.oordeel() != Oppervlaktesom::Oordeel::Open;
    });
    QCOMPARE(unstable.som.oordeel(), Oppervlaktesom::Oordeel::Instabiel);
    QVERIFY(unstable.som.A2() < unstable.som.A1());
    QVERIFY(unstable.g.Delta > 5 * 3.14159265358979 / 6);
    // A2 is the whole decelerating area up to delta_max, and stays so while the rotor
    // slips on: positive, below A1.
    const Run slipping(TGenParams{}, 376, [](const Run &run) { return run.g.Delta > 25; });
    QCOMPARE(double(slipping.som.A2()), double(unstable.som.A2()));
    QVERIFY(slipping.som.A2() > 0.1);
}

void TestEqualArea::onNetworks_data() {
    using S = KritiekeAfschakeling::Soort;
    QTest::addColumn<double>("pmech");
    QTest::addColumn<double>("r1");
    QTest::addColumn<double>("r2");
    QTest::addColumn<int>("soort");
    QTest::addColumn<double>("degrees"); // critical clearing angle, or -1 for none
    QTest::addColumn<double>("ms");      // critical clearing time, or -1 for none
    // Pmech 0.8 on a Pmax of 1.8, 0.65 during the fault and 1.4625 after.
    QTest::newRow("textbook") << 0.8 / 1.8 << 0.65 / 1.8 << 1.4625 / 1.8 << int(S::Grens) << 98.83
                              << -1.0;
    // The two-line preset: Xg 0.5, XL 0.3, fault halfway.
    QTest::newRow("two lines") << 0.5 << 0.65 / 1.8 << 0.8125 << int(S::Grens) << 86.90 << 529.0;
    QTest::newRow("no equilibrium after")
        << 0.9 << 0.65 / 1.8 << 0.8125 << int(S::GeenEvenwicht) << -1.0 << -1.0;
    QTest::newRow("A2 short even at once")
        << 0.5 << 0.0 << 0.55 << int(S::A2TeKlein) << -1.0 << -1.0;
    QTest::newRow("A2 always wins") << 0.5 << 0.9 << 1.0 << int(S::A2Overwint) << -1.0 << -1.0;
    QTest::newRow("turns back under the fault")
        << 0.5 << 0.6 << 0.7 << int(S::KeertOnderFout) << -1.0 << -1.0;
    QTest::newRow("Pmech at the top after")
        << 0.5 << 0.2 << 0.5 << int(S::GeenMarge) << 90.0 << 0.0;
}

void TestEqualArea::onNetworks() {
    QFETCH(double, pmech);
    QFETCH(double, r1);
    QFETCH(double, r2);
    QFETCH(int, soort);
    QFETCH(double, degrees);
    QFETCH(double, ms);
    TGenParams p;
    p.Pmech = pmech;
    FaultScenario s;
    s.network = Network::Transfer;
    s.during = r1;
    s.after = r2;
    const KritiekeAfschakeling k = BerekenKritiek(p, s);
    QCOMPARE(int(k.soort), soort);
    if (degrees >= 0)
        QVERIFY2(std::fabs(double(k.hoek * Deg) - degrees) < 0.005,
                 qPrintable(QString::number(double(k.hoek * Deg))));
    if (ms >= 0)
        QVERIFY2(std::fabs(double(k.tijd * 1000) - ms) < 0.5,
                 qPrintable(QString::number(double(k.tijd * 1000), 'f', 3)));
    if (k.soort == KritiekeAfschakeling::Soort::Grens) {
        // The undamped run cleared just before the critical angle stays in step, just
        // after it falls out: the time is where the run reaches that angle.
        TGenParams undamped = p;
        undamped.Demping = 0;
        const auto run = [&](double offsetMs) {
            TMyGenerator g(undamped);
            double clock = 0, deltaAtClearing = 0;
            for (; clock < k.tijd + offsetMs / 1000; clock += 1e-5) {
                g.BerekenPelek(r1);
                g.BerekenDomega(1e-5);
                g.BerekenDelta(1e-5);
            }
            deltaAtClearing = g.Delta;
            return deltaAtClearing;
        };
        QVERIFY(run(-0.2) < k.hoek && run(0.2) > k.hoek);
    }
}

QTEST_GUILESS_MAIN(TestEqualArea)
#include "tst_equalarea.moc"
