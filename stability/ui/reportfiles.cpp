#include "reportfiles.h"

#include "errorreport.h"

#include <functional>
#include <optional>
#include <QImageWriter>
#include <QSaveFile>

namespace {

// The same, every failure named to the user.
void saveThroughTemporaryFile(QWidget *parent, const QString &fileName, const ModalRunner &runner,
                              const std::function<std::optional<QString>(QSaveFile &)> &write) {
    if (auto failure = writeThrough(fileName, write))
        showWriteFailure(parent, fileName, *failure, runner);
}

} // namespace

void ReportFiles::exportRun(QWidget *parent, const RunRecord *run, const ModalRunner &runner) {
    if (!run) {
        showNotice(parent,
                   QStringLiteral("There is no run to export yet: press \"short circuit\" "
                                  "first."),
                   QStringLiteral("NothingToExport"), runner);
        return;
    }
    // Taken before the dialog: while it is open, a new run may replace the record.
    const QByteArray csv = runCsv(*run);
    const QString suggested = QStringLiteral("dravex-run-%1ms.csv").arg(run->clearingMs);
    const QString fileName = chooseFile(parent, QStringLiteral("Export run"), suggested,
                                        QStringLiteral("CSV files (*.csv)"));
    if (fileName.isEmpty()) return;
    if (auto failure = writeThroughTemporaryFile(fileName, csv))
        showWriteFailure(parent, fileName, *failure, runner);
}

void ReportFiles::savePicture(QWidget *parent, const QImage &picture, const ModalRunner &runner,
                              const QString &suggested) {
    const QString fileName = chooseFile(parent, QStringLiteral("Save picture"), suggested,
                                        QStringLiteral("PNG pictures (*.png)"));
    if (fileName.isEmpty()) return;
    saveThroughTemporaryFile(
        parent, fileName, runner, [&picture](QSaveFile &file) -> std::optional<QString> {
            QImageWriter writer(&file, "png");
            if (writer.write(picture)) return std::nullopt;
            // The encoder's own reason, or the device's when the disk refused the bytes.
            return writer.error() == QImageWriter::DeviceError ? file.errorString()
                                                               : writer.errorString();
        });
}
