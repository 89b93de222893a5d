#pragma once

#include "lessonoutline.h"
#include "moodlexml.h"
#include "selmexlesson.h"

#include <QByteArray>
#include <QString>
#include <vector>

// A synchronising lesson's words, the same in the pane, the key, the record and on paper.

// An answer or a prediction as the student reads it: "yes", "no", "L2", "2.88°",
// "8.66 × rated". `decimal` is the locale's decimal separator where the student reads it.
QString selmexAnswerText(SelmexAsk ask, double value, QChar decimal = QLatin1Char('.'));
// The question of a step as sentences, with the numbers of the step's case it is about.
QString selmexQuestionText(const SelmexQuestion &q, const SelmexLessonCase &c);
// One line on how the answer is worked out, with the case's numbers where a hand sum has
// them.
QString selmexHowFound(const SelmexQuestion &q, const SelmexLessonCase &c);
// Once the outcome is in: "You predicted: 3.00°. The outcome: 2.88°. That is within 0.50°
// of it." or, for a choice, "... Your prediction was right."
QString selmexOutcomeText(const SelmexQuestion &q, double prediction, double answer,
                          QChar decimal = QLatin1Char('.'));
// Why a prediction is refused, as a sentence.
QString selmexPredictionProblemText(SelmexPredictionProblem problem, SelmexAsk ask);

// The choices of a choice question as the record writes them: "yes", "no" or "L1", "L2",
// "L3"; empty for a number. A permits answer (YesAnswer, NoAnswer) is its choice's index
// through choiceIndex.
QStringList selmexChoices(SelmexAsk ask);
double choiceIndex(SelmexAsk ask, double value);

// What `selmex --lesson-key` prints: the title, then for each step its number, line, title,
// question, answer and tolerance, and how the answer was found, or that it is free
// exploration.
QString selmexLessonKeyText(const SelmexLesson &lesson);

// The lesson as a class meets it on paper, in a record and in marks; `folder` is where
// its pictures lie.
LessonOutline selmexLessonOutline(const SelmexLesson &lesson, const QString &folder);

// The record a student hands in, as CSV: "# Selmex lesson: TITLE; student: NAME;
// lesson_sha256: FINGERPRINT", the columns of every lesson record, and a row for each step
// that asks, a choice written "yes", "no", "L1", ...
QByteArray selmexLessonRecordCsv(const SelmexLesson &lesson,
                                 const std::vector<SelmexLessonProgress> &progress,
                                 const QString &student);

// A variant's values as its name and text give them: "frequency = 50.1 Hz, breaker_ms =
// 80 ms, close_at = -20°", in the order of the question's vary line, each in the shortest
// form with its unit.
QString selmexVariantValuesText(const SelmexVariant &variant);

struct SelmexVariants {
    std::vector<MoodleVariant> variants;
    int leftOut = 0; // variants whose switchboard leaves its limits or whose case gives no answer
};
// `count` variants of each question that varies values (one of a question that does not),
// each answered from its own case.
SelmexVariants selmexLessonVariants(const SelmexLesson &lesson, int count);
