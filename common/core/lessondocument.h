#pragma once

#include "filereadresult.h"

#include <functional>
#include <optional>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <string>
#include <vector>

// The Markdown form both programs' lesson files share, UTF-8 that a lecturer writes in any
// editor:
//
//     # The title of the lesson
//     Words for the whole lesson.
//
//     ## A step's title                              a step, shown in order
//     Markdown, with pictures from the lesson's folder.
//
//     ```scenario                                    the step's case, in the program's
//     ...                                            own scenario file form
//     ```
//
//     ```predict                                     the step's one question
//     ask = ...
//     ```
//
//     ### After the run                              shown once the outcome is in
//     ...
//
// Other fenced blocks without a name stay Markdown; headings inside a fence are text.
// What the scenario and predict blocks hold is the program's to read.

constexpr qsizetype MaxLessonFileBytes = 256 * 1024;
constexpr int MaxLessonSteps = 100;
// A picture larger than this is no figure of a lesson.
constexpr qint64 MaxLessonPictureBytes = 16 * 1024 * 1024;

struct LessonDocumentStep {
    std::string title;    // the "##" heading
    std::string text;     // Markdown, shown from the start
    std::string afterRun; // Markdown after "### After the run"; may be empty
    int line = 0;         // the heading's line
    int scenarioLine = 0; // the line its scenario block opens on; 0: it has none
    int predictLine = 0;  // the line its predict block opens on; 0: it asks nothing
};

struct LessonDocument {
    std::string title;        // the "#" heading
    std::string introduction; // Markdown before the first step
    std::vector<LessonDocumentStep> steps;
};
using LessonDocumentResult = FileReadResult<LessonDocument>;

// What a program makes of a lesson's blocks, each told in the order the file gives them.
// Each returns nothing when it takes the block, or its refusal, with the file and the line
// named as KeyFile::fail writes them.
struct LessonBlockReaders {
    // A scenario block's text; its first line is `firstLine` of the lesson file.
    std::function<std::optional<QString>(int firstLine, const QByteArray &text)> scenario;
    // A predict block's text; it opens on `blockLine`, its first line is the one after.
    std::function<std::optional<QString>(int blockLine, const QByteArray &text)> predict;
    // A step read whole, after its blocks: the program completes its own step.
    std::function<std::optional<QString>(const LessonDocumentStep &step)> stepEnd;
};

// Reads all or nothing: text that is not UTF-8 or over 256 KiB, no title or no step, more
// than 100 steps, a fenced block of another name or left open, a second block of a kind in
// a step, a block outside a step or after "### After the run", a block the program
// refuses, and a picture a pane could not show (`![caption](path)`, or by a reference):
// one that is not a file in `folder` or a folder below it (a path that leads out, a link
// that does, a missing file), an address on the network or a file address, or one over
// 16 MiB, refuse the whole file. `fileName` names the file in the message; a lesson
// without a folder can show no picture.
LessonDocumentResult readLessonDocument(QByteArrayView bytes, const QString &fileName,
                                        const QString &folder, const LessonBlockReaders &blocks);
