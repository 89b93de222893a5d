// The exercise's task as the Task panel shows it, and where Help > User guide finds the
// documents it shows and the headings their links name.
#include "guidefiles.h"
#include "tasktext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class TestDocumentText : public QObject {
    Q_OBJECT
private slots:
    void taskFromComments_data();
    void taskFromComments();
    void findsDocument_data();
    void findsDocument();
    void saysWhereItLooked();
    void anchorsHeadings_data();
    void anchorsHeadings();
};

void TestDocumentText::taskFromComments_data() {
    QTest::addColumn<QString>("comments"); // as the file holds them, in UTF-8
    QTest::addColumn<QString>("text");
    QTest::newRow("markers alone") << "#\n#   \n\n;\n" << QString();
    QTest::newRow("title, paragraph, question; blank lines collapse")
        << "# Exercise 1: the first fault.\n"
           "# A short circuit on the busbar: while it is on, no power\n"
           "# reaches the network.\n#\n\n#\n"
           "# Try: find the clearing time.\n"
        << "Exercise 1: the first fault.\n"
           "A short circuit on the busbar: while it is on, no power reaches the "
           "network.\n\nTry: find the clearing time.";
    QTest::newRow("only the first line can be a title")
        << "# Intro\n#\n# One sentence.\n# Next line.\n"
        << "Intro\n\nOne sentence. Next line.";
    QTest::newRow("list items on lines of their own")
        << "# Questions\n# - why slow,\n#   not fast?\n# * the wattmeter\n"
           "# 1. first\n# 2) second\n# 3.5 Hz is no item\n"
        << "Questions\n- why slow, not fast?\n* the wattmeter\n1. first\n"
           "2) second 3.5 Hz is no item";
    QTest::newRow("markers of every kind; a hash inside a line and UTF-8 kept")
        << ";; Note\n##heading\n  #  Key #2: \xCE\xB4max above 120\xC2\xB0?\n"
        << "Note heading Key #2: \u03B4max above 120\u00B0?";
    QTest::newRow("byte-order mark, CRLF, tabs, control characters")
        << "\xEF\xBB\xBF#\tTabbed\r\n# bell\x07 here\r\n"
        << "Tabbed bell here";
}

void TestDocumentText::taskFromComments() {
    QFETCH(QString, comments);
    QTEST(taskText(comments.toUtf8()), "text");
}

void TestDocumentText::findsDocument_data() {
    // The first of the three places that holds the guide: installed, beside the program,
    // source; the later ones hold it too, the earlier ones a folder by its name.
    QTest::addColumn<int>("first");
    QTest::newRow("installed first") << 0;
    QTest::newRow("beside the program") << 1;
    QTest::newRow("source tree last") << 2;
    QTest::newRow("nowhere") << 3;
}

void TestDocumentText::findsDocument() {
    QFETCH(int, first);
    QTemporaryDir root;
    const QString top = QDir(root.path()).canonicalPath();
    QStringList guides;
    for (const char *folder : {"installed/dravex", "share/doc/dravex", "docs"}) {
        guides << top + '/' + folder + QStringLiteral("/guide.md");
        const bool asFile = guides.size() > first;
        QVERIFY(QDir().mkpath(asFile ? QFileInfo(guides.back()).path() : guides.back()));
        QFile file(guides.back());
        QVERIFY(!asFile || file.open(QIODevice::WriteOnly));
    }
    const QStringList folders =
        documentFolders(QStringLiteral("dravex"), top + "/installed", top + "/bin", top + "/docs");
    QCOMPARE(folders.size(), 3);
    QCOMPARE(findDocument(QStringLiteral("guide.md"), folders), guides.value(first));
    // A place the build does not know is left out, not looked for at the file system's root.
    QCOMPARE(documentFolders(QStringLiteral("dravex"), QString(), QString(), top + "/docs"),
             QStringList{top + "/docs"});
}

void TestDocumentText::saysWhereItLooked() {
    const QString text = documentNotFoundText(QStringLiteral("user-guide-selmex.md"),
                                              {QStringLiteral("/usr/a"), QStringLiteral("/b")});
    for (const char *named : {"user-guide-selmex.md", "\n    /usr/a\n    /b\n"})
        QVERIFY2(text.contains(QLatin1String(named)), qPrintable(text));
}

void TestDocumentText::anchorsHeadings_data() {
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("anchor");
    // As the guides' own links write them.
    QTest::newRow("words and numbers") << "Why the criterion says 364 ms and the simulation 375 ms"
                                       << "why-the-criterion-says-364-ms-and-the-simulation-375-ms";
    QTest::newRow("punctuation left out, hyphen and underscore kept")
        << "Dravex: the model (and its limits), run-time of a_b"
        << "dravex-the-model-and-its-limits-run-time-of-a_b";
    QTest::newRow("letters beyond ASCII") << "\u00C9tude \u03B4"
                                          << "\u00E9tude-\u03B4";
}

void TestDocumentText::anchorsHeadings() {
    QFETCH(QString, heading);
    QTEST(headingAnchor(heading), "anchor");
}

QTEST_GUILESS_MAIN(TestDocumentText)
#include "tst_documenttext.moc"
