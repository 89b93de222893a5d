#include "selmexlessontext.h"

#include "numberformat.h"
#include "outlinerecord.h"

#include <cmath>

namespace {

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A number of the case as a sentence gives it: at most six digits, a full stop.
QString shortNumber(double v) {
    return QString::number(v, 'g', 6);
}

// Answers to the hundredth: 360 slip t_breaker of +0.1 Hz and 80 ms is 2.88 degrees.
constexpr int AnswerDecimals = 2;

QString numberText(SelmexAsk ask, double value, QChar decimal) {
    QString text = QString::number(value, 'f', AnswerDecimals);
    if (decimal != QLatin1Char('.')) text.replace(QLatin1Char('.'), decimal);
    return text + fromView(selmexAskUnit(ask));
}

struct Start {
    double angle, slip, voltage, busVoltage;
};

Start startOf(const SwitchboardSettings &s) {
    const Switchboard board(s);
    return {board.angleDeg(), board.slipHz(), board.voltageV(), board.busVoltageV()};
}

QString slipWords(double slip) {
    if (slip == 0) return QStringLiteral("runs at the bus's frequency");
    return QStringLiteral("runs %1 Hz %2")
        .arg(shortNumber(std::fabs(slip)),
             slip > 0 ? QStringLiteral("fast") : QStringLiteral("slow"));
}

QString angleWords(double angle) {
    if (angle == 0) return QStringLiteral("stands in phase with the bus");
    return QStringLiteral("stands %1\u00B0 %2 the bus")
        .arg(shortNumber(std::fabs(angle)),
             angle > 0 ? QStringLiteral("ahead of") : QStringLiteral("behind"));
}

// Where the switchboard's exercise starts, as one sentence.
QString situation(const SwitchboardSettings &s) {
    const Start at = startOf(s);
    QString text = QStringLiteral("At the start the generator %1, %2 and gives %3 V against "
                                  "the bus's %4 V.")
                       .arg(angleWords(at.angle), slipWords(at.slip), shortNumber(at.voltage),
                            shortNumber(at.busVoltage));
    if (s.phaseOrderReversed) text += QStringLiteral(" Two of the generator's cables are swapped.");
    return text;
}

QString trainerSituation(const SelmexScenario &s) {
    return QStringLiteral("At the start the generator gives %1 V at %2 Hz, turns %3, with its "
                          "phase order %4 and its red phasor %5\u00B0 behind the network's.")
        .arg(s.voltage ? QString::number(*s.voltage) : QStringLiteral("?"),
             s.frequency ? QString::number(*s.frequency) : QStringLiteral("?"),
             s.reversed && *s.reversed ? QStringLiteral("against the network")
                                       : QStringLiteral("the network's way"),
             s.wrongOrder && *s.wrongOrder ? QStringLiteral("wrong") : QStringLiteral("right"),
             s.angle ? QString::number(*s.angle) : QStringLiteral("?"));
}

QString breakerWords(const SwitchboardSettings &s) {
    return QStringLiteral("The generator %1 and the breaker takes %2 ms from the close command "
                          "to the contacts touching.")
        .arg(slipWords(startOf(s).slip))
        .arg(s.breakerMs);
}

} // namespace

QString selmexAnswerText(SelmexAsk ask, double value, QChar decimal) {
    if (selmexAskIsChoice(ask)) {
        const QStringList choices = selmexChoices(ask);
        const double index = choiceIndex(ask, value);
        return index >= 0 && index < double(choices.size()) ? choices[qsizetype(index)] : QString();
    }
    return numberText(ask, value, decimal);
}

QStringList selmexChoices(SelmexAsk ask) {
    if (ask == SelmexAsk::Permits) return {QStringLiteral("yes"), QStringLiteral("no")};
    if (ask == SelmexAsk::LampDarkFirst)
        return {QStringLiteral("L1"), QStringLiteral("L2"), QStringLiteral("L3")};
    return {};
}

double choiceIndex(SelmexAsk ask, double value) {
    if (ask == SelmexAsk::Permits) return value == YesAnswer ? 0 : 1;
    return value;
}

QString selmexQuestionText(const SelmexQuestion &q, const SelmexLessonCase &c) {
    if (!c.switchboard) {
        if (!c.generator) return {};
        return trainerSituation(*c.generator) +
               QStringLiteral(" Will the switching check let a switch through at the start?");
    }
    const SwitchboardSettings &s = *c.switchboard;
    switch (q.ask) {
    case SelmexAsk::Permits:
        return situation(s) +
               QStringLiteral(" Will the sync-check relay let a close command through?");
    case SelmexAsk::ClosingCurrent:
        return situation(s) + QStringLiteral(" How large is the largest phase current if the "
                                             "breaker closes now? In multiples of the rated "
                                             "current.");
    case SelmexAsk::AdvanceAngle:
        return breakerWords(s) + QStringLiteral(" How many degrees before twelve o'clock must "
                                                "the close command be given for the contacts "
                                                "to touch in phase?");
    case SelmexAsk::ContactAngle:
        return breakerWords(s) + QStringLiteral(" The close command is given at %1\u00B0. At "
                                                "what angle do the contacts touch? In degrees, "
                                                "the generator ahead positive.")
                                     .arg(shortNumber(q.closeAtDeg.value_or(0)));
    case SelmexAsk::LampDarkFirst:
        return situation(s) + QStringLiteral(" Which lamp of the rotating method goes dark "
                                             "first: L1, L2 or L3?");
    }
    return {};
}

QString selmexHowFound(const SelmexQuestion &q, const SelmexLessonCase &c) {
    if (!c.switchboard)
        return QStringLiteral("The trainer's switching check on the phasors at the start: the "
                              "tips together, the same direction, the voltage within 10 % and "
                              "the phase order right.");
    const SwitchboardSettings &s = *c.switchboard;
    const Start at = startOf(s);
    const QString advance = QStringLiteral("360 \u00D7 %1 Hz \u00D7 %2 s")
                                .arg(shortNumber(at.slip), shortNumber(s.breakerMs / 1000.0));
    switch (q.ask) {
    case SelmexAsk::Permits:
        return QStringLiteral("The sync-check relay's rule at the start: the angle within "
                              "\u00B110\u00B0, the slip within \u00B10.067 Hz and the voltage "
                              "0 to +5 % above the bus's.");
    case SelmexAsk::ClosingCurrent:
        return QStringLiteral("The largest of the three phases' |u\u00B7e^j\u03B8 \u2212 1| / "
                              "X\"d with u = %1 / %2, \u03B8 = %3\u00B0 and X\"d = 0.2%4.")
            .arg(shortNumber(at.voltage), shortNumber(at.busVoltage), shortNumber(at.angle),
                 s.phaseOrderReversed ? QStringLiteral(", two phases swapped") : QString());
    case SelmexAsk::AdvanceAngle:
        return QStringLiteral("360 \u00D7 slip \u00D7 breaker time = %1.").arg(advance);
    case SelmexAsk::ContactAngle:
        return QStringLiteral("close_at + 360 \u00D7 slip \u00D7 breaker time = %1\u00B0 + %2, "
                              "brought within \u00B1180\u00B0.")
            .arg(shortNumber(q.closeAtDeg.value_or(0)), advance);
    case SelmexAsk::LampDarkFirst:
        return QStringLiteral("The rotating lamps' brightness followed as the angle turns on "
                              "from the start at the slip: the first lamp to go from lit to "
                              "dark (below a third of its full voltage).");
    }
    return {};
}

QString selmexOutcomeText(const SelmexQuestion &q, double prediction, double answer,
                          QChar decimal) {
    const QString predicted = selmexAnswerText(q.ask, prediction, decimal);
    const QString outcome = selmexAnswerText(q.ask, answer, decimal);
    const bool right = selmexWithinTolerance(q, prediction, answer);
    if (selmexAskIsChoice(q.ask))
        return QStringLiteral("You predicted: %1. The outcome: %2. Your prediction was %3.")
            .arg(predicted, outcome, right ? QStringLiteral("right") : QStringLiteral("wrong"));
    return QStringLiteral("You predicted: %1. The outcome: %2. That is %3 %4 of it.")
        .arg(predicted, outcome, right ? QStringLiteral("within") : QStringLiteral("not within"),
             numberText(q.ask, q.tolerance, decimal));
}

QString selmexPredictionProblemText(SelmexPredictionProblem problem, SelmexAsk ask) {
    switch (problem) {
    case SelmexPredictionProblem::None:
        break;
    case SelmexPredictionProblem::NotFinite:
        return QStringLiteral("Write your prediction as a number.");
    case SelmexPredictionProblem::NotAChoice:
        return QStringLiteral("Choose one of %1.")
            .arg(selmexChoices(ask).join(QStringLiteral(", ")));
    case SelmexPredictionProblem::NegativeCurrent:
        return QStringLiteral("A current is 0 or more: predict it in multiples of the rated "
                              "current.");
    }
    return {};
}

LessonOutline selmexLessonOutline(const SelmexLesson &lesson, const QString &folder) {
    LessonOutline outline;
    outline.program = QStringLiteral("Selmex");
    outline.title = QString::fromStdString(lesson.title);
    outline.introduction = QString::fromStdString(lesson.introduction);
    outline.folder = folder;
    outline.fingerprint = QString::fromStdString(lesson.fingerprint);
    for (const SelmexLessonStep &step : lesson.steps) {
        OutlineStep out;
        out.title = QString::fromStdString(step.title);
        out.text = QString::fromStdString(step.text);
        out.afterRun = QString::fromStdString(step.afterRun);
        out.line = step.line;
        if (step.question) {
            const SelmexQuestion &q = *step.question;
            OutlineQuestion o;
            o.askName = fromView(selmexAskName(q.ask));
            o.text = selmexQuestionText(q, step.lessonCase);
            o.choices = selmexChoices(q.ask);
            o.answer = o.isChoice() ? choiceIndex(q.ask, step.answer) : step.answer;
            if (!o.isChoice()) {
                o.unit = fromView(selmexAskUnit(q.ask));
                o.tolerance = q.tolerance;
                o.decimals = AnswerDecimals;
                o.toleranceText = numberText(q.ask, q.tolerance, QLatin1Char('.'));
            }
            o.answerText = selmexAnswerText(q.ask, step.answer);
            o.howFound = selmexHowFound(q, step.lessonCase);
            out.question = o;
        }
        outline.steps.push_back(out);
    }
    return outline;
}

QString selmexLessonKeyText(const SelmexLesson &lesson) {
    const LessonOutline outline = selmexLessonOutline(lesson, QString());
    QString out = QStringLiteral("Lesson: %1\n").arg(outline.title);
    for (std::size_t i = 0; i < outline.steps.size(); ++i) {
        const OutlineStep &step = outline.steps[i];
        out += QStringLiteral("Step %1 (line %2): %3\n").arg(i + 1).arg(step.line).arg(step.title);
        if (!step.question) {
            out += QStringLiteral("  free exploration, no question\n");
            continue;
        }
        const OutlineQuestion &q = *step.question;
        out += QStringLiteral("  asks %1: %2\n").arg(q.askName, q.text);
        out += QStringLiteral("  answer: %1").arg(q.answerText);
        if (!q.isChoice())
            out += QStringLiteral(", within %1 counts as right").arg(q.toleranceText);
        out += QStringLiteral("\n  found by: %1\n").arg(q.howFound);
    }
    return out;
}

QByteArray selmexLessonRecordCsv(const SelmexLesson &lesson,
                                 const std::vector<SelmexLessonProgress> &progress,
                                 const QString &student) {
    std::vector<OutlineProgress> rows;
    for (std::size_t i = 0; i < progress.size() && i < lesson.steps.size(); ++i) {
        const SelmexLessonProgress &p = progress[i];
        OutlineProgress row{p.prediction, p.secondsToPredict, p.revealed};
        const std::optional<SelmexQuestion> &q = lesson.steps[i].question;
        if (row.prediction && q && selmexAskIsChoice(q->ask))
            row.prediction = choiceIndex(q->ask, *row.prediction);
        rows.push_back(row);
    }
    return outlineRecordCsv(selmexLessonOutline(lesson, QString()), rows, student);
}

QString selmexVariantValuesText(const SelmexVariant &variant) {
    QStringList values;
    for (const VaryRange &r : variant.question.vary) {
        const QString name = QString::fromStdString(r.name);
        const QString unit = name == QLatin1String("breaker_ms")         ? QStringLiteral(" ms")
                             : name == QLatin1String("voltage")          ? QStringLiteral(" V")
                             : name.endsWith(QLatin1String("frequency")) ? QStringLiteral(" Hz")
                                                                         : QStringLiteral("\u00B0");
        values << QStringLiteral("%1 = %2%3")
                      .arg(name,
                           formatGeneral(selmexVariedValue(variant, r.name), QLatin1Char('.')),
                           unit);
    }
    return values.join(QStringLiteral(", "));
}

SelmexVariants selmexLessonVariants(const SelmexLesson &lesson, int count) {
    SelmexVariants out;
    for (std::size_t i = 0; i < lesson.steps.size(); ++i) {
        const SelmexLessonStep &step = lesson.steps[i];
        if (!step.question) continue;
        const int n = step.question->vary.empty() ? 1 : count;
        for (int k = 0; k < n; ++k) {
            const SelmexVariant v = selmexLessonVariant(step.lessonCase, *step.question, k, n);
            // The ends were checked as the lesson was read; a value between them may still
            // give no answer (no slip for the lamps).
            const SelmexAnswer answer =
                v.lessonCase.switchboard && checkSwitchboard(*v.lessonCase.switchboard)
                    ? SelmexAnswer{}
                    : answerSelmexQuestion(v.lessonCase, v.question);
            if (!answer.value) {
                ++out.leftOut;
                continue;
            }
            SelmexLesson one;
            SelmexLessonStep s = step;
            s.lessonCase = v.lessonCase;
            s.question = v.question;
            s.answer = *answer.value;
            one.steps.push_back(std::move(s));
            out.variants.push_back({int(i), selmexVariantValuesText(v),
                                    *selmexLessonOutline(one, QString()).steps.front().question});
        }
    }
    return out;
}
