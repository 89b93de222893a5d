#pragma once

#include "classicalmodel.h"
#include "clearingsearch.h"
#include "equivalentmachine.h"
#include "grid.h"
#include "loadflow.h"
#include "runpacer.h"
#include "swingrun.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <thread>
#include <utility>
#include <vector>

// The equivalent machine's point along a run: its angle (rad) and electrical power (pu).
struct EquivalentPoint {
    double time = 0; // s
    double angle = 0;
    double power = 0;
};

// One sitting with a network of several machines, without a window: the grid and the file
// it came from with its leading comments, its load flow and classical model (rebuilt when
// the grid or the fault changes), the fault a click on the diagram sets, the run paced on
// a timer, the equivalent machine of the fault, and the critical clearing time search and
// the screening of every line on a thread of their own. A window shows what its signals
// announce.
class NetworkSession : public QObject {
    Q_OBJECT
public:
    explicit NetworkSession(QObject *parent = nullptr);
    ~NetworkSession() override;

    // A network file (.dravex-network) or a MATPOWER case (.m), by its name. A file
    // refused changes nothing; `error` names the file and line. A case imported has no
    // network file yet: filePath() stays empty until it is saved.
    bool openFile(const QString &path, QString *error = nullptr);
    // Writes the grid as a network file under the comments it was opened with.
    bool saveFile(const QString &path, QString *error = nullptr);
    // A grid as a reader gives it: the load flow, the model and the equivalent follow.
    void setGrid(const multimachine::Grid &grid, const QByteArray &comments = {});
    const multimachine::Grid &grid() const { return m_grid; }
    QString filePath() const { return m_filePath; }
    // What was opened last (a MATPOWER case too): the name the window's title shows.
    QString sourcePath() const { return m_sourcePath; }
    const QByteArray &comments() const { return m_comments; }

    // The machines' data (H, x'd, damping) changed, as an imported case needs: the model
    // is built again; a run in progress stops.
    bool setMachines(const std::vector<multimachine::Machine> &machines, QString *error = nullptr);

    // Why there is no model to run (the load flow did not converge, the grid is refused),
    // or empty.
    QString problem() const { return m_problem; }
    bool hasModel() const { return m_model != nullptr; }
    const multimachine::LoadFlowResult &loadFlow() const { return m_flow; }
    const multimachine::ClassicalModel &model() const { return *m_model; }

    // The fault: a click on a bus grounds that bus; one on a line puts the fault halfway
    // along it and clears it by opening that line. The clearing time in whole ms.
    const multimachine::FaultSpec &fault() const { return m_grid.fault; }
    void setFaultAtBus(int bus);
    void setFaultOnLine(const multimachine::BranchId &line);
    void setClearingMs(int ms);
    static constexpr int LongestClearingMs = multimachine::LongestClearingMs;

    // The equivalent machine of the fault (found false, with its problem, without a model).
    const multimachine::EquivalentResult &equivalent() const { return m_equivalent; }
    // Indices into the model's machines of the critical cluster.
    const std::vector<int> &clusterIndices() const { return m_cluster; }

    // The run: started from the pre-fault state, stepped by a timer at the chosen pace.
    void start();
    void stop();
    bool isRunning() const { return m_run != nullptr; }
    // Every step of the present or last run, and the equivalent's point at each.
    const std::vector<multimachine::SwingState> &states() const { return m_states; }
    const std::vector<EquivalentPoint> &equivalentPath() const { return m_path; }
    // The last run ended with two machines more than 360 degrees apart.
    bool outOfStep() const { return m_outOfStep; }
    // The clearing time the present or last run was made with.
    int runClearingMs() const { return m_runClearingMs; }

    RunSpeed speed() const { return m_speed; }
    void setSpeed(RunSpeed speed);
    // The clock that paces a run; tests give one that they move on themselves.
    std::function<RunPacer::Clock::time_point()> clock = [] { return RunPacer::Clock::now(); };
    // What one timer tick does: the steps due by the clock (at Fast, as many as a frame's
    // time allows), then `advanced`. The timer calls it; tests call it themselves.
    void tick();
    // At Fast, the steps a tick makes stop after this much time of the clock.
    static constexpr std::chrono::milliseconds FrameTime{15};

    // The simulation's critical clearing time for the fault, searched on a thread of its
    // own; found() when it has been.
    void findCriticalClearing();
    const std::optional<multimachine::ClearingSearchResult> &simulationResult() const {
        return m_simulation;
    }
    // Every line screened on a thread of its own: a fault at each end, cleared by opening
    // the line; `screeningProgressed` says how many of the faults are done.
    void screenLines();
    const std::vector<multimachine::ScreeningRow> &screening() const { return m_screening; }
    bool searching() const { return m_searchJob != nullptr; }
    bool screeningRuns() const { return m_screeningJob != nullptr; }
    // The search and the screening in progress give up; their results go nowhere. A new
    // fault gives up the search alone, a new grid both.
    void cancelBackground();

    // Angles and speeds as a person reads them.
    static double centreOfInertia(const multimachine::ClassicalModel &model,
                                  const std::vector<double> &delta);
    // The largest angle between two machines at a state, rad.
    static double largestAngleDifference(const multimachine::SwingState &state);

signals:
    void gridChanged();  // a new grid, load flow and model
    void fileChanged();  // the file opened or saved as
    void faultChanged(); // the fault or clearing time, and the equivalent with them
    void runBegun();
    void advanced(); // new steps in states()
    void runEnded();
    void speedChanged(RunSpeed speed);
    void searchStarted();
    void searchFound(); // simulationResult() is set
    void screeningProgressed(int done, int total);
    void screeningFinished(); // screening() holds the rows
    void backgroundCancelled();

private:
    struct Job {
        std::atomic<bool> cancel{false};
        std::atomic<bool> done{false}; // its thread's last act
    };
    void rebuildModel();
    void faultEdited();
    void endRun();
    void appendState(const multimachine::SwingState &state);
    void startJob(std::shared_ptr<Job> &slot,
                  std::function<void(const std::shared_ptr<Job> &)> work);
    void cancelJob(std::shared_ptr<Job> &job);
    void joinFinishedWorkers();

    multimachine::Grid m_grid;
    QString m_filePath, m_sourcePath;
    QByteArray m_comments;
    multimachine::LoadFlowResult m_flow;
    std::shared_ptr<const multimachine::ClassicalModel> m_model;
    QString m_problem;
    multimachine::EquivalentResult m_equivalent;
    std::vector<int> m_cluster;

    // The run keeps the model it was started on, whatever happens to the session's.
    std::shared_ptr<const multimachine::ClassicalModel> m_runModel;
    std::unique_ptr<multimachine::SwingRun> m_run;
    std::vector<multimachine::SwingState> m_states;
    std::vector<EquivalentPoint> m_path;
    bool m_outOfStep = false;
    int m_runClearingMs = 0;
    RunSpeed m_speed = RunSpeed::RealTime;
    RunPacer::Clock::time_point m_paceStart;
    double m_paceFrom = 0; // the run's time when the schedule (re)started, s
    QTimer m_frame;

    std::optional<multimachine::ClearingSearchResult> m_simulation;
    std::vector<multimachine::ScreeningRow> m_screening;
    // The jobs whose results are awaited.
    std::shared_ptr<Job> m_searchJob, m_screeningJob;
    std::vector<std::pair<std::shared_ptr<Job>, std::thread>> m_workers;
};
