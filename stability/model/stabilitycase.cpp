#include "stabilitycase.h"

#include <charconv>
#include <cmath>
#include <limits>

std::string shortestNumber(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

namespace {

CaseProblem problem(CaseField field, std::string message) {
    return CaseProblem{field, std::move(message)};
}

// A limit as a student reads it in a message: three significant digits, shown beside an
// "approximately" sign, since it may lie a little above the limit itself.
double threeDigits(double value) {
    char buffer[32];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 3);
    double rounded = value;
    std::from_chars(buffer, written.ptr, rounded);
    return rounded;
}

} // namespace

std::optional<CaseProblem> checkMachine(const TGenParams &v, const NumberText &number) {
    // Values for which the swing equation divides by zero, has no starting angle or
    // would let the damping overshoot in a single step.
    if (!(v.Pmax > 0)) return problem(CaseField::Pmax, "Pmax must be greater than 0.");
    if (!(v.H > 0)) return problem(CaseField::H, "H must be greater than 0.");
    // The speed step divides by the inertia coefficient M = 2 H Pmax / C^2: it must be a
    // normal double, or the step would divide by an underflowed 0 (speed and angle
    // become no number) or by an overflowed infinity.
    const long double m =
        static_cast<long double>(v.H) * v.Pmax * 2 / (SynchronousSpeed * SynchronousSpeed);
    const double least = std::numeric_limits<double>::min();
    const double most = std::numeric_limits<double>::max();
    if (m < least || m > most) {
        const bool tooSmall = m < least;
        // The field further from 1 is the one to change; its limit beside the other's
        // value is a number a student can read, where the bounds on M are not.
        const bool pmax = std::fabs(std::log10(v.Pmax)) >= std::fabs(std::log10(v.H));
        const long double other = pmax ? v.H : v.Pmax;
        const long double limit =
            (tooSmall ? least : most) * (SynchronousSpeed * SynchronousSpeed) / (2 * other);
        const std::string name = pmax ? "Pmax" : "H";
        const std::string otherText =
            pmax ? "H = " + number(v.H) + " s" : "Pmax = " + number(v.Pmax);
        return problem(pmax ? CaseField::Pmax : CaseField::H,
                       name + " must be " + (tooSmall ? "at least" : "at most") + " about " +
                           number(threeDigits(static_cast<double>(limit))) + " with " + otherText +
                           ": beyond that the inertia coefficient "
                           "M\u00A0=\u00A02\u00B7H\u00B7Pmax/\u03C9s\u00B2 would " +
                           (tooSmall ? "underflow" : "overflow") +
                           " and the swing could not "
                           "be computed.");
    }
    const long double dampingLimit = 2.0L * v.H / SynchronousSpeed;
    if (!(v.Demping >= 0) || !(SynchronousSpeed / (2.0L * v.H) * v.Demping < 1.0L))
        return problem(CaseField::Demping,
                       "Demping must be 0 or more and below 2H/\u03C9s \u2248 " +
                           number(threeDigits(static_cast<double>(dampingLimit))) +
                           " (\u03C9s = 100\u03C0 rad/s), so that one step removes less than "
                           "all of the speed deviation.");
    if (!(v.Pmech >= 0 && v.Pmech <= 1))
        return problem(CaseField::Pmech, "Pmech must lie from 0 to 1.");
    return std::nullopt;
}

std::optional<CaseProblem> checkScenario(const FaultScenario &s, const NumberText &number) {
    const std::string most = number(MaxReactance);
    switch (s.network) {
    case Network::Busbar:
        break;
    case Network::TwoLines:
        if (!(s.generatorReactance > 0 && s.generatorReactance <= MaxReactance))
            return problem(CaseField::GeneratorReactance,
                           "The generator reactance Xg must be above 0 and at most " + most +
                               " per-unit.");
        if (!(s.lineReactance > 0 && s.lineReactance <= MaxReactance))
            return problem(CaseField::LineReactance,
                           "The line reactance XL must be above 0 and at most " + most +
                               " per-unit.");
        if (!(s.locationPercent >= 0 && s.locationPercent < 100))
            return problem(CaseField::Location,
                           "The fault location must lie from 0 to below 100 % of the line.");
        break;
    case Network::Transfer:
        if (!(s.during >= 0 && s.during < 1))
            return problem(CaseField::During,
                           "The power during the fault r1 must lie from 0 to below 1.");
        if (!(s.after > 0 && s.after <= 1))
            return problem(CaseField::After,
                           "The power after clearing r2 must lie above 0 and at most 1.");
        if (!(s.during < s.after))
            return problem(CaseField::After,
                           "The power after clearing r2 must be above the power during the "
                           "fault r1 (" +
                               number(s.during) + ").");
        break;
    case Network::PowerStep:
        if (!(s.pmechAfter > 0 && s.pmechAfter <= 1))
            return problem(CaseField::PmechAfter,
                           "The mechanical power after the step P1 must lie above 0 and at most "
                           "1.");
        break;
    case Network::LineOut:
        if (!(s.after > 0 && s.after < 1))
            return problem(CaseField::After, "The power with the line out r2 must lie above 0 "
                                             "and below 1.");
        break;
    }
    if (s.hasFault() && s.recloseMs != 0 && !(s.recloseMs >= 1 && s.recloseMs <= MaxRecloseMs))
        return problem(CaseField::RecloseMs, "The dead time before reclosing must lie from 1 to " +
                                                 std::to_string(MaxRecloseMs) + " ms.");
    return std::nullopt;
}

std::optional<CaseProblem> checkCase(const StabilityCase &c, const NumberText &number) {
    if (auto p = checkMachine(c.machine, number)) return p;
    if (!(c.clearingMs >= 0 && c.clearingMs <= MaxClearingMs))
        return problem(CaseField::ClearingMs, "The clearing time must lie from 0 to " +
                                                  std::to_string(MaxClearingMs) + " ms.");
    if (auto p = checkScenario(c.scenario, number)) return p;
    if (c.scenario.network == Network::PowerStep && c.scenario.pmechAfter == c.machine.Pmech)
        return problem(CaseField::PmechAfter,
                       "The mechanical power after the step P1 must differ from Pmech (" +
                           number(c.machine.Pmech) + ").");
    return std::nullopt;
}
