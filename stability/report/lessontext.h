#pragma once

#include "lesson.h"
#include "lessonoutline.h"

#include <QByteArray>
#include <QString>
#include <vector>

// A lesson's words, the same in the pane, the key and the record.

// An answer or a prediction as the student reads it: "in step", "out of step", "104.3°",
// "260 ms", "0.880".
// `decimal` is the locale's decimal separator where the student reads it.
QString answerText(LessonAsk ask, double value, QChar decimal = QLatin1Char('.'));
// The question of a step, as a sentence: "Will the generator stay in step when the fault
// is cleared after 200 ms?" and the like, for the step's network.
QString questionText(const LessonQuestion &q, const FaultScenario &scenario);
// "Step 2 of 5".
QString stepNumberText(int index, int count);
// After the run: the prediction beside the outcome, and whether it lies within the
// tolerance: "You predicted: 95.0°. The outcome: 104.3°. That is not within 5.0° of it."
QString outcomeText(const LessonQuestion &q, double prediction, double answer,
                    QChar decimal = QLatin1Char('.'));

// Why a prediction is refused, as a sentence: "95 ms is below 0: a clearing time is 0 ms
// or more." and the like; `startDegrees` is the angle the step's run starts from.
QString predictionProblemText(PredictionProblem problem, LessonAsk ask, double value,
                              double startDegrees, QChar decimal = QLatin1Char('.'));

// What `dravex --lesson-key` prints: the title, then for each step its number, title,
// question and answer, or that it is free exploration.
QString lessonKeyText(const Lesson &lesson);

// The record a student hands in, as CSV: "# Dravex lesson: TITLE; student: NAME;
// lesson_sha256: FINGERPRINT", then
// step,title,question,prediction,outcome,within_tolerance,seconds_to_predict and a row for
// each step that asks; numbers with a full stop in every locale, an empty cell for what
// has not happened.
QByteArray lessonRecordCsv(const Lesson &lesson, const std::vector<LessonProgress> &progress,
                           const QString &student);

// The lesson as a class meets it on paper and in marks: each question with the model's
// answer, a verdict as the choices "in step" (0) and "out of step" (1), and a line on how
// the answer was found. `folder` is where the lesson's pictures lie.
LessonOutline dravexLessonOutline(const Lesson &lesson, const QString &folder);
