// The report files: the last run as CSV and the picture of the window, through the file
// dialog, with the folder remembered and failures reported.
#include "dravonharness.h"
#include "numberformat.h"

#include <charconv>
#include <QFileDialog>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A harness whose file dialog answers with `answer` and notes the start paths it was given.
struct ReportHarness : DravonHarness {
    QString answer;
    QStringList startPaths;
    ReportHarness() {
        w.reportFiles().askFileName = [this](QWidget *, const QString &, const QString &path,
                                             const QString &) {
            startPaths << path;
            return answer;
        };
    }
};

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

double number(const QByteArray &text) {
    double v = 0;
    const auto r = std::from_chars(text.constData(), text.constData() + text.size(), v);
    return r.ec == std::errc() && r.ptr == text.constData() + text.size() ? v : -12345.678;
}

} // namespace

class TestReportFiles : public QObject {
    Q_OBJECT
private slots:
    void csvOfDefaultRun();
    void csvNamesTheScenario();
    void nothingToExportBeforeARun();
    void failedWritesLeaveNoFileAndSayWhy();
    void cancelAndFolderMemory();
    void pictureOfTheClientArea();
    void standardDialogAddsSuffix();
};

void TestReportFiles::csvOfDefaultRun() {
    QTemporaryDir dir;
    ReportHarness h;
    h.answer = dir.filePath(QStringLiteral("run.csv"));
    control<QPushButton>(h.w, "Kortsluiting")->click();
    control<QAction>(h.w, "ExportRun1")->trigger();
    QVERIFY(h.boxes.empty());

    const QList<QByteArray> lines = readAll(h.answer).split('\n');
    QCOMPARE(lines.size(), 2 + 3334 + 1); // the last line end leaves an empty piece
    QCOMPARE(lines[0], "# Dravex run: Pmax=450 H=6 Demping=2E-5 Pmech=0.5 clearing_ms=200");
    QCOMPARE(lines[1], "step,time_s,fault_on,rotor_angle_deg,speed_deviation_rad_s,pelec");
    QVERIFY(lines.last().isEmpty());

    const std::vector<RunSample> &samples = h.w.session().history().last()->samples;
    QList<QByteArray> f;
    for (int i = 0; i < 3334; ++i) {
        f = lines[2 + i].split(',');
        QCOMPARE(f.size(), 6);
        QCOMPARE(f[0], QByteArray::number(i + 1));
        QCOMPARE(f[2], i < 67 ? "1" : "0"); // cleared after 200 ms: 67 steps of 3 ms
        const RunSample &s = samples[i];
        const double expected[] = {s.clock, s.rotorAngleDeg, s.speedDeviation, s.pelec};
        const int columns[] = {1, 3, 4, 5};
        for (int c = 0; c < 4; ++c) // exactly: QCOMPARE on doubles forgives the last digits
            QVERIFY2(number(f[columns[c]]) == expected[c], lines[2 + i].constData());
    }
    QCOMPARE(lines[2].split(',')[1], "0");

    const auto shown = [&](int c) { return formatGeneral(number(f[c]), systemDecimalSeparator()); };
    QCOMPARE(shown(1), control<QLineEdit>(h.w, "EdittotTijd")->text());
    QCOMPARE(shown(3), control<QLineEdit>(h.w, "EditDelta")->text());
    QCOMPARE(shown(4), control<QLineEdit>(h.w, "EditDomega")->text());
    QCOMPARE(shown(5), control<QLineEdit>(h.w, "EditPelek")->text());
}

void TestReportFiles::csvNamesTheScenario() {
    RunRecord run;
    run.clearingMs = 100;
    run.scenario.network = Network::Transfer;
    run.scenario.during = 0.25;
    const QByteArray line = "# Dravex run: Pmax=450 H=6 Demping=2E-5 Pmech=0.5 clearing_ms=100 "
                            "network=transfer during=0.25 after=1";
    QVERIFY(runCsv(run).startsWith(line + "\nstep,"));
    run.scenario.recloseMs = 300;
    QVERIFY(runCsv(run).startsWith(line + " reclose_ms=300 reclose_onto=transient\nstep,"));
}

void TestReportFiles::nothingToExportBeforeARun() {
    ReportHarness h;
    control<QAction>(h.w, "ExportRun1")->trigger();
    QVERIFY(h.startPaths.isEmpty());
    QCOMPARE(h.boxes.size(), size_t(1));
    QCOMPARE(h.boxes[0].icon, QMessageBox::Information);
    QVERIFY(h.boxes[0].text.contains(QLatin1String("no run to export")));
}

void TestReportFiles::failedWritesLeaveNoFileAndSayWhy() {
    QTemporaryDir dir;
    QFile regular(dir.filePath(QStringLiteral("plain")));
    QVERIFY(regular.open(QIODevice::WriteOnly) && regular.write("kept") == 4);
    regular.close();
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.csv")));
    const QStringList targets = {dir.filePath(QStringLiteral("missing/run.csv")),
                                 dir.filePath(QStringLiteral("plain/run.csv")),
                                 dir.filePath(QStringLiteral("taken.csv"))};
    ReportHarness h;
    control<QPushButton>(h.w, "Kortsluiting")->click();
    for (const QString &target : targets) {
        h.boxes.clear();
        h.answer = target;
        control<QAction>(h.w, "ExportRun1")->trigger();
        control<QAction>(h.w, "SavePicture1")->trigger();
        QCOMPARE(h.boxes.size(), size_t(2));
        for (const ShownBox &box : h.boxes) {
            QCOMPARE(box.icon, QMessageBox::Critical);
            QCOMPARE(box.format, Qt::PlainText);
            const QString prefix =
                QStringLiteral("Could not write \"%1\": ").arg(QDir::toNativeSeparators(target));
            QVERIFY2(box.text.startsWith(prefix), qPrintable(box.text));
            QVERIFY(box.text.size() > prefix.size() + 3); // the reason
        }
    }
    // No half-written file and no left-over temporary one either.
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList({QStringLiteral("plain"), QStringLiteral("taken.csv")}));

    // The PNG encoder refusing the picture is reported too, and the file already under
    // that name is kept as it was.
    h.boxes.clear();
    h.answer = dir.filePath(QStringLiteral("plain"));
    h.w.reportFiles().savePicture(&h.w, QImage(), h.w.modalRunner);
    QCOMPARE(h.boxes.size(), size_t(1));
    QVERIFY(h.boxes[0].text.contains(QLatin1String("plain")));
    QCOMPARE(readAll(h.answer), "kept");
}

void TestReportFiles::cancelAndFolderMemory() {
    QTemporaryDir dir;
    ReportHarness h;
    const QString first = h.w.reportFiles().lastFolder();
    QVERIFY(QFileInfo(first).isDir());
    control<QPushButton>(h.w, "Kortsluiting")->click();
    control<QAction>(h.w, "ExportRun1")->trigger(); // cancelled: empty answer
    QVERIFY(h.boxes.empty());
    QCOMPARE(h.startPaths.last(), QDir(first).filePath(QStringLiteral("dravex-run-200ms.csv")));
    QCOMPARE(h.w.reportFiles().lastFolder(), first);

    h.answer = dir.filePath(QStringLiteral("a.csv"));
    control<QAction>(h.w, "ExportRun1")->trigger();
    QCOMPARE(h.w.reportFiles().lastFolder(), dir.path());
    h.answer.clear();
    control<QAction>(h.w, "SavePicture1")->trigger();
    QCOMPARE(h.startPaths.last(), dir.filePath(QStringLiteral("dravex.png")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList(QStringLiteral("a.csv")));

    // A folder that is not there is not where the next dialog starts.
    h.answer = dir.filePath(QStringLiteral("gone/b.csv"));
    control<QAction>(h.w, "ExportRun1")->trigger();
    QCOMPARE(h.w.reportFiles().lastFolder(), dir.path());
}

void TestReportFiles::pictureOfTheClientArea() {
    QTemporaryDir dir;
    ReportHarness h;
    h.answer = dir.filePath(QStringLiteral("window.png"));
    control<QPushButton>(h.w, "Kortsluiting")->click();
    control<QAction>(h.w, "SavePicture1")->trigger();
    QVERIFY(h.boxes.empty());
    const QImage picture(h.answer);
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.size(), QSize(h.w.width(), h.w.height() - h.w.menuBar()->height()));
}

void TestReportFiles::standardDialogAddsSuffix() {
    QTemporaryDir dir;
    ReportFiles files;
    const QString start = files.lastFolder();
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QString shownFolder, shownName;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        shownFolder = dialog->directory().absolutePath();
        shownName = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
        dialog->setDirectory(dir.path());
        dialog->selectFile(QStringLiteral("typed"));
        static_cast<QDialog *>(dialog)->accept(); // as the Save button does
    });
    RunRecord run;
    run.clearingMs = 150;
    run.samples.push_back(RunSample{1, 0, true, 30, -0.25, 225});
    files.exportRun(nullptr, &run, {});
    QCOMPARE(QFileInfo(shownFolder).canonicalFilePath(), QFileInfo(start).canonicalFilePath());
    QCOMPARE(shownName, QStringLiteral("dravex-run-150ms.csv"));
    QVERIFY(readAll(dir.filePath(QStringLiteral("typed.csv"))).endsWith("\n1,0,1,30,-0.25,225\n"));
    QCOMPARE(files.lastFolder(), dir.path());
}

QTEST_MAIN(TestReportFiles)
#include "tst_reportfiles.moc"
