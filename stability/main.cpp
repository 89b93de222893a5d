#include "commandline.h"
#include "dravon2.h"

#include <cstdio>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTextStream>

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine = parseCommandLine(arguments);
    QCoreApplication::setApplicationName(QStringLiteral("Dravex"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DRAVEX_VERSION));

    // The commands print or write a file: no window, so no display either.
    if (needsNoWindow(commandLine)) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout), err(stderr);
        return runWithoutWindow(commandLine, out, err);
    }

    QApplication app(argc, argv);
    TDravon window;
    QString error;
    const bool opened =
        commandLine.file.isEmpty() || window.openScenarioFile(commandLine.file, &error);
    window.show();
    if (!opened) {
        // The program starts with its defaults; the message is the file's text, not markup.
        QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(), error,
                        QMessageBox::Ok, &window);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
    return QApplication::exec();
}
