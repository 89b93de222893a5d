#include "userguidewindow.h"

#include "guidefiles.h"
#include "keyfile.h"
#include "layouthelpers.h"
#include "layoutzoom.h"
#include "markdowntext.h"
#include "viewzoom.h"

#include <algorithm>
#include <QAction>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// Larger than any guide; a file beyond it is not one of them.
constexpr qsizetype MaxDocumentBytes = 4 * 1024 * 1024;

// The documents' text; links are followed by the window.
class GuideBrowser : public FolderTextBrowser {
public:
    using FolderTextBrowser::FolderTextBrowser;

    // The pictures no wider than the text, so that a screenshot needs no scrolling to
    // the side; smaller ones at their own size.
    void fitPictures() {
        const int widest = viewport()->width() - 2 * int(document()->documentMargin()) - 4;
        if (widest <= 0) return;
        for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                QTextImageFormat picture = fragment.charFormat().toImageFormat();
                if (!picture.isValid()) continue;
                QSize size = m_sizes.value(picture.name());
                if (!m_sizes.contains(picture.name())) {
                    QBuffer bytes;
                    bytes.setData(pictureFromFolder(folder, QUrl(picture.name()), maxPictureBytes));
                    size = QImageReader(&bytes).size();
                    m_sizes.insert(picture.name(), size);
                }
                if (size.isEmpty()) continue;
                const int width = std::min(widest, size.width());
                if (int(picture.width()) == width) continue;
                picture.setWidth(width);
                picture.setHeight(qreal(size.height()) * width / size.width());
                QTextCursor cursor(document());
                cursor.setPosition(fragment.position());
                cursor.setPosition(fragment.position() + fragment.length(),
                                   QTextCursor::KeepAnchor);
                cursor.setCharFormat(picture);
            }
    }
    void forgetPictures() { m_sizes.clear(); }

protected:
    void resizeEvent(QResizeEvent *event) override {
        QTextBrowser::resizeEvent(event);
        fitPictures();
    }

private:
    QHash<QString, QSize> m_sizes; // each picture's own size, read once a document
};

// Each heading named as the links between the documents name it.
void nameHeadings(QTextDocument *document) {
    QSet<QString> anchors;
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() == 0) continue;
        // A heading's second namesake is "-1", as the web's Markdown numbers them.
        const QString base = headingAnchor(b.text());
        QString anchor = base;
        for (int n = 1; anchors.contains(anchor); ++n)
            anchor = base + QLatin1Char('-') + QString::number(n);
        anchors.insert(anchor);
        QTextCursor cursor(b);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat named;
        named.setAnchor(true);
        named.setAnchorNames({anchor});
        cursor.mergeCharFormat(named);
    }
}

} // namespace

UserGuideWindow::UserGuideWindow(const QString &program, QList<Document> documents, ViewZoom *zoom,
                                 QWidget *parent)
    : QWidget(parent, Qt::Window), m_documents(std::move(documents)) {
    setObjectName(QStringLiteral("UserGuide"));
    setWindowTitle(QStringLiteral("User guide"));
    folders =
        documentFolders(program, QStringLiteral(DOC_INSTALL_DIR),
                        QCoreApplication::applicationDirPath(), QStringLiteral(SOURCE_DOCS_DIR));
    m_font = font();

    auto *layout = new QVBoxLayout(this);
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("GuideTabs"));
    m_tabs->setAccessibleName(QStringLiteral("Documents"));
    for (const Document &d : m_documents) m_tabs->addTab(d.title);
    m_tabs->setVisible(m_documents.size() > 1);
    layout->addWidget(m_tabs);
    m_browser = new GuideBrowser(this);
    m_browser->setObjectName(QStringLiteral("GuideText"));
    describe(m_browser, QStringLiteral("Guide text"),
             QStringLiteral("Tab moves to the links and Enter follows one."));
    layout->addWidget(m_browser, 1);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("GuideStatus"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) { showDocument(index); });
    connect(m_browser, &QTextBrowser::anchorClicked, this, &UserGuideWindow::followLink);
    closeOnEscape(this);
    if (zoom) {
        // The View menu's keys zoom from here too.
        for (QAction *action : zoom->zoomActions())
            if (action) addAction(action);
        connect(zoom, &ViewZoom::changed, this, [this, zoom] { setZoom(zoom->factor()); });
        setZoom(zoom->factor());
    }
    QSize wanted = LayoutZoom::scaled(QSize(720, 800), zoom ? zoom->factor() : 1.0);
    if (const QScreen *s = screen()) wanted = wanted.boundedTo(s->availableGeometry().size());
    resize(wanted);
}

UserGuideWindow *UserGuideWindow::open(QWidget *parent, const QString &program,
                                       const QList<Document> &documents, ViewZoom *zoom) {
    auto *window = parent->findChild<UserGuideWindow *>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new UserGuideWindow(program, documents, zoom, parent);
        window->showDocument(0);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

int UserGuideWindow::shownDocument() const {
    return m_tabs->currentIndex();
}

void UserGuideWindow::showDocument(int index, const QString &anchor) {
    if (index < 0 || index >= m_documents.size()) return;
    {
        const QSignalBlocker quiet(m_tabs);
        m_tabs->setCurrentIndex(index);
    }
    auto *browser = static_cast<GuideBrowser *>(m_browser);
    m_status->clear();
    const Document &d = m_documents[index];
    setWindowTitle(d.title);
    const QString path = findDocument(d.fileName, folders);
    browser->folder.clear();
    if (path.isEmpty()) {
        browser->setPlainText(documentNotFoundText(d.fileName, folders));
        return;
    }
    const SmallFile file = readSmallFile(path, MaxDocumentBytes);
    if (!file.ok || file.bytes.size() > MaxDocumentBytes || !isUtf8Text(file.bytes)) {
        browser->setPlainText(file.ok ? QStringLiteral("%1 is not a guide: it is too large or "
                                                       "not UTF-8 text.")
                                            .arg(QDir::toNativeSeparators(path))
                                      : file.error);
        return;
    }
    browser->folder = QFileInfo(path).absoluteDir().canonicalPath();
    browser->forgetPictures();
    QTextDocument *document = browser->document();
    document->setMarkdown(QString::fromUtf8(file.bytes),
                          QTextDocument::MarkdownFeatures(QTextDocument::MarkdownDialectGitHub |
                                                          QTextDocument::MarkdownNoHTML));
    nameHeadings(document);
    spaceParagraphs(document, browser->fontMetrics().height() / 2.0);
    browser->fitPictures();
    if (!anchor.isEmpty()) {
        browser->scrollToAnchor(anchor);
    } else {
        browser->setTextCursor(QTextCursor(document));
        browser->verticalScrollBar()->setValue(0);
    }
}

void UserGuideWindow::followLink(const QUrl &url) {
    m_status->clear();
    if (!url.isRelative()) {
        // Offline: the address to copy into a browser, nothing opened.
        m_status->setText(QStringLiteral("Not opened here: %1").arg(url.toString()));
        return;
    }
    const QString path = url.path();
    if (path.isEmpty()) {
        m_browser->scrollToAnchor(url.fragment());
        return;
    }
    for (int i = 0; i < m_documents.size(); ++i)
        if (m_documents[i].fileName == path) {
            showDocument(i, url.fragment());
            return;
        }
    m_status->setText(
        QStringLiteral("Not shown here: %1. This window shows the documents of its tabs.")
            .arg(path));
}

void UserGuideWindow::setZoom(double zoom) {
    setFont(LayoutZoom::scaled(m_font, zoom));
}
