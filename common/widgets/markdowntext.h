#pragma once

#include "markdowndocument.h"

#include <QByteArray>
#include <QString>
#include <QTextBrowser>

// What the programs' Markdown views (a lesson's words, the user guide) share, besides
// markdowndocument.h.

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
