#include "networkwindow.h"

#include "dravexinfo.h"
#include "equivalentplotwidget.h"
#include "errorreport.h"
#include "layouthelpers.h"
#include "layoutzoom.h"
#include "machinedatadialog.h"
#include "onelinediagram.h"
#include "viewzoom.h"

#include <algorithm>
#include <cmath>
#include <QActionGroup>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTableView>
#include <QValueAxis>
#include <QVBoxLayout>
#include <utility>

using namespace multimachine;

namespace {

// The settings the zoom and the speed are remembered in: the main window's.
const QString SettingsName = QStringLiteral("Dravex");
const QString SpeedKey = QStringLiteral("Network/speed");
constexpr double Degrees = 180 / M_PI;
// A run's charts take at most a point per this much of the run's time, so that a long
// run of many machines costs the charts no more than a short one.
constexpr double ChartGapSeconds = 0.004;

// One colour per machine, in the order of the file; more machines take them again.
const QColor MachineColours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28),
                                 QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
                                 QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                                 QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f),
                                 QColor(0xbc, 0xbd, 0x22), QColor(0x17, 0xbe, 0xcf)};

QString joinBuses(const std::vector<int> &buses) {
    QStringList names;
    for (int bus : buses) names << QString::number(bus);
    return names.join(QStringLiteral(", "));
}

// "machines 2, 3 against 1": the critical cluster against the rest.
QString clusterText(const EquivalentResult &e) {
    if (e.criticalMachines.empty()) return QStringLiteral("none");
    return (e.criticalMachines.size() == 1 ? QStringLiteral("machine ")
                                           : QStringLiteral("machines ")) +
           joinBuses(e.criticalMachines) + QStringLiteral(" against ") + joinBuses(e.otherMachines);
}

QString simulationText(const ClearingSearchResult &r) {
    switch (r.kind) {
    case ClearingSearchResult::Kind::StableThroughout:
        return QStringLiteral("in step up to %1 ms").arg(NetworkSession::LongestClearingMs);
    case ClearingSearchResult::Kind::UnstableAtOnce:
        return QStringLiteral("out of step even cleared at once");
    case ClearingSearchResult::Kind::Found:
        break;
    }
    return QStringLiteral("in step up to %1 ms, out of step from %2 ms")
        .arg(r.inStepUpToMs)
        .arg(r.outOfStepFromMs);
}

// The equivalent's critical clearing time, or why it has none.
QString equivalentTimeText(const EquivalentResult &e) {
    // Whole ms, rounded down as the command line prints it.
    if (e.found)
        return QStringLiteral("%1 ms").arg(static_cast<long>(std::floor(e.criticalClearingMs)));
    if (e.clusterIndices.empty() && !e.problem.empty()) return QString::fromStdString(e.problem);
    return e.kind == EquivalentResult::Kind::UnstableAtOnce
               ? QStringLiteral("out of step even cleared at once")
               : QStringLiteral("in step however late cleared");
}

QString lineName(const BranchId &id) {
    return QString::fromStdString(branchName(id));
}

// Rounded outwards to steps of 1, 2 or 5 times a power of ten, about six of them.
void widen(QValueAxis *axis, double lo, double hi) {
    if (!std::isfinite(lo) || !std::isfinite(hi)) return;
    if (lo >= axis->min() && hi <= axis->max()) return;
    lo = std::min(lo, axis->min());
    hi = std::max(hi, axis->max());
    const double rough = std::max(hi - lo, 1e-6) / 6;
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    const double step = decade * (rough <= decade       ? 1
                                  : rough <= 2 * decade ? 2
                                  : rough <= 5 * decade ? 5
                                                        : 10);
    axis->setTickInterval(step);
    axis->setLabelFormat(
        QStringLiteral("%.%1f").arg(std::max(0, -static_cast<int>(std::floor(std::log10(step))))));
    axis->setRange(std::floor(lo / step) * step, std::ceil(hi / step) * step);
}

NetworkWindow::Readout addReadout(QGridLayout *grid, int index, const QString &caption,
                                  const QString &name) {
    const int row = index / 2, col = (index % 2) * 2;
    auto *c = new QLabel(caption + QStringLiteral(":"));
    auto *v = new QLabel;
    v->setObjectName(name);
    v->setTextFormat(Qt::PlainText);
    v->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    v->setFocusPolicy(Qt::TabFocus); // read-outs reached by Tab, as a screen reader needs
    v->setAccessibleName(caption);
    c->setBuddy(v);
    grid->addWidget(c, row, col);
    grid->addWidget(v, row, col + 1);
    return {c, v};
}

} // namespace

NetworkWindow::NetworkWindow(QWidget *parent)
    : QMainWindow(parent), m_session(new NetworkSession(this)) {
    setObjectName(QStringLiteral("NetworkWindow"));
    setFont(layoutFont());
    m_files.runner = &modalRunner;
    m_viewZoom = new ViewZoom(this, SettingsName);
    createMenu();
    createControls();
    createCharts();
    createScreening();
    connectSession();
    const int remembered = programSettings(SettingsName).value(SpeedKey, 0).toInt();
    m_session->setSpeed(remembered == static_cast<int>(RunSpeed::Fast) ? RunSpeed::Fast
                        : remembered == static_cast<int>(RunSpeed::SlowMotion)
                            ? RunSpeed::SlowMotion
                            : RunSpeed::RealTime);
    showSpeed(m_session->speed());
    showGrid();
    resize(960, 640);
    m_sizeAt100 = size();
    // The layout gives way to the screen: the zoom needs no more room than its plots'.
    m_viewZoom->setWindowSize(QSize(900, 560), QSize());
    const int zoom = m_viewZoom->remembered();
    if (zoom != m_viewZoom->percent()) m_viewZoom->zoomTo(zoom);
    applyZoom();
    connect(m_viewZoom, &ViewZoom::changed, this, &NetworkWindow::applyZoom);
}

NetworkWindow::~NetworkWindow() {
    m_session->disconnect(this);
}

void NetworkWindow::createMenu() {
    menuBar()->setObjectName(QStringLiteral("NetworkMenu"));
    const auto addItem = [this](QMenu *menu, const QString &name, const QString &caption,
                                auto handler) {
        QAction *action = menu->addAction(caption, this, handler);
        action->setObjectName(name);
        return action;
    };
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    addItem(file, QStringLiteral("OpenNetworkAction"), QStringLiteral("&Open network..."),
            [this] { openAsked(false); });
    addItem(file, QStringLiteral("ImportMatpowerAction"),
            QStringLiteral("&Import MATPOWER case..."), [this] { openAsked(true); });
    m_saveAs = addItem(file, QStringLiteral("SaveNetworkAction"),
                       QStringLiteral("Save network &as..."), &NetworkWindow::saveAs);
    file->addSeparator();
    addItem(file, QStringLiteral("Close1"), QStringLiteral("&Close"), &NetworkWindow::close);

    QMenu *tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("Tools1"));
    m_machineData = addItem(tools, QStringLiteral("MachineDataAction"),
                            QStringLiteral("&Machine data..."), &NetworkWindow::editMachines);
    m_findCritical = addItem(tools, QStringLiteral("FindCritical1"),
                             QStringLiteral("&Find critical clearing time"),
                             [this] { m_session->findCriticalClearing(); });
    m_screenLines = addItem(tools, QStringLiteral("ScreenLinesAction"),
                            QStringLiteral("Screen &lines"), &NetworkWindow::screenLines);

    QMenu *speed = menuBar()->addMenu(QStringLiteral("&Speed"));
    speed->setObjectName(QStringLiteral("Speed1"));
    auto *speeds = new QActionGroup(this);
    const auto addSpeed = [&](const QString &name, const QString &caption, RunSpeed pace) {
        QAction *action = addItem(speed, name, caption, [this, pace] {
            m_session->setSpeed(pace);
            programSettings(SettingsName).setValue(SpeedKey, static_cast<int>(pace));
        });
        action->setCheckable(true);
        speeds->addAction(action);
        return action;
    };
    m_realTime =
        addSpeed(QStringLiteral("Realtime1"), QStringLiteral("&Real time"), RunSpeed::RealTime);
    m_slowMotion = addSpeed(QStringLiteral("Slowmotion1"), QStringLiteral("&Slow motion"),
                            RunSpeed::SlowMotion);
    m_fast = addSpeed(QStringLiteral("Fast1"), QStringLiteral("&Fast"), RunSpeed::Fast);

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction *guide =
        addItem(help, QStringLiteral("UserGuide1"), QStringLiteral("&User guide"), [this] {
            UserGuideWindow::open(this, QStringLiteral("dravex"), dravexGuides(), m_viewZoom);
        });
    guide->setShortcut(QKeySequence::HelpContents);
    m_viewZoom->addMenu(menuBar(), help);
}

void NetworkWindow::createControls() {
    auto *client = new QWidget(this);
    setCentralWidget(client);
    auto *grid = new QGridLayout(client);
    grid->setContentsMargins(6, 6, 6, 6);

    m_diagram = new OneLineDiagram(*m_session, client);
    describe(m_diagram, QStringLiteral("One-line diagram"),
             QStringLiteral("Buses, lines, transformers, machines and loads. Click a bus or a "
                            "line to put the fault there, or choose it under Fault at."));
    grid->addWidget(m_diagram, 0, 0);
    // The equivalent's plot, or in its place the reason there is none.
    m_equivalentPlace = new QStackedWidget(client);
    m_equivalent = new EquivalentPlotWidget(m_equivalentPlace);
    m_equivalent->setObjectName(QStringLiteral("EquivalentPlot"));
    m_noEquivalent = new QLabel(m_equivalentPlace);
    m_noEquivalent->setObjectName(QStringLiteral("NoEquivalent"));
    m_noEquivalent->setTextFormat(Qt::PlainText);
    m_noEquivalent->setWordWrap(true);
    m_noEquivalent->setAlignment(Qt::AlignCenter);
    m_equivalentPlace->addWidget(m_equivalent);
    m_equivalentPlace->addWidget(m_noEquivalent);
    grid->addWidget(m_equivalentPlace, 1, 0);

    m_problem = new QLabel(client);
    m_problem->setObjectName(QStringLiteral("NetworkProblem"));
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #b00000"));
    m_problem->setAccessibleName(QStringLiteral("Why the network cannot run"));
    grid->addWidget(m_problem, 2, 0, 1, 2);

    auto *controls = new QHBoxLayout;
    m_run = new QPushButton(QStringLiteral("&Run"), client);
    m_run->setObjectName(QStringLiteral("RunButton"));
    describe(m_run, QStringLiteral("Run"),
             QStringLiteral("Runs the fault from the pre-fault state; pressed during a run, "
                            "stops it."));
    connect(m_run, &QPushButton::clicked, this, &NetworkWindow::runOrStop);
    auto *faultCaption = new QLabel(QStringLiteral("F&ault at:"), client);
    m_faultPlace = new QComboBox(client);
    m_faultPlace->setObjectName(QStringLiteral("FaultPlace"));
    describe(m_faultPlace, QStringLiteral("Fault at"),
             QStringLiteral("The bus grounded by the fault, or the line faulted halfway and "
                            "cleared by opening it."));
    faultCaption->setBuddy(m_faultPlace);
    connect(m_faultPlace, QOverload<int>::of(&QComboBox::activated), this,
            &NetworkWindow::chooseFault);
    auto *clearingCaption = new QLabel(QStringLiteral("&Clearing time:"), client);
    m_clearing = new QSpinBox(client);
    m_clearing->setObjectName(QStringLiteral("ClearingTime"));
    m_clearing->setRange(0, NetworkSession::LongestClearingMs);
    m_clearing->setSuffix(QStringLiteral(" ms"));
    m_clearing->setKeyboardTracking(false);
    describe(m_clearing, QStringLiteral("Clearing time in milliseconds"),
             QStringLiteral("When the breakers clear the fault, in whole milliseconds."));
    clearingCaption->setBuddy(m_clearing);
    m_clearingSlider = new QSlider(Qt::Horizontal, client);
    m_clearingSlider->setObjectName(QStringLiteral("ClearingSlider"));
    m_clearingSlider->setRange(0, NetworkSession::LongestClearingMs);
    m_clearingSlider->setPageStep(10);
    describe(m_clearingSlider, QStringLiteral("Clearing time slider"),
             QStringLiteral("The clearing time from 0 to 2000 ms; arrows move it by 1 ms, "
                            "Page Up and Page Down by 10 ms."));
    connect(m_clearing, QOverload<int>::of(&QSpinBox::valueChanged), m_session,
            &NetworkSession::setClearingMs);
    connect(m_clearingSlider, &QSlider::valueChanged, m_session, &NetworkSession::setClearingMs);
    controls->addWidget(m_run);
    controls->addSpacing(12);
    controls->addWidget(faultCaption);
    controls->addWidget(m_faultPlace);
    controls->addSpacing(12);
    controls->addWidget(clearingCaption);
    controls->addWidget(m_clearing);
    controls->addWidget(m_clearingSlider, 1);
    grid->addLayout(controls, 3, 0, 1, 2);

    auto *readouts = new QGridLayout;
    int n = 0;
    m_time = addReadout(readouts, n++, QStringLiteral("Time"), QStringLiteral("TimeReadout"));
    m_clearingShown = addReadout(readouts, n++, QStringLiteral("Clearing time"),
                                 QStringLiteral("ClearingReadout"));
    m_angleSpread = addReadout(readouts, n++, QStringLiteral("Largest angle difference"),
                               QStringLiteral("AngleSpreadReadout"));
    m_cluster = addReadout(readouts, n++, QStringLiteral("Critical cluster"),
                           QStringLiteral("ClusterReadout"));
    m_criticalAngle = addReadout(readouts, n++, QStringLiteral("Equivalent's critical angle"),
                                 QStringLiteral("CriticalAngleReadout"));
    m_equivalentTime =
        addReadout(readouts, n++, QStringLiteral("Equivalent's critical clearing time"),
                   QStringLiteral("EquivalentTimeReadout"));
    m_simulationTime =
        addReadout(readouts, n++, QStringLiteral("Simulation's critical clearing time"),
                   QStringLiteral("SimulationTimeReadout"));
    readouts->setColumnStretch(1, 1);
    readouts->setColumnStretch(3, 1);
    grid->addLayout(readouts, 4, 0, 1, 2);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    setTabOrder(m_faultPlace, m_clearing);
    setTabOrder(m_clearing, m_clearingSlider);
    setTabOrder(m_clearingSlider, m_run);
    QWidget *previous = m_run;
    for (const Readout *r : {&m_time, &m_clearingShown, &m_angleSpread, &m_cluster,
                             &m_criticalAngle, &m_equivalentTime, &m_simulationTime}) {
        setTabOrder(previous, r->value);
        previous = r->value;
    }

    m_searchSoon.setSingleShot(true);
    m_searchSoon.setInterval(400);
    connect(&m_searchSoon, &QTimer::timeout, m_session, &NetworkSession::findCriticalClearing);
}

void NetworkWindow::createCharts() {
    auto *grid = static_cast<QGridLayout *>(centralWidget()->layout());
    const auto makeChart = [this](const QString &yTitle, QValueAxis *&time, QValueAxis *&y) {
        auto *chart = new QChart;
        chart->setAnimationOptions(QChart::NoAnimation);
        chart->setBackgroundRoundness(0);
        chart->layout()->setContentsMargins(0, 0, 0, 0);
        chart->legend()->setAlignment(Qt::AlignRight);
        QLocale locale = QLocale::system();
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        chart->setLocale(locale);
        chart->setLocalizeNumbers(true);
        time = new QValueAxis;
        time->setTitleText(QStringLiteral("Time (s)"));
        y = new QValueAxis;
        y->setTitleText(yTitle);
        for (QValueAxis *axis : {time, y}) {
            axis->setTickType(QValueAxis::TicksDynamic);
            axis->setTickAnchor(0);
            QFont font = axis->titleFont();
            font.setBold(false);
            axis->setTitleFont(font);
        }
        chart->addAxis(time, Qt::AlignBottom);
        chart->addAxis(y, Qt::AlignLeft);
        m_fonts.emplace_back(chart->legend()->font(),
                             [chart](const QFont &f) { chart->legend()->setFont(f); });
        for (QValueAxis *axis : {time, y}) {
            m_fonts.emplace_back(axis->labelsFont(),
                                 [axis](const QFont &f) { axis->setLabelsFont(f); });
            m_fonts.emplace_back(axis->titleFont(),
                                 [axis](const QFont &f) { axis->setTitleFont(f); });
        }
        return chart;
    };
    m_angleChart = makeChart(QStringLiteral("Angle (°)"), m_angleTime, m_angleAxis);
    m_angleChart->setTitle(QStringLiteral("Each machine against the centre of inertia"));
    m_fonts.emplace_back(m_angleChart->titleFont(),
                         [this](const QFont &f) { m_angleChart->setTitleFont(f); });
    m_speedChart = makeChart(QStringLiteral("Speed (rad/s)"), m_speedTime, m_speedAxis);
    m_speedChart->setTitle(QStringLiteral("Each machine's speed deviation"));
    m_fonts.emplace_back(m_speedChart->titleFont(),
                         [this](const QFont &f) { m_speedChart->setTitleFont(f); });
    int row = 0;
    for (QChart *chart : {m_angleChart, m_speedChart}) {
        auto *view = new QChartView(chart, centralWidget());
        view->setObjectName(chart == m_angleChart ? QStringLiteral("AngleChart")
                                                  : QStringLiteral("SpeedChart"));
        view->setRenderHint(QPainter::Antialiasing);
        view->setMinimumSize(280, 180);
        describe(view,
                 chart == m_angleChart
                     ? QStringLiteral("Machine angles against the centre of inertia")
                     : QStringLiteral("Machine speed deviations"),
                 QStringLiteral("One curve per machine, named by its bus, against time."));
        grid->addWidget(view, row++, 1);
    }
}

void NetworkWindow::createScreening() {
    m_screeningDock = new QDockWidget(QStringLiteral("Line screening"), this);
    m_screeningDock->setObjectName(QStringLiteral("ScreeningDock"));
    auto *inside = new QWidget(m_screeningDock);
    auto *layout = new QVBoxLayout(inside);
    layout->setContentsMargins(4, 4, 4, 4);
    m_screeningStatus = new QLabel(inside);
    m_screeningStatus->setObjectName(QStringLiteral("ScreeningStatus"));
    m_screeningStatus->setTextFormat(Qt::PlainText);
    layout->addWidget(m_screeningStatus);
    m_rows = new QStandardItemModel(0, 5, this);
    m_rows->setHorizontalHeaderLabels(
        {QStringLiteral("Line"), QStringLiteral("Fault bus"), QStringLiteral("Simulation CCT (ms)"),
         QStringLiteral("Equivalent CCT (ms)"), QStringLiteral("Critical machines")});
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(m_rows);
    m_sorted->setSortRole(Qt::UserRole);
    m_table = new QTableView(inside);
    m_table->setObjectName(QStringLiteral("ScreeningTable"));
    m_table->setModel(m_sorted);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(2, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    describe(m_table, QStringLiteral("Line screening"),
             QStringLiteral("A fault at each end of each line, cleared by opening the line: "
                            "the simulation's and the equivalent's critical clearing times "
                            "and the critical machines. Click a heading to sort."));
    layout->addWidget(m_table);
    m_screeningDock->setWidget(inside);
    addDockWidget(Qt::BottomDockWidgetArea, m_screeningDock);
    m_screeningDock->hide();
}

void NetworkWindow::connectSession() {
    NetworkSession &s = *m_session;
    connect(&s, &NetworkSession::gridChanged, this, &NetworkWindow::showGrid);
    connect(&s, &NetworkSession::fileChanged, this, &NetworkWindow::showTitle);
    connect(&s, &NetworkSession::faultChanged, this, &NetworkWindow::showFault);
    connect(&s, &NetworkSession::runBegun, this, &NetworkWindow::beginRun);
    connect(&s, &NetworkSession::advanced, this, [this] { showRun(false); });
    connect(&s, &NetworkSession::runEnded, this, [this] {
        showRun(true);
        m_run->setText(QStringLiteral("&Run"));
    });
    connect(&s, &NetworkSession::speedChanged, this, &NetworkWindow::showSpeed);
    connect(&s, &NetworkSession::searchStarted, this, &NetworkWindow::showSimulation);
    connect(&s, &NetworkSession::searchFound, this, &NetworkWindow::showSimulation);
    connect(&s, &NetworkSession::backgroundCancelled, this, [this] {
        showSimulation();
        if (m_screeningStatus->text().startsWith(QStringLiteral("Screening")))
            m_screeningStatus->setText(QStringLiteral("Screening stopped."));
    });
    connect(&s, &NetworkSession::screeningProgressed, this, [this](int done, int total) {
        m_screeningStatus->setText(
            QStringLiteral("Screening: %1 of %2 faults done...").arg(done).arg(total));
    });
    connect(&s, &NetworkSession::screeningFinished, this, &NetworkWindow::showScreening);
}

bool NetworkWindow::openFile(const QString &path) {
    QString error;
    if (m_session->openFile(path, &error)) return true;
    showErrorReport(this, error, modalRunner);
    return false;
}

void NetworkWindow::openAsked(bool matpower) {
    const QString path = m_files.chooseFileToOpen(
        this, matpower ? QStringLiteral("Import MATPOWER case") : QStringLiteral("Open network"),
        matpower ? QStringLiteral("MATPOWER cases (*.m)")
                 : QStringLiteral("Dravex networks (*.dravex-network)"));
    if (!path.isEmpty()) openFile(path);
}

void NetworkWindow::saveAs() {
    const QString source = m_session->sourcePath();
    const QString suggested =
        (source.isEmpty() ? QStringLiteral("network") : QFileInfo(source).completeBaseName()) +
        QStringLiteral(".dravex-network");
    const QString path = m_files.chooseFile(this, QStringLiteral("Save network"), suggested,
                                            QStringLiteral("Dravex networks (*.dravex-network)"));
    if (path.isEmpty()) return;
    QString error;
    if (!m_session->saveFile(path, &error)) showErrorReport(this, error, modalRunner);
}

void NetworkWindow::editMachines() {
    std::vector<Machine> machines = m_session->grid().machines;
    if (!MachineDataDialog::edit(this, machines, modalRunner)) return;
    QString error;
    if (!m_session->setMachines(machines, &error)) showErrorReport(this, error, modalRunner);
}

void NetworkWindow::screenLines() {
    if (!m_session->hasModel()) return;
    m_rows->removeRows(0, m_rows->rowCount());
    if (m_screeningDock->isHidden()) {
        m_screeningDock->show();
        // Room for a dozen rows below the plots, at the window's zoom.
        const int room = static_cast<int>(260 * m_zoom);
        QSize grown = size() + QSize(0, room);
        if (const QScreen *s = screen()) grown = grown.boundedTo(s->availableGeometry().size());
        resize(grown);
        resizeDocks({m_screeningDock}, {room}, Qt::Vertical);
        if (isVisible()) keepOnScreen(this);
    }
    m_session->screenLines();
}

void NetworkWindow::runOrStop() {
    if (m_session->isRunning())
        m_session->stop();
    else
        m_session->start();
}

void NetworkWindow::chooseFault(int index) {
    const QVariantList place = m_faultPlace->itemData(index).toList();
    if (place.size() != 2) return;
    const Grid &grid = m_session->grid();
    if (place[0].toInt() == 0) {
        m_session->setFaultAtBus(place[1].toInt());
        return;
    }
    const std::size_t i = place[1].toUInt();
    if (i >= grid.branches.size()) return;
    const Branch &b = grid.branches[i];
    m_session->setFaultOnLine(BranchId{b.from, b.to, b.circuit});
}

void NetworkWindow::showGrid() {
    const Grid &grid = m_session->grid();
    m_diagram->takeGrid();
    connect(m_diagram, &OneLineDiagram::busPressed, m_session, &NetworkSession::setFaultAtBus,
            Qt::UniqueConnection);
    connect(m_diagram, &OneLineDiagram::linePressed, m_session, &NetworkSession::setFaultOnLine,
            Qt::UniqueConnection);
    {
        const QSignalBlocker blocker(m_faultPlace);
        m_faultPlace->clear();
        for (const Bus &b : grid.buses)
            m_faultPlace->addItem(QStringLiteral("Bus %1").arg(b.number),
                                  QVariantList{0, b.number});
        for (std::size_t i = 0; i < grid.branches.size(); ++i) {
            const Branch &b = grid.branches[i];
            m_faultPlace->addItem(
                QStringLiteral("%1 %2").arg(b.isTransformer() ? QStringLiteral("Transformer")
                                                              : QStringLiteral("Line"),
                                            lineName(BranchId{b.from, b.to, b.circuit})),
                QVariantList{1, static_cast<qulonglong>(i)});
        }
    }
    // One curve per machine, named by its bus.
    for (QChart *chart : {m_angleChart, m_speedChart}) {
        chart->removeAllSeries();
        // Many machines' names fit below the plot, not beside it.
        chart->legend()->setAlignment(grid.machines.size() > 6 ? Qt::AlignBottom : Qt::AlignRight);
    }
    m_angleSeries.clear();
    m_speedSeries.clear();
    for (std::size_t i = 0; i < grid.machines.size(); ++i) {
        const QColor colour = MachineColours[i % std::size(MachineColours)];
        for (auto [chart, time, y, list] :
             {std::tuple{m_angleChart, m_angleTime, m_angleAxis, &m_angleSeries},
              std::tuple{m_speedChart, m_speedTime, m_speedAxis, &m_speedSeries}}) {
            auto *series = new QLineSeries;
            series->setName(QStringLiteral("Bus %1").arg(grid.machines[i].bus));
            series->setPen(QPen(colour, zoomedLineWidth(m_zoom)));
            chart->addSeries(series);
            series->attachAxis(time);
            series->attachAxis(y);
            list->push_back(series);
        }
    }
    m_screeningDock->hide();
    m_rows->removeRows(0, m_rows->rowCount());
    m_screeningStatus->clear();
    const bool runs = m_session->hasModel();
    m_run->setEnabled(runs);
    for (QAction *action : {m_findCritical, m_screenLines}) action->setEnabled(runs);
    m_machineData->setEnabled(!grid.machines.empty());
    showTitle();
    showProblem();
    beginRun();
}

void NetworkWindow::showTitle() {
    const QString path = m_session->sourcePath();
    setWindowTitle(path.isEmpty()
                       ? caption()
                       : caption() + QStringLiteral(" \u2014 ") + QFileInfo(path).fileName());
}

void NetworkWindow::showProblem() {
    const QString problem = m_session->problem();
    m_problem->setText(problem.isEmpty() ? QString()
                                         : QStringLiteral("This network cannot run: ") + problem);
    m_problem->setVisible(!problem.isEmpty());
}

void NetworkWindow::showFault() {
    const FaultSpec &f = m_session->fault();
    const Grid &grid = m_session->grid();
    {
        const QSignalBlocker a(m_clearing), b(m_clearingSlider), c(m_faultPlace);
        m_clearing->setValue(f.clearMs);
        m_clearingSlider->setValue(f.clearMs);
        int index = -1;
        if (f.bus) index = grid.busIndex(*f.bus);
        if (f.line && grid.branchIndex(*f.line) >= 0)
            index = static_cast<int>(grid.buses.size()) + grid.branchIndex(*f.line);
        m_faultPlace->setCurrentIndex(index);
    }
    QString where = f.bus    ? QStringLiteral("The fault at bus %1").arg(*f.bus)
                    : f.line ? QStringLiteral("The fault on line %1, %2 of the way along")
                                   .arg(lineName(*f.line))
                                   .arg(f.location)
                             : QStringLiteral("No fault");
    where += f.openLine ? QStringLiteral(", cleared by opening line %1.").arg(lineName(*f.openLine))
                        : QStringLiteral(", cleared without opening a line.");
    explain(m_faultPlace, where);
    m_diagram->setAccessibleDescription(
        QStringLiteral("Click a bus or a line to put the fault there. ") + where);
    m_diagram->show({true, false});
    m_diagram->update();
    m_searchSoon.start();
    m_simulationTime.value->setText(QStringLiteral("\u2014"));
    showEquivalent();
    showReadouts();
}

void NetworkWindow::beginRun() {
    m_shownStates = 0;
    m_lastShownTime = -1;
    for (QLineSeries *s : m_angleSeries) s->clear();
    for (QLineSeries *s : m_speedSeries) s->clear();
    const FaultSpec &f = m_session->fault();
    // To 3 s after the last switching, where the run ends in step.
    const double end = (f.clearMs + (f.openLine ? f.recloseMs.value_or(0) : 0)) / 1000.0 + 3;
    for (QValueAxis *time : {m_angleTime, m_speedTime}) {
        time->setRange(0, std::ceil(end));
        time->setTickInterval(0.5);
        time->setLabelFormat(QStringLiteral("%.1f"));
    }
    m_angleAxis->setRange(-30, 30);
    m_angleAxis->setTickInterval(15);
    m_angleAxis->setLabelFormat(QStringLiteral("%.0f"));
    m_speedAxis->setRange(-0.5, 0.5);
    m_speedAxis->setTickInterval(0.25);
    m_speedAxis->setLabelFormat(QStringLiteral("%.2f"));
    if (m_session->isRunning()) m_run->setText(QStringLiteral("Sto&p"));
    showRun(true);
}

void NetworkWindow::showRun(bool all) {
    const auto &states = m_session->states();
    const bool running = m_session->isRunning();
    if (!states.empty() && m_session->hasModel()) {
        const SwingState &last = states.back();
        m_diagram->show({last.topology == Topology::Faulted,
                         last.topology == Topology::Cleared && m_session->fault().openLine});
        // New points for the charts: at most one per ChartGapSeconds of the run.
        const ClassicalModel &model = m_session->model();
        const std::size_t machines = std::min(m_angleSeries.size(), last.delta.size());
        std::vector<QList<QPointF>> angles(machines), speeds(machines);
        double lo = 0, hi = 0, slow = 0, fast = 0;
        for (std::size_t k = m_shownStates; k < states.size(); ++k) {
            const SwingState &s = states[k];
            const bool closing = all && k + 1 == states.size();
            if (s.time < m_lastShownTime + ChartGapSeconds && !closing) continue;
            m_lastShownTime = s.time;
            const double centre = NetworkSession::centreOfInertia(model, s.delta);
            for (std::size_t i = 0; i < machines; ++i) {
                const double a = (s.delta[i] - centre) * Degrees;
                angles[i].append(QPointF(s.time, a));
                speeds[i].append(QPointF(s.time, s.speed[i]));
                lo = std::min(lo, a);
                hi = std::max(hi, a);
                slow = std::min(slow, s.speed[i]);
                fast = std::max(fast, s.speed[i]);
            }
        }
        m_shownStates = states.size();
        for (std::size_t i = 0; i < machines; ++i) {
            if (angles[i].isEmpty()) continue;
            m_angleSeries[i]->append(angles[i]);
            m_speedSeries[i]->append(speeds[i]);
        }
        widen(m_angleAxis, lo, hi);
        widen(m_speedAxis, slow, fast);
    } else if (!running) {
        m_diagram->show({true, false});
    }
    showEquivalent();
    showReadouts();
}

void NetworkWindow::showReadouts() {
    const auto &states = m_session->states();
    const bool running = m_session->isRunning();
    m_time.value->setText(
        QStringLiteral("%1 s").arg(states.empty() ? 0.0 : states.back().time, 0, 'f', 3));
    m_clearingShown.value->setText(QStringLiteral("%1 ms").arg(
        running ? m_session->runClearingMs() : m_session->fault().clearMs));
    QString spread =
        states.empty()
            ? QStringLiteral("\u2014")
            : QStringLiteral("%1\u00b0")
                  .arg(NetworkSession::largestAngleDifference(states.back()) * Degrees, 0, 'f', 1);
    if (!running && !states.empty() && m_session->outOfStep())
        spread += QStringLiteral(" (out of step)");
    m_angleSpread.value->setText(spread);
    const EquivalentResult &e = m_session->equivalent();
    m_cluster.value->setText(e.clusterIndices.empty() ? QStringLiteral("\u2014") : clusterText(e));
    m_criticalAngle.value->setText(
        e.found ? QStringLiteral("%1\u00b0").arg(e.criticalAngle * Degrees, 0, 'f', 1)
                : QStringLiteral("none"));
    m_equivalentTime.value->setText(
        e.found ? equivalentTimeText(e) + QStringLiteral(" (optimistic)") : equivalentTimeText(e));
}

void NetworkWindow::showSimulation() {
    const auto &found = m_session->simulationResult();
    m_simulationTime.value->setText(found ? simulationText(*found)
                                          : (m_session->searching() ? QStringLiteral("searching...")
                                                                    : QStringLiteral("\u2014")));
}

void NetworkWindow::showEquivalent() {
    const EquivalentResult &e = m_session->equivalent();
    if (e.clusterIndices.empty()) {
        m_noEquivalent->setText(QStringLiteral("No equivalent machine: ") +
                                QString::fromStdString(e.problem));
        m_equivalentPlace->setCurrentWidget(m_noEquivalent);
        return;
    }
    EquivalentPlotState state;
    state.preFault = e.preFault;
    state.faulted = e.faulted;
    state.postFault = e.postFault;
    state.mechanicalPower = e.mechanicalPower;
    state.delta0 = e.delta0;
    if (e.found) state.criticalAngle = e.criticalAngle;
    state.clusterText = clusterText(e);
    const auto &states = m_session->states();
    const auto &path = m_session->equivalentPath();
    state.trajectory.reserve(path.size());
    for (std::size_t k = 0; k < path.size(); ++k) {
        state.trajectory.emplace_back(path[k].angle, path[k].power);
        if (!state.clearingAngle && k < states.size() && states[k].topology != Topology::Faulted)
            state.clearingAngle = path[k].angle;
    }
    m_equivalent->setState(std::move(state));
    m_equivalentPlace->setCurrentWidget(m_equivalent);
}

void NetworkWindow::showScreening() {
    m_rows->removeRows(0, m_rows->rowCount());
    const auto cell = [](const QString &text, double order) {
        auto *item = new QStandardItem(text);
        item->setData(order, Qt::UserRole);
        return item;
    };
    for (const ScreeningRow &r : m_session->screening()) {
        const QString line = lineName(r.line);
        QList<QStandardItem *> row;
        // Each column sorts by its number; the texts without one go first or last.
        row << cell(line, r.line.from * 1e6 + r.line.to * 10 + r.line.circuit)
            << cell(QString::number(r.faultBus), r.faultBus);
        const EquivalentResult &e = r.equivalent;
        if (!r.problem.empty()) {
            // Opening this line leaves no network to run (a machine cut off).
            row << cell(QString::fromStdString(r.problem), -2) << cell(QString(), -2)
                << cell(QString(), 0);
            m_rows->appendRow(row);
            continue;
        }
        switch (r.simulation.kind) {
        case ClearingSearchResult::Kind::Found:
            row << cell(QString::number(r.simulation.inStepUpToMs), r.simulation.inStepUpToMs);
            break;
        case ClearingSearchResult::Kind::StableThroughout:
            row << cell(QStringLiteral("over %1").arg(NetworkSession::LongestClearingMs), 1e9);
            break;
        case ClearingSearchResult::Kind::UnstableAtOnce:
            row << cell(QStringLiteral("none"), -1);
            break;
        }
        row << cell(equivalentTimeText(e), e.found ? e.criticalClearingMs
                                           : e.kind == EquivalentResult::Kind::UnstableAtOnce ? -1
                                                                                              : 1e9)
            << cell(e.clusterIndices.empty() ? QStringLiteral("\u2014")
                                             : joinBuses(e.criticalMachines),
                    e.criticalMachines.empty() ? 0 : e.criticalMachines.front());
        m_rows->appendRow(row);
    }
    m_table->resizeColumnsToContents();
    m_screeningStatus->setText(
        QStringLiteral("%1 faults, each cleared by opening its line.").arg(m_rows->rowCount()));
    showSimulation();
}

void NetworkWindow::showSpeed(RunSpeed speed) {
    QAction *item = speed == RunSpeed::RealTime     ? m_realTime
                    : speed == RunSpeed::SlowMotion ? m_slowMotion
                                                    : m_fast;
    if (!item->isChecked()) item->setChecked(true);
}

void NetworkWindow::applyZoom() {
    const double zoom = m_viewZoom->factor();
    const double grow = zoom / m_zoom;
    m_zoom = zoom;
    const QFont font = LayoutZoom::scaled(layoutFont(), zoom);
    setFont(font);
    // Menus drop down as windows of their own, and the charts' fonts are the charts'.
    for (QMenu *menu : findChildren<QMenu *>()) menu->setFont(font);
    for (const auto &[base, set] : m_fonts) set(LayoutZoom::scaled(base, zoom));
    for (std::vector<QLineSeries *> *list : {&m_angleSeries, &m_speedSeries})
        for (QLineSeries *s : *list) {
            QPen pen = s->pen();
            pen.setWidth(zoomedLineWidth(zoom));
            s->setPen(pen);
        }
    if (grow == 1.0) return;
    // The least size follows the new fonts at once, before the window takes its size.
    layout()->activate();
    QSize size = zoom == 1.0 ? m_sizeAt100 : LayoutZoom::scaled(this->size(), grow);
    if (const QScreen *s = screen()) size = size.boundedTo(s->availableGeometry().size());
    resize(size);
    // Charts and combo boxes take their smaller sizes at the next events: once more then.
    QTimer::singleShot(0, this, [this, size] {
        resize(size);
        if (isVisible()) keepOnScreen(this);
    });
}

void NetworkWindow::closeEvent(QCloseEvent *event) {
    m_session->stop();
    m_session->cancelBackground();
    QMainWindow::closeEvent(event);
}
