#pragma once

#include "lessonvary.h"
#include "selmexstart.h"
#include "switchboard.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A synchronising lesson: steps a lecturer wrote, each with an exercise and perhaps one
// question the student answers before trying it. The answers are worked out here, from
// the switchboard's own formulas, so a lesson's key cannot be wrong.

// What a step asks the student to predict.
enum class SelmexAsk {
    Permits,        // does the sync-check relay let a close through now: yes or no
    ClosingCurrent, // the largest phase current at a close at the file's angle and voltage,
                    // per-unit of rated current
    AdvanceAngle,   // degrees before twelve o'clock to give the close command, for the
                    // file's slip and breaker time
    ContactAngle,   // where the contacts touch for a close command at `close_at`, degrees
    LampDarkFirst,  // which lamp of the rotating (two bright, one dark) method goes dark
                    // first from the file's angle at the file's slip: L1, L2 or L3
};

// The names a lesson file gives them ("permits", "closing_current", ...), and back.
std::string_view selmexAskName(SelmexAsk ask);
std::optional<SelmexAsk> selmexAskNamed(std::string_view name);
// The unit behind a number answer as the pane and the key show it: "°", " × rated", "".
std::string_view selmexAskUnit(SelmexAsk ask);
// The tolerance a question has when the lesson gives none: 0.1 × rated, 0.5°, 1°; 0 for
// a choice.
double selmexDefaultTolerance(SelmexAsk ask);
// Whether the answer is a choice (yes/no, a lamp) rather than a number.
bool selmexAskIsChoice(SelmexAsk ask);

// A choice as a number, so that every answer and prediction is one.
constexpr double NoAnswer = 0, YesAnswer = 1; // permits
// lamp_dark_first: 0 for L1, 1 for L2, 2 for L3.

struct SelmexQuestion {
    SelmexAsk ask = SelmexAsk::Permits;
    double tolerance = 0; // in the question's unit; not used for a choice
    // contact_angle: the angle at which the close command is given, degrees, generator
    // ahead positive.
    std::optional<double> closeAtDeg;
    // The values variants of the question take (a class's course platform gives each
    // student one): the switchboard's bus_frequency, frequency, voltage, angle, breaker_ms,
    // and close_at.
    std::vector<VaryRange> vary = {};
};

// The exercise of a step: the trainer's [generator] start, or the switchboard's
// [switchboard] exercise.
struct SelmexLessonCase {
    std::optional<SelmexScenario> generator;
    std::optional<SwitchboardSettings> switchboard;
};

struct SelmexLessonStep {
    std::string title;    // the "##" heading
    std::string text;     // Markdown, shown from the start
    std::string afterRun; // Markdown, shown once the outcome is in; may be empty
    int line = 0;         // the heading's line in the lesson file
    // Its own scenario block, or the step before's case.
    SelmexLessonCase lessonCase;
    bool ownScenario = false;
    std::optional<SelmexQuestion> question; // none: free exploration
    double answer = 0;                      // the model's answer to the question
};

struct SelmexLesson {
    std::string title;        // the "#" heading
    std::string introduction; // Markdown before the first step
    std::vector<SelmexLessonStep> steps;
    std::string fingerprint; // of the lesson file's bytes (lessonFingerprint)
};

// The model's answer to a question on a case, or why the case gives none (a question
// that needs the switchboard asked of the trainer's start, a slip of 0 for the lamps).
struct SelmexAnswer {
    std::optional<double> value;
    std::string refusal; // a sentence, when there is no value
};
SelmexAnswer answerSelmexQuestion(const SelmexLessonCase &c, const SelmexQuestion &q);

// Variant i of n of a step's question: its case and question with the values of its
// ranges set (breaker_ms to the nearest millisecond).
struct SelmexVariant {
    SelmexLessonCase lessonCase;
    SelmexQuestion question;
};
SelmexVariant selmexLessonVariant(const SelmexLessonCase &c, const SelmexQuestion &q, int i, int n);
// Why a question's ranges do not fit its case: a name it has not (or any, for the
// trainer's start), or a range whose start or end leaves the switchboard's limits or
// close_at's -180 to 180 degrees. None: they fit.
std::optional<std::string> checkSelmexVary(const SelmexLessonCase &c, const SelmexQuestion &q);
// The value a variant's case and question give a vary name.
double selmexVariedValue(const SelmexVariant &v, const std::string &name);

// Whether a prediction counts as right: the same choice, or a number within the
// question's tolerance of the answer.
bool selmexWithinTolerance(const SelmexQuestion &q, double prediction, double answer);

// What rules a prediction out before the exercise: a number that is not finite, a choice
// that is none of the question's, a closing current below 0.
enum class SelmexPredictionProblem { None, NotFinite, NotAChoice, NegativeCurrent };
SelmexPredictionProblem checkSelmexPrediction(const SelmexQuestion &q, double value);
// How many choices a choice question has: 2 (no, yes) or 3 (L1, L2, L3); 0 for a number.
int selmexChoiceCount(SelmexAsk ask);

// The angle (-180, 180] degrees, as the synchroscope shows it.
double wrappedDeg(double deg);

// What the student did in a step (as Dravex's LessonProgress).
struct SelmexLessonProgress {
    std::optional<double> prediction;
    double secondsToPredict = 0;
    bool revealed = false;
    bool runStarted = false;
};
