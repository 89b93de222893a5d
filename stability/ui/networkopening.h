#pragma once

#include "modalrunner.h"

#include <QString>

class FileChooser;
class NetworkWindow;
class QWidget;

// Networks opened from any Dravex window or from the command line, each in a network
// window of its own.

// Whether a file is a network file or a MATPOWER case, which a network window opens.
bool opensNetworkWindow(const QString &path);
// Opens `path` in a new network window, shown, which is deleted when it is closed. A file
// refused is reported over `from` (the reader's refusal, naming file and line), and no
// window opens: nullptr.
NetworkWindow *openNetworkWindow(const QString &path, QWidget *from, const ModalRunner &runner);
// File > Open network... (or, with `matpower`, Import MATPOWER case...): asks for the
// file in the folder used last, then opens it as above.
void askAndOpenNetwork(QWidget *from, FileChooser &files, const ModalRunner &runner, bool matpower);
