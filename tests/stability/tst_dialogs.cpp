// The generator data dialog and the clearing-time dialog: what they show, what they
// store, what they refuse, and how a run goes on around them.
#include "controls.h"
#include "dravonharness.h"
#include "equalareastatus.h"
#include "gen_dlg_new.h"
#include "imagecontrol.h"
#include "numberformat.h"
#include "scenariodialog.h"
#include "schak_dlg.h"
#include "textconvert.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QtTest>

namespace {

const double C = 314.15926535897932384;

QString local(const char *text) {
    return QString::fromUtf8(text).replace(QChar('.'), systemDecimalSeparator());
}

QStringList fieldsOf(const TGenDlg &d) {
    return {d.EditPmax->text(), d.EditH->text(), d.EditDemping->text(), d.EditPmech->text()};
}

// A right-click on a symbol of the one-line diagram.
void rightClick(QWidget *symbol) {
    QTest::mousePress(symbol, Qt::RightButton, {}, QPoint(4, 4));
}

// The same right-click, arriving while the present step's events are handled.
void rightClickDuringRun(QWidget *symbol) {
    QTimer::singleShot(0, symbol, [symbol] { rightClick(symbol); });
}

bool sameParams(const TGenParams &a, const TGenParams &b) {
    return a.Pmax == b.Pmax && a.H == b.H && a.Demping == b.Demping && a.Pmech == b.Pmech;
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
private slots:
    void init() { zoomSettings().remove("View/zoom"); }
    void cleanup() { zoomSettings().remove("View/zoom"); }
    void generatorDialogShowsCurrentValues();
    void unchangedOkRedrawsNothing();
    void cancelResetsMachineData();
    void pmechKeyFilter();
    void malformedFieldKeepsDialogOpen_data();
    void malformedFieldKeepsDialogOpen();
    void meaninglessValuesRefused_data();
    void meaninglessValuesRefused();
    void changedPmechRedrawsPowerAngle();
    void clearingDialogShowsAndStores();
    void clearingDialogKeys();
    void clearingFieldFollowsSlider_data();
    void clearingFieldFollowsSlider();
    void clearingPastTheSliderRefused_data();
    void clearingPastTheSliderRefused();
    void clearingTypedAtOnce_data();
    void clearingTypedAtOnce();
    void captionsFit();
    void zoomedScenarioDialogHoldsItsDeadTime();
    void dialogsDuringRun();
    void firstRunFollowsChangedMachineData();
};

void TestDialogs::generatorDialogShowsCurrentValues() {
    DravonHarness h;
    QList<QStringList> shown;
    QStringList titles;
    h.onDialog = [&](QDialog &d) {
        auto &g = dynamic_cast<TGenDlg &>(d);
        shown << fieldsOf(g);
        titles << g.windowTitle();
        g.EditPmax->setText(local("500.5"));
        g.OKBtn->click();
        return g.result();
    };
    QWidget *symbols[] = {
        control<MouseLabel>(h.w, "Generator"), control<ShapeControl>(h.w, "Shape1"),
        control<ShapeControl>(h.w, "Shape2"), control<MouseLabel>(h.w, "swingbus")};
    for (QWidget *symbol : symbols) rightClick(symbol);
    QCOMPARE(shown.size(), 4);
    QCOMPARE(titles[3], QStringLiteral("Generator gegevens"));
    QCOMPARE(shown[0], (QStringList{"450", "6", "2E-5", local("0.5")}));
    // The second showing has the value stored by the first, copied into the generator.
    QCOMPARE(shown[1], (QStringList{local("500.5"), "6", "2E-5", local("0.5")}));
    QCOMPARE(h.w.session().machineData().Pmax, 500.5);
    QCOMPARE(h.w.session().generator().Pmax, 500.5);
}

void TestDialogs::unchangedOkRedrawsNothing() {
    DravonHarness h;
    h.onStep = [&h](int n) {
        if (n == 300) h.clickDuringRun();
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    const QImage before = control<ImageControl>(h.w, "ImageSinus")->surface().image().copy();
    const QString areas = h.w.equalAreaStatus()->Areas->text();
    const TGenParams params = h.w.session().machineData();
    h.onDialog = [](QDialog &d) {
        dynamic_cast<TGenDlg &>(d).OKBtn->click();
        return d.result();
    };
    rightClick(control<MouseLabel>(h.w, "Generator"));
    QVERIFY(sameParams(h.w.session().machineData(), params));
    QCOMPARE(control<ImageControl>(h.w, "ImageSinus")->surface().image(),
             before); // the areas are still there
    QCOMPARE(h.w.equalAreaStatus()->Areas->text(), areas);
}

void TestDialogs::cancelResetsMachineData() {
    DravonHarness h;
    h.w.session().setMachineData(
        TGenParams{450, 9, 0.00002, 0.5}); // as a refused OK might have left it
    h.onDialog = [](QDialog &d) {
        auto &g = dynamic_cast<TGenDlg &>(d);
        g.EditH->setText(QStringLiteral("3"));
        g.CancelBtn->click();
        return g.result();
    };
    rightClick(control<ShapeControl>(h.w, "Shape1"));
    QVERIFY(sameParams(h.w.session().machineData(), TGenParams{}));
    QCOMPARE(h.w.session().generator().H, 6.0);
}

void TestDialogs::pmechKeyFilter() {
    // Runs in a full-stop and in a comma locale: only digits, backspace and the
    // user's own decimal separator can be typed into the Pmech field.
    TGenDlg d(nullptr, {});
    d.EditPmech->clear();
    QTest::keyClicks(d.EditPmech, QStringLiteral("-1.5e,2E+x 3"));
    const bool comma = systemDecimalSeparator() == QChar(',');
    QCOMPARE(d.EditPmech->text(), comma ? QStringLiteral("15,23") : QStringLiteral("1.523"));
    QTest::keyClick(d.EditPmech, Qt::Key_Backspace);
    QCOMPARE(d.EditPmech->text(), comma ? QStringLiteral("15,2") : QStringLiteral("1.52"));
    QTest::keyClick(d.EditPmech, Qt::Key_Home);
    QTest::keyClick(d.EditPmech, Qt::Key_Delete);
    QCOMPARE(d.EditPmech->text().size(), 3);
    // The other fields take any character.
    for (QLineEdit *field : {d.EditPmax, d.EditH, d.EditDemping}) {
        field->clear();
        QTest::keyClicks(field, QStringLiteral("-1.5e,2"));
        QCOMPARE(field->text(), QStringLiteral("-1.5e,2"));
    }
    QChar key('7');
    d.EditPmechKeyPress(key);
    QCOMPARE(key, QChar('7'));
    key = QChar('-');
    d.EditPmechKeyPress(key);
    QVERIFY(key.isNull());
}

void TestDialogs::malformedFieldKeepsDialogOpen_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    const QString otherSeparator = systemDecimalSeparator() == QChar(',') ? "1.5" : "1,5";
    for (int field = 0; field < 4; ++field)
        for (const QString &text :
             {QString(), QStringLiteral("abc"), otherSeparator, QStringLiteral("1e400"),
              QStringLiteral("inf"), QStringLiteral("1<br>2")})
            QTest::addRow("field %d '%s'", field, qPrintable(text)) << field << text;
}

void TestDialogs::malformedFieldKeepsDialogOpen() {
    QFETCH(int, field);
    QFETCH(QString, text);
    DravonHarness h;
    QStringList typed;
    bool stillOpen = false, focused = false, selected = false;
    h.onDialog = [&](QDialog &d) {
        auto &g = dynamic_cast<TGenDlg &>(d);
        QLineEdit *fields[] = {g.EditPmax, g.EditH, g.EditDemping, g.EditPmech};
        g.EditH->setText(QStringLiteral("7")); // a valid change that must not be stored
        fields[field]->setText(text);          // typed or pasted past the key filter
        typed = fieldsOf(g);
        g.OKBtn->click();
        stillOpen = g.result() != QDialog::Accepted && fieldsOf(g) == typed;
        focused = g.focusWidget() == fields[field];
        selected = fields[field]->selectedText() == text;
        g.CancelBtn->click();
        return g.result();
    };
    rightClick(control<MouseLabel>(h.w, "Generator"));
    QCOMPARE(int(h.boxes.size()), 1);
    // The message names the field it stands for.
    const char *names[] = {"Pmax", "H", "Demping", "Pmech"};
    QCOMPARE(h.boxes[0].text, QStringLiteral("%1: '%2' is not a valid floating point value.")
                                  .arg(QLatin1String(names[field]), text));
    QCOMPARE(h.boxes[0].icon, QMessageBox::Critical);
    // What was typed is shown as typed: "1<br>2" must not break the line.
    QCOMPARE(h.boxes[0].format, Qt::PlainText);
    QVERIFY(stillOpen);
    QVERIFY(focused);
    QVERIFY(selected);
    QVERIFY(sameParams(h.w.session().machineData(), TGenParams{}));
    QCOMPARE(h.w.session().generator().H, 6.0);
}

void TestDialogs::meaninglessValuesRefused_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // empty: accepted
    const QString pmax = "Pmax must be greater than 0.", h = "H must be greater than 0.",
                  pmech = "Pmech must lie from 0 to 1.", demping = "Demping must be 0 or more";
    QTest::newRow("Pmax 0") << 0 << "0" << pmax;
    QTest::newRow("Pmax negative") << 0 << "-450" << pmax;
    QTest::newRow("H 0") << 1 << "0" << h;
    QTest::newRow("H negative") << 1 << "-1" << h;
    QTest::newRow("Demping negative") << 2 << "-1E-6" << demping;
    QTest::newRow("Demping removes all in a step")
        << 2 << "0.04" << local("Demping must be 0 or more and below 2H/\u03C9s \u2248 0.0382 (");
    QTest::newRow("Demping just below the limit") << 2 << "0.038" << QString();
    QTest::newRow("Demping 0") << 2 << "0" << QString();
    QTest::newRow("Pmech negative (pasted)") << 3 << "-0.1" << pmech;
    QTest::newRow("Pmech above 1") << 3 << "1.5" << pmech;
    QTest::newRow("Pmech 0") << 3 << "0" << QString();
    QTest::newRow("Pmech 1") << 3 << "1" << QString();
    // The inertia coefficient 2 H Pmax / C^2 would underflow to 0: the speed step
    // divides by it.
    // The refusal gives the field's limit beside the other field's value, in the
    // read-outs' number format.
    QTest::newRow("Pmax below the normal doubles")
        << 0 << "1e-320" << local("Pmax must be at least about 1.83E-304 with H = 6 s: beyond");
    QTest::newRow("H 1e-306") << 1 << "1e-306"
                              << local(
                                     "H must be at least about 2.44E-306 with Pmax = 450: beyond");
    QTest::newRow("Pmax 1e300") << 0 << "1e300" << QString();
}

void TestDialogs::meaninglessValuesRefused() {
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    DravonHarness h;
    bool closedWithOk = false, focused = false;
    h.onDialog = [&](QDialog &d) {
        auto &g = dynamic_cast<TGenDlg &>(d);
        QLineEdit *fields[] = {g.EditPmax, g.EditH, g.EditDemping, g.EditPmech};
        fields[field]->setText(local(qPrintable(text)));
        g.OKBtn->click();
        closedWithOk = g.result() == QDialog::Accepted;
        if (!closedWithOk) {
            focused = g.focusWidget() == fields[field];
            g.CancelBtn->click();
        }
        return g.result();
    };
    rightClick(control<MouseLabel>(h.w, "Generator"));
    if (message.isEmpty()) {
        QVERIFY(closedWithOk);
        QVERIFY(h.boxes.empty());
        const TGenParams &m = h.w.session().machineData();
        const double *stored[] = {&m.Pmax, &m.H, &m.Demping, &m.Pmech};
        QCOMPARE(*stored[field], textToFloat(text, QChar('.')));
        return;
    }
    QVERIFY(!closedWithOk);
    QVERIFY(focused);
    QCOMPARE(int(h.boxes.size()), 1);
    QVERIFY2(h.boxes[0].text.startsWith(message), qPrintable(h.boxes[0].text));
    QVERIFY(sameParams(h.w.session().machineData(), TGenParams{}));
}

void TestDialogs::changedPmechRedrawsPowerAngle() {
    DravonHarness h;
    h.onStep = [&h](int n) {
        if (n == 200) h.clickDuringRun();
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    h.onDialog = [](QDialog &d) {
        auto &g = dynamic_cast<TGenDlg &>(d);
        g.EditPmech->setText(local("0.8"));
        g.OKBtn->click();
        return g.result();
    };
    rightClick(control<MouseLabel>(h.w, "swingbus"));
    QCOMPARE(h.w.session().generator().Pmech, 0.8);
    // Blank, then axes, curve and the new Pmech line; the areas and the block are gone.
    const DrawSurface &s = control<ImageControl>(h.w, "ImageSinus")->surface();
    const int yP = h.w.plots().sinus->Vermogen2Y(0.8);
    QCOMPARE(s.pixel(40, yP), clGreen);
    QCOMPARE(s.pixel(40, 54), clWhite);
    int lime = 0, black = 0;
    for (int y = 0; y < 168; ++y)
        for (int x = 0; x < 281; ++x) {
            lime += s.pixel(x, y) == clLime;
            black += s.pixel(x, y) == clBlack;
        }
    QCOMPARE(lime, 0);
    QCOMPARE(black, 0);
}

void TestDialogs::clearingDialogShowsAndStores() {
    DravonHarness h;
    QStringList labels;
    int move = 0;
    bool cancel = false;
    h.onDialog = [&](QDialog &d) {
        auto &s = dynamic_cast<TSchakDlg &>(d);
        labels << s.windowTitle() << s.LabelAfschakeltNew->text();
        s.TBAfschakeltijd->setValue(move);
        labels << s.LabelAfschakeltNew->text();
        (cancel ? s.CancelBtn : s.OKBtn)->click();
        return s.result();
    };
    cancel = true;
    move = 321;
    rightClick(control<ShapeControl>(h.w, "Rail"));
    QCOMPARE(h.w.session().clearingTime(), 200);
    cancel = false;
    move = 0;
    rightClick(control<ShapeControl>(h.w, "Rail"));
    QCOMPARE(h.w.session().clearingTime(), 0);
    move = 900; // the slider keeps to its range
    rightClick(control<ShapeControl>(h.w, "Rail"));
    QCOMPARE(h.w.session().clearingTime(), 500);
    QCOMPARE(labels, (QStringList{"Clearing time", "200", "321", "Clearing time", "200", "0",
                                  "Clearing time", "0", "500"}));

    // Opened at 250: the slider does not move, and the layout's "250" is right.
    h.w.session().setClearingTime(250);
    labels.clear();
    move = 250;
    rightClick(control<ShapeControl>(h.w, "Rail"));
    QCOMPARE(labels, (QStringList{"Clearing time", "250", "250"}));
    QCOMPARE(h.w.session().clearingTime(), 250);
}

void TestDialogs::clearingDialogKeys() {
    // The real modal dialog: arrow and page keys move by 1 ms, Enter is OK, Escape is
    // Cancel.
    std::int32_t value = 200;
    QTimer::singleShot(0, [] {
        auto *d = qobject_cast<TSchakDlg *>(QApplication::activeModalWidget());
        QVERIFY(d);
        QTest::keyClick(d->TBAfschakeltijd, Qt::Key_Right);
        QTest::keyClick(d->TBAfschakeltijd, Qt::Key_PageUp);
        QTest::keyClick(d->TBAfschakeltijd, Qt::Key_Right);
        QTest::keyClick(d->TBAfschakeltijd, Qt::Key_Left);
        QCOMPARE(d->LabelAfschakeltNew->text(), QStringLiteral("202"));
        QTest::keyClick(d, Qt::Key_Escape);
    });
    QVERIFY(!TSchakDlg::Execute(nullptr, value));
    QCOMPARE(value, 200);
    QTimer::singleShot(0,
                       [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
    QVERIFY(TSchakDlg::Execute(nullptr, value));
    QCOMPARE(value, 200);

    // The generator dialog likewise: Enter right after opening is OK.
    const TMyGenerator g{TGenParams{}};
    TGenParams params;
    params.H = 1;
    QTimer::singleShot(0,
                       [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
    QVERIFY(TGenDlg::Execute(nullptr, g, params));
    QVERIFY(sameParams(params, TGenParams{}));
}

void TestDialogs::clearingFieldFollowsSlider_data() {
    QTest::addColumn<QString>("typed"); // into the field; empty: the key on the slider
    QTest::addColumn<int>("key");       // on the slider, or closing the dialog
    QTest::addColumn<int>("stored");
    const int enter = Qt::Key_Return;
    QTest::newRow("typed, Enter") << "376" << enter << 376;
    QTest::newRow("typed 0") << "0" << enter << 0;
    QTest::newRow("typed 500, Escape") << "500" << int(Qt::Key_Escape) << 200;
    QTest::newRow("slider to 0") << "" << int(Qt::Key_Home) << 0;
    QTest::newRow("slider to 500") << "" << int(Qt::Key_End) << 500;
}

void TestDialogs::clearingFieldFollowsSlider() {
    // Field, slider and live value show one time, whichever is moved; Enter in either
    // stores it, Escape leaves the clearing time as it was.
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(int, stored);
    std::int32_t value = 200;
    QList<int> shown;
    TSchakDlg::Execute(nullptr, value, [&](QDialog &d) {
        auto &s = dynamic_cast<TSchakDlg &>(d);
        s.show(); // Enter presses the default button only when it is shown
        QWidget *control =
            typed.isEmpty() ? static_cast<QWidget *>(s.TBAfschakeltijd) : s.SpinAfschakeltijd;
        s.SpinAfschakeltijd->selectAll();
        typed.isEmpty() ? QTest::keyClick(control, Qt::Key(key)) : QTest::keyClicks(control, typed);
        shown << s.TBAfschakeltijd->value() << s.LabelAfschakeltNew->text().toInt()
              << s.SpinAfschakeltijd->value();
        QTest::keyClick(control, typed.isEmpty() ? Qt::Key_Return : Qt::Key(key));
        return s.result();
    });
    const int moved = key == Qt::Key_Escape ? typed.toInt() : stored;
    QCOMPARE(shown, (QList<int>{moved, moved, moved}));
    QCOMPARE(value, stored);
}

void TestDialogs::clearingPastTheSliderRefused_data() {
    // A time beyond the slider is kept as typed and refused with the range, not cut short.
    QTest::addColumn<QString>("typed");
    QTest::newRow("600") << "600";
    QTest::newRow("ten digits") << "2147483647";
}

void TestDialogs::clearingPastTheSliderRefused() {
    QFETCH(QString, typed);
    std::int32_t value = 200;
    QStringList messages;
    int shown = -1;
    bool closed = true;
    const ModalRunner answer = [&](QDialog &d) {
        if (auto *box = qobject_cast<QMessageBox *>(&d)) {
            messages << box->text();
            return int(QMessageBox::Ok);
        }
        d.show();
        QTest::keyClicks(d.focusWidget(), typed);
        QTest::keyClick(d.focusWidget(), Qt::Key_Return);
        shown = dynamic_cast<TSchakDlg &>(d).SpinAfschakeltijd->value();
        closed = !d.isVisible();
        return d.result();
    };
    QVERIFY(!TSchakDlg::Execute(nullptr, value, answer));
    QCOMPARE(messages, QStringList{"The clearing time must lie from 0 to 500 ms."});
    QCOMPARE(QString::number(shown), typed);
    QVERIFY(!closed);
    QCOMPARE(value, 200);
}

void TestDialogs::clearingTypedAtOnce_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key"); // closing the dialog
    QTest::addColumn<int>("stored");
    const int enter = Qt::Key_Return;
    QTest::newRow("376, Enter") << 200 << "376" << enter << 376;
    QTest::newRow("0 over 500, Enter") << 500 << "0" << enter << 0;
    QTest::newRow("40 over 250, Enter") << 250 << "40" << enter << 40;
    QTest::newRow("376, Escape") << 200 << "376" << int(Qt::Key_Escape) << 200;
}

void TestDialogs::clearingTypedAtOnce() {
    // Keys pressed as soon as the dialog opens go to the number field and replace the
    // time it shows.
    QFETCH(int, before);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(int, stored);
    std::int32_t value = before;
    TSchakDlg::Execute(nullptr, value, [&](QDialog &d) {
        d.show(); // Enter presses the default button only when it is shown
        QWidget *keyboard = d.focusWidget();
        if (!keyboard) return int(QDialog::Rejected);
        QTest::keyClicks(keyboard, typed);
        QTest::keyClick(keyboard, Qt::Key(key));
        return d.result();
    });
    QCOMPARE(value, stored);
}

void TestDialogs::captionsFit() {
    // Every caption is wholly shown, inside the frame, and clear of its neighbours.
    TGenDlg gen(nullptr, {});
    TSchakDlg schak(nullptr);
    schak.TBAfschakeltijd->setValue(500);
    for (QDialog *d : {static_cast<QDialog *>(&gen), static_cast<QDialog *>(&schak)}) {
        d->show();
        const QList<QLabel *> labels = d->findChildren<QLabel *>();
        for (QLabel *label : labels) {
            const QString name = label->objectName();
            QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(name));
            QVERIFY2(d->rect().contains(label->geometry()), qPrintable(name));
            for (QLabel *other : labels)
                if (other != label)
                    QVERIFY2(!label->geometry().intersects(other->geometry()), qPrintable(name));
        }
        for (QPushButton *b : d->findChildren<QPushButton *>())
            QVERIFY(b->fontMetrics().horizontalAdvance(b->text()) + 6 <= b->width());
    }
    for (QLabel *label : {gen.LabelPmax, gen.LabelH, gen.LabelDemping, gen.LabelPmech})
        QCOMPARE(label->geometry().right() + 1, 82);
}

void TestDialogs::dialogsDuringRun() {
    DravonHarness h;
    QStringList pelek;
    int stepsAtDialog = -1;
    h.onStep = [&](int n) {
        pelek << control<QLineEdit>(h.w, "EditPelek")->text();
        if (n == 20) rightClickDuringRun(control<ShapeControl>(h.w, "Rail"));
        if (n == 100) rightClickDuringRun(control<MouseLabel>(h.w, "Generator"));
        if (n == 102) h.clickDuringRun();
    };
    h.onDialog = [&](QDialog &d) {
        stepsAtDialog = int(h.steps.size());
        if (auto *s = qobject_cast<TSchakDlg *>(&d)) {
            s->TBAfschakeltijd->setValue(30); // shortened while the fault is on
            s->OKBtn->click();
        } else {
            auto &g = dynamic_cast<TGenDlg &>(d);
            g.EditPmax->setText(QStringLiteral("900"));
            g.OKBtn->click();
        }
        return d.result();
    };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    QCOMPARE(stepsAtDialog, 100); // the run waited in step 100's events
    QCOMPARE(int(h.steps.size()), 102);
    QCOMPARE(h.w.session().clearingTime(), 30);
    // The fault was on through step 20 and cleared from step 21 on.
    QCOMPARE(pelek[19], QStringLiteral("0"));
    QVERIFY(pelek[20] != QStringLiteral("0"));
    // Pmax doubled from step 101 on: the read-out shows sin(delta) times the new Pmax.
    const double before = textToFloat(pelek[99]), after = textToFloat(pelek[100]);
    QVERIFY(after > 1.7 * before && after < 2.3 * before);
    QCOMPARE(h.w.session().generator().Pmax, 900.0);
    // The run's areas are marked as of earlier data, also after an unchanged OK.
    rightClick(control<MouseLabel>(h.w, "Generator"));
    QVERIFY(h.w.equalAreaStatus()->Areas->text().startsWith("Run on earlier data: A1 = "));
}

void TestDialogs::firstRunFollowsChangedMachineData() {
    // An unchanged OK: the start-up generator serves the first run.
    {
        DravonHarness h;
        const TMyGenerator *startup = &h.w.session().generator();
        h.onDialog = [](QDialog &d) {
            dynamic_cast<TGenDlg &>(d).OKBtn->click();
            return d.result();
        };
        rightClick(control<MouseLabel>(h.w, "Generator"));
        h.onStep = [&h](int) { h.clickDuringRun(); };
        control<QPushButton>(h.w, "Kortsluiting")->click();
        QCOMPARE(&h.w.session().generator(), startup);
    }
    // A new H or Pmech before the first run: the run starts from a generator made from
    // them, with its own inertia and starting angle.
    DravonHarness h;
    h.onDialog = [](QDialog &d) {
        auto &g = dynamic_cast<TGenDlg &>(d);
        g.EditH->setText(QStringLiteral("12"));
        g.EditPmech->setText(local("0.6"));
        g.OKBtn->click();
        return d.result();
    };
    rightClick(control<MouseLabel>(h.w, "Generator"));
    h.onStep = [&h](int) { h.clickDuringRun(); };
    control<QPushButton>(h.w, "Kortsluiting")->click();
    const TMyGenerator &g = h.w.session().generator();
    QVERIFY(std::fabs(g.M - 12 * 450 * 2 / (C * C)) < 1e-15);
    QVERIFY(std::fabs(g.Delta0 - std::asin(0.6)) < 1e-15);
    QVERIFY(std::fabs(g.Domega - C / 24 * 0.6 * 0.003) < 1e-12);
    // The phase plane was started again from the new starting angle.
    QCOMPARE(h.w.plots().fase->FasePunt->x(), h.w.plots().fase->FaseHoek2X(g.Delta));
}

void TestDialogs::zoomedScenarioDialogHoldsItsDeadTime() {
    // Opened from a window at 200 %, the dead time's field holds as many digits as at
    // 100 %: its text needs the frame and a margin of 2 on either side.
    DravonHarness h;
    zoomTo(h.w, 200);
    int room = -1;
    h.onDialog = [&room](QDialog &d) {
        auto *e = d.findChild<QLineEdit *>(QStringLiteral("EditRecloseMs"));
        d.show();
        e->setText(QStringLiteral("0000000"));
        room = e->width() - 4 - 2 * e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) -
               e->fontMetrics().horizontalAdvance(e->text());
        return int(QDialog::Rejected);
    };
    control<QAction>(h.w, "FaultScenario1")->trigger();
    QVERIFY(room >= 0);
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
