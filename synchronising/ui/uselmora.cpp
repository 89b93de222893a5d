#include "uselmora.h"

#include "constants.h"
#include "controls.h"
#include "errorreport.h"
#include "imagecontrol.h"
#include "keyfile.h"
#include "layouthelpers.h"
#include "numberformat.h"
#include "selmexfile.h"
#include "selmexinfo.h"
#include "selmexlessoncontroller.h"
#include "switchboardwindow.h"
#include "switchingcsv.h"
#include "synchronisingpanel.h"
#include "taskpanel.h"
#include "uabout.h"
#include "uhelp.h"
#include "usetup.h"
#include "verdicttext.h"
#include "viewzoom.h"

#include <cmath>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QWindow>

namespace {

QGroupBox *makeGroup(QWidget *parent, const QString &name, const QString &title, QRect geometry) {
    auto *group = new QGroupBox(title, parent);
    group->setObjectName(name);
    group->setGeometry(geometry);
    return group;
}

QSlider *makeSlider(QWidget *parent, const QString &name, QRect geometry) {
    auto *slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setGeometry(geometry);
    slider->setRange(0, 100);
    slider->setValue(50);
    slider->setTickInterval(5);
    slider->setTickPosition(QSlider::TicksBelow);
    return slider;
}

// A slider's position from 0 to 100 tells a listener nothing: its description says what
// it sets, as the read-out beside shows it.
void tellSetting(QSlider *slider, const QString &what, const QLineEdit *readOut,
                 const QString &unit) {
    const QString description =
        QStringLiteral("Sets the generator's %1: now %2 %3").arg(what, readOut->text(), unit);
    if (slider->accessibleDescription() != description)
        slider->setAccessibleDescription(description);
}

} // namespace

TForm1::TForm1(TimeOfDayClock clock, QWidget *parent)
    : QMainWindow(parent), pump([] { QCoreApplication::processEvents(); }),
      m_session(std::move(clock)), m_zoom(this, QStringLiteral("Selmex"), ClientSize) {
    m_files.runner = &modalRunner;
    // The diagrams follow the session's tick phasor by phasor; the events run while the
    // phasor is off the picture.
    m_drawTick.beforeTurn = [this](SelmexSession::PhasorSet set, std::size_t k) {
        diagramOf(set).Wis(k);
        if (pump) pump();
    };
    m_drawTick.turned = [this](SelmexSession::PhasorSet set, std::size_t k, const Tvector &v) {
        diagramOf(set).Teken(k, v);
    };
    setObjectName(QStringLiteral("Form1"));
    showFileInTitle();
    setFont(layoutFont());
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(TickMs);
    connect(Timer1, &QTimer::timeout, this, &TForm1::tick);
    createMenu();
    createControls();
    resize(ClientSize.width(), ClientSize.height() + menuBar()->sizeHint().height());
    m_zoom.capture();
    // After the capture: the pane is laid out by Qt and zooms its own font.
    m_task = new TaskPanel(this, [this] { m_zoom.fitBesidePanes(); });
    View1->addAction(m_task->toggleViewAction());
    connect(viewZoom(), &ViewZoom::changed, this, &TForm1::applyZoom);
    move(231, 107);
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::createControls() {
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);

    Panel1 = makePanel(client, QStringLiteral("Panel1"), QRect(11, 14, 526, 265));
    Image1 = new ImageControl(Panel1, QStringLiteral("Image1"), QRect(31, 32, 200, 200));
    Image2 = new ImageControl(Panel1, QStringLiteral("Image2"), QRect(287, 33, 200, 200));
    // The blank pictures show at once; the arrows come with the first tick. They cover
    // their controls whole, so a tick's repaints leave what lies under them alone.
    for (ImageControl *image : {Image1, Image2}) {
        image->surface();
        image->setAttribute(Qt::WA_OpaquePaintEvent);
    }
    Label7 = makeLabel(Panel1, QStringLiteral("Label7"), QStringLiteral("Network"), QPoint(115, 8));
    Label8 =
        makeLabel(Panel1, QStringLiteral("Label8"), QStringLiteral("Generator"), QPoint(388, 8));
    for (QLabel *title : {Label7, Label8}) {
        title->setFont(layoutFont(16));
        title->adjustSize();
    }
    hoekhulp = new ShapeControl(Panel1, QStringLiteral("hoekhulp"), ShapeControl::Kind::Circle,
                                QRect(251, 238, 25, 25), clWhite);
    hoekhulp->hide();

    Schakelen = makeButton(client, QStringLiteral("Schakelen"), QStringLiteral("Switch"),
                           QRect(230, 279, 97, 49));
    connect(Schakelen, &QPushButton::clicked, this, &TForm1::SchakelenClick);
    BtnStartStop = makeButton(client, QStringLiteral("BtnStartStop"), QStringLiteral("Start/Stop"),
                              QRect(27, 310, 75, 25));
    connect(BtnStartStop, &QPushButton::clicked, this, &TForm1::BtnStartStopClick);

    Regeling = makeGroup(client, QStringLiteral("Regeling"), QStringLiteral("Controls"),
                         QRect(291, 373, 249, 160));
    LbAmplutide = makeLabel(Regeling, QStringLiteral("LbAmplutide"), QStringLiteral("Amplutide"),
                            QPoint(25, 24));
    TbAmplitude = makeSlider(Regeling, QStringLiteral("TbAmplitude"), QRect(88, 16, 150, 33));
    LbFrequentie = makeLabel(Regeling, QStringLiteral("LbFrequentie"), QStringLiteral("Frequenty"),
                             QPoint(24, 64));
    TbFrequentie = makeSlider(Regeling, QStringLiteral("TbFrequentie"), QRect(88, 56, 150, 33));
    Button2 = makeButton(Regeling, QStringLiteral("Button2"), QStringLiteral("change phase order"),
                         QRect(3, 105, 115, 25));
    Button3 = makeButton(Regeling, QStringLiteral("Button3"),
                         QStringLiteral("change rotation direction"), QRect(125, 104, 123, 25));
    connect(TbAmplitude, &QSlider::valueChanged, this, &TForm1::TbAmplitudeChange);
    connect(TbFrequentie, &QSlider::valueChanged, this, &TForm1::tbFrequentieChange);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);

    Metingen = makeGroup(client, QStringLiteral("Metingen"),
                         QStringLiteral("Measurements Generator"), QRect(25, 373, 204, 104));
    Label2 = makeLabel(Metingen, QStringLiteral("Label2"), QStringLiteral("Line Votage"),
                       QPoint(31, 30));
    EdUgen = makeEdit(Metingen, QStringLiteral("EdUgen"), QRect(94, 26, 57, 21), true);
    Label5 = makeLabel(Metingen, QStringLiteral("Label5"), QStringLiteral("V"), QPoint(166, 34));
    Label3 =
        makeLabel(Metingen, QStringLiteral("Label3"), QStringLiteral("Frequentie"), QPoint(39, 70));
    EdFreq = makeEdit(Metingen, QStringLiteral("EdFreq"), QRect(94, 66, 57, 21), true);
    Label6 = makeLabel(Metingen, QStringLiteral("Label6"), QStringLiteral("Hz"), QPoint(166, 74));
    // Where the system's font is wider than the layout's, a caption ends just left of
    // its field rather than running under it.
    for (QLabel *caption : {Label2, Label3})
        if (caption->geometry().right() >= EdUgen->x() - 2)
            caption->move(EdUgen->x() - 3 - caption->width(), caption->y());

    GroupBox1 = makeGroup(client, QStringLiteral("GroupBox1"), QString(), QRect(26, 479, 203, 52));
    Label4 = makeLabel(GroupBox1, QStringLiteral("Label4"), QStringLiteral("Phase Angle"),
                       QPoint(27, 18));
    Edit1 = makeEdit(GroupBox1, QStringLiteral("Edit1"), QRect(95, 13, 57, 21), true);
    Label1 =
        makeLabel(GroupBox1, QStringLiteral("Label1"), QStringLiteral("grad"), QPoint(159, 20));
    if (Label4->geometry().right() >= Edit1->x() - 2)
        Label4->move(Edit1->x() - 3 - Label4->width(), Label4->y());

    // Enter, like Space, presses the focused button: the window has no default button.
    for (QPushButton *button : {Schakelen, BtnStartStop, Button2, Button3})
        button->setAutoDefault(true);
    // Names and descriptions a screen reader gives the diagrams, sliders and read-outs.
    describe(Image1, QStringLiteral("Network phasors"),
             QStringLiteral("The network's three phase voltages, 380 V at 50 Hz, turning."));
    describe(Image2, QStringLiteral("Generator phasors"),
             QStringLiteral("The generator's three phase voltages, turning."));
    describe(TbAmplitude, QStringLiteral("Generator voltage"),
             QStringLiteral("Sets the generator's voltage."));
    describe(TbFrequentie, QStringLiteral("Generator frequency"),
             QStringLiteral("Sets the generator's frequency."));
    describe(EdUgen, QStringLiteral("Generator voltage"),
             QStringLiteral("The generator's line voltage, V."));
    describe(EdFreq, QStringLiteral("Generator frequency"),
             QStringLiteral("The generator's frequency, Hz."));
    describe(Edit1, QStringLiteral("Phase angle"),
             QStringLiteral("The angle between the network's and the generator's first phase, "
                            "degrees."));
    describe(hoekhulp, QStringLiteral("Synchroscope aid"),
             QStringLiteral("Green while the generator's arrow tip is close enough to the "
                            "network's to switch."));
}

void TForm1::createMenu() {
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    File1 = menuBar()->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    OpenScenario1 =
        File1->addAction(QStringLiteral("&Open scenario..."), this, &TForm1::OpenScenario1Click);
    OpenScenario1->setObjectName(QStringLiteral("OpenScenario1"));
    SaveScenario1 =
        File1->addAction(QStringLiteral("Sa&ve scenario..."), this, &TForm1::SaveScenario1Click);
    SaveScenario1->setObjectName(QStringLiteral("SaveScenario1"));
    ExportSwitchings1 = File1->addAction(QStringLiteral("&Export switchings..."), this,
                                         &TForm1::ExportSwitchings1Click);
    ExportSwitchings1->setObjectName(QStringLiteral("ExportSwitchings1"));
    File1->addSeparator();
    afsluiten1 = File1->addAction(QStringLiteral("&Close"), this, &TForm1::afsluiten1Click);
    afsluiten1->setObjectName(QStringLiteral("afsluiten1"));
    opties1 = menuBar()->addMenu(QStringLiteral("&Tools"));
    opties1->setObjectName(QStringLiteral("opties1"));
    synchrhulp1 =
        opties1->addAction(QStringLiteral("&Synchr aid"), this, &TForm1::synchrhulp1Click);
    synchrhulp1->setObjectName(QStringLiteral("synchrhulp1"));
    Setup1 = opties1->addAction(QStringLiteral("&Setup"), this, &TForm1::Setup1Click);
    Setup1->setObjectName(QStringLiteral("Setup1"));
    SynchroPanel1 = opties1->addAction(QStringLiteral("Synchronising &panel"), this,
                                       &TForm1::SynchroPanel1Click);
    SynchroPanel1->setObjectName(QStringLiteral("SynchroPanel1"));
    Switchboard1 =
        opties1->addAction(QStringLiteral("S&witchboard..."), this, &TForm1::Switchboard1Click);
    Switchboard1->setObjectName(QStringLiteral("Switchboard1"));
    about1 = menuBar()->addMenu(QStringLiteral("&Help"));
    about1->setObjectName(QStringLiteral("about1"));
    Help1 = about1->addAction(QStringLiteral("&Help"), this, &TForm1::Help1Click);
    Help1->setObjectName(QStringLiteral("Help1"));
    UserGuide1 = about1->addAction(QStringLiteral("&User guide"), this, [this] {
        UserGuideWindow::open(this, QStringLiteral("selmex"), selmexGuides(), viewZoom());
    });
    UserGuide1->setObjectName(QStringLiteral("UserGuide1"));
    UserGuide1->setShortcut(QKeySequence::HelpContents);
    info1 = about1->addAction(QStringLiteral("&About"), this, &TForm1::info1Click);
    info1->setObjectName(QStringLiteral("info1"));
    View1 = viewZoom()->addMenu(menuBar(), about1);
}

void TForm1::FormCreate() {
    m_netDiagram = std::make_unique<PhasorDiagram>(Image1->surface());
    m_genDiagram = std::make_unique<PhasorDiagram>(Image2->surface());
    // Erasing paints in the colour behind text fields: white on the usual desktop
    // colours, like the blank pictures, so an erased arrow leaves no trace.
    const Colour background = fromQRgb(palette().color(QPalette::Base).rgb());
    m_netDiagram->BackgroundColor = m_genDiagram->BackgroundColor = background;
    // The phasors' pixels, from which the read-outs and the switching check work, are
    // the layout's at 100 %, whatever the zoom they are shown at.
    m_session.beginAtRandom(Image1->layoutSize(), Image2->layoutSize());
    showNewSession();
    Timer1->start();
}

void TForm1::showNewSession() {
    for (QSlider *slider : {TbFrequentie, TbAmplitude}) {
        const QSignalBlocker quiet(slider);
        slider->setValue(50);
    }
    tbFrequentieChange();
    TbAmplitudeChange();
}

PhasorDiagram &TForm1::diagramOf(SelmexSession::PhasorSet set) {
    return set == SelmexSession::PhasorSet::Network ? *m_netDiagram : *m_genDiagram;
}

void TForm1::tick() {
    const QScopedValueRollback<bool> inTick(m_inTick, true);
    m_session.tick(m_drawTick);
    const Colour aid = m_session.angleWithinWindow() ? clGreen : clRed;
    // Said and painted only when it changes: a screen reader repeats every change, and
    // the same colour again would repaint the panel under it, tick after tick.
    if (aid != hoekhulp->fill()) {
        hoekhulp->setAccessibleName(aid == clGreen
                                        ? QStringLiteral("Synchroscope aid: inside the window")
                                        : QStringLiteral("Synchroscope aid: outside the window"));
        hoekhulp->setFill(aid);
    }
    if (m_session.tickCount() % 3 == 0) ToonHoek();
    refreshPanel();
}

// A message box or dialog runs an event loop of its own. Opened by a click handled
// inside a tick (while a phasor is erased), that loop would run inside Timer1's slot,
// and Qt does not deliver a timer again while its slot runs: the diagrams would stand
// still, one arrow missing, until the box closed. Such a click waits for the tick's end;
// it then also meets the phasors all turned, none halfway.
bool TForm1::waitForTickEnd(void (TForm1::*action)()) {
    if (!m_inTick) return false;
    QMetaObject::invokeMethod(
        this, [this, action] { (this->*action)(); }, Qt::QueuedConnection);
    return true;
}

void TForm1::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    m_zoom.noteFrame();
    if (m_shownBefore) return;
    m_shownBefore = true;
    // The zoom of the last start, as far as this screen holds it, and pictures at this
    // screen's device pixels; a move to another screen may change those.
    if (QWindow *handle = windowHandle())
        connect(handle, &QWindow::screenChanged, this, &TForm1::applyZoom);
    m_zoom.takeRemembered();
    applyZoom();
}

void TForm1::moveEvent(QMoveEvent *event) {
    QMainWindow::moveEvent(event);
    m_zoom.noteFrame(); // the frame is known once the window is on the screen
}

void TForm1::applyZoom() {
    if (waitForTickEnd(&TForm1::applyZoom)) return;
    m_task->setZoom(viewZoom()->factor()); // first: the window allows for its width
    m_zoom.layOut([this] { return menuBar()->sizeHint().height(); });
    fitPictures();
    if (m_panel) m_panel->setZoom(viewZoom()->factor());
}

void TForm1::fitPictures() {
    const double zoom = viewZoom()->factor(), ratio = devicePixelRatioF();
    if (Image1->fitPicture(zoom, ratio))
        m_netDiagram->redrawOnNewPicture(m_session.networkPhasors());
    if (Image2->fitPicture(zoom, ratio))
        m_genDiagram->redrawOnNewPicture(m_session.generatorPhasors());
}

// A closed panel costs the tick nothing; opening it again brings it up to date.
void TForm1::refreshPanel() {
    if (m_panel && m_panel->isVisible())
        m_panel->showReading(m_session.reading(), m_session.networkPhasors(), m_session.maxAngle());
}

void TForm1::TbAmplitudeChange() {
    Timer1->stop();
    m_session.setAmplitude(TbAmplitude->value());
    EdUgen->setText(formatGeneralDigits(m_session.generatorVolts(), 3));
    tellSetting(TbAmplitude, QStringLiteral("voltage"), EdUgen, QStringLiteral("V"));
    refreshPanel();
    Timer1->start();
}

void TForm1::tbFrequentieChange() {
    Timer1->stop();
    m_session.setFrequency(TbFrequentie->value());
    EdFreq->setText(formatGeneralDigits(std::fabs(m_session.generatorHertz()), 3));
    tellSetting(TbFrequentie, QStringLiteral("frequency"), EdFreq, QStringLiteral("Hz"));
    refreshPanel();
    Timer1->start();
}

void TForm1::Button2Click() {
    m_session.swapPhaseColours(1, 2);
    refreshPanel();
}

void TForm1::Button3Click() {
    m_session.reverse();
    tbFrequentieChange();
}

void TForm1::BtnStartStopClick() {
    if (Timer1->isActive()) {
        Timer1->stop();
    } else {
        Timer1->start();
    }
}

void TForm1::ToonHoek() {
    Edit1->setText(formatFixed(m_session.phaseAngle(), 3, 1));
}

void TForm1::showMessage(const QString &text) {
    // The report's lines end in carriage returns; the box breaks its lines at line feeds.
    QString shown = text;
    shown.replace(QChar('\r'), QChar('\n'));
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), shown,
                    QMessageBox::Ok, this);
    box.setProperty("message", text);
    box.setTextFormat(Qt::PlainText);
    runModal(box, modalRunner);
}

void TForm1::SchakelenClick() {
    if (waitForTickEnd(&TForm1::SchakelenClick)) return;
    const SchakelOordeel oordeel = m_session.switchAttempt();
    if (m_panel) {
        m_panel->showSwitching(*m_session.lastSwitching());
        m_panel->showLog(m_session.log());
    }
    if (!oordeel.goed()) {
        showMessage(verdictMessage(oordeel));
        return;
    }
    // Connected: from now on the generator turns with the network, at the angle it had.
    Timer1->stop();
    EdFreq->setText(formatGeneral(NetworkFrequency));
    tellSetting(TbFrequentie, QStringLiteral("frequency"), EdFreq, QStringLiteral("Hz"));
    Timer1->start();
    hoekhulp->hide();
    synchrhulp1->setText(QStringLiteral("synchr hulp"));
    refreshPanel();
    showMessage(verdictMessage(oordeel));
}

void TForm1::synchrhulp1Click() {
    if (hoekhulp->isHidden()) {
        hoekhulp->show();
        synchrhulp1->setText(QStringLiteral("* synchr aid"));
    } else {
        hoekhulp->hide();
        synchrhulp1->setText(QStringLiteral("synchr aid"));
    }
    Timer1->start();
}

void TForm1::afsluiten1Click() {
    close();
}

void TForm1::Setup1Click() {
    if (waitForTickEnd(&TForm1::Setup1Click)) return;
    std::int32_t maxAngle = m_session.maxAngle();
    TOKBottomDlg::Execute(this, maxAngle, modalRunner);
    m_session.setMaxAngle(maxAngle);
    refreshPanel(); // the accepted sector
}

void TForm1::SynchroPanel1Click() {
    if (!m_panel) {
        m_panel = new SynchronisingPanel(this);
        m_panel->setZoom(viewZoom()->factor());
        // The View menu's keys zoom from the panel too, where the lecturer may be.
        ViewZoom *zoom = viewZoom();
        m_panel->addActions(zoom->zoomActions());
        if (m_session.lastSwitching()) m_panel->showSwitching(*m_session.lastSwitching());
        m_panel->showLog(m_session.log());
    }
    m_panel->show();
    refreshPanel();
    m_panel->raise();
    m_panel->activateWindow();
}

void TForm1::Switchboard1Click() {
    openSwitchboard();
}

bool TForm1::openSwitchboard(const std::optional<SwitchboardSettings> &settings, QString *error) {
    if (!m_switchboard)
        m_switchboard =
            new SwitchboardWindow(m_files, modalRunner, viewZoom(), switchboardClock, this);
    if (settings && !m_switchboard->startExercise(*settings, error)) return false;
    const auto bringUp = [board = QPointer<SwitchboardWindow>(m_switchboard)] {
        if (!board) return;
        board->show();
        board->raise();
        board->activateWindow();
    };
    // Opened with a file before this window is first shown, it comes up after it, on top.
    if (isVisible())
        bringUp();
    else
        QMetaObject::invokeMethod(this, bringUp, Qt::QueuedConnection);
    return true;
}

bool TForm1::openLessonFile(const QString &path) {
    openSwitchboard();
    return m_switchboard->openLesson(path);
}

void TForm1::closeEvent(QCloseEvent *event) {
    if (m_switchboard && !m_switchboard->lessons().recordMayGo()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

// The animation stands still while help or About is open.
void TForm1::Help1Click() {
    if (waitForTickEnd(&TForm1::Help1Click)) return;
    Timer1->stop();
    TOKRightDlg::Execute(this, selmexHelp(), modalRunner);
    Timer1->start();
}

void TForm1::info1Click() {
    if (waitForTickEnd(&TForm1::info1Click)) return;
    Timer1->stop();
    TAboutBox::Execute(this, selmexAbout(), modalRunner);
    Timer1->start();
}

void TForm1::showFileInTitle() {
    const QString caption = QStringLiteral("Form1");
    const QString &file = m_session.scenarioFile();
    setWindowTitle(file.isEmpty() ? caption
                                  : caption + QStringLiteral(" \u2014 ") + messageName(file));
}

bool TForm1::openScenario(const SelmexScenario &scenario) {
    const bool wasConnected = m_session.connected();
    if (!m_session.openScenario(scenario)) return false;
    showOpenedScenario(wasConnected);
    return true;
}

bool TForm1::openScenarioFile(const QString &path, QString *error) {
    const bool wasConnected = m_session.connected();
    if (!m_session.openScenarioFile(path, error)) return false;
    showOpenedScenario(wasConnected);
    // A file with a switchboard's exercise opens the switchboard with it; the trainer
    // takes the rest of the file as before.
    if (const auto &board = m_session.scenarioSwitchboard(); board && openSwitchboard(board))
        m_switchboard->taskPanel()->showComments(m_session.scenarioComments());
    return true;
}

void TForm1::showOpenedScenario(bool wasConnected) {
    // Not connected any more: the aid's menu item as before a good switching, unless
    // the aid has been shown since (the item then says so).
    if (wasConnected && hoekhulp->isHidden()) synchrhulp1->setText(QStringLiteral("synchr aid"));
    showNewSession();
    m_task->showComments(m_session.scenarioComments());
    showFileInTitle();
    if (m_panel) {
        m_panel->clearSwitching();
        m_panel->showLog(m_session.log());
        refreshPanel();
    }
}

namespace {

const QString ScenarioFilter = QStringLiteral("Selmex scenarios (*.selmex)");

} // namespace

void TForm1::reportFailure(const QString &message) {
    showErrorReport(this, message, modalRunner);
}

// The file dialogs run event loops of their own: like the boxes, they wait for the end
// of a tick.
void TForm1::OpenScenario1Click() {
    if (waitForTickEnd(&TForm1::OpenScenario1Click)) return;
    const QString fileName =
        m_files.chooseFileToOpen(this, QStringLiteral("Open scenario"), ScenarioFilter);
    if (fileName.isEmpty()) return;
    QString error;
    if (!openScenarioFile(fileName, &error)) reportFailure(error);
}

void TForm1::SaveScenario1Click() {
    if (waitForTickEnd(&TForm1::SaveScenario1Click)) return;
    const QString fileName = m_files.chooseFile(this, QStringLiteral("Save scenario"),
                                                QStringLiteral("exercise.selmex"), ScenarioFilter);
    if (fileName.isEmpty()) return;
    QString error;
    if (!m_session.saveScenarioFile(fileName, &error)) {
        reportFailure(error);
        return;
    }
    showFileInTitle();
}

void TForm1::ExportSwitchings1Click() {
    if (waitForTickEnd(&TForm1::ExportSwitchings1Click)) return;
    if (m_session.log().empty()) {
        // Nothing has gone wrong: a notice, as Dravex's for a run not made yet.
        showNotice(this,
                   QStringLiteral("There are no switchings to export yet: press \"Switch\" "
                                  "first."),
                   QStringLiteral("NothingToExport"), modalRunner);
        return;
    }
    // Taken before the dialog: the log may grow while it is open.
    const QByteArray csv = switchingsCsv(m_session.start(), m_session.log());
    const QString fileName = m_files.chooseFile(this, QStringLiteral("Export switchings"),
                                                QStringLiteral("selmex-switchings.csv"),
                                                QStringLiteral("CSV files (*.csv)"));
    if (fileName.isEmpty()) return;
    QString error;
    if (!writeSelmexFile(fileName, csv, &error)) reportFailure(error);
}
