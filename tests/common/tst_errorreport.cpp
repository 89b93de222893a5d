// The default report of an error that ends a user's action.
#include "errorreport.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

class TestErrorReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QGuiApplication::setApplicationDisplayName(QStringLiteral("Dravex")); }
    void showsMessageWithFullStop();
    void keepsAnExistingFullStop();
    void runsModallyAndReturns();
    void showsMarkupAsTyped();
};

namespace {

struct Shown {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    Qt::TextFormat format = Qt::AutoText;
};

ModalRunner recorder(Shown &shown) {
    return [&shown](QDialog &dialog) {
        auto &box = dynamic_cast<QMessageBox &>(dialog);
        shown = {box.windowTitle(), box.text(), box.icon(), static_cast<int>(box.buttons().size()),
                 box.textFormat()};
        return int(QMessageBox::Ok);
    };
}

} // namespace

void TestErrorReport::showsMessageWithFullStop() {
    Shown shown;
    showErrorReport(nullptr, QStringLiteral("'abc' is not a valid floating point value"),
                    recorder(shown));
    QCOMPARE(shown.title, QStringLiteral("Dravex"));
    QCOMPARE(shown.text, QStringLiteral("'abc' is not a valid floating point value."));
    QCOMPARE(shown.icon, QMessageBox::Critical);
    QCOMPARE(shown.buttons, 1);
}

void TestErrorReport::keepsAnExistingFullStop() {
    Shown shown;
    showErrorReport(nullptr, QStringLiteral("Pmax must be greater than 0."), recorder(shown));
    QCOMPARE(shown.text, QStringLiteral("Pmax must be greater than 0."));
}

void TestErrorReport::runsModallyAndReturns() {
    // Without a runner the box is modal; a person closes it with OK.
    QString seen;
    QTimer::singleShot(0, [&seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    showErrorReport(nullptr, QStringLiteral("broken"));
    QCOMPARE(seen, QStringLiteral("broken."));
}

void TestErrorReport::showsMarkupAsTyped() {
    // A field's text quoted in the message is the user's, not markup: "<b>" and "<br>"
    // stay as typed in the label that shows them.
    const QString typed =
        QStringLiteral("'1<br>2 <b>bold</b> &amp;' is not a valid floating point value");
    Shown shown;
    showErrorReport(nullptr, typed, recorder(shown));
    QCOMPARE(shown.format, Qt::PlainText);
    QString label;
    QTimer::singleShot(0, [&label] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        for (auto *l : box->findChildren<QLabel *>())
            if (l->text().contains(QStringLiteral("floating")) && l->textFormat() == Qt::PlainText)
                label = l->text();
        box->button(QMessageBox::Ok)->click();
    });
    showErrorReport(nullptr, typed);
    QCOMPARE(label, typed + QChar('.'));
}

QTEST_MAIN(TestErrorReport)
#include "tst_errorreport.moc"
