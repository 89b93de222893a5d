#include "moodlexml.h"

#include "numberformat.h"

#include <QXmlStreamWriter>

namespace {

// <NAME format="FORMAT"><text>TEXT</text></NAME>
void textElement(QXmlStreamWriter &xml, const QString &name, const QString &text,
                 const QString &format = QString()) {
    xml.writeStartElement(name);
    if (!format.isEmpty()) xml.writeAttribute(QStringLiteral("format"), format);
    xml.writeTextElement(QStringLiteral("text"), text);
    xml.writeEndElement();
}

// A name within a category's path: the platform reads "//" as a slash of the name.
QString categoryName(QString name) {
    return name.replace(QLatin1Char('/'), QStringLiteral("//"));
}

QString stepName(int step, const OutlineStep &s) {
    return QStringLiteral("Step %1: %2").arg(step + 1).arg(s.title);
}

// The step's Markdown without the lines that show a picture: the platform has not got
// the lesson's folder, and a picture it cannot find shows as a broken one.
QString withoutPictures(const QString &markdown) {
    QStringList lines = markdown.split(QLatin1Char('\n'));
    lines.removeIf([](const QString &line) { return line.contains(QLatin1String("![")); });
    QString text = lines.join(QLatin1Char('\n')).trimmed();
    // The blank lines around a picture left one paragraph break, not two.
    while (text.contains(QLatin1String("\n\n\n")))
        text.replace(QLatin1String("\n\n\n"), QLatin1String("\n\n"));
    return text;
}

void writeQuestion(QXmlStreamWriter &xml, const LessonOutline &lesson, const MoodleVariant &v) {
    const OutlineStep &step = lesson.steps[std::size_t(v.step)];
    const OutlineQuestion &q = v.question;
    xml.writeStartElement(QStringLiteral("question"));
    xml.writeAttribute(QStringLiteral("type"),
                       q.isChoice() ? QStringLiteral("multichoice") : QStringLiteral("numerical"));
    QString name = stepName(v.step, step);
    if (!v.values.isEmpty()) name += QStringLiteral(" \u2014 ") + v.values;
    textElement(xml, QStringLiteral("name"), name);
    QStringList text;
    const QString stepText = withoutPictures(step.text);
    if (!stepText.isEmpty()) text << stepText;
    if (!v.values.isEmpty()) text << v.values + QLatin1Char('.');
    text << q.text;
    const QString markdown = QStringLiteral("markdown");
    textElement(xml, QStringLiteral("questiontext"), text.join(QStringLiteral("\n\n")), markdown);
    textElement(xml, QStringLiteral("generalfeedback"), q.howFound, markdown);
    xml.writeTextElement(QStringLiteral("defaultgrade"), QStringLiteral("1"));
    xml.writeTextElement(QStringLiteral("penalty"), QStringLiteral("0.3333333"));
    xml.writeTextElement(QStringLiteral("hidden"), QStringLiteral("0"));
    const auto answer = [&](const QString &value, int fraction, const QString &format) {
        xml.writeStartElement(QStringLiteral("answer"));
        xml.writeAttribute(QStringLiteral("fraction"), QString::number(fraction));
        xml.writeAttribute(QStringLiteral("format"), format);
        xml.writeTextElement(QStringLiteral("text"), value);
        textElement(xml, QStringLiteral("feedback"), QString(), QStringLiteral("html"));
    };
    if (q.isChoice()) {
        xml.writeTextElement(QStringLiteral("single"), QStringLiteral("true"));
        xml.writeTextElement(QStringLiteral("shuffleanswers"), QStringLiteral("false"));
        xml.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("abc"));
        for (qsizetype i = 0; i < q.choices.size(); ++i) {
            answer(q.choices[i], double(i) == q.answer ? 100 : 0, QStringLiteral("plain_text"));
            xml.writeEndElement();
        }
    } else {
        // A full stop, whatever the locale: the platform reads numbers so.
        answer(QString::number(q.answer, 'f', q.decimals), 100,
               QStringLiteral("moodle_auto_format"));
        xml.writeTextElement(QStringLiteral("tolerance"),
                             QString::fromLatin1(csvNumber(q.tolerance)));
        xml.writeEndElement();
        // The unit stands in the question; the student types the number alone.
        xml.writeTextElement(QStringLiteral("unitgradingtype"), QStringLiteral("0"));
        xml.writeTextElement(QStringLiteral("unitpenalty"), QStringLiteral("0"));
        xml.writeTextElement(QStringLiteral("showunits"), QStringLiteral("3"));
        xml.writeTextElement(QStringLiteral("unitsleft"), QStringLiteral("0"));
    }
    xml.writeEndElement();
}

} // namespace

QByteArray moodleXml(const LessonOutline &lesson, const std::vector<MoodleVariant> &variants) {
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("quiz"));
    int category = -1;
    for (const MoodleVariant &v : variants) {
        if (v.step < 0 || std::size_t(v.step) >= lesson.steps.size()) continue;
        if (v.step != category) {
            category = v.step;
            xml.writeStartElement(QStringLiteral("question"));
            xml.writeAttribute(QStringLiteral("type"), QStringLiteral("category"));
            textElement(
                xml, QStringLiteral("category"),
                QStringLiteral("$course$/%1/%2")
                    .arg(categoryName(lesson.title),
                         categoryName(stepName(v.step, lesson.steps[std::size_t(v.step)]))));
            xml.writeEndElement();
        }
        writeQuestion(xml, lesson, v);
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

QString variantsLeftOutText(int count) {
    if (count <= 0) return {};
    if (count == 1) return QStringLiteral("1 variant left out: its case has no answer.");
    return QStringLiteral("%1 variants left out: their case has no answer.").arg(count);
}
