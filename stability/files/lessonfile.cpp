#include "lessonfile.h"

#include "filenumber.h"
#include "keyfile.h"
#include "scenariofile.h"

#include <optional>
#include <QByteArrayView>
#include <string>

namespace {

// Where the reader stands between blocks.
enum class Part { BeforeTitle, Introduction, StepText, AfterRun };

enum class Block { Plain, Scenario, Predict };

// A fence that opens or closes a code block: three or more backticks or tildes, indented
// by at most three spaces, and for an opening one the block's name.
struct Fence {
    char mark = '`';
    qsizetype length = 0;
    QByteArrayView name;
};

std::optional<Fence> fenceOf(QByteArrayView line) {
    qsizetype at = 0;
    while (at < line.size() && at < 3 && line[at] == ' ') ++at;
    if (at >= line.size() || (line[at] != '`' && line[at] != '~')) return std::nullopt;
    Fence fence;
    fence.mark = line[at];
    const qsizetype start = at;
    while (at < line.size() && line[at] == fence.mark) ++at;
    fence.length = at - start;
    if (fence.length < 3) return std::nullopt;
    QByteArrayView info = trimmedBlanks(line.sliced(at));
    const qsizetype blank = [&] {
        for (qsizetype i = 0; i < info.size(); ++i)
            if (info[i] == ' ' || info[i] == '\t') return i;
        return info.size();
    }();
    fence.name = info.first(blank);
    return fence;
}

// An ATX heading: its level, 1 to 6, and its text without the closing hashes.
struct Heading {
    int level = 0;
    QByteArrayView text;
};

std::optional<Heading> headingOf(QByteArrayView line) {
    qsizetype at = 0;
    while (at < line.size() && at < 3 && line[at] == ' ') ++at;
    const qsizetype start = at;
    while (at < line.size() && line[at] == '#') ++at;
    const int level = int(at - start);
    if (level < 1 || level > 6) return std::nullopt;
    if (at < line.size() && line[at] != ' ' && line[at] != '\t') return std::nullopt;
    QByteArrayView text = trimmedBlanks(line.sliced(at));
    // A closing sequence of hashes after a blank is not part of the text.
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == '#') --end;
    if (end == 0 || text[end - 1] == ' ' || text[end - 1] == '\t')
        text = trimmedBlanks(text.first(end));
    return Heading{level, text};
}

bool isAfterRunHeading(const Heading &h) {
    return h.level == 3 && QString::fromUtf8(h.text).compare(QLatin1String("After the run"),
                                                             Qt::CaseInsensitive) == 0;
}

// Markdown text with its blank lines at either end left out.
std::string trimmedText(const QByteArray &text) {
    QByteArray t = text;
    while (t.startsWith('\n')) t.remove(0, 1);
    while (t.endsWith('\n')) t.chop(1);
    return t.toStdString();
}

class LessonReader {
public:
    explicit LessonReader(const QString &fileName) : m_fileName(fileName), m_file(fileName, {}) {}

    LessonFileResult read(QByteArrayView bytes);

private:
    bool fail(int line, const QString &what) {
        m_file.fail(line, what);
        m_error = m_file.error();
        return false;
    }
    bool line(int number, QByteArrayView text);
    bool openBlock(int number, const Fence &fence);
    bool closeBlock();
    bool heading(int number, const Heading &h, QByteArrayView line);
    bool endStep();
    bool scenario(int firstLine, const QByteArray &text);
    bool predict(int blockLine, const QByteArray &text);
    void appendText(QByteArrayView text);

    QString m_fileName;
    KeyFile m_file; // for its messages
    QString m_error;
    Lesson m_lesson;
    Part m_part = Part::BeforeTitle;

    // The step being read.
    LessonStep m_step;
    QByteArray m_text, m_afterRun, m_introduction;
    int m_predictLine = 0;
    std::optional<std::int32_t> m_predictClearing; // clearing_ms of the predict block
    StabilityCase m_case;                          // the case a step without a scenario block keeps

    // The open fenced block.
    std::optional<Fence> m_fence;
    Block m_block = Block::Plain;
    int m_blockLine = 0;
    QByteArray m_blockText;
};

LessonFileResult LessonReader::read(QByteArrayView bytes) {
    if (bytes.size() > MaxLessonFileBytes) {
        fail(0, QStringLiteral("the file is over 256 KiB, too large for a lesson."));
        return {false, {}, m_error};
    }
    if (!forEachTextLine(bytes, [this](int n, QByteArrayView t) { return line(n, t); }))
        return {false, {}, m_error};
    if (m_fence) {
        fail(m_blockLine, QStringLiteral("the fenced block that opens here is not closed."));
        return {false, {}, m_error};
    }
    if (m_part == Part::BeforeTitle) {
        fail(0, QStringLiteral("the lesson has no title: its first line is \"# \" and the "
                               "title."));
        return {false, {}, m_error};
    }
    if (m_part == Part::Introduction) {
        fail(0, QStringLiteral("the lesson has no step: each step begins with a line \"## \" "
                               "and its title."));
        return {false, {}, m_error};
    }
    if (!endStep()) return {false, {}, m_error};
    m_lesson.introduction = trimmedText(m_introduction);
    return {true, std::move(m_lesson), {}};
}

bool LessonReader::line(int number, QByteArrayView text) {
    if (!isUtf8Text(text)) return fail(number, QStringLiteral("the text is not UTF-8."));
    if (m_fence) {
        const std::optional<Fence> close = fenceOf(text);
        if (close && close->mark == m_fence->mark && close->length >= m_fence->length &&
            close->name.isEmpty()) {
            if (m_block == Block::Plain) appendText(text);
            return closeBlock();
        }
        if (m_block == Block::Plain)
            appendText(text);
        else
            (m_blockText += text.toByteArray()) += '\n';
        return true;
    }
    if (const std::optional<Fence> fence = fenceOf(text)) {
        m_fence = fence;
        m_blockLine = number;
        if (!openBlock(number, *fence)) return false;
        if (m_block == Block::Plain) appendText(text);
        return true;
    }
    if (const std::optional<Heading> h = headingOf(text)) return heading(number, *h, text);
    if (m_part == Part::BeforeTitle) {
        if (trimmedBlanks(text).isEmpty()) return true;
        return fail(number, QStringLiteral("a lesson starts with its title: a line \"# \" and "
                                           "the title."));
    }
    appendText(text);
    return true;
}

void LessonReader::appendText(QByteArrayView text) {
    QByteArray &to = m_part == Part::Introduction ? m_introduction
                     : m_part == Part::AfterRun   ? m_afterRun
                                                  : m_text;
    (to += text.toByteArray()) += '\n';
}

bool LessonReader::openBlock(int number, const Fence &fence) {
    m_blockText.clear();
    if (fence.name.isEmpty()) {
        m_block = Block::Plain;
        if (m_part == Part::BeforeTitle)
            return fail(number, QStringLiteral("a lesson starts with its title: a line \"# \" "
                                               "and the title."));
        return true;
    }
    const QString name = quotedText(fence.name);
    if (fence.name == "scenario")
        m_block = Block::Scenario;
    else if (fence.name == "predict")
        m_block = Block::Predict;
    else
        return fail(number, QStringLiteral("a block named %1 is not known: a lesson has "
                                           "scenario and predict blocks, and blocks without "
                                           "a name for text.")
                                .arg(name));
    if (m_part != Part::StepText) {
        if (m_part == Part::AfterRun)
            return fail(number, QStringLiteral("a %1 block stands after \"### After the run\": "
                                               "put it before, in the step's own text.")
                                    .arg(name));
        return fail(number, QStringLiteral("a %1 block stands outside a step: put it after a "
                                           "line \"## \" and the step's title.")
                                .arg(name));
    }
    if (m_block == Block::Scenario && m_step.ownScenario)
        return fail(number, QStringLiteral("the step has a scenario block already: a step has "
                                           "one case."));
    if (m_block == Block::Predict && m_predictLine)
        return fail(number, QStringLiteral("the step has a predict block already: a step asks "
                                           "one question."));
    if (m_block == Block::Predict) m_predictLine = number;
    if (m_block == Block::Scenario) m_step.ownScenario = true;
    return true;
}

bool LessonReader::closeBlock() {
    const Block block = m_block;
    m_fence.reset();
    m_block = Block::Plain;
    if (block == Block::Scenario) return scenario(m_blockLine + 1, m_blockText);
    if (block == Block::Predict) return predict(m_blockLine, m_blockText);
    return true;
}

bool LessonReader::heading(int number, const Heading &h, QByteArrayView line) {
    if (h.level == 1) {
        if (m_part != Part::BeforeTitle)
            return fail(number, QStringLiteral("a second title: a lesson has one line \"# \"; "
                                               "its steps begin with \"## \"."));
        if (h.text.isEmpty()) return fail(number, QStringLiteral("the title is empty."));
        m_lesson.title = h.text.toByteArray().toStdString();
        m_part = Part::Introduction;
        return true;
    }
    if (m_part == Part::BeforeTitle)
        return fail(number, QStringLiteral("a lesson starts with its title: a line \"# \" and "
                                           "the title."));
    if (h.level == 2) {
        if (m_part != Part::Introduction && !endStep()) return false;
        if (int(m_lesson.steps.size()) == MaxLessonSteps)
            return fail(
                number,
                QStringLiteral("more than %1 steps: split the lesson in two.").arg(MaxLessonSteps));
        if (h.text.isEmpty())
            return fail(number, QStringLiteral("the step has no title after \"## \"."));
        m_step = LessonStep{};
        m_step.title = h.text.toByteArray().toStdString();
        m_step.line = number;
        m_text.clear();
        m_afterRun.clear();
        m_predictLine = 0;
        m_predictClearing.reset();
        m_part = Part::StepText;
        return true;
    }
    if (isAfterRunHeading(h)) {
        if (m_part == Part::AfterRun)
            return fail(number, QStringLiteral("the step has \"### After the run\" already."));
        if (m_part != Part::StepText)
            return fail(number, QStringLiteral("\"### After the run\" stands outside a step."));
        m_part = Part::AfterRun;
        return true;
    }
    // Any other heading is the step's own Markdown.
    appendText(line);
    return true;
}

bool LessonReader::endStep() {
    m_step.text = trimmedText(m_text);
    m_step.afterRun = trimmedText(m_afterRun);
    if (!m_step.ownScenario) m_step.studyCase = m_case;
    if (m_step.question) {
        LessonQuestion &q = *m_step.question;
        q.clearingMs = m_predictClearing.value_or(m_step.studyCase.clearingMs);
        if (m_predictClearing && !m_step.studyCase.scenario.hasFault())
            return fail(m_predictLine, QStringLiteral("clearing_ms is given, but the step's "
                                                      "power step or line out has no fault to "
                                                      "clear."));
        const LessonAnswer answer = answerQuestion(m_step.studyCase, q);
        if (!answer.value)
            return fail(m_predictLine, QStringLiteral("the question has no answer: %1")
                                           .arg(QString::fromStdString(answer.refusal)));
        m_step.answer = *answer.value;
    }
    m_lesson.steps.push_back(std::move(m_step));
    m_step = LessonStep{};
    return true;
}

bool LessonReader::scenario(int firstLine, const QByteArray &text) {
    const ScenarioFileResult read = parseScenario(text, m_fileName, firstLine);
    if (!read.ok) {
        // The scenario reader's message names the file and the line already.
        m_error = read.error;
        return false;
    }
    m_case = read.value;
    m_step.studyCase = read.value;
    return true;
}

bool LessonReader::predict(int blockLine, const QByteArray &text) {
    LessonQuestion q;
    std::optional<double> tolerance;
    bool asked = false;
    int toleranceLine = 0;
    bool given[3] = {false, false, false};
    const char *const keys[3] = {"ask", "tolerance", "clearing_ms"};
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
        for (int k = 0; k < 3; ++k)
            if (key == keys[k]) which = k;
        if (which < 0)
            return fail(number, QStringLiteral("a predict block has no key %1: it takes ask, "
                                               "tolerance and clearing_ms.")
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
    if (!read) return false;
    if (!asked)
        return fail(blockLine, QStringLiteral("the predict block has no line \"ask = \" and the "
                                              "question."));
    if (tolerance && q.ask == LessonAsk::Verdict)
        return fail(toleranceLine, QStringLiteral("a verdict has no tolerance: it is in step "
                                                  "or out of step."));
    q.tolerance = tolerance.value_or(defaultTolerance(q.ask));
    m_step.question = q;
    return true;
}

} // namespace

LessonFileResult parseLesson(const QByteArray &bytes, const QString &fileName) {
    return LessonReader(fileName).read(bytes);
}

LessonFileResult readLessonFile(const QString &path) {
    const SmallFile file = readSmallFile(path, MaxLessonFileBytes);
    if (!file.ok) return {false, {}, file.error};
    return parseLesson(file.bytes, file.name);
}
