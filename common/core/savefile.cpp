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
