#pragma once

#include "alertsound.h"
#include "backgroundsearch.h"
#include "equalarea.h"
#include "fase.h"
#include "faultrun.h"
#include "layoutzoom.h"
#include "modalrunner.h"
#include "mygenerator.h"
#include "oppervlakken.h"
#include "plotstate.h"
#include "reportfiles.h"
#include "rotor.h"
#include "runhistory.h"
#include "runpacer.h"
#include "sinusplot.h"
#include "stabilitycase.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <utility>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class EqualAreaStatus;
class ImageControl;
class MouseLabel;
class ShapeControl;
class SwingCurves;
class ViewZoom;

// The main window of Dravex: the one-line diagram (generator, busbar, line or two lines,
// swing bus), the "short circuit" button that runs a fault, the read-outs of the run and
// the three plots. It owns the state that the whole program shares: the case (machine
// data, fault scenario and clearing time) and, through the engine, the one current
// generator.
class TDravon : public QMainWindow {
    Q_OBJECT
public:
    explicit TDravon(QWidget *parent = nullptr);
    ~TDravon() override;

    // Event handlers, named after the control and the event.
    void KortsluitingClick();
    void Shape1MouseDown(Qt::MouseButton button);
    void RailMouseDown(Qt::MouseButton button);
    void Close1Click();
    void Help2Click();
    void About1Click();
    // File > Export run..., File > Save picture...
    void ExportRun1Click();
    // File > Open scenario..., File > Save scenario...: a case as a .dravex file.
    void OpenScenario1Click();
    void SaveScenario1Click();
    void SavePicture1Click();
    // Tools: the dialogs of the diagram's right-clicks, from the keyboard; the
    // simulation's own critical clearing time; the swing curves' window.
    void MachineData1Click();
    void ClearingTime1Click();
    void FindCritical1Click();
    void SwingCurves1Click();
    void FaultScenario1Click();

    // The case the next run takes. The machine data as the dialog's OK leaves them: the
    // current generator takes them at the next mouse-down on the diagram, or the next
    // run builds a generator from them.
    const StabilityCase &studyCase() const { return m_case; }
    const TGenParams &machineData() const { return m_case.machine; }
    void setMachineData(const TGenParams &machine);
    std::int32_t clearingTime() const { return m_case.clearingMs; }
    // Read by a run at every step, so a change during a run takes effect at the next.
    void setClearingTime(std::int32_t ms);
    const FaultScenario &scenario() const { return m_case.scenario; }
    // A run in progress keeps its network; the next run takes this one. With no run
    // going, the power-angle plot and the diagram show it at once.
    void setScenario(const FaultScenario &scenario);
    // A whole case, as a scenario file gives it: a run in progress is stopped, and a
    // new generator is built and drawn as at start-up. A case out of range is refused
    // and nothing changes.
    bool openCase(const StabilityCase &c);
    // File > Open scenario... and a file named on the command line: the file's case, as
    // openCase takes it, and the title names the file. The comments the file starts with,
    // an exercise's text, are kept for File > Save scenario... to write again. A file
    // refused changes nothing; `error` says why.
    bool openScenarioFile(const QString &path, QString *error = nullptr);
    // The scenario file the case was opened from or last saved as; empty when the case
    // comes from no file.
    QString scenarioFile() const { return m_scenarioFile; }
    // The start-up generator, or one built by openCase, has not run yet.
    bool freshGenerator() const { return m_freshGenerator; }

    // Runs the search for the simulation's critical clearing time whenever the machine
    // data or the scenario change; tests give one that runs it at once.
    SearchRunner searchRunner;

    // The client area as a picture: diagram, read-outs, plots and status bar, without
    // the menu.
    QImage clientPicture();

    // The time loop of a fault run: paces the engine's steps and lets the window live
    // between them; returns when the run ends.
    void tijdloop();

    // The simulation: the current generator, the clock, the run flag and the steps.
    FaultRun &faultRun() { return *m_run; }
    const FaultRun &faultRun() const { return *m_run; }
    TMyGenerator &generator() { return m_run->generator(); }
    const TMyGenerator &generator() const { return m_run->generator(); }
    bool Running() const { return m_run->Running(); }
    double TotTijd() const { return m_run->TotTijd(); }

    RunSpeed speed() const { return m_speed; }
    void setSpeed(RunSpeed speed);

    // View > Rounded read-outs: the four read-outs with 4 significant digits and their
    // unit, to be read on a projector; remembered like the zoom. Off, they show every
    // digit. The read-outs shown change at once.
    bool roundedReadouts() const { return m_roundedReadouts; }
    void setRoundedReadouts(bool rounded);

    // The plots that cost most are redrawn on every fifth step only.
    static constexpr int RedrawEvery = 5;

    // How modal dialogs and message boxes are shown; tests answer them here.
    ModalRunner modalRunner;
    // Called at the end of every step, before the event pump, with the step's number in
    // its run (1 for the first).
    std::function<void(int)> stepHook;
    void setAlertSound(std::unique_ptr<AlertSound> sound) { m_alertSound = std::move(sound); }
    // The clock that paces a run; tests give one that they move on themselves.
    std::function<RunPacer::Clock::time_point()> clock = [] { return RunPacer::Clock::now(); };
    // The schedule of the last run: when its first and its last step were due.
    RunPacer::Clock::time_point firstStepDue() const { return m_firstDue; }
    RunPacer::Clock::time_point lastStepDue() const { return m_lastDue; }
    // Measurements switch the drawings off to see their share of a step.
    bool drawPlots = true;

    // The View menu's zoom. The window takes a new zoom between two steps of a run, and
    // draws its plots again for their new size.
    ViewZoom *viewZoom = nullptr;

    // The three drawings: power-angle plot with the equal areas, phase plane, rotor.
    std::unique_ptr<SinusPlot> sinus;
    std::unique_ptr<Oppervlakken> oppervlakken;
    std::unique_ptr<Fase> fase;
    std::unique_ptr<Rotor> rotor;
    // Every step of the last runs, for the swing curves and the export.
    RunHistory history;
    ReportFiles reportFiles;
    SwingCurves *swingCurves() const { return m_swingCurves; }
    // A1 and A2 of the run, summed step by step, and where they are shown.
    Oppervlaktesom areaSum;
    EqualAreaStatus *StatusEqualAreas = nullptr;

    // Controls, named as in the window's layout.
    QFrame *schema = nullptr;
    ShapeControl *Shape1 = nullptr;
    MouseLabel *Generator = nullptr;
    ShapeControl *Shape2 = nullptr;
    MouseLabel *swingbus = nullptr;
    ShapeControl *Lijn = nullptr;
    // A fault on one of two lines: the second line, which is faulted and tripped, and
    // the fault's place on it.
    ShapeControl *Lijn2 = nullptr;
    ShapeControl *FaultMark = nullptr;
    ShapeControl *Rail = nullptr;
    ShapeControl *Shape3 = nullptr;
    QFrame *PanelSinus = nullptr;
    ImageControl *ImageSinus = nullptr;
    QPushButton *Kortsluiting = nullptr;
    QLineEdit *EditDomega = nullptr;
    QLabel *labDomega = nullptr;
    QLineEdit *EditDelta = nullptr;
    QLabel *LabDelta = nullptr;
    QLineEdit *EdittotTijd = nullptr;
    QLabel *LabTotTijd = nullptr;
    QLineEdit *EditPelek = nullptr;
    QLabel *LabPelek = nullptr;
    QFrame *Panelrotor = nullptr;
    ImageControl *ImageRotor = nullptr;
    QFrame *Panelfase = nullptr;
    ImageControl *ImageFase = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;

    QMenu *File1 = nullptr;
    QAction *OpenScenario1 = nullptr;
    QAction *SaveScenario1 = nullptr;
    QAction *ExportRun1 = nullptr;
    QAction *SavePicture1 = nullptr;
    QAction *Close1 = nullptr;
    QMenu *Tools1 = nullptr;
    QAction *MachineData1 = nullptr;
    QAction *ClearingTime1 = nullptr;
    QAction *FindCritical1 = nullptr;
    QAction *SwingCurves1 = nullptr;
    QAction *FaultScenario1 = nullptr;
    QMenu *Speed1 = nullptr;
    QAction *Realtime1 = nullptr;
    QAction *Slowmotion1 = nullptr;
    QAction *Fast1 = nullptr;
    QAction *RoundedReadouts1 = nullptr; // in the View menu
    QMenu *Help1 = nullptr;
    QAction *Help2 = nullptr;
    QAction *About1 = nullptr;

    // The client area below the menu bar that holds every control with the layout's
    // margins.
    static constexpr QSize ClientSize{688, 426};

protected:
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void createControls();
    void createMenu();
    void describeForScreenReaders();
    void FormCreate();
    // Shows one step of the engine: read-outs, out-of-step reaction, drawings.
    void showStep(const StepReport &report);
    // Writes a read-out's value, from its first digit on, exact or rounded with its unit,
    // and keeps it for a change between the two.
    void showReadout(QLineEdit *edit, long double value);
    // Before a run the power read-out holds Pmech per-unit, as the generator is created;
    // a run shows the electrical power in Pmax's own unit.
    void showPower(QLineEdit *edit, long double value, bool perUnitPmech);
    void clearReadout(QLineEdit *edit);
    // Blanks the power-angle plot and draws axes, curves and Pmech line again, for the
    // network of the run in progress, or of the next run.
    void redrawPowerAngle();
    void waitForNextStep();
    // The diagram's lines as the network stands.
    void showNetwork(const FaultScenario &scenario, NetworkState state);
    // The criterion's line for the case, and a new search for the simulation's line
    // when the machine data or the scenario differ from those it was found for.
    void caseChanged();
    // The described caption, followed by the scenario file's name when there is one.
    void setScenarioFile(const QString &path);
    void searchCritical();
    // The zoom and the screen's device pixel ratio as they stand now: the layout, the
    // window's size and new pictures for the plots, drawn again from what they showed.
    // Asked for inside a step, it waits for the step's end.
    void applyZoom();
    // Returns whether the plots have new pictures.
    bool zoomLayout();

    // A read-out, the unit its rounded form shows after the number, and the value it
    // shows (none when it is empty).
    struct Readout {
        QLineEdit *edit = nullptr;
        QString unit;
        std::optional<long double> value;
    };
    std::array<Readout, 4> m_readouts;
    bool m_roundedReadouts = false;
    Readout &readoutOf(QLineEdit *edit);
    void writeReadout(const Readout &readout) const;

    StabilityCase m_case;
    QString m_scenarioFile;
    QByteArray m_scenarioComments; // the comment block the file starts with
    bool m_freshGenerator = false;
    std::int32_t m_tekenTeller = 0; // steps since the last full redraw
    NetworkState m_shownNetwork = NetworkState::Fault;
    // The search in progress or last finished: what it was for, its number and its
    // stop flag.
    std::optional<std::pair<TGenParams, FaultScenario>> m_searchedFor;
    std::uint64_t m_searchNumber = 0;
    std::shared_ptr<std::atomic<bool>> m_searchCancel;
    std::unique_ptr<BackgroundSearch> m_background;
    std::unique_ptr<FaultRun> m_run;
    SwingCurves *m_swingCurves = nullptr; // a window of its own, made on first use
    std::unique_ptr<AlertSound> m_alertSound;
    RunSpeed m_speed = RunSpeed::RealTime;
    RunPacer m_pacer;
    RunPacer::Clock::time_point m_firstDue, m_lastDue;
    QTimer m_stepTimer; // wakes the loop when the next step is due

    PlotState m_plots;
    LayoutZoom m_layoutZoom;
    QSize m_sizeAt100;
    bool m_inStep = false;
    bool m_zoomPending = false;
};
