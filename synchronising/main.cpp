#include "selmexfile.h"
#include "selmexstart.h"
#include "uselmora.h"
#include "windowoptions.h"

#include <cstdint>
#include <optional>
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTextStream>

namespace {

const QString SeedOption = QStringLiteral("seed");

void configure(QCommandLineParser &parser) {
    acceptQtWindowOptions(parser);
    parser.setApplicationDescription(
        QStringLiteral("Connecting a generator to the network. The window opens with the "
                       "exercise of FILE (a .selmex scenario file); what FILE leaves out, or "
                       "everything without FILE, is drawn at random."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({SeedOption,
                      QStringLiteral("Draw the random start from N (0 to 4294967295), so that "
                                     "the same N gives the same start."),
                      QStringLiteral("N")});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A scenario file (.selmex)."),
                                 QStringLiteral("[FILE]"));
}

struct CommandLine {
    enum class Command { Window, Help, Version };
    Command command = Command::Window;
    QString file;
    std::optional<std::uint32_t> seed;
    QString error; // a bad command line: why
};

CommandLine parseCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    configure(parser);
    CommandLine c;
    if (!parser.parse(arguments)) {
        c.error = parser.errorText();
        return c;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        c.error = QStringLiteral("Only one scenario file can be given, not %1.").arg(files.size());
        return c;
    }
    if (!files.isEmpty()) c.file = files.front();
    if (parser.isSet(SeedOption)) {
        static const QRegularExpression digits(QStringLiteral("^[0-9]{1,10}$"));
        const QString text = parser.value(SeedOption);
        const qulonglong n = digits.match(text).hasMatch() ? text.toULongLong() : 0x100000000ull;
        if (n > 0xFFFFFFFFull) {
            c.error =
                QStringLiteral("--seed %1 is not a whole number from 0 to 4294967295.").arg(text);
            return c;
        }
        c.seed = static_cast<std::uint32_t>(n);
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        c.command = CommandLine::Command::Help;
    else if (parser.isSet(QStringLiteral("version")))
        c.command = CommandLine::Command::Version;
    return c;
}

} // namespace

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine = parseCommandLine(arguments);
    QCoreApplication::setApplicationName(QStringLiteral("Selmex"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SELMEX_VERSION));

    // Help, version and a bad command line print and end: no window, so no display.
    if (!commandLine.error.isEmpty() || commandLine.command != CommandLine::Command::Window) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout), err(stderr);
        if (!commandLine.error.isEmpty()) {
            err << "selmex: " << commandLine.error << "\nTry \"selmex --help\".\n";
            return 2;
        }
        if (commandLine.command == CommandLine::Command::Help) {
            QCommandLineParser parser;
            configure(parser);
            out << parser.helpText();
        } else {
            out << QCoreApplication::applicationName() << ' '
                << QCoreApplication::applicationVersion() << '\n';
        }
        return 0;
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
