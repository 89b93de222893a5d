#include "statuslines.h"

#include "constants.h"
#include "numberformat.h"

#include <cmath>

namespace {

constexpr long double Deg = 180 / Pi;

QString degrees(long double radians) {
    return formatFixed(radians * Deg, 4, 1) + QChar(0x00B0);
}

} // namespace

QString noAreasText() {
    return QStringLiteral("A1 and A2 are summed while a short circuit runs");
}

QString earlierDataText() {
    return QStringLiteral("Run on earlier data: ");
}

QString criterionText(const KritiekeAfschakeling &k) {
    using Soort = KritiekeAfschakeling::Soort;
    const bool whole = k.r2 == 1; // the network is whole after clearing
    switch (k.soort) {
    case Soort::GeenVersnelling:
        return QStringLiteral("Equal areas: with Pmech 0 nothing accelerates the rotor, so any "
                              "clearing time is stable");
    case Soort::A2Overwint:
        return QStringLiteral("Equal areas: A2 outweighs A1 wherever the fault is cleared: any "
                              "clearing time is stable");
    case Soort::KeertOnderFout:
        return QStringLiteral("Equal areas: under the fault the swing turns back at %1, before "
                              "the critical angle: any clearing time is stable")
            .arg(degrees(k.keerhoek));
    case Soort::GeenEvenwicht:
        return QStringLiteral("Equal areas: Pmech lies above the power after clearing (%1): no "
                              "equilibrium, no clearing time keeps it in step")
            .arg(formatGeneralDigits(k.r2, 4));
    case Soort::A2TeKlein:
        return QStringLiteral("Equal areas: even a fault cleared at once leaves A2 short of A1: no "
                              "clearing time keeps it in step");
    case Soort::GeenMarge:
        return (whole ? QStringLiteral("Equal areas: with Pmech 1 there is no margin at all: ")
                      : QStringLiteral("Equal areas: with Pmech at the top of the curve after "
                                       "clearing there is no margin at all: ")) +
               QStringLiteral("critical clearing angle %1, critical clearing time 0 ms")
                   .arg(degrees(k.hoek));
    case Soort::Grens:
        break;
    }
    return QStringLiteral("Equal areas: critical clearing angle %1, critical clearing time %2 ms "
                          "(no damping)")
        .arg(degrees(k.hoek), formatGeneralDigits(k.tijd * 1000, 3));
}

QString criterionLine(const TGenParams &machine, const FaultScenario &scenario) {
    if (!scenario.hasFault())
        return disturbanceText(disturbanceCriterion(machine, scenario), scenario);
    QString text = criterionText(BerekenKritiek(machine, scenario));
    if (scenario.recloses()) text += QStringLiteral("; reclosing not covered");
    return text;
}

QString areasText(const Oppervlaktesom &som, bool damped) {
    QString text = QStringLiteral("A1 = %1  A2 = %2")
                       .arg(formatFixed(som.A1(), 15, 4), formatFixed(som.A2(), 15, 4));
    // Where the curve in force falls below Pmech for good is the unstable equilibrium
    // delta_u; delta_max names only where a swing turns. A curve that never reaches Pmech
    // has no delta_u.
    const QString dMax = std::isnan(som.deltaMax())
                             ? QStringLiteral("the power after clearing stays below Pmech")
                             : QStringLiteral("\u03B4u = ") + degrees(som.deltaMax());
    switch (som.oordeel()) {
    case Oppervlaktesom::Oordeel::Stabiel:
        // A2 ends where the swing turns. Undamped it then equals A1 but for the steps'
        // error; damping takes the rest of the rotor's gain on the way.
        text += QStringLiteral("   stable: the swing turned back at %1, before %2 (A2 swept up "
                               "to the turn%3)")
                    .arg(degrees(som.keerhoek()), dMax,
                         damped && som.A2() > 0 && som.A2() < som.A1()
                             ? QStringLiteral("; damping took the rest")
                             : QString());
        break;
    case Oppervlaktesom::Oordeel::Instabiel:
        text += std::isnan(som.deltaMax())
                    ? QStringLiteral("   unstable: %1").arg(dMax)
                    : QStringLiteral("   unstable: the angle passed %1; A2, all the area up to "
                                     "it, fell short of A1")
                          .arg(dMax);
        break;
    case Oppervlaktesom::Oordeel::Open:
        break;
    }
    return text;
}

namespace {

// Powers to 0.001 of Pmax, as the searches go.
QString power(long double value) {
    return formatFixed(value, 15, 3);
}

// A largest stable power to 0.001, rounded down: the value shown still stays in step.
QString largestPower(long double value) {
    return formatDown(value, 3);
}

} // namespace

QString disturbanceText(const DisturbanceCriterion &k, const FaultScenario &scenario) {
    const bool step = scenario.network == Network::PowerStep;
    const QString what = step ? QStringLiteral("the step to P1 %1").arg(power(k.pm))
                              : QStringLiteral("the line out (r2 %1)").arg(power(k.r));
    const QString largest =
        step ? QStringLiteral("largest stable P1 %1").arg(largestPower(k.largestPmech))
             : QStringLiteral("largest stable Pmech %1").arg(largestPower(k.largestPmech));
    QString text;
    if (k.noEquilibrium)
        text = QStringLiteral("Equal areas: after %1 Pmech lies above the curve's top %2: no "
                              "equilibrium, out of step")
                   .arg(what, power(k.r));
    else if (!k.stable)
        text = QStringLiteral("Equal areas: after %1 A2 falls short of A1 before \u03B4u = %2: "
                              "out of step")
                   .arg(what, degrees(Pi - k.delta1));
    else if (k.deltaMax < k.delta1)
        text = QStringLiteral("Equal areas: after %1 the rotor swings from %2 back past %3 down "
                              "to δmin = %4")
                   .arg(what, degrees(k.delta0), degrees(k.delta1), degrees(k.deltaMax));
    else
        text = QStringLiteral("Equal areas: after %1 the rotor swings from %2 past %3 to "
                              "δmax = %4")
                   .arg(what, degrees(k.delta0), degrees(k.delta1), degrees(k.deltaMax));
    return text + QStringLiteral("; ") + largest + QStringLiteral(" (no damping)");
}

QString largestPmechText(const LargestStablePmech &found) {
    const auto thousandths = [](int k) { return power(k / 1000.0L); };
    // A power step's search is of P1, the power after the step.
    const QString what = found.powerStep ? QStringLiteral("P1") : QStringLiteral("Pmech");
    switch (found.kind) {
    case LargestStablePmech::Kind::AlwaysInStep:
        return QStringLiteral("Simulation: in step for every %1 up to 1.000").arg(what);
    case LargestStablePmech::Kind::NeverInStep:
        return QStringLiteral("Simulation: out of step even at %1 %2")
            .arg(what, thousandths(found.firstTried));
    case LargestStablePmech::Kind::Limit:
        break;
    }
    return QStringLiteral("Simulation: in step up to %1 %2, out of step from %3")
        .arg(what, thousandths(found.lastInStep), thousandths(found.lastInStep + 1));
}

QString simulationText(const CriticalClearing &found, std::int32_t sliderMs) {
    if (found.largestPmech) return largestPmechText(*found.largestPmech);
    switch (found.kind) {
    case CriticalClearing::Kind::AlwaysInStep:
        return QStringLiteral("Simulation: in step for every clearing time up to %1 ms")
            .arg(found.lastInStepMs);
    case CriticalClearing::Kind::NeverInStep:
        return QStringLiteral("Simulation: out of step even at 0 ms");
    case CriticalClearing::Kind::Limit:
        break;
    }
    return QStringLiteral("Simulation: in step up to %1 ms, out of step from %2 ms%3")
        .arg(found.lastInStepMs)
        .arg(found.lastInStepMs + 1)
        .arg(found.lastInStepMs >= sliderMs ? QStringLiteral(", beyond the slider") : QString());
}
