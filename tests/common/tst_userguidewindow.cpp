// Help > User guide's window: the documents' links followed inside it, nothing from the
// network. (Its pictures come through pictureFromFolder, which tst_lessonpane checks.)
#include "userguidewindow.h"

#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

class TestUserGuideWindow : public QObject {
    Q_OBJECT
private slots:
    void followsLinks_data();
    void followsLinks();
};

void TestUserGuideWindow::followsLinks_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("shown");      // the document shown after the click
    QTest::addColumn<bool>("scrolled");  // to a heading far down
    QTest::addColumn<QString>("status"); // the line below the text
    QTest::newRow("other document's heading")
        << "notes.md#writing-a-lesson" << 1 << true << QString();
    QTest::newRow("other document") << "notes.md" << 1 << false << QString();
    QTest::newRow("an address only shown")
        << "file:///etc/passwd" << 0 << false << "Not opened here: file:///etc/passwd";
    QTest::newRow("a document not in the tabs")
        << "developer-guide.md" << 0 << false
        << "Not shown here: developer-guide.md. This window shows the documents of its tabs.";
}

void TestUserGuideWindow::followsLinks() {
    QFETCH(QString, link);
    QFETCH(int, shown);
    QFETCH(bool, scrolled);
    // A guide that links to the notes, and the notes with a heading far down.
    QTemporaryDir dir;
    QByteArray notes = "# Notes\n\n";
    for (int i = 0; i < 200; ++i) notes += "Filler line " + QByteArray::number(i) + ".\n\n";
    for (const auto &[name, text] :
         {std::pair{"notes.md", notes + "## Writing a lesson\n\nThe end.\n"},
          {"guide.md", QByteArray("# Guide\n\nSee [the notes](notes.md#writing-a-lesson).\n")}}) {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    }
    UserGuideWindow window(QStringLiteral("test"),
                           {{QStringLiteral("User guide"), QStringLiteral("guide.md")},
                            {QStringLiteral("Notes"), QStringLiteral("notes.md")}},
                           nullptr, nullptr);
    window.folders = {dir.path()};
    window.resize(400, 300);
    window.showDocument(0);
    window.show();
    QCoreApplication::processEvents(); // laid out, so that a heading far down scrolls
    emit window.browser()->anchorClicked(QUrl(link));
    QCOMPARE(window.shownDocument(), shown);
    QTEST(window.status()->text(), "status");
    QVERIFY(window.browser()->toPlainText().startsWith(shown ? "Notes" : "Guide"));
    QCOMPARE(window.browser()->verticalScrollBar()->value() > 0, scrolled);
}

QTEST_MAIN(TestUserGuideWindow)
#include "tst_userguidewindow.moc"
