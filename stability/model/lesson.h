#pragma once

#include "lessonvary.h"
#include "stabilitycase.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A lesson: steps a lecturer wrote, each with a case to run and perhaps one question the
// student answers before the run. The answers are worked out here, from the model, so a
// lesson's key cannot be wrong.

// What a step asks the student to predict.
enum class LessonAsk {
    Verdict,            // in step or out of step
    MaxAngle,           // the largest rotor angle of the run, degrees
    CriticalClearingMs, // the simulation's last clearing time that stays in step, ms
    LargestStablePmech, // a power step's P1 or a line out's Pmech, per-unit of Pmax
};

// The names a lesson file gives them ("verdict", "max_angle", ...), and back.
std::string_view askName(LessonAsk ask);
std::optional<LessonAsk> askNamed(std::string_view name);
// The unit of a number answer as the pane and the key show it: "°", "ms" or "" (per-unit).
std::string_view askUnit(LessonAsk ask);
// How far a prediction may lie from the answer and still count as right when the lesson
// gives no tolerance: 5°, 20 ms, 0.02 per-unit.
double defaultTolerance(LessonAsk ask);

struct LessonQuestion {
    LessonAsk ask = LessonAsk::Verdict;
    double tolerance = 0; // in the question's unit; not used for a verdict
    // The clearing time of the run the question is about; the step's case's own unless
    // the question gives one.
    std::int32_t clearingMs = DefaultAfschakeltijd;
    // The case's values the question's variants spread over (H, Pmech, clearing_ms, ...);
    // none for a question asked as the step gives it.
    std::vector<VaryRange> vary;
};

// A verdict as a number, so that every answer and prediction is one.
constexpr double InStepAnswer = 1;
constexpr double OutOfStepAnswer = 0;

struct LessonStep {
    std::string title;    // the "##" heading
    std::string text;     // Markdown, shown from the start
    std::string afterRun; // Markdown, shown once the run has answered; may be empty
    int line = 0;         // the heading's line in the lesson file
    // The case of the step: its own scenario block, or the step before's case.
    StabilityCase studyCase;
    bool ownScenario = false;
    // None: free exploration.
    std::optional<LessonQuestion> question;
    double answer = 0; // the model's answer to the question
};

struct Lesson {
    std::string title;        // the "#" heading
    std::string introduction; // Markdown before the first step
    std::vector<LessonStep> steps;
    // The lesson file's fingerprint (lessonFingerprint of its bytes): a record names it,
    // so that the record is marked against the very lesson it came from.
    std::string fingerprint;
};

// The model's answer to a question on a case, or why the case gives none: a question
// that does not fit the network (a clearing time for a disturbance without a fault), or
// one the simulation cannot answer (a largest angle of a run that falls out of step, a
// critical clearing time when every clearing time up to 2000 ms stays in step).
struct LessonAnswer {
    std::optional<double> value;
    std::string refusal; // a sentence, when there is no value
};
LessonAnswer answerQuestion(const StabilityCase &c, const LessonQuestion &q);

// Variant i of n of a step's question: the case with each varied value set, and the
// question with its clearing time when clearing_ms is varied (whole milliseconds, as the
// slider takes them). A question that varies nothing has one variant, the step's own.
struct LessonVariant {
    StabilityCase studyCase;
    LessonQuestion question;
};
LessonVariant lessonVariant(const StabilityCase &c, const LessonQuestion &q, int i, int n);
// Why a question's ranges do not fit the step's case: a name that is none of the case's
// numbers (or clearing_ms of a network without a fault, or a value of another network),
// or a range whose start or end the case's checks refuse. None: they fit. Values between
// the ends are checked as each variant is made.
std::optional<std::string> checkVaryRanges(const StabilityCase &c, const LessonQuestion &q,
                                           const NumberText &number = shortestNumber);

// The largest rotor angle of one run from a fresh generator, degrees, and whether the run
// stayed in step.
struct AngleRun {
    double maxDegrees = 0;
    bool inStep = true;
};
AngleRun largestAngle(const StabilityCase &c, std::int32_t clearingMs);

// Whether a prediction counts as right: the same verdict, or a number within the
// question's tolerance of the answer.
bool withinTolerance(const LessonQuestion &q, double prediction, double answer);

// What rules a prediction out before any run: a number that is not finite, a verdict
// that is neither, an angle below the one the run starts from (the largest angle of a
// run is at least that) or of half a turn or more (the machine is then out of step, and
// a max_angle question is only asked of runs that stay in step), a clearing time below
// 0, or a power outside 0 to 1 of Pmax.
enum class PredictionProblem {
    None,
    NotFinite,
    NotAVerdict,
    BelowStartingAngle,
    HalfTurnOrMore,
    NegativeTime,
    PowerOutsidePmax,
};
PredictionProblem checkPrediction(const LessonQuestion &q, const StabilityCase &c, double value);
// The rotor angle a run of the case starts from, degrees, to 0.1 as the read-out shows it.
double startingAngleDegrees(const StabilityCase &c);

// The clearing time a critical_clearing_ms prediction is tried at: whole ms, within the
// clearing time's range of 0 to 500 ms.
std::int32_t clearingMsOfPrediction(double ms);

// What the student did in a step: the prediction in force (the student may change it
// until the step's run starts), how long after the step was first shown it came, whether
// the run has started, and whether it has shown the outcome.
struct LessonProgress {
    std::optional<double> prediction;
    double secondsToPredict = 0;
    bool revealed = false;
    bool runStarted = false;
};
