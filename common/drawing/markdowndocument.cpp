#include "markdowndocument.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

QByteArray pictureFromFolder(const QString &folder, const QUrl &name, qint64 maxBytes) {
    if (folder.isEmpty()) return {};
    const QUrl url =
        name.isRelative() ? QUrl::fromLocalFile(folder + QLatin1Char('/')).resolved(name) : name;
    if (!url.isLocalFile()) return {};
    const QFileInfo info(url.toLocalFile());
    const QString path = info.canonicalFilePath();
    if (path.isEmpty() || !path.startsWith(folder + QLatin1Char('/')) || !info.isFile() ||
        info.size() > maxBytes)
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.read(maxBytes);
}

void spaceParagraphs(QTextDocument *document, qreal gap) {
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
        if (b.textList() || b.blockFormat().bottomMargin() >= gap) continue;
        QTextBlockFormat f;
        f.setBottomMargin(gap);
        QTextCursor(b).mergeBlockFormat(f);
    }
}
