// The fault-scenario dialog: what OK stores, what it refuses, and r1 and r2 as typed.
#include "numberformat.h"
#include "scenariodialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

namespace {

QString local(QString text) {
    return text.replace(QChar('.'), systemDecimalSeparator());
}

// Clicks the buttons and fills the fields named in `edits`, e.g. "TwoLinesBtn;EditXg=0.4".
void apply(QDialog &d, const QString &edits) {
    for (const QString &edit : edits.split(';', Qt::SkipEmptyParts)) {
        const QStringList parts = edit.split('=');
        parts.size() == 1 ? d.findChild<QAbstractButton *>(parts[0])->click()
                          : d.findChild<QLineEdit *>(parts[0])->setText(parts[1]);
    }
}

} // namespace

class TestScenarioDlg : public QObject {
    Q_OBJECT
private slots:
    void execute_data();
    void execute();
    void rFollowsTyping_data();
    void rFollowsTyping();
    void enterIsOkEscapeIsCancel();
};

void TestScenarioDlg::execute_data() {
    QTest::addColumn<QString>("edits");   // the last name is the button pressed
    QTest::addColumn<QString>("message"); // its start; empty: none shown
    QTest::addColumn<QString>("focused");
    const auto row = [](const char *name, const QString &edits, const QString &message = {},
                        const char *focused = "") {
        QTest::newRow(name) << local(edits) << message << QString(focused);
    };
    // EditDuring is of a network not chosen: the scenario keeps its own r1.
    row("stored", "TwoLinesBtn;EditXg=0.4;EditDuring=0.7;EditLocation=20;RecloseBox;"
                  "EditRecloseMs=300;PermanentBtn;OKBtn");
    row("cancel", "TwoLinesBtn;EditXg=0.4;RecloseBox;CancelBtn");
    const QString wrong = systemDecimalSeparator() == QChar(',') ? "0.4" : "0,4";
    const QString notNumber = "'%1' is not a valid floating point value.";
    // Each refusal of what was typed names the field, by its caption.
    const QString xl = QStringLiteral("Reactance of each line XL, per-unit: ");
    QTest::newRow("separator") << "TwoLinesBtn;EditXL=" + wrong + ";OKBtn"
                               << xl + notNumber.arg(wrong) << "EditXL";
    row("letters", "TransferBtn;EditAfter=abc;OKBtn",
        "r2, power after clearing: " + notNumber.arg("abc"), "EditAfter");
    row("Xg 0", "TwoLinesBtn;EditXg=0;OKBtn", "The generator reactance Xg must be above 0",
        "EditXg");
    row("location 100", "TwoLinesBtn;EditLocation=100;OKBtn", "The fault location must lie",
        "EditLocation");
    row("r1 >= r2", "TransferBtn;EditDuring=0.6;EditAfter=0.6;OKBtn",
        "The power after clearing r2 must be above", "EditAfter");
    for (const char *ms : {"0", "-300", "5001", "1e10"})
        row(qPrintable(QString("dead time ") + ms),
            QString("RecloseBox;EditRecloseMs=%1;OKBtn").arg(ms),
            "The dead time before reclosing must lie from 1 to 5000 ms.", "EditRecloseMs");
    row("line out r2 1", "LineOutBtn;EditLineOutAfter=1;OKBtn",
        "The power with the line out r2 must lie above 0 and below 1.", "EditLineOutAfter");
    row("step to 0", "PowerStepBtn;EditPmechAfter=0;OKBtn",
        "The mechanical power after the step P1 must lie above 0", "EditPmechAfter");
    row("two lines' fields not numbers", "LineOutBtn;EditXL=x;FromTwoLinesBtn;CancelBtn",
        xl + notNumber.arg("x"), "");
    row("dead time 2.5", "RecloseBox;EditRecloseMs=2.5;OKBtn",
        "The dead time before reclosing must be a whole number", "EditRecloseMs");
}

void TestScenarioDlg::execute() {
    QFETCH(QString, edits);
    QFETCH(QString, message);
    QFETCH(QString, focused);
    const FaultScenario before{Network::Busbar, 0.5, 0.3, 50, 0.2};
    FaultScenario s = before;
    QStringList boxes;
    QString focus;
    const bool ok = ScenarioDialog::edit(nullptr, s, [&](QDialog &d) {
        if (auto *box = qobject_cast<QMessageBox *>(&d)) {
            boxes << box->text();
            return int(QDialog::Accepted);
        }
        apply(d, edits);
        if (d.result() == QDialog::Accepted || !edits.endsWith("OKBtn")) return d.result();
        focus = d.focusWidget() ? d.focusWidget()->objectName() : QString();
        d.findChild<QPushButton *>("CancelBtn")->click(); // refused: the dialog is still open
        return d.result();
    });
    const bool stored = QByteArray(QTest::currentDataTag()) == "stored";
    QCOMPARE(ok, stored);
    QVERIFY(s == (stored ? FaultScenario{Network::TwoLines, 0.4, 0.3, 20, 0.2, 1, 300,
                                         RecloseOnto::Permanent}
                         : before));
    QCOMPARE(boxes.size(), message.isEmpty() ? 0 : 1);
    if (message.isEmpty()) return;
    QVERIFY2(boxes[0].startsWith(message), qPrintable(boxes[0]));
    QCOMPARE(focus, focused);
}

void TestScenarioDlg::rFollowsTyping_data() {
    QTest::addColumn<QString>("edits");
    QTest::addColumn<QString>("shown");
    const auto row = [](const char *name, const char *edits, const char *shown) {
        QTest::newRow(name) << local(edits) << local(shown);
    };
    row("busbar", "", "r1 = 0  r2 = 1");
    row("two lines", "TwoLinesBtn", "r1 = 0.3611  r2 = 0.8125");
    row("not a number", "TwoLinesBtn;EditXL=0.3x", "r1 and r2 follow once the fields are numbers");
    // The fields of a network not chosen do not count.
    row("direct", "EditXg=x;TransferBtn;EditDuring=0.25;EditAfter=0.9", "r1 = 0.25  r2 = 0.9");
    row("power step", "PowerStepBtn;EditPmechAfter=0.8", "No fault: P1 = 0.8 on the whole network");
    // One of two equal lines out, from the two-lines fields: (0.4 + 0.15) / 0.7.
    row("line out of two", "LineOutBtn;EditXg=0.4;FromTwoLinesBtn",
        "No fault: r2 = 0.7857 from the start");
}

void TestScenarioDlg::rFollowsTyping() {
    QFETCH(QString, edits);
    QFETCH(QString, shown);
    ScenarioDialog d(nullptr, FaultScenario{});
    apply(d, edits);
    QCOMPARE(d.findChild<QLabel *>(QStringLiteral("LabelR"))->text(), shown);
}

void TestScenarioDlg::enterIsOkEscapeIsCancel() {
    FaultScenario s{Network::TwoLines};
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        QTimer::singleShot(0, [key] {
            auto *d = qobject_cast<ScenarioDialog *>(QApplication::activeModalWidget());
            auto *xl = d->findChild<QLineEdit *>(QStringLiteral("EditXL"));
            xl->setText(QStringLiteral("2"));
            QTest::keyClick(xl, key);
        });
        QCOMPARE(ScenarioDialog::edit(nullptr, s), key == Qt::Key_Return);
        QCOMPARE(s.lineReactance, key == Qt::Key_Return ? 2.0 : 0.3);
    }
}

QTEST_MAIN(TestScenarioDlg)
#include "tst_scenariodlg.moc"
