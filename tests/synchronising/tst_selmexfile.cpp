// Selmex scenario files: what is refused (file and line named, nothing handed out), the
// oddities accepted, the round trip of a full start, the examples; and seeded starts.
#include "keyfile.h"
#include "selmexfile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(SelmexScenario)
Q_DECLARE_METATYPE(SelmexStart)

namespace {

bool same(const SelmexScenario &a, const SelmexScenario &b) {
    return a.voltage == b.voltage && a.frequency == b.frequency && a.reversed == b.reversed &&
           a.wrongOrder == b.wrongOrder && a.angle == b.angle && a.maxAngle == b.maxAngle;
}

SelmexStart seeded(std::uint32_t n, const SelmexScenario &s = {}) {
    RandomSource random(seededClock(n));
    return drawStart(random, s);
}

} // namespace

class TestSelmexFile : public QObject {
    Q_OBJECT
private slots:
    void refused_data();
    void refused();
    void accepted_data();
    void accepted();
    void roundTrip_data();
    void roundTrip();
    void filesOnDisk();
    void examplesRead();
    void seededStarts();
    void leadingComments_data();
    void leadingComments();
    void commentsWrittenFirst_data();
    void commentsWrittenFirst();
};

void TestSelmexFile::refused_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line"); // 0: the message names no line
    QTest::addColumn<QString>("why");
    const auto row = [](const char *name, const char *text, int line, const char *why) {
        QTest::newRow(name) << QByteArray(text) << line << QString::fromUtf8(why);
    };
    row("unknown section", "#\n[generatr]\n", 2, "not a section");
    row("unclosed section", "[generator\n", 1, "not a [section]");
    row("unknown key", "[generator]\nvoltag = 380\n", 2, "\"voltag\" is not a key of [generator]");
    row("key twice", "[generator]\nangle = 0\n\nangle = 0\n", 4, "twice");
    row("section twice", "[setup]\n[generator]\n[setup]\n", 3, "twice");
    row("key before a section", "voltage = 380\n", 1, "before any");
    row("no =", "[generator]\nvoltage 380\n", 2, "neither");
    row("empty", "[generator]\nvoltage =  # none\n", 2, "no value");
    for (const char *form : {"380,5", "380.0", ".5", "+380", "-0", "3.8e2", "nan", "inf", "0x17C"})
        QTest::newRow(form) << QByteArray("[generator]\nvoltage = ") + form << 2
                            << QStringLiteral("not a whole number");
    row("voltage 837", "[generator]\nfrequency = 3\nvoltage = 837\n", 3, "voltage must");
    row("voltage 2^64", "[generator]\nvoltage = 18446744073709551616\n", 2, "voltage must");
    row("frequency 101", "[generator]\nfrequency = 101\n", 2, "frequency must");
    row("angle 90", "[generator]\nangle = 90\n", 2, "angle must");
    row("max_angle 25", "[generator]\n[setup]\nmax_angle = 25\n", 3, "max_angle must");
    row("direction", "[generator]\ndirection = backwards\n", 2, "same or reversed");
    row("phase order", "[generator]\nphase_order = Wrong\n", 2, "right or wrong");
    row("not UTF-8", "[generator]\n# caf\xE9\n", 2, "not UTF-8");
    QTest::newRow("over 64 KiB") << QByteArray(MaxSelmexFileBytes + 1, '#') << 0 << "64 KiB";
}

void TestSelmexFile::refused() {
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, why);
    const SelmexFileResult r = parseSelmexScenario(text, QStringLiteral("ex%2.selmex"));
    QVERIFY(!r.ok);
    // The %2 in the name stays as it is.
    const QString start =
        line ? QStringLiteral("ex%2.selmex, line %1: ").arg(line) : QStringLiteral("ex%2.selmex: ");
    QVERIFY2(r.error.startsWith(start), qPrintable(r.error));
    QVERIFY2(r.error.contains(why), qPrintable(r.error));
    QVERIFY(same(r.value, SelmexScenario{}));
}

void TestSelmexFile::accepted_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<SelmexScenario>("expected");
    const SelmexScenario some{836, {}, false, {}, 240, 0}, noSetup{{}, 0, {}, true, {}, 20};
    QTest::newRow("empty: all drawn, max_angle 20") << QByteArray() << SelmexScenario{};
    QTest::newRow("BOM, CRLF, comments, blanks")
        << QByteArray("\xEF\xBB\xBF# \xC3\xA9\r\n[ generator ]  # g\r\n\t voltage\t=  836 #\r\n"
                      "\r\nangle=0240\r\ndirection = same#x\r\n[setup]\r\nmax_angle = 0")
        << some;
    QTest::newRow("no [setup]") << QByteArray("[generator]\nfrequency = 0\nphase_order = wrong\n")
                                << noSetup;
}

void TestSelmexFile::accepted() {
    QFETCH(QByteArray, text);
    QFETCH(SelmexScenario, expected);
    const SelmexFileResult r = parseSelmexScenario(text, QStringLiteral("ex.selmex"));
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(same(r.value, expected));
}

void TestSelmexFile::roundTrip_data() {
    QTest::addColumn<SelmexStart>("start");
    QTest::newRow("defaults") << SelmexStart{};
    QTest::newRow("highest") << SelmexStart{836, 100, true, true, 240, 100};
    QTest::newRow("lowest") << SelmexStart{228, 0, false, true, 120, 0};
}

void TestSelmexFile::roundTrip() {
    QFETCH(SelmexStart, start);
    const SelmexFileResult r =
        parseSelmexScenario(selmexScenarioText(start), QStringLiteral("ex.selmex"));
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(r.value.voltage && r.value.frequency && r.value.reversed && r.value.wrongOrder &&
            r.value.angle);
    QCOMPARE(seeded(7, r.value), start);
}

void TestSelmexFile::filesOnDisk() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ex.selmex"));
    const SelmexStart start{304, 42, true, true, 120, 30};
    QString error;
    QVERIFY2(writeSelmexScenario(path, start, &error), qPrintable(error));
    QCOMPARE(seeded(1, readSelmexScenario(path).value), start);
    // Not written: a start the program would refuse to read, a folder that is not there.
    QVERIFY(!writeSelmexScenario(path, SelmexStart{380, 50, false, false, 90, 20}, &error));
    QVERIFY(!writeSelmexScenario(dir.filePath(QStringLiteral("no/ex.selmex")), start, &error));
    QVERIFY(error.contains(QStringLiteral("no/ex.selmex")));
    QCOMPARE(seeded(1, readSelmexScenario(path).value), start);

    QFile big(path);
    QVERIFY(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(MaxSelmexFileBytes + 1, '\n'));
    big.close();
    QVERIFY(readSelmexScenario(path).error.startsWith(
        QStringLiteral("ex.selmex: the file is over 64 KiB")));
    QVERIFY(readSelmexScenario(dir.filePath(QStringLiteral("none.selmex")))
                .error.startsWith(QStringLiteral("none.selmex: cannot be read: ")));
}

void TestSelmexFile::examplesRead() {
    const QFileInfoList files =
        QDir(QStringLiteral(EXAMPLES_DIR)).entryInfoList({QStringLiteral("*.selmex")});
    QVERIFY(files.size() >= 3);
    for (const QFileInfo &file : files) {
        const SelmexFileResult r = readSelmexScenario(file.filePath());
        QVERIFY2(r.ok, qPrintable(r.error));
    }
}

void TestSelmexFile::seededStarts() {
    const SelmexScenario voltageOnly{836, {}, {}, {}, {}, 20};
    for (const std::uint32_t n : {0u, 1u, 12345u, 4294967295u}) {
        QCOMPARE(seeded(n), seeded(n));
        QVERIFY(seeded(n) != seeded(n + 1));
        // What a scenario leaves out is drawn as without it.
        SelmexStart expected = seeded(n);
        expected.voltage = 836;
        QCOMPARE(seeded(n, voltageOnly), expected);
    }
}

void TestSelmexFile::leadingComments_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("comments");
    QTest::newRow("none") << QByteArray("[generator]\n# later\n") << QByteArray();
    QTest::newRow("block, blank line kept between, dropped after")
        << QByteArray("# One\n#\n\n  # two\n\n[generator]\n# not this\n")
        << QByteArray("# One\n#\n\n  # two\n");
    QTest::newRow("mark, CRLF, blanks before, no last line end")
        << QByteArray("\xEF\xBB\xBF\r\n \t\r\n# A\r\n\r\n# B") << QByteArray("# A\n\n# B\n");
}

void TestSelmexFile::leadingComments() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, comments);
    QCOMPARE(::leadingComments(text), comments);
}

void TestSelmexFile::commentsWrittenFirst_data() {
    QTest::addColumn<QByteArray>("comments");
    QTest::addColumn<QByteArray>("top"); // the text before "[generator]"
    const QByteArray own = "# A Selmex exercise: the generator's start and the setup\n";
    QTest::newRow("none") << QByteArray() << own;
    QTest::newRow("an exercise's")
        << QByteArray("# Ex 1\n#\n# Why?\n") << "# Ex 1\n#\n# Why?\n\n" + own;
    QTest::newRow("saved before, not doubled") << "# Ex 1\n\n" + own << "# Ex 1\n\n" + own;
    QTest::newRow("a key line is no comment") << QByteArray("voltage = 400\n# x\n") << own;
}

void TestSelmexFile::commentsWrittenFirst() {
    QFETCH(QByteArray, comments);
    QFETCH(QByteArray, top);
    const QByteArray text = selmexScenarioText(SelmexStart{}, comments);
    QCOMPARE(text.left(text.indexOf("[generator]")), top);
    const SelmexFileResult r = parseSelmexScenario(text, QStringLiteral("ex.selmex"));
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.comments, top); // and read back as they were written
}

QTEST_GUILESS_MAIN(TestSelmexFile)
#include "tst_selmexfile.moc"
