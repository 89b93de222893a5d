// Help > Help and Help > About in Dravex: the menu opens the shared dialogs with
// Dravex's text and picture, a run waits while they are open, and the real modal
// dialogs close and are gone again.
#include "../common/helptexts.h"
#include "dravonharness.h"
#include "picturecontrol.h"
#include "uabout.h"
#include "uhelp.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QtTest>

class TestHelpAbout : public QObject {
    Q_OBJECT
private slots:
    void menuOpensDravexDialogs();
    void runWaitsWhileOpen();
    void realDialogsFromTheMenu();
};

void TestHelpAbout::menuOpensDravexDialogs() {
    DravonHarness h;
    QStringList shown;
    QSize controlSize, pictureSize;
    h.onDialog = [&](QDialog &d) {
        if (auto *help = qobject_cast<TOKRightDlg *>(&d)) shown << help->Memo1->toPlainText();
        if (auto *about = qobject_cast<TAboutBox *>(&d)) {
            shown << about->ProductName->text();
            controlSize = about->ProgramIcon->size();
            pictureSize = about->ProgramIcon->picture().size();
        }
        return int(QDialog::Accepted);
    };
    control<QAction>(h.w, "Help2")->trigger();
    control<QAction>(h.w, "About1")->trigger();
    QCOMPARE(shown,
             (QStringList{helpLines(DravexHelpText).join(QChar('\n')), "Product Name : Dravon"}));
    QCOMPARE(controlSize, QSize(65, 57));
    QCOMPARE(pictureSize, QSize(130, 84)); // the JPEG, decoded
}

void TestHelpAbout::runWaitsWhileOpen() {
    // Opened from the menu during a run: no step runs while a dialog is open, and the
    // run goes on when it closes.
    DravonHarness h;
    QList<int> stepsWhileOpen;
    h.onStep = [&h](int n) {
        if (n == 30)
            QMetaObject::invokeMethod(control<QAction>(h.w, "Help2"), "trigger",
                                      Qt::QueuedConnection);
        if (n == 60)
            QMetaObject::invokeMethod(control<QAction>(h.w, "About1"), "trigger",
                                      Qt::QueuedConnection);
        if (n == 90) h.clickDuringRun();
    };
    h.onDialog = [&](QDialog &d) {
        stepsWhileOpen << int(h.steps.size());
        QCoreApplication::processEvents(); // what the dialog's own loop would handle
        stepsWhileOpen << int(h.steps.size());
        d.accept();
        return d.result();
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QCOMPARE(stepsWhileOpen, (QList<int>{30, 30, 60, 60}));
    QCOMPARE(int(h.steps.size()), 90);
}

void TestHelpAbout::realDialogsFromTheMenu() {
    // No runner: the dialogs run their own modal loops and are answered with keys.
    TDravon w;
    QStringList shown;
    for (auto [action, key] : {std::pair{control<QAction>(w, "Help2"), Qt::Key_Escape},
                               std::pair{control<QAction>(w, "Help2"), Qt::Key_Return},
                               std::pair{control<QAction>(w, "About1"), Qt::Key_Return}}) {
        QTimer::singleShot(0, [&shown, key = key] {
            auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!d) return;
            shown << d->metaObject()->className();
            QTest::keyClick(d->focusWidget(), key);
            if (d->isVisible()) shown << QStringLiteral("left open"), d->reject();
        });
        action->trigger();
    }
    QCOMPARE(shown, (QStringList{"TOKRightDlg", "TOKRightDlg", "TAboutBox"}));
    QVERIFY(w.findChildren<QDialog *>().isEmpty()); // each lived for its one showing
}

QTEST_MAIN(TestHelpAbout)
#include "tst_helpabout.moc"
