#include "windowoptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace {

// With a value, and without.
const char *const QtValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",     "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display",    "geometry",
    "style",       "stylesheet",         "qmljsdebugger", "fontengine",
};
const char *const QtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb"};

} // namespace

void acceptQtWindowOptions(QCommandLineParser &parser) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const auto hidden = [&](const char *name, const QString &valueName) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), valueName);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    };
    for (const char *name : QtValueOptions) hidden(name, QStringLiteral("value"));
    for (const char *name : QtFlagOptions) hidden(name, QString());
}

bool takeScenarioFile(const QCommandLineParser &parser, QString &file, QString &error) {
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        error = QStringLiteral("Only one scenario file can be given, not %1.").arg(files.size());
        return false;
    }
    file = files.isEmpty() ? QString() : files.front();
    return true;
}
