// The report files: the last run as CSV and the picture of the window, through the file
// dialog, with the folder remembered and failures reported.
#include "dravonharness.h"
#include "numberformat.h"
#include "runcsv.h"

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

} // namespace

class TestReportFiles : public QObject {
    Q_OBJECT
private slots:
    void csvOfDefaultRun();
    void nothingToExportBeforeARun();
    void failedWritesLeaveNoFileAndSayWhy();
    void cancelAndFolderMemory();
    void pictureOfTheClientArea();
    void standardDialogAddsSuffix();
};

void TestReportFiles::csvOfDefaultRun() {
    // File > Export run writes the last run's CSV; its last row is what the read-outs show.
    QTemporaryDir dir;
    ReportHarness h;
    h.answer = dir.filePath(QStringLiteral("run.csv"));
    control<QPushButton>(h.w, "Kortsluiting")->click();
    control<QAction>(h.w, "ExportRun1")->trigger();
    QVERIFY(h.boxes.empty());
    const QByteArray csv = readAll(h.answer);
    QCOMPARE(csv, runCsv(*h.w.session().history().last()));
    const QList<QByteArray> f = csv.trimmed().split('\n').last().split(',');
    QCOMPARE(f[0], "3334");
    const auto shown = [&](int c) {
        return formatGeneral(f[c].toDouble(), systemDecimalSeparator());
    };
    QCOMPARE(shown(1), control<QLineEdit>(h.w, "EdittotTijd")->text());
    QCOMPARE(shown(3), control<QLineEdit>(h.w, "EditDelta")->text());
    QCOMPARE(shown(4), control<QLineEdit>(h.w, "EditDomega")->text());
    QCOMPARE(shown(5), control<QLineEdit>(h.w, "EditPelek")->text());
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
