#pragma once

#include "filechooser.h"
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
class ReportFiles : public FileChooser {
public:
    // File > Export run...: the run as CSV, or a message that there is nothing to export.
    void exportRun(QWidget *parent, const RunRecord *run, const ModalRunner &runner);
    // File > Save picture...: the picture as PNG, offered as `suggested` in the folder used
    // last.
    void savePicture(QWidget *parent, const QImage &picture, const ModalRunner &runner,
                     const QString &suggested = QStringLiteral("dravex.png"));
};
