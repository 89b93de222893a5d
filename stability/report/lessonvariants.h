#pragma once

#include "lesson.h"
#include "moodlexml.h"

#include <QString>
#include <vector>

// A Dravex lesson's questions in variants for the course platform.

// The values of a variant as its name and text give them: "H = 4.5 s, Pmech = 0.45,
// clearing_ms = 120 ms", each as the question's vary line names it, in the shortest
// form, with its unit (none for a per-unit value).
QString variantValuesText(const LessonVariant &variant);

struct DravexVariants {
    std::vector<MoodleVariant> variants;
    int leftOut = 0; // variants whose case the case's checks refuse or the model leaves unanswered
};
// `count` variants of each question that varies values (one of a question that does not),
// each answered by the model for its own case.
DravexVariants dravexLessonVariants(const Lesson &lesson, int count);
