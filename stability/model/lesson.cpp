#include "lesson.h"

#include "casefields.h"
#include "criticalclearing.h"
#include "faultrun.h"

#include <algorithm>
#include <cmath>

namespace {

struct AskInfo {
    LessonAsk ask;
    std::string_view name;
    std::string_view unit;
    double tolerance;
};

constexpr AskInfo Asks[] = {
    {LessonAsk::Verdict, "verdict", "", 0},
    {LessonAsk::MaxAngle, "max_angle", "\u00B0", 5},
    {LessonAsk::CriticalClearingMs, "critical_clearing_ms", "ms", 20},
    {LessonAsk::LargestStablePmech, "largest_stable_pmech", "", 0.02},
};

const AskInfo &info(LessonAsk ask) {
    for (const AskInfo &a : Asks)
        if (a.ask == ask) return a;
    return Asks[0];
}

// The value a vary range names: one of the case's numbers, or its clearing time when the
// network has a fault to clear.
const CaseFieldInfo *variedField(std::string_view name, const StabilityCase &c) {
    const CaseFieldInfo *f = caseFieldOfKey(name);
    if (!f || !networkHas(c.scenario.network, f->field)) return nullptr;
    if (f->field == CaseField::ClearingMs) return c.scenario.hasFault() ? f : nullptr;
    return f->form == CaseValueForm::Number ? f : nullptr;
}

LessonAnswer refused(std::string why) {
    return {std::nullopt, std::move(why)};
}

} // namespace

std::string_view askName(LessonAsk ask) {
    return info(ask).name;
}

std::optional<LessonAsk> askNamed(std::string_view name) {
    for (const AskInfo &a : Asks)
        if (a.name == name) return a.ask;
    return std::nullopt;
}

std::string_view askUnit(LessonAsk ask) {
    return info(ask).unit;
}

double defaultTolerance(LessonAsk ask) {
    return info(ask).tolerance;
}

AngleRun largestAngle(const StabilityCase &c, std::int32_t clearingMs) {
    FaultRun run(c.machine);
    AngleRun result;
    double most = run.generator().Delta;
    run.addListener([&most](const StepReport &r) { most = std::max(most, r.Delta); });
    result.inStep = run.runToEnd(clearingMs, c.scenario) != RunEnd::OutOfStep;
    // As the rotor angle read-out shows it.
    result.maxDegrees = double(most / TwoPi * 360.0L);
    return result;
}

LessonAnswer answerQuestion(const StabilityCase &c, const LessonQuestion &q) {
    const bool fault = c.scenario.hasFault();
    switch (q.ask) {
    case LessonAsk::Verdict: {
        const RunOutcome run = simulateFault(c.machine, q.clearingMs, c.scenario);
        return {run.end == RunEnd::OutOfStep ? OutOfStepAnswer : InStepAnswer, {}};
    }
    case LessonAsk::MaxAngle: {
        const AngleRun run = largestAngle(c, q.clearingMs);
        if (!run.inStep)
            return refused("the run falls out of step, so its rotor angle has no largest "
                           "value to predict; ask for the verdict instead.");
        return {run.maxDegrees, {}};
    }
    case LessonAsk::CriticalClearingMs: {
        if (!fault)
            return refused("a power step or a line out has no fault to clear; ask for "
                           "largest_stable_pmech instead.");
        const CriticalClearing found =
            findCriticalClearingTime(c.machine, c.scenario, SearchLimitMs);
        if (found.kind == CriticalClearing::Kind::AlwaysInStep)
            return refused("every clearing time up to 2000 ms stays in step, so there is no "
                           "critical clearing time to predict.");
        if (found.kind == CriticalClearing::Kind::NeverInStep)
            return refused("the run falls out of step even when the fault is cleared at "
                           "once, so there is no critical clearing time to predict.");
        return {double(found.lastInStepMs), {}};
    }
    case LessonAsk::LargestStablePmech: {
        if (fault)
            return refused("largest_stable_pmech is for a power step or a line out; for a "
                           "fault ask for critical_clearing_ms.");
        const LargestStablePmech found = findLargestStablePmech(c.machine, c.scenario);
        if (found.kind == LargestStablePmech::Kind::AlwaysInStep)
            return refused("the machine stays in step up to Pmech 1, so there is no "
                           "largest stable Pmech to predict.");
        if (found.kind == LargestStablePmech::Kind::NeverInStep)
            return refused("the machine falls out of step from the smallest Pmech "
                           "searched, so there is no largest stable Pmech to predict.");
        return {found.lastInStep / 1000.0, {}};
    }
    }
    return refused("unknown question.");
}

LessonVariant lessonVariant(const StabilityCase &c, const LessonQuestion &q, int i, int n) {
    LessonVariant v{c, q};
    for (const VaryRange &r : q.vary) {
        const CaseFieldInfo *f = variedField(r.name, c);
        if (!f) continue;
        f->set(v.studyCase, r.value(i, n));
        if (f->field == CaseField::ClearingMs) v.question.clearingMs = v.studyCase.clearingMs;
    }
    return v;
}

std::optional<std::string> checkVaryRanges(const StabilityCase &c, const LessonQuestion &q,
                                           const NumberText &number) {
    for (const VaryRange &r : q.vary) {
        if (variedField(r.name, c)) continue;
        std::string names;
        for (const CaseFieldInfo &f : caseFields())
            if (variedField(f.key, c)) names.append(names.empty() ? "" : ", ").append(f.key);
        return "vary: the step's case has no value " + r.name + " to vary; its case varies " +
               names + ".";
    }
    // The ends; the values between are checked as each variant is made.
    for (int end = 0; end < 2 && !q.vary.empty(); ++end) {
        const LessonVariant v = lessonVariant(c, q, end, 2);
        if (const auto problem = checkCase(v.studyCase, number))
            return std::string("vary: the ranges' ") + (end == 0 ? "start" : "end") +
                   " leaves the case's limits: " + problem->message;
    }
    return std::nullopt;
}

bool withinTolerance(const LessonQuestion &q, double prediction, double answer) {
    if (q.ask == LessonAsk::Verdict) return prediction == answer;
    // A few ulps of slack, so that 0.90 against 0.88 with 0.02 counts as written.
    return std::isfinite(prediction) && std::fabs(prediction - answer) <= q.tolerance * (1 + 1e-9);
}

double startingAngleDegrees(const StabilityCase &c) {
    const FaultRun run(c.machine);
    return std::round(double(run.generator().DeltaInDegrees()) * 10) / 10;
}

PredictionProblem checkPrediction(const LessonQuestion &q, const StabilityCase &c, double value) {
    if (!std::isfinite(value)) return PredictionProblem::NotFinite;
    switch (q.ask) {
    case LessonAsk::Verdict:
        if (value != InStepAnswer && value != OutOfStepAnswer)
            return PredictionProblem::NotAVerdict;
        break;
    case LessonAsk::MaxAngle:
        if (value >= 180) return PredictionProblem::HalfTurnOrMore;
        if (value < startingAngleDegrees(c)) return PredictionProblem::BelowStartingAngle;
        break;
    case LessonAsk::CriticalClearingMs:
        if (value < 0) return PredictionProblem::NegativeTime;
        break;
    case LessonAsk::LargestStablePmech:
        if (value < 0 || value > 1) return PredictionProblem::PowerOutsidePmax;
        break;
    }
    return PredictionProblem::None;
}

std::int32_t clearingMsOfPrediction(double ms) {
    if (!(ms > 0)) return 0;
    return std::int32_t(std::lround(std::min(ms, double(MaxClearingMs))));
}
