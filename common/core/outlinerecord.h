#pragma once

#include "lessonoutline.h"

#include <optional>
#include <QByteArray>
#include <QString>
#include <vector>

// What a student did in a step of a lesson, as its record keeps it: the prediction (a
// number, or the index of a choice), how long after the step was first shown it came, and
// whether the outcome has been shown.
struct OutlineProgress {
    std::optional<double> prediction;
    double secondsToPredict = 0;
    bool revealed = false;
};

// The record a student hands in, as CSV: "# PROGRAM lesson: TITLE; student: NAME;
// lesson_sha256: FINGERPRINT", then
// step,title,question,prediction,outcome,within_tolerance,seconds_to_predict and a row for
// each step that asks; a choice by its text, numbers with a full stop in every locale, an
// empty cell for what has not happened. `progress` holds a step's progress at its index.
QByteArray outlineRecordCsv(const LessonOutline &outline,
                            const std::vector<OutlineProgress> &progress, const QString &student);
