#pragma once

#include "modalrunner.h"

#include <functional>
#include <QString>

class QWidget;

// Asks for the files a program reads and writes with the standard file dialogs, each
// starting in the folder used last (at first the user's documents), so that a student
// who saved a picture there finds the next file there too.
class FileChooser {
public:
    FileChooser();
    FileChooser(const FileChooser &) = delete;
    FileChooser &operator=(const FileChooser &) = delete;

    // How the standard save dialog is shown: the window's runner, which tests answer.
    const ModalRunner *runner = nullptr;

    // Asks for the file to write: the standard save dialog, which adds the filter's suffix
    // to a name typed without one; tests answer it here. An empty answer cancels.
    std::function<QString(QWidget *parent, const QString &caption, const QString &path,
                          const QString &filter)>
        askFileName;
    // Asks for a file to read: the standard open dialog; tests answer it here.
    std::function<QString(QWidget *parent, const QString &caption, const QString &folder,
                          const QString &filter)>
        askOpenFileName;

    // Asks, starting in the last folder with the suggested name; remembers the folder.
    QString chooseFile(QWidget *parent, const QString &caption, const QString &suggestedName,
                       const QString &filter);
    // Asks for a file to open, starting in the last folder; remembers the folder.
    QString chooseFileToOpen(QWidget *parent, const QString &caption, const QString &filter);

    QString lastFolder() const;

private:
    QString remember(const QString &fileName);

    // Found on first use, not at start-up.
    mutable QString m_lastFolder;
};
