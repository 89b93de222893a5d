#include "commandline.h"
#include "dravon2.h"
#include "errorreport.h"
#include "lessonsheet.h"
#include "networkopening.h"
#include "networkwindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine = parseCommandLine(arguments);
    QCoreApplication::setApplicationName(QStringLiteral("Dravex"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DRAVEX_VERSION));

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
    // The commands print or write a file: no window, so no display either.
    if (needsNoWindow(commandLine)) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout), err(stderr);
        return runWithoutWindow(commandLine, out, err);
    }

    QApplication app(argc, argv);
    // A network file or a MATPOWER case opens the window for several machines alone.
    if (!commandLine.lesson && opensNetworkWindow(commandLine.file)) {
        NetworkWindow network;
        // A file refused is reported, and the program starts with its defaults.
        if (network.openFile(commandLine.file)) {
            network.show();
            return QApplication::exec();
        }
    }
    TDravon window;
    if (commandLine.lesson) {
        window.show();
        // A lesson refused is reported as File > Open lesson... does; the defaults stay.
        window.openLesson(commandLine.file);
        return QApplication::exec();
    }
    QString error;
    const bool opened =
        commandLine.file.isEmpty() || window.session().openScenarioFile(commandLine.file, &error);
    window.show();
    // The program starts with its defaults, and says why as File > Open scenario... does.
    if (!opened) showErrorReport(&window, error, window.modalRunner);
    return QApplication::exec();
}
