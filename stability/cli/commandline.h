#pragma once

#include "study.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <QString>
#include <QStringList>

class QTextStream;
struct LessonOutline;

// Dravex's command line:
//   dravex [FILE]                                 the window, with the scenario file's case
//   dravex --critical-clearing-time [FILE]        the criterion's and the simulation's critical
//                                                 clearing time (searched up to 2000 ms), or a
//                                                 power step's or line out's largest stable
//                                                 Pmech, printed
//   dravex --export-run OUT.csv [--clearing MS] [FILE]   one run as CSV
//   dravex --study NAME=FROM:TO:POINTS [--limit MS] [FILE]
//                                                 the critical clearing time against one value
//                                                 of the case, as CSV on standard output; the
//                                                 simulation searched up to MS (2000 ms)
//   dravex LESSON                                 the window with the lesson's pane (a file
//                                                 named *.dravex-lesson)
//   dravex --lesson-key LESSON [--output KEY.pdf] the lesson checked, and each step's question
//                                                 and answer printed, or written as a PDF
//   dravex --lesson-sheet LESSON OUT.pdf          the lesson's worksheet written as a PDF
//   dravex --lesson-marks LESSON RECORD.csv...   the class's records marked against the lesson,
//                                                 as CSV, one row a student
//   dravex --lesson-moodle LESSON [--variants N]  the lesson's questions as Moodle XML, N
//                                                 variants (1 to 100) of each that varies values
//   dravex --load-flow NETWORK                    the load flow of a network file or MATPOWER
//                                                 case, as CSV
//   dravex --critical-clearing-time NETWORK       the simulation's and the equivalent
//                                                 machine's critical clearing time of its fault
//   dravex --export-run OUT.csv [--clearing MS] NETWORK   every machine's swing as CSV
//   dravex --screen-lines NETWORK                 a fault at each end of each line, as CSV
//   dravex --help | --version
// Without FILE the program's defaults. Only the window needs a display. NETWORK is a
// network file (*.dravex-network) or a MATPOWER case (*.m).
struct CommandLine {
    enum class Command {
        Window,
        Help,
        Version,
        CriticalClearingTime,
        ExportRun,
        Study,
        LessonKey,
        LessonSheet,
        LessonMarks,
        LessonMoodle,
        LoadFlow,
        ScreenLines,
    };
    Command command = Command::Window;
    QString file;         // the scenario file, lesson or network; empty for the defaults
    bool lesson = false;  // `file` is a lesson
    bool network = false; // `file` is a network file or a MATPOWER case
    QString exportPath;   // --export-run
    QString sheetPath;    // --lesson-sheet's OUT.pdf, --lesson-key's --output
    std::optional<std::int32_t> clearingMs;
    StudyRange study;                     // --study
    std::int32_t limitMs = SearchLimitMs; // --limit
    QStringList records;                  // --lesson-marks: the records after the lesson
    int variants = 1;                     // --variants
    QString error;                        // a bad command line: why
};

// The exit codes.
constexpr int ExitOk = 0;
constexpr int ExitFileFailed = 1;     // a file could not be read, was refused or not written
constexpr int ExitBadCommandLine = 2; // an unknown option, a missing or malformed value

// `arguments` as the program received them, its own name first. Qt's own window options
// (-platform, -style, ...) pass, for the window to take.
CommandLine parseCommandLine(const QStringList &arguments);
// Whether the program runs without a window: every command but the window, and a bad
// command line.
bool needsNoWindow(const CommandLine &commandLine);
// Whether a file is a lesson rather than a scenario file: its name ends in ".dravex-lesson".
bool isLessonFile(const QString &path);
// Whether a file is a network: a network file (".dravex-network") or a MATPOWER case (".m").
bool isNetworkFile(const QString &path);
// Whether the command writes a worksheet or an answer key as a PDF, which needs fonts and
// so a QGuiApplication (on the offscreen platform: still no display).
bool writesSheet(const CommandLine &commandLine);
// Writes a lesson's worksheet, or its answer key when `answerKey`, as a PDF: why it could
// not, or nothing.
using LessonSheetWriter = std::function<std::optional<QString>(
    const LessonOutline &outline, bool answerKey, const QString &pdfPath)>;
// Runs what needs no window, writing to `out` and `err`; a QCoreApplication must exist.
// A sheet is written through `writeSheet`. Returns the exit code.
int runWithoutWindow(const CommandLine &commandLine, QTextStream &out, QTextStream &err,
                     const LessonSheetWriter &writeSheet = {});
