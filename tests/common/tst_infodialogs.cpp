// The help and About dialogs of both programs: the help texts line by line, the keys
// of the real modal dialogs, a fresh dialog with the unedited text for every showing,
// the About labels, and the logo stretched to the picture's control.
#include "dravexinfo.h"
#include "helptexts.h"
#include "jpegdecode.h"
#include "picturecontrol.h"
#include "selmexinfo.h"

#include <functional>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

Q_DECLARE_METATYPE(HelpDescription)
Q_DECLARE_METATYPE(AboutDescription)

namespace {

// Runs `keys` on the real modal dialog once it shows, then closes whatever is still
// open, so that a dialog that fails to close fails the test instead of hanging it.
void onModal(std::function<void(QDialog &)> keys, bool *leftOpen) {
    QTimer::singleShot(0, [keys, leftOpen] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog) return;
        keys(*dialog);
        *leftOpen = dialog->isVisible();
        if (*leftOpen) dialog->reject();
    });
}

// A key pressed where the keyboard focus is, as a person presses it.
void press(QDialog &dialog, Qt::Key key) {
    QTest::keyClick(dialog.focusWidget() ? dialog.focusWidget() : &dialog, key);
}

// Not resizable, centred on the screen (give or take the frame the platform adds), and
// every caption wholly shown inside its parent and clear of its neighbours.
void checkFrameAndCaptions(const QDialog &d) {
    QCOMPARE(d.minimumSize(), d.maximumSize());
    const QPoint off = d.geometry().center() - d.screen()->availableGeometry().center();
    const QSize frame = d.frameGeometry().size() - d.size();
    QVERIFY(qAbs(off.x()) <= frame.width() + 1 && qAbs(off.y()) <= frame.height() + 1);
    for (QLabel *label : d.findChildren<QLabel *>()) {
        const QString name = label->objectName();
        QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(name));
        const auto *parent = qobject_cast<const QFrame *>(label->parentWidget());
        QVERIFY2(parent->contentsRect().contains(label->geometry()), qPrintable(name));
        for (QWidget *other : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QVERIFY2(other == label || !other->geometry().intersects(label->geometry()),
                     qPrintable(name));
    }
    for (QPushButton *b : d.findChildren<QPushButton *>())
        QVERIFY(b->fontMetrics().horizontalAdvance(b->text()) + 6 <= b->width());
}

QRect redBounds(const QImage &image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c(image.pixel(x, y));
            if (c.red() >= 200 && c.green() <= 80 && c.blue() <= 80) bounds |= QRect(x, y, 1, 1);
        }
    return bounds;
}

} // namespace

class TestInfoDialogs : public QObject {
    Q_OBJECT
private slots:
    void helpText_data();
    void helpText();
    void helpStartsUneditedEveryShowing();
    void helpKeys();
    void aboutLabels_data();
    void aboutLabels();
    void aboutKeys();
    void logoStretchedToControl_data();
    void logoStretchedToControl();
    void selmexKeepsUncompressedPaletteBitmap();
};

void TestInfoDialogs::helpText_data() {
    QTest::addColumn<HelpDescription>("help");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("Dravex") << dravexHelp() << helpLines(DravexHelpText);
    QTest::newRow("Selmex") << selmexHelp() << helpLines(SelmexHelpText);
}

void TestInfoDialogs::helpText() {
    // As the dialog shows it, trailing blanks and double blanks included, in an
    // editable field that wraps lines at its width.
    QFETCH(HelpDescription, help);
    QFETCH(QStringList, expected);
    TOKRightDlg d(nullptr, help);
    d.show();
    const QStringList shown = d.Memo1->toPlainText().split(QChar('\n'));
    for (int i = 0; i < qMin(shown.size(), expected.size()); ++i)
        QVERIFY2(shown[i] == expected[i],
                 qPrintable(QStringLiteral("line %1: [%2]").arg(i + 1).arg(shown[i])));
    QCOMPARE(shown.size(), expected.size());
    QCOMPARE(d.windowTitle(), QStringLiteral("Dialog"));
    QVERIFY(!d.Memo1->isReadOnly());
    QVERIFY(d.Memo1->verticalScrollBar()->isVisible());
    d.Memo1->appendPlainText(QStringLiteral("a line far wider than the field ").repeated(4));
    QVERIFY(d.Memo1->document()->lastBlock().layout()->lineCount() > 1);
    QCOMPARE(d.Memo1->horizontalScrollBar()->maximum(), 0);
    checkFrameAndCaptions(d);
}

void TestInfoDialogs::helpStartsUneditedEveryShowing() {
    // Edited, then closed with OK or Cancel: each showing starts again from the text,
    // in a dialog of its own that is gone when Execute returns.
    QWidget parent;
    QStringList shown;
    int destroyed = 0;
    for (QString button : {"OKBtn", "CancelBtn", "OKBtn"}) {
        const bool ok = TOKRightDlg::Execute(&parent, dravexHelp(), [&](QDialog &d) {
            auto &help = static_cast<TOKRightDlg &>(d);
            connect(&d, &QObject::destroyed, [&destroyed] { ++destroyed; });
            shown << help.Memo1->toPlainText();
            help.Memo1->selectAll();
            QTest::keyClicks(help.Memo1, QStringLiteral("scribbled over"));
            d.findChild<QPushButton *>(button)->click();
            return d.result();
        });
        QCOMPARE(ok, button == "OKBtn");
        QCOMPARE(destroyed, int(shown.size()));
    }
    QCOMPARE(shown, QStringList(3, helpLines(DravexHelpText).join(QChar('\n'))));
}

void TestInfoDialogs::helpKeys() {
    const HelpDescription help = selmexHelp();
    bool leftOpen = true;
    // Enter right after opening (on OK, the first control) is OK; Escape and the close
    // box are Cancel.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        onModal([key](QDialog &d) { press(d, key); }, &leftOpen);
        QVERIFY(TOKRightDlg::Execute(nullptr, help) && !leftOpen);
    }
    onModal([](QDialog &d) { press(d, Qt::Key_Escape); }, &leftOpen);
    QVERIFY(!TOKRightDlg::Execute(nullptr, help) && !leftOpen);
    onModal([](QDialog &d) { d.close(); }, &leftOpen);
    QVERIFY(!TOKRightDlg::Execute(nullptr, help) && !leftOpen);

    // Tab goes OK, Cancel, text field. In the field Enter breaks the line and the
    // dialog stays open; Escape still cancels.
    QStringList focus;
    qsizetype added = 0;
    bool openAfterEnter = false;
    onModal(
        [&](QDialog &d) {
            for (int tab = 0; tab < 3; ++tab) {
                focus << d.focusWidget()->objectName();
                if (tab < 2) press(d, Qt::Key_Tab);
            }
            const auto count = [&d] { return d.findChild<QPlainTextEdit *>()->blockCount(); };
            const int before = count();
            press(d, Qt::Key_Return);
            press(d, Qt::Key_Enter);
            added = count() - before;
            openAfterEnter = d.isVisible();
            press(d, Qt::Key_Escape);
        },
        &leftOpen);
    QVERIFY(!TOKRightDlg::Execute(nullptr, help) && !leftOpen);
    QCOMPARE(focus, (QStringList{"OKBtn", "CancelBtn", "Memo1"}));
    QVERIFY(openAfterEnter);
    QCOMPARE(added, 2);
}

void TestInfoDialogs::aboutLabels_data() {
    QTest::addColumn<AboutDescription>("about");
    QTest::addColumn<QString>("productName");
    QTest::newRow("Dravex") << dravexAbout() << QStringLiteral("Product Name : Dravon");
    QTest::newRow("Selmex") << selmexAbout() << QStringLiteral("Product Name: Selmora");
}

void TestInfoDialogs::aboutLabels() {
    QFETCH(AboutDescription, about);
    QFETCH(QString, productName);
    TAboutBox d(nullptr, about);
    d.show();
    QCOMPARE(d.windowTitle(), QStringLiteral("About"));
    QCOMPARE(d.ProductName->text(), productName);
    QCOMPARE(d.Version->text(), QStringLiteral("Version : 1.0"));
    // The credit line: one line of text, shown whole.
    QVERIFY(!d.CreditLabel->text().trimmed().isEmpty());
    QVERIFY(!d.CreditLabel->text().contains(QChar('\n')));
    QCOMPARE(d.findChildren<QPushButton *>().size(), 1); // OK only, no Cancel
    checkFrameAndCaptions(d);
}

void TestInfoDialogs::aboutKeys() {
    const AboutDescription about = dravexAbout();
    bool leftOpen = true;
    onModal([](QDialog &d) { press(d, Qt::Key_Return); }, &leftOpen);
    QVERIFY(TAboutBox::Execute(nullptr, about) && !leftOpen);
    // Escape does nothing, wherever it is pressed; Enter is OK after it.
    bool openAfterEscape = false;
    onModal(
        [&](QDialog &d) {
            press(d, Qt::Key_Escape);
            QTest::keyClick(&d, Qt::Key_Escape);
            openAfterEscape = d.isVisible();
            press(d, Qt::Key_Enter);
        },
        &leftOpen);
    QVERIFY(TAboutBox::Execute(nullptr, about) && !leftOpen);
    QVERIFY(openAfterEscape);
    // The close box closes it, as a Cancel.
    onModal([](QDialog &d) { d.close(); }, &leftOpen);
    QVERIFY(!TAboutBox::Execute(nullptr, about) && !leftOpen);
    // So does a picture that could not be read: an empty control in a working dialog.
    AboutDescription unreadable = about;
    unreadable.picture = decodeJpeg(dravexLogoJpeg().left(1000));
    QVERIFY(unreadable.picture.isNull());
    onModal([](QDialog &d) { press(d, Qt::Key_Return); }, &leftOpen);
    QVERIFY(TAboutBox::Execute(nullptr, unreadable) && !leftOpen);
}

void TestInfoDialogs::logoStretchedToControl_data() {
    QTest::addColumn<AboutDescription>("about");
    QTest::addColumn<QSize>("controlSize");
    QTest::newRow("Dravex") << dravexAbout() << QSize(65, 57);
    QTest::newRow("Selmex") << selmexAbout() << QSize(65, 50);
}

void TestInfoDialogs::logoStretchedToControl() {
    // The whole logo, squeezed to the control in both directions: the red lettering
    // keeps its place relative to the picture's edges.
    QFETCH(AboutDescription, about);
    QFETCH(QSize, controlSize);
    QCOMPARE(about.picture.size(), QSize(130, 84));
    TAboutBox d(nullptr, about);
    d.show();
    const QImage shown = d.ProgramIcon->grab().toImage();
    QCOMPARE(shown.size(), controlSize);
    const QRect source = redBounds(about.picture), target = redBounds(shown);
    const double sx = controlSize.width() / 130.0, sy = controlSize.height() / 84.0;
    const QRectF want(source.x() * sx, source.y() * sy, source.width() * sx, source.height() * sy);
    for (double edge : {want.left() - target.left(), want.top() - target.top(),
                        want.right() - target.right() - 1, want.bottom() - target.bottom() - 1})
        QVERIFY2(qAbs(edge) <= 1.5, qPrintable(QStringLiteral("red at %1,%2 %3x%4")
                                                   .arg(target.x())
                                                   .arg(target.y())
                                                   .arg(target.width())
                                                   .arg(target.height())));
    QCOMPARE(shown.pixel(0, 0), qRgb(255, 255, 255));
}

void TestInfoDialogs::selmexKeepsUncompressedPaletteBitmap() {
    const QByteArray bmp = selmexLogoBmp();
    QVERIFY(bmp.startsWith("BM"));
    QCOMPARE(bmp.mid(28, 6), QByteArray("\x08\0\0\0\0\0", 6)); // 8 bits a pixel, no compression
    QCOMPARE(selmexAbout().picture.format(), QImage::Format_Indexed8);
}

QTEST_MAIN(TestInfoDialogs)
#include "tst_infodialogs.moc"
