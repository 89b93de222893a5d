#include "selmexlesson.h"

#include "colourvalue.h"
#include "constants.h"
#include "schakelen.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

struct AskInfo {
    SelmexAsk ask;
    std::string_view name;
    std::string_view unit;
    double tolerance;
    int choices;
};

// A tenth of the rated current is the accuracy of a hand sum of |u e^(j theta) - 1| / X"d;
// half a degree that of 360 slip t_breaker read off a synchroscope; a degree where the
// close command's own angle is read off it as well.
constexpr std::array<AskInfo, 5> Asks = {{
    {SelmexAsk::Permits, "permits", "", 0, 2},
    {SelmexAsk::ClosingCurrent, "closing_current", " \u00D7 rated", 0.1, 0},
    {SelmexAsk::AdvanceAngle, "advance_angle", "\u00B0", 0.5, 0},
    {SelmexAsk::ContactAngle, "contact_angle", "\u00B0", 1, 0},
    {SelmexAsk::LampDarkFirst, "lamp_dark_first", "", 0, 3},
}};

const AskInfo &infoOf(SelmexAsk ask) {
    for (const AskInfo &info : Asks)
        if (info.ask == ask) return info;
    return Asks[0];
}

SelmexAnswer refused(std::string why) {
    return {std::nullopt, std::move(why)};
}

// The trainer's switching check at the start of its exercise: the phasors laid out as the
// trainer lays them on its 200-pixel pictures, both sliders in their middles.
SelmexAnswer trainerPermits(const SelmexScenario &s) {
    if (!s.voltage || !s.frequency || !s.reversed || !s.wrongOrder || !s.angle)
        return refused("the [generator] start leaves voltage, frequency, direction, "
                       "phase_order or angle to chance, so its answer would be too: give "
                       "them all.");
    const QSize picture(200, 200);
    const double angles[3] = {0.5, -1.0 / 6, 7.0 / 6};
    const Colour colours[3] = {clRed, clLime, clBlue};
    const ColourOrder order = colourOrder(*s.wrongOrder, *s.angle);
    const std::int32_t at[3] = {order.first, order.second, order.third};
    Phasors net, gen;
    for (std::size_t k = 0; k < 3; ++k) {
        net[k].Init(colours[k], picture, angles[k]);
        gen[k].Init(colours[at[k]], picture, angles[k]);
        gen[k].Length =
            static_cast<double>(static_cast<long double>(net[k].Length) * (*s.voltage / 380.0));
        gen[k].Bereken();
    }
    const double netStep = 0.02;
    const auto genStep =
        static_cast<double>(*s.frequency / NetworkFrequency * netStep * (*s.reversed ? -1.0 : 1.0));
    const SchakelOordeel check = beoordeelSchakelen(net, gen, netStep, genStep, s.maxAngle);
    return {check.goed() ? YesAnswer : NoAnswer, {}};
}

// The first lamp of the rotating method to go from lit to dark as the angle turns on from
// its start at the slip, in steps of 0.01 degrees over up to two turns.
SelmexAnswer lampDarkFirst(const Switchboard &board) {
    const SwitchboardSettings &s = board.settings();
    if (s.lamps != LampMethod::Rotating)
        return refused("lamp_dark_first asks about the rotating lamps: give the switchboard "
                       "lamps = rotating.");
    const double slip = board.slipHz();
    if (slip == 0) return refused("at no slip the lamps stand still: no lamp goes dark.");
    const double u = board.voltageV() / board.busVoltageV();
    const double way = slip > 0 ? 0.01 : -0.01;
    std::array<double, 3> before =
        lampBrightness(LampMethod::Rotating, s.phaseOrderReversed, board.angleDeg(), u);
    for (int i = 1; i <= 72000; ++i) {
        const std::array<double, 3> now = lampBrightness(LampMethod::Rotating, s.phaseOrderReversed,
                                                         board.angleDeg() + i * way, u);
        int dark = -1, count = 0;
        for (int k = 0; k < 3; ++k)
            if (before[std::size_t(k)] > 0 && now[std::size_t(k)] == 0) {
                dark = k;
                ++count;
            }
        if (count > 1) return refused("two lamps go dark together: the lamps give no first one.");
        if (dark >= 0) return {double(dark), {}};
        before = now;
    }
    return refused("no lamp goes dark in two turns of the angle.");
}

// The values a question can vary, and where they live.
enum class Varied { BusFrequency, Frequency, Voltage, Angle, BreakerMs, CloseAt };
struct VariedName {
    Varied which;
    const char *name;
};
constexpr std::array<VariedName, 6> VariedNames = {{
    {Varied::BusFrequency, "bus_frequency"},
    {Varied::Frequency, "frequency"},
    {Varied::Voltage, "voltage"},
    {Varied::Angle, "angle"},
    {Varied::BreakerMs, "breaker_ms"},
    {Varied::CloseAt, "close_at"},
}};

std::optional<Varied> variedNamed(const std::string &name) {
    for (const VariedName &v : VariedNames)
        if (name == v.name) return v.which;
    return std::nullopt;
}

} // namespace

std::string_view selmexAskName(SelmexAsk ask) {
    return infoOf(ask).name;
}

std::optional<SelmexAsk> selmexAskNamed(std::string_view name) {
    for (const AskInfo &info : Asks)
        if (info.name == name) return info.ask;
    return std::nullopt;
}

std::string_view selmexAskUnit(SelmexAsk ask) {
    return infoOf(ask).unit;
}

double selmexDefaultTolerance(SelmexAsk ask) {
    return infoOf(ask).tolerance;
}

bool selmexAskIsChoice(SelmexAsk ask) {
    return infoOf(ask).choices > 0;
}

int selmexChoiceCount(SelmexAsk ask) {
    return infoOf(ask).choices;
}

double wrappedDeg(double deg) {
    deg = std::remainder(deg, 360.0);
    return deg <= -180 ? deg + 360 : deg;
}

SelmexAnswer answerSelmexQuestion(const SelmexLessonCase &c, const SelmexQuestion &q) {
    if (!c.switchboard) {
        if (q.ask == SelmexAsk::Permits && c.generator) return trainerPermits(*c.generator);
        return refused(c.generator ? "the question is about the switchboard, but the step's "
                                     "case is the trainer's [generator] start: give it a "
                                     "[switchboard] section."
                                   : "the step has no case: give it a scenario block.");
    }
    // The switchboard at the start of its exercise, as the student meets it.
    const Switchboard board(*c.switchboard);
    const SwitchboardSettings &s = *c.switchboard;
    switch (q.ask) {
    case SelmexAsk::Permits:
        return {board.relayCheck().any() ? NoAnswer : YesAnswer, {}};
    case SelmexAsk::ClosingCurrent:
        return {closingCurrentPu(board.angleDeg(), board.voltageV() / board.busVoltageV(),
                                 s.phaseOrderReversed),
                {}};
    case SelmexAsk::AdvanceAngle:
        return {advanceAngleDeg(board.slipHz(), s.breakerMs), {}};
    case SelmexAsk::ContactAngle:
        if (!q.closeAtDeg)
            return refused("contact_angle needs the angle of the close command: give "
                           "close_at in the predict block.");
        return {wrappedDeg(*q.closeAtDeg + advanceAngleDeg(board.slipHz(), s.breakerMs)), {}};
    case SelmexAsk::LampDarkFirst:
        return lampDarkFirst(board);
    }
    return refused("the question is not known.");
}

bool selmexWithinTolerance(const SelmexQuestion &q, double prediction, double answer) {
    if (selmexAskIsChoice(q.ask)) return prediction == answer;
    // A few ulps of slack, so that a prediction written at the tolerance's edge counts.
    return std::isfinite(prediction) && std::fabs(prediction - answer) <= q.tolerance * (1 + 1e-9);
}

SelmexPredictionProblem checkSelmexPrediction(const SelmexQuestion &q, double value) {
    if (!std::isfinite(value)) return SelmexPredictionProblem::NotFinite;
    if (selmexAskIsChoice(q.ask))
        return value >= 0 && value < selmexChoiceCount(q.ask) && value == std::floor(value)
                   ? SelmexPredictionProblem::None
                   : SelmexPredictionProblem::NotAChoice;
    if (q.ask == SelmexAsk::ClosingCurrent && value < 0)
        return SelmexPredictionProblem::NegativeCurrent;
    return SelmexPredictionProblem::None;
}

SelmexVariant selmexLessonVariant(const SelmexLessonCase &c, const SelmexQuestion &q, int i,
                                  int n) {
    SelmexVariant v{c, q};
    for (const VaryRange &r : q.vary) {
        const std::optional<Varied> which = variedNamed(r.name);
        if (!which || (*which != Varied::CloseAt && !v.lessonCase.switchboard)) continue;
        const double value = r.value(i, n);
        SwitchboardSettings *s = v.lessonCase.switchboard ? &*v.lessonCase.switchboard : nullptr;
        switch (*which) {
        case Varied::BusFrequency:
            s->busFrequency = value;
            break;
        case Varied::Frequency:
            s->frequency = value;
            break;
        case Varied::Voltage:
            s->voltage = value;
            break;
        case Varied::Angle:
            s->angle = value;
            break;
        case Varied::BreakerMs:
            // Within a double's reach of an int32 here; the range check refuses the rest.
            s->breakerMs = std::int32_t(std::lround(std::clamp(value, -1e9, 1e9)));
            break;
        case Varied::CloseAt:
            v.question.closeAtDeg = value;
            break;
        }
    }
    return v;
}

double selmexVariedValue(const SelmexVariant &v, const std::string &name) {
    const std::optional<Varied> which = variedNamed(name);
    const SwitchboardSettings s = v.lessonCase.switchboard.value_or(SwitchboardSettings{});
    switch (which.value_or(Varied::CloseAt)) {
    case Varied::BusFrequency:
        return s.busFrequency;
    case Varied::Frequency:
        return s.frequency;
    case Varied::Voltage:
        return s.voltage;
    case Varied::Angle:
        return s.angle;
    case Varied::BreakerMs:
        return s.breakerMs;
    case Varied::CloseAt:
        break;
    }
    return v.question.closeAtDeg.value_or(0);
}

std::optional<std::string> checkSelmexVary(const SelmexLessonCase &c, const SelmexQuestion &q) {
    if (q.vary.empty()) return std::nullopt;
    if (!c.switchboard)
        return "vary: the trainer's start varies nothing; a [switchboard] case varies "
               "bus_frequency, frequency, voltage, angle, breaker_ms and close_at.";
    for (const VaryRange &r : q.vary) {
        const std::optional<Varied> which = variedNamed(r.name);
        if (!which || (*which == Varied::CloseAt && q.ask != SelmexAsk::ContactAngle))
            return "vary: the step has no value " + r.name +
                   " to vary; it varies bus_frequency, frequency, voltage, angle, breaker_ms" +
                   (q.ask == SelmexAsk::ContactAngle ? " and close_at." : ".");
    }
    for (int end = 0; end < 2; ++end) {
        const SelmexVariant v = selmexLessonVariant(c, q, end, 2);
        const char *which = end == 0 ? "start" : "end";
        if (const auto problem = checkSwitchboard(*v.lessonCase.switchboard))
            return std::string("vary: the ranges' ") + which +
                   " leaves the switchboard's limits: " + *problem + ".";
        if (v.question.closeAtDeg && !(std::fabs(*v.question.closeAtDeg) <= 180))
            return std::string("vary: the ranges' ") + which +
                   " puts close_at outside -180 to 180 degrees.";
    }
    return std::nullopt;
}
