#pragma once

#include <QByteArray>
#include <QString>
#include <QTextBrowser>

class QTextDocument;
class QUrl;

// What the programs' Markdown views (a lesson's words, the user guide) share.

// A picture the text names, read from `folder` (canonical) or a folder below it, and from
// nowhere else: an address, or a path that leads out of the folder, gives nothing, as
// does a file larger than `maxBytes`.
QByteArray pictureFromFolder(const QString &folder, const QUrl &name, qint64 maxBytes);
// Markdown's paragraphs come without space between them: `gap` below each, the items of
// a list kept together.
void spaceParagraphs(QTextDocument *document, qreal gap);

// A Markdown text whose pictures come from `folder` alone: nothing else is read, nothing
// comes from the network, and links open nothing by themselves (a window that follows
// them listens to anchorClicked).
class FolderTextBrowser : public QTextBrowser {
public:
    explicit FolderTextBrowser(QWidget *parent);
    QString folder;                            // canonical; empty: no pictures
    qint64 maxPictureBytes = 16 * 1024 * 1024; // larger is no figure of a text
    QVariant loadResource(int type, const QUrl &name) override;
};
