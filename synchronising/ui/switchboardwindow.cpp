#include "switchboardwindow.h"

#include "actionsfile.h"
#include "droopdiagram.h"
#include "errorreport.h"
#include "keyfile.h"
#include "layouthelpers.h"
#include "layoutzoom.h"
#include "numberformat.h"
#include "selmexfile.h"
#include "selmexlessoncontroller.h"
#include "selmexlessonpane.h"
#include "selmexlessonsession.h"
#include "switchboardcsv.h"
#include "switchboardinstruments.h"
#include "switchboardtext.h"
#include "switchinglog.h"
#include "synchroscope.h"
#include "taskpanel.h"
#include "viewzoom.h"

#include <algorithm>
#include <cmath>
#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr std::array<SwitchboardControl, 8> HeldControls{
    SwitchboardControl::SpeedRaise,          SwitchboardControl::SpeedLower,
    SwitchboardControl::VoltageRaise,        SwitchboardControl::VoltageLower,
    SwitchboardControl::RunningSpeedRaise,   SwitchboardControl::RunningSpeedLower,
    SwitchboardControl::RunningVoltageRaise, SwitchboardControl::RunningVoltageLower};
// Set 1's held controls as a screen reader names them.
const char *const RunningHoldNames[4] = {"Set 1 governor raise", "Set 1 governor lower",
                                         "Set 1 AVR raise", "Set 1 AVR lower"};
constexpr std::array<ControlState, 3> ModeStates{ControlState::Manual, ControlState::Permissive,
                                                 ControlState::Automatic};

// A screen reader hears the state at most this often, in exercise time: every frame would
// be a babble.
constexpr std::int64_t TellEveryMs = 250;

const QString CsvFilter = QStringLiteral("CSV files (*.csv)");
} // namespace

SwitchboardWindow::SwitchboardWindow(FileChooser &files, const ModalRunner &runner, ViewZoom *zoom,
                                     SwitchboardSession::Clock clock, QWidget *parent)
    : QMainWindow(parent, Qt::Window), m_files(files), m_runner(runner),
      m_session(SwitchboardSettings{}, std::move(clock)) {
    setObjectName(QStringLiteral("Switchboard"));
    setWindowTitle(QStringLiteral("Switchboard"));
    // Larger than the trainer's layout font: read from the back of a lecture hall.
    setFont(layoutFont(14));
    createMenu();
    createControls();
    // Its font follows the window's at every zoom; the View menu shows it again.
    m_task = new TaskPanel(this);
    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    view->addAction(m_task->toggleViewAction());
    createLessons(view);
    m_fontAt100 = font();
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("FrameTimer"));
    m_timer->setInterval(16);
    connect(m_timer, &QTimer::timeout, this, &SwitchboardWindow::frame);
    // The keys work wherever the focus is in the window: they are taken before any
    // control sees them.
    qApp->installEventFilter(this);
    if (zoom) {
        // The View menu's keys zoom from here too, where the student's hands are.
        for (QAction *action : zoom->zoomActions())
            if (action) addAction(action);
        connect(zoom, &ViewZoom::changed, this, [this, zoom] { setZoom(zoom->factor()); });
        setZoom(zoom->factor());
    }
    showState();
}

SwitchboardWindow::~SwitchboardWindow() {
    // The lesson and its pane go while the exercise they step is still there.
    m_lessons.reset();
}

void SwitchboardWindow::createLessons(QMenu *view) {
    SelmexLessonController::MenuItems items;
    items.open = new QAction(QStringLiteral("&Open lesson..."), this);
    items.open->setObjectName(QStringLiteral("OpenLesson1"));
    items.exportRecord = new QAction(QStringLiteral("Export lesson recor&d..."), this);
    items.exportRecord->setObjectName(QStringLiteral("ExportLessonRecord1"));
    items.printWorksheet = new QAction(QStringLiteral("Print &worksheet..."), this);
    items.printWorksheet->setObjectName(QStringLiteral("PrintWorksheet1"));
    items.exportKey = new QAction(QStringLiteral("Export answer &key..."), this);
    items.exportKey->setObjectName(QStringLiteral("ExportAnswerKey1"));
    items.pane = new QAction(QStringLiteral("&Lesson"), this);
    items.pane->setObjectName(QStringLiteral("LessonPane1"));
    items.pane->setCheckable(true);
    // Above Close, after the exercise's own files.
    QAction *before = FileMenu->actions().at(FileMenu->actions().indexOf(Close1) - 1);
    FileMenu->insertActions(
        before, {items.open, items.exportRecord, items.printWorksheet, items.exportKey});
    FileMenu->insertSeparator(items.open);
    view->addAction(items.pane);
    m_lessons = std::make_unique<SelmexLessonController>(this, m_session, m_files, m_runner, items);
    connect(&m_lessons->lesson(), &SelmexLessonSession::exerciseRestarted, this, [this] {
        m_replayName.clear();
        emptyHands();
    });
}

bool SwitchboardWindow::openLesson(const QString &path) {
    return m_lessons->open(path);
}

void SwitchboardWindow::closeBreaker() {
    m_lessons->closeBreaker();
}

void SwitchboardWindow::createMenu() {
    FileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    FileMenu->setObjectName(QStringLiteral("File1"));
    ExportLog1 = FileMenu->addAction(QStringLiteral("Export switchboard &log..."), this,
                                     &SwitchboardWindow::exportLog);
    ExportLog1->setObjectName(QStringLiteral("ExportLog1"));
    ExportActions1 = FileMenu->addAction(QStringLiteral("Export &actions..."), this,
                                         &SwitchboardWindow::exportActions);
    ExportActions1->setObjectName(QStringLiteral("ExportActions1"));
    ReplayActions1 = FileMenu->addAction(QStringLiteral("&Replay actions..."), this,
                                         &SwitchboardWindow::replayActions);
    ReplayActions1->setObjectName(QStringLiteral("ReplayActions1"));
    Restart1 = FileMenu->addAction(QStringLiteral("R&estart"), this, &SwitchboardWindow::restart);
    Restart1->setObjectName(QStringLiteral("Restart1"));
    FileMenu->addSeparator();
    Close1 = FileMenu->addAction(QStringLiteral("&Close"), this, &QWidget::close);
    Close1->setObjectName(QStringLiteral("Close1"));
    Close1->setShortcut(QKeySequence::Close);
}

QPushButton *SwitchboardWindow::holdButton(QWidget *parent, const QString &name,
                                           const QString &text, std::size_t control) {
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    // Pressed and released, by the mouse or by Space on the focused button.
    connect(button, &QPushButton::pressed, this, [this, control] { press(control, ByMouse); });
    connect(button, &QPushButton::released, this, [this, control] { release(control, ByMouse); });
    return button;
}

void SwitchboardWindow::createControls() {
    auto *client = m_client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);
    Synchroscope = new InstrumentView(client, QStringLiteral("Synchroscope"), QSize(180, 180),
                                      QSize(320, 320), InstrumentView::Focusable);
    Synchroscope->paint = [this](QPainter &p, QSizeF size) {
        SynchroscopeMarks marks;
        marks.commandAtDeg = m_shown.commandAt;
        marks.showTurnTime = true;
        marks.secondsPerTurn = m_shown.secondsPerTurn;
        m_dial.paint(p, size, m_shown.theta, RealMaxAngleDeg, font(), marks);
    };
    LampGroup = new QGroupBox(client);
    LampGroup->setObjectName(QStringLiteral("LampGroup"));
    Lamps = new InstrumentView(LampGroup, QStringLiteral("Lamps"), QSize(150, 150), QSize(220, 220),
                               InstrumentView::Focusable);
    Lamps->paint = [this](QPainter &p, QSizeF size) {
        m_lamps.paint(p, size, m_session.settings().lamps, m_shown.lamps, font());
    };
    (new QVBoxLayout(LampGroup))->addWidget(Lamps);

    BreakerValue = new QLabel(client);
    BreakerValue->setObjectName(QStringLiteral("BreakerValue"));
    BreakerValue->setAlignment(Qt::AlignCenter);
    BreakerValue->setAutoFillBackground(true);
    BreakerValue->setFocusPolicy(Qt::TabFocus);
    BreakerValue->setMargin(6);
    boldBreaker();

    static const char *const MeterNames[5] = {"BusVoltage", "GeneratorVoltage", "BusFrequency",
                                              "GeneratorFrequency", "Power"};
    auto *meters = new QGridLayout;
    for (std::size_t i = 0; i < Meters.size(); ++i) {
        Meters[i] = new InstrumentView(client, QString::fromLatin1(MeterNames[i]), QSize(150, 75),
                                       QSize(200, 100), InstrumentView::Focusable);
        Meters[i]->paint = [this, i](QPainter &p, QSizeF size) {
            MeterFace face;
            face.caption = meterCaption(i);
            face.value = m_shown.meters[i];
            face.unit = meterUnit(i);
            if (i == 4) {
                face.note = powerNote(m_shown.meters[i]);
                face.warning = m_shown.meters[i].startsWith(QChar('-')); // motoring
            }
            if (i == 1) face.note = QStringLiteral("AVR set point %1 V").arg(m_shown.setPoint);
            paintMeter(p, size, face, font());
        };
        meters->addWidget(Meters[i], int(i / 2), int(i % 2));
    }
    meters->addWidget(BreakerValue, 2, 1);
    // The slip and the voltage difference the operator works on, each on a scale with the
    // band to aim for.
    static const char *const DifferenceNames[2] = {"Slip", "VoltageDifference"};
    for (std::size_t i = 0; i < Differences.size(); ++i) {
        Differences[i] =
            new InstrumentView(client, QString::fromLatin1(DifferenceNames[i]), QSize(150, 75),
                               QSize(200, 100), InstrumentView::Focusable);
        Differences[i]->paint = [this, i](QPainter &p, QSizeF size) {
            const bool slip = i == 0;
            MeterFace face;
            face.caption = differenceCaption(i);
            face.value = m_shown.differences[i];
            face.unit = differenceUnit(i);
            face.note = differenceNote(i);
            MeterBand band;
            band.from = slip ? -0.2 : -10;
            band.to = -band.from;
            band.low = slip ? TargetMinSlipHz : TargetMinVoltagePct;
            band.high = slip ? TargetMaxSlipHz : TargetMaxVoltagePct;
            band.value = m_shown.differenceValues[i];
            face.band = band;
            paintMeter(p, size, face, font());
        };
        meters->addWidget(Differences[i], 3, int(i));
    }

    auto *governor = new QGroupBox(QStringLiteral("Governor (speed)"), client);
    governor->setObjectName(QStringLiteral("Governor"));
    Holds[0] = holdButton(governor, QStringLiteral("SpeedRaise"), QStringLiteral("Raise (Up)"), 0);
    Holds[1] =
        holdButton(governor, QStringLiteral("SpeedLower"), QStringLiteral("Lower (Down)"), 1);
    auto *avr = new QGroupBox(QStringLiteral("AVR (voltage)"), client);
    avr->setObjectName(QStringLiteral("Avr"));
    Holds[2] = holdButton(avr, QStringLiteral("VoltageRaise"), QStringLiteral("Raise (Right)"), 2);
    Holds[3] = holdButton(avr, QStringLiteral("VoltageLower"), QStringLiteral("Lower (Left)"), 3);
    for (std::size_t i = 0; i < 4; i += 2) {
        auto *pair = new QVBoxLayout(Holds[i]->parentWidget());
        pair->addWidget(Holds[i]);
        pair->addWidget(Holds[i + 1]);
    }

    auto *breaker = new QGroupBox(QStringLiteral("Breaker"), client);
    breaker->setObjectName(QStringLiteral("Breaker"));
    CloseButton = new QPushButton(QStringLiteral("Close (C)"), breaker);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    OpenButton = new QPushButton(QStringLiteral("Open (O)"), breaker);
    OpenButton->setObjectName(QStringLiteral("OpenButton"));
    connect(CloseButton, &QPushButton::clicked, this, &SwitchboardWindow::closeBreaker);
    connect(OpenButton, &QPushButton::clicked, this,
            [this] { m_session.act(SwitchboardControl::Breaker, ControlState::Open); });
    auto *breakerButtons = new QVBoxLayout(breaker);
    breakerButtons->addWidget(CloseButton);
    breakerButtons->addWidget(OpenButton);

    auto *mode = new QGroupBox(QStringLiteral("Mode"), client);
    mode->setObjectName(QStringLiteral("Mode"));
    auto *modes = new QVBoxLayout(mode);
    static const char *const ModeTexts[3] = {"&Manual", "&Permissive (sync-check relay)",
                                             "&Automatic synchroniser"};
    static const char *const ModeNames[3] = {"Manual", "Permissive", "Automatic"};
    for (std::size_t i = 0; i < Modes.size(); ++i) {
        Modes[i] = new QRadioButton(QString::fromLatin1(ModeTexts[i]), mode);
        Modes[i]->setObjectName(QString::fromLatin1(ModeNames[i]));
        modes->addWidget(Modes[i]);
        connect(Modes[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) m_session.act(SwitchboardControl::Mode, ModeStates[i]);
        });
    }

    SynchroniserValue = new QLabel(client);
    SynchroniserValue->setObjectName(QStringLiteral("SynchroniserValue"));
    RelayValue = new QLabel(client);
    RelayValue->setObjectName(QStringLiteral("RelayValue"));
    KeysNote = new QLabel(client);
    KeysNote->setObjectName(QStringLiteral("KeysNote"));
    // Long answers wrap rather than widen the window as they come and go.
    for (QLabel *label : {SynchroniserValue, RelayValue, KeysNote}) label->setWordWrap(true);
    for (QLabel *label : {SynchroniserValue, RelayValue, KeysNote, BreakerValue}) {
        label->setTextFormat(Qt::PlainText);
        label->setFocusPolicy(Qt::TabFocus);
    }

    Log = new QTableWidget(0, 10, client);
    Log->setObjectName(QStringLiteral("Log"));
    Log->setHorizontalHeaderLabels(
        {QStringLiteral("Command (s)"), QStringLiteral("By"), QStringLiteral("θ at command"),
         QStringLiteral("θ at contact"), QStringLiteral("Slip (Hz)"), QStringLiteral("ΔU (%)"),
         QStringLiteral("Closing current (× rated)"), QStringLiteral("Power at result (%)"),
         QStringLiteral("Tripped"), QStringLiteral("Score")});
    Log->verticalHeader()->hide();
    Log->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Log->setSelectionBehavior(QAbstractItemView::SelectRows);
    Log->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    describe(
        Log, QStringLiteral("Close attempts"),
        QStringLiteral("Every close command since the start, newest first: when, by whom, "
                       "the angle at command and at contact, slip, voltage difference, "
                       "closing current, power when the result was taken, what tripped, and the "
                       "score out of 100."));

    auto *top = new QHBoxLayout;
    top->addWidget(Synchroscope, 3);
    top->addWidget(LampGroup, 2);
    top->addLayout(meters, 4);
    auto *controls = new QHBoxLayout;
    for (QWidget *group : std::initializer_list<QWidget *>{governor, avr, breaker, mode})
        controls->addWidget(group);
    controls->addStretch(1);
    auto *layout = new QVBoxLayout(client);
    layout->addLayout(top, 3);
    layout->addLayout(controls);
    layout->addWidget(createIsland(client), 3);
    layout->addWidget(SynchroniserValue);
    layout->addWidget(RelayValue);
    layout->addWidget(KeysNote);
    layout->addWidget(Log, 2);

    describe(Synchroscope, QStringLiteral("Synchroscope"), {});
    describe(Lamps, QStringLiteral("Synchronising lamps"), {});
    for (std::size_t i = 0; i < 4; ++i)
        Holds[i]->setAccessibleDescription(
            QStringLiteral("Hold to move the %1's reference; lit while it moves.")
                .arg(i < 2 ? QStringLiteral("governor") : QStringLiteral("voltage regulator")));
    resize(980, 720);
}

QGroupBox *SwitchboardWindow::createIsland(QWidget *client) {
    IslandGroup = new QGroupBox(QStringLiteral("Island"), client);
    IslandGroup->setObjectName(QStringLiteral("IslandGroup"));
    IslandGroup->hide();
    auto *meters = new QGridLayout;
    static const char *const MeterNames[SetMeterCount] = {"Power", "Reactive", "Current",
                                                          "PowerFactor"};
    for (std::size_t i = 0; i < SetMeters.size(); ++i) {
        const int set = int(i / SetMeterCount) + 1;
        const std::size_t meter = i % SetMeterCount;
        SetMeters[i] = new InstrumentView(
            IslandGroup, QStringLiteral("Set%1%2").arg(set).arg(QLatin1String(MeterNames[meter])),
            QSize(110, 55), QSize(160, 80), InstrumentView::Focusable);
        SetMeters[i]->paint = [this, i, set, meter](QPainter &p, QSizeF size) {
            MeterFace face;
            face.caption = setMeterCaption(set, meter);
            face.value = m_shown.setMeters[i];
            face.unit = setMeterUnit(meter);
            face.warning = meter == 0 && face.value.startsWith(QChar('-')); // motoring
            face.note = face.warning ? QStringLiteral("motoring") : m_shown.setNotes[i];
            paintMeter(p, size, face, font());
        };
        SetMeters[i]->setAccessibleDescription(
            set == 1 ? QStringLiteral("Set 1, the running set that holds the island up")
                     : QStringLiteral("Set 2, the incoming set: this switchboard's machine"));
        meters->addWidget(SetMeters[i], set - 1, int(meter));
    }

    // Set 1's governor and regulator, held like set 2's; its breaker opens only.
    auto *controls = new QHBoxLayout;
    static const char *const HoldNames[4] = {"RunningSpeedRaise", "RunningSpeedLower",
                                             "RunningVoltageRaise", "RunningVoltageLower"};
    static const char *const HoldTexts[4] = {"Raise (W)", "Lower (S)", "Raise (D)", "Lower (A)"};
    for (std::size_t pair = 0; pair < 2; ++pair) {
        auto *box = new QGroupBox(pair == 0 ? QStringLiteral("Set 1 governor")
                                            : QStringLiteral("Set 1 AVR"),
                                  IslandGroup);
        box->setObjectName(pair == 0 ? QStringLiteral("RunningGovernor")
                                     : QStringLiteral("RunningAvr"));
        describe(box, box->title(),
                 pair == 0 ? QStringLiteral("Set 1's governor: its no-load frequency set point")
                           : QStringLiteral("Set 1's voltage regulator: its no-load voltage "
                                            "set point"));
        auto *column = new QVBoxLayout(box);
        for (std::size_t j = 0; j < 2; ++j) {
            const std::size_t i = 4 + 2 * pair + j;
            Holds[i] = holdButton(box, QString::fromLatin1(HoldNames[i - 4]),
                                  QString::fromLatin1(HoldTexts[i - 4]), i);
            describe(Holds[i], QString::fromLatin1(RunningHoldNames[i - 4]),
                     QStringLiteral("Hold to move set 1's %1 set point; lit while it moves.")
                         .arg(pair == 0 ? QStringLiteral("no-load frequency")
                                        : QStringLiteral("no-load voltage")));
            column->addWidget(Holds[i]);
        }
        controls->addWidget(box);
    }
    auto *breaker = new QGroupBox(QStringLiteral("Set 1 breaker"), IslandGroup);
    breaker->setObjectName(QStringLiteral("RunningBreaker"));
    describe(breaker, breaker->title(), QStringLiteral("Set 1's breaker: it opens only"));
    RunningOpenButton = new QPushButton(QStringLiteral("Open (Q)"), breaker);
    RunningOpenButton->setObjectName(QStringLiteral("RunningOpenButton"));
    describe(RunningOpenButton, QStringLiteral("Open set 1's breaker"),
             QStringLiteral("Takes the running set off the bus."));
    connect(RunningOpenButton, &QPushButton::clicked, this,
            [this] { m_session.act(SwitchboardControl::RunningBreaker, ControlState::Open); });
    RunningBreakerValue = new QLabel(breaker);
    RunningBreakerValue->setObjectName(QStringLiteral("RunningBreakerValue"));
    auto *breakerColumn = new QVBoxLayout(breaker);
    breakerColumn->addWidget(RunningOpenButton);
    breakerColumn->addWidget(RunningBreakerValue);
    controls->addWidget(breaker);
    TaskValue = new QLabel(IslandGroup);
    TaskValue->setObjectName(QStringLiteral("TaskValue"));
    BlackoutValue = new QLabel(IslandGroup);
    BlackoutValue->setObjectName(QStringLiteral("BlackoutValue"));
    QPalette red = BlackoutValue->palette();
    red.setColor(QPalette::WindowText, QColor(200, 30, 30));
    BlackoutValue->setPalette(red);
    RunningBreakerValue->setAccessibleDescription(QStringLiteral("Set 1's breaker"));
    TaskValue->setAccessibleDescription(QStringLiteral("The exercise's task and how it stands"));
    describe(BlackoutValue, QStringLiteral("No blackout"),
             QStringLiteral("Whether the bus is dead: no set holds it up"));
    for (QLabel *label : {RunningBreakerValue, TaskValue, BlackoutValue}) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setFocusPolicy(Qt::TabFocus);
    }
    auto *lines = new QVBoxLayout;
    lines->addWidget(TaskValue);
    lines->addWidget(BlackoutValue);
    lines->addStretch(1);
    controls->addLayout(lines, 1);

    // The droop pictures, each painted from the present state whenever what it shows in
    // words changes.
    auto *droops = new QHBoxLayout;
    static const char *const DroopNames[2] = {"FrequencyDroop", "VoltageDroop"};
    for (std::size_t i = 0; i < Droops.size(); ++i) {
        Droops[i] = new InstrumentView(IslandGroup, QString::fromLatin1(DroopNames[i]),
                                       QSize(220, 150), QSize(330, 220), InstrumentView::Focusable);
        Droops[i]->paint = [this, i](QPainter &p, QSizeF size) {
            paintDroopDiagram(p, size, droopState(m_session.board()),
                              i == 0 ? DroopPicture::Frequency : DroopPicture::Voltage, font());
        };
        Droops[i]->setAccessibleName(i == 0 ? QStringLiteral("Frequency droop lines")
                                            : QStringLiteral("Voltage droop lines"));
        droops->addWidget(Droops[i]);
    }

    auto *left = new QVBoxLayout;
    left->addLayout(meters);
    left->addLayout(controls);
    auto *row = new QHBoxLayout(IslandGroup);
    row->addLayout(left, 1);
    row->addLayout(droops, 1);
    return IslandGroup;
}

void SwitchboardWindow::showIsland() {
    const Switchboard &b = m_session.board();
    for (int set = 1; set <= 2; ++set) {
        const SetReading reading = b.set(set);
        const auto readings = setReadings(reading), notes = setMeterNotes(reading);
        for (std::size_t m = 0; m < SetMeterCount; ++m) {
            const std::size_t i = std::size_t(set - 1) * SetMeterCount + m;
            if (readings[m] == m_shown.setMeters[i] && notes[m] == m_shown.setNotes[i]) continue;
            m_shown.setMeters[i] = readings[m];
            m_shown.setNotes[i] = notes[m];
            SetMeters[i]->update();
        }
    }
    for (std::size_t i = 0; i < Droops.size(); ++i) {
        const QString words = droopText(b, i == 1);
        if (words == m_shown.droops[i]) continue;
        m_shown.droops[i] = words;
        Droops[i]->update();
    }
    const auto &events = b.events();
    const QString lines[3] = {
        runningBreakerLine(b.runningBreaker(), setTrip(events, 1)),
        taskLine(b.settings().island.task, b.taskState(), b.taskDoneMs()),
        !b.blackout() ? QString() : [&events] {
            const auto last = std::find_if(events.rbegin(), events.rend(), [](const auto &e) {
                return e.kind == SwitchboardEventKind::Blackout;
            });
            return blackoutText(last != events.rend() ? last->trip : TripCause::None);
        }()};
    QLabel *const labels[3] = {RunningBreakerValue, TaskValue, BlackoutValue};
    for (std::size_t i = 0; i < 3; ++i) {
        if (labels[i]->text() == lines[i]) continue;
        labels[i]->setText(lines[i]);
        // A line with nothing to say still has a name: a reader would take its group's.
        labels[i]->setAccessibleName(
            lines[i].isEmpty() ? QStringLiteral("No blackout")
                               : QString(lines[i]).replace(QChar('\n'), QStringLiteral(", ")));
    }
    BlackoutValue->setVisible(b.blackout());
}

// The breaker's state in the window's font, bold: set again at each zoom, since a font of
// its own no longer follows the window's.
void SwitchboardWindow::boldBreaker() {
    QFont bold = font();
    bold.setBold(true);
    BreakerValue->setFont(bold);
}

// The scroll area as wide as the instruments want, while that leaves the task panel a
// quarter of the screen: else the panel would take the room the instruments need.
void SwitchboardWindow::fitScroll() {
    if (!m_scroll) return;
    const QScreen *s = screen();
    const int room = s ? s->availableGeometry().width() * 3 / 4 : QWIDGETSIZE_MAX;
    m_scroll->setMinimumWidth(std::min(
        m_client->sizeHint().width() + m_scroll->verticalScrollBar()->sizeHint().width(), room));
}

void SwitchboardWindow::setZoom(double zoom) {
    if (zoom == m_zoom) return;
    // Each zoom's size comes from the size at 100 %, not from the last zoom's: a size the
    // screen or the window's least size held back would otherwise stay in it, and 100 %
    // not come back to its own size.
    if (m_zoom == 1) m_sizeAt100 = size();
    QSize wanted = LayoutZoom::scaled(m_sizeAt100, zoom);
    const QScreen *s = screen();
    if (s && zoom != 1) wanted = wanted.boundedTo(s->availableGeometry().size());
    m_zoom = zoom;
    setFont(LayoutZoom::scaled(m_fontAt100, zoom));
    boldBreaker();
    for (InstrumentView *view : {Synchroscope, Lamps}) view->setZoom(zoom);
    for (InstrumentView *meter : Meters) meter->setZoom(zoom);
    for (InstrumentView *meter : Differences) meter->setZoom(zoom);
    for (InstrumentView *meter : SetMeters) meter->setZoom(zoom);
    for (InstrumentView *picture : Droops) picture->setZoom(zoom);
    m_lessons->pane()->setZoom(zoom);
    // The least sizes follow the new fonts now, not at the next events: the window's own
    // layout (menu bar and client area) too, or the old zoom's least size holds it back.
    m_client->layout()->activate();
    fitScroll();
    layout()->activate();
    resize(wanted);
}

bool SwitchboardWindow::startExercise(const SwitchboardSettings &settings, QString *error) {
    if (const auto refused = m_session.restart(settings)) {
        if (error) *error = QString::fromStdString(*refused);
        return false;
    }
    m_replayName.clear();
    emptyHands();
    return true;
}

void SwitchboardWindow::restart() {
    m_session.restart();
    m_replayName.clear();
    emptyHands();
}

void SwitchboardWindow::emptyHands() {
    // The new exercise holds nothing: what the hands held stays with the old one.
    m_heldBy = {};
    m_keyReleases = {};
    for (QPushButton *button : Holds) button->setDown(false);
    m_toldAtMs = -1;
    const bool island = m_session.board().island();
    if (IslandGroup->isHidden() == island) {
        IslandGroup->setVisible(island);
        // The island's group needs room: the window grows to it, within the screen.
        if (island) {
            m_client->layout()->activate();
            layout()->activate();
            QSize wanted = size().expandedTo(sizeHint());
            // Zoomed in, the island's window is larger than most screens: from now on the
            // window scrolls what it cannot show rather than leave it off the screen.
            if (!m_scroll) {
                m_scroll = new QScrollArea(this);
                m_scroll->setObjectName(QStringLiteral("ClientScroll"));
                m_scroll->setFrameShape(QFrame::NoFrame);
                m_scroll->setWidgetResizable(true);
                m_scroll->setWidget(takeCentralWidget());
                setCentralWidget(m_scroll);
            }
            fitScroll();
            // Back at 100 %, the window comes back to the size the island needs there.
            if (m_zoom != 1)
                m_sizeAt100 = m_sizeAt100.expandedTo(LayoutZoom::scaled(wanted, 1 / m_zoom));
            if (const QScreen *s = screen())
                wanted = wanted.boundedTo(s->availableGeometry().size());
            resize(wanted);
        }
    }
    showState();
}

void SwitchboardWindow::frame() {
    // A key's release waits for the exercise's next step: some X servers repeat a held key
    // as a release and a press with one time stamp, and the press may come a frame later.
    const std::int64_t now = m_session.board().timeMs();
    for (std::size_t i = 0; i < m_keyReleases.size(); ++i)
        if (m_keyReleases[i].pending && now > m_keyReleases[i].sinceMs) {
            m_keyReleases[i].pending = false;
            release(i, ByKey);
        }
    // While a lesson's step awaits the prediction, its exercise stands still.
    m_lessons->lesson().advance();
    showState();
}

void SwitchboardWindow::press(std::size_t control, Holder holder) {
    if (m_session.replaying()) return;
    if (m_heldBy[control] == 0) m_session.act(HeldControls[control], ControlState::Press);
    m_heldBy[control] |= holder;
}

void SwitchboardWindow::release(std::size_t control, Holder holder) {
    if (!(m_heldBy[control] & holder)) return;
    m_heldBy[control] &= std::uint8_t(~holder);
    if (m_heldBy[control] == 0) m_session.act(HeldControls[control], ControlState::Release);
}

void SwitchboardWindow::releaseAll() {
    m_keyReleases = {};
    for (std::size_t i = 0; i < m_heldBy.size(); ++i) {
        if (m_heldBy[i]) m_session.act(HeldControls[i], ControlState::Release);
        m_heldBy[i] = 0;
        Holds[i]->setDown(false);
    }
}

// The switchboard's keys anywhere in the window, without modifiers (Alt and Ctrl keep
// their menus and shortcuts). A held key repeats: only its first press and its last
// release count, also where the repeat comes as a release and a press with the same time
// stamp that are not marked as a repeat.
bool SwitchboardWindow::handleKey(QKeyEvent *event, bool pressed) {
    if (event->modifiers() & ~Qt::KeypadModifier) return false;
    static constexpr std::array<int, HeldCount> HoldKeys{
        SpeedRaiseKey,        SpeedLowerKey,        VoltageRaiseKey,        VoltageLowerKey,
        RunningSpeedRaiseKey, RunningSpeedLowerKey, RunningVoltageRaiseKey, RunningVoltageLowerKey};
    // Set 1's keys are the island's alone: elsewhere they are nobody's.
    const bool island = m_session.board().island();
    const std::size_t keys = island ? HeldCount : 4;
    const auto held = std::find(HoldKeys.begin(), HoldKeys.begin() + keys, event->key());
    if (held != HoldKeys.begin() + keys) {
        if (event->isAutoRepeat()) return true;
        const auto control = std::size_t(held - HoldKeys.begin());
        KeyRelease &waiting = m_keyReleases[control];
        if (!pressed) {
            if (m_heldBy[control] & ByKey)
                waiting = {event->timestamp(), m_session.board().timeMs(), true};
            return true;
        }
        const bool sameHold = waiting.pending && waiting.stamp == event->timestamp();
        const bool letGo = waiting.pending && !sameHold;
        waiting.pending = false;
        if (letGo) release(control, ByKey); // let go and pressed again at once
        if (!sameHold) press(control, ByKey);
        return true;
    }
    if (island && event->key() == RunningOpenKey) {
        if (pressed && !event->isAutoRepeat())
            m_session.act(SwitchboardControl::RunningBreaker, ControlState::Open);
        return true;
    }
    if (event->key() != CloseKey && event->key() != OpenKey) return false;
    if (!pressed || event->isAutoRepeat()) return true;
    if (event->key() == CloseKey)
        closeBreaker();
    else
        m_session.act(SwitchboardControl::Breaker, ControlState::Open);
    return true;
}

bool SwitchboardWindow::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    // The lesson's text and the prediction typed take their own keys while they have the
    // focus: C is a letter there and the arrows move the cursor, not the governor (nor
    // when a key they leave goes on to the pane).
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->window() == this &&
        !m_lessons->pane()->readsKeys(QApplication::focusWidget()))
        return handleKey(static_cast<QKeyEvent *>(event), type == QEvent::KeyPress);
    return QMainWindow::eventFilter(watched, event);
}

void SwitchboardWindow::changeEvent(QEvent *event) {
    QMainWindow::changeEvent(event);
    // Another window took the keyboard: the key's release would go there, so whatever
    // is held lets go now.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) releaseAll();
}

void SwitchboardWindow::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    // A frame each refresh of the screen the window is on, 60 Hz where it does not say.
    const QScreen *s = screen();
    const double hz = s && s->refreshRate() > 1 ? s->refreshRate() : 60;
    m_timer->start(std::clamp(int(std::lround(1000 / hz)), 8, 40));
}

void SwitchboardWindow::hideEvent(QHideEvent *event) {
    QMainWindow::hideEvent(event);
    // Put away, the exercise waits: back on the screen, it takes up at most a moment
    // (SwitchboardSession::MaxCatchUpMs) of the time it was away.
    m_timer->stop();
    releaseAll();
}

void SwitchboardWindow::showState() {
    showInstruments();
    showControls();
    showLog();
    if (m_session.board().island()) showIsland();
    const std::int64_t now = m_session.board().timeMs();
    if (m_toldAtMs < 0 || now - m_toldAtMs >= TellEveryMs || now < m_toldAtMs) {
        m_toldAtMs = now;
        tellScreenReader();
    }
}

void SwitchboardWindow::showInstruments() {
    const Switchboard &b = m_session.board();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // A dead bus gives the synchroscope and the difference meters nothing to compare with.
    const bool dead = b.blackout();
    const double theta = dead ? nan : b.angleDeg(), turn = dead ? nan : b.secondsPerTurn();
    const double commandAt = b.synchroniser() == SynchroniserState::Matching ||
                                     b.synchroniser() == SynchroniserState::WaitingForAngle
                                 ? -b.advanceAngleNowDeg()
                                 : nan;
    const auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    // Most frames only the needle moves: then only where it stood and where it stands now
    // is painted again and sent to the screen.
    const bool marksMoved = !same(commandAt, m_shown.commandAt) ||
                            turnTimeText(turn) != turnTimeText(m_shown.secondsPerTurn);
    if (marksMoved || !same(theta, m_shown.theta)) {
        const QSizeF size = Synchroscope->size();
        if (marksMoved)
            Synchroscope->update();
        else
            Synchroscope->update(synchroscopeNeedleBounds(size, m_shown.theta) |
                                 synchroscopeNeedleBounds(size, theta));
        m_shown.theta = theta;
        m_shown.commandAt = commandAt;
        m_shown.secondsPerTurn = turn;
    }
    // Repainted when a lamp's colour changes, not at every change of its voltage.
    const std::array<double, 3> lamps = b.lamps();
    for (std::size_t i = 0; i < lamps.size(); ++i)
        if (lampGlow(lamps[i]).rgb() != lampGlow(m_shown.lamps[i]).rgb()) {
            m_shown.lamps = lamps;
            Lamps->update();
            break;
        }
    // Connected, the generator's terminals are the bus's: its voltmeter reads the bus's
    // voltage, and the AVR's set point stands under it. A dead bus reads nothing.
    const std::array<QString, 5> meters{
        voltsReading(b.blackout() ? nan : b.busVoltageV()), voltsReading(b.terminalVoltageV()),
        hertzReading(b.blackout() ? nan : b.busFrequencyHz()), hertzReading(b.frequencyHz()),
        powerReading(b.powerPu() * 100)};
    const QString setPoint = voltsReading(b.voltageReferenceV());
    for (std::size_t i = 0; i < meters.size(); ++i)
        if (meters[i] != m_shown.meters[i] || (i == 1 && setPoint != m_shown.setPoint)) {
            m_shown.meters[i] = meters[i];
            m_shown.setPoint = setPoint;
            Meters[i]->update();
        }
    // While connected the slip and the difference are the rotor's swing and the internal
    // voltage's, not something to aim: the read-outs then show none, nor on a dead bus.
    const bool open = b.breaker() != BreakerState::Closed && !dead;
    const std::array<double, 2> differences{open ? b.slipHz() : nan,
                                            open ? b.voltageDifferencePct() : nan};
    const std::array<QString, 2> shown{slipReading(differences[0]), powerReading(differences[1])};
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (shown[i] != m_shown.differences[i]) {
            m_shown.differences[i] = shown[i];
            m_shown.differenceValues[i] = differences[i];
            Differences[i]->update();
        }
}

void SwitchboardWindow::showControls() {
    const Switchboard &b = m_session.board();
    const std::array<bool, 4> set2 = b.lit(), set1 = b.runningLit();
    std::array<bool, HeldCount> lit{};
    std::copy(set2.begin(), set2.end(), lit.begin());
    std::copy(set1.begin(), set1.end(), lit.begin() + 4);
    for (std::size_t i = 0; i < lit.size(); ++i) {
        if (lit[i] == m_shown.lit[i] && Holds[i]->property("lit").isValid()) continue;
        m_shown.lit[i] = lit[i];
        Holds[i]->setProperty("lit", lit[i]);
        QPalette palette = Holds[i]->parentWidget()->palette();
        if (lit[i]) palette.setColor(QPalette::Button, QColor(255, 190, 60));
        Holds[i]->setPalette(palette);
        const QString name = i < 4 ? Holds[i]->text().section(QChar(' '), 0, 0)
                                   : QString::fromLatin1(RunningHoldNames[i - 4]);
        Holds[i]->setAccessibleName(lit[i] ? name + QStringLiteral(", lit") : name);
    }
    const auto mode = std::size_t(b.mode());
    if (!Modes[mode]->isChecked()) {
        const QSignalBlocker quiet(Modes[mode]);
        Modes[mode]->setChecked(true);
    }

    const BreakerState state = b.breaker();
    const QString breaker = breakerLine(b);
    if (BreakerValue->text() != breaker) {
        BreakerValue->setText(breaker);
        QPalette palette = BreakerValue->parentWidget()->palette();
        const QColor fill = state == BreakerState::Closed    ? QColor(190, 30, 30)
                            : state == BreakerState::Closing ? QColor(230, 160, 40)
                                                             : QColor(40, 140, 60);
        palette.setColor(QPalette::Window, fill);
        palette.setColor(QPalette::WindowText, Qt::white);
        BreakerValue->setPalette(palette);
        BreakerValue->setAccessibleName(
            QString(breaker).replace(QChar('\n'), QStringLiteral(", ")));
    }

    // A new text lays the window out anew: while only the advance angle moves on with the
    // slip, the line follows it four times a second, which a reader can follow, rather than
    // every frame.
    // While a lesson's step awaits the prediction, the relay and the synchroniser keep
    // their answers (the relay's verdict, the advance angle) to themselves.
    const bool held = m_lessons->lesson().holdsExercise();
    const QString synchroniser =
        held ? QStringLiteral("Synchroniser: waits for your prediction") : synchroniserLine(b);
    const QString doing = synchroniser.section(QChar(';'), 0, 0);
    const std::int64_t now = b.timeMs();
    const bool onlyTheAngle = SynchroniserValue->text().startsWith(doing + QChar(';'));
    if (SynchroniserValue->text() != synchroniser &&
        (!onlyTheAngle || now - m_synchroniserShownMs >= RetellAngleMs ||
         now < m_synchroniserShownMs)) {
        m_synchroniserShownMs = now;
        SynchroniserValue->setText(synchroniser);
        SynchroniserValue->setAccessibleName(synchroniser);
    }

    const QString relay =
        held ? QStringLiteral("Sync-check relay: waits for your prediction") : relayLine(b);
    if (RelayValue->text() != relay) {
        RelayValue->setText(relay);
        RelayValue->setAccessibleName(relay);
    }

    QString note = QStringLiteral(
        "Keys: Up / Down governor raise / lower, Right / Left AVR raise / lower (held), "
        "C close, O open; Alt+M, Alt+P, Alt+A the mode.");
    if (b.island())
        note += QStringLiteral(" Set 1: W / S governor raise / lower, D / A AVR raise / lower "
                               "(held), Q open its breaker.");
    if (m_session.replaying())
        note = QStringLiteral("Replaying %1: the controls follow the file to its last action.")
                   .arg(m_replayName);
    if (KeysNote->text() != note) KeysNote->setText(note);

    const QString lampTitle =
        QStringLiteral("Lamps, ") + lampMethodText(m_session.settings().lamps);
    if (LampGroup->title() != lampTitle) LampGroup->setTitle(lampTitle);
}

void SwitchboardWindow::showLog() {
    const auto &events = m_session.board().events();
    const std::int64_t shown[3] = {std::int64_t(events.size()),
                                   events.empty() ? -1 : events.back().timeMs,
                                   events.empty() ? -1 : std::int64_t(events.back().kind)};
    if (std::equal(shown, shown + 3, m_logShown)) return;
    std::copy(shown, shown + 3, m_logShown);
    const auto &attempts = m_session.board().attempts();
    Log->setRowCount(int(attempts.size()));
    for (std::size_t i = 0; i < attempts.size(); ++i) {
        const QStringList row = attemptTexts(attempts[attempts.size() - 1 - i]);
        // A close that never made contact says why across the columns it has no numbers for.
        const int span = row.size() == 4 ? Log->columnCount() - 3 : 1;
        if (Log->columnSpan(int(i), 3) != span) Log->setSpan(int(i), 3, 1, span);
        for (int column = 0; column < Log->columnCount(); ++column) {
            const QString text = column < row.size() ? row[column] : QString();
            QTableWidgetItem *item = Log->item(int(i), column);
            if (!item) Log->setItem(int(i), column, item = new QTableWidgetItem);
            if (item->text() != text) item->setText(text);
        }
    }
}

void SwitchboardWindow::tellScreenReader() {
    const Switchboard &b = m_session.board();
    const QString synchroscope =
        b.blackout() ? QStringLiteral("no bus voltage to compare with")
                     : synchroscopeText(b.angleDeg(), b.slipHz(), b.secondsPerTurn());
    Synchroscope->setAccessibleDescription(synchroscope);
    Synchroscope->setAccessibleName(QStringLiteral("Synchroscope: ") + synchroscope);
    Lamps->setAccessibleName(lampsText(m_session.settings().lamps, m_shown.lamps));
    for (std::size_t i = 0; i < Meters.size(); ++i) {
        const QString name = meterText(i, m_shown.meters[i], m_shown.setPoint);
        if (Meters[i]->accessibleName() != name) Meters[i]->setAccessibleName(name);
    }
    for (std::size_t i = 0; i < Differences.size(); ++i) {
        const QString name = differenceText(i, m_shown.differences[i]);
        if (Differences[i]->accessibleName() != name) Differences[i]->setAccessibleName(name);
    }
    if (!b.island()) return;
    for (std::size_t i = 0; i < SetMeters.size(); ++i) {
        const QString name = setMeterText(int(i / SetMeterCount) + 1, i % SetMeterCount,
                                          m_shown.setMeters[i], m_shown.setNotes[i]);
        if (SetMeters[i]->accessibleName() != name) SetMeters[i]->setAccessibleName(name);
    }
    for (std::size_t i = 0; i < Droops.size(); ++i)
        if (Droops[i]->accessibleDescription() != m_shown.droops[i])
            Droops[i]->setAccessibleDescription(m_shown.droops[i]);
}

void SwitchboardWindow::reportFailure(const QString &message) {
    showErrorReport(this, message, m_runner);
}

void SwitchboardWindow::exportLog() {
    const Switchboard &b = m_session.board();
    if (b.events().empty()) {
        showNotice(this,
                   QStringLiteral("The switchboard's log is empty: it fills once the breaker is "
                                  "given a close command."),
                   QStringLiteral("NothingToExport"), m_runner);
        return;
    }
    // Taken before the dialog: the exercise goes on while it is open.
    const QByteArray csv = switchboardLogCsv(b.settings(), b.events());
    const QString fileName =
        m_files.chooseFile(this, QStringLiteral("Export switchboard log"),
                           QStringLiteral("selmex-switchboard-log.csv"), CsvFilter);
    if (fileName.isEmpty()) return;
    QString error;
    if (!writeSelmexFile(fileName, csv, &error)) reportFailure(error);
}

void SwitchboardWindow::exportActions() {
    const Switchboard &b = m_session.board();
    if (b.actions().empty()) {
        showNotice(this,
                   QStringLiteral("There are no actions to export yet: use the switchboard's "
                                  "controls first."),
                   QStringLiteral("NothingToExport"), m_runner);
        return;
    }
    const QByteArray csv = switchboardActionsCsv(b.actions());
    const QString fileName =
        m_files.chooseFile(this, QStringLiteral("Export actions"),
                           QStringLiteral("selmex-switchboard-actions.csv"), CsvFilter);
    if (fileName.isEmpty()) return;
    QString error;
    if (!writeSelmexFile(fileName, csv, &error)) reportFailure(error);
}

bool SwitchboardWindow::replayFile(const QString &path, QString *error) {
    SwitchboardActionsResult read = readSwitchboardActions(path);
    if (!read.ok) {
        if (error) *error = read.error;
        return false;
    }
    if (const auto refused = m_session.replay(std::move(read.actions))) {
        if (error)
            *error = messageName(path) + QStringLiteral(": ") + QString::fromStdString(*refused);
        return false;
    }
    m_replayName = messageName(path);
    emptyHands();
    return true;
}

void SwitchboardWindow::replayActions() {
    const QString fileName =
        m_files.chooseFileToOpen(this, QStringLiteral("Replay actions"), CsvFilter);
    if (fileName.isEmpty()) return;
    QString error;
    if (!replayFile(fileName, &error)) reportFailure(error);
}
