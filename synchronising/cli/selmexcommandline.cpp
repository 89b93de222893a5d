#include "selmexcommandline.h"

#include "actionsfile.h"
#include "keyfile.h"
#include "lessonrecord.h"
#include "moodlexml.h"
#include "selmexfile.h"
#include "selmexlessonfile.h"
#include "selmexlessontext.h"
#include "switchboard.h"
#include "switchboardcsv.h"
#include "switchboardtrace.h"
#include "windowoptions.h"

#include <cstddef>
#include <iterator>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

namespace {

const QString SeedOption = QStringLiteral("seed");
const QString SimulateOption = QStringLiteral("simulate");
const QString ActionsOption = QStringLiteral("actions");
const QString SecondsOption = QStringLiteral("seconds");
const QString LogOption = QStringLiteral("log");
const QString TraceOption = QStringLiteral("trace");
const QString LessonKeyOption = QStringLiteral("lesson-key");
const QString LessonMarksOption = QStringLiteral("lesson-marks");
const QString LessonSheetOption = QStringLiteral("lesson-sheet");
const QString OutputOption = QStringLiteral("output");
const QString LessonMoodleOption = QStringLiteral("lesson-moodle");
const QString VariantsOption = QStringLiteral("variants");
// The trace's sampling, in simulated time.
constexpr std::int64_t TraceEveryMs = 100;

void configure(QCommandLineParser &parser) {
    acceptQtWindowOptions(parser);
    parser.setApplicationDescription(QStringLiteral(
        "Connecting a generator to the network. The window opens with the "
        "exercise of FILE (a .selmex scenario file); what FILE leaves out, or "
        "everything without FILE, is drawn at random. With --simulate, a switchboard "
        "exercise runs without any window and writes its log, and with --trace its "
        "trace."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({SeedOption,
                      QStringLiteral("Draw the random start from N (0 to 4294967295), so that "
                                     "the same N gives the same start."),
                      QStringLiteral("N")});
    parser.addOption({SimulateOption,
                      QStringLiteral("Run the switchboard exercise of FILE (a .selmex scenario "
                                     "file with a [switchboard] section) without a window, and "
                                     "write its log with --log."),
                      QStringLiteral("FILE")});
    parser.addOption({ActionsOption,
                      QStringLiteral("With --simulate: replay the operator's actions of "
                                     "ACTIONS.csv (time_s,control,state)."),
                      QStringLiteral("ACTIONS.csv")});
    parser.addOption({SecondsOption,
                      QStringLiteral("With --simulate: run N simulated seconds, more than 0 and "
                                     "at most 3600 (120 without it)."),
                      QStringLiteral("N")});
    parser.addOption({LogOption,
                      QStringLiteral("With --simulate: write the switchboard's log as CSV to "
                                     "OUT.csv."),
                      QStringLiteral("OUT.csv")});
    parser.addOption({TraceOption,
                      QStringLiteral("With --simulate: write the bus and both sets every 100 ms "
                                     "of simulated time as CSV to TRACE.csv (set 1's and the "
                                     "load's columns empty on an infinite bus)."),
                      QStringLiteral("TRACE.csv")});
    parser.addOption({LessonKeyOption,
                      QStringLiteral("Check the lesson LESSON (a .selmex-lesson file) without a "
                                     "window, and print each step's question, the answer the "
                                     "switchboard's formulas give and how they give it."),
                      QStringLiteral("LESSON")});
    parser.addOption({OutputOption,
                      QStringLiteral("With --lesson-key: write the answer key (each answer, how "
                                     "far from it counts as right and how it was found) as an A4 "
                                     "PDF to KEY.pdf."),
                      QStringLiteral("KEY.pdf")});
    parser.addOption({LessonSheetOption,
                      QStringLiteral("Write the worksheet of the lesson LESSON (each step's text "
                                     "and pictures, each question with a place for the answer; no "
                                     "answers) as an A4 PDF to OUT.pdf, given after the options."),
                      QStringLiteral("LESSON")});
    parser.addOption({LessonMoodleOption,
                      QStringLiteral("Print the questions of the lesson LESSON as Moodle XML: a "
                                     "category for each step, and variants of a question that "
                                     "varies values, each with the answer for its values."),
                      QStringLiteral("LESSON")});
    parser.addOption({VariantsOption,
                      QStringLiteral("With --lesson-moodle: N variants, from 1 to %1 (1 if not "
                                     "given).")
                          .arg(SelmexCommandLine::MaxVariants),
                      QStringLiteral("N")});
    parser.addOption({LessonMarksOption,
                      QStringLiteral("Mark the records (RECORD.csv ..., after the options) that "
                                     "students exported from the lesson LESSON, and print the "
                                     "class's marks as CSV."),
                      QStringLiteral("LESSON")});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A scenario file (.selmex)."),
                                 QStringLiteral("[FILE]"));
}

SelmexCommandLine badCommandLine(const QString &why) {
    SelmexCommandLine c;
    c.error = why;
    return c;
}

// A lesson command: whether one is given, and with what; false, with `why`, for a bad
// combination.
bool takeLessonCommand(const QCommandLineParser &parser, SelmexCommandLine &c, QString &why) {
    QString option;
    for (const QString &o :
         {LessonKeyOption, LessonSheetOption, LessonMarksOption, LessonMoodleOption})
        if (option.isEmpty() && parser.isSet(o)) option = o;
    if (parser.isSet(VariantsOption) && option != LessonMoodleOption) {
        why = QStringLiteral("--variants goes with --lesson-moodle.");
        return false;
    }
    if (option.isEmpty()) {
        if (parser.isSet(OutputOption)) why = QStringLiteral("--output goes with --lesson-key.");
        return why.isEmpty();
    }
    for (const QString &other : {LessonKeyOption, LessonSheetOption, LessonMarksOption,
                                 LessonMoodleOption, SimulateOption, SeedOption})
        if (other != option && parser.isSet(other)) {
            why = QStringLiteral("--%1 goes alone, not with --%2.").arg(option, other);
            return false;
        }
    c.file = parser.value(option);
    if (c.file.isEmpty()) {
        why = QStringLiteral("--%1 needs the name of a lesson file.").arg(option);
        return false;
    }
    if (parser.isSet(OutputOption) && option != LessonKeyOption) {
        why = QStringLiteral("--output goes with --lesson-key.");
        return false;
    }
    const QStringList files = parser.positionalArguments();
    if (option == LessonMarksOption) {
        c.command = SelmexCommandLine::Command::LessonMarks;
        c.records = files;
        if (files.isEmpty()) {
            why = QStringLiteral("--%1 needs the records to mark after the lesson.").arg(option);
            return false;
        }
        return true;
    }
    if (option == LessonMoodleOption) {
        c.command = SelmexCommandLine::Command::LessonMoodle;
        if (parser.isSet(VariantsOption)) {
            // Digits alone: no sign, blank or exponent.
            static const QRegularExpression digits(QStringLiteral("^[0-9]{1,3}$"));
            const QString text = parser.value(VariantsOption);
            c.variants = digits.match(text).hasMatch() ? text.toInt() : 0;
            if (c.variants < 1 || c.variants > SelmexCommandLine::MaxVariants) {
                why = QStringLiteral("--variants %1: give a whole number of variants from 1 to "
                                     "%2.")
                          .arg(text)
                          .arg(SelmexCommandLine::MaxVariants);
                return false;
            }
        }
    } else if (option == LessonSheetOption) {
        c.command = SelmexCommandLine::Command::LessonSheet;
        if (files.size() != 1) {
            why = QStringLiteral("--%1 needs the lesson and one PDF to write: selmex "
                                 "--lesson-sheet LESSON OUT.pdf.")
                      .arg(option);
            return false;
        }
        c.sheetPath = files.constFirst();
    } else if (option == LessonKeyOption) {
        c.command = SelmexCommandLine::Command::LessonKey;
        c.sheetPath = parser.value(OutputOption);
        if (parser.isSet(OutputOption) && c.sheetPath.isEmpty()) {
            why = QStringLiteral("--output needs the name of a file.");
            return false;
        }
    }
    // A sheet written over the lesson would lose it.
    if (!c.sheetPath.isEmpty() &&
        QFileInfo(c.sheetPath).absoluteFilePath() == QFileInfo(c.file).absoluteFilePath()) {
        why = QStringLiteral("%1 is the lesson itself: write the PDF to a file of its own.")
                  .arg(c.sheetPath);
        return false;
    }
    if (option != LessonSheetOption && !files.isEmpty()) {
        why = QStringLiteral("--%1 takes its lesson as its value; %2 is one file too many.")
                  .arg(option, files.constFirst());
        return false;
    }
    return true;
}

// The lesson of a lesson command, or nothing after naming the refusal on `err`.
std::optional<SelmexLesson> lessonOf(const SelmexCommandLine &c, QTextStream &err) {
    SelmexLessonFileResult read = readSelmexLessonFile(c.file);
    if (!read.ok) {
        err << "selmex: " << read.error << '\n';
        return std::nullopt;
    }
    return std::move(read.lesson);
}

// --simulate and the options that go with it; false, with `why`, for a bad combination
// or value.
bool takeSimulation(const QCommandLineParser &parser, SelmexCommandLine &c, QString &why) {
    if (!parser.isSet(SimulateOption)) {
        for (const QString &option : {ActionsOption, SecondsOption, LogOption, TraceOption})
            if (parser.isSet(option)) {
                why = QStringLiteral("--%1 goes with --simulate.").arg(option);
                return false;
            }
        return true;
    }
    if (parser.isSet(SeedOption)) {
        why = QStringLiteral("--seed draws a start for the window; --simulate runs the "
                             "switchboard exercise of its file, which draws nothing.");
        return false;
    }
    if (!c.file.isEmpty()) {
        why = QStringLiteral("--simulate takes its scenario file as its value; %1 is one file "
                             "too many.")
                  .arg(c.file);
        return false;
    }
    c.command = SelmexCommandLine::Command::Simulate;
    c.file = parser.value(SimulateOption);
    c.actionsFile = parser.value(ActionsOption);
    c.logFile = parser.value(LogOption);
    c.traceFile = parser.value(TraceOption);
    if (c.file.isEmpty()) {
        why = QStringLiteral("--simulate needs the name of a scenario file.");
        return false;
    }
    if (c.logFile.isEmpty()) {
        why = QStringLiteral("--simulate needs --log OUT.csv, the file its log goes to.");
        return false;
    }
    for (const auto &[option, file] :
         {std::pair{ActionsOption, c.actionsFile}, std::pair{TraceOption, c.traceFile}})
        if (parser.isSet(option) && file.isEmpty()) {
            why = QStringLiteral("--%1 needs the name of a file.").arg(option);
            return false;
        }
    // A written file that is also another of the run's files would overwrite it: the
    // scenario, the actions or the other output lost.
    const QString *files[] = {&c.logFile, &c.traceFile, &c.file, &c.actionsFile};
    for (std::size_t w = 0; w < 2; ++w)
        for (std::size_t o = w + 1; o < std::size(files); ++o)
            if (!files[w]->isEmpty() && !files[o]->isEmpty() &&
                QFileInfo(*files[w]).absoluteFilePath() ==
                    QFileInfo(*files[o]).absoluteFilePath()) {
                why = QStringLiteral("%1 is named twice: --log and --trace each need a file "
                                     "of their own, apart from the scenario and the actions.")
                          .arg(*files[w]);
                return false;
            }
    c.simulateMs = SelmexCommandLine::DefaultSimulateMs;
    if (parser.isSet(SecondsOption)) {
        const QString text = parser.value(SecondsOption);
        const std::optional<std::int64_t> ms = plainSecondsToMs(text.toUtf8());
        if (!ms || *ms <= 0 || *ms > SelmexCommandLine::MaxSimulateMs) {
            why = QStringLiteral("--seconds %1 is not a number of seconds above 0 and at most "
                                 "3600.")
                      .arg(text);
            return false;
        }
        c.simulateMs = *ms;
    }
    return true;
}

// The switchboard exercise of the file, run with the actions replayed, its log written.
int simulate(const SelmexCommandLine &c, QTextStream &err) {
    const QString program = QStringLiteral("selmex: ");
    const SelmexFileResult read = readSelmexScenario(c.file);
    if (!read.ok) {
        err << program << read.error << '\n';
        return SelmexCommandLine::ExitFileFailed;
    }
    if (!read.switchboard) {
        err << program
            << QStringLiteral("%1: has no [switchboard] section, so there is no switchboard "
                              "exercise to run.")
                   .arg(messageName(c.file))
            << '\n';
        return SelmexCommandLine::ExitFileFailed;
    }
    std::vector<SwitchboardAction> actions;
    if (!c.actionsFile.isEmpty()) {
        SwitchboardActionsResult replay = readSwitchboardActions(c.actionsFile);
        if (!replay.ok) {
            err << program << replay.error << '\n';
            return SelmexCommandLine::ExitFileFailed;
        }
        actions = std::move(replay.actions);
    }
    Switchboard board(*read.switchboard);
    std::size_t next = 0;
    QByteArray trace;
    if (!c.traceFile.isEmpty()) {
        // A sample at each multiple of 100 ms; the run between them is the same as in one go.
        trace = switchboardTraceHeader();
        for (std::int64_t t = 0; t <= c.simulateMs; t += TraceEveryMs) {
            board.runUntil(t, &actions, &next);
            appendTraceRow(trace, switchboardSample(board));
        }
    }
    board.runUntil(c.simulateMs, &actions, &next);
    QString error;
    // The trace first: a run that fails leaves no log behind.
    if ((!c.traceFile.isEmpty() && !writeSelmexFile(c.traceFile, trace, &error)) ||
        !writeSelmexFile(c.logFile, switchboardLogCsv(board.settings(), board.events()), &error)) {
        err << program << error << '\n';
        return SelmexCommandLine::ExitFileFailed;
    }
    return SelmexCommandLine::ExitOk;
}

} // namespace

SelmexCommandLine parseSelmexCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    configure(parser);
    if (!parser.parse(arguments)) return badCommandLine(parser.errorText());

    SelmexCommandLine c;
    QString why;
    if (!takeLessonCommand(parser, c, why)) return badCommandLine(why);
    if (c.command != SelmexCommandLine::Command::Window) {
        if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
            c.command = SelmexCommandLine::Command::Help;
        return c;
    }
    if (!takeScenarioFile(parser, c.file, why)) return badCommandLine(why);
    if (parser.isSet(SeedOption)) {
        // Digits alone, at most 32 bits: no sign, blank, exponent or other digits.
        static const QRegularExpression digits(QStringLiteral("^[0-9]{1,10}$"));
        const QString text = parser.value(SeedOption);
        const qulonglong n = digits.match(text).hasMatch() ? text.toULongLong() : 0x100000000ull;
        if (n > 0xFFFFFFFFull)
            return badCommandLine(
                QStringLiteral("--seed %1 is not a whole number from 0 to 4294967295.").arg(text));
        c.seed = static_cast<std::uint32_t>(n);
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        c.command = SelmexCommandLine::Command::Help;
    else if (parser.isSet(QStringLiteral("version")))
        c.command = SelmexCommandLine::Command::Version;
    else if (!takeSimulation(parser, c, why))
        return badCommandLine(why);
    return c;
}

bool writesSheet(const SelmexCommandLine &commandLine) {
    return commandLine.error.isEmpty() &&
           (commandLine.command == SelmexCommandLine::Command::LessonSheet ||
            (commandLine.command == SelmexCommandLine::Command::LessonKey &&
             !commandLine.sheetPath.isEmpty()));
}

bool needsNoWindow(const SelmexCommandLine &commandLine) {
    return !commandLine.error.isEmpty() ||
           commandLine.command != SelmexCommandLine::Command::Window;
}

int runWithoutWindow(const SelmexCommandLine &commandLine, QTextStream &out, QTextStream &err,
                     const LessonSheetWriter &writeSheet) {
    if (!commandLine.error.isEmpty()) {
        err << "selmex: " << commandLine.error << "\nTry \"selmex --help\".\n";
        return SelmexCommandLine::ExitBadCommandLine;
    }
    switch (commandLine.command) {
    case SelmexCommandLine::Command::Window:
        break;
    case SelmexCommandLine::Command::Help: {
        QCommandLineParser parser;
        configure(parser);
        out << parser.helpText();
        return SelmexCommandLine::ExitOk;
    }
    case SelmexCommandLine::Command::Version:
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
            << '\n';
        return SelmexCommandLine::ExitOk;
    case SelmexCommandLine::Command::Simulate:
        return simulate(commandLine, err);
    case SelmexCommandLine::Command::LessonKey:
    case SelmexCommandLine::Command::LessonSheet:
    case SelmexCommandLine::Command::LessonMarks:
    case SelmexCommandLine::Command::LessonMoodle: {
        const std::optional<SelmexLesson> lesson = lessonOf(commandLine, err);
        if (!lesson) return SelmexCommandLine::ExitFileFailed;
        if (commandLine.command == SelmexCommandLine::Command::LessonKey &&
            !writesSheet(commandLine)) {
            out << selmexLessonKeyText(*lesson);
            return SelmexCommandLine::ExitOk;
        }
        const LessonOutline outline =
            selmexLessonOutline(*lesson, QFileInfo(commandLine.file).absoluteDir().canonicalPath());
        if (commandLine.command == SelmexCommandLine::Command::LessonMarks)
            return runLessonMarks(outline, commandLine.records, out, err);
        if (commandLine.command == SelmexCommandLine::Command::LessonMoodle) {
            const SelmexVariants made = selmexLessonVariants(*lesson, commandLine.variants);
            out << QString::fromUtf8(moodleXml(outline, made.variants));
            if (made.leftOut) err << "selmex: " << variantsLeftOutText(made.leftOut) << '\n';
            return SelmexCommandLine::ExitOk;
        }
        const std::optional<QString> failure =
            writeSheet
                ? writeSheet(outline, commandLine.command == SelmexCommandLine::Command::LessonKey,
                             commandLine.sheetPath)
                : QStringLiteral("could not write \"%1\": no PDF writer.")
                      .arg(commandLine.sheetPath);
        if (failure) {
            err << "selmex: " << *failure << '\n';
            return SelmexCommandLine::ExitFileFailed;
        }
        return SelmexCommandLine::ExitOk;
    }
    }
    return SelmexCommandLine::ExitBadCommandLine; // the window is no command without one
}
