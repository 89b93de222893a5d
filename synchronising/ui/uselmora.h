#pragma once

#include "filechooser.h"
#include "mainwindowzoom.h"
#include "modalrunner.h"
#include "phasordiagram.h"
#include "session.h"
#include "switchboardsession.h"

#include <functional>
#include <memory>
#include <optional>
#include <QMainWindow>
#include <QSize>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;
class QTimer;
class ImageControl;
class ShapeControl;
class SwitchboardWindow;
class SynchronisingPanel;
class TaskPanel;
class ViewZoom;

// The main window of Selmex: the network's and the generator's three-phase phasor
// diagrams turning side by side, the controls that bring the generator into line with
// the network, its read-outs, and "Switch". The session holds the state of network and
// generator and turns it tick by tick; the window asks for the ticks on its timer, draws
// the phasors as they turn and shows the rest. Its controls keep their layout names as
// object names.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(TimeOfDayClock clock = systemTimeOfDay(), QWidget *parent = nullptr);
    ~TForm1() override;

    // One tick of the animation, as the timer delivers it: the session turns the
    // phasors, each erased before it turns and drawn once turned, with the pending
    // events run in between; then the synchroscope aid, every third tick the phase
    // angle, and the panel.
    void tick();
    // A new session from a scenario: the sliders back in their middles, not connected,
    // no switchings yet. A scenario out of range is refused and nothing changes.
    bool openScenario(const SelmexScenario &scenario);
    // The same from a scenario file, named in the title, its comments beside the diagrams
    // and its switchboard's exercise, if any, on the switchboard; a file that cannot be
    // read or is refused changes nothing, and `error` says why.
    bool openScenarioFile(const QString &path, QString *error);

    // Network and generator, and what has happened to them since the start.
    SelmexSession &session() { return m_session; }
    const SelmexSession &session() const { return m_session; }
    // The network's diagram as it stands on its picture.
    PhasorDiagram &netDiagram() { return *m_netDiagram; }
    // The synchronising panel, if it has been opened; it follows every tick.
    SynchronisingPanel *synchronisingPanel() const { return m_panel; }
    // The switchboard, if it has been opened (Tools > Switchboard, or a scenario file with
    // a [switchboard] section).
    SwitchboardWindow *switchboardWindow() const { return m_switchboard; }
    // The task of the scenario file open: its comments beside the diagrams.
    TaskPanel *taskPanel() const { return m_task; }
    // Opens the switchboard, with a new exercise from `settings` when given; settings out
    // of range are refused, with the reason in `error`.
    bool openSwitchboard(const std::optional<SwitchboardSettings> &settings = std::nullopt,
                         QString *error = nullptr);
    // Opens the switchboard with a lesson (a .selmex-lesson file) at its first step beside
    // the instruments; a file refused is reported, and nothing changes.
    bool openLessonFile(const QString &path);
    // The switchboard's clock when it is made; empty: the wall clock. Tests move their own.
    SwitchboardSession::Clock switchboardClock;
    // The View menu's zoom. The window takes a new zoom between two ticks, and the zoom
    // of the last start when it is first shown.
    ViewZoom *viewZoom() const { return m_zoom.viewZoom(); }

    // How message boxes and dialogs are shown; tests answer them here.
    ModalRunner modalRunner;
    // The file dialogs, which start in the folder used last; tests answer them here.
    FileChooser &files() { return m_files; }
    // What runs while a phasor is erased and not yet redrawn: the pending events.
    std::function<void()> pump;

    static constexpr QSize ClientSize{546, 546};

protected:
    void showEvent(QShowEvent *event) override;
    // A lesson's predictions not exported yet are offered for export first.
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void createControls();
    void createMenu();
    void FormCreate();
    // The sliders in their middles and the read-outs of a new session.
    void showNewSession();
    // The rest of a new session from a scenario: the aid's menu item, the file's task and
    // name, the panel. `wasConnected`: the session before had connected the generator.
    void showOpenedScenario(bool wasConnected);

    void TbAmplitudeChange();
    void tbFrequentieChange();
    void Button2Click();
    void Button3Click();
    void BtnStartStopClick();
    void SchakelenClick();
    void synchrhulp1Click();
    void afsluiten1Click();
    void Setup1Click();
    void SynchroPanel1Click();
    void Switchboard1Click();
    // File > Open scenario..., Save scenario..., Export switchings...
    void OpenScenario1Click();
    void SaveScenario1Click();
    void ExportSwitchings1Click();
    void Help1Click();
    void info1Click();
    void ToonHoek();

    PhasorDiagram &diagramOf(SelmexSession::PhasorSet set);
    void showMessage(const QString &text);
    bool waitForTickEnd(void (TForm1::*action)());
    void refreshPanel();
    void reportFailure(const QString &message);
    // The layout, the window, the pictures and the panel at the View menu's zoom and the
    // screen's device pixel ratio, the phasors drawn again on the new pictures. Inside a
    // tick it waits for the tick's end.
    void applyZoom();
    void fitPictures();
    // "Form1", and " — name" while a scenario file is open.
    void showFileInTitle();

    SelmexSession m_session;
    // What the diagrams do as the session turns a phasor: erase it, run the pending
    // events, draw it turned.
    SelmexSession::TickWatcher m_drawTick;
    std::unique_ptr<PhasorDiagram> m_netDiagram, m_genDiagram;
    bool m_inTick = false;
    SynchronisingPanel *m_panel = nullptr;
    SwitchboardWindow *m_switchboard = nullptr;
    TaskPanel *m_task = nullptr;
    MainWindowZoom m_zoom;
    FileChooser m_files;
    bool m_shownBefore = false;

    QFrame *Panel1 = nullptr;
    ImageControl *Image1 = nullptr;
    ImageControl *Image2 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label8 = nullptr;
    ShapeControl *hoekhulp = nullptr;
    QPushButton *Schakelen = nullptr;
    QPushButton *BtnStartStop = nullptr;
    QGroupBox *Regeling = nullptr;
    QLabel *LbAmplutide = nullptr;
    QSlider *TbAmplitude = nullptr;
    QLabel *LbFrequentie = nullptr;
    QSlider *TbFrequentie = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;
    QGroupBox *Metingen = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *EdUgen = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *EdFreq = nullptr;
    QLabel *Label6 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QLabel *Label1 = nullptr;
    QTimer *Timer1 = nullptr;

    QMenu *File1 = nullptr;
    QAction *OpenScenario1 = nullptr;
    QAction *SaveScenario1 = nullptr;
    QAction *ExportSwitchings1 = nullptr;
    QAction *afsluiten1 = nullptr;
    QMenu *opties1 = nullptr;
    QAction *synchrhulp1 = nullptr;
    QAction *Setup1 = nullptr;
    QAction *SynchroPanel1 = nullptr;
    QAction *Switchboard1 = nullptr;
    QMenu *View1 = nullptr;
    QMenu *about1 = nullptr;
    QAction *Help1 = nullptr;
    QAction *UserGuide1 = nullptr;
    QAction *info1 = nullptr;
};
