#include "lessonvariants.h"

#include "casefields.h"
#include "lessontext.h"
#include "numberformat.h"

namespace {

// The question as the outline words it, for the variant's case and answer.
OutlineQuestion outlineQuestion(const LessonStep &step, const LessonVariant &v, double answer) {
    Lesson one;
    LessonStep s = step;
    s.studyCase = v.studyCase;
    s.question = v.question;
    s.answer = answer;
    one.steps.push_back(std::move(s));
    return *dravexLessonOutline(one, QString()).steps.front().question;
}

} // namespace

QString variantValuesText(const LessonVariant &variant) {
    QStringList values;
    for (const VaryRange &r : variant.question.vary) {
        const CaseFieldInfo *f = caseFieldOfKey(r.name);
        if (!f) continue;
        QString unit = QString::fromUtf8(f->valueUnit);
        // Per-unit values go bare, as the question's own numbers do.
        if (unit == QLatin1String(" of Pmax") || unit == QLatin1String(" per-unit")) unit.clear();
        values << QStringLiteral("%1 = %2%3")
                      .arg(QString::fromUtf8(f->key),
                           formatGeneral(f->get(variant.studyCase), QLatin1Char('.')), unit);
    }
    return values.join(QStringLiteral(", "));
}

DravexVariants dravexLessonVariants(const Lesson &lesson, int count) {
    DravexVariants out;
    for (std::size_t i = 0; i < lesson.steps.size(); ++i) {
        const LessonStep &step = lesson.steps[i];
        if (!step.question) continue;
        const int n = step.question->vary.empty() ? 1 : count;
        for (int k = 0; k < n; ++k) {
            const LessonVariant v = lessonVariant(step.studyCase, *step.question, k, n);
            // The ends were checked as the lesson was read; a value between them may
            // still leave a limit that depends on another value.
            const LessonAnswer answer =
                checkCase(v.studyCase) ? LessonAnswer{} : answerQuestion(v.studyCase, v.question);
            if (!answer.value) {
                ++out.leftOut;
                continue;
            }
            out.variants.push_back(
                {int(i), variantValuesText(v), outlineQuestion(step, v, *answer.value)});
        }
    }
    return out;
}
