#pragma once

#include "alertsound.h"
#include "dravexsession.h"
#include "mainwindowzoom.h"
#include "modalrunner.h"
#include "reportfiles.h"
#include "runplots.h"
#include "toolwindows.h"

#include <array>
#include <memory>
#include <optional>
#include <QMainWindow>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class EqualAreaStatus;
class ImageControl;
class LessonController;
class LessonPane;
class LessonSession;
class NetworkDiagram;
class ReadoutPanel;
class TaskPanel;
class ViewZoom;

// The main window of Dravex: the one-line diagram (generator, busbar, line or two lines,
// swing bus), the "short circuit" button that runs a fault, the read-outs of the run and
// the three plots. The session holds the case, the generator and the runs; the window
// shows what it announces and hands it the user's commands. Controls are found by their
// object names.
class TDravon : public QMainWindow {
    Q_OBJECT
public:
    explicit TDravon(QWidget *parent = nullptr);
    ~TDravon() override;

    // The case, the current generator, the runs, the pace and the search.
    DravexSession &session() { return *m_session; }
    const DravexSession &session() const { return *m_session; }
    // The three drawings and what they show.
    RunPlots &plots() { return *m_plots; }
    // The status bar: the criterion, the simulation's clearing time and the areas.
    EqualAreaStatus *equalAreaStatus() const { return m_status; }
    // The swing curves' window, once it has been opened.
    SwingCurves *swingCurves() const { return m_tools->swingCurves(); }
    // The critical clearing study's window, once it has been opened.
    StudyWindow *studyWindow() const { return m_tools->study(); }
    // The View menu's zoom. The window takes a new zoom between two steps of a run, and
    // draws its plots again for their new size.
    ViewZoom *viewZoom() const { return m_zoom.viewZoom(); }
    // The files for a report and the file dialogs; tests answer the dialogs here.
    ReportFiles &reportFiles() { return m_reportFiles; }

    // The lesson being worked through, if any, and the pane beside the plots that shows
    // it. While a step awaits the student's prediction, the runs and the tools that would
    // give its answer away wait, and the status bar keeps the critical clearing times
    // back.
    LessonSession &lessonSession();
    LessonPane *lessonPane() const;
    // The task of the scenario file open: its comments beside the plots.
    TaskPanel *taskPanel() const { return m_taskPanel; }
    // Opens a lesson file at its first step and shows the pane; a file refused is named
    // with its line and what is wrong, and nothing changes.
    bool openLesson(const QString &path);

    // How modal dialogs and message boxes are shown; tests answer them here.
    ModalRunner modalRunner;
    void setAlertSound(std::unique_ptr<AlertSound> sound) { m_alertSound = std::move(sound); }

    // The client area as a picture: diagram, read-outs, plots and status bar, without
    // the menu.
    QImage clientPicture();

    // The client area below the menu bar that holds every control with the layout's
    // margins.
    static constexpr QSize ClientSize{688, 426};

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    // Event handlers, named after the control and the event.
    void KortsluitingClick();
    void Shape1MouseDown(Qt::MouseButton button);
    void RailMouseDown(Qt::MouseButton button);
    void Help2Click();
    void About1Click();
    // File > Open scenario..., Save scenario..., Export run..., Save picture...
    void openScenario();
    void saveScenario();
    void exportRun();
    void savePicture();
    // Tools: the dialogs of the diagram's right-clicks, from the keyboard; the
    // simulation's own critical clearing time; the swing curves' window.
    void findCritical();
    void showSwingCurves();
    void chooseFaultScenario();
    void showStudy();
    // A value from the study taken into the case, as the machine data and fault scenario
    // dialogs' OK take theirs.
    void takeStudyCase(const StabilityCase &c);

    void createControls();
    void createMenu();
    void createLesson();
    void describeForScreenReaders();
    void connectSession();
    void FormCreate();
    // Shows one step of the engine: read-outs, out-of-step reaction, drawings.
    void showStep(const StepReport &report);
    // A whole new case, shown as at start-up.
    void showNewCase();
    void showSpeed(RunSpeed speed);
    // The boundary of the case in force (the run's network during a run) handed to the
    // plots, and the phase plane's description naming it; the phase plane is drawn again
    // when `redraw` and the boundary changed.
    void showBoundary(bool redraw);
    // The plots drawn again as they stand; asked for inside a step, at its end.
    void redrawPlots();
    // The power-angle plot drawn afresh for the network of the run in progress, or of the
    // next run.
    void redrawPowerAngle();
    // The described caption, followed by the scenario file's name when there is one.
    void showFileInTitle();
    // The zoom and the screen's device pixel ratio as they stand now: the layout, the
    // window's size and new pictures for the plots, drawn again from what they showed.
    // Asked for inside a step, it waits for the step's end.
    void applyZoom();
    // Returns whether the plots have new pictures.
    bool zoomLayout();

    DravexSession *m_session = nullptr; // a child, so that it outlives no window
    std::unique_ptr<RunPlots> m_plots;
    MainWindowZoom m_zoom;
    ReportFiles m_reportFiles;
    EqualAreaStatus *m_status = nullptr;
    std::unique_ptr<ToolWindows> m_tools;
    std::unique_ptr<AlertSound> m_alertSound;
    NetworkDiagram *m_diagram = nullptr; // a child
    std::unique_ptr<ReadoutPanel> m_readouts;
    // Goes before the zoom, which its pane's signals reach.
    std::unique_ptr<LessonController> m_lessons;
    TaskPanel *m_taskPanel = nullptr;
    bool m_inStep = false;
    bool m_zoomPending = false;
    bool m_redrawPending = false;
    // What the boundary on the phase plane was drawn from: H, the final Pmech and network.
    std::optional<std::array<double, 3>> m_boundaryFrom;
    // The search for the start-up case waits for the window's first paint, so that it
    // does not take the processor from the start.
    bool m_startUpSearchWaits = true;

    // Controls, named as in the window's layout; the diagram's and the read-outs' are
    // theirs.
    QFrame *PanelSinus = nullptr;
    ImageControl *ImageSinus = nullptr;
    QPushButton *Kortsluiting = nullptr;
    QFrame *Panelrotor = nullptr;
    ImageControl *ImageRotor = nullptr;
    QFrame *Panelfase = nullptr;
    ImageControl *ImageFase = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;

    // The menu: the items the window's layout names keep their names, the others are
    // named for what they do.
    QMenu *File1 = nullptr;
    QAction *OpenScenarioAction = nullptr;
    QAction *SaveScenarioAction = nullptr;
    QAction *OpenLessonAction = nullptr;
    QAction *ExportLessonRecordAction = nullptr;
    QAction *PrintWorksheetAction = nullptr;
    QAction *ExportAnswerKeyAction = nullptr;
    QAction *ExportRunAction = nullptr;
    QAction *SavePictureAction = nullptr;
    QAction *Close1 = nullptr;
    QMenu *ToolsMenu = nullptr;
    QAction *MachineDataAction = nullptr;
    QAction *ClearingTimeAction = nullptr;
    QAction *FaultScenarioAction = nullptr;
    QAction *FindCriticalAction = nullptr;
    QAction *SwingCurvesAction = nullptr;
    QAction *CriticalClearingStudyAction = nullptr;
    QMenu *SpeedMenu = nullptr;
    QAction *RealTimeAction = nullptr;
    QAction *SlowMotionAction = nullptr;
    QAction *FastAction = nullptr;
    QAction *RoundedReadoutsAction = nullptr; // the View menu's
    QAction *StabilityBoundaryAction = nullptr;
    QAction *PlotLabelsAction = nullptr;
    QAction *LessonPaneAction = nullptr;
    QMenu *Help1 = nullptr;
    QAction *Help2 = nullptr;
    QAction *UserGuideAction = nullptr;
    QAction *About1 = nullptr;
};
