#pragma once

#include "modalrunner.h"
#include "runcsv.h"
#include "runhistory.h"
#include "savefile.h"

#include <functional>
#include <optional>
#include <QByteArray>
#include <QImage>
#include <QString>

class QWidget;

// The files a student takes into a report: the last run's numbers as CSV and a picture
// of the window. Both are asked for with the standard file dialog, which starts in the
// folder used last, and written through QSaveFile, so a failed write never leaves a
// half-written file under the chosen name.
class ReportFiles {
public:
    // Asks for the file to write: the standard save dialog; tests answer it here. An
    // empty answer cancels.
    std::function<QString(QWidget *parent, const QString &caption, const QString &path,
                          const QString &filter)>
        askFileName;

    // Asks for a file to read: the standard open dialog; tests answer it here.
    std::function<QString(QWidget *parent, const QString &caption, const QString &folder,
                          const QString &filter)>
        askOpenFileName;

    ReportFiles();

    // File > Export run...: the run as CSV, or a message that there is nothing to export.
    void exportRun(QWidget *parent, const RunRecord *run, const ModalRunner &runner);
    // File > Save picture...: the picture as PNG, offered as `suggested` in the folder used
    // last.
    void savePicture(QWidget *parent, const QImage &picture, const ModalRunner &runner,
                     const QString &suggested = QStringLiteral("dravex.png"));

    QString lastFolder() const { return m_lastFolder; }

    // Asks, starting in the last folder with the suggested name; remembers the folder.
    QString chooseFile(QWidget *parent, const QString &caption, const QString &suggestedName,
                       const QString &filter);
    // Asks for a file to open, starting in the last folder; remembers the folder.
    QString chooseFileToOpen(QWidget *parent, const QString &caption, const QString &filter);

private:
    QString remember(const QString &fileName);

    QString m_lastFolder;
};
