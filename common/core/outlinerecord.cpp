#include "outlinerecord.h"

#include "numberformat.h"

#include <cmath>

QByteArray outlineRecordCsv(const LessonOutline &outline,
                            const std::vector<OutlineProgress> &progress, const QString &student) {
    // The first line holds one line, whatever the name was typed with.
    QString name = student;
    for (QChar &c : name)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) c = QLatin1Char(' ');
    QByteArray out = (QStringLiteral("# %1 lesson: ").arg(outline.program) + outline.title +
                      QStringLiteral("; student: ") + name.trimmed() +
                      QStringLiteral("; lesson_sha256: ") + outline.fingerprint)
                         .toUtf8() +
                     '\n';
    out += "step,title,question,prediction,outcome,within_tolerance,seconds_to_predict\n";
    for (std::size_t i = 0; i < outline.steps.size(); ++i) {
        const OutlineStep &step = outline.steps[i];
        if (!step.question) continue;
        const OutlineQuestion &q = *step.question;
        const OutlineProgress p = i < progress.size() ? progress[i] : OutlineProgress{};
        const auto value = [&](double v) {
            if (!q.isChoice())
                appendCsvNumber(out, v);
            else if (v >= 0 && v < double(q.choices.size()))
                appendCsvText(out, q.choices[qsizetype(v)]);
        };
        out += QByteArray::number(qulonglong(i) + 1) + ',';
        appendCsvText(out, step.title);
        out += ',' + q.askName.toUtf8() + ',';
        if (p.prediction) value(*p.prediction);
        out += ',';
        if (p.revealed) value(q.answer);
        out += ',';
        if (p.prediction && p.revealed)
            out += outlinePredictionRight(q, *p.prediction) ? "yes" : "no";
        out += ',';
        // Tenths of a second are as close as a student's pause is worth.
        if (p.prediction) appendCsvNumber(out, std::round(p.secondsToPredict * 10) / 10);
        out += '\n';
    }
    return out;
}
