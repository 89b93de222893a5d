#pragma once

#include "filereadresult.h"
#include "lessonoutline.h"

#include <optional>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

class QTextStream;

// A lesson record a student hands in, either program's, read back to be marked:
//
//     # Dravex lesson: TITLE; student: NAME; lesson_sha256: 0123456789abcdef
//     step,title,question,prediction,outcome,within_tolerance,seconds_to_predict
//     2,A short fault,verdict,in step,in step,yes,12.5
//
// The marks are worked out again from each prediction and the lesson's own answers: the
// record's outcome and within_tolerance columns are a student's file like the rest, and
// are not trusted.

// A row of the record: a step that asks.
struct LessonRecordRow {
    int line = 0;       // where the row starts in the record
    int step = 0;       // the step's number, from 1
    QString question;   // the question's name in the lesson file: "verdict", "permits", ...
    QString prediction; // as written: a choice's text, a number with a full stop, or empty
    std::optional<double> seconds; // seconds_to_predict; none when the cell is empty
};

struct LessonRecord {
    QString fileName;    // the record as messages name it
    QString program;     // "Dravex" or "Selmex"
    QString title;       // the lesson's title
    QString student;     // the name the student typed
    QString fingerprint; // the lesson's; empty in a record written before records named it
    std::vector<LessonRecordRow> rows;
};

struct LessonRecordContents {
    LessonRecord record;
};
using LessonRecordResult = FileReadResult<LessonRecordContents>;

// A record of the largest lesson is a few KiB.
constexpr qsizetype MaxLessonRecordBytes = 1024 * 1024;

// Reads all or nothing: a first line of another form, a fingerprint that is not 16 hex
// digits, a column line other than the record's, a row of another count of cells, a
// quote left open, a step that is no whole number from 1 or given twice, and a
// seconds_to_predict that is not a number of 0 or more refuse the record, naming
// `fileName` and the line. What a prediction means is left to markRecord, which knows
// the question.
LessonRecordResult parseLessonRecord(const QByteArray &bytes, const QString &fileName);
// The same for a file on disk, named in messages by `path` as given (a class's records
// often share a name in folders of their own); its size is checked before it is read
// whole.
LessonRecordResult readLessonRecordFile(const QString &path);

// A student's marks on a lesson: for each of the lesson's steps 1 (right), 0 (wrong) or
// none (no prediction, or a step that asks nothing).
struct StudentMarks {
    QString student;
    std::vector<std::optional<int>> steps;
    int right = 0;
    double secondsToPredict = 0; // over the rows with a prediction
};

// Marks the record against the lesson, or refuses it: a record of the other program or
// of another lesson (another fingerprint), one without a fingerprint, a row whose step
// the lesson has not or asks nothing or asks another question, and a prediction that is
// neither one of the question's choices nor a finite number written with a full stop.
// `marks` is set only when the record is marked.
std::optional<QString> markRecord(const LessonOutline &lesson, const LessonRecord &record,
                                  StudentMarks &marks);

// The class's marks as CSV: student,step_1,...,step_N,right,asked,seconds_to_predict_total,
// N the lesson's step count, a row for each student; a full stop in every locale.
QByteArray marksCsv(const LessonOutline &lesson, const std::vector<StudentMarks> &marks);

// What `--lesson-marks` does: reads and marks each record, prints the marks of those
// taken on `out` and names each one refused on `err`. Returns 0, or 1 when any was
// refused.
int runLessonMarks(const LessonOutline &lesson, const QStringList &recordPaths, QTextStream &out,
                   QTextStream &err);
