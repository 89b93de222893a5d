#include "commandline.h"

#include "criticalclearing.h"
#include "filenumber.h"
#include "keyfile.h"
#include "lessonfile.h"
#include "lessonrecord.h"
#include "lessontext.h"
#include "lessonvariants.h"
#include "matpowercase.h"
#include "networkcsv.h"
#include "networkfile.h"
#include "runcsv.h"
#include "runhistory.h"
#include "savefile.h"
#include "scenariofile.h"
#include "statuslines.h"
#include "studycsv.h"
#include "windowoptions.h"

#include <algorithm>
#include <limits>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

namespace {

const QString CriticalOption = QStringLiteral("critical-clearing-time");
const QString ExportOption = QStringLiteral("export-run");
const QString ClearingOption = QStringLiteral("clearing");
const QString StudyOption = QStringLiteral("study");
const QString LimitOption = QStringLiteral("limit");
const QString LessonKeyOption = QStringLiteral("lesson-key");
const QString LessonMarksOption = QStringLiteral("lesson-marks");
const QString LessonMoodleOption = QStringLiteral("lesson-moodle");
const QString LessonSheetOption = QStringLiteral("lesson-sheet");
const QString OutputOption = QStringLiteral("output");
const QString VariantsOption = QStringLiteral("variants");
constexpr int MaxVariants = 100;
const QString LoadFlowOption = QStringLiteral("load-flow");
const QString ScreenOption = QStringLiteral("screen-lines");

// The names a study can vary, for a message: "H, Pmech, ... or reclose_ms".
QString studyNames() {
    QStringList names;
    for (StudyParameter p : studyParameters()) names << QString::fromLatin1(studyParameterKey(p));
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

void configure(QCommandLineParser &parser) {
    acceptQtWindowOptions(parser);
    parser.setApplicationDescription(
        QStringLiteral("The transient stability of a generator on an infinite bus, and of a "
                       "network of several machines. Without a command the window opens, with "
                       "the exercise of FILE (a .dravex scenario file), the lesson of FILE (a "
                       ".dravex-lesson file) or the program's defaults. The network commands "
                       "take a network file (.dravex-network) or a MATPOWER case (.m)."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(
        {CriticalOption,
         QStringLiteral("Print the equal-area criterion's and the simulation's critical clearing "
                        "time for FILE (searched up to 2000 ms), or for a power step or a line "
                        "out the largest stable Pmech, without a window. For a network: the "
                        "simulation's and the equivalent machine's critical clearing time of "
                        "its fault.")});
    parser.addOption({ExportOption,
                      QStringLiteral("Write one run of FILE's fault as CSV to OUT, without a "
                                     "window; for a network every machine's angle and speed."),
                      QStringLiteral("OUT")});
    parser.addOption({ClearingOption,
                      QStringLiteral("With --export-run: clear the fault after MS "
                                     "milliseconds instead of FILE's clearing_ms (clear_ms)."),
                      QStringLiteral("MS")});
    parser.addOption(
        {LoadFlowOption, QStringLiteral("Print the load flow of the network FILE as CSV, without a "
                                        "window.")});
    parser.addOption(
        {ScreenOption,
         QStringLiteral("Print as CSV, for a fault at each end of each line of the network FILE "
                        "cleared by opening that line, the simulation's and the equivalent "
                        "machine's critical clearing time, without a window.")});
    parser.addOption(
        {StudyOption,
         QStringLiteral("Print as CSV the equal-area criterion's and the simulation's critical "
                        "clearing time against one value of FILE's case, without a window: NAME "
                        "(%1) from FROM to TO in POINTS even steps (2 to 200).")
             .arg(studyNames()),
         QStringLiteral("NAME=FROM:TO:POINTS")});
    parser.addOption({LimitOption,
                      QStringLiteral("With --study: search the simulation's clearing time up to "
                                     "MS milliseconds, from 0 to 2000 (2000 if not given)."),
                      QStringLiteral("MS")});
    parser.addOption(
        {LessonKeyOption, QStringLiteral("Check the lesson FILE (a .dravex-lesson file) without a "
                                         "window, and print each step's question and the answer "
                                         "the model gives; with --output, write the answer key "
                                         "as a PDF instead.")});
    parser.addOption({OutputOption,
                      QStringLiteral("With --lesson-key: write the answer key (each answer, how "
                                     "far from it counts as right and how it was found) as an "
                                     "A4 PDF to KEY."),
                      QStringLiteral("KEY")});
    parser.addOption(
        {LessonSheetOption,
         QStringLiteral("Write the worksheet of the lesson FILE (each step's text and pictures, "
                        "each question with a place for the answer; no answers) as an A4 PDF "
                        "to OUT, without a window: dravex --lesson-sheet LESSON OUT.pdf.")});
    parser.addOption(
        {LessonMarksOption,
         QStringLiteral("Mark a class's lesson records against the lesson FILE without a "
                        "window: dravex --lesson-marks LESSON RECORD.csv... prints a CSV row "
                        "for each student, each step 1 (right), 0 (wrong) or empty, worked out "
                        "again from the prediction and the lesson's answer.")});
    parser.addOption(
        {LessonMoodleOption,
         QStringLiteral("Print the questions of the lesson FILE as Moodle XML without a window: "
                        "a category for each step, and variants of a question that varies "
                        "values, each with the model's answer.")});
    parser.addOption({VariantsOption,
                      QStringLiteral("With --lesson-moodle: N variants, from 1 to %1 (1 if not "
                                     "given), of each question that varies values.")
                          .arg(MaxVariants),
                      QStringLiteral("N")});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A scenario file (.dravex), a lesson "
                                                "(.dravex-lesson), a network file "
                                                "(.dravex-network) or a MATPOWER case (.m)."),
                                 QStringLiteral("[FILE]"));
    parser.addPositionalArgument(QStringLiteral("OUT"),
                                 QStringLiteral("With --lesson-sheet: the PDF to write."),
                                 QStringLiteral("[OUT]"));
}

// Milliseconds as a whole number; one beyond 32 bits becomes the nearest 32-bit limit,
// which the range check refuses.
std::optional<std::int32_t> wholeMilliseconds(const QString &text) {
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
    if (!whole.match(text).hasMatch()) return std::nullopt;
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok);
    constexpr qlonglong least = std::numeric_limits<std::int32_t>::min();
    constexpr qlonglong most = std::numeric_limits<std::int32_t>::max();
    if (!ok) return static_cast<std::int32_t>(text.startsWith(QChar('-')) ? least : most);
    return static_cast<std::int32_t>(std::clamp(v, least, most));
}

// NAME=FROM:TO:POINTS, its numbers written as in the scenario files; nothing, with `why`
// saying what is wrong, when the text is not of that form. Whether the case has the
// value and the ends lie in range is for checkStudy.
std::optional<StudyRange> studyRange(const QString &text, QString &why) {
    const QString form = QStringLiteral("--study %1: ").arg(quotedText(text.toUtf8()));
    const qsizetype equals = text.indexOf(QChar('='));
    const QStringList parts = text.mid(equals + 1).split(QChar(':'));
    if (equals < 0 || parts.size() != 3) {
        why = form + QStringLiteral("write NAME=FROM:TO:POINTS, such as H=2:10:100.");
        return std::nullopt;
    }
    const auto parameter = studyParameterFromKey(text.left(equals).toStdString());
    if (!parameter) {
        why = form + QStringLiteral("%1 is not a value a study can vary: write %2.")
                         .arg(quotedText(text.left(equals).toUtf8()), studyNames());
        return std::nullopt;
    }
    StudyRange range;
    range.parameter = *parameter;
    for (const auto &[end, value] : {std::pair{0, &range.from}, std::pair{1, &range.to}}) {
        const QByteArray number = parts[end].toUtf8();
        const std::optional<double> v =
            isFileNumberText(number) ? fileNumber(number) : std::nullopt;
        if (!v) {
            why = form + QStringLiteral("%1 is not a number to compute with: write it with "
                                        "digits and a full stop, such as 0.5 or 2E-5.")
                             .arg(quotedText(number));
            return std::nullopt;
        }
        *value = *v;
    }
    const QByteArray points = parts[2].toUtf8();
    if (!isWholeFileNumberText(points)) {
        why = form + QStringLiteral("POINTS %1 is not a whole number.").arg(quotedText(points));
        return std::nullopt;
    }
    range.points = wholeFileNumber(points);
    return range;
}

CommandLine badCommandLine(const QString &why) {
    CommandLine c;
    c.error = why;
    return c;
}

// The commands on a network: its load flow, then the classical model for a fault's
// clearing times and run. A file refused, a load flow that does not converge, a fault
// missing or a model that cannot be built are a refused file.
int runNetworkCommand(const CommandLine &commandLine, QTextStream &out, QTextStream &err) {
    using Command = CommandLine::Command;
    const auto refused = [&](const QString &why) {
        err << "dravex: " << why << '\n';
        return ExitFileFailed;
    };
    const NetworkFileResult read = isMatpowerFileName(commandLine.file)
                                       ? readMatpowerCase(commandLine.file)
                                       : readNetworkFile(commandLine.file);
    if (!read.ok) return refused(read.error);
    multimachine::Grid grid = read.grid;
    const QString name = messageName(commandLine.file);
    if (commandLine.clearingMs) grid.fault.clearMs = *commandLine.clearingMs;
    const multimachine::LoadFlowResult flow = multimachine::solveLoadFlow(grid);
    if (!flow.converged)
        return refused(QStringLiteral("%1: the load flow does not converge: %2")
                           .arg(name, QString::fromStdString(flow.problem)));
    if (commandLine.command == Command::LoadFlow) {
        out << QString::fromUtf8(loadFlowCsv(grid, flow));
        return ExitOk;
    }
    if (commandLine.command == Command::ScreenLines) {
        out << QString::fromUtf8(screeningCsv(multimachine::screenLines(grid, flow)));
        return ExitOk;
    }
    if (!grid.fault.bus && !grid.fault.line)
        return refused(QStringLiteral("%1 has no fault: give it a [fault] with bus = N or "
                                      "line = A-B.")
                           .arg(name));
    const multimachine::ClassicalModelResult built = multimachine::buildClassicalModel(grid, flow);
    if (!built.problem.empty())
        return refused(QStringLiteral("%1: %2").arg(name, QString::fromStdString(built.problem)));
    if (commandLine.command == Command::CriticalClearingTime) {
        out << simulationClearingLine(multimachine::searchCriticalClearing(built.model, grid.fault))
            << '\n'
            << equivalentClearingLine(multimachine::equivalentMachine(built.model, grid.fault))
            << '\n';
        return ExitOk;
    }
    const multimachine::RunOutcome run = multimachine::simulate(built.model, grid.fault, true);
    if (const auto failure = writeThroughTemporaryFile(
            commandLine.exportPath, networkRunCsv(built.model, grid.fault, run.states)))
        return refused(
            QStringLiteral("could not write \"%1\": %2").arg(commandLine.exportPath, *failure));
    return ExitOk;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    configure(parser);
    if (!parser.parse(arguments)) return badCommandLine(parser.errorText());

    // An option given twice would have one of its values dropped without a word.
    for (const QString &option :
         {StudyOption, ExportOption, ClearingOption, LimitOption, VariantsOption, OutputOption})
        if (parser.values(option).size() > 1)
            return badCommandLine(
                QStringLiteral("--%1 is given %2 times: give it once (one study, one run, "
                               "one value).")
                    .arg(option)
                    .arg(parser.values(option).size()));

    CommandLine c;
    QString why;
    const bool lessonMarks = parser.isSet(LessonMarksOption);
    const bool lessonMoodle = parser.isSet(LessonMoodleOption);
    const bool lessonSheet = parser.isSet(LessonSheetOption);
    if (lessonMarks) {
        // The lesson, then the records.
        const QStringList files = parser.positionalArguments();
        if (files.size() < 2)
            return badCommandLine(QStringLiteral("--lesson-marks needs the lesson and one or "
                                                 "more records: dravex --lesson-marks LESSON "
                                                 "RECORD.csv..."));
        c.file = files.front();
        c.records = files.mid(1);
    } else if (lessonSheet) {
        // The lesson, then the PDF to write.
        const QStringList files = parser.positionalArguments();
        if (files.size() != 2)
            return badCommandLine(QStringLiteral("--lesson-sheet needs a lesson file and the PDF "
                                                 "to write: dravex --lesson-sheet LESSON "
                                                 "OUT.pdf."));
        c.file = files[0];
        c.sheetPath = files[1];
    } else if (!takeScenarioFile(parser, c.file, why)) {
        return badCommandLine(why);
    }

    const bool critical = parser.isSet(CriticalOption);
    const bool exportRun = parser.isSet(ExportOption);
    const bool study = parser.isSet(StudyOption);
    const bool lessonKey = parser.isSet(LessonKeyOption);
    const bool loadFlow = parser.isSet(LoadFlowOption);
    const bool screen = parser.isSet(ScreenOption);
    c.lesson = isLessonFile(c.file);
    c.network = isNetworkFile(c.file);
    const int commands = int(critical) + int(exportRun) + int(study) + int(lessonKey) +
                         int(loadFlow) + int(screen) + int(lessonMarks) + int(lessonMoodle) +
                         int(lessonSheet);
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        c.command = CommandLine::Command::Help;
    } else if (parser.isSet(QStringLiteral("version"))) {
        c.command = CommandLine::Command::Version;
    } else if ((loadFlow || screen) && commands > 1) {
        return badCommandLine(QStringLiteral("--%1 goes alone, not with another command.")
                                  .arg(loadFlow ? LoadFlowOption : ScreenOption));
    } else if ((loadFlow || screen) && !c.network) {
        return badCommandLine(QStringLiteral("--%1 needs a network file (.dravex-network) or a "
                                             "MATPOWER case (.m).")
                                  .arg(loadFlow ? LoadFlowOption : ScreenOption));
    } else if (loadFlow || screen) {
        c.command = loadFlow ? CommandLine::Command::LoadFlow : CommandLine::Command::ScreenLines;
    } else if ((lessonMarks || lessonMoodle) && commands > 1) {
        return badCommandLine(QStringLiteral("--%1 goes alone, not with another command.")
                                  .arg(lessonMarks ? LessonMarksOption : LessonMoodleOption));
    } else if (lessonMarks || lessonMoodle) {
        const QString option = lessonMarks ? LessonMarksOption : LessonMoodleOption;
        if (c.file.isEmpty())
            return badCommandLine(QStringLiteral("--%1 needs a lesson file.").arg(option));
        if (c.network)
            return badCommandLine(
                QStringLiteral("%1 is a network: --%2 takes a lesson (.dravex-lesson).")
                    .arg(c.file, option));
        c.command =
            lessonMarks ? CommandLine::Command::LessonMarks : CommandLine::Command::LessonMoodle;
        c.lesson = true;
    } else if (c.network && (study || lessonKey || lessonSheet)) {
        return badCommandLine(QStringLiteral("%1 is a network: --%2 takes a %3.")
                                  .arg(c.file,
                                       study       ? StudyOption
                                       : lessonKey ? LessonKeyOption
                                                   : LessonSheetOption,
                                       study ? QStringLiteral("scenario file (.dravex)")
                                             : QStringLiteral("lesson (.dravex-lesson)")));
    } else if (lessonSheet && commands > 1) {
        return badCommandLine(QStringLiteral("--lesson-sheet goes alone, not with another "
                                             "command."));
    } else if (lessonSheet) {
        c.command = CommandLine::Command::LessonSheet;
        c.lesson = true;
    } else if (lessonKey && (critical || exportRun || study)) {
        return badCommandLine(QStringLiteral("--lesson-key goes alone, not with another "
                                             "command."));
    } else if (lessonKey) {
        c.command = CommandLine::Command::LessonKey;
        if (c.file.isEmpty())
            return badCommandLine(QStringLiteral("--lesson-key needs a lesson file."));
        c.lesson = true;
        c.sheetPath = parser.value(OutputOption);
    } else if (c.lesson && (critical || exportRun || study)) {
        return badCommandLine(QStringLiteral("%1 is a lesson: the commands take a scenario "
                                             "file (.dravex).")
                                  .arg(c.file));
    } else if (study && (critical || exportRun)) {
        return badCommandLine(QStringLiteral(
            "--study goes alone, not with --critical-clearing-time or --export-run."));
    } else if (study) {
        c.command = CommandLine::Command::Study;
        const std::optional<StudyRange> range = studyRange(parser.value(StudyOption), why);
        if (!range) return badCommandLine(why);
        c.study = *range;
    } else if (critical && exportRun) {
        return badCommandLine(
            QStringLiteral("--critical-clearing-time and --export-run go one at a time."));
    } else if (critical) {
        c.command = CommandLine::Command::CriticalClearingTime;
    } else if (exportRun) {
        c.command = CommandLine::Command::ExportRun;
        c.exportPath = parser.value(ExportOption);
        if (c.exportPath.isEmpty())
            return badCommandLine(QStringLiteral("--export-run needs the name of a file."));
    }
    if (parser.isSet(OutputOption)) {
        if (c.command != CommandLine::Command::LessonKey)
            return badCommandLine(QStringLiteral("--output goes with --lesson-key."));
        if (c.sheetPath.isEmpty())
            return badCommandLine(QStringLiteral("--output needs the name of a file."));
    }
    if (parser.isSet(ClearingOption)) {
        if (c.command != CommandLine::Command::ExportRun)
            return badCommandLine(QStringLiteral("--clearing goes with --export-run."));
        c.clearingMs = wholeMilliseconds(parser.value(ClearingOption));
        if (!c.clearingMs)
            return badCommandLine(
                QStringLiteral("--clearing %1 is not a whole number of milliseconds.")
                    .arg(parser.value(ClearingOption)));
        if (c.network && (*c.clearingMs < 0 || *c.clearingMs > MaxNetworkClearingMs))
            return badCommandLine(QStringLiteral("--clearing %1: a network's fault is cleared "
                                                 "after 0 to %2 ms.")
                                      .arg(*c.clearingMs)
                                      .arg(MaxNetworkClearingMs));
    }
    if (parser.isSet(VariantsOption)) {
        if (c.command != CommandLine::Command::LessonMoodle)
            return badCommandLine(QStringLiteral("--variants goes with --lesson-moodle."));
        const std::optional<std::int32_t> n = wholeMilliseconds(parser.value(VariantsOption));
        if (!n || *n < 1 || *n > MaxVariants)
            return badCommandLine(
                QStringLiteral("--variants %1: give a whole number of variants from 1 to %2.")
                    .arg(parser.value(VariantsOption))
                    .arg(MaxVariants));
        c.variants = *n;
    }
    if (parser.isSet(LimitOption)) {
        if (c.command != CommandLine::Command::Study)
            return badCommandLine(QStringLiteral("--limit goes with --study."));
        const std::optional<std::int32_t> ms = wholeMilliseconds(parser.value(LimitOption));
        if (!ms || *ms < 0 || *ms > SearchLimitMs)
            return badCommandLine(QStringLiteral("--limit %1: the search's limit must be a whole "
                                                 "number of milliseconds from 0 to %2.")
                                      .arg(parser.value(LimitOption))
                                      .arg(SearchLimitMs));
        c.limitMs = *ms;
    }
    return c;
}

bool isLessonFile(const QString &path) {
    return path.endsWith(QLatin1String(".dravex-lesson"), Qt::CaseInsensitive);
}

bool isNetworkFile(const QString &path) {
    return isNetworkFileName(path) || isMatpowerFileName(path);
}

bool needsNoWindow(const CommandLine &commandLine) {
    return !commandLine.error.isEmpty() || commandLine.command != CommandLine::Command::Window;
}

bool writesSheet(const CommandLine &commandLine) {
    return commandLine.error.isEmpty() &&
           (commandLine.command == CommandLine::Command::LessonSheet ||
            (commandLine.command == CommandLine::Command::LessonKey &&
             !commandLine.sheetPath.isEmpty()));
}

int runWithoutWindow(const CommandLine &commandLine, QTextStream &out, QTextStream &err,
                     const LessonSheetWriter &writeSheet) {
    const QString program = QStringLiteral("dravex: ");
    if (!commandLine.error.isEmpty()) {
        err << program << commandLine.error << "\nTry \"dravex --help\".\n";
        return ExitBadCommandLine;
    }
    switch (commandLine.command) {
    case CommandLine::Command::Window:
        return ExitBadCommandLine;
    case CommandLine::Command::Help: {
        QCommandLineParser parser;
        configure(parser);
        out << parser.helpText();
        return ExitOk;
    }
    case CommandLine::Command::Version:
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
            << '\n';
        return ExitOk;
    case CommandLine::Command::LessonKey:
    case CommandLine::Command::LessonSheet: {
        const LessonFileResult read = readLessonFile(commandLine.file);
        if (!read.ok) {
            err << program << read.error << '\n';
            return ExitFileFailed;
        }
        if (!writesSheet(commandLine)) {
            out << lessonKeyText(read.lesson);
            return ExitOk;
        }
        const LessonOutline outline = dravexLessonOutline(
            read.lesson, QFileInfo(commandLine.file).absoluteDir().canonicalPath());
        const bool key = commandLine.command == CommandLine::Command::LessonKey;
        const std::optional<QString> failure =
            writeSheet ? writeSheet(outline, key, commandLine.sheetPath)
                       : QStringLiteral("could not write \"%1\": no PDF writer.")
                             .arg(commandLine.sheetPath);
        if (failure) {
            err << program << *failure << '\n';
            return ExitFileFailed;
        }
        return ExitOk;
    }
    case CommandLine::Command::LessonMarks:
    case CommandLine::Command::LessonMoodle: {
        const LessonFileResult read = readLessonFile(commandLine.file);
        if (!read.ok) {
            err << program << read.error << '\n';
            return ExitFileFailed;
        }
        const LessonOutline outline =
            dravexLessonOutline(read.lesson, QFileInfo(commandLine.file).absolutePath());
        if (commandLine.command == CommandLine::Command::LessonMarks)
            return runLessonMarks(outline, commandLine.records, out, err);
        const DravexVariants made = dravexLessonVariants(read.lesson, commandLine.variants);
        out << QString::fromUtf8(moodleXml(outline, made.variants));
        if (made.leftOut) err << program << variantsLeftOutText(made.leftOut) << '\n';
        return ExitOk;
    }
    case CommandLine::Command::LoadFlow:
    case CommandLine::Command::ScreenLines:
        return runNetworkCommand(commandLine, out, err);
    case CommandLine::Command::CriticalClearingTime:
    case CommandLine::Command::ExportRun:
        if (commandLine.network) return runNetworkCommand(commandLine, out, err);
        break;
    case CommandLine::Command::Study:
        break;
    }

    StabilityCase c;
    if (!commandLine.file.isEmpty()) {
        const ScenarioFileResult read = readScenarioFile(commandLine.file);
        if (!read.ok) {
            err << program << read.error << '\n';
            return ExitFileFailed;
        }
        c = read.value;
    }
    if (commandLine.command == CommandLine::Command::CriticalClearingTime) {
        // The status bar's two lines: a fault's clearing time searched past the slider, or
        // the largest stable Pmech of a disturbance without a fault.
        out << criterionLine(c.machine, c.scenario) << '\n'
            << simulationText(findSimulationLimit(c.machine, c.scenario, SearchLimitMs),
                              MaxClearingMs)
            << '\n';
        return ExitOk;
    }
    if (commandLine.command == CommandLine::Command::Study) {
        const StudyRange &range = commandLine.study;
        if (const auto why = checkStudy(c, range)) {
            err << program << "--study: " << QString::fromStdString(*why) << '\n';
            return ExitBadCommandLine;
        }
        out << QString::fromUtf8(
            studyCsv(c, range, commandLine.limitMs, runStudy(c, range, commandLine.limitMs)));
        return ExitOk;
    }
    if (commandLine.clearingMs) {
        c.clearingMs = *commandLine.clearingMs;
        if (const auto problem = checkCase(c)) {
            err << program << "--clearing " << *commandLine.clearingMs << ": "
                << QString::fromStdString(problem->message) << '\n';
            return ExitBadCommandLine;
        }
    }
    if (const auto failure =
            writeThroughTemporaryFile(commandLine.exportPath, runCsv(recordRun(c)))) {
        err << program
            << QStringLiteral("could not write \"%1\": %2").arg(commandLine.exportPath, *failure)
            << '\n';
        return ExitFileFailed;
    }
    return ExitOk;
}
