#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QTabBar;
class QTextBrowser;
class ViewZoom;

// Help > User guide: the program's Markdown documents (its user guide, the teaching
// notes) shown inside the program, offline. Links between the documents open them here,
// a link to a heading goes to it; nothing is fetched from the network: a web address is
// only shown, and pictures are read from the documents' folder alone. A document that
// cannot be found says where the program looked.
class UserGuideWindow : public QWidget {
    Q_OBJECT
public:
    struct Document {
        QString title;    // the tab's caption
        QString fileName; // e.g. "user-guide-dravex.md"
    };

    // `program` names the folder the package installs the documents in (share/doc/PROGRAM);
    // `zoom` the View menu's zoom it follows (none: 100 %).
    UserGuideWindow(const QString &program, QList<Document> documents, ViewZoom *zoom,
                    QWidget *parent);

    // The window of `parent` made on first use, shown and raised.
    static UserGuideWindow *open(QWidget *parent, const QString &program,
                                 const QList<Document> &documents, ViewZoom *zoom);

    // The folders looked in, first to last; tests set their own before showing a document.
    QStringList folders;
    // Shows document `index` (its tab), at the heading `anchor` when given.
    void showDocument(int index, const QString &anchor = QString());
    int shownDocument() const;
    QTextBrowser *browser() const { return m_browser; }
    // The line below the text: a link not followed here, or what went wrong.
    QLabel *status() const { return m_status; }

private:
    void followLink(const QUrl &url);
    void setZoom(double zoom);

    QList<Document> m_documents;
    QTabBar *m_tabs = nullptr;
    QTextBrowser *m_browser = nullptr;
    QLabel *m_status = nullptr;
    QFont m_font; // at 100 %
};
