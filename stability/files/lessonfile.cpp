#include "lessonfile.h"

#include "filenumber.h"
#include "keyfile.h"
#include "lessondocument.h"
#include "lessonoutline.h"
#include "lessonvary.h"
#include "scenariofile.h"

#include <optional>
#include <QFileInfo>
#include <utility>

namespace {

// Dravex's own blocks of a lesson: the scenario block is a scenario file's text, the
// predict block one question on the step's case.
class DravexBlocks {
public:
    explicit DravexBlocks(const QString &fileName) : m_fileName(fileName), m_file(fileName, {}) {}

    LessonBlockReaders readers() {
        return {[this](int line, const QByteArray &text) { return scenario(line, text); },
                [this](int line, const QByteArray &text) { return predict(line, text); },
                [this](const LessonDocumentStep &step) { return stepEnd(step); }};
    }
    std::vector<LessonStep> takeSteps() { return std::move(m_steps); }

private:
    bool fail(int line, const QString &what) { return m_file.fail(line, what); }
    std::optional<QString> refusal(int line, const QString &what) {
        m_file.fail(line, what);
        return m_file.error();
    }
    std::optional<QString> scenario(int firstLine, const QByteArray &text);
    std::optional<QString> predict(int blockLine, const QByteArray &text);
    std::optional<QString> stepEnd(const LessonDocumentStep &step);

    QString m_fileName;
    KeyFile m_file; // for its messages
    std::vector<LessonStep> m_steps;
    // The blocks of the step being read.
    std::optional<StabilityCase> m_ownCase;
    std::optional<LessonQuestion> m_question;
    std::optional<std::int32_t> m_predictClearing; // clearing_ms of the predict block
    int m_varyLine = 0;                            // the predict block's vary line
    StabilityCase m_case;                          // the case a step without a scenario block keeps
};

std::optional<QString> DravexBlocks::scenario(int firstLine, const QByteArray &text) {
    const ScenarioFileResult read = parseScenario(text, m_fileName, firstLine);
    // The scenario reader's message names the file and the line already.
    if (!read.ok) return read.error;
    m_case = read.value;
    m_ownCase = read.value;
    return std::nullopt;
}

std::optional<QString> DravexBlocks::stepEnd(const LessonDocumentStep &read) {
    LessonStep step;
    step.title = read.title;
    step.text = read.text;
    step.afterRun = read.afterRun;
    step.line = read.line;
    step.ownScenario = m_ownCase.has_value();
    step.studyCase = m_ownCase.value_or(m_case);
    step.question = m_question;
    const std::optional<std::int32_t> predictClearing = m_predictClearing;
    const int varyLine = m_varyLine;
    m_ownCase.reset();
    m_question.reset();
    m_predictClearing.reset();
    m_varyLine = 0;
    if (step.question) {
        LessonQuestion &q = *step.question;
        q.clearingMs = predictClearing.value_or(step.studyCase.clearingMs);
        if (predictClearing && !step.studyCase.scenario.hasFault())
            return refusal(read.predictLine, QStringLiteral("clearing_ms is given, but the "
                                                            "step's power step or line out "
                                                            "has no fault to clear."));
        if (const auto problem = checkVaryRanges(step.studyCase, q))
            return refusal(varyLine, QString::fromStdString(*problem));
        const LessonAnswer answer = answerQuestion(step.studyCase, q);
        if (!answer.value)
            return refusal(read.predictLine, QStringLiteral("the question has no answer: %1")
                                                 .arg(QString::fromStdString(answer.refusal)));
        step.answer = *answer.value;
    }
    m_steps.push_back(std::move(step));
    return std::nullopt;
}

std::optional<QString> DravexBlocks::predict(int blockLine, const QByteArray &text) {
    LessonQuestion q;
    std::optional<double> tolerance;
    bool asked = false;
    int toleranceLine = 0;
    constexpr int KeyCount = 4;
    bool given[KeyCount] = {false, false, false, false};
    const char *const keys[KeyCount] = {"ask", "tolerance", "clearing_ms", "vary"};
    const bool read = forEachTextLine(text, [&](int n, QByteArrayView t) {
        const int number = blockLine + n;
        const qsizetype comment = t.indexOf('#');
        if (comment >= 0) t = t.first(comment);
        t = trimmedBlanks(t);
        if (t.isEmpty()) return true;
        const qsizetype equals = t.indexOf('=');
        if (equals < 0)
            return fail(number,
                        QStringLiteral("%1 is not a \"key = value\" line.").arg(quotedText(t)));
        const QByteArrayView key = trimmedBlanks(t.first(equals));
        const QByteArrayView value = trimmedBlanks(t.sliced(equals + 1));
        int which = -1;
        for (int k = 0; k < KeyCount; ++k)
            if (key == keys[k]) which = k;
        if (which < 0)
            return fail(number, QStringLiteral("a predict block has no key %1: it takes ask, "
                                               "tolerance, clearing_ms and vary.")
                                    .arg(quotedText(key)));
        if (given[which])
            return fail(number,
                        QStringLiteral("%1 is given twice.").arg(QLatin1String(keys[which])));
        given[which] = true;
        if (value.isEmpty())
            return fail(number, QStringLiteral("%1 has no value.").arg(QLatin1String(keys[which])));
        if (which == 0) {
            const std::optional<LessonAsk> ask =
                askNamed(std::string_view(value.data(), std::size_t(value.size())));
            if (!ask)
                return fail(number, QStringLiteral("ask = %1 is not a question: ask verdict, "
                                                   "max_angle, critical_clearing_ms or "
                                                   "largest_stable_pmech.")
                                        .arg(quotedText(value)));
            q.ask = *ask;
            asked = true;
        } else if (which == 1) {
            QString problem;
            tolerance = keyFileNumber("tolerance", value, "5 or 0.02", problem);
            if (!tolerance) return fail(number, problem);
            if (!(*tolerance >= 0)) return fail(number, QStringLiteral("tolerance is below 0."));
            toleranceLine = number;
        } else if (which == 3) {
            std::string problem;
            const auto ranges =
                parseVaryRanges(std::string_view(value.data(), std::size_t(value.size())), problem);
            if (!ranges) return fail(number, QString::fromStdString(problem));
            q.vary = *ranges;
            m_varyLine = number;
        } else {
            if (!isWholeFileNumberText(value))
                return fail(number, QStringLiteral("clearing_ms = %1 is not a whole number of "
                                                   "milliseconds.")
                                        .arg(quotedText(value)));
            const std::int32_t ms = wholeFileNumber(value);
            if (ms < 0 || ms > MaxClearingMs)
                return fail(
                    number,
                    QStringLiteral("clearing_ms is to lie from 0 to %1 ms.").arg(MaxClearingMs));
            m_predictClearing = ms;
        }
        return true;
    });
    if (!read) return m_file.error();
    if (!asked)
        return refusal(blockLine, QStringLiteral("the predict block has no line \"ask = \" and "
                                                 "the question."));
    if (tolerance && q.ask == LessonAsk::Verdict)
        return refusal(toleranceLine, QStringLiteral("a verdict has no tolerance: it is in step "
                                                     "or out of step."));
    q.tolerance = tolerance.value_or(defaultTolerance(q.ask));
    m_question = q;
    return std::nullopt;
}

} // namespace

LessonFileResult parseLesson(const QByteArray &bytes, const QString &fileName,
                             const QString &folder) {
    DravexBlocks blocks(fileName);
    const LessonDocumentResult read = readLessonDocument(bytes, fileName, folder, blocks.readers());
    if (!read.ok) return LessonFileResult::refused(read.error);
    Lesson lesson;
    lesson.title = read.title;
    lesson.introduction = read.introduction;
    lesson.steps = blocks.takeSteps();
    lesson.fingerprint = lessonFingerprint(bytes).toStdString();
    return LessonFileResult::read({std::move(lesson)});
}

LessonFileResult readLessonFile(const QString &path) {
    const SmallFile file = readSmallFile(path, MaxLessonFileBytes);
    if (!file.ok) return LessonFileResult::refused(file.error);
    return parseLesson(file.bytes, file.name, QFileInfo(path).absolutePath());
}
