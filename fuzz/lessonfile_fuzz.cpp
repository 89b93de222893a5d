// Fuzz target for parseLesson: arbitrary bytes as a lesson file. Then:
// - a refused lesson hands out nothing (no title, no introduction, no step) and a message
//   that starts with the file's name, names a line the file has, if any, and holds no
//   control character (it may reach a terminal);
// - an accepted lesson has a title and 1 to MaxLessonSteps steps, each with a title, on
//   lines in the file's order, and a case that passes checkCase; a step without a
//   scenario block has the case of the step before (the defaults for the first); every
//   question's clearing time is one the program runs, its tolerance finite and not
//   negative, its answer finite (a verdict in step or out of step), and the answer itself
//   counts as a prediction within the tolerance; the values a question varies are finite
//   ranges whose ends meet nowhere, and the cases at both ends pass checkCase.
// Any disagreement prints the input and aborts, which libFuzzer reports as a crash.
#include "lessonfile.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what, const QByteArray &input, const QString &detail) {
    std::fprintf(stderr, "parseLesson: %s\n--- input\n%s\n--- detail\n%s\n", what,
                 input.toPercentEncoding(" =[]#`~\n.-_").constData(), qPrintable(detail));
    std::abort();
}

// The lines of the file as the reader counts them: a last line without its line break
// counts too.
qsizetype lineCount(const QByteArray &input) {
    return input.count('\n') + (input.isEmpty() || input.endsWith('\n') ? 0 : 1);
}

void checkRefusal(const LessonFileResult &r, const QByteArray &input, const QString &name) {
    const Lesson &l = r.lesson;
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

void checkLesson(const Lesson &l, const QByteArray &input) {
    if (l.title.empty()) fail("an accepted lesson has no title", input, {});
    if (l.steps.empty() || l.steps.size() > std::size_t(MaxLessonSteps))
        fail("an accepted lesson has no step or too many", input, QString::number(l.steps.size()));
    int lastLine = 0;
    const StabilityCase *before = nullptr;
    const StabilityCase defaults;
    for (const LessonStep &s : l.steps) {
        const QString title = QString::fromStdString(s.title);
        if (s.title.empty()) fail("a step has no title", input, {});
        if (s.line <= lastLine || s.line > lineCount(input))
            fail("a step's line is out of the file's order", input, title);
        lastLine = s.line;
        if (const auto problem = checkCase(s.studyCase))
            fail("a step's case fails checkCase", input,
                 title + QStringLiteral(": ") + QString::fromStdString(problem->message));
        if (!s.ownScenario && s.studyCase != (before ? *before : defaults))
            fail("a step without a scenario does not keep the case before it", input, title);
        before = &s.studyCase;
        if (!s.question) continue;
        const LessonQuestion &q = *s.question;
        if (q.clearingMs < 0 || q.clearingMs > MaxClearingMs)
            fail("a question's clearing time is out of range", input, title);
        if (!std::isfinite(q.tolerance) || q.tolerance < 0)
            fail("a question's tolerance is not a finite number from 0", input, title);
        if (!std::isfinite(s.answer)) fail("a question's answer is not finite", input, title);
        if (q.ask == LessonAsk::Verdict && s.answer != InStepAnswer && s.answer != OutOfStepAnswer)
            fail("a verdict's answer is neither in step nor out of step", input, title);
        if (!withinTolerance(q, s.answer, s.answer))
            fail("the answer is not within the tolerance of itself", input, title);
        for (const VaryRange &r : q.vary)
            if (!std::isfinite(r.from) || !std::isfinite(r.to) || r.from == r.to)
                fail("a varied value's range is not two finite numbers", input, title);
        for (int end = 0; end < 2 && !q.vary.empty(); ++end)
            if (const auto problem = checkCase(lessonVariant(s.studyCase, q, end, 2).studyCase))
                fail("a varied case at an end of its ranges fails checkCase", input,
                     title + QStringLiteral(": ") + QString::fromStdString(problem->message));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString name = QStringLiteral("fuzz.dravex-lesson");
    const LessonFileResult r = parseLesson(input, name);
    if (!r.ok)
        checkRefusal(r, input, name);
    else
        checkLesson(r.lesson, input);
    return 0;
}
