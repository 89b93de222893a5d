#pragma once

class QCommandLineParser;

// Lets a program's own command line through the options QGuiApplication and
// QApplication take (-platform offscreen, -style fusion, -reverse, ...), hidden from its
// help, so that the window still takes them; Qt's single-dash words parse as long
// options, as Qt writes them.
void acceptQtWindowOptions(QCommandLineParser &parser);
