#pragma once

#include "selmexstart.h"

#include <QByteArray>
#include <QString>

// Selmex scenario files (.selmex): the start of an exercise as UTF-8 text, for instance
//
//     # Exercise 2: slow, reversed, phase order wrong
//     [generator]
//     voltage = 304          # V at the amplitude slider's middle: 228 to 836
//     frequency = 42         # Hz at the frequency slider's middle: 0 to 100
//     direction = reversed   # same | reversed
//     phase_order = wrong    # right | wrong
//     angle = 120            # 0, 120 or 240 degrees behind the network's red phasor
//     [setup]
//     max_angle = 20         # 0 to 100 in steps of 10
//
// A key of [generator] left out is drawn at random at the start; max_angle left out is 20.
// Numbers are whole and written with the digits 0 to 9 alone, the same in every locale.

struct SelmexFileResult {
    bool ok = false;
    SelmexScenario value; // nothing set unless ok
    QString error;        // names the file, the line and what is wrong
    QByteArray comments;  // the comment block the file starts with (leadingComments)
};

constexpr qsizetype MaxSelmexFileBytes = 64 * 1024;

// Reads all or nothing: an unknown section or key, a key given twice, a line of another
// form, a value written otherwise, a value out of range (checkScenario), text that is not
// UTF-8 or more than 64 KiB refuse the whole file. `fileName` names it in the message.
SelmexFileResult parseSelmexScenario(const QByteArray &bytes, const QString &fileName);
// The same for a file on disk, named by its file name; its size is checked before it is
// read.
SelmexFileResult readSelmexScenario(const QString &path);

// The start as a file with every key, so that it reads back to the same start, under
// `comments`: the text and questions of the exercise it was opened from. Its own first
// line, "# A Selmex exercise: ...", stands after them unless they hold it already, so a
// file saved again does not gather copies.
QByteArray selmexScenarioText(const SelmexStart &start, const QByteArray &comments = {});
// Writes through a temporary file, so a failed write leaves no half file; a start that
// checkScenario refuses is not written. On failure `error` says why.
bool writeSelmexScenario(const QString &path, const SelmexStart &start, QString *error,
                         const QByteArray &comments = {});
// Any of Selmex's files (a scenario, the switchings' CSV) written the same way: all of
// `bytes` or, on failure, no file and `error` naming the file and why.
bool writeSelmexFile(const QString &path, const QByteArray &bytes, QString *error);
