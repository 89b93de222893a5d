#include "stabilitycase.h"

#include "casefields.h"

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

// Whether the value lies in the field's own range (caseFields).
bool inRange(CaseField field, double value) {
    return caseField(field).range.contains(value);
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
    if (!inRange(CaseField::Pmax, v.Pmax))
        return problem(CaseField::Pmax, "Pmax must be greater than 0.");
    if (!inRange(CaseField::H, v.H)) return problem(CaseField::H, "H must be greater than 0.");
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
    if (!inRange(CaseField::Demping, v.Demping) ||
        !(SynchronousSpeed / (2.0L * v.H) * v.Demping < 1.0L))
        return problem(CaseField::Demping,
                       "Demping must be 0 or more and below 2H/\u03C9s \u2248 " +
                           number(threeDigits(static_cast<double>(dampingLimit))) +
                           " (\u03C9s = 100\u03C0 rad/s), so that one step removes less than "
                           "all of the speed deviation.");
    if (!inRange(CaseField::Pmech, v.Pmech))
        return problem(CaseField::Pmech, "Pmech must lie from 0 to 1.");
    return std::nullopt;
}

std::optional<CaseProblem> checkScenario(const FaultScenario &s, const NumberText &number) {
    const std::string most = number(MaxReactance);
    switch (s.network) {
    case Network::Busbar:
        break;
    case Network::TwoLines:
        if (!inRange(CaseField::GeneratorReactance, s.generatorReactance))
            return problem(CaseField::GeneratorReactance,
                           "The generator reactance Xg must be above 0 and at most " + most +
                               " per-unit.");
        if (!inRange(CaseField::LineReactance, s.lineReactance))
            return problem(CaseField::LineReactance,
                           "The line reactance XL must be above 0 and at most " + most +
                               " per-unit.");
        if (!inRange(CaseField::Location, s.locationPercent))
            return problem(CaseField::Location,
                           "The fault location must lie from 0 to below 100 % of the line.");
        break;
    case Network::Transfer:
        if (!inRange(CaseField::During, s.during))
            return problem(CaseField::During,
                           "The power during the fault r1 must lie from 0 to below 1.");
        if (!inRange(CaseField::After, s.after))
            return problem(CaseField::After,
                           "The power after clearing r2 must lie above 0 and at most 1.");
        if (!(s.during < s.after))
            return problem(CaseField::After,
                           "The power after clearing r2 must be above the power during the "
                           "fault r1 (" +
                               number(s.during) + ").");
        break;
    case Network::PowerStep:
        if (!inRange(CaseField::PmechAfter, s.pmechAfter))
            return problem(CaseField::PmechAfter,
                           "The mechanical power after the step P1 must lie above 0 and at most "
                           "1.");
        break;
    case Network::LineOut:
        // With the line out, r2 = 1 would be no change at all.
        if (!(inRange(CaseField::After, s.after) && s.after < 1))
            return problem(CaseField::After, "The power with the line out r2 must lie above 0 "
                                             "and below 1.");
        break;
    }
    if (s.hasFault() && s.recloseMs != 0 && !inRange(CaseField::RecloseMs, s.recloseMs))
        return problem(CaseField::RecloseMs, "The dead time before reclosing must lie from 1 to " +
                                                 std::to_string(MaxRecloseMs) + " ms.");
    return std::nullopt;
}

std::optional<CaseProblem> checkCase(const StabilityCase &c, const NumberText &number) {
    if (auto p = checkMachine(c.machine, number)) return p;
    if (!inRange(CaseField::ClearingMs, c.clearingMs))
        return problem(CaseField::ClearingMs, "The clearing time must lie from 0 to " +
                                                  std::to_string(MaxClearingMs) + " ms.");
    if (auto p = checkScenario(c.scenario, number)) return p;
    if (c.scenario.network == Network::PowerStep && c.scenario.pmechAfter == c.machine.Pmech)
        return problem(CaseField::PmechAfter,
                       "The mechanical power after the step P1 must differ from Pmech (" +
                           number(c.machine.Pmech) + ").");
    return std::nullopt;
}
