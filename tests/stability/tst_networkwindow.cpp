// The network window's own wiring: a press on the diagram puts the fault there, the
// screening's table sorts by its numbers, and a refused file is reported.
#include "networkwindow.h"
#include "onelinediagram.h"

#include <QMessageBox>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QtTest>

using namespace multimachine;

namespace {

const QString NineBus = QStringLiteral(EXAMPLES_DIR "/networks/wscc-9bus.dravex-network");

} // namespace

class TestNetworkWindow : public QObject {
    Q_OBJECT
private slots:
    void pressOnTheDiagramPutsTheFault_data();
    void pressOnTheDiagramPutsTheFault();
    void screeningSortsByNumber();
    void refusedFileIsReported();
};

void TestNetworkWindow::pressOnTheDiagramPutsTheFault_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to"); // 0: the bus `from` itself
    QTest::newRow("bus 8") << 8 << 0;
    QTest::newRow("line 6-9, halfway") << 6 << 9;
}

void TestNetworkWindow::pressOnTheDiagramPutsTheFault() {
    QFETCH(int, from);
    QFETCH(int, to);
    NetworkWindow w;
    QVERIFY(w.openFile(NineBus));
    w.resize(1000, 700);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto *diagram = w.findChild<OneLineDiagram *>(QStringLiteral("OneLineDiagram"));
    QVERIFY(diagram);
    QPointF at = diagram->busPoint(from);
    if (to) at = (at + diagram->busPoint(to)) / 2;
    QTest::mouseClick(diagram, Qt::LeftButton, {}, at.toPoint());
    const FaultSpec &f = w.session().fault();
    if (to) {
        QVERIFY(f.line && f.line->from == from && f.line->to == to);
        QVERIFY(f.openLine && *f.openLine == *f.line);
    } else {
        QCOMPARE(f.bus.value_or(0), from);
    }
}

void TestNetworkWindow::screeningSortsByNumber() {
    NetworkWindow w;
    QVERIFY(w.openFile(NineBus));
    QSignalSpy finished(&w.session(), &NetworkSession::screeningFinished);
    w.findChild<QAction *>(QStringLiteral("ScreenLinesAction"))->trigger();
    QVERIFY(finished.wait(20000));
    QAbstractItemModel *rows = w.screeningTable()->model();
    QCOMPARE(rows->rowCount(), 18); // nine branches, two ends each
    // By the simulation's critical clearing time as a number, not as text ("95" after
    // "120"), both ways.
    for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        w.screeningTable()->sortByColumn(2, order);
        for (int r = 1; r < rows->rowCount(); ++r) {
            const double before = rows->index(r - 1, 2).data(Qt::UserRole).toDouble();
            const double after = rows->index(r, 2).data(Qt::UserRole).toDouble();
            QVERIFY(order == Qt::AscendingOrder ? before <= after : before >= after);
        }
    }
}

void TestNetworkWindow::refusedFileIsReported() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.dravex-network"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[network]\nfrequency = 55\n");
    file.close();
    NetworkWindow w;
    QString shown;
    w.modalRunner = [&shown](QDialog &d) {
        if (auto *box = qobject_cast<QMessageBox *>(&d)) shown = box->text();
        return int(QMessageBox::Ok);
    };
    QVERIFY(!w.openFile(path));
    QVERIFY2(shown.contains(QStringLiteral("bad.dravex-network, line 2")), qPrintable(shown));
    QVERIFY(w.session().grid().buses.empty());
}

QTEST_MAIN(TestNetworkWindow)
#include "tst_networkwindow.moc"
