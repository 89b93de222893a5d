#include "markdowntext.h"

#include <QTextDocument>

FolderTextBrowser::FolderTextBrowser(QWidget *parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
}

QVariant FolderTextBrowser::loadResource(int type, const QUrl &name) {
    // Never a null answer: the document would then read a local file itself.
    return QVariant::fromValue(type == QTextDocument::ImageResource
                                   ? pictureFromFolder(folder, name, maxPictureBytes)
                                   : QByteArray());
}
