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

// A text people write by hand and the program reads back (a scenario or network file),
// written through a temporary file. One over `maxBytes`, which its reader would refuse,
// is not written. On failure `error` says "Could not write "PATH": why".
bool writeReadableText(const QString &path, const QByteArray &text, qsizetype maxBytes,
                       QString *error);
// Sets `error` to "Could not write "PATH": why" and returns false.
bool refuseWriting(const QString &path, const QString &why, QString *error);
