// Fuzz target for parseSelmexLesson: arbitrary bytes as a Selmex lesson file. Then:
// - a refused lesson hands out nothing and a message that starts with the file's name,
//   names a line the file has, if any, and holds no control character;
// - an accepted lesson has a title and 1 to MaxLessonSteps steps, each with a title, on
//   lines in the file's order, and a case of the trainer or the switchboard that passes
//   its range check; a step without a scenario block keeps the case before it; every
//   question's tolerance is finite and not negative, its answer finite (a choice one of
//   its choices, a contact angle within (-180, 180]), and the answer itself counts as a
//   prediction within the tolerance.
// Any disagreement prints the input and aborts, which libFuzzer reports as a crash.
#include "selmexlessonfile.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what, const QByteArray &input, const QString &detail) {
    std::fprintf(stderr, "parseSelmexLesson: %s\n--- input\n%s\n--- detail\n%s\n", what,
                 input.toPercentEncoding(" =[]#`~\n.-_").constData(), qPrintable(detail));
    std::abort();
}

qsizetype lineCount(const QByteArray &input) {
    return input.count('\n') + (input.isEmpty() || input.endsWith('\n') ? 0 : 1);
}

void checkRefusal(const SelmexLessonFileResult &r, const QByteArray &input, const QString &name) {
    const SelmexLesson &l = r.lesson;
    if (!l.title.empty() || !l.introduction.empty() || !l.steps.empty())
        fail("a refused lesson handed out a title, text or steps", input, r.error);
    const QString atLine = name + QStringLiteral(", line ");
    if (r.error.startsWith(atLine)) {
        const qsizetype colon = r.error.indexOf(QLatin1Char(':'), atLine.size());
        bool number = false;
        const qlonglong line =
            colon < 0 ? 0 : r.error.mid(atLine.size(), colon - atLine.size()).toLongLong(&number);
        if (!number || line < 1 || line > lineCount(input))
            fail("the message names a line the file does not have", input, r.error);
    } else if (!r.error.startsWith(name + QStringLiteral(": "))) {
        fail("the message does not name the file", input, r.error);
    }
    for (const QChar ch : r.error)
        if (ch.category() == QChar::Other_Control)
            fail("the message holds a control character", input, r.error);
}

bool sameCase(const SelmexLessonCase &a, const SelmexLessonCase &b) {
    const auto sameStart = [](const std::optional<SelmexScenario> &x,
                              const std::optional<SelmexScenario> &y) {
        if (!x || !y) return !x && !y;
        return x->voltage == y->voltage && x->frequency == y->frequency &&
               x->reversed == y->reversed && x->wrongOrder == y->wrongOrder &&
               x->angle == y->angle && x->maxAngle == y->maxAngle;
    };
    const auto sameBoard = [](const std::optional<SwitchboardSettings> &x,
                              const std::optional<SwitchboardSettings> &y) {
        if (!x || !y) return !x && !y;
        return x->frequency == y->frequency && x->voltage == y->voltage && x->angle == y->angle &&
               x->breakerMs == y->breakerMs && x->busFrequency == y->busFrequency;
    };
    return sameStart(a.generator, b.generator) && sameBoard(a.switchboard, b.switchboard);
}

void checkLesson(const SelmexLesson &l, const QByteArray &input) {
    if (l.title.empty()) fail("an accepted lesson has no title", input, {});
    if (l.steps.empty() || l.steps.size() > std::size_t(MaxLessonSteps))
        fail("an accepted lesson has no step or too many", input, QString::number(l.steps.size()));
    int lastLine = 0;
    const SelmexLessonCase *before = nullptr;
    for (const SelmexLessonStep &s : l.steps) {
        const QString title = QString::fromStdString(s.title);
        if (s.title.empty()) fail("a step has no title", input, {});
        if (s.line <= lastLine || s.line > lineCount(input))
            fail("a step's line is out of the file's order", input, title);
        lastLine = s.line;
        const SelmexLessonCase &c = s.lessonCase;
        if (c.generator && checkScenario(*c.generator))
            fail("a step's start fails checkScenario", input, title);
        if (c.switchboard && checkSwitchboard(*c.switchboard))
            fail("a step's switchboard fails checkSwitchboard", input, title);
        if (!s.ownScenario && !sameCase(c, before ? *before : SelmexLessonCase{}))
            fail("a step without a scenario does not keep the case before it", input, title);
        before = &c;
        if (!s.question) continue;
        const SelmexQuestion &q = *s.question;
        if (!std::isfinite(q.tolerance) || q.tolerance < 0)
            fail("a question's tolerance is not a finite number from 0", input, title);
        if (!std::isfinite(s.answer)) fail("a question's answer is not finite", input, title);
        if (selmexAskIsChoice(q.ask) && (s.answer < 0 || s.answer >= selmexChoiceCount(q.ask) ||
                                         s.answer != std::floor(s.answer)))
            fail("a choice's answer is none of its choices", input, title);
        if (q.ask == SelmexAsk::ContactAngle && !(s.answer > -180 && s.answer <= 180))
            fail("a contact angle lies outside (-180, 180]", input, title);
        if (!selmexWithinTolerance(q, s.answer, s.answer))
            fail("the answer is not within the tolerance of itself", input, title);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString name = QStringLiteral("fuzz.selmex-lesson");
    const SelmexLessonFileResult r = parseSelmexLesson(input, name);
    if (!r.ok)
        checkRefusal(r, input, name);
    else
        checkLesson(r.lesson, input);
    return 0;
}
