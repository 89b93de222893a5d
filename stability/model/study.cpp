#include "study.h"

#include "constants.h"

#include <algorithm>
#include <cmath>
#include <thread>

const char *studyParameterKey(StudyParameter parameter) {
    return caseField(parameter).key;
}

std::optional<StudyParameter> studyParameterFromKey(std::string_view key) {
    for (StudyParameter p : studyParameters())
        if (key == caseField(p).key) return p;
    return std::nullopt;
}

const std::vector<StudyParameter> &studyParameters() {
    // The order the study window offers them in, and --study names them in.
    static const std::vector<StudyParameter> all{
        CaseField::H,
        CaseField::Pmech,
        CaseField::Demping,
        CaseField::Location,
        CaseField::GeneratorReactance,
        CaseField::LineReactance,
        CaseField::During,
        CaseField::After,
        CaseField::RecloseMs,
    };
    return all;
}

double studyParameterValue(const StabilityCase &c, StudyParameter parameter) {
    const auto get = caseField(parameter).get;
    return get ? get(c) : 0;
}

void setStudyParameter(StabilityCase &c, StudyParameter parameter, double value) {
    if (const auto set = caseField(parameter).set) set(c, value);
}

double StudyRange::value(int i) const {
    if (i <= 0) return from;
    if (i >= points - 1) return to;
    // The fraction first: (to - from) times i could overflow where the step does not.
    return from + (to - from) * (static_cast<double>(i) / (points - 1));
}

StudyRange defaultStudyRange(const StabilityCase &c, StudyParameter p) {
    const double v = studyParameterValue(c, p);
    StudyRange r;
    r.parameter = p;
    r.points = 50;
    const auto around = [&](double least, double most) {
        r.from = std::max(least, v / 2);
        r.to = std::min(most, 2 * v);
    };
    switch (p) {
    case StudyParameter::H:
        around(0.1, 1e6);
        break;
    case StudyParameter::Pmech:
        if (v > 0) {
            around(0, 1);
        } else {
            r.from = 0;
            r.to = 0.5;
        }
        break;
    case StudyParameter::Demping: {
        // Below the largest damping the steps allow, 2H/ws.
        const double largest = 0.9 * 2 * c.machine.H / static_cast<double>(SynchronousSpeed);
        r.from = 0;
        r.to = std::min(largest, v > 0 ? 10 * v : largest / 10);
        break;
    }
    case StudyParameter::Location:
        r.from = 0;
        r.to = 95;
        break;
    case StudyParameter::GeneratorReactance:
    case StudyParameter::LineReactance:
        around(0.01, MaxReactance);
        break;
    case StudyParameter::During:
        r.from = 0;
        r.to = 0.9 * c.scenario.after;
        break;
    case StudyParameter::After:
        r.from = c.scenario.during + 0.1 * (1 - c.scenario.during);
        r.to = 1;
        break;
    case StudyParameter::RecloseMs:
        if (v > 0) {
            around(1, MaxRecloseMs);
        } else {
            r.from = 100;
            r.to = 1000;
        }
        r.from = std::round(r.from);
        r.to = std::round(r.to);
        break;
    default: // not a value a study varies
        break;
    }
    if (!(r.from < r.to)) { // refused at Start with the reason
        r.from = 0;
        r.to = 1;
    }
    return r;
}

std::optional<std::string> checkStudy(const StabilityCase &c, const StudyRange &range,
                                      const NumberText &number) {
    if (!c.scenario.hasFault())
        return std::string("A study needs a fault to clear: the case's network (") +
               networkKey(c.scenario.network) + ") has no clearing time.";
    const std::string key = studyParameterKey(range.parameter);
    if (!networkHas(c.scenario.network, range.parameter)) {
        // Named by the first network that has it: a study needs one with a fault.
        Network network = Network::Busbar;
        for (int n = int(Network::LineOut); n >= 0; --n)
            if (networkHas(static_cast<Network>(n), range.parameter))
                network = static_cast<Network>(n);
        return key + " belongs to the " + networkKey(network) + " network, not to the case's (" +
               networkKey(c.scenario.network) + ").";
    }
    if (!(range.points >= MinStudyPoints && range.points <= MaxStudyPoints))
        return "A study has from " + std::to_string(MinStudyPoints) + " to " +
               std::to_string(MaxStudyPoints) + " points.";
    if (!(range.from != range.to)) return "The range's ends must be two different numbers.";
    // Every point, not only the ends: each is a case of its own that the study runs.
    for (int i = 0; i < range.points; ++i) {
        const double value = range.value(i);
        StabilityCase at = c;
        setStudyParameter(at, range.parameter, value);
        // A dead time of 0 is no reclosing at all, not a point of a study of dead times.
        if (range.parameter == StudyParameter::RecloseMs && at.scenario.recloseMs == 0)
            at.scenario.recloseMs = -1;
        if (const auto problem = checkCase(at, number)) {
            const std::string where = i == 0                  ? "from"
                                      : i == range.points - 1 ? "to"
                                                              : "point " + std::to_string(i + 1);
            std::string refusal = key;
            refusal.append(" ").append(where).append(" ").append(number(value));
            return refusal.append(": ").append(problem->message);
        }
    }
    return std::nullopt;
}

StudyPoint studyPoint(const StabilityCase &c, StudyParameter parameter, double value,
                      std::int32_t limitMs, const std::atomic<bool> *cancel, unsigned threads) {
    StabilityCase at = c;
    setStudyParameter(at, parameter, value);
    StudyPoint p;
    // A dead time runs as whole milliseconds: the point is where it ran.
    p.value = studyParameterValue(at, parameter);
    p.criterion = BerekenKritiek(at.machine, at.scenario);
    p.simulation = findCriticalClearingTime(at.machine, at.scenario, limitMs, cancel, threads);
    return p;
}

std::vector<StudyPoint> runStudy(const StabilityCase &c, const StudyRange &range,
                                 std::int32_t limitMs, const std::atomic<bool> *cancel,
                                 const std::function<void(int done)> &progress) {
    const int count = std::clamp(range.points, 0, MaxStudyPoints);
    std::vector<StudyPoint> points(static_cast<std::size_t>(count));
    std::atomic<int> next{0}, done{0};
    const auto work = [&] {
        for (int i = next++; i < count && !(cancel && cancel->load()); i = next++) {
            points[static_cast<std::size_t>(i)] =
                studyPoint(c, range.parameter, range.value(i), limitMs, cancel, 1);
            const int finished = ++done;
            if (progress) progress(finished);
        }
    };
    const unsigned threads = std::min(4u, std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(work);
    work();
    for (std::thread &t : helpers) t.join();
    return points;
}
