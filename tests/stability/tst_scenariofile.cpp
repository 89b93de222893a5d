// Scenario files: what is refused (with the file and line named, nothing applied), the
// oddities that are accepted, the bit-exact round trip and the example exercises.
#include "scenariofile.h"

#include <cstring>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(StabilityCase)

namespace {

StabilityCase withScenario(Network n, double a, double b, std::int32_t recloseMs = 0) {
    StabilityCase c;
    c.scenario.network = n;
    (n == Network::TwoLines ? c.scenario.locationPercent : c.scenario.during) = a;
    (n == Network::TwoLines ? c.scenario.lineReactance : c.scenario.after) = b;
    c.scenario.recloseMs = recloseMs;
    c.scenario.recloseOnto = RecloseOnto::Permanent;
    return c;
}

// A disturbance without a fault: P1 for a power step, r2 for a line out.
StabilityCase withoutFault(Network n, double value, std::int32_t clearingMs = 200) {
    StabilityCase c;
    c.scenario.network = n;
    (n == Network::PowerStep ? c.scenario.pmechAfter : c.scenario.after) = value;
    c.clearingMs = clearingMs;
    return c;
}

StabilityCase withMachine(double Pmax, double H, double Demping, double Pmech) {
    StabilityCase c;
    c.machine = {Pmax, H, Demping, Pmech};
    return c;
}

// Equal to the last bit, which == forgives for 0 and -0.
bool sameBits(const StabilityCase &a, const StabilityCase &b) {
    const double x[] = {a.machine.Pmax,
                        a.machine.H,
                        a.machine.Demping,
                        a.machine.Pmech,
                        a.scenario.locationPercent,
                        a.scenario.lineReactance,
                        a.scenario.during,
                        a.scenario.after,
                        a.scenario.pmechAfter};
    const double y[] = {b.machine.Pmax,
                        b.machine.H,
                        b.machine.Demping,
                        b.machine.Pmech,
                        b.scenario.locationPercent,
                        b.scenario.lineReactance,
                        b.scenario.during,
                        b.scenario.after,
                        b.scenario.pmechAfter};
    return a == b && std::memcmp(x, y, sizeof x) == 0;
}

} // namespace

class TestScenarioFile : public QObject {
    Q_OBJECT
private slots:
    void refused_data();
    void refused();
    void accepted_data();
    void accepted();
    void roundTrip_data();
    void roundTrip();
    void keptComments_data();
    void keptComments();
    void filesOnDisk();
    void examplesRead();
};

void TestScenarioFile::refused_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line"); // 0: the message names no line
    QTest::addColumn<QString>("why");
    QTest::newRow("unknown section") << QByteArray("#\n[machien]\n") << 2 << "not a section";
    QTest::newRow("unknown key") << QByteArray("[fault]\nlokation = 5\n") << 2
                                 << "\"lokation\" is not a key of [fault]";
    QTest::newRow("key twice") << QByteArray("[machine]\nH = 5\n\nH = 5\n") << 4 << "twice";
    QTest::newRow("section twice") << QByteArray("[fault]\n[fault]\n") << 2 << "twice";
    QTest::newRow("key before a section") << QByteArray("H = 5\n") << 1 << "before any";
    QTest::newRow("no =") << QByteArray("[machine]\nPmax 450\n") << 2 << "neither";
    QTest::newRow("comma") << QByteArray("[machine]\nPmech = 0,5\n") << 2 << "not a number";
    QTest::newRow("nan") << QByteArray("[machine]\nPmech = nan\n") << 2 << "not a number";
    QTest::newRow("inf") << QByteArray("[machine]\nPmax = -inf\n") << 2 << "not a number";
    QTest::newRow("hex") << QByteArray("[machine]\nPmax = 0x1p3\n") << 2 << "not a number";
    QTest::newRow("empty") << QByteArray("[machine]\nPmax =  # none\n") << 2 << "no value";
    QTest::newRow("overflow") << QByteArray("[machine]\nH = 1e400\n") << 2 << "too large";
    QTest::newRow("out of range") << QByteArray("[machine]\nPmech = 1.5\n") << 2 << "Pmech must";
    // The damping limit 2H/omega_s, 0.019098... for H = 3, as a student reads it.
    QTest::newRow("damping, H 3") << QByteArray("[machine]\nH = 3\nDemping = 0.02\n") << 3
                                  << "below 2H/\u03C9s \u2248 0.0191 (";
    QTest::newRow("damping, H 6") << QByteArray("[machine]\nDemping = 0.04\n") << 2
                                  << "below 2H/\u03C9s \u2248 0.0382 (";
    QTest::newRow("r1 >= r2") << QByteArray(
                                     "[fault]\nnetwork = transfer\nafter = 0.5\nduring = 0.5\n")
                              << 3 << "above the power during";
    QTest::newRow("clearing 2.5") << QByteArray("[fault]\nclearing_ms = 2.5\n") << 2
                                  << "whole number";
    QTest::newRow("clearing 2^40")
        << QByteArray("[fault]\nclearing_ms=1099511627776\n") << 2 << "clearing time must";
    QTest::newRow("reclose 0") << QByteArray("[fault]\nreclose_ms = 0\n") << 2 << "none";
    QTest::newRow("network") << QByteArray("[fault]\nnetwork = lines\n") << 2 << "not a network";
    QTest::newRow("network: the disturbances named")
        << QByteArray("[fault]\nnetwork = step\n") << 2 << "transfer, power-step or line-out.";
    QTest::newRow("P1 above 1") << QByteArray("[fault]\nnetwork = power-step\npmech_after = 1.5\n")
                                << 3 << "P1 must lie above 0 and at most 1";
    QTest::newRow("P1 equal to Pmech")
        << QByteArray("[machine]\nPmech = 0.4\n[fault]\nnetwork = power-step\npmech_after = .4\n")
        << 5 << "must differ from Pmech (0.4)";
    QTest::newRow("P1 left out, equal to Pmech")
        << QByteArray("[machine]\nPmech = 0.7\n\n[fault]\nnetwork = power-step\n") << 4
        << "must differ from Pmech";
    QTest::newRow("line out, r2 1")
        << QByteArray("[fault]\nnetwork = line-out\nafter = 1\n") << 3 << "above 0 and below 1";
    QTest::newRow("power step, dead time's form")
        << QByteArray("[fault]\nnetwork = power-step\nreclose_ms = soon\n") << 3 << "whole number";
    QTest::newRow("not UTF-8") << QByteArray("[machine]\n# caf\xE9\n") << 2 << "not UTF-8";
    QTest::newRow("over 64 KiB") << QByteArray(MaxScenarioFileBytes + 1, '#') << 0 << "64 KiB";
}

void TestScenarioFile::refused() {
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, why);
    const ScenarioFileResult r = parseScenario(text, QStringLiteral("ex%2.dravex"));
    QVERIFY(!r.ok);
    QVERIFY2(r.error.startsWith(line ? QStringLiteral("ex%2.dravex, line %1: ").arg(line)
                                     : QStringLiteral("ex%2.dravex: ")),
             qPrintable(r.error));
    QVERIFY2(r.error.contains(why), qPrintable(r.error));
    QCOMPARE(r.value, StabilityCase{});
}

void TestScenarioFile::accepted_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<StabilityCase>("expected");
    QTest::newRow("empty: the defaults") << QByteArray() << StabilityCase{};
    QTest::newRow("BOM, CRLF, comments, blanks")
        << QByteArray("\xEF\xBB\xBF# \xC3\xA9\r\n[ machine ]  # m\r\n\t Pmax\t=  +4.5e2 #\r\n"
                      "H=.6E1\r\nDemping = 2E-5\r\nPmech = 0.25")
        << withMachine(450, 6, 2E-5, 0.25);
    QTest::newRow("another network's keys: form only")
        << QByteArray("[fault]\nnetwork = transfer\nduring = 0.2\nafter = 0.9\nlocation = 250\n"
                      "reclose_ms = 300\nreclose_onto = permanent\n")
        << [] {
               StabilityCase c = withScenario(Network::Transfer, 0.2, 0.9, 300);
               c.scenario.locationPercent = 250;
               return c;
           }();
    // Without a fault a dead time means nothing: the case holds none, but keeps the
    // clearing time and what a reclosing would close onto for a later fault.
    QTest::newRow("power step, another network's key, a dead time")
        << QByteArray("[fault]\nclearing_ms = 300\nreclose_ms = 400\nnetwork = power-step\n"
                      "pmech_after = 0.9\nafter = 5\n")
        << [] {
               StabilityCase c = withoutFault(Network::PowerStep, 0.9, 300);
               c.scenario.after = 5;
               return c;
           }();
    QTest::newRow("line out onto permanent, P1 of form only")
        << QByteArray("[fault]\nnetwork = line-out\nafter = 0.8\nreclose_onto = permanent\n"
                      "reclose_ms = 250\npmech_after = -3\n")
        << [] {
               StabilityCase c = withoutFault(Network::LineOut, 0.8);
               c.scenario.recloseOnto = RecloseOnto::Permanent;
               c.scenario.pmechAfter = -3;
               return c;
           }();
}

void TestScenarioFile::accepted() {
    QFETCH(QByteArray, text);
    QFETCH(StabilityCase, expected);
    const ScenarioFileResult r = parseScenario(text, QStringLiteral("ex.dravex"));
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.value, expected);
}

void TestScenarioFile::roundTrip_data() {
    QTest::addColumn<StabilityCase>("c");
    QTest::newRow("defaults") << StabilityCase{};
    QTest::newRow("1/3, 0.1, 1e-300, -0") << withMachine(1.0 / 3, 0.1, 1e-300, -0.0);
    QTest::newRow("subnormal damping") << withMachine(450, 6, 5e-324, 0.5);
    QTest::newRow("two lines") << withScenario(Network::TwoLines, 100.0 / 3, 0.1 + 0.2, 5000);
    QTest::newRow("transfer") << withScenario(Network::Transfer, 0.1, 2.0 / 3, 1);
    QTest::newRow("power step") << withoutFault(Network::PowerStep, 0.1 + 0.2, 0);
    QTest::newRow("line out, onto permanent") << [] {
        StabilityCase c = withoutFault(Network::LineOut, 1.1024 / 1.351, 500);
        c.scenario.recloseOnto = RecloseOnto::Permanent;
        return c;
    }();
}

void TestScenarioFile::roundTrip() {
    QFETCH(StabilityCase, c);
    const ScenarioFileResult r = parseScenario(scenarioText(c), QStringLiteral("ex.dravex"));
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(sameBits(r.value, c));
}

void TestScenarioFile::keptComments_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("top"); // of the file saved, before its [machine]
    const QByteArray header =
        "# A Dravex exercise: the machine data, the fault and its clearing time\n";
    QTest::newRow("an exercise's text")
        << QByteArray("# Exercise 9: a fault.\n#\n# Try: H = 3.\n\n[machine]\nH = 5 # s\n")
        << "# Exercise 9: a fault.\n#\n# Try: H = 3.\n\n" + header;
    QTest::newRow("a file the program wrote") << scenarioText(StabilityCase{}) << header;
    QTest::newRow("none") << QByteArray("[fault]\n# later\nclearing_ms = 90\n") << header;
}

void TestScenarioFile::keptComments() {
    // Saved again, and again from that file, with the same text on top.
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, top);
    const ScenarioFileResult r = parseScenario(file, QStringLiteral("ex.dravex"));
    QVERIFY2(r.ok, qPrintable(r.error));
    const QByteArray saved = scenarioText(r.value, r.comments);
    const QByteArray keys = scenarioText(r.value);
    QCOMPARE(saved, top + keys.sliced(keys.indexOf("[machine]")));
    const ScenarioFileResult again = parseScenario(saved, QStringLiteral("ex.dravex"));
    QVERIFY2(again.ok, qPrintable(again.error));
    QCOMPARE(scenarioText(again.value, again.comments), saved);
}

void TestScenarioFile::filesOnDisk() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ex.dravex"));
    const StabilityCase c = withScenario(Network::TwoLines, 12.5, 0.7, 250);
    QString error;
    QVERIFY2(writeScenarioFile(path, c, &error), qPrintable(error));
    QVERIFY(sameBits(readScenarioFile(path).value, c));
    // Not written: a case the program would refuse to read, a folder that is not there.
    QVERIFY(!writeScenarioFile(path, withMachine(450, 6, 0, 2), &error));
    QVERIFY(!writeScenarioFile(path, c, &error, QByteArray(MaxScenarioFileBytes, '#')));
    QVERIFY(!writeScenarioFile(dir.filePath(QStringLiteral("no/ex.dravex")), c, &error));
    QVERIFY(error.contains(QStringLiteral("no/ex.dravex")));
    QVERIFY(sameBits(readScenarioFile(path).value, c));

    QFile big(path);
    QVERIFY(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(MaxScenarioFileBytes + 1, '\n'));
    big.close();
    QVERIFY(readScenarioFile(path).error.contains(QStringLiteral("64 KiB")));
    QVERIFY(readScenarioFile(dir.filePath(QStringLiteral("none.dravex")))
                .error.startsWith(QStringLiteral("none.dravex: cannot be read: ")));
}

void TestScenarioFile::examplesRead() {
    const QFileInfoList files =
        QDir(QStringLiteral(EXAMPLES_DIR)).entryInfoList({QStringLiteral("*.dravex")});
    QVERIFY(files.size() >= 3);
    for (const QFileInfo &file : files) {
        const ScenarioFileResult r = readScenarioFile(file.filePath());
        QVERIFY2(r.ok, qPrintable(r.error));
    }
}

QTEST_GUILESS_MAIN(TestScenarioFile)
#include "tst_scenariofile.moc"
