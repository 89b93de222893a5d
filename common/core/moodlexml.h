#pragma once

#include "lessonoutline.h"

#include <QByteArray>
#include <QString>
#include <vector>

// A lesson's questions for the course platform's question bank (Moodle XML), so that a
// large class gets a variant each: a quiz's random question picks one from the step's
// category per student.

// One variant of a step's question: the values it was worked out for, and the question
// with the model's answer for them.
struct MoodleVariant {
    int step = 0;   // the step's index in the outline
    QString values; // "H = 4.5 s, Pmech = 0.45"; empty when the question varies nothing
    OutlineQuestion question;
};

// The variants as Moodle XML: before each step's variants its category,
// "$course$/LESSON TITLE/Step N: STEP TITLE" ("/" in a title doubled, as the platform
// reads a slash within a name), then each variant as a numerical question (the answer as
// the key writes it, the tolerance, units not graded) or a multiple-choice one (one
// answer, the right choice worth all, not shuffled), named "Step N: STEP TITLE — VALUES",
// its text (Markdown) the step's text without its picture lines, the values and the
// question, and how the answer was found as the feedback after it.
QByteArray moodleXml(const LessonOutline &lesson, const std::vector<MoodleVariant> &variants);

// The line a command prints on standard error for variants left out: "3 variants left
// out: their case has no answer."; empty for none.
QString variantsLeftOutText(int count);
