#include "selmexlessonfile.h"

#include "filenumber.h"
#include "keyfile.h"
#include "lessonoutline.h"
#include "selmexfile.h"

#include <array>
#include <cmath>
#include <optional>
#include <QFileInfo>
#include <utility>

namespace {

// Selmex's own blocks of a lesson: the scenario block is a .selmex file's text, the predict
// block one question on the step's case.
class SelmexBlocks {
public:
    explicit SelmexBlocks(const QString &fileName) : m_fileName(fileName), m_file(fileName, {}) {}

    LessonBlockReaders readers() {
        return {[this](int line, const QByteArray &text) { return scenario(line, text); },
                [this](int line, const QByteArray &text) { return predict(line, text); },
                [this](const LessonDocumentStep &step) { return stepEnd(step); }};
    }
    std::vector<SelmexLessonStep> takeSteps() { return std::move(m_steps); }

private:
    bool fail(int line, const QString &what) { return m_file.fail(line, what); }
    std::optional<QString> refusal(int line, const QString &what) {
        m_file.fail(line, what);
        return m_file.error();
    }
    std::optional<QString> scenario(int firstLine, const QByteArray &text);
    std::optional<QString> predict(int blockLine, const QByteArray &text);
    bool predictValue(int number, int key, QByteArrayView value);
    std::optional<QString> stepEnd(const LessonDocumentStep &step);

    QString m_fileName;
    KeyFile m_file; // for its messages
    std::vector<SelmexLessonStep> m_steps;
    std::optional<SelmexLessonCase> m_ownCase; // the scenario block of the step being read
    std::optional<SelmexQuestion> m_question;  // and its predict block
    int m_varyLine = 0;                        // the predict block's vary line
    SelmexLessonCase m_case;                   // the case a step without a scenario block keeps
};

std::optional<QString> SelmexBlocks::scenario(int firstLine, const QByteArray &text) {
    const SelmexFileResult read = parseSelmexScenario(text, m_fileName, firstLine);
    // The scenario reader's message names the file and the line already.
    if (!read.ok) return read.error;
    const SelmexScenario &g = read.value;
    const bool generator = g.voltage || g.frequency || g.reversed || g.wrongOrder || g.angle;
    if (!generator && !read.switchboard)
        return refusal(firstLine - 1, QStringLiteral("the scenario block has no [switchboard] "
                                                     "section and no [generator] key: a step's "
                                                     "case is one of them."));
    SelmexLessonCase c;
    if (generator) c.generator = g;
    c.switchboard = read.switchboard;
    m_case = c;
    m_ownCase = c;
    return std::nullopt;
}

constexpr std::array<const char *, 4> PredictKeys = {"ask", "tolerance", "close_at", "vary"};

bool SelmexBlocks::predictValue(int number, int key, QByteArrayView value) {
    SelmexQuestion &q = *m_question;
    QString problem;
    if (key == 0) {
        const std::optional<SelmexAsk> ask =
            selmexAskNamed(std::string_view(value.data(), std::size_t(value.size())));
        if (!ask)
            return fail(number, QStringLiteral("ask = %1 is not a question: ask permits, "
                                               "closing_current, advance_angle, contact_angle "
                                               "or lamp_dark_first.")
                                    .arg(quotedText(value)));
        q.ask = *ask;
        return true;
    }
    if (key == 3) {
        std::string why;
        const std::optional<std::vector<VaryRange>> ranges =
            parseVaryRanges(std::string_view(value.data(), std::size_t(value.size())), why);
        if (!ranges) return fail(number, QString::fromStdString(why));
        q.vary = *ranges;
        m_varyLine = number;
        return true;
    }
    const std::optional<double> read =
        keyFileNumber(PredictKeys[std::size_t(key)], value, key == 1 ? "0.5" : "-3", problem);
    if (!read) return fail(number, problem);
    if (key == 1) {
        if (!(*read >= 0)) return fail(number, QStringLiteral("tolerance is below 0."));
        q.tolerance = *read;
    } else {
        if (!(std::fabs(*read) <= 180))
            return fail(number, QStringLiteral("close_at is to lie from -180 to 180 degrees."));
        q.closeAtDeg = *read;
    }
    return true;
}

std::optional<QString> SelmexBlocks::predict(int blockLine, const QByteArray &text) {
    m_question = SelmexQuestion{};
    std::array<int, PredictKeys.size()> lines{};
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
        for (std::size_t k = 0; k < PredictKeys.size(); ++k)
            if (key == PredictKeys[k]) which = int(k);
        if (which < 0)
            return fail(number, QStringLiteral("a predict block has no key %1: it takes ask, "
                                               "tolerance, close_at and vary.")
                                    .arg(quotedText(key)));
        if (lines[std::size_t(which)])
            return fail(number, QStringLiteral("%1 is given twice.")
                                    .arg(QLatin1String(PredictKeys[std::size_t(which)])));
        lines[std::size_t(which)] = number;
        if (value.isEmpty())
            return fail(number, QStringLiteral("%1 has no value.")
                                    .arg(QLatin1String(PredictKeys[std::size_t(which)])));
        return predictValue(number, which, value);
    });
    if (!read) return m_file.error();
    SelmexQuestion &q = *m_question;
    if (!lines[0])
        return refusal(blockLine, QStringLiteral("the predict block has no line \"ask = \" and "
                                                 "the question."));
    if (lines[1] && selmexAskIsChoice(q.ask))
        return refusal(lines[1], QStringLiteral("%1 is a choice: it has no tolerance.")
                                     .arg(QLatin1String(selmexAskName(q.ask).data())));
    if (!lines[1]) q.tolerance = selmexDefaultTolerance(q.ask);
    if (lines[2] && q.ask != SelmexAsk::ContactAngle)
        return refusal(lines[2], QStringLiteral("close_at belongs to ask = contact_angle."));
    if (!lines[2] && q.ask == SelmexAsk::ContactAngle)
        return refusal(blockLine, QStringLiteral("contact_angle needs close_at, the angle the "
                                                 "close command is given at."));
    return std::nullopt;
}

std::optional<QString> SelmexBlocks::stepEnd(const LessonDocumentStep &read) {
    SelmexLessonStep step;
    step.title = read.title;
    step.text = read.text;
    step.afterRun = read.afterRun;
    step.line = read.line;
    step.ownScenario = m_ownCase.has_value();
    step.lessonCase = m_ownCase.value_or(m_case);
    step.question = m_question;
    const int varyLine = m_varyLine;
    m_ownCase.reset();
    m_question.reset();
    m_varyLine = 0;
    if (step.question) {
        if (!step.lessonCase.generator && !step.lessonCase.switchboard)
            return refusal(read.predictLine, QStringLiteral("the question has no case to be "
                                                            "about: give this step or one "
                                                            "before it a scenario block."));
        if (const auto problem = checkSelmexVary(step.lessonCase, *step.question))
            return refusal(varyLine, QString::fromStdString(*problem));
        const SelmexAnswer answer = answerSelmexQuestion(step.lessonCase, *step.question);
        if (!answer.value)
            return refusal(read.predictLine, QStringLiteral("the question has no answer: %1")
                                                 .arg(QString::fromStdString(answer.refusal)));
        step.answer = *answer.value;
    }
    m_steps.push_back(std::move(step));
    return std::nullopt;
}

} // namespace

SelmexLessonFileResult parseSelmexLesson(const QByteArray &bytes, const QString &fileName,
                                         const QString &folder) {
    SelmexBlocks blocks(fileName);
    const LessonDocumentResult read = readLessonDocument(bytes, fileName, folder, blocks.readers());
    if (!read.ok) return SelmexLessonFileResult::refused(read.error);
    SelmexLesson lesson;
    lesson.title = read.title;
    lesson.introduction = read.introduction;
    lesson.steps = blocks.takeSteps();
    lesson.fingerprint = lessonFingerprint(bytes).toStdString();
    return SelmexLessonFileResult::read({std::move(lesson)});
}

SelmexLessonFileResult readSelmexLessonFile(const QString &path) {
    const SmallFile file = readSmallFile(path, MaxLessonFileBytes);
    if (!file.ok) return SelmexLessonFileResult::refused(file.error);
    return parseSelmexLesson(file.bytes, file.name, QFileInfo(path).absolutePath());
}
