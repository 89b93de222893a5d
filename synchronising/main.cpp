#include "selmexcommandline.h"
#include "selmexfile.h"
#include "selmexstart.h"
#include "uselmora.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTextStream>

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const SelmexCommandLine commandLine = parseSelmexCommandLine(arguments);
    QCoreApplication::setApplicationName(QStringLiteral("Selmex"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SELMEX_VERSION));

    // Help, version and a bad command line print and end: no window, so no display.
    if (needsNoWindow(commandLine)) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout), err(stderr);
        return runWithoutWindow(commandLine, out, err);
    }

    QApplication app(argc, argv);
    TForm1 window(commandLine.seed ? seededClock(*commandLine.seed) : systemTimeOfDay());
    SelmexFileResult opened;
    if (!commandLine.file.isEmpty()) {
        opened = readSelmexScenario(commandLine.file);
        if (opened.ok) window.openScenario(opened.value, commandLine.file, opened.comments);
    }
    window.show();
    if (!commandLine.file.isEmpty() && !opened.ok) {
        // The window keeps its random start; the message is the file's text, not markup.
        QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), opened.error,
                        QMessageBox::Ok, &window);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
    return QApplication::exec();
}
