#include "dravon2.h"

#include "dravexinfo.h"
#include "equalareastatus.h"
#include "errorreport.h"
#include "gen_dlg_new.h"
#include "imagecontrol.h"
#include "layouthelpers.h"
#include "lessoncontroller.h"
#include "lessonpane.h"
#include "networkdiagram.h"
#include "networkopening.h"
#include "readoutpanel.h"
#include "rememberedoption.h"
#include "scenariodialog.h"
#include "schak_dlg.h"
#include "stabilityboundary.h"
#include "taskpanel.h"
#include "userguidewindow.h"
#include "viewzoom.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <QWindow>

namespace {

// The name the zoom and the View menu's choices are remembered under.
const QString SettingsName = QStringLiteral("Dravex");
const QString PhasePlaneText =
    QStringLiteral("Speed deviation against rotor angle through the run.");

} // namespace

void TDravon::showBoundary(bool redraw) {
    const DravexSession &s = *m_session;
    // A run keeps its network to the end; the machine data it takes as they change.
    const FaultScenario &scenario = s.isRunning() ? s.faultRun().scenario() : s.scenario();
    const TGenParams &machine = s.machineData();
    std::optional<std::array<double, 3>> from;
    QString description = PhasePlaneText;
    if (StabilityBoundaryAction->isChecked()) {
        const StabilityBoundary boundary = finalBoundary(machine, scenario);
        from = {machine.H, scenario.mechanicalPower(machine.Pmech), scenario.finalFactor()};
        m_plots->setBoundary(boundary);
        description += boundary.exists()
                           ? QStringLiteral(" Stability boundary shown: the closed curve around "
                                            "the stable equilibrium, from inside which the "
                                            "undamped machine swings back.")
                           : QStringLiteral(" No stable equilibrium after the disturbance: no "
                                            "stability boundary.");
    } else {
        m_plots->setBoundary(std::nullopt);
    }
    ImageFase->setAccessibleDescription(description);
    const bool changed = from != m_boundaryFrom;
    m_boundaryFrom = from;
    if (redraw && changed) m_plots->redrawPhasePlane(s.history());
}

void TDravon::redrawPlots() {
    if (m_inStep) {
        m_redrawPending = true;
        return;
    }
    m_redrawPending = false;
    m_plots->redraw(m_session->history());
}

TDravon::TDravon(QWidget *parent)
    : QMainWindow(parent), m_session(new DravexSession(this)),
      m_zoom(this, SettingsName, ClientSize), m_alertSound(std::make_unique<AlertSound>()) {
    m_reportFiles.runner = &modalRunner;
    m_tools = std::make_unique<ToolWindows>(
        this, *m_session, m_reportFiles, modalRunner, [this] { return viewZoom()->factor(); },
        [this](const StabilityCase &c) { takeStudyCase(c); });
    setObjectName(QStringLiteral("Dravon"));
    setWindowTitle(QStringLiteral("Critical clearing time"));
    setFont(layoutFont());

    createMenu();
    createControls();
    m_plots = std::make_unique<RunPlots>(ImageSinus->surface(), ImageFase->surface(),
                                         ImageRotor->surface());
    m_plots->sinus->showWindow = [this] { show(); };
    m_status = new EqualAreaStatus(this);
    setStatusBar(m_status);
    // The status bar adds to the layout's client area; nothing of the layout moves.
    resize(ClientSize.width(),
           ClientSize.height() + menuBar()->sizeHint().height() + m_status->sizeHint().height());
    m_zoom.capture();
    // After the capture: the pane is laid out by Qt and zooms its own fonts.
    createLesson();
    m_taskPanel = new TaskPanel(this, [this] { m_zoom.fitBesidePanes(); });
    menuBar()
        ->findChild<QMenu *>(QStringLiteral("View1"))
        ->addAction(m_taskPanel->toggleViewAction());
    move(239, 137);
    describeForScreenReaders();
    // The View menu's plot options as the last start left them.
    m_plots->setLabels(PlotLabelsAction->isChecked());
    showBoundary(false);

    // The zoom of the last start, as far as the screen holds it; the plots are drawn for
    // it from the start.
    m_zoom.takeRemembered();
    zoomLayout();
    connectSession();
    FormCreate();
    connect(viewZoom(), &ViewZoom::changed, this, &TDravon::applyZoom);
    // Start-up has shown the window: its screen is known, and a move to another may
    // change the device pixel ratio.
    if (QWindow *handle = windowHandle())
        connect(handle, &QWindow::screenChanged, this, &TDravon::applyZoom);
    applyZoom();
    keepOnScreen(this);
}

TDravon::~TDravon() {
    // The parts go before the window's children: the session speaks to them no more.
    m_session->disconnect(this);
}

LessonSession &TDravon::lessonSession() {
    return m_lessons->lesson();
}

LessonPane *TDravon::lessonPane() const {
    return m_lessons->pane();
}

bool TDravon::openLesson(const QString &path) {
    return m_lessons->open(path);
}

void TDravon::connectSession() {
    DravexSession &s = *m_session;
    connect(&s, &DravexSession::caseChanged, this, [this] {
        m_status->showCriterion(m_session->machineData(), m_session->scenario(),
                                m_session->isRunning());
    });
    connect(&s, &DravexSession::caseChanged, this, [this] { showBoundary(true); });
    connect(&s, &DravexSession::scenarioChanged, this, [this] {
        if (m_session->isRunning()) return; // the run keeps its network
        redrawPowerAngle();
        m_diagram->show(m_session->scenario(), NetworkState::Fault);
    });
    connect(&s, &DravexSession::caseOpened, this, &TDravon::showNewCase);
    connect(&s, &DravexSession::scenarioFileChanged, this, &TDravon::showFileInTitle);
    connect(&s, &DravexSession::scenarioFileChanged, this,
            [this] { m_taskPanel->showComments(m_session->scenarioComments()); });
    connect(&s, &DravexSession::generatorRenewed, this,
            [this] { m_plots->drawNewGenerator(m_session->generator(), m_session->scenario()); });
    connect(&s, &DravexSession::runBegun, this, [this] {
        const FaultScenario &scenario = m_session->scenario();
        m_plots->beginRun(m_session->generator(), *m_session->history().last(), scenario);
        m_diagram->show(scenario, NetworkState::Fault);
        m_status->startAreas(m_session->areaSum(), m_session->machineData(), scenario);
    });
    connect(&s, &DravexSession::stepped, this, &TDravon::showStep);
    connect(&s, &DravexSession::stepEnded, this, [this] {
        if (m_zoomPending) applyZoom(); // asked for while the step ran
        if (m_redrawPending) redrawPlots();
    });
    connect(&s, &DravexSession::runEnded, this, [this] {
        m_status->showAreas(m_session->areaSum()); // the last steps since the last redraw too
        m_tools->runEnded();
    });
    connect(&s, &DravexSession::speedChanged, this, &TDravon::showSpeed);
    connect(&s, &DravexSession::searchStarted, m_status, &EqualAreaStatus::showSearching);
    connect(&s, &DravexSession::searchFound, m_status, &EqualAreaStatus::showSimulation);
}

void TDravon::createControls() {
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);

    m_diagram = new NetworkDiagram(client, m_zoom.layout(), this);
    connect(m_diagram, &NetworkDiagram::generatorPressed, this, &TDravon::Shape1MouseDown);
    connect(m_diagram, &NetworkDiagram::busbarPressed, this, &TDravon::RailMouseDown);

    PanelSinus = makePanel(client, QStringLiteral("PanelSinus"), QRect(24, 232, 297, 185));
    ImageSinus = new ImageControl(PanelSinus, QStringLiteral("ImageSinus"), QRect(8, 8, 281, 168));

    Kortsluiting = new QPushButton(QStringLiteral("short circuit"), client);
    Kortsluiting->setObjectName(QStringLiteral("Kortsluiting"));
    Kortsluiting->setGeometry(344, 16, 75, 25);
    // Enter presses the focused button, like Space: the window has no default button.
    Kortsluiting->setAutoDefault(true);
    connect(Kortsluiting, &QPushButton::clicked, this, &TDravon::KortsluitingClick);

    m_readouts = std::make_unique<ReadoutPanel>(client);
    m_readouts->setRounded(RoundedReadoutsAction->isChecked());

    Panelrotor = makePanel(client, QStringLiteral("Panelrotor"), QRect(485, 238, 193, 177));
    ImageRotor = new ImageControl(Panelrotor, QStringLiteral("ImageRotor"), QRect(24, 8, 161, 161));
    Panelfase = makePanel(client, QStringLiteral("Panelfase"), QRect(501, 14, 177, 177));
    ImageFase = new ImageControl(Panelfase, QStringLiteral("ImageFase"), QRect(16, 16, 145, 145));
    Label1 = makeLabel(Panelfase, QStringLiteral("Label1"), QStringLiteral("angle"), {130, 90});
    Label2 = makeLabel(Panelfase, QStringLiteral("Label2"), QStringLiteral("speed dev"), {90, 20});

    m_readouts->followInTabOrder(Kortsluiting);
}

void TDravon::createMenu() {
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    File1 = menuBar()->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    const auto addItem = [this](QMenu *menu, const QString &name, const QString &caption,
                                auto handler) {
        QAction *action = menu->addAction(caption, this, handler);
        action->setObjectName(name);
        return action;
    };
    OpenScenarioAction = addItem(File1, QStringLiteral("OpenScenario1"),
                                 QStringLiteral("&Open scenario..."), &TDravon::openScenario);
    SaveScenarioAction = addItem(File1, QStringLiteral("SaveScenario1"),
                                 QStringLiteral("Sa&ve scenario..."), &TDravon::saveScenario);
    // A network of several machines opens in a window of its own.
    addItem(File1, QStringLiteral("OpenNetworkAction"), QStringLiteral("Open &network..."),
            [this] { askAndOpenNetwork(this, m_reportFiles, modalRunner, false); });
    addItem(File1, QStringLiteral("ImportMatpowerAction"),
            QStringLiteral("Import &MATPOWER case..."),
            [this] { askAndOpenNetwork(this, m_reportFiles, modalRunner, true); });
    File1->addSeparator();
    // The lesson's controller takes these once it is made.
    OpenLessonAction = File1->addAction(QStringLiteral("Open &lesson..."));
    OpenLessonAction->setObjectName(QStringLiteral("OpenLessonAction"));
    ExportLessonRecordAction = File1->addAction(QStringLiteral("E&xport lesson record..."));
    ExportLessonRecordAction->setObjectName(QStringLiteral("ExportLessonRecordAction"));
    PrintWorksheetAction = File1->addAction(QStringLiteral("Print &worksheet..."));
    PrintWorksheetAction->setObjectName(QStringLiteral("PrintWorksheetAction"));
    ExportAnswerKeyAction = File1->addAction(QStringLiteral("Export answer &key..."));
    ExportAnswerKeyAction->setObjectName(QStringLiteral("ExportAnswerKeyAction"));
    File1->addSeparator();
    ExportRunAction = addItem(File1, QStringLiteral("ExportRun1"), QStringLiteral("&Export run..."),
                              &TDravon::exportRun);
    SavePictureAction = addItem(File1, QStringLiteral("SavePicture1"),
                                QStringLiteral("Save &picture..."), &TDravon::savePicture);
    File1->addSeparator();
    Close1 = addItem(File1, QStringLiteral("Close1"), QStringLiteral("&Close"), &TDravon::close);

    ToolsMenu = menuBar()->addMenu(QStringLiteral("&Tools"));
    ToolsMenu->setObjectName(QStringLiteral("Tools1"));
    // The same as the right-clicks on the diagram, for the keyboard and for a touchpad
    // without a right button; like them, they work during a run.
    MachineDataAction =
        addItem(ToolsMenu, QStringLiteral("MachineData1"), QStringLiteral("&Machine data..."),
                [this] { Shape1MouseDown(Qt::RightButton); });
    ClearingTimeAction =
        addItem(ToolsMenu, QStringLiteral("ClearingTime1"), QStringLiteral("C&learing time..."),
                [this] { RailMouseDown(Qt::RightButton); });
    FaultScenarioAction =
        addItem(ToolsMenu, QStringLiteral("FaultScenario1"), QStringLiteral("Fault &scenario..."),
                &TDravon::chooseFaultScenario);
    ToolsMenu->addSeparator();
    FindCriticalAction =
        addItem(ToolsMenu, QStringLiteral("FindCritical1"),
                QStringLiteral("&Find critical clearing time"), &TDravon::findCritical);
    SwingCurvesAction = addItem(ToolsMenu, QStringLiteral("SwingCurves1"),
                                QStringLiteral("S&wing curves"), &TDravon::showSwingCurves);
    // Its access key is T: S already opens the fault scenario.
    CriticalClearingStudyAction =
        addItem(ToolsMenu, QStringLiteral("CriticalClearingStudyAction"),
                QStringLiteral("Critical clearing s&tudy..."), &TDravon::showStudy);

    SpeedMenu = menuBar()->addMenu(QStringLiteral("&Speed"));
    SpeedMenu->setObjectName(QStringLiteral("Speed1"));
    auto *speeds = new QActionGroup(this);
    speeds->setExclusive(true);
    const auto addSpeed = [&](const QString &name, const QString &caption, RunSpeed speed) {
        QAction *action =
            addItem(SpeedMenu, name, caption, [this, speed] { m_session->setSpeed(speed); });
        action->setCheckable(true);
        action->setChecked(speed == m_session->speed());
        speeds->addAction(action);
        return action;
    };
    RealTimeAction =
        addSpeed(QStringLiteral("Realtime1"), QStringLiteral("&Real time"), RunSpeed::RealTime);
    SlowMotionAction = addSpeed(QStringLiteral("Slowmotion1"), QStringLiteral("&Slow motion"),
                                RunSpeed::SlowMotion);
    FastAction = addSpeed(QStringLiteral("Fast1"), QStringLiteral("&Fast"), RunSpeed::Fast);

    Help1 = menuBar()->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Help2 = addItem(Help1, QStringLiteral("Help2"), QStringLiteral("&Help"), &TDravon::Help2Click);
    UserGuideAction =
        addItem(Help1, QStringLiteral("UserGuide1"), QStringLiteral("&User guide"), [this] {
            UserGuideWindow::open(this, QStringLiteral("dravex"), dravexGuides(), viewZoom());
        });
    UserGuideAction->setShortcut(QKeySequence::HelpContents);
    About1 =
        addItem(Help1, QStringLiteral("About1"), QStringLiteral("&About"), &TDravon::About1Click);
    QMenu *view = viewZoom()->addMenu(menuBar(), Help1);
    view->addSeparator();
    // As the last start left them: the read-outs and the plots take them once made.
    RoundedReadoutsAction = addRememberedOption(
        view, SettingsName, QStringLiteral("View/roundedReadouts"),
        QStringLiteral("RoundedReadouts1"), QStringLiteral("&Rounded read-outs"),
        [this](bool on) { m_readouts->setRounded(on); });
    StabilityBoundaryAction =
        addRememberedOption(view, SettingsName, QStringLiteral("View/stabilityBoundary"),
                            QStringLiteral("StabilityBoundaryAction"),
                            QStringLiteral("Stability &boundary"), [this](bool) {
                                showBoundary(false);
                                m_plots->redrawPhasePlane(m_session->history());
                            });
    PlotLabelsAction = addRememberedOption(view, SettingsName, QStringLiteral("View/plotLabels"),
                                           QStringLiteral("PlotLabelsAction"),
                                           QStringLiteral("&Labels on the plots"), [this](bool on) {
                                               m_plots->setLabels(on);
                                               redrawPlots();
                                           });
    // The lesson's pane, put away and shown again; closing it keeps the lesson.
    LessonPaneAction = view->addAction(QStringLiteral("Lesson &pane"));
    LessonPaneAction->setObjectName(QStringLiteral("LessonPaneAction"));
    LessonPaneAction->setCheckable(true);
}

void TDravon::FormCreate() {
    m_session->announceCase(false);
    m_status->showSearching();
    centralWidget()->installEventFilter(this);
    const TMyGenerator &g = m_session->generator();
    m_readouts->showNewGenerator(g);
    // Drawing the axes shows the window, before the rest of start-up is done.
    m_plots->drawStart(g);
}

bool TDravon::eventFilter(QObject *watched, QEvent *event) {
    if (m_startUpSearchWaits && watched == centralWidget() && event->type() == QEvent::Paint) {
        m_startUpSearchWaits = false;
        centralWidget()->removeEventFilter(this);
        // Once this paint is over; a case changed since has been searched for already.
        QTimer::singleShot(0, m_session, [session = m_session] { session->announceCase(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void TDravon::showSpeed(RunSpeed speed) {
    QAction *item = speed == RunSpeed::RealTime     ? RealTimeAction
                    : speed == RunSpeed::SlowMotion ? SlowMotionAction
                                                    : FastAction;
    if (item && !item->isChecked()) item->setChecked(true);
}

void TDravon::KortsluitingClick() {
    // A press during a run stops it, as ever; a new run waits for the prediction.
    if (!m_session->isRunning() && !m_lessons->runMayStart()) return;
    m_session->shortCircuit();
}

void TDravon::showStep(const StepReport &report) {
    // A zoom asked for in the out-of-step message's events waits for the step's end.
    const QScopedValueRollback<bool> inStep(m_inStep, true);
    const TMyGenerator &now = m_session->generator();
    // The clock of this step too, before any message about it: the message and the swing
    // curves' legend name the same moment as the read-out.
    m_readouts->showStep(now, report);
    if (report.network != m_diagram->shownState())
        m_diagram->show(m_session->faultRun().scenario(), report.network);

    if (report.outOfStep) {
        // The engine ends the run after this step, once the box is closed. The swing
        // curves name the outcome and leave the runaway out of their axes while the box
        // waits.
        m_tools->followRun(true);
        if (m_alertSound) m_alertSound->play();
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"),
                        QStringLiteral("De generator is uit de pas"), QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("UitDePas"));
        box.setTextFormat(Qt::PlainText);
        runModal(box, modalRunner);
    }

    // Reached through the session after the box, which ran events of its own.
    if (m_plots->drawStep(m_session->generator(), report.network, m_session->history().last())) {
        m_status->showAreas(m_session->areaSum());
        m_tools->followRun(false);
    }
}

void TDravon::Shape1MouseDown(Qt::MouseButton button) {
    // OK stores the dialog's values; Cancel the current generator's.
    if (button == Qt::RightButton) {
        TGenParams machine = m_session->machineData();
        // A power step's run leaves P1 in the generator, but the machine data keep the
        // Pmech the step starts from: the dialog shows that, and Cancel changes nothing
        // (giving the generator the data would take it back from P1 and wipe the run's
        // areas).
        TMyGenerator shown = m_session->generator();
        const bool afterStep = m_session->faultRun().scenario().network == Network::PowerStep;
        if (afterStep) shown.Pmech = machine.Pmech;
        if (!TGenDlg::Execute(this, shown, machine, modalRunner) && afterStep) {
            QCoreApplication::processEvents();
            return;
        }
        m_session->setMachineData(machine);
    }
    // The areas and the block are gone until the run draws them again.
    if (m_session->giveMachineDataToGenerator()) redrawPowerAngle();
    QCoreApplication::processEvents();
}

void TDravon::redrawPowerAngle() {
    const DravexSession &s = *m_session;
    const bool running = s.isRunning();
    // Outside a run, the machine data's Pmech: the generator keeps a power step's P1
    // after its run, and the next run starts from the data.
    m_plots->redrawPowerAngle(running ? s.faultRun().scenario() : s.scenario(),
                              running ? s.generator().Pmech : s.machineData().Pmech,
                              running ? s.history().last() : nullptr);
}

void TDravon::RailMouseDown(Qt::MouseButton button) {
    if (button != Qt::RightButton) return;
    const FaultScenario &scenario = m_session->scenario();
    if (!scenario.hasFault()) {
        // Nothing to clear: the disturbance comes at the run's start and stays.
        showNotice(this,
                   (scenario.network == Network::PowerStep
                        ? QStringLiteral("A step in mechanical power has no fault to clear, ")
                        : QStringLiteral("A line switched out without a fault has nothing to "
                                         "clear, ")) +
                       QStringLiteral("so the clearing time means nothing here. Choose a "
                                      "fault in Tools > Fault scenario to set one."),
                   QStringLiteral("ClearingTimeNotice"), modalRunner);
        return;
    }
    std::int32_t ms = m_session->clearingTime();
    if (TSchakDlg::Execute(this, ms, modalRunner)) m_session->setClearingTime(ms);
}

// Both dialogs are modal: a run in progress waits in its event pump until they close.
void TDravon::Help2Click() {
    TOKRightDlg::Execute(this, dravexHelp(), modalRunner);
}

void TDravon::About1Click() {
    TAboutBox::Execute(this, dravexAbout(), modalRunner);
}

void TDravon::exportRun() {
    m_reportFiles.exportRun(this, m_session->history().last(), modalRunner);
}

namespace {

const QString ScenarioFilter = QStringLiteral("Dravex scenarios (*.dravex)");

} // namespace

void TDravon::openScenario() {
    const QString fileName =
        m_reportFiles.chooseFileToOpen(this, QStringLiteral("Open scenario"), ScenarioFilter);
    if (fileName.isEmpty()) return;
    // A refused file changes nothing; its message names the line and the fault.
    QString error;
    if (!m_session->openScenarioFile(fileName, &error)) showErrorReport(this, error, modalRunner);
}

void TDravon::saveScenario() {
    const QString fileName = m_reportFiles.chooseFile(
        this, QStringLiteral("Save scenario"), QStringLiteral("exercise.dravex"), ScenarioFilter);
    if (fileName.isEmpty()) return;
    QString error;
    if (!m_session->saveScenarioFile(fileName, &error)) showErrorReport(this, error, modalRunner);
}

void TDravon::showFileInTitle() {
    const QString path = m_session->scenarioFile();
    const QString caption = QStringLiteral("Critical clearing time");
    setWindowTitle(path.isEmpty()
                       ? caption
                       : caption + QStringLiteral(" \u2014 ") + QFileInfo(path).fileName());
}

void TDravon::savePicture() {
    m_reportFiles.savePicture(this, clientPicture(), modalRunner);
}

QImage TDravon::clientPicture() {
    const int top = menuBar()->isVisible() ? menuBar()->geometry().bottom() + 1 : 0;
    // Beside a docked lesson pane, the client area and the status bar below it alone.
    const QRect client = centralWidget()->geometry();
    return grab(QRect(client.left(), top, client.width(), height() - top)).toImage();
}

void TDravon::findCritical() {
    if (m_lessons->holdsRuns(true)) return;
    // Runs of its own from fresh generators: the current generator, the plots and a run
    // in progress are left alone.
    m_status->showSimulation(m_session->findCriticalNow());
    m_status->announceSimulation(); // the command's answer is this line alone
}

void TDravon::chooseFaultScenario() {
    FaultScenario chosen = m_session->scenario();
    if (ScenarioDialog::edit(this, chosen, modalRunner)) m_session->setScenario(chosen);
}

void TDravon::showNewCase() {
    m_status->clearAreas();
    const TMyGenerator &g = m_session->generator();
    m_plots->drawNewCase(g, m_session->scenario());
    m_readouts->showNewGenerator(g);
    m_readouts->clearRun();
    m_diagram->show(m_session->scenario(), NetworkState::Fault);
}

void TDravon::showSwingCurves() {
    if (!m_lessons->holdsRuns(false)) m_tools->showSwingCurves();
}

void TDravon::showStudy() {
    if (!m_lessons->holdsRuns(true)) m_tools->showStudy();
}

void TDravon::takeStudyCase(const StabilityCase &c) {
    if (c.machine != m_session->machineData()) {
        m_session->setMachineData(c.machine);
        // The areas and the block are gone until the run draws them again.
        if (m_session->giveMachineDataToGenerator()) redrawPowerAngle();
    }
    m_session->setScenario(c.scenario);
}

void TDravon::describeForScreenReaders() {
    describe(Kortsluiting, QStringLiteral("short circuit"),
             QStringLiteral("Starts a fault run; pressed during a run, stops it."));
    describe(ImageSinus, QStringLiteral("Power-angle plot"),
             QStringLiteral("Electrical power against rotor angle, the mechanical power line, "
                            "the operating point and the accelerating and decelerating areas."));
    describe(ImageFase, QStringLiteral("Phase plane"), PhasePlaneText);
    describe(ImageRotor, QStringLiteral("Rotor"),
             QStringLiteral("The two-pole rotor turned by the rotor angle."));
}

void TDravon::applyZoom() {
    if (m_inStep) {
        m_zoomPending = true;
        return;
    }
    m_zoomPending = false;
    if (zoomLayout()) m_plots->redraw(m_session->history());
    m_tools->setZoom(viewZoom()->factor());
}

bool TDravon::zoomLayout() {
    const double zoom = viewZoom()->factor();
    // First, so that the window allows for the pane's width at the new fonts.
    if (m_lessons) m_lessons->pane()->setZoom(zoom);
    if (m_taskPanel) m_taskPanel->setZoom(zoom);
    m_zoom.layOut([this] { return menuBar()->sizeHint().height() + m_status->heightForFont(); });
    bool fresh = false;
    for (ImageControl *image : {ImageSinus, ImageFase, ImageRotor})
        fresh = image->fitPicture(zoom, devicePixelRatioF()) || fresh;
    return fresh;
}

void TDravon::moveEvent(QMoveEvent *event) {
    // The frame is known once the window is on the screen: the largest zoom allows for it.
    m_zoom.noteFrame();
    QMainWindow::moveEvent(event);
}

void TDravon::closeEvent(QCloseEvent *event) {
    // The student's predictions are not lost unasked.
    if (!m_lessons->recordMayGo()) {
        event->ignore();
        return;
    }
    // A run in progress must not go on computing behind a closed window: clearing the
    // flag ends its loop at the next test, and the program exits once it has returned.
    m_session->stop();
    m_session->cancelSearch();
    m_tools->cancelStudy();
    QMainWindow::closeEvent(event);
}

void TDravon::createLesson() {
    using Hold = EqualAreaStatus::Hold;
    const auto showHold = [this](Hold hold) {
        m_status->holdAnswers(hold);
        if (m_plots->holdAnswers(hold != Hold::Nothing)) redrawPlots();
        // A study of the case shows its critical clearing time, the step's answer: it is
        // put away, as Tools would not open it now.
        if (hold != Hold::Nothing) m_tools->putStudyAway();
    };
    m_lessons = std::make_unique<LessonController>(
        this, *m_session, m_reportFiles, modalRunner,
        LessonController::MenuItems{OpenLessonAction, ExportLessonRecordAction, LessonPaneAction,
                                    PrintWorksheetAction, ExportAnswerKeyAction},
        [this] { m_zoom.fitBesidePanes(); }, showHold);
}
