#include "dravon2.h"

#include "controls.h"
#include "criticalclearing.h"
#include "dravexinfo.h"
#include "equalareastatus.h"
#include "errorreport.h"
#include "gen_dlg_new.h"
#include "imagecontrol.h"
#include "layouthelpers.h"
#include "numberformat.h"
#include "rounding.h"
#include "scenario_dlg.h"
#include "scenariofile.h"
#include "schak_dlg.h"
#include "swingcurves.h"
#include "viewzoom.h"

#include <algorithm>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QWindow>

namespace {

// The name the zoom and the View menu's choices are remembered under.
const QString SettingsName = QStringLiteral("Dravex");
const QString RoundedReadoutsKey = QStringLiteral("View/roundedReadouts");

} // namespace

TDravon::Readout &TDravon::readoutOf(QLineEdit *edit) {
    for (Readout &r : m_readouts)
        if (r.edit == edit) return r;
    return m_readouts.back(); // every read-out is in the table
}

// From the first digit on, as a student reads it: a long number is cut off at the right,
// never at the left. Rounded, 4 significant digits and the unit, as the tooltips name it.
void TDravon::writeReadout(const Readout &r) const {
    if (!r.value) {
        r.edit->clear();
        return;
    }
    r.edit->setText(m_roundedReadouts ? formatGeneralDigits(*r.value, 4) + r.unit
                                      : formatGeneral(*r.value));
    r.edit->setCursorPosition(0);
}

void TDravon::showReadout(QLineEdit *edit, long double value) {
    Readout &r = readoutOf(edit);
    r.value = value;
    writeReadout(r);
}

void TDravon::clearReadout(QLineEdit *edit) {
    Readout &r = readoutOf(edit);
    r.value.reset();
    writeReadout(r);
}

void TDravon::showPower(QLineEdit *edit, long double value, bool perUnitPmech) {
    // Pelec is in the unit the user gave Pmax in, which the program does not know.
    readoutOf(edit).unit = perUnitPmech ? QStringLiteral(" p.u.") : QString();
    showReadout(edit, value);
    explain(edit, perUnitPmech
                      ? QStringLiteral("Mechanical power Pmech, per-unit of Pmax (before a run)")
                      : QStringLiteral("Electrical power Pelec, in the unit of Pmax (MW when "
                                       "Pmax is in MW)"));
}

void TDravon::setRoundedReadouts(bool rounded) {
    m_roundedReadouts = rounded;
    programSettings(SettingsName).setValue(RoundedReadoutsKey, rounded);
    if (RoundedReadouts1) RoundedReadouts1->setChecked(rounded);
    for (const Readout &r : m_readouts) writeReadout(r);
}

TDravon::TDravon(QWidget *parent)
    : QMainWindow(parent), m_alertSound(std::make_unique<AlertSound>()) {
    setObjectName(QStringLiteral("Dravon"));
    setWindowTitle(QStringLiteral("Critical clearing time"));
    setFont(layoutFont());

    m_background = std::make_unique<BackgroundSearch>(this);
    searchRunner = [this](CriticalSearch search, CriticalFound found) {
        m_background->run(std::move(search), std::move(found));
    };
    m_stepTimer.setSingleShot(true);
    m_stepTimer.setTimerType(Qt::PreciseTimer);

    viewZoom = new ViewZoom(this, SettingsName);
    createMenu();
    createControls();
    sinus = std::make_unique<SinusPlot>(ImageSinus->surface());
    sinus->showWindow = [this] { show(); };
    oppervlakken = std::make_unique<Oppervlakken>(ImageSinus->surface(), *sinus);
    fase = std::make_unique<Fase>(ImageFase->surface());
    rotor = std::make_unique<Rotor>(ImageRotor->surface());
    StatusEqualAreas = new EqualAreaStatus(this);
    setStatusBar(StatusEqualAreas);
    // The status bar adds to the layout's client area; nothing of the layout moves.
    resize(ClientSize.width(), ClientSize.height() + menuBar()->sizeHint().height() +
                                   StatusEqualAreas->sizeHint().height());
    m_sizeAt100 = size();
    m_layoutZoom.capture(this);
    move(239, 137);
    describeForScreenReaders();

    // The zoom of the last start, as far as the screen holds it; the plots are drawn for
    // it from the start. Nothing is written to the settings here.
    viewZoom->setWindowSize(m_sizeAt100, QSize());
    const int remembered = viewZoom->remembered();
    if (remembered != viewZoom->percent()) viewZoom->zoomTo(remembered);
    zoomLayout();
    FormCreate();
    connect(viewZoom, &ViewZoom::changed, this, &TDravon::applyZoom);
    // Start-up has shown the window: its screen is known, and a move to another may
    // change the device pixel ratio.
    if (QWindow *handle = windowHandle())
        connect(handle, &QWindow::screenChanged, this, &TDravon::applyZoom);
    applyZoom();
    keepOnScreen(this);
}

TDravon::~TDravon() {
    // A search still running gives up; its result goes nowhere.
    if (m_searchCancel) m_searchCancel->store(true);
}

void TDravon::createControls() {
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);

    schema = makePanel(client, QStringLiteral("schema"), QRect(24, 16, 297, 209));
    QFont symbolFont = font();
    symbolFont.setPixelSize(19);
    schema->setFont(symbolFont);
    // Later controls lie on top of earlier ones: the letters on their circles.
    Shape1 = new ShapeControl(schema, QStringLiteral("Shape1"), ShapeControl::Kind::Circle,
                              QRect(9, 78, 73, 57), clWhite);
    Shape1->setToolTip(QStringLiteral("right-click for popup"));
    Generator =
        new MouseLabel(schema, QStringLiteral("Generator"), QStringLiteral("G"), QPoint(40, 94));
    Generator->setToolTip(QStringLiteral("rightclick for popup"));
    Shape2 = new ShapeControl(schema, QStringLiteral("Shape2"), ShapeControl::Kind::Circle,
                              QRect(200, 64, 73, 57), clWhite);
    swingbus =
        new MouseLabel(schema, QStringLiteral("swingbus"), QStringLiteral("SB"), QPoint(224, 80));
    Lijn = new ShapeControl(schema, QStringLiteral("Lijn"), ShapeControl::Kind::Rectangle,
                            QRect(119, 91, 90, 4), clBlack);
    // The second of two parallel lines, above the first, into the swing bus's circle;
    // shown only for a fault on one of them.
    Lijn2 = new ShapeControl(schema, QStringLiteral("Lijn2"), ShapeControl::Kind::Rectangle,
                             QRect(119, 72, 97, 4), clBlack);
    Lijn2->hide();
    Rail = new ShapeControl(schema, QStringLiteral("Rail"), ShapeControl::Kind::Rectangle,
                            QRect(112, 48, 9, 89), clBlack);
    Rail->setToolTip(QStringLiteral("rightclick for popup"));
    Shape3 = new ShapeControl(schema, QStringLiteral("Shape3"), ShapeControl::Kind::Rectangle,
                              QRect(73, 103, 45, 4), clBlack);
    FaultMark = new ShapeControl(schema, QStringLiteral("FaultMark"), ShapeControl::Kind::Rectangle,
                                 QRect(165, 66, 5, 16), clRed);
    FaultMark->hide();
    for (auto *shape : {Shape1, Shape2})
        connect(shape, &ShapeControl::mouseDown, this, &TDravon::Shape1MouseDown);
    for (auto *label : {Generator, swingbus})
        connect(label, &MouseLabel::mouseDown, this, &TDravon::Shape1MouseDown);
    connect(Rail, &ShapeControl::mouseDown, this, &TDravon::RailMouseDown);

    PanelSinus = makePanel(client, QStringLiteral("PanelSinus"), QRect(24, 232, 297, 185));
    ImageSinus = new ImageControl(PanelSinus, QStringLiteral("ImageSinus"), QRect(8, 8, 281, 168));

    Kortsluiting = new QPushButton(QStringLiteral("short circuit"), client);
    Kortsluiting->setObjectName(QStringLiteral("Kortsluiting"));
    Kortsluiting->setGeometry(344, 16, 75, 25);
    // Enter presses the focused button, like Space: the window has no default button.
    Kortsluiting->setAutoDefault(true);
    connect(Kortsluiting, &QPushButton::clicked, this, &TDravon::KortsluitingClick);

    EditDomega = makeEdit(client, QStringLiteral("EditDomega"), QRect(328, 56, 73, 21), true);
    labDomega = makeLabel(client, QStringLiteral("labDomega"), QStringLiteral("Speed deviation"),
                          {405, 59});
    EditDelta = makeEdit(client, QStringLiteral("EditDelta"), QRect(328, 88, 73, 21), true);
    LabDelta =
        makeLabel(client, QStringLiteral("LabDelta"), QStringLiteral("rotor angle"), {405, 94});
    EdittotTijd = makeEdit(client, QStringLiteral("EdittotTijd"), QRect(328, 128, 73, 21), false);
    LabTotTijd =
        makeLabel(client, QStringLiteral("LabTotTijd"), QStringLiteral("Total Time"), {406, 132});
    EditPelek = makeEdit(client, QStringLiteral("EditPelek"), QRect(328, 160, 73, 21), false);
    LabPelek = makeLabel(client, QStringLiteral("LabPelek"), QStringLiteral("Pelec"), {405, 168});

    Panelrotor = makePanel(client, QStringLiteral("Panelrotor"), QRect(485, 238, 193, 177));
    ImageRotor = new ImageControl(Panelrotor, QStringLiteral("ImageRotor"), QRect(24, 8, 161, 161));
    Panelfase = makePanel(client, QStringLiteral("Panelfase"), QRect(501, 14, 177, 177));
    ImageFase = new ImageControl(Panelfase, QStringLiteral("ImageFase"), QRect(16, 16, 145, 145));
    Label1 = makeLabel(Panelfase, QStringLiteral("Label1"), QStringLiteral("angle"), {130, 90});
    Label2 = makeLabel(Panelfase, QStringLiteral("Label2"), QStringLiteral("speed dev"), {90, 20});

    m_readouts = {Readout{EditDomega, QStringLiteral(" rad/s"), {}},
                  Readout{EditDelta, QStringLiteral("\u00B0"), {}},
                  Readout{EdittotTijd, QStringLiteral(" s"), {}},
                  Readout{EditPelek, QStringLiteral(" p.u."), {}}};

    setTabOrder(Kortsluiting, EditDomega);
    setTabOrder(EditDomega, EditDelta);
    setTabOrder(EditDelta, EdittotTijd);
    setTabOrder(EdittotTijd, EditPelek);
}

void TDravon::createMenu() {
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    File1 = menuBar()->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    const auto addItem = [this](QMenu *menu, const QString &name, const QString &caption,
                                void (TDravon::*handler)()) {
        QAction *action = menu->addAction(caption, this, handler);
        action->setObjectName(name);
        return action;
    };
    OpenScenario1 = addItem(File1, QStringLiteral("OpenScenario1"),
                            QStringLiteral("&Open scenario..."), &TDravon::OpenScenario1Click);
    SaveScenario1 = addItem(File1, QStringLiteral("SaveScenario1"),
                            QStringLiteral("Sa&ve scenario..."), &TDravon::SaveScenario1Click);
    File1->addSeparator();
    ExportRun1 = addItem(File1, QStringLiteral("ExportRun1"), QStringLiteral("&Export run..."),
                         &TDravon::ExportRun1Click);
    SavePicture1 = addItem(File1, QStringLiteral("SavePicture1"),
                           QStringLiteral("Save &picture..."), &TDravon::SavePicture1Click);
    File1->addSeparator();
    Close1 =
        addItem(File1, QStringLiteral("Close1"), QStringLiteral("&Close"), &TDravon::Close1Click);

    Tools1 = menuBar()->addMenu(QStringLiteral("&Tools"));
    Tools1->setObjectName(QStringLiteral("Tools1"));
    MachineData1 = addItem(Tools1, QStringLiteral("MachineData1"),
                           QStringLiteral("&Machine data..."), &TDravon::MachineData1Click);
    ClearingTime1 = addItem(Tools1, QStringLiteral("ClearingTime1"),
                            QStringLiteral("C&learing time..."), &TDravon::ClearingTime1Click);
    FaultScenario1 = addItem(Tools1, QStringLiteral("FaultScenario1"),
                             QStringLiteral("Fault &scenario..."), &TDravon::FaultScenario1Click);
    Tools1->addSeparator();
    FindCritical1 =
        addItem(Tools1, QStringLiteral("FindCritical1"),
                QStringLiteral("&Find critical clearing time"), &TDravon::FindCritical1Click);
    SwingCurves1 = addItem(Tools1, QStringLiteral("SwingCurves1"), QStringLiteral("S&wing curves"),
                           &TDravon::SwingCurves1Click);

    Speed1 = menuBar()->addMenu(QStringLiteral("&Speed"));
    Speed1->setObjectName(QStringLiteral("Speed1"));
    auto *speeds = new QActionGroup(this);
    speeds->setExclusive(true);
    const auto addSpeed = [&](const QString &name, const QString &caption, RunSpeed speed) {
        QAction *action = Speed1->addAction(caption, this, [this, speed] { setSpeed(speed); });
        action->setObjectName(name);
        action->setCheckable(true);
        action->setChecked(speed == m_speed);
        speeds->addAction(action);
        return action;
    };
    Realtime1 =
        addSpeed(QStringLiteral("Realtime1"), QStringLiteral("&Real time"), RunSpeed::RealTime);
    Slowmotion1 = addSpeed(QStringLiteral("Slowmotion1"), QStringLiteral("&Slow motion"),
                           RunSpeed::SlowMotion);
    Fast1 = addSpeed(QStringLiteral("Fast1"), QStringLiteral("&Fast"), RunSpeed::Fast);

    Help1 = menuBar()->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Help2 = Help1->addAction(QStringLiteral("&Help"), this, &TDravon::Help2Click);
    Help2->setObjectName(QStringLiteral("Help2"));
    About1 = Help1->addAction(QStringLiteral("&About"), this, &TDravon::About1Click);
    About1->setObjectName(QStringLiteral("About1"));
    QMenu *view = viewZoom->addMenu(menuBar(), Help1);
    view->addSeparator();
    RoundedReadouts1 = view->addAction(QStringLiteral("&Rounded read-outs"));
    RoundedReadouts1->setObjectName(QStringLiteral("RoundedReadouts1"));
    RoundedReadouts1->setCheckable(true);
    // As the last start left it; the read-outs are written after the menu is made.
    m_roundedReadouts = programSettings(SettingsName).value(RoundedReadoutsKey, false).toBool();
    RoundedReadouts1->setChecked(m_roundedReadouts);
    connect(RoundedReadouts1, &QAction::toggled, this, &TDravon::setRoundedReadouts);
}

void TDravon::FormCreate() {
    m_case = StabilityCase{};
    m_run = std::make_unique<FaultRun>(m_case.machine);
    m_run->addListener([this](const StepReport &report) { showStep(report); });
    caseChanged();
    showReadout(EditDelta, generator().DeltaInDegrees());
    // As created, Pelek is per-unit (equal to Pmech); a run shows it times Pmax.
    showPower(EditPelek, generator().Pelek, true);

    // Drawing the axes shows the window, before the rest of start-up is done.
    const TMyGenerator &g = generator();
    m_plots = PlotState{};
    m_plots.pmech = g.Pmech;
    m_plots.traceDelta = m_plots.rotorDelta = g.Delta;
    m_plots.traceDomega = g.Domega;
    sinus->InitSinus();
    sinus->BerekenSinus();
    drawPowerAngle(*sinus, g.Pmech, true);

    fase->InitFase();
    fase->TekenasFase();
    fase->BerekenFase(g.Delta, g.Domega);
    fase->beginTrace(g.Delta, g.Domega);
    fase->TekenFase();

    rotor->InitRotor();
    rotor->TekenRotor(g.Delta);

    m_freshGenerator = true;
}

void TDravon::setSpeed(RunSpeed speed) {
    m_speed = speed;
    QAction *item = speed == RunSpeed::RealTime     ? Realtime1
                    : speed == RunSpeed::SlowMotion ? Slowmotion1
                                                    : Fast1;
    if (item && !item->isChecked()) item->setChecked(true);
}

void TDravon::KortsluitingClick() {
    if (m_run->Running()) {
        // The loop further down the call stack sees this at its next test and ends.
        m_run->stop();
        return;
    }
    const bool reuse = m_freshGenerator && generator().FollowsFromItsValues();
    m_freshGenerator = false;
    if (reuse) {
        // The start-up generator, already drawn, serves the first run, as long as the
        // machine data written into it since have not changed its inertia or its
        // starting angle.
    } else {
        m_run->newGenerator(m_case.machine);
        redrawPowerAngle();
        fase->SchoonFase();
        fase->TekenasFase();
        fase->beginTrace(generator().Delta, generator().Domega);
        m_plots.traceDelta = generator().Delta;
        m_plots.traceDomega = generator().Domega;
    }
    m_run->start(m_case.scenario);
    history.begin(generator(), m_case.clearingMs, m_case.scenario);
    m_tekenTeller = 0;
    m_plots.areasRun = m_plots.traceRun = history.last()->id;
    m_plots.areasDelta = generator().Delta;
    m_plots.areasPmech = generator().Pmech;
    m_plots.areasR1 = m_case.scenario.r1();
    m_plots.areasPreviousDelta = oppervlakken->VorigeDelta;
    m_plots.freshAfter.clear();
    m_plots.blockBeforeRun = m_plots.lastBlock;
    oppervlakken->InitOppervlakken(m_plots.areasDelta, m_plots.areasPmech, m_plots.areasR1);
    areaSum.start(generator(), m_case.scenario);
    showNetwork(m_case.scenario, NetworkState::Fault);
    StatusEqualAreas->startAreas(areaSum, m_case.machine, m_case.scenario);
    tijdloop();
}

void TDravon::tijdloop() {
    m_pacer.start(clock());
    m_firstDue = m_lastDue = m_pacer.due();
    while (m_run->continues()) {
        m_lastDue = m_pacer.due();
        // The engine steps the current generator and calls showStep.
        const StepReport report = m_run->step(m_case.clearingMs);
        if (m_zoomPending) applyZoom(); // asked for while the step ran
        if (stepHook) stepHook(report.number);
        // Let the window live: the button can stop the run, dialogs can change the data.
        QCoreApplication::processEvents();
        m_pacer.stepDone(m_speed, clock());
        waitForNextStep();
    }
    m_run->finish();
    history.finish(*m_run);
    StatusEqualAreas->showAreas(areaSum); // the last steps since the last redraw too
    if (m_swingCurves) m_swingCurves->follow(history, true);
}

void TDravon::showStep(const StepReport &report) {
    // A zoom asked for in the out-of-step message's events waits for the step's end.
    const QScopedValueRollback<bool> inStep(m_inStep, true);
    history.record(report, generator());
    showPower(EditPelek, generator().PelekInPowerUnit(), false);
    showReadout(EditDomega, report.Domega);
    showReadout(EditDelta, generator().DeltaInDegrees());
    areaSum.stap(generator(), report.faultOn, report.factor);
    if (report.network != m_shownNetwork) showNetwork(m_run->scenario(), report.network);
    // The clock of this step, before any message about it: the message and the swing
    // curves' legend name the same moment as the read-out.
    showReadout(EdittotTijd, report.clock);

    if (report.outOfStep) {
        // The engine ends the run after this step, once the box is closed. The swing
        // curves name the outcome and leave the runaway out of their axes while the box
        // waits.
        if (m_swingCurves && m_swingCurves->isVisible()) m_swingCurves->follow(history, true);
        if (m_alertSound) m_alertSound->play();
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"),
                        QStringLiteral("De generator is uit de pas"), QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("UitDePas"));
        box.setTextFormat(Qt::PlainText);
        runModal(box, modalRunner);
    }

    // Reached through the current reference after the box, which ran events of its own.
    const TMyGenerator &g = generator();
    if (drawPlots) {
        fase->BerekenFase(g.Delta, g.Domega);
        fase->TekenFase();
    }

    ++m_tekenTeller;
    if (m_tekenTeller == RedrawEvery && drawPlots) {
        RunSample now;
        now.delta = g.Delta;
        now.pelek = g.Pelek;
        now.network = report.network;
        drawSwingStep(*sinus, *oppervlakken, now, g.Pmech);
        m_plots.lastBlock = std::make_pair(g.Delta, g.Pelek);
        rotor->WisRotor();
        rotor->TekenRotor(g.Delta);
        m_plots.rotorDelta = g.Delta;
        StatusEqualAreas->showAreas(areaSum);
        if (m_swingCurves && m_swingCurves->isVisible()) m_swingCurves->follow(history, false);
    }
    if (m_tekenTeller == RedrawEvery) m_tekenTeller = 0;
}

void TDravon::waitForNextStep() {
    // Wait for the schedule while handling events as they come: no sleep that freezes
    // the window, no busy loop that burns a core.
    while (m_run->continues()) {
        const auto left = m_pacer.due() - clock();
        if (left <= RunPacer::Clock::duration::zero()) return;
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
        m_stepTimer.start(static_cast<int>(ms));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void TDravon::Shape1MouseDown(Qt::MouseButton button) {
    if (button == Qt::RightButton) TGenDlg::Execute(this, generator(), m_case.machine, modalRunner);
    // The areas and the block are gone until the run draws them again.
    if (m_run->takeMachineData(m_case.machine)) redrawPowerAngle();
    caseChanged();
    QCoreApplication::processEvents();
}

void TDravon::redrawPowerAngle() {
    const FaultScenario &network = Running() ? m_run->scenario() : m_case.scenario;
    const double pmech = generator().Pmech;
    if (Running() && history.last()) {
        m_plots.freshAfter.emplace_back(history.last()->samples.size(), pmech);
    } else {
        // No run draws the areas again.
        m_plots.pmech = pmech;
        m_plots.axesOverCurves = false;
        m_plots.areasRun = 0;
        m_plots.freshAfter.clear();
    }
    sinus->setNetwork(network.r1(), network.r2());
    drawPowerAngle(*sinus, pmech, false);
}

void TDravon::RailMouseDown(Qt::MouseButton button) {
    if (button == Qt::RightButton) TSchakDlg::Execute(this, m_case.clearingMs, modalRunner);
}

void TDravon::Close1Click() {
    close();
}

// Both dialogs are modal: a run in progress waits in its event pump until they close.
void TDravon::Help2Click() {
    TOKRightDlg::Execute(this, dravexHelp(), modalRunner);
}

void TDravon::About1Click() {
    TAboutBox::Execute(this, dravexAbout(), modalRunner);
}

void TDravon::ExportRun1Click() {
    reportFiles.exportRun(this, history.last(), modalRunner);
}

namespace {

const QString ScenarioFilter = QStringLiteral("Dravex scenarios (*.dravex)");

} // namespace

void TDravon::OpenScenario1Click() {
    const QString fileName =
        reportFiles.chooseFileToOpen(this, QStringLiteral("Open scenario"), ScenarioFilter);
    if (fileName.isEmpty()) return;
    // A refused file changes nothing; its message names the line and the fault.
    QString error;
    if (!openScenarioFile(fileName, &error)) showErrorReport(this, error, modalRunner);
}

bool TDravon::openScenarioFile(const QString &path, QString *error) {
    const ScenarioFileResult read = readScenarioFile(path);
    if (!read.ok) {
        if (error) *error = read.error;
        return false;
    }
    if (!openCase(read.value)) return false; // the file's reader checks the same ranges
    setScenarioFile(path);
    m_scenarioComments = read.comments;
    return true;
}

void TDravon::SaveScenario1Click() {
    const QString fileName = reportFiles.chooseFile(
        this, QStringLiteral("Save scenario"), QStringLiteral("exercise.dravex"), ScenarioFilter);
    if (fileName.isEmpty()) return;
    QString error;
    if (!writeScenarioFile(fileName, m_case, &error, m_scenarioComments)) {
        showErrorReport(this, error, modalRunner);
        return;
    }
    setScenarioFile(fileName);
}

void TDravon::setScenarioFile(const QString &path) {
    m_scenarioFile = path;
    const QString caption = QStringLiteral("Critical clearing time");
    setWindowTitle(path.isEmpty()
                       ? caption
                       : caption + QStringLiteral(" \u2014 ") + QFileInfo(path).fileName());
}

void TDravon::SavePicture1Click() {
    reportFiles.savePicture(this, clientPicture(), modalRunner);
}

QImage TDravon::clientPicture() {
    const int top = menuBar()->isVisible() ? menuBar()->geometry().bottom() + 1 : 0;
    return grab(QRect(0, top, width(), height() - top)).toImage();
}

// The same as the right-clicks on the diagram, for the keyboard and for a touchpad
// without a right button; like them, they work during a run.
void TDravon::MachineData1Click() {
    Shape1MouseDown(Qt::RightButton);
}

void TDravon::ClearingTime1Click() {
    RailMouseDown(Qt::RightButton);
}

void TDravon::FindCritical1Click() {
    // Runs of its own from fresh generators: the current generator, the plots and a run
    // in progress are left alone.
    if (m_searchCancel) m_searchCancel->store(true);
    ++m_searchNumber; // a search still running for the same case is not needed
    m_searchedFor = std::make_pair(m_case.machine, m_case.scenario);
    StatusEqualAreas->showSimulation(findCriticalClearingTime(m_case.machine, m_case.scenario));
    StatusEqualAreas->announceSimulation(); // the command's answer is this line alone
}

void TDravon::FaultScenario1Click() {
    FaultScenario chosen = m_case.scenario;
    if (TScenarioDlg::Execute(this, chosen, modalRunner)) setScenario(chosen);
}

void TDravon::setMachineData(const TGenParams &machine) {
    m_case.machine = machine;
    caseChanged();
}

void TDravon::setClearingTime(std::int32_t ms) {
    m_case.clearingMs = ms;
}

void TDravon::setScenario(const FaultScenario &scenario) {
    if (scenario == m_case.scenario) return;
    m_case.scenario = scenario;
    if (!Running()) {
        redrawPowerAngle();
        showNetwork(m_case.scenario, NetworkState::Fault);
    }
    caseChanged();
}

bool TDravon::openCase(const StabilityCase &c) {
    if (checkCase(c)) return false;
    // The loop of a run in progress, further down the call stack, ends at its next test
    // and finds the new generator.
    m_run->stop();
    m_case = c;
    // A file that holds the case names itself, and gives its comments, after this.
    setScenarioFile(QString());
    m_scenarioComments.clear();
    m_run->newGenerator(m_case.machine);
    const TMyGenerator &g = generator();
    redrawPowerAngle();
    fase->SchoonFase();
    fase->TekenasFase();
    fase->BerekenFase(g.Delta, g.Domega);
    fase->beginTrace(g.Delta, g.Domega);
    fase->TekenFase();
    rotor->WisRotor();
    rotor->TekenRotor(g.Delta);
    m_plots.traceRun = 0;
    m_plots.traceDelta = m_plots.rotorDelta = g.Delta;
    m_plots.traceDomega = g.Domega;
    showReadout(EditDelta, g.DeltaInDegrees());
    showPower(EditPelek, g.Pelek, true);
    clearReadout(EditDomega);
    clearReadout(EdittotTijd);
    showNetwork(m_case.scenario, NetworkState::Fault);
    m_freshGenerator = true;
    caseChanged();
    return true;
}

void TDravon::showNetwork(const FaultScenario &scenario, NetworkState state) {
    m_shownNetwork = state;
    const bool twoLines = scenario.network == Network::TwoLines;
    Lijn2->setVisible(twoLines);
    FaultMark->setVisible(twoLines);
    if (!twoLines) return;
    // The fault's place along the line from the busbar's edge to the swing bus, in the
    // layout at 100 %, shown at the zoom.
    const QRect line = m_layoutZoom.layoutGeometry(Lijn2);
    const QRect mark = m_layoutZoom.layoutGeometry(FaultMark);
    const int x =
        line.left() + 2 + static_cast<int>(scenario.locationPercent / 100 * (line.width() - 4));
    m_layoutZoom.place(FaultMark, QRect(QPoint(x - mark.width() / 2, mark.y()), mark.size()));
    // The tripped line is drawn grey while its breakers are open.
    const bool open = state == NetworkState::Cleared || state == NetworkState::LockedOut;
    Lijn2->setFill(open ? clSilver : clBlack);
    Lijn2->setToolTip(open ? QStringLiteral("Faulted line, tripped: out of service")
                           : QStringLiteral("Faulted line, in service"));
}

void TDravon::caseChanged() {
    StatusEqualAreas->showCriterion(m_case.machine, m_case.scenario, Running());
    const auto now = std::make_pair(m_case.machine, m_case.scenario);
    if (!m_searchedFor || *m_searchedFor != now) searchCritical();
}

void TDravon::searchCritical() {
    if (m_searchCancel) m_searchCancel->store(true);
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_searchCancel = cancel;
    const std::uint64_t number = ++m_searchNumber;
    m_searchedFor = std::make_pair(m_case.machine, m_case.scenario);
    StatusEqualAreas->showSearching();
    searchRunner(
        [machine = m_case.machine, scenario = m_case.scenario, cancel] {
            return findCriticalClearingTime(machine, scenario, MaxClearingMs, cancel.get());
        },
        [this, number](const CriticalClearing &found) {
            // Only the newest search speaks: a result for older data is dropped.
            if (number == m_searchNumber) StatusEqualAreas->showSimulation(found);
        });
}

void TDravon::SwingCurves1Click() {
    if (!m_swingCurves) {
        m_swingCurves = new SwingCurves(this);
        m_swingCurves->setZoom(viewZoom->factor());
        // Into the folder used last, as File > Save picture...
        m_swingCurves->savePicture = [this](const QImage &picture) {
            // Its own name, so that it does not replace the main window's picture.
            reportFiles.savePicture(m_swingCurves, picture, modalRunner,
                                    QStringLiteral("dravex-swing-curves.png"));
        };
    }
    m_swingCurves->follow(history, !Running()); // what it missed while it was closed
    m_swingCurves->show();
    m_swingCurves->raise();
    m_swingCurves->activateWindow();
}

void TDravon::describeForScreenReaders() {
    describe(schema, QStringLiteral("One-line diagram"),
             QStringLiteral("A generator feeds an infinite bus over a line from its busbar."));
    const QString generatorHelp = QStringLiteral(
        "Right-click, or Tools > Machine data, to change Pmax, H, Demping and Pmech.");
    describe(Shape1, QStringLiteral("Generator"), generatorHelp);
    describe(Generator, QStringLiteral("Generator"), generatorHelp);
    describe(Shape2, QStringLiteral("Swing bus"),
             QStringLiteral("The infinite bus. ") + generatorHelp);
    describe(swingbus, QStringLiteral("Swing bus"),
             QStringLiteral("The infinite bus. ") + generatorHelp);
    describe(Rail, QStringLiteral("Busbar"),
             QStringLiteral("Where the short circuit is put. Right-click, or Tools > Clearing "
                            "time, to change when it is cleared."));
    describe(Lijn, QStringLiteral("Line"),
             QStringLiteral("The line from the busbar to the swing bus."));
    describe(Lijn2, QStringLiteral("Faulted line"),
             QStringLiteral("The second of two parallel lines, which the fault is on; grey while "
                            "its breakers are open."));
    describe(FaultMark, QStringLiteral("Fault"),
             QStringLiteral("Where the fault is on the line. Tools > Fault scenario sets it."));
    describe(Shape3, QStringLiteral("Connection"),
             QStringLiteral("The connection from the generator to the busbar."));
    describe(Kortsluiting, QStringLiteral("short circuit"),
             QStringLiteral("Starts a fault run; pressed during a run, stops it."));
    describe(ImageSinus, QStringLiteral("Power-angle plot"),
             QStringLiteral("Electrical power against rotor angle, the mechanical power line, "
                            "the operating point and the accelerating and decelerating areas."));
    describe(ImageFase, QStringLiteral("Phase plane"),
             QStringLiteral("Speed deviation against rotor angle through the run."));
    describe(ImageRotor, QStringLiteral("Rotor"),
             QStringLiteral("The two-pole rotor turned by the rotor angle."));
    EditDomega->setAccessibleName(QStringLiteral("Speed deviation"));
    explain(EditDomega, QStringLiteral("Speed deviation from synchronous speed, in rad/s"));
    EditDelta->setAccessibleName(QStringLiteral("rotor angle"));
    explain(EditDelta, QStringLiteral("Rotor angle against the infinite bus, in degrees; it "
                                      "counts whole turns, so it is not wrapped to 360"));
    EdittotTijd->setAccessibleName(QStringLiteral("Total Time"));
    explain(EdittotTijd, QStringLiteral("Time since the fault began, in s"));
    EditPelek->setAccessibleName(QStringLiteral("Pelec")); // its description follows its value
}

void TDravon::applyZoom() {
    if (m_inStep) {
        m_zoomPending = true;
        return;
    }
    m_zoomPending = false;
    if (zoomLayout())
        redrawPlots(m_plots, history, RedrawEvery, *sinus, *oppervlakken, *fase, *rotor);
    if (m_swingCurves) m_swingCurves->setZoom(viewZoom->factor());
}

bool TDravon::zoomLayout() {
    const double zoom = viewZoom->factor();
    if (zoom != m_layoutZoom.zoom()) {
        m_layoutZoom.apply(zoom);
        const int outline = std::max(1, roundToPixel(static_cast<long double>(zoom)));
        for (ShapeControl *shape : schema->findChildren<ShapeControl *>())
            shape->setLineWidth(outline);
        // Back at 100 % the window's size is start-up's; zoomed, the client area is the
        // layout's, with the bars at the height of their new fonts. The bars and the
        // window's least size follow the fonts at once, not at the next events.
        const int statusHeight = StatusEqualAreas->heightForFont();
        layout()->activate();
        const QSize client = LayoutZoom::scaled(ClientSize, zoom);
        resize(zoom == 1.0
                   ? m_sizeAt100
                   : QSize(client.width(),
                           client.height() + menuBar()->sizeHint().height() + statusHeight));
        keepOnScreen(this);
    }
    bool fresh = false;
    for (ImageControl *image : {ImageSinus, ImageFase, ImageRotor})
        fresh = image->fitPicture(zoom, devicePixelRatioF()) || fresh;
    return fresh;
}

void TDravon::moveEvent(QMoveEvent *event) {
    // The frame is known once the window is on the screen: the largest zoom allows for it.
    viewZoom->setWindowSize(m_sizeAt100, frameGeometry().size() - geometry().size());
    QMainWindow::moveEvent(event);
}

void TDravon::closeEvent(QCloseEvent *event) {
    // A run in progress must not go on computing behind a closed window: clearing the
    // flag ends its loop at the next test, and the program exits once it has returned.
    m_run->stop();
    if (m_searchCancel) m_searchCancel->store(true);
    QMainWindow::closeEvent(event);
}
