#pragma once

#include "filereadresult.h"
#include "stabilitycase.h"

#include <QByteArray>
#include <QString>

// Scenario files (.dravex): one exercise as UTF-8 text, the machine data and the fault
// with its clearing time, for instance
//
//     # Exercise 3: a fault halfway along one of two parallel lines
//     [machine]
//     Pmax = 450
//     H = 6
//     Demping = 2E-5
//     Pmech = 0.6
//
//     [fault]
//     clearing_ms = 200
//     network = two-lines          # busbar | two-lines | transfer | power-step | line-out
//     generator_reactance = 0.5    # two-lines
//     line_reactance = 0.3         # two-lines
//     location = 50                # two-lines, % from the generator's end
//     during = 0                   # transfer: r1
//     after = 1                    # transfer: r2; line-out: r2 with the line out
//     pmech_after = 0.7            # power-step: P1, the mechanical power from the start
//     reclose_ms = none            # dead time after clearing, ms, or none
//     reclose_onto = transient     # transient | permanent
//
// A key or section left out takes the program's default. Numbers are read the same in
// every locale: an optional sign, digits with an optional full stop, an optional e or E
// exponent; clearing_ms and reclose_ms are whole milliseconds. The keys of networks not
// chosen are read for their form and kept, not checked for range. A power step or a line
// out has no fault: its clearing_ms is kept for a later fault, and its case holds no dead
// time whatever reclose_ms says.

struct ScenarioFileContents {
    StabilityCase value;
    QByteArray comments; // the comment block the file starts with (leadingComments)
};
using ScenarioFileResult = FileReadResult<ScenarioFileContents>;

constexpr qsizetype MaxScenarioFileBytes = 64 * 1024;

// Reads all or nothing: any unknown section or key, a key given twice, a line of another
// form, a number written otherwise, a value out of range (checkCase), text that is not
// UTF-8 or more than 64 KiB refuse the whole file. `fileName` names it in the message;
// `firstLine` is the line of that file the text starts on, when it is a block in a larger
// file such as a lesson.
ScenarioFileResult parseScenario(const QByteArray &bytes, const QString &fileName,
                                 int firstLine = 1);
// The same for a file on disk; its size is checked before it is read whole.
ScenarioFileResult readScenarioFile(const QString &path);

// The case as a file: the machine data, clearing_ms, the chosen network and its keys, and
// the reclosing keys, each number as the shortest text that reads back to the same double,
// under `comments`: the text and questions of the exercise it was opened from. Its own
// first line, "# A Dravex exercise: ...", stands after them unless they hold it already,
// so a file saved again does not gather copies.
QByteArray scenarioText(const StabilityCase &c, const QByteArray &comments = {});
// Writes through a temporary file, so a failed write leaves no half file; a case that
// checkCase refuses, or a text over 64 KiB, which the program would not read back, is
// not written. On failure `error` says why.
bool writeScenarioFile(const QString &path, const StabilityCase &c, QString *error,
                       const QByteArray &comments = {});
