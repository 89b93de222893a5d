#pragma once

#include "filechooser.h"
#include "instrumentview.h"
#include "modalrunner.h"
#include "switchboardinstruments.h"
#include "switchboardsession.h"
#include "synchroscope.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <QFont>
#include <QMainWindow>
#include <QSize>
#include <QString>

class QAction;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QMenu;
class QPainter;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTableWidget;
class QTimer;
class SelmexLessonController;
class TaskPanel;
class ViewZoom;

// The switchboard: a generator brought onto the bus by hand or by the automatic
// synchroniser, in real time. The synchroscope, the lamps, the bus's and the generator's
// voltmeters and frequency meters, the wattmeter and the breaker's state; governor and
// voltage regulator raise/lower held with the mouse or the keys, the breaker's Close and
// Open, the mode; the synchroniser's state, the relay's answer, and a log of the close
// attempts. On an island also both sets' meters, set 1's governor, regulator and breaker,
// the task and the droop pictures. A window of its own beside the trainer, following its
// View menu's zoom. Its timer asks the session to catch up with the wall clock about once
// a screen refresh.
class SwitchboardWindow : public QMainWindow {
    Q_OBJECT
public:
    // The keys that work anywhere in the window; held like the buttons.
    static constexpr int SpeedRaiseKey = Qt::Key_Up, SpeedLowerKey = Qt::Key_Down;
    static constexpr int VoltageRaiseKey = Qt::Key_Right, VoltageLowerKey = Qt::Key_Left;
    static constexpr int CloseKey = Qt::Key_C, OpenKey = Qt::Key_O;
    // On an island, set 1's: its governor W / S, its regulator D / A (held), its breaker's
    // open Q.
    static constexpr int RunningSpeedRaiseKey = Qt::Key_W, RunningSpeedLowerKey = Qt::Key_S;
    static constexpr int RunningVoltageRaiseKey = Qt::Key_D, RunningVoltageLowerKey = Qt::Key_A;
    static constexpr int RunningOpenKey = Qt::Key_Q;

    // `files` and `runner` are the trainer's file dialogs and how it shows dialogs; `zoom`
    // the View menu's zoom it follows (none: 100 %). `clock` empty: the wall clock.
    SwitchboardWindow(FileChooser &files, const ModalRunner &runner, ViewZoom *zoom = nullptr,
                      SwitchboardSession::Clock clock = {}, QWidget *parent = nullptr);
    ~SwitchboardWindow() override;

    SwitchboardSession &session() { return m_session; }
    const SwitchboardSession &session() const { return m_session; }

    // The exercise anew with `settings`; settings out of range change nothing, and
    // `error` says why.
    bool startExercise(const SwitchboardSettings &settings, QString *error = nullptr);
    // One frame: the session catches up with the clock and the window shows the state.
    void frame();
    // Restarts the exercise and plays the actions of a file in real time; a file that
    // cannot be read or is refused changes nothing, and `error` says why.
    bool replayFile(const QString &path, QString *error);
    // The task of the scenario file the exercise came from: its comments beside the
    // instruments, hidden when it has none.
    TaskPanel *taskPanel() const { return m_task; }
    // The lesson worked through here, its pane and its File menu's items.
    SelmexLessonController &lessons() { return *m_lessons; }
    // Opens a lesson file at its first step beside the instruments; a file refused is
    // reported, and nothing changes.
    bool openLesson(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    enum Holder : std::uint8_t { ByKey = 1, ByMouse = 2 };
    void createControls();
    // The island's group: both sets' meters, set 1's controls, the task, the droop pictures.
    QGroupBox *createIsland(QWidget *client);
    void createMenu();
    // The lesson's File and View menu items and its pane.
    void createLessons(QMenu *view);
    QPushButton *holdButton(QWidget *parent, const QString &name, const QString &text,
                            std::size_t control);
    void press(std::size_t control, Holder holder);
    void release(std::size_t control, Holder holder);
    void releaseAll();
    // After a start, restart or replay: nothing held, everything shown and told anew.
    void emptyHands();
    bool handleKey(QKeyEvent *event, bool pressed);
    void chooseMode(ControlState mode);
    // The window's controls and read-outs from the session, each changed only when what it
    // shows changes.
    void showState();
    void showInstruments();
    void showControls();
    void showLog();
    void showIsland();
    void tellScreenReader();
    void setZoom(double zoom);
    void fitScroll();
    void boldBreaker();
    void reportFailure(const QString &message);

    // The operator's close command, held back while a lesson step awaits its prediction.
    void closeBreaker();
    void exportLog();
    void exportActions();
    void replayActions();
    void restart();

    FileChooser &m_files;
    const ModalRunner &m_runner;
    SwitchboardSession m_session;
    // The held controls: set 2's speed raise, lower, voltage raise, lower, then set 1's.
    static constexpr std::size_t HeldCount = 8;
    std::array<std::uint8_t, HeldCount> m_heldBy{};
    // A key's release, held back until the next step, and its time stamp: a press of the
    // same key with the same stamp is its repeat.
    struct KeyRelease {
        quint64 stamp = 0;
        std::int64_t sinceMs = 0;
        bool pending = false;
    };
    std::array<KeyRelease, HeldCount> m_keyReleases{};
    QTimer *m_timer = nullptr;
    KeptDialSynchroscope m_dial;
    SwitchboardLamps m_lamps;
    QFont m_fontAt100;
    double m_zoom = 1;
    QSize m_sizeAt100; // the window's size when it last was at 100 %
    // What the log table shows: the number of log entries and the time and kind of the
    // newest, which change whenever an attempt does.
    std::int64_t m_logShown[3] = {-1, -1, -1};
    std::int64_t m_toldAtMs = -1;
    // When the synchroniser's line last changed, and how long its advance angle waits.
    std::int64_t m_synchroniserShownMs = 0;
    static constexpr std::int64_t RetellAngleMs = 250;
    QString m_replayName;

    // The controls keep these names as object names.
    InstrumentView *Synchroscope = nullptr;
    InstrumentView *Lamps = nullptr;
    std::array<InstrumentView *, 5> Meters{};      // bus and generator V, Hz, and the power
    std::array<InstrumentView *, 2> Differences{}; // the slip and the voltage difference
    QLabel *BreakerValue = nullptr;
    std::array<QPushButton *, HeldCount> Holds{}; // speed raise, lower, voltage raise, lower
    QPushButton *CloseButton = nullptr;
    QPushButton *OpenButton = nullptr;
    std::array<QRadioButton *, 3> Modes{}; // manual, permissive, automatic
    QLabel *SynchroniserValue = nullptr;
    QLabel *RelayValue = nullptr;
    QLabel *KeysNote = nullptr;
    QTableWidget *Log = nullptr;
    QMenu *FileMenu = nullptr;
    QAction *ExportLog1 = nullptr;
    QAction *ExportActions1 = nullptr;
    QAction *ReplayActions1 = nullptr;
    QAction *Restart1 = nullptr;
    QAction *Close1 = nullptr;
    QGroupBox *LampGroup = nullptr;
    TaskPanel *m_task = nullptr;
    std::unique_ptr<SelmexLessonController> m_lessons;
    QWidget *m_client = nullptr;
    // The client area's scroll area, from the first island on.
    QScrollArea *m_scroll = nullptr;
    // The island's.
    QGroupBox *IslandGroup = nullptr;
    std::array<InstrumentView *, 8> SetMeters{}; // set 1's four, then set 2's
    std::array<InstrumentView *, 2> Droops{};    // frequency, voltage
    QPushButton *RunningOpenButton = nullptr;
    QLabel *RunningBreakerValue = nullptr;
    QLabel *TaskValue = nullptr;
    QLabel *BlackoutValue = nullptr;

    // What the drawings show, so that they repaint only when it changes.
    struct Shown {
        double theta = 0, commandAt = 0, secondsPerTurn = 0;
        std::array<double, 3> lamps{};
        std::array<QString, 5> meters;
        QString setPoint; // the AVR's
        std::array<QString, 2> differences;
        std::array<double, 2> differenceValues{};
        std::array<bool, HeldCount> lit{};
        std::array<QString, 8> setMeters, setNotes;
        std::array<QString, 2> droops; // the pictures in words
    } m_shown;
};
