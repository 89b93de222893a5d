#include "selmexcommandline.h"

#include "windowoptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
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

SelmexCommandLine badCommandLine(const QString &why) {
    SelmexCommandLine c;
    c.error = why;
    return c;
}

} // namespace

SelmexCommandLine parseSelmexCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    configure(parser);
    if (!parser.parse(arguments)) return badCommandLine(parser.errorText());

    SelmexCommandLine c;
    QString why;
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
    return c;
}

bool needsNoWindow(const SelmexCommandLine &commandLine) {
    return !commandLine.error.isEmpty() ||
           commandLine.command != SelmexCommandLine::Command::Window;
}

int runWithoutWindow(const SelmexCommandLine &commandLine, QTextStream &out, QTextStream &err) {
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
    }
    return SelmexCommandLine::ExitBadCommandLine; // the window is no command without one
}
