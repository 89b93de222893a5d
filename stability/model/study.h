#pragma once

#include "casefields.h"
#include "criticalclearing.h"
#include "equalarea.h"
#include "stabilitycase.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A study: the critical clearing time, the criterion's and the simulation's, against one
// value of the case (one of the fields caseFields() lists), over a range.
using StudyParameter = CaseField;

// The name the files give the value (its key: H, Pmech, Demping, location, ...), and the
// value a key names when a study can vary it.
const char *studyParameterKey(StudyParameter parameter);
std::optional<StudyParameter> studyParameterFromKey(std::string_view key);
// The values a study can vary: H, Pmech, Demping, location, generator_reactance,
// line_reactance, during, after and reclose_ms, in that order.
const std::vector<StudyParameter> &studyParameters();

double studyParameterValue(const StabilityCase &c, StudyParameter parameter);
// The case with the value in place; a dead time is rounded to whole milliseconds.
void setStudyParameter(StabilityCase &c, StudyParameter parameter, double value);

constexpr int MinStudyPoints = 2;
constexpr int MaxStudyPoints = 200;

struct StudyRange {
    StudyParameter parameter = StudyParameter::H;
    double from = 2;
    double to = 10;
    int points = 50;
    // The value of point i, from `from` to `to` in even steps.
    double value(int i) const;
};

// A range to start from: around the case's value, within what the case allows, and over
// the whole of a value with a short range of its own (the fault's place, r1, r2). A range
// whose ends meet is 0 to 1, for checkStudy to refuse.
StudyRange defaultStudyRange(const StabilityCase &c, StudyParameter parameter);

// Why a study of the case over the range cannot be made: a network without a fault, a
// value the network does not have, a point count out of 2 to 200, or a point of the
// range (an end or one between) that the case's checks refuse, named with the range the
// value must lie in; a dead time that rounds to 0 is refused too. No text: it can.
std::optional<std::string> checkStudy(const StabilityCase &c, const StudyRange &range,
                                      const NumberText &number = shortestNumber);

struct StudyPoint {
    double value = 0;
    KritiekeAfschakeling criterion;
    CriticalClearing simulation;
};

// One point: the criterion and the simulation's search up to `limitMs`.
StudyPoint studyPoint(const StabilityCase &c, StudyParameter parameter, double value,
                      std::int32_t limitMs, const std::atomic<bool> *cancel = nullptr,
                      unsigned threads = 1);

// Every point of the range, the machine's cores sharing them; `progress` hears how many
// are done (from any of the threads). A study whose `cancel` is set stops between
// points and its result means nothing.
std::vector<StudyPoint> runStudy(const StabilityCase &c, const StudyRange &range,
                                 std::int32_t limitMs, const std::atomic<bool> *cancel = nullptr,
                                 const std::function<void(int done)> &progress = {});
