#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;
class QUrl;

// What a Markdown text shown on the screen or printed on paper needs, whichever program's.

// A picture the text names, read from `folder` (canonical) or a folder below it, and from
// nowhere else: an address, or a path that leads out of the folder, gives nothing, as
// does a file larger than `maxBytes`.
QByteArray pictureFromFolder(const QString &folder, const QUrl &name, qint64 maxBytes);
// Markdown's paragraphs come without space between them: `gap` below each, the items of
// a list kept together.
void spaceParagraphs(QTextDocument *document, qreal gap);
