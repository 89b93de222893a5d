#pragma once

#include "lessonoutline.h"

#include <optional>
#include <QString>

// A lesson on paper, whichever program's: the worksheet a student fills in before the
// runs, or the answer key the lecturer hands out after them.
enum class SheetKind {
    // The title, the introduction, each step's text and pictures and each question with
    // a line or boxes to answer in; no answer and nothing meant for after the run.
    Worksheet,
    // "Answer key: TITLE", each step's question, its answer, how far from it counts as
    // right, and how the program found it.
    AnswerKey,
};

// The longest sheet written: a lesson that runs over it is no handout.
constexpr int MaxSheetPages = 100;

// Writes the sheet as an A4 PDF whose text a PDF reader can copy. Returns why it could
// not, having written nothing, or nothing when the file is written. Needs a
// QGuiApplication (the fonts).
std::optional<QString> writeLessonSheet(const LessonOutline &outline, SheetKind kind,
                                        const QString &pdfPath);
