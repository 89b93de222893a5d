#include "errorreport.h"
#include "lessonsheet.h"
#include "selmexcommandline.h"
#include "selmexstart.h"
#include "uselmora.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const SelmexCommandLine commandLine = parseSelmexCommandLine(arguments);
    QCoreApplication::setApplicationName(QStringLiteral("Selmex"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SELMEX_VERSION));

    // A worksheet or an answer key needs fonts, not a display: drawn offscreen.
    if (writesSheet(commandLine)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        QTextStream out(stdout), err(stderr);
        return runWithoutWindow(
            commandLine, out, err,
            [](const LessonOutline &outline, bool answerKey, const QString &pdfPath) {
                return writeLessonSheet(
                    outline, answerKey ? SheetKind::AnswerKey : SheetKind::Worksheet, pdfPath);
            });
    }
    // Help, version and a bad command line print and end: no window, so no display.
    if (needsNoWindow(commandLine)) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout), err(stderr);
        return runWithoutWindow(commandLine, out, err);
    }

    QApplication app(argc, argv);
    TForm1 window(commandLine.seed ? seededClock(*commandLine.seed) : systemTimeOfDay());
    // A lesson opens the switchboard with its pane; it reports a refusal itself.
    if (commandLine.file.endsWith(QStringLiteral(".selmex-lesson"), Qt::CaseInsensitive)) {
        window.show();
        window.openLessonFile(commandLine.file);
        return QApplication::exec();
    }
    QString error;
    const bool opened =
        commandLine.file.isEmpty() || window.openScenarioFile(commandLine.file, &error);
    window.show();
    // A refused file leaves the window its random start.
    if (!opened) showErrorReport(&window, error, window.modalRunner);
    return QApplication::exec();
}
