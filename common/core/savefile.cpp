#include "savefile.h"

#include <QSaveFile>

std::optional<QString>
writeThrough(const QString &fileName,
             const std::function<std::optional<QString>(QSaveFile &)> &write) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (auto failure = write(file)) {
        file.cancelWriting();
        return failure;
    }
    if (!file.commit()) return file.errorString();
    return std::nullopt;
}

std::optional<QString> writeThroughTemporaryFile(const QString &fileName, const QByteArray &bytes) {
    return writeThrough(fileName, [&bytes](QSaveFile &file) -> std::optional<QString> {
        if (file.write(bytes) == bytes.size()) return std::nullopt;
        return file.errorString();
    });
}

bool refuseWriting(const QString &path, const QString &why, QString *error) {
    if (error) *error = QStringLiteral("Could not write \"%1\": %2").arg(path, why);
    return false;
}

bool writeReadableText(const QString &path, const QByteArray &text, qsizetype maxBytes,
                       QString *error) {
    if (text.size() > maxBytes)
        return refuseWriting(path,
                             QStringLiteral("with the comments at its top the file would be over "
                                            "%1 KiB, too large to be read again.")
                                 .arg(maxBytes / 1024),
                             error);
    if (const auto failure = writeThroughTemporaryFile(path, text))
        return refuseWriting(path, *failure, error);
    return true;
}
