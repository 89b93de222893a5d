#pragma once

#include "backgroundsearch.h"
#include "equalarea.h"
#include "faultrun.h"
#include "runhistory.h"
#include "runpacer.h"
#include "stabilitycase.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <utility>

// One sitting with Dravex, without a window: the case (machine data, fault scenario and
// clearing time) and the scenario file it came from, the one current generator and when
// a run may reuse it, the runs and their history, the areas A1 and A2 summed step by
// step, the pace of a run, and the background search for the simulation's own critical
// clearing time. A window shows what its signals announce.
class DravexSession : public QObject {
    Q_OBJECT
public:
    explicit DravexSession(QObject *parent = nullptr);
    ~DravexSession() override;

    // The case the next run takes. The machine data as the dialog's OK leaves them: the
    // current generator takes them when it is given them, or the next run builds a
    // generator from them.
    const StabilityCase &studyCase() const { return m_case; }
    const TGenParams &machineData() const { return m_case.machine; }
    void setMachineData(const TGenParams &machine);
    std::int32_t clearingTime() const { return m_case.clearingMs; }
    // Read by a run at every step, so a change during a run takes effect at the next.
    void setClearingTime(std::int32_t ms) { m_case.clearingMs = ms; }
    const FaultScenario &scenario() const { return m_case.scenario; }
    // A run in progress keeps its network; the next run takes this one.
    void setScenario(const FaultScenario &scenario);
    // A whole case, as a scenario file gives it: a run in progress is stopped and a new
    // generator is built. A case out of range is refused and nothing changes.
    bool openCase(const StabilityCase &c);
    // A scenario file's case, as openCase takes it; the comments the file starts with, an
    // exercise's text, are kept for saveScenarioFile to write again. A file refused
    // changes nothing; `error` says why.
    bool openScenarioFile(const QString &path, QString *error = nullptr);
    bool saveScenarioFile(const QString &path, QString *error = nullptr);
    // The scenario file the case was opened from or last saved as; empty when the case
    // comes from no file.
    QString scenarioFile() const { return m_scenarioFile; }
    // The comment block that file starts with: the exercise's task and questions.
    const QByteArray &scenarioComments() const { return m_scenarioComments; }

    // The simulation: the current generator, the clock, the run flag and the steps.
    FaultRun &faultRun() { return m_run; }
    const FaultRun &faultRun() const { return m_run; }
    TMyGenerator &generator() { return m_run.generator(); }
    const TMyGenerator &generator() const { return m_run.generator(); }
    // A run is in progress; its clock, seconds since its start (the time read-out).
    bool isRunning() const { return m_run.Running(); }
    double runTime() const { return m_run.TotTijd(); }
    // The start-up generator, or one built by openCase, has not run yet.
    bool freshGenerator() const { return m_freshGenerator; }
    // The current generator takes the machine data (a click on the diagram); true when
    // that changed its power curve or Pmech, so that the power-angle plot is stale.
    bool giveMachineDataToGenerator();

    // The "short circuit" button: with no run going, a run on the case, which returns when
    // the run ends; during a run, the end of that run at its next step.
    void shortCircuit();
    // Ends a run in progress at its next step (the window closes, a case is opened).
    void stop();
    // Every step of the last runs, and the areas of the present or last run.
    const RunHistory &history() const { return m_history; }
    const Oppervlaktesom &areaSum() const { return m_areaSum; }

    RunSpeed speed() const { return m_speed; }
    void setSpeed(RunSpeed speed);
    // The clock that paces a run; tests give one that they move on themselves.
    std::function<RunPacer::Clock::time_point()> clock = [] { return RunPacer::Clock::now(); };
    // The schedule of the last run: when its first and its last step were due.
    RunPacer::Clock::time_point firstStepDue() const { return m_firstDue; }
    RunPacer::Clock::time_point lastStepDue() const { return m_lastDue; }

    // Runs the search for the simulation's critical clearing time whenever the machine
    // data or the scenario change; tests give one that runs it at once.
    SearchRunner searchRunner;
    // Announces the case as it stands (caseChanged) and, with `search`, searches when the
    // machine data or the scenario differ from those the last search was for.
    void announceCase(bool search = true);
    // The simulation's critical clearing time found at once, in place of a search that
    // runs: what Tools > Find critical clearing time shows.
    CriticalClearing findCriticalNow();
    // A search still running gives up; its result goes nowhere.
    void cancelSearch();

signals:
    // The machine data or the scenario changed: the criterion's line is to be shown again.
    void caseChanged();
    // The scenario changed (with no run going, the plots and diagram show it at once).
    void scenarioChanged();
    // A whole new case with a new generator, to be shown as at start-up.
    void caseOpened();
    void scenarioFileChanged();
    // A run is about to start on a new generator, which is to be drawn afresh.
    void generatorRenewed();
    // A run has begun: its record is the history's last.
    void runBegun();
    // A step of the engine, recorded in the history and the areas, to be shown.
    void stepped(const StepReport &report);
    // The step `number` (1 for a run's first) is over; the window's events come next.
    void stepEnded(int number);
    void runEnded();
    void speedChanged(RunSpeed speed);
    void searchStarted();
    void searchFound(const CriticalClearing &found);

private:
    void runLoop();
    void waitForNextStep();
    void searchCritical();

    StabilityCase m_case;
    QString m_scenarioFile;
    QByteArray m_scenarioComments; // the comment block the file starts with
    FaultRun m_run;
    bool m_freshGenerator = true;
    RunHistory m_history;
    Oppervlaktesom m_areaSum;

    RunSpeed m_speed = RunSpeed::RealTime;
    RunPacer m_pacer;
    RunPacer::Clock::time_point m_firstDue, m_lastDue;
    QTimer m_stepTimer; // wakes the loop when the next step is due

    // The search in progress or last finished: what it was for, its number and its stop
    // flag.
    std::optional<std::pair<TGenParams, FaultScenario>> m_searchedFor;
    std::uint64_t m_searchNumber = 0;
    std::shared_ptr<std::atomic<bool>> m_searchCancel;
    BackgroundSearch m_background;
};
