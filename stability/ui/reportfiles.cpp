#include "reportfiles.h"

#include "errorreport.h"
#include "numberformat.h"

#include <functional>
#include <optional>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// The suffix a filter such as "CSV files (*.csv)" stands for.
QString filterSuffix(const QString &filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

// The standard save dialog. It adds the filter's suffix to a name typed without one
// itself, so its question about overwriting a file concerns the name that is written.
QString standardSaveDialog(QWidget *parent, const QString &caption, const QString &path,
                           const QString &filter) {
    QFileDialog dialog(parent, caption, path, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(filterSuffix(filter));
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

QString standardOpenDialog(QWidget *parent, const QString &caption, const QString &folder,
                           const QString &filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString startFolder() {
    for (auto location : {QStandardPaths::DocumentsLocation, QStandardPaths::HomeLocation}) {
        const QString folder = QStandardPaths::writableLocation(location);
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) return folder;
    }
    return QDir::homePath();
}

void reportWriteFailure(QWidget *parent, const QString &fileName, const QString &reason,
                        const ModalRunner &runner) {
    showErrorReport(parent,
                    QStringLiteral("Could not write \"%1\": %2")
                        .arg(QDir::toNativeSeparators(fileName), reason),
                    runner);
}

// The same, every failure named to the user.
void saveThroughTemporaryFile(QWidget *parent, const QString &fileName, const ModalRunner &runner,
                              const std::function<std::optional<QString>(QSaveFile &)> &write) {
    if (auto failure = writeThrough(fileName, write))
        reportWriteFailure(parent, fileName, *failure, runner);
}

} // namespace

ReportFiles::ReportFiles()
    : askFileName(standardSaveDialog), askOpenFileName(standardOpenDialog),
      m_lastFolder(startFolder()) {}

void ReportFiles::exportRun(QWidget *parent, const RunRecord *run, const ModalRunner &runner) {
    if (!run) {
        QMessageBox box(QMessageBox::Information, QGuiApplication::applicationDisplayName(),
                        QStringLiteral("There is no run to export yet: press \"short circuit\" "
                                       "first."),
                        QMessageBox::Ok, parent);
        box.setObjectName(QStringLiteral("NothingToExport"));
        box.setTextFormat(Qt::PlainText);
        runModal(box, runner);
        return;
    }
    // Taken before the dialog: while it is open, a new run may replace the record.
    const QByteArray csv = runCsv(*run);
    const QString suggested = QStringLiteral("dravex-run-%1ms.csv").arg(run->clearingMs);
    const QString fileName = chooseFile(parent, QStringLiteral("Export run"), suggested,
                                        QStringLiteral("CSV files (*.csv)"));
    if (fileName.isEmpty()) return;
    if (auto failure = writeThroughTemporaryFile(fileName, csv))
        reportWriteFailure(parent, fileName, *failure, runner);
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

QString ReportFiles::chooseFile(QWidget *parent, const QString &caption,
                                const QString &suggestedName, const QString &filter) {
    const QString fileName =
        askFileName
            ? askFileName(parent, caption, QDir(m_lastFolder).filePath(suggestedName), filter)
            : QString();
    return remember(fileName);
}

QString ReportFiles::chooseFileToOpen(QWidget *parent, const QString &caption,
                                      const QString &filter) {
    return remember(askOpenFileName ? askOpenFileName(parent, caption, m_lastFolder, filter)
                                    : QString());
}

QString ReportFiles::remember(const QString &fileName) {
    if (fileName.isEmpty()) return {};
    // The next dialog starts where the user went, as long as that folder is there.
    const QString folder = QFileInfo(fileName).absolutePath();
    if (QFileInfo(folder).isDir()) m_lastFolder = folder;
    return fileName;
}
