#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <QString>
#include <QStringList>

class QTextStream;
struct LessonOutline;

// Selmex's command line:
//   selmex [--seed N] [FILE]     the window, with the exercise of FILE (a .selmex scenario
//                                file); what FILE leaves out, or everything without FILE,
//                                drawn at random, from N if given
//   selmex --simulate FILE [--actions ACTIONS.csv] [--seconds N] --log OUT.csv
//          [--trace TRACE.csv]   FILE's switchboard exercise run for N simulated seconds
//                                (120), replaying the operator's actions, its log written
//                                as CSV, and its trace (switchboardtrace.h) every 100 ms
//   selmex --lesson-key LESSON [--output KEY.pdf]
//                                the lesson (a .selmex-lesson file) checked, each step's
//                                question and answer printed, or the key written as a PDF
//   selmex --lesson-sheet LESSON OUT.pdf
//                                the lesson's worksheet written as a PDF
//   selmex --lesson-marks LESSON RECORD.csv...
//                                the students' records of the lesson marked, the class's
//                                marks printed as CSV
//   selmex --lesson-moodle LESSON [--variants N]
//                                the lesson's questions as Moodle XML, N variants of each
//                                question that varies values
//   selmex --help | --version
// Only the window needs a display.
struct SelmexCommandLine {
    enum class Command {
        Window,
        Help,
        Version,
        Simulate,
        LessonKey,
        LessonSheet,
        LessonMarks,
        LessonMoodle
    };
    Command command = Command::Window;
    QString file; // the scenario file (empty for a random start), or the lesson
    std::optional<std::uint32_t> seed;
    QString actionsFile;         // --actions; empty for none
    std::int64_t simulateMs = 0; // --seconds, in milliseconds
    QString logFile;             // --log
    QString traceFile;           // --trace; empty for none
    QStringList records;         // --lesson-marks: the records to mark
    QString sheetPath;           // --lesson-sheet's OUT.pdf, --lesson-key's --output
    int variants = 1;            // --lesson-moodle's --variants
    QString error;               // a bad command line: why

    // The exit codes.
    static constexpr int ExitOk = 0;
    static constexpr int ExitFileFailed = 1; // a file could not be read, was refused or not written
    static constexpr int ExitBadCommandLine = 2; // an unknown option, a missing or malformed value
    // How long --simulate runs without --seconds, and at the most.
    static constexpr std::int64_t DefaultSimulateMs = 120'000, MaxSimulateMs = 3'600'000;
    // The most variants --lesson-moodle makes of a question.
    static constexpr int MaxVariants = 100;
};

// `arguments` as the program received them, its own name first. Qt's own window options
// (-platform, -style, ...) pass, for the window to take.
SelmexCommandLine parseSelmexCommandLine(const QStringList &arguments);
// Whether the program runs without a window: help, version, a simulation, a lesson command
// and a bad command line.
bool needsNoWindow(const SelmexCommandLine &commandLine);
// Whether the command writes a worksheet or an answer key as a PDF, which needs fonts and
// so a QGuiApplication (on the offscreen platform: still no display).
bool writesSheet(const SelmexCommandLine &commandLine);
// Writes a lesson's worksheet, or its answer key when `answerKey`, as a PDF: why it could
// not, or nothing.
using LessonSheetWriter = std::function<std::optional<QString>(
    const LessonOutline &outline, bool answerKey, const QString &pdfPath)>;
// Runs what needs no window, writing to `out` and `err`; a QCoreApplication must exist.
// A sheet is written through `writeSheet`. Returns the exit code.
int runWithoutWindow(const SelmexCommandLine &commandLine, QTextStream &out, QTextStream &err,
                     const LessonSheetWriter &writeSheet = {});
