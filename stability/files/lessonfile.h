#pragma once

#include "filereadresult.h"
#include "lesson.h"
#include "lessondocument.h"

#include <QByteArray>
#include <QString>

// Lesson files (.dravex-lesson): UTF-8 Markdown a lecturer writes in any editor.
//
//     # The equal-area criterion in four runs        the lesson's title
//     Words for the whole lesson.
//
//     ## A short fault                               a step, shown in order
//     The generator carries half its rating ...      Markdown
//
//     ```scenario                                    a scenario file's text; a step
//     [machine]                                      without one keeps the case of
//     Pmech = 0.5                                    the step before
//     ```
//
//     ```predict                                     one question:
//     ask = verdict       # verdict | max_angle | critical_clearing_ms | largest_stable_pmech
//     tolerance = 5       # optional, in the question's unit
//     clearing_ms = 250   # optional: the run the question is about
//     ```
//
//     ### After the run                              shown once the run has answered
//     A1 was small ...
//
// Other fenced blocks without a name stay Markdown; headings inside a fence are text.

struct LessonFileContents {
    Lesson lesson;
};
using LessonFileResult = FileReadResult<LessonFileContents>;

// Reads all or nothing: text that is not UTF-8 or over 256 KiB, no title or no step, a
// fenced block of another name or left open, a scenario block refused as a scenario file
// would be (its line counted in the lesson), a predict block with an unknown or repeated
// key or a value of the wrong form, a second block of a kind in a step, a block after
// "### After the run", a question the step's case gives no answer to, and a picture the
// pane could not show (`![caption](path)`, or by a reference): one that is not a file in
// `folder` or a folder below it (a path that leads out, a link that does, a missing
// file), an address on the network or a file address, or one over 16 MiB, refuse the
// whole file. Each question's answer is worked out from the model. `fileName` names the
// file in the message; a lesson without a folder can show no picture.
LessonFileResult parseLesson(const QByteArray &bytes, const QString &fileName,
                             const QString &folder = QString());
// The same for a file on disk, its pictures in its folder; its size is checked before it
// is read whole.
LessonFileResult readLessonFile(const QString &path);
