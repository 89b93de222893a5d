// The equal-area polygons through whole runs, the plots' redraws in the run and the phase
// plane following a long swing: a session's runs drawn as the main window draws them,
// without the window.
#include "dravexsession.h"
#include "plotchecks.h"
#include "runplots.h"

#include <cmath>
#include <QtTest>

namespace {

const double pi = 3.14159265358979323846;

// The three plots on pictures of their layout size, following a session's runs as the
// main window has them follow: a new case's curves when the scenario changes outside a
// run, a fresh start for a run's new generator, and every step drawn.
struct PlottedRuns {
    DrawSurface sinusPicture{QSize(281, 168)}, phasePicture{QSize(145, 145)},
        rotorPicture{QSize(161, 161)};
    RunPlots plots{sinusPicture, phasePicture, rotorPicture};
    DravexSession s;
    std::function<void(int)> onStep; // the test's own action at the end of a step

    PlottedRuns() {
        s.setSpeed(RunSpeed::Fast);
        s.searchRunner = [](CriticalSearch, CriticalFound) {};
        plots.drawStart(s.generator());
        QObject::connect(&s, &DravexSession::scenarioChanged, [this] {
            if (!s.isRunning())
                plots.redrawPowerAngle(s.scenario(), s.machineData().Pmech, nullptr);
        });
        QObject::connect(&s, &DravexSession::generatorRenewed,
                         [this] { plots.drawNewGenerator(s.generator(), s.scenario()); });
        QObject::connect(&s, &DravexSession::runBegun, [this] {
            plots.beginRun(s.generator(), *s.history().last(), s.scenario());
        });
        QObject::connect(&s, &DravexSession::stepped, [this](const StepReport &r) {
            plots.drawStep(s.generator(), r.network, s.history().last());
        });
        QObject::connect(&s, &DravexSession::stepEnded, [this](int n) {
            if (onStep) onStep(n);
        });
    }
};

// The operating point at every fifth step, when the areas are updated.
struct Update {
    double delta, pelek;
};

std::vector<Update> recordUpdates(PlottedRuns &h) {
    auto updates = std::make_shared<std::vector<Update>>();
    h.onStep = [&h, updates](int n) {
        if (n % 5 == 0) updates->push_back({h.s.generator().Delta, h.s.generator().Pelek});
    };
    h.s.shortCircuit();
    return *updates;
}

QPoint operatingPoint(const SinusPlot &s, const Update &u) {
    return QPoint(s.Hoek2X(u.delta), s.Vermogen2Y(u.pelek));
}

// Every lime pixel lies inside the bounding box of one of the polygons.
bool limeOnlyWithin(const DrawSurface &s, const std::vector<QRect> &boxes) {
    for (int y = 0; y < s.size().height(); ++y)
        for (int x = 0; x < s.size().width(); ++x)
            if (s.pixel(x, y) == clLime &&
                std::none_of(boxes.begin(), boxes.end(),
                             [&](const QRect &r) { return r.contains(x, y); }))
                return false;
    return true;
}

QRect boundingBox(const PointList &points) {
    QRect r(points.front(), points.front());
    for (const QPoint &p : points) r = r.united(QRect(p, p));
    return r;
}

} // namespace

class TestOppervlakken : public QObject {
    Q_OBJECT
private slots:
    void defaultRunPaintsA1A2A3();
    void hatchesLeanOppositeWays();
    void shortClearingStartsA2AtStartingAngle();
    void laterShortRunFreezesA2AtOnce();
    void lateClearingStaysBelowPmech();
    void updateBeyondPiChangesNothing();
    void fullListTakesNoMore();
    void runStoppedAfterStep7ShowsStep5();
    void faultedLineRun_data();
    void faultedLineRun();
    void laterRunShowsNoEarlierArea();
    void a2SkipsTheSecondFault();
    void disturbanceAreasLieAboutDelta1_data();
    void disturbanceAreasLieAboutDelta1();
    void phasePlaneFollowsALongSwing();
};

void TestOppervlakken::defaultRunPaintsA1A2A3() {
    PlottedRuns h;
    const std::vector<Update> u = recordUpdates(h);
    const SinusPlot &s = *h.plots.sinus;
    const Oppervlakken &o = *h.plots.oppervlakken;
    const QPoint start(s.Hoek2X(pi / 6), 54);

    // A1: from the starting angle to the angle of the last fault-on update (step 65).
    std::size_t i = 0;
    while (u[i].pelek == 0.0) ++i;
    QCOMPARE(int(i), 13);
    const int xClear = s.Hoek2X(u[i - 1].delta);
    QCOMPARE(o.VlakA1, (PointList{start, {start.x(), 84}, {xClear, 84}, {xClear, 54}, start}));

    // A2 from the corner of A1, one vertex per update, frozen at the first smaller angle.
    PointList a2{QPoint(xClear, 54)};
    for (std::size_t k = i;; ++k) {
        a2.push_back(operatingPoint(s, u[k]));
        if (u[k].delta < u[k - 1].delta) {
            i = k + 1;
            break;
        }
    }
    a2.push_back(QPoint(a2.back().x(), 54));
    QVERIFY(o.A2Klaar);
    QCOMPARE(o.AantalA2, int(a2.size()) - 2);
    QCOMPARE(o.GetekendA2, a2);

    // A3 from (x0, yP), starting with the first update below Pmech on the way back and
    // ending with the first larger angle.
    while (u[i].pelek >= 0.5) ++i;
    PointList a3{start};
    for (std::size_t k = i;; ++k) {
        a3.push_back(operatingPoint(s, u[k]));
        if (u[k].delta > u[k - 1].delta) break;
    }
    a3.push_back(QPoint(a3.back().x(), 54));
    QVERIFY(!o.A3Wacht);
    QVERIFY(!o.VlakkenActief);
    QCOMPARE(o.GetekendA3, a3);
    QVERIFY(a3[1].x() < start.x());

    // What was painted: blue outlines (where the moving block has not whitened them),
    // lime only inside the final polygons (earlier, smaller versions were erased).
    const DrawSurface &pic = h.sinusPicture;
    QCOMPARE(pic.pixel(xClear, 70), clBlue);
    QCOMPARE(pic.pixel(a2.back().x(), 54), clBlue);
    QVERIFY(limeOnlyWithin(pic, {boundingBox(o.VlakA1), boundingBox(a2), boundingBox(a3)}));
}

void TestOppervlakken::hatchesLeanOppositeWays() {
    PlottedRuns h;
    recordUpdates(h);
    const Oppervlakken &o = *h.plots.oppervlakken;
    const DrawSurface &pic = h.sinusPicture;
    const auto diagonals = [&pic](const QRect &box, bool rising) {
        QSet<int> d;
        for (int y = box.top() + 1; y < box.bottom(); ++y)
            for (int x = box.left() + 1; x < box.right(); ++x)
                if (pic.pixel(x, y) == clLime)
                    d.insert(rising ? (x + y) % 8 : ((x - y) % 8 + 8) % 8);
        return d;
    };
    // A1's lime lies on rising diagonals x + y = 7 (mod 8), A2's on falling ones.
    QCOMPARE(diagonals(boundingBox(o.VlakA1), true), QSet<int>{7});
    QCOMPARE(diagonals(boundingBox(o.GetekendA2).adjusted(0, 0, 0, -2), false).size(), 1);
}

void TestOppervlakken::shortClearingStartsA2AtStartingAngle() {
    // Cleared before the first update (step 5): A1 never widens, A2 starts at (x0, yP).
    PlottedRuns h;
    h.s.setClearingTime(10);
    const std::vector<Update> u = recordUpdates(h);
    const Oppervlakken &o = *h.plots.oppervlakken;
    QVERIFY(u.front().pelek != 0.0);
    QCOMPARE(o.VlakA1[2].x(), o.VlakA1[0].x());
    QCOMPARE(o.GetekendA2.front(), o.VlakA1[0]);
    QVERIFY(o.AantalA2 > 1);
}

void TestOppervlakken::laterShortRunFreezesA2AtOnce() {
    // A run stopped at the top of the swing leaves a large angle behind; the next run's
    // first update after an early clearing finds a smaller one and freezes A2 at once.
    PlottedRuns h;
    h.onStep = [&h](int n) {
        if (n == 150) h.s.shortCircuit();
    };
    h.s.shortCircuit();
    QVERIFY(h.plots.oppervlakken->VorigeDelta > 1.0);
    h.s.setClearingTime(0);
    h.onStep = [&h](int n) {
        if (n == 50) h.s.shortCircuit();
    };
    h.s.shortCircuit();
    const Oppervlakken &o = *h.plots.oppervlakken;
    QVERIFY(o.A2Klaar);
    QCOMPARE(o.AantalA2, 1);
    QCOMPARE(int(o.GetekendA2.size()), 3);
}

void TestOppervlakken::lateClearingStaysBelowPmech() {
    // Cleared beyond pi - delta0 (a clearing time past the dialog's range, to reach
    // that angle with the default machine): A2 lies below the Pmech line, A3 never
    // starts and the updates stop once the angle passes pi.
    PlottedRuns h;
    h.s.setClearingTime(600);
    recordUpdates(h);
    const Oppervlakken &o = *h.plots.oppervlakken;
    QCOMPARE(h.s.history().last()->end, RunEnd::OutOfStep);
    QVERIFY(!o.BovenPmech);
    QVERIFY(o.A3Wacht);
    QVERIFY(o.VlakkenActief);
    QVERIFY(o.AantalA2 >= 1);
    for (int k = 1; k <= o.AantalA2; ++k) QVERIFY(o.GetekendA2[std::size_t(k)].y() > 54);
    QVERIFY(o.VorigeDelta <= pi);
}

void TestOppervlakken::updateBeyondPiChangesNothing() {
    DrawSurface s(QSize(281, 168));
    SinusPlot sinus(s);
    sinus.InitSinus();
    Oppervlakken o(s, sinus);
    o.InitOppervlakken(pi / 6, 0.5);
    o.TekenOppervlakken(0.8, 0.0, 0.5, NetworkState::Fault);
    o.TekenOppervlakken(1.2, 0.93, 0.5, NetworkState::Cleared);
    const QImage before = s.image().copy();
    const PointList a1 = o.VlakA1, a2 = o.VlakA2, g2 = o.GetekendA2;
    const double vorige = o.VorigeDelta;
    for (double pelek : {0.0, -0.2, 0.7})
        o.TekenOppervlakken(pi + 0.001, pelek, 0.5,
                            pelek == 0.0 ? NetworkState::Fault : NetworkState::Cleared);
    QCOMPARE(s.image(), before);
    QCOMPARE(o.VlakA1, a1);
    QCOMPARE(o.VlakA2, a2);
    QCOMPARE(o.GetekendA2, g2);
    QCOMPARE(o.VorigeDelta, vorige);
    QCOMPARE(o.AantalA2, 1);
    QVERIFY(o.VlakkenActief && !o.A2Klaar && o.A3Wacht && o.BovenPmech);
    // Back below pi, the updates resume.
    o.TekenOppervlakken(1.3, 0.96, 0.5, NetworkState::Cleared);
    QCOMPARE(o.AantalA2, 2);
}

void TestOppervlakken::fullListTakesNoMore() {
    // A very slow swing: more updates than the list has slots.
    DrawSurface s(QSize(281, 168));
    SinusPlot sinus(s);
    sinus.InitSinus();
    Oppervlakken o(s, sinus);
    o.InitOppervlakken(pi / 6, 0.5);
    for (int k = 0; k < 300; ++k)
        o.TekenOppervlakken(0.6 + k * 0.005, 0.8, 0.5, NetworkState::Cleared);
    QCOMPARE(o.AantalA2, 134);
    QCOMPARE(int(o.VlakA2.size()), 137);
    QCOMPARE(int(o.GetekendA2.size()), 136);
    // The swing still turns back and A2 freezes.
    o.TekenOppervlakken(1.0, 0.8, 0.5, NetworkState::Cleared);
    QVERIFY(o.A2Klaar);
}

void TestOppervlakken::runStoppedAfterStep7ShowsStep5() {
    PlottedRuns h;
    QImage sinusAt5, rotorAt5;
    double deltaAt7 = 0, domegaAt7 = 0;
    h.onStep = [&](int n) {
        if (n == 5) {
            sinusAt5 = h.sinusPicture.image().copy();
            rotorAt5 = h.rotorPicture.image().copy();
        }
        if (n == 7) {
            deltaAt7 = h.s.generator().Delta;
            domegaAt7 = h.s.generator().Domega;
            h.s.shortCircuit();
        }
    };
    h.s.shortCircuit();
    QCOMPARE(h.s.history().last()->samples.size(), std::size_t(7));
    QCOMPARE(h.sinusPicture.image(), sinusAt5);
    QCOMPARE(h.rotorPicture.image(), rotorAt5);
    QCOMPARE(h.plots.sinus->BlokPunten.size(), std::size_t(5));
    const Fase &f = *h.plots.fase;
    const QPoint at7(f.FaseHoek2X(deltaAt7), f.FaseDomega2Y(domegaAt7));
    QCOMPARE(*f.FasePunt, at7);
    QCOMPARE(h.phasePicture.penPos(), at7);
}

void TestOppervlakken::faultedLineRun_data() {
    QTest::addColumn<int>("recloseMs"); // 0: none
    QTest::newRow("line tripped") << 0;
    QTest::newRow("reclosed onto a permanent fault") << 150;
}

void TestOppervlakken::faultedLineRun() {
    // A fault halfway along one of two lines: the curves during the fault and after
    // clearing beside sin(delta), A1 down to the during-fault curve, the operating point
    // on the curve in force.
    QFETCH(int, recloseMs);
    PlottedRuns h;
    FaultScenario twoLines;
    twoLines.network = Network::TwoLines;
    twoLines.recloseMs = recloseMs;
    twoLines.recloseOnto = RecloseOnto::Permanent;
    h.s.setScenario(twoLines);
    const SinusPlot &s = *h.plots.sinus;
    const DrawSurface &surface = h.sinusPicture;
    const int top = s.Hoek2X(pi / 2);
    QCOMPARE(surface.pixel(top, s.Vermogen2Y(twoLines.r1())), clOrange);
    QCOMPARE(surface.pixel(top, s.Vermogen2Y(twoLines.r2())), clPurple);

    std::vector<NetworkState> states;
    h.onStep = [&](int n) {
        if (n % 5 != 0) return;
        const TMyGenerator &g = h.s.generator();
        const NetworkState state = networkAt(twoLines, h.s.runTime(), 200).state;
        if (states.empty() || states.back() != state) states.push_back(state);
        // The operating point runs along the curve in force (one step behind the angle).
        const double r = state == NetworkState::Fault || state == NetworkState::Refault
                             ? twoLines.r1()
                             : twoLines.r2();
        QVERIFY(std::fabs(g.Pelek - r * std::sin(g.Delta)) < 0.01);
    };
    h.s.shortCircuit();
    const Oppervlakken &o = *h.plots.oppervlakken;
    // A1's vertices lie on the during-fault curve, below the Pmech line.
    QVERIFY(o.AantalA1 > 5);
    for (int k = 1; k <= o.AantalA1; ++k) {
        const QPoint p = o.GetekendA1[std::size_t(k)];
        QVERIFY(p.y() > s.Vermogen2Y(0.5));
    }
    QCOMPARE(o.GetekendA2[0], o.A1Hoek);
    if (recloseMs == 0) {
        QCOMPARE(states.front(), NetworkState::Fault);
        QCOMPARE(states.back(), NetworkState::Cleared);
        QCOMPARE(o.AantalHerfout, 0);
    } else {
        QVERIFY(o.AantalHerfout > 5); // the second fault period has its own polygon
    }
}

// A power-angle plot whose areas began a run from 30 degrees at Pmech 0.5 with one update
// under the fault.
struct AreasUnderFault {
    DrawSurface s{QSize(281, 168)};
    SinusPlot p{s};
    Oppervlakken o{s, p};
    AreasUnderFault() {
        p.InitSinus();
        o.InitOppervlakken(pi / 6, 0.5, 0.3);
        o.TekenOppervlakken(0.7, 0.2, 0.5, NetworkState::Fault);
    }
};

void TestOppervlakken::laterRunShowsNoEarlierArea() {
    // A run reclosed onto the fault before any update under the first fault: the new
    // picture gets its own second-fault area and nothing of an earlier run's A1.
    AreasUnderFault a;
    a.p.Schoon();
    a.o.InitOppervlakken(pi / 6, 0.5, 0.3);
    a.o.TekenOppervlakken(1.2, 0.28, 0.5, NetworkState::Refault);
    QVERIFY(limeOnlyWithin(a.s, {boundingBox(a.o.GetekendHerfout)}));
}

void TestOppervlakken::a2SkipsTheSecondFault() {
    // Reclosed onto the fault while A2 grew: A2's outline runs along the Pmech line across
    // the second fault period, not in a chord from the curve before it to the curve after.
    AreasUnderFault a;
    Oppervlakken &o = a.o;
    const SinusPlot &p = a.p;
    for (const double d : {0.8, 0.9})
        o.TekenOppervlakken(d, std::sin(d), 0.5, NetworkState::Cleared);
    for (const double d : {1.0, 1.1})
        o.TekenOppervlakken(d, 0.3 * std::sin(d), 0.5, NetworkState::Refault);
    for (const double d : {1.2, 1.3})
        o.TekenOppervlakken(d, std::sin(d), 0.5, NetworkState::LockedOut);
    const int yP = p.Vermogen2Y(0.5);
    const PointList &a2 = o.GetekendA2;
    const auto at =
        std::find(a2.begin(), a2.end(), QPoint(p.Hoek2X(0.9), p.Vermogen2Y(std::sin(0.9))));
    QVERIFY(at != a2.end() && a2.end() - at > 3);
    QCOMPARE(*(at + 1), QPoint(p.Hoek2X(0.9), yP));
    QCOMPARE(*(at + 2), QPoint(p.Hoek2X(1.2), yP));
    QCOMPARE(*(at + 3), QPoint(p.Hoek2X(1.2), p.Vermogen2Y(std::sin(1.2))));
}

void TestOppervlakken::disturbanceAreasLieAboutDelta1_data() {
    QTest::addColumn<Network>("network");
    QTest::addColumn<double>("value"); // P1 for a step, r2 for a line out
    QTest::addColumn<Colour>("named"); // the colour of the line or curve in force
    QTest::newRow("power step") << Network::PowerStep << 0.85 << clTeal;
    QTest::newRow("line out") << Network::LineOut << 0.7 << clPurple;
    QTest::newRow("line out, no equilibrium") << Network::LineOut << 0.45 << clPurple;
}

void TestOppervlakken::disturbanceAreasLieAboutDelta1() {
    // A1 between the Pmech line in force and the curve below delta1, A2 above the line
    // beyond it, until the swing turns; without an equilibrium A1 alone.
    QFETCH(Network, network);
    QFETCH(double, value);
    QFETCH(Colour, named);
    PlottedRuns h;
    FaultScenario scenario;
    scenario.network = network;
    scenario.pmechAfter = scenario.after = value;
    h.s.setScenario(scenario);
    recordUpdates(h);
    const SinusPlot &s = *h.plots.sinus;
    const Oppervlakken &o = *h.plots.oppervlakken;
    // At 170 degrees, clear of the areas: P1's line, or r2 sin(delta) within a row.
    const double at = 170 * pi / 180;
    const int x = s.Hoek2X(at),
              y = s.Vermogen2Y(value * (network == Network::LineOut ? std::sin(at) : 1));
    const DrawSurface &pic = h.sinusPicture;
    QVERIFY(pic.pixel(x, y - 1) == named || pic.pixel(x, y) == named ||
            pic.pixel(x, y + 1) == named);
    const int yP = s.Vermogen2Y(scenario.mechanicalPower(0.5));
    const int x1 = std::isnan(o.delta1()) ? s.Hoek2X(pi) : s.Hoek2X(o.delta1());
    QVERIFY(o.AantalA1 > 3);
    for (int k = 1; k <= o.AantalA1; ++k)
        QVERIFY(o.GetekendA1[std::size_t(k)].y() >= yP && o.GetekendA1[std::size_t(k)].x() <= x1);
    if (std::isnan(o.delta1())) {
        QCOMPARE(o.AantalA2, 0);
        return;
    }
    QCOMPARE(o.GetekendA1[std::size_t(o.AantalA1)], QPoint(x1, yP));
    QVERIFY(o.A2Klaar && o.AantalA2 > 3);
    QCOMPARE(o.GetekendA2.front(), QPoint(x1, yP));
    for (int k = 1; k <= o.AantalA2; ++k)
        QVERIFY(o.GetekendA2[std::size_t(k)].x() >= x1 && o.GetekendA2[std::size_t(k)].y() <= yP);
    QVERIFY(limeOnlyWithin(pic, {boundingBox(o.GetekendA1), boundingBox(o.GetekendA2)}));
}

void TestOppervlakken::phasePlaneFollowsALongSwing() {
    // Cleared at 375 ms the swing leaves the standard spans; with labels the trace stays
    // inside the axes' box, clear of the values around it, and a redraw (as for a zoom)
    // draws the same plots.
    PlottedRuns h;
    h.plots.setLabels(true); // as View > Labels on the plots sets them
    h.plots.redraw(h.s.history());
    h.s.setClearingTime(375);
    h.s.shortCircuit();
    const Fase &f = *h.plots.fase;
    QVERIFY(f.angleRange > 1 || f.speedRange > 1); // the standard box did not hold it
    const DrawSurface &plane = h.phasePicture;
    const QRect box(f.FaseLinks, f.FaseBoven, f.FaseBreedte + 1, f.FaseHoogte + 1);
    QVERIFY(countPixels(plane, clBlue) > 200);
    QCOMPARE(countPixels(plane, clBlue, box), countPixels(plane, clBlue));

    const QImage sinus = h.sinusPicture.image(), fase = plane.image();
    h.plots.redraw(h.s.history());
    QCOMPARE(h.sinusPicture.image(), sinus);
    QCOMPARE(plane.image(), fase);
    // The ticks below the angle axis at delta0, delta_cr, delta_max and the clearing angle.
    const SinusPlot &p = *h.plots.sinus;
    std::vector<double> marked{p.clearingAngle().value_or(std::nan(""))};
    for (const SinusPlot::Mark &m : p.marks()) marked.push_back(m.angle);
    QCOMPARE(marked.size(), std::size_t(4));
    for (double angle : marked)
        QCOMPARE(h.sinusPicture.pixel(p.Hoek2X(angle), p.SinusNulY + 2), clBlack);
}

QTEST_MAIN(TestOppervlakken)
#include "tst_oppervlakken.moc"
