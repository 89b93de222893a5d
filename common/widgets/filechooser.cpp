#include "filechooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
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
                           const QString &filter, const ModalRunner *runner) {
    QFileDialog dialog(parent, caption, path, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(filterSuffix(filter));
    // At the zoom of the window it is opened from, as the programs' other dialogs.
    if (runModal(dialog, runner ? *runner : ModalRunner()) != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

QString standardOpenDialog(QWidget *parent, const QString &caption, const QString &folder,
                           const QString &filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString startFolder() {
    for (auto location : {QStandardPaths::DocumentsLocation, QStandardPaths::HomeLocation}) {
        QString folder = QStandardPaths::writableLocation(location);
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) return folder;
    }
    return QDir::homePath();
}

} // namespace

FileChooser::FileChooser()
    : askFileName([this](QWidget *parent, const QString &caption, const QString &path,
                         const QString &filter) {
          return standardSaveDialog(parent, caption, path, filter, runner);
      }),
      askOpenFileName(standardOpenDialog) {}

QString FileChooser::lastFolder() const {
    if (m_lastFolder.isEmpty()) m_lastFolder = startFolder();
    return m_lastFolder;
}

QString FileChooser::chooseFile(QWidget *parent, const QString &caption,
                                const QString &suggestedName, const QString &filter) {
    const QString fileName =
        askFileName
            ? askFileName(parent, caption, QDir(lastFolder()).filePath(suggestedName), filter)
            : QString();
    return remember(fileName);
}

QString FileChooser::chooseFileToOpen(QWidget *parent, const QString &caption,
                                      const QString &filter) {
    return remember(askOpenFileName ? askOpenFileName(parent, caption, lastFolder(), filter)
                                    : QString());
}

QString FileChooser::remember(const QString &fileName) {
    if (fileName.isEmpty()) return {};
    // The next dialog starts where the user went, as long as that folder is there.
    const QString folder = QFileInfo(fileName).absolutePath();
    if (QFileInfo(folder).isDir()) m_lastFolder = folder;
    return fileName;
}
