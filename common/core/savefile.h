#pragma once

#include <functional>
#include <optional>
#include <QByteArray>
#include <QString>

class QSaveFile;

// Writes a file through a temporary file that replaces `fileName` only when all went
// well, so a failed write never leaves half a file under that name. `write` fills the
// file and returns why it failed, or nothing. Returns why the whole failed, or nothing.
std::optional<QString>
writeThrough(const QString &fileName,
             const std::function<std::optional<QString>(QSaveFile &)> &write);
// The same for bytes already made.
std::optional<QString> writeThroughTemporaryFile(const QString &fileName, const QByteArray &bytes);
