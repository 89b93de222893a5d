// The Selmex main window: the random start, the controls and read-outs, the timer, the
// switching check, the synchroscope aid and the setup dialog.
#include "controls.h"
#include "fakeclock.h"
#include "imagecontrol.h"
#include "numberformat.h"
#include "schakelen.h"
#include "selmexfile.h"
#include "switchboardwindow.h"
#include "synchronisingpanel.h"
#include "taskpanel.h"
#include "uselmora.h"
#include "usetup.h"
#include "viewzoom.h"

#include <memory>
#include <QAbstractButton>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

QString local(const char *text) {
    return QString::fromUtf8(text).replace(QChar('.'), systemDecimalSeparator());
}

// The window's controls, found by the layout names they keep as object names.
struct Controls {
    explicit Controls(TForm1 &form) : f(form) {}
    template <class T> T *find(const char *name) const {
        T *control = f.findChild<T *>(QString::fromLatin1(name));
        if (!control) qFatal("Form1 has no %s", name);
        return control;
    }
    TForm1 &f;
    QTimer *Timer1 = find<QTimer>("Timer1");
    ImageControl *Image1 = find<ImageControl>("Image1");
    ImageControl *Image2 = find<ImageControl>("Image2");
    ShapeControl *hoekhulp = find<ShapeControl>("hoekhulp");
    QPushButton *Schakelen = find<QPushButton>("Schakelen");
    QPushButton *BtnStartStop = find<QPushButton>("BtnStartStop");
    QSlider *TbAmplitude = find<QSlider>("TbAmplitude");
    QSlider *TbFrequentie = find<QSlider>("TbFrequentie");
    QPushButton *Button2 = find<QPushButton>("Button2");
    QPushButton *Button3 = find<QPushButton>("Button3");
    QLineEdit *EdUgen = find<QLineEdit>("EdUgen");
    QLineEdit *EdFreq = find<QLineEdit>("EdFreq");
    QLineEdit *Edit1 = find<QLineEdit>("Edit1");
    QAction *OpenScenario1 = find<QAction>("OpenScenario1");
    QAction *SaveScenario1 = find<QAction>("SaveScenario1");
    QAction *ExportSwitchings1 = find<QAction>("ExportSwitchings1");
    QAction *synchrhulp1 = find<QAction>("synchrhulp1");
    QAction *Setup1 = find<QAction>("Setup1");
    QAction *SynchroPanel1 = find<QAction>("SynchroPanel1");
    QAction *Help1 = find<QAction>("Help1");
    QAction *info1 = find<QAction>("info1");
};

// A fresh trainer whose clock is fixed, whose timer never fires by itself (the test
// delivers the ticks), and whose message boxes are answered and recorded: the verdict
// as the program wrote it (its box shows the carriage returns as line feeds), an error
// report as it reads.
struct Trainer {
    std::shared_ptr<FakeClock> clock;
    std::unique_ptr<TForm1> f;
    Controls c;
    QStringList messages;
    QList<QMessageBox::Icon> icons;
    std::function<int(QDialog &)> onDialog;

    explicit Trainer(std::uint32_t t = 43200000)
        : clock(std::make_shared<FakeClock>(FakeClock{{t, t}})),
          f(std::make_unique<TForm1>([k = clock] { return (*k)(); })), c(*f) {
        c.Timer1->setInterval(24 * 3600 * 1000);
        f->viewZoom()->availableArea = [] { return QSize(4000, 4000); }; // every level fits
        f->modalRunner = [this](QDialog &d) {
            if (auto *box = qobject_cast<QMessageBox *>(&d)) {
                const QVariant written = box->property("message");
                messages << (written.isValid() ? written.toString() : box->text());
                icons << box->icon();
                return int(QMessageBox::Ok);
            }
            return onDialog ? onDialog(d) : int(QDialog::Rejected);
        };
    }

    void ticks(int n) {
        for (int k = 0; k < n; ++k) f->tick();
    }

    // The generator exactly on the network: same colours, angles, lengths and speed.
    void inStep() {
        Phasors gen = f->session().generatorPhasors();
        for (std::size_t k = 0; k < 3; ++k) {
            const Tvector &net = f->session().networkPhasors()[k];
            gen[k].PhaseColor = net.PhaseColor;
            gen[k].Angle = net.Angle;
            gen[k].Length = net.Length;
            gen[k].Bereken();
        }
        f->session().placePhasors(SelmexSession::PhasorSet::Generator, gen);
        setGeneratorStep(f->session().networkStep());
    }
    // Each of the generator's phasors changed by `change`, then worked out anew.
    void moveGenerator(const std::function<void(Tvector &)> &change) {
        Phasors gen = f->session().generatorPhasors();
        for (Tvector &v : gen) {
            change(v);
            v.Bereken();
        }
        f->session().placePhasors(SelmexSession::PhasorSet::Generator, gen);
    }
    void setGeneratorStep(double step) {
        f->session().setStep(SelmexSession::PhasorSet::Generator, step);
    }
    // A new session whose start has `voltage` and `frequency` at the sliders' middles,
    // turning with the network.
    void startAt(int voltage, int frequency) {
        SelmexScenario start;
        start.voltage = voltage;
        start.frequency = frequency;
        start.reversed = false;
        QVERIFY(f->openScenario(start));
    }
};

// A value of the synchronising panel, found by its name.
QString panelText(const SynchronisingPanel &panel, const char *name) {
    return panel.findChild<QLabel *>(QLatin1String(name))->text();
}

QSettings selmexSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "Selmex", "Selmex");
}

QList<Colour> coloursOf(const Phasors &p) {
    return {p[0].PhaseColor, p[1].PhaseColor, p[2].PhaseColor};
}

// Every coloured pixel of the picture belongs to one of the phasors as they stand, and
// most of each phasor's own pixels are there: no arrow is left behind.
bool onlyCurrentArrows(const DrawSurface &picture, const Phasors &list) {
    QSet<QPair<int, int>> allowed;
    for (const Tvector &v : list) {
        DrawSurface alone(picture.size());
        alone.setScale(picture.scale());
        PhasorDiagram(alone).Teken(0, v);
        int own = 0, present = 0;
        for (int y = 0; y < alone.size().height(); ++y)
            for (int x = 0; x < alone.size().width(); ++x)
                if (alone.pixel(x, y) != clWhite) {
                    allowed.insert({x, y});
                    ++own;
                    present += picture.pixel(x, y) != clWhite;
                }
        if (present < own * 9 / 10) return false;
    }
    for (int y = 0; y < picture.size().height(); ++y)
        for (int x = 0; x < picture.size().width(); ++x)
            if (picture.pixel(x, y) != clWhite && !allowed.contains({x, y})) return false;
    return true;
}

} // namespace

class TestSelmora : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { selmexSettings().clear(); } // every test starts at 100 %
    void randomStart_data();
    void randomStart();
    void amplitudeSlider();
    void frequencySliderAndDirection();
    void phaseOrderButton();
    void phaseAngleReadout();
    void failedSwitchingShowsItsVerdict();
    void switchingSucceeds();
    void synchroscopeAid();
    void aidItemAfterANewSession_data();
    void aidItemAfterANewSession();
    void setupDialog();
    void setupShowsAcceptedAngle_data();
    void setupShowsAcceptedAngle();
    void timerTable();
    void modalBoxInsideTickLeavesNoGhost();
    void longSessionLeavesCleanPictures();
    void captionsFit();
    void keyboardAndScreenReader();
    void panelFollowsTheTicks();
    void panelRecordsEachSwitching();
    void panelValuesHeardAndReachedByTab_data();
    void panelValuesHeardAndReachedByTab();
    void ticksGoOnBehindBoxOpenedInsideTick_data();
    void ticksGoOnBehindBoxOpenedInsideTick();
    void savedStartOpensToThePixel();
    void switchingsExported();
    void saveDialogsAddTheirSuffix_data();
    void saveDialogsAddTheirSuffix();
    void scenarioFileNamedAndItsCommentsKept();
    void taskPanelsShowTheFilesTask();
    void readingsAlikeAtEveryZoom_data();
    void readingsAlikeAtEveryZoom();
    void zoomAskedInsideTickWaitsForItsEnd();
    void zoomRememberedAtNextStart();
    void screenShowsThePictures_data();
    void screenShowsThePictures();
};

void TestSelmora::randomStart_data() {
    // The start drawn for each time is the session's (tst_selmexsession); here its read-outs.
    QTest::addColumn<uint>("time");
    QTest::addColumn<QString>("volts");
    QTest::addColumn<QString>("hertz");
    QTest::newRow("midnight") << 0u << "304"
                              << "38";
    QTest::newRow("noon") << 43200000u << "380"
                          << "28";
    QTest::newRow("last millisecond") << 86399999u << "266"
                                      << "48";
}

void TestSelmora::randomStart() {
    QFETCH(uint, time);
    QFETCH(QString, volts);
    QFETCH(QString, hertz);
    Trainer t(time);
    TForm1 &f = *t.f;
    const Controls &c = t.c;
    QCOMPARE(c.EdUgen->text(), volts);
    QCOMPARE(c.EdFreq->text(), hertz);
    QVERIFY(c.Edit1->text().isEmpty());
    QVERIFY(c.Timer1->isActive());
    QVERIFY(c.hoekhulp->isHidden());
    QCOMPARE(c.synchrhulp1->text(), QStringLiteral("&Synchr aid"));
    QCOMPARE(f.windowTitle(), QStringLiteral("Form1"));
    // Nothing is drawn before the first tick.
    QVERIFY(!f.netDiagram().isDrawn(0));
}

void TestSelmora::amplitudeSlider() {
    Trainer t;
    const Controls &c = t.c;
    t.startAt(380, 50); // the amplitude factor 1
    QCOMPARE(c.EdUgen->text(), QStringLiteral("380"));
    t.startAt(266, 50); // 0.7
    c.TbAmplitude->setValue(100);
    QCOMPARE(c.EdUgen->text(), QStringLiteral("399"));
    c.TbAmplitude->setValue(0);
    QCOMPARE(c.EdUgen->text(), QStringLiteral("133"));
    t.startAt(342, 50);          // 0.9
    c.TbAmplitude->setValue(46); // 328.32 V
    QCOMPARE(c.EdUgen->text(), QStringLiteral("328"));
    t.startAt(266, 50);
    c.TbAmplitude->setValue(73); // 327.18 V
    QCOMPARE(c.EdUgen->text(), QStringLiteral("327"));
}

void TestSelmora::frequencySliderAndDirection() {
    Trainer t;
    TForm1 &f = *t.f;
    const Controls &c = t.c;
    t.startAt(380, 50); // the frequency offset 0, turning with the network
    c.TbFrequentie->setValue(49);
    c.TbFrequentie->setValue(50); // back to the middle at the new offset
    QCOMPARE(c.EdFreq->text(), QStringLiteral("50"));
    t.startAt(380, 33); // the offset 17
    c.TbFrequentie->setValue(17);
    QCOMPARE(c.EdFreq->text(), QStringLiteral("0"));
    // Below the offset the generator turns the other way; the read-out has no sign.
    c.TbFrequentie->setValue(5);
    QCOMPARE(c.EdFreq->text(), QStringLiteral("12"));
    c.Button3->click();
    QCOMPARE(f.session().direction(), -1.0);
    QCOMPARE(c.EdFreq->text(), QStringLiteral("12"));
    c.TbFrequentie->setValue(100);
    QCOMPARE(c.EdFreq->text(), QStringLiteral("83"));
}

void TestSelmora::phaseOrderButton() {
    Trainer t;
    TForm1 &f = *t.f;
    const Controls &c = t.c;
    const QList<Colour> start = coloursOf(f.session().generatorPhasors());
    c.Button2->click(); // the session's swap: tst_selmexsession
    QCOMPARE(coloursOf(f.session().generatorPhasors()),
             (QList<Colour>{start[1], start[0], start[2]}));
    c.Button2->click();
    QCOMPARE(coloursOf(f.session().generatorPhasors()), start);
}

void TestSelmora::keyboardAndScreenReader() {
    // Enter presses the focused button, as Space does; the diagrams, sliders and
    // read-outs have names a screen reader can say.
    Trainer t;
    TForm1 &f = *t.f;
    const Controls &c = t.c;
    const QList<Colour> start = coloursOf(f.session().generatorPhasors());
    QTest::keyClick(c.Button2, Qt::Key_Return);
    QCOMPARE(coloursOf(f.session().generatorPhasors()),
             (QList<Colour>{start[1], start[0], start[2]}));
    QTest::keyClick(c.Button2, Qt::Key_Enter);
    QCOMPARE(coloursOf(f.session().generatorPhasors()), start);
    for (QWidget *w : std::initializer_list<QWidget *>{c.Image1, c.Image2, c.TbAmplitude,
                                                       c.TbFrequentie, c.EdUgen, c.EdFreq, c.Edit1})
        QVERIFY2(!w->accessibleName().isEmpty() && !w->accessibleDescription().isEmpty(),
                 qPrintable(w->objectName()));
}

void TestSelmora::phaseAngleReadout() {
    Trainer t;
    const Controls &c = t.c;
    t.inStep();
    t.ticks(2);
    QVERIFY(c.Edit1->text().isEmpty()); // shown from the third tick on
    t.ticks(1);
    QCOMPARE(c.Edit1->text(), local("0.0"));
    // The generator's red phase 30 degrees behind the network's.
    t.moveGenerator([](Tvector &v) { v.Angle -= 1.0 / 6; });
    t.ticks(3);
    const double shown = c.Edit1->text().replace(QChar(','), QChar('.')).toDouble();
    QVERIFY2(std::fabs(shown - 30) <= 1.0, qPrintable(c.Edit1->text()));
    QCOMPARE(c.Edit1->text().count(systemDecimalSeparator()), 1);
    // The read-out is the tips' angle difference, not brought into a half turn.
    t.moveGenerator([](Tvector &v) { v.Angle += 1.0 / 6 - 1.5; });
    t.ticks(3);
    const QString wide = c.Edit1->text().replace(QChar(','), QChar('.'));
    QVERIFY2(std::fabs(std::fabs(wide.toDouble()) - 270) <= 1.0 ||
                 std::fabs(std::fabs(wide.toDouble()) - 90) <= 1.0,
             qPrintable(wide));
}

void TestSelmora::failedSwitchingShowsItsVerdict() {
    // Each condition's verdict and its words: tst_switching. Here the box that shows it,
    // and the stopped timer a failed attempt leaves alone.
    Trainer t;
    const Controls &c = t.c;
    t.inStep();
    t.moveGenerator([](Tvector &v) { v.Angle += 0.2; });
    c.Timer1->stop();
    c.Schakelen->click();
    QCOMPARE(t.messages, QStringList{"BOEM!!!\r\rhoek te groot\r"});
    QVERIFY(!c.Timer1->isActive());
}

void TestSelmora::switchingSucceeds() {
    Trainer t;
    const Controls &c = t.c;
    t.inStep();
    // A generator 10 % short, standing still, a little behind: still good enough.
    t.moveGenerator([](Tvector &v) {
        v.Length = 81;
        v.Angle -= 0.02;
    });
    t.setGeneratorStep(0);
    c.TbFrequentie->blockSignals(true);
    t.ticks(1);
    c.synchrhulp1->trigger();
    QVERIFY(!c.hoekhulp->isHidden());
    c.Timer1->stop();
    c.Schakelen->click();
    QCOMPARE(t.messages, QStringList{QStringLiteral("Goed gedaan")});
    QCOMPARE(c.EdFreq->text(), QStringLiteral("50"));
    QVERIFY(c.Timer1->isActive());
    QVERIFY(c.hoekhulp->isHidden());
    QCOMPARE(c.synchrhulp1->text(), QStringLiteral("synchr hulp"));
    // From now on both turn alike: the phase angle stays put but for pixel rounding.
    QList<double> angles; // brought into -180 .. 180: the read-out itself jumps by 360
    for (int k = 0; k < 40; ++k) {
        t.ticks(3);
        const double shown = c.Edit1->text().replace(QChar(','), QChar('.')).toDouble();
        angles << std::remainder(shown, 360.0);
    }
    const auto [lo, hi] = std::minmax_element(angles.begin(), angles.end());
    QVERIFY2(*hi - *lo < 2.0, qPrintable(QStringLiteral("%1 .. %2").arg(*lo).arg(*hi)));
    QVERIFY(std::fabs(*lo - 7.2) < 2.0); // one tick behind at the switching
    // The menu item shows the aid again.
    c.synchrhulp1->trigger();
    QCOMPARE(c.synchrhulp1->text(), QStringLiteral("* synchr aid"));
}

void TestSelmora::synchroscopeAid() {
    Trainer t;
    const Controls &c = t.c;
    t.inStep();
    c.Timer1->stop();
    t.ticks(1);
    QCOMPARE(c.hoekhulp->fill(), clGreen); // coloured while hidden too
    QVERIFY(c.hoekhulp->isHidden());
    c.synchrhulp1->trigger();
    QVERIFY(!c.hoekhulp->isHidden());
    QCOMPARE(c.synchrhulp1->text(), QStringLiteral("* synchr aid"));
    QVERIFY(c.Timer1->isActive());
    t.moveGenerator([](Tvector &v) { v.Angle += 0.5; });
    t.ticks(1);
    QCOMPARE(c.hoekhulp->fill(), clRed);
    c.synchrhulp1->trigger();
    QVERIFY(c.hoekhulp->isHidden());
    QCOMPARE(c.synchrhulp1->text(), QStringLiteral("synchr aid"));
    QCOMPARE(c.hoekhulp->geometry(), QRect(251, 238, 25, 25));
}

void TestSelmora::aidItemAfterANewSession_data() {
    QTest::addColumn<bool>("switched");
    QTest::addColumn<int>("aidClicks"); // on the menu item after the switching
    QTest::addColumn<QString>("item");
    QTest::newRow("connected") << true << 0 << "synchr aid";
    QTest::newRow("connected, aid shown") << true << 1 << "* synchr aid";
    QTest::newRow("not connected") << false << 0 << "&Synchr aid";
}

void TestSelmora::aidItemAfterANewSession() {
    // A new session is not connected: the item reads as before a good switching, but
    // still names the aid as it stands.
    QFETCH(bool, switched);
    QFETCH(int, aidClicks);
    QFETCH(QString, item);
    Trainer t;
    t.inStep();
    if (switched) t.c.Schakelen->click();
    for (int k = 0; k < aidClicks; ++k) t.c.synchrhulp1->trigger();
    QVERIFY(t.f->openScenario({}));
    QCOMPARE(t.c.synchrhulp1->text(), item);
    QCOMPARE(t.c.hoekhulp->isHidden(), aidClicks % 2 == 0);
}

void TestSelmora::setupDialog() {
    Trainer t;
    TForm1 &f = *t.f;
    const Controls &c = t.c;
    QStringList seen;
    int move = -1;
    bool ok = true;
    t.onDialog = [&](QDialog &d) {
        auto &s = dynamic_cast<TOKBottomDlg &>(d);
        seen << s.windowTitle() << QString::number(s.TBHoekvar->value());
        if (move >= 0) s.TBHoekvar->setValue(move);
        (ok ? s.OKBtn : s.CancelBtn)->click();
        return s.result();
    };
    c.Setup1->trigger(); // OK without moving
    QCOMPARE(f.session().maxAngle(), 20);
    move = 7;
    ok = false;
    c.Setup1->trigger(); // Cancel after moving
    QCOMPARE(f.session().maxAngle(), 20);
    move = 0;
    ok = true;
    c.Setup1->trigger();
    QCOMPARE(f.session().maxAngle(), 0);
    move = 10;
    c.Setup1->trigger();
    QCOMPARE(f.session().maxAngle(), 100);
    QCOMPARE(seen, (QStringList{"Dialog", "2", "Dialog", "2", "Dialog", "2", "Dialog", "0"}));

    // The slider's words: "easy" under the end with the widest window.
    TOKBottomDlg d(nullptr);
    QVERIFY(d.Label3->x() > d.Label4->x());
    QCOMPARE(d.Label3->text(), QStringLiteral("easy"));
    QCOMPARE(d.TBHoekvar->maximum(), 10);
    // The real modal dialog: Enter is OK, Escape is Cancel.
    std::int32_t value = 55;
    QTimer::singleShot(0, [] {
        auto *dlg = qobject_cast<TOKBottomDlg *>(QApplication::activeModalWidget());
        QTest::keyClick(dlg->TBHoekvar, Qt::Key_Right);
        QTest::keyClick(dlg, Qt::Key_Escape);
    });
    QVERIFY(!TOKBottomDlg::Execute(nullptr, value));
    QCOMPARE(value, 55);
    QTimer::singleShot(0,
                       [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
    QVERIFY(TOKBottomDlg::Execute(nullptr, value));
    QCOMPARE(value, 50); // 55 stands at position 5
}

void TestSelmora::setupShowsAcceptedAngle_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("angles"); // at any orientation, up to at some
    QTest::newRow("no width") << 0 << QStringList();
    QTest::newRow("default 20") << 2 << QStringList{"11.5", "16.3"}; // the panel's sector
    QTest::newRow("whole arrow") << 10 << QStringList{"60.0", "90.0"};
}

void TestSelmora::setupShowsAcceptedAngle() {
    QFETCH(int, position);
    QFETCH(QStringList, angles);
    TOKBottomDlg d(nullptr);
    d.TBHoekvar->setValue(position);
    QVERIFY(!d.AcceptedAngle->text().isEmpty()); // before any move too
    QStringList shown =
        (d.AcceptedAngle->text() + d.TBHoekvar->accessibleDescription())
            .split(QRegularExpression(QStringLiteral("[^\\d.,]+|[.,](?!\\d)")), Qt::SkipEmptyParts);
    QCOMPARE(shown.replaceInStrings(QStringLiteral(","), QStringLiteral(".")), angles + angles);
}

void TestSelmora::timerTable() {
    Trainer t;
    const Controls &c = t.c;
    QTimer &timer = *c.Timer1;
    QVERIFY(timer.isActive()); // after start-up
    c.BtnStartStop->click();
    QVERIFY(!timer.isActive());
    c.BtnStartStop->click();
    QVERIFY(timer.isActive());
    c.BtnStartStop->click();
    c.TbAmplitude->setValue(60);
    QVERIFY(timer.isActive()); // a slider starts it again
    c.BtnStartStop->click();
    c.TbFrequentie->setValue(60);
    QVERIFY(timer.isActive());
    c.BtnStartStop->click();
    c.Button2->click();
    QVERIFY(!timer.isActive()); // the phase order leaves it alone
    c.Button3->click();
    QVERIFY(timer.isActive());
    c.BtnStartStop->click();
    c.Setup1->trigger();
    QVERIFY(!timer.isActive()); // Setup leaves it alone
    c.Help1->trigger();
    QVERIFY(timer.isActive()); // running again once help is closed
    c.BtnStartStop->click();
    c.info1->trigger();
    QVERIFY(timer.isActive());
    c.BtnStartStop->click();
    c.synchrhulp1->trigger();
    QVERIFY(timer.isActive());

    // Help and About: the animation stands still while they are open.
    QStringList shown;
    t.onDialog = [&](QDialog &d) {
        shown << d.windowTitle() << (timer.isActive() ? "running" : "stopped");
        return int(QDialog::Accepted);
    };
    c.Help1->trigger();
    c.info1->trigger();
    QCOMPARE(shown, (QStringList{"Dialog", "stopped", "About", "stopped"}));
    QVERIFY(timer.isActive());
}

void TestSelmora::modalBoxInsideTickLeavesNoGhost() {
    // While the generator's first phasor is erased, a click opens a message box; its
    // event loop goes on delivering ticks. When it closes, the interrupted tick
    // finishes: every phasor has turned once per tick, and no arrow is left behind.
    Trainer t;
    TForm1 &f = *t.f;
    const Controls &c = t.c;
    t.ticks(1);
    const double gen0 = f.session().generatorPhasors()[0].Angle,
                 net0 = f.session().networkPhasors()[0].Angle;
    bool opened = false;
    f.pump = [&] {
        if (opened) return;
        opened = true;
        QMessageBox box(QMessageBox::Information, QStringLiteral("Selmex"), QStringLiteral("busy"));
        int delivered = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            if (delivered++ < 4) {
                f.tick();
            } else {
                ticker.stop();
                box.accept();
            }
        });
        ticker.start(0);
        box.exec();
    };
    t.ticks(1);
    QVERIFY(opened);
    // Five ticks delivered: four inside the box, the interrupted one.
    QVERIFY(std::fabs(f.session().generatorPhasors()[0].Angle -
                      (gen0 + 5 * f.session().generatorStep())) < 1e-9);
    QVERIFY(std::fabs(f.session().networkPhasors()[0].Angle - std::fmod(net0 + 5 * 0.02, 2.0)) <
            1e-9);
    QVERIFY(onlyCurrentArrows(c.Image2->surface(), f.session().generatorPhasors()));
    QVERIFY(onlyCurrentArrows(c.Image1->surface(), f.session().networkPhasors()));
    QCOMPARE(f.session().tickCount(), 6);
}

void TestSelmora::longSessionLeavesCleanPictures() {
    // A minute of turning with sliders moved and buttons pressed between ticks.
    Trainer t(12345678);
    TForm1 &f = *t.f;
    const Controls &c = t.c;
    for (int k = 0; k < 1200; ++k) {
        if (k % 97 == 0) c.TbAmplitude->setValue((k * 7) % 101);
        if (k % 131 == 0) c.TbFrequentie->setValue((k * 3) % 101);
        if (k % 211 == 0) c.Button2->click();
        if (k % 307 == 0) c.Button3->click();
        f.tick();
    }
    QVERIFY(onlyCurrentArrows(c.Image1->surface(), f.session().networkPhasors()));
    QVERIFY(onlyCurrentArrows(c.Image2->surface(), f.session().generatorPhasors()));
    QCOMPARE(f.session().tickCount(), 1200);
}

void TestSelmora::captionsFit() {
    Trainer t;
    TForm1 &f = *t.f;
    f.show();
    for (QLabel *label : f.findChildren<QLabel *>()) {
        QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->objectName()));
        QVERIFY2(label->parentWidget()->rect().contains(label->geometry()),
                 qPrintable(label->objectName()));
        for (QLineEdit *edit : f.findChildren<QLineEdit *>())
            if (edit->parentWidget() == label->parentWidget())
                QVERIFY2(!label->geometry().intersects(edit->geometry()),
                         qPrintable(label->objectName()));
    }
    for (QPushButton *b : f.findChildren<QPushButton *>())
        QVERIFY2(b->fontMetrics().horizontalAdvance(b->text()) + 2 <= b->width(),
                 qPrintable(b->objectName()));
    const QWidget *client = f.centralWidget();
    for (QWidget *child : client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        QVERIFY2(client->rect().contains(child->geometry()), qPrintable(child->objectName()));
}

// The synchronising panel ----------------------------------------------------------

void TestSelmora::panelFollowsTheTicks() {
    Trainer t;
    TForm1 &f = *t.f;
    const Controls &c = t.c;
    QCOMPARE(f.synchronisingPanel(), nullptr);
    c.SynchroPanel1->trigger();
    SynchronisingPanel *panel = f.synchronisingPanel();
    QVERIFY(panel && panel->isVisible());
    QCOMPARE(panel->windowTitle(), QStringLiteral("Synchronising panel"));
    QCOMPARE(panelText(*panel, "NetworkValue"), QStringLiteral("380 V   50 Hz"));

    // 0.8 of the network's voltage at the slider's middle: 75 brings it to 380 V exactly,
    // and 60 with an offset of 10 to 50 Hz.
    t.startAt(304, 40); // the amplitude factor 0.8, the frequency offset 10
    c.TbAmplitude->setValue(75);
    c.TbFrequentie->setValue(60);
    t.ticks(1);
    QCOMPARE(panelText(*panel, "GeneratorValue"), QStringLiteral("380 V   50 Hz"));
    QCOMPARE(panelText(*panel, "VoltageDifferenceValue"), QStringLiteral("0 %"));
    QCOMPARE(panelText(*panel, "SlipValue"), QStringLiteral("0 Hz"));
    c.TbAmplitude->setValue(70);
    c.TbFrequentie->setValue(65);
    QCOMPARE(panelText(*panel, "GeneratorValue"),
             local("365 V   55 Hz")); // at once, no tick needed
    QCOMPARE(panelText(*panel, "VoltageDifferenceValue"), local("-4 %"));
    QCOMPARE(panelText(*panel, "SlipValue"), QStringLiteral("5 Hz"));
    c.Button3->click(); // turning the other way
    QCOMPARE(panelText(*panel, "GeneratorValue"), local("365 V   55 Hz"));
    QCOMPARE(panelText(*panel, "SlipValue"), QStringLiteral("-105 Hz"));

    // The phase difference from the angles, one decimal, never "-0.0".
    t.inStep();
    t.moveGenerator([](Tvector &v) { v.Angle -= 0.0001; }); // 0.018 degrees behind
    f.tick();
    QCOMPARE(panelText(*panel, "PhaseDifferenceValue"), local("0.0\u00B0"));
    t.moveGenerator([](Tvector &v) { v.Angle += 1.0 / 6; });
    f.tick();
    QCOMPARE(panelText(*panel, "PhaseDifferenceValue"), local("30.0\u00B0"));
    QVERIFY(std::fabs(panel->phaseDifference() - 29.982) < 1e-9);
    QVERIFY(std::fabs(panel->acceptedHalfAngle() - 11.478340954533572) < 1e-9);

    // The setup's limit widens the accepted sector: 50 % of the arrow, 2 arcsin(1/4).
    t.onDialog = [](QDialog &d) {
        d.findChild<QSlider *>(QStringLiteral("TBHoekvar"))->setValue(5);
        return int(QDialog::Accepted);
    };
    c.Setup1->trigger();
    QVERIFY(std::fabs(panel->acceptedHalfAngle() - 28.955024371648296) < 1e-9);

    // One window: the menu brings the same one back.
    panel->close();
    c.SynchroPanel1->trigger();
    QCOMPARE(f.synchronisingPanel(), panel);
    QVERIFY(panel->isVisible());
    QCOMPARE(f.findChildren<SynchronisingPanel *>().size(), 1);
}

void TestSelmora::panelRecordsEachSwitching() {
    Trainer t;
    TForm1 &f = *t.f;
    const Controls &c = t.c;
    c.Timer1->stop();
    // Failed: 60 degrees ahead and 20 % high, before the panel is even open.
    t.inStep();
    t.moveGenerator([](Tvector &v) {
        v.Angle += 1.0 / 3;
        v.Length *= 1.2;
    });
    c.Schakelen->click();
    QCOMPARE(t.messages.size(), 1);
    c.SynchroPanel1->trigger();
    SynchronisingPanel &panel = *f.synchronisingPanel();
    QCOMPARE(panelText(panel, "LastPhaseDifference"), local("60.0\u00B0"));
    QCOMPARE(panelText(panel, "LastVoltageDifference"), QStringLiteral("20 %"));
    QCOMPARE(panelText(panel, "LastSlip"), QStringLiteral("0 Hz"));
    QCOMPARE(panelText(panel, "LastVerdict"), QStringLiteral("hoek te groot\nspanning niet goed"));
    // |1 - 1.2 e^(i 60 degrees)| / 0.2 = sqrt(1.24) / 0.2
    QCOMPARE(panelText(panel, "LastClosingCurrent"),
             local("closing current 5.57 \u00D7 rated current"));
    // The record stays as the moment was while the state turns on.
    t.ticks(7);
    QCOMPARE(panelText(panel, "LastPhaseDifference"), local("60.0\u00B0"));

    // Successful: in phase and equal, so no current at all.
    t.inStep();
    c.Schakelen->click();
    QCOMPARE(t.messages.last(), QStringLiteral("Goed gedaan"));
    QCOMPARE(panelText(panel, "LastVerdict"), QStringLiteral("Goed gedaan"));
    QCOMPARE(panelText(panel, "LastPhaseDifference"), local("0.0\u00B0"));
    QCOMPARE(panelText(panel, "LastVoltageDifference"), QStringLiteral("0 %"));
    QCOMPARE(panelText(panel, "LastClosingCurrent"),
             local("closing current 0 \u00D7 rated current"));

    // A new session from a file has not switched: the old record is not shown as its own.
    QVERIFY(f.openScenario({}));
    QCOMPARE(panelText(panel, "LastVerdict"), QStringLiteral("Not switched yet."));
    QVERIFY(panelText(panel, "LastPhaseDifference").isEmpty() &&
            panelText(panel, "LastClosingCurrent").isEmpty());
}

void TestSelmora::panelValuesHeardAndReachedByTab_data() {
    QTest::addColumn<QString>("name");
    for (const char *name : {"NetworkValue", "SlipValue", "PhaseDifferenceValue", "LastVerdict"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestSelmora::panelValuesHeardAndReachedByTab() {
    QFETCH(QString, name);
    Trainer t;
    t.c.SynchroPanel1->trigger();
    t.ticks(1); // the values and their names follow the tick
    auto *value = t.f->synchronisingPanel()->findChild<QLabel *>(name);
    QVERIFY(value->focusPolicy() & Qt::TabFocus && value->accessibleName().contains(value->text()));
}

void TestSelmora::ticksGoOnBehindBoxOpenedInsideTick_data() {
    QTest::addColumn<QString>("opens");
    QTest::newRow("switching message") << "Schakelen";
    QTest::newRow("setup dialog") << "Setup1";
}

void TestSelmora::ticksGoOnBehindBoxOpenedInsideTick() {
    // The timer itself delivers a tick; while a phasor is erased, a click opens a box.
    // While the box is shown, the diagrams must go on turning.
    QFETCH(QString, opens);
    Trainer t;
    TForm1 &f = *t.f;
    const Controls &c = t.c;
    c.Timer1->setInterval(0); // fires at every pass of the event loop
    c.Timer1->start();
    int ticksBehindBox = -1;
    f.modalRunner = [&](QDialog &) {
        const int before = f.session().tickCount();
        for (int pass = 0; pass < 1000 && f.session().tickCount() < before + 3; ++pass)
            QCoreApplication::processEvents();
        ticksBehindBox = f.session().tickCount() - before;
        return int(QDialog::Accepted);
    };
    bool clicked = false;
    f.pump = [&] {
        if (clicked) return;
        clicked = true;
        if (opens == QStringLiteral("Schakelen"))
            c.Schakelen->click();
        else
            c.Setup1->trigger();
    };
    for (int pass = 0; pass < 1000 && ticksBehindBox < 0; ++pass) QCoreApplication::processEvents();
    QVERIFY(clicked);
    QCOMPARE(ticksBehindBox, 3);
    QVERIFY(onlyCurrentArrows(c.Image1->surface(), f.session().networkPhasors()));
    QVERIFY(onlyCurrentArrows(c.Image2->surface(), f.session().generatorPhasors()));
}

void TestSelmora::savedStartOpensToThePixel() {
    // A random start saved, then opened by another trainer with another clock: the same
    // pictures, tick for tick; and a broken file is reported.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("start.selmex"));
    Trainer a(1000), b(5000000);
    a.f->files().askFileName = [&path](QWidget *, const QString &, const QString &,
                                       const QString &) { return path; };
    a.c.SaveScenario1->trigger();
    QString chosen = path;
    b.f->files().askOpenFileName = [&chosen](QWidget *, const QString &, const QString &,
                                             const QString &) { return chosen; };
    b.c.OpenScenario1->trigger();
    QVERIFY(b.f->session().start() == a.f->session().start());
    a.ticks(7);
    b.ticks(7);
    QCOMPARE(b.c.Image1->surface().image(), a.c.Image1->surface().image());
    QCOMPARE(b.c.Image2->surface().image(), a.c.Image2->surface().image());

    chosen = dir.filePath(QStringLiteral("broken.selmex"));
    QFile broken(chosen);
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("[generator]\nfrequency = 4,2\n");
    broken.close();
    b.c.OpenScenario1->trigger();
    QCOMPARE(b.messages.size(), 1);
    QVERIFY2(b.messages[0].contains(QStringLiteral("broken.selmex, line 2")),
             qPrintable(b.messages[0]));
    QCOMPARE(b.icons, QList<QMessageBox::Icon>{QMessageBox::Critical}); // the error report
    // Given at the start, the file is refused with the same words.
    QString error;
    QVERIFY(!b.f->openScenarioFile(chosen, &error));
    QVERIFY2(!error.isEmpty() && b.messages[0].startsWith(error), qPrintable(error));
}

void TestSelmora::switchingsExported() {
    // Two switchings, the second good, as CSV with full stops whatever the locale.
    Trainer t;
    TForm1 &f = *t.f;
    const Controls &c = t.c;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.csv"));
    f.files().askFileName = [&path](QWidget *, const QString &, const QString &, const QString &) {
        return path;
    };
    c.ExportSwitchings1->trigger(); // nothing to export yet
    QCOMPARE(t.messages.size(), 1);
    QCOMPARE(t.icons, QList<QMessageBox::Icon>{QMessageBox::Information}); // no error
    QVERIFY(!QFile::exists(path));
    t.inStep();
    t.moveGenerator([](Tvector &v) { v.Angle += 0.2; });
    c.Schakelen->click();
    t.inStep();
    t.ticks(3);
    c.Schakelen->click();
    c.ExportSwitchings1->trigger();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines =
        QString::fromUtf8(file.readAll()).split(QChar('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[0].startsWith(QStringLiteral("# Selmex start: voltage=")));
    QVERIFY2(lines[2].startsWith(QStringLiteral("0,")) && lines[2].contains("hoek te groot"),
             qPrintable(lines[2]));
    QVERIFY2(lines[3].startsWith(QStringLiteral("0.15,0,0,0,Goed gedaan,0,")),
             qPrintable(lines[3]));
}

void TestSelmora::readingsAlikeAtEveryZoom_data() {
    QTest::addColumn<double>("behind"); // half-turns
    QTest::addColumn<double>("length");
    QTest::newRow("17 degrees behind, short") << 17.0 / 180 << 80.0;
    QTest::newRow("just inside the window") << -11.0 / 180 << 90.0;
    QTest::newRow("103 degrees ahead") << -103.0 / 180 << 99.0;
}

void TestSelmora::readingsAlikeAtEveryZoom() {
    // The read-out and the check work from the phasors at 100 %, whatever the zoom.
    QFETCH(double, behind);
    QFETCH(double, length);
    QStringList seen;
    for (int percent : {100, 150, 200}) {
        Trainer t;
        t.f->viewZoom()->zoomTo(percent);
        t.f->openScenario({}); // a session begun at this zoom
        t.inStep();
        t.moveGenerator([&](Tvector &v) { v.Angle -= behind, v.Length = length; });
        t.ticks(3);
        t.c.Schakelen->click();
        seen << QString::number(double(t.f->session().phaseAngle()), 'g', 17) + t.messages[0];
    }
    QCOMPARE(seen, QStringList(3, seen[0]));
}

void TestSelmora::zoomAskedInsideTickWaitsForItsEnd() {
    // A zoom asked for while a phasor is erased comes after the tick. Then each phasor
    // is drawn anew, twice as long from the middle.
    Trainer t;
    TForm1 &f = *t.f;
    const Controls &c = t.c;
    f.pump = [&] { f.viewZoom()->zoomTo(200); }; // only the first call changes it
    t.ticks(2);
    QCOMPARE(c.Image1->surface().size(), QSize(200, 200));
    QCoreApplication::processEvents();
    const DrawSurface &net = c.Image1->surface();
    QCOMPARE(net.size(), QSize(400, 400));
    QVERIFY(onlyCurrentArrows(net, f.session().networkPhasors()));
    QVERIFY(onlyCurrentArrows(c.Image2->surface(), f.session().generatorPhasors()));
    for (const Tvector &v : f.session().networkPhasors()) {
        const QPoint tip = QPoint(200, 200) + 2 * (v.tip() - v.Centre);
        int inked = 0; // within a pixel or two: rounding, and a wide pen's flat end
        for (int d = 0; d < 25; ++d)
            inked += net.pixel(tip.x() + d % 5 - 2, tip.y() + d / 5 - 2) == v.PhaseColor;
        QVERIFY(inked > 0);
    }
}

void TestSelmora::screenShowsThePictures_data() {
    QTest::addColumn<int>("percent");
    QTest::newRow("100 %") << 100;
    QTest::newRow("150 %") << 150;
}

void TestSelmora::screenShowsThePictures() {
    // What the window puts on the screen where the diagrams stand is their pictures,
    // pixel for pixel, after ticks that erased and drew every arrow.
    QFETCH(int, percent);
    Trainer t;
    t.f->show();
    t.f->viewZoom()->zoomTo(percent);
    t.ticks(5);
    QCoreApplication::processEvents();
    const QImage screen = t.f->screen()->grabWindow(t.f->winId()).toImage();
    for (ImageControl *image : {t.c.Image1, t.c.Image2}) {
        const QRect at(image->mapTo(t.f.get(), QPoint(0, 0)), image->size());
        QCOMPARE(screen.copy(at).convertToFormat(QImage::Format_RGB32),
                 image->surface().image().convertToFormat(QImage::Format_RGB32));
    }
}

void TestSelmora::zoomRememberedAtNextStart() {
    // The next window opens at the zoom the last one had, grown to it.
    Trainer().f->viewZoom()->zoomTo(200);
    Trainer t;
    t.f->show();
    QCOMPARE(t.f->centralWidget()->size(), TForm1::ClientSize * 2);
}

void TestSelmora::saveDialogsAddTheirSuffix_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("written");
    QTest::newRow("export switchings") << "ExportSwitchings1"
                                       << "typed.csv";
    QTest::newRow("save scenario") << "SaveScenario1"
                                   << "typed.selmex";
}

void TestSelmora::saveDialogsAddTheirSuffix() {
    // The standard dialog itself, a name typed without a suffix.
    QFETCH(QString, action);
    QFETCH(QString, written);
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QTemporaryDir dir;
    Trainer t;
    t.onDialog = [&dir](QDialog &d) {
        auto *dialog = qobject_cast<QFileDialog *>(&d);
        if (!dialog) return int(QDialog::Rejected);
        dialog->setDirectory(dir.path());
        dialog->selectFile(QStringLiteral("typed"));
        return int(QDialog::Accepted);
    };
    t.c.Schakelen->click(); // something to export
    t.f->findChild<QAction *>(action)->trigger();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
}

void TestSelmora::scenarioFileNamedAndItsCommentsKept() {
    // An exercise opened and saved under another name: the title names the file in hand;
    // a session from no file names none.
    QTemporaryDir dir;
    QString answer = dir.filePath(QStringLiteral("ex.selmex"));
    QFile file(answer);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# Exercise 4\r\n# Why?\r\n\r\n[generator]\r\nphase_order = wrong\r\n");
    file.close();
    Trainer t;
    t.f->files().askOpenFileName = [&answer](QWidget *, const QString &, const QString &,
                                             const QString &) { return answer; };
    t.f->files().askFileName = [&answer](QWidget *, const QString &, const QString &,
                                         const QString &) { return answer; };
    t.c.OpenScenario1->trigger();
    QCOMPARE(t.f->windowTitle(), QStringLiteral("Form1 \u2014 ex.selmex"));
    answer = dir.filePath(QStringLiteral("copy.selmex"));
    t.c.SaveScenario1->trigger();
    QCOMPARE(t.f->windowTitle(), QStringLiteral("Form1 \u2014 copy.selmex"));
    QVERIFY(t.f->openScenario({}));
    QCOMPARE(t.f->windowTitle(), QStringLiteral("Form1"));
}

void TestSelmora::taskPanelsShowTheFilesTask() {
    // The file's comments beside the diagrams, which keep their size, and beside the
    // switchboard when the file opens it; a session from no file puts the task away.
    QTemporaryDir dir;
    Trainer t;
    t.f->show();
    const auto open = [&](const QByteArray &text) {
        const QString path = dir.filePath(QStringLiteral("ex.selmex"));
        QString error;
        QVERIFY2(writeSelmexFile(path, text, &error) && t.f->openScenarioFile(path, &error),
                 qPrintable(error));
        QCoreApplication::processEvents(); // the window fits the pane once it has moved
    };
    TaskPanel *task = t.f->taskPanel();
    const int width = t.f->width(), client = t.f->centralWidget()->width();
    open("# Close in phase.\n[switchboard]\nfrequency = 49.8\n");
    QCOMPARE(task->textView()->toPlainText(), QStringLiteral("Close in phase."));
    QCOMPARE(t.f->centralWidget()->width(), client);
    QVERIFY(t.f->width() >= width + task->width());
    TaskPanel *boardTask = t.f->switchboardWindow()->taskPanel();
    QCOMPARE(boardTask->textView()->toPlainText(), QStringLiteral("Close in phase."));
    QVERIFY(!boardTask->isHidden());
    open("[generator]\nphase_order = right\n");
    QVERIFY(task->isHidden());
    QCOMPARE(t.f->width(), width);
    QVERIFY(!boardTask->isHidden()); // the switchboard's exercise is the one it had
    open("# Again\n[generator]\n");
    QVERIFY(t.f->openScenario({}));
    QVERIFY(task->isHidden());
}

QTEST_MAIN(TestSelmora)
#include "tst_selmora.moc"
