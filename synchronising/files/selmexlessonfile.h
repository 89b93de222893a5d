#pragma once

#include "filereadresult.h"
#include "lessondocument.h"
#include "selmexlesson.h"

#include <QByteArray>
#include <QString>

// Selmex's lesson files (.selmex-lesson): the Markdown form of every lesson (lessondocument.h),
// with these blocks in a step:
//
//     ```scenario                                    a .selmex file's text: a [switchboard]
//     [switchboard]                                  section, or the trainer's [generator]
//     frequency = 50.1                               and [setup]; a step without one keeps
//     angle = -20                                    the case of the step before
//     ```
//
//     ```predict                                     one question:
//     ask = advance_angle   # permits | closing_current | advance_angle | contact_angle |
//                           # lamp_dark_first
//     tolerance = 0.5       # optional, in the question's unit; not for a choice
//     close_at = -3         # contact_angle: the angle of the close command, degrees
//     vary = frequency 50.05..50.2, breaker_ms 60..120   # optional: values variants take
//     ```

struct SelmexLessonFileContents {
    SelmexLesson lesson;
};
using SelmexLessonFileResult = FileReadResult<SelmexLessonFileContents>;

// Reads all or nothing, as readLessonDocument does, and also: a scenario block refused as
// a .selmex file would be (its line counted in the lesson) or with no section of either
// kind, a predict block with an unknown or repeated key or a value of the wrong form,
// close_at with a question other than contact_angle or contact_angle without it, a vary
// line that checkSelmexVary refuses, and a
// question the step's case gives no answer to refuse the whole file. Each question's answer
// is worked out from the model.
SelmexLessonFileResult parseSelmexLesson(const QByteArray &bytes, const QString &fileName,
                                         const QString &folder = QString());
// The same for a file on disk, its pictures in its folder; its size is checked before it
// is read whole.
SelmexLessonFileResult readSelmexLessonFile(const QString &path);
