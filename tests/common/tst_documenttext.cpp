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
    QTest::addColumn<QByteArray>("comments");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << QByteArray() << QString();
    QTest::newRow("markers alone") << QByteArray("#\n#   \n\n;\n") << QString();
    QTest::newRow("title, paragraph, question")
        << QByteArray("# Exercise 1: the first fault.\n"
                      "# A short circuit on the busbar: while it is on, no power\n"
                      "# reaches the network.\n"
                      "#\n"
                      "# Try: find the clearing time.\n")
        << QStringLiteral("Exercise 1: the first fault.\n"
                          "A short circuit on the busbar: while it is on, no power reaches the "
                          "network.\n\nTry: find the clearing time.");
    QTest::newRow("first line mid-sentence is no title")
        << QByteArray("# The machine runs a little\n# slow.\n")
        << QStringLiteral("The machine runs a little slow.");
    QTest::newRow("only the first line can be a title")
        << QByteArray("# Intro\n#\n# One sentence.\n# Next line.\n")
        << QStringLiteral("Intro\n\nOne sentence. Next line.");
    QTest::newRow("list items on lines of their own")
        << QByteArray("# Questions\n# - why slow,\n#   not fast?\n# * the wattmeter\n"
                      "# 1. first\n# 2) second\n# 3.5 Hz is no item\n")
        << QStringLiteral("Questions\n- why slow, not fast?\n* the wattmeter\n1. first\n"
                          "2) second 3.5 Hz is no item");
    QTest::newRow("semicolons, doubled markers, no blank after the marker")
        << QByteArray(";; Note\n##heading\n  #  indented\n")
        << QStringLiteral("Note heading indented");
    QTest::newRow("blank lines collapse")
        << QByteArray("# a\n#\n\n#\n\n# b\n") << QStringLiteral("a\n\nb");
    QTest::newRow("byte-order mark, CRLF, tabs, control characters")
        << QByteArray("\xEF\xBB\xBF#\tTabbed\r\n# bell\x07 here\r\n")
        << QStringLiteral("Tabbed bell here");
    QTest::newRow("UTF-8 and a hash inside a line kept")
        << QByteArray("# Key #2: \xCE\xB4max above 120\xC2\xB0?\n")
        << QStringLiteral("Key #2: \u03B4max above 120\u00B0?");
}

void TestDocumentText::taskFromComments() {
    QFETCH(QByteArray, comments);
    QFETCH(QString, text);
    QCOMPARE(taskText(comments), text);
}

void TestDocumentText::findsDocument_data() {
    // Which of the three places holds the guide: installed, beside the program, source.
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("besideProgram");
    QTest::addColumn<bool>("source");
    QTest::addColumn<QString>("found");
    QTest::newRow("installed first") << true << true << true << "installed/dravex";
    QTest::newRow("beside the program") << false << true << true << "share/doc/dravex";
    QTest::newRow("source tree last") << false << false << true << "docs";
    QTest::newRow("nowhere") << false << false << false << QString();
}

void TestDocumentText::findsDocument() {
    QFETCH(bool, installed);
    QFETCH(bool, besideProgram);
    QFETCH(bool, source);
    QFETCH(QString, found);
    QTemporaryDir root;
    const QString top = QDir(root.path()).canonicalPath();
    // The guide as a file where the row has one, else a folder by its name, which is none.
    for (const auto &[folder, asFile] : {std::pair{"installed/dravex", installed},
                                         {"share/doc/dravex", besideProgram},
                                         {"docs", source}}) {
        const QString path = top + '/' + folder + QStringLiteral("/guide.md");
        QVERIFY(QDir().mkpath(asFile ? QFileInfo(path).path() : path));
        QFile file(path);
        QVERIFY(!asFile || file.open(QIODevice::WriteOnly));
    }
    const QStringList folders =
        documentFolders(QStringLiteral("dravex"), top + "/installed", top + "/bin", top + "/docs");
    QCOMPARE(folders.size(), 3);
    QCOMPARE(findDocument(QStringLiteral("guide.md"), folders),
             found.isEmpty() ? QString() : top + '/' + found + QStringLiteral("/guide.md"));
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
    QTest::newRow("words") << "Scenario files and the seed"
                           << "scenario-files-and-the-seed";
    QTest::newRow("numbers") << "Why the criterion says 364 ms and the simulation 375 ms"
                             << "why-the-criterion-says-364-ms-and-the-simulation-375-ms";
    QTest::newRow("punctuation left out") << "Dravex: the model (and its limits)"
                                          << "dravex-the-model-and-its-limits";
    QTest::newRow("hyphen and underscore kept") << "Run-time of a_b"
                                                << "run-time-of-a_b";
    QTest::newRow("letters beyond ASCII") << "\u00C9tude \u03B4"
                                          << "\u00E9tude-\u03B4";
}

void TestDocumentText::anchorsHeadings() {
    QFETCH(QString, heading);
    QFETCH(QString, anchor);
    QCOMPARE(headingAnchor(heading), anchor);
}

QTEST_GUILESS_MAIN(TestDocumentText)
#include "tst_documenttext.moc"
