#include "guidefiles.h"

#include <QDir>
#include <QFileInfo>

QStringList documentFolders(const QString &program, const QString &installedDocs,
                            const QString &programFolder, const QString &sourceDocs) {
    QStringList folders;
    const auto add = [&](const QString &folder) {
        if (folder.isEmpty()) return;
        const QString clean = QDir::cleanPath(folder);
        if (!folders.contains(clean)) folders << clean;
    };
    if (!installedDocs.isEmpty()) add(installedDocs + QLatin1Char('/') + program);
    if (!programFolder.isEmpty()) add(programFolder + QStringLiteral("/../share/doc/") + program);
    add(sourceDocs);
    return folders;
}

QString findDocument(const QString &fileName, const QStringList &folders) {
    for (const QString &folder : folders) {
        const QFileInfo info(QDir(folder).filePath(fileName));
        if (info.isFile() && info.isReadable()) return QDir::cleanPath(info.absoluteFilePath());
    }
    return {};
}

QString documentNotFoundText(const QString &fileName, const QStringList &folders) {
    QString text =
        QStringLiteral("%1 was not found. The program looked for it in:\n").arg(fileName);
    for (const QString &folder : folders) text += QStringLiteral("\n    ") + folder;
    if (folders.isEmpty()) text += QStringLiteral("\n    (no folder is known)");
    return text + QStringLiteral("\n\nIt is installed with the program, in share/doc beside it.");
}

QString headingAnchor(const QString &heading) {
    QString anchor;
    for (const QChar c : heading.trimmed().toLower()) {
        if (c.isLetterOrNumber() || c == u'-' || c == u'_')
            anchor += c;
        else if (c == u' ')
            anchor += u'-';
    }
    return anchor;
}
