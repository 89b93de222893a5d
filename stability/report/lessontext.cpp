#include "lessontext.h"

#include "numberformat.h"

#include <cmath>

namespace {

// Degrees to 0.1, milliseconds whole unless the student wrote a fraction, per-unit to
// 0.001.
int answerDecimals(LessonAsk ask, double value) {
    if (ask == LessonAsk::MaxAngle) return 1;
    if (ask == LessonAsk::CriticalClearingMs) return value == std::round(value) ? 0 : 1;
    return 3;
}

// A number as an answer shows it.
QString numberText(LessonAsk ask, double value, QChar decimal) {
    QString text = QString::number(value, 'f', answerDecimals(ask, value));
    if (decimal != QLatin1Char('.')) text.replace(QLatin1Char('.'), decimal);
    return text;
}

QString unitText(LessonAsk ask) {
    const std::string_view unit = askUnit(ask);
    const QString u = QString::fromUtf8(unit.data(), qsizetype(unit.size()));
    return ask == LessonAsk::MaxAngle || u.isEmpty() ? u : QStringLiteral(" ") + u;
}

QString clearingText(const LessonQuestion &q) {
    return QStringLiteral("when the fault is cleared after %1 ms").arg(q.clearingMs);
}

// One line on how the model found the answer, as answerQuestion finds it.
QString howFoundText(const LessonQuestion &q, const FaultScenario &scenario) {
    const QString run = scenario.hasFault()
                            ? QStringLiteral("with the fault cleared after %1 ms").arg(q.clearingMs)
                            : QStringLiteral("after the disturbance");
    switch (q.ask) {
    case LessonAsk::Verdict:
        return QStringLiteral("One run of the swing equation in 3 ms steps, %1: out of step "
                              "once the rotor angle passes four turns within 10 s.")
            .arg(run);
    case LessonAsk::MaxAngle:
        return QStringLiteral("The largest rotor angle of one run of the swing equation in 3 ms "
                              "steps for 10 s, %1.")
            .arg(run);
    case LessonAsk::CriticalClearingMs:
        return QStringLiteral("Runs of the swing equation with the clearing time from 0 ms up "
                              "in whole milliseconds: the last that stays in step, as every "
                              "shorter one does.");
    case LessonAsk::LargestStablePmech:
        if (scenario.network == Network::PowerStep)
            return QStringLiteral("Runs of the swing equation with P1 from the data's Pmech up "
                                  "in steps of 0.001: the last that stays in step, as every "
                                  "smaller one does.");
        return QStringLiteral("Runs of the swing equation with Pmech from 0 up in steps of "
                              "0.001: the last that stays in step, as every smaller one does.");
    }
    return {};
}

} // namespace

QString answerText(LessonAsk ask, double value, QChar decimal) {
    if (ask == LessonAsk::Verdict)
        return value == InStepAnswer ? QStringLiteral("in step") : QStringLiteral("out of step");
    return numberText(ask, value, decimal) + unitText(ask);
}

QString questionText(const LessonQuestion &q, const FaultScenario &scenario) {
    const bool fault = scenario.hasFault();
    const QString when = fault ? clearingText(q) : QStringLiteral("after the disturbance");
    switch (q.ask) {
    case LessonAsk::Verdict:
        return QStringLiteral("Will the generator stay in step %1?").arg(when);
    case LessonAsk::MaxAngle:
        return QStringLiteral("How large will the rotor angle become, at most, %1? In degrees.")
            .arg(when);
    case LessonAsk::CriticalClearingMs:
        return QStringLiteral("What is the longest clearing time for which the generator stays "
                              "in step? In whole milliseconds.");
    case LessonAsk::LargestStablePmech:
        if (scenario.network == Network::PowerStep)
            return QStringLiteral("To what largest mechanical power P1 can the step go with the "
                                  "generator staying in step? Per-unit of Pmax.");
        return QStringLiteral("What is the largest mechanical power Pmech with which the "
                              "generator stays in step when the line goes out? Per-unit of "
                              "Pmax.");
    }
    return {};
}

QString stepNumberText(int index, int count) {
    return QStringLiteral("Step %1 of %2").arg(index + 1).arg(count);
}

QString outcomeText(const LessonQuestion &q, double prediction, double answer, QChar decimal) {
    const QString predicted = answerText(q.ask, prediction, decimal);
    const QString outcome = answerText(q.ask, answer, decimal);
    const bool right = withinTolerance(q, prediction, answer);
    if (q.ask == LessonAsk::Verdict)
        return QStringLiteral("You predicted: %1. The run: %2. Your prediction was %3.")
            .arg(predicted, outcome, right ? QStringLiteral("right") : QStringLiteral("wrong"));
    return QStringLiteral("You predicted: %1. The outcome: %2. That is %3 %4 of it.")
        .arg(predicted, outcome, right ? QStringLiteral("within") : QStringLiteral("not within"),
             numberText(q.ask, q.tolerance, decimal) + unitText(q.ask));
}

QString predictionProblemText(PredictionProblem problem, LessonAsk ask, double value,
                              double startDegrees, QChar decimal) {
    const QString written = std::isfinite(value) ? answerText(ask, value, decimal) : QString();
    switch (problem) {
    case PredictionProblem::None:
        break;
    case PredictionProblem::NotFinite:
        return QStringLiteral("Write your prediction as a number.");
    case PredictionProblem::NotAVerdict:
        return QStringLiteral("Choose \"In step\" or \"Out of step\".");
    case PredictionProblem::BelowStartingAngle:
        return QStringLiteral("%1 is below the angle the run starts from, %2: the largest "
                              "angle is at least that.")
            .arg(written, answerText(LessonAsk::MaxAngle, startDegrees, decimal));
    case PredictionProblem::HalfTurnOrMore:
        return QStringLiteral("%1 is half a turn or more: a machine whose angle gets there has "
                              "fallen out of step. Predict an angle below 180\u00B0.")
            .arg(written);
    case PredictionProblem::NegativeTime:
        return QStringLiteral("%1 is below 0: a clearing time is 0 ms or more.").arg(written);
    case PredictionProblem::PowerOutsidePmax:
        return QStringLiteral("%1 lies outside 0 to 1: predict the power per-unit of Pmax.")
            .arg(written);
    }
    return {};
}

QString lessonKeyText(const Lesson &lesson) {
    QString out = QStringLiteral("Lesson: %1\n").arg(QString::fromStdString(lesson.title));
    for (std::size_t i = 0; i < lesson.steps.size(); ++i) {
        const LessonStep &step = lesson.steps[i];
        out += QStringLiteral("Step %1 (line %2): %3\n")
                   .arg(i + 1)
                   .arg(step.line)
                   .arg(QString::fromStdString(step.title));
        if (!step.question) {
            out += QStringLiteral("  free exploration, no question\n");
            continue;
        }
        const LessonQuestion &q = *step.question;
        out += QStringLiteral("  asks %1: %2\n")
                   .arg(QString::fromUtf8(askName(q.ask).data(), qsizetype(askName(q.ask).size())),
                        questionText(q, step.studyCase.scenario));
        out += QStringLiteral("  answer: %1").arg(answerText(q.ask, step.answer));
        if (q.ask != LessonAsk::Verdict)
            out += QStringLiteral(", within %1 counts as right")
                       .arg(numberText(q.ask, q.tolerance, QLatin1Char('.')) + unitText(q.ask));
        out += QLatin1Char('\n');
    }
    return out;
}

QByteArray lessonRecordCsv(const Lesson &lesson, const std::vector<LessonProgress> &progress,
                           const QString &student) {
    // The comment line holds one line, whatever the name was typed with.
    QString name = student;
    for (QChar &c : name)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) c = QLatin1Char(' ');
    QByteArray out = "# Dravex lesson: " + QByteArray::fromStdString(lesson.title) +
                     "; student: " + name.trimmed().toUtf8() +
                     "; lesson_sha256: " + QByteArray::fromStdString(lesson.fingerprint) + '\n';
    out += "step,title,question,prediction,outcome,within_tolerance,seconds_to_predict\n";
    for (std::size_t i = 0; i < lesson.steps.size(); ++i) {
        const LessonStep &step = lesson.steps[i];
        if (!step.question) continue;
        const LessonQuestion &q = *step.question;
        const LessonProgress p = i < progress.size() ? progress[i] : LessonProgress{};
        const auto value = [&](double v) {
            if (q.ask == LessonAsk::Verdict)
                out += v == InStepAnswer ? "in step" : "out of step";
            else
                appendCsvNumber(out, v);
        };
        out += QByteArray::number(qulonglong(i) + 1) + ',';
        appendCsvText(out, QString::fromStdString(step.title));
        out += ',' + QByteArray(askName(q.ask).data(), qsizetype(askName(q.ask).size())) + ',';
        if (p.prediction) value(*p.prediction);
        out += ',';
        if (p.revealed) value(step.answer);
        out += ',';
        if (p.prediction && p.revealed)
            out += withinTolerance(q, *p.prediction, step.answer) ? "yes" : "no";
        out += ',';
        // Tenths of a second are as close as a student's pause is worth.
        if (p.prediction) appendCsvNumber(out, std::round(p.secondsToPredict * 10) / 10);
        out += '\n';
    }
    return out;
}

LessonOutline dravexLessonOutline(const Lesson &lesson, const QString &folder) {
    LessonOutline outline;
    outline.program = QStringLiteral("Dravex");
    outline.title = QString::fromStdString(lesson.title);
    outline.introduction = QString::fromStdString(lesson.introduction);
    outline.folder = folder;
    outline.fingerprint = QString::fromStdString(lesson.fingerprint);
    for (const LessonStep &step : lesson.steps) {
        OutlineStep s;
        s.title = QString::fromStdString(step.title);
        s.text = QString::fromStdString(step.text);
        s.afterRun = QString::fromStdString(step.afterRun);
        s.line = step.line;
        if (step.question) {
            const LessonQuestion &q = *step.question;
            OutlineQuestion o;
            o.askName = QString::fromUtf8(askName(q.ask).data(), qsizetype(askName(q.ask).size()));
            o.text = questionText(q, step.studyCase.scenario);
            o.answerText = answerText(q.ask, step.answer);
            o.howFound = howFoundText(q, step.studyCase.scenario);
            if (q.ask == LessonAsk::Verdict) {
                // The model's verdict is 1 for in step; the outline's choices list it first.
                o.choices = QStringList{answerText(q.ask, InStepAnswer),
                                        answerText(q.ask, OutOfStepAnswer)};
                o.answer = step.answer == InStepAnswer ? 0 : 1;
                o.decimals = 0;
            } else {
                o.unit = unitText(q.ask);
                o.answer = step.answer;
                o.tolerance = q.tolerance;
                o.decimals = answerDecimals(q.ask, step.answer);
                o.toleranceText = numberText(q.ask, q.tolerance, QLatin1Char('.')) + o.unit;
            }
            s.question = o;
        }
        outline.steps.push_back(std::move(s));
    }
    return outline;
}
