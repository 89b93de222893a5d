#pragma once

#include <QString>

class QCommandLineParser;

// Lets a program's own command line through the options QGuiApplication and
// QApplication take (-platform offscreen, -style fusion, -reverse, ...), hidden from its
// help, so that the window still takes them; Qt's single-dash words parse as long
// options, as Qt writes them.
void acceptQtWindowOptions(QCommandLineParser &parser);

// The one scenario file a parsed command line may name, in `file` (empty for none);
// false, with `error` saying so, when it names more than one.
bool takeScenarioFile(const QCommandLineParser &parser, QString &file, QString &error);
