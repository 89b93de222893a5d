#include "dravexsession.h"

#include "criticalclearing.h"
#include "scenariofile.h"

#include <chrono>
#include <QCoreApplication>

DravexSession::DravexSession(QObject *parent)
    : QObject(parent), m_run(m_case.machine), m_background(this) {
    searchRunner = [this](CriticalSearch search, CriticalFound found) {
        m_background.run(std::move(search), std::move(found));
    };
    m_stepTimer.setSingleShot(true);
    m_stepTimer.setTimerType(Qt::PreciseTimer);
    // What a step does to the state, before anyone shows it.
    m_run.addListener([this](const StepReport &report) {
        m_history.record(report, generator());
        m_areaSum.stap(generator(), report.faultOn, report.factor);
        emit stepped(report);
    });
}

DravexSession::~DravexSession() {
    cancelSearch();
}

void DravexSession::cancelSearch() {
    if (m_searchCancel) m_searchCancel->store(true);
}

void DravexSession::setMachineData(const TGenParams &machine) {
    m_case.machine = machine;
    announceCase();
}

void DravexSession::setScenario(const FaultScenario &scenario) {
    if (scenario == m_case.scenario) return;
    m_case.scenario = scenario;
    emit scenarioChanged();
    announceCase();
}

bool DravexSession::openCase(const StabilityCase &c) {
    if (checkCase(c)) return false;
    // The loop of a run in progress, further down the call stack, ends at its next test
    // and finds the new generator.
    m_run.stop();
    m_case = c;
    // A file that holds the case names itself, and gives its comments, after this.
    m_scenarioFile.clear();
    m_scenarioComments.clear();
    emit scenarioFileChanged();
    m_run.newGenerator(m_case.machine);
    m_freshGenerator = true;
    emit caseOpened();
    announceCase();
    return true;
}

bool DravexSession::openScenarioFile(const QString &path, QString *error) {
    const ScenarioFileResult read = readScenarioFile(path);
    if (!read.ok) {
        if (error) *error = read.error;
        return false;
    }
    if (!openCase(read.value)) return false; // the file's reader checks the same ranges
    m_scenarioFile = path;
    m_scenarioComments = read.comments;
    emit scenarioFileChanged();
    return true;
}

bool DravexSession::saveScenarioFile(const QString &path, QString *error) {
    if (!writeScenarioFile(path, m_case, error, m_scenarioComments)) return false;
    m_scenarioFile = path;
    emit scenarioFileChanged();
    return true;
}

bool DravexSession::giveMachineDataToGenerator() {
    return m_run.takeMachineData(m_case.machine);
}

void DravexSession::shortCircuit() {
    if (m_run.Running()) {
        // The loop further down the call stack sees this at its next test and ends.
        m_run.stop();
        return;
    }
    // The start-up generator, already drawn, serves the first run, as long as the machine
    // data written into it since have not changed its inertia or its starting angle.
    const bool reuse = m_freshGenerator && generator().FollowsFromItsValues();
    m_freshGenerator = false;
    if (!reuse) {
        m_run.newGenerator(m_case.machine);
        emit generatorRenewed();
    }
    // Recorded with the machine data as the run begins from them: a power step's P1
    // comes into the generator with the start.
    m_history.begin(generator(), m_case.clearingMs, m_case.scenario);
    m_run.start(m_case.scenario);
    m_areaSum.start(generator(), m_case.scenario);
    emit runBegun();
    runLoop();
}

void DravexSession::stop() {
    m_run.stop();
}

void DravexSession::runLoop() {
    m_pacer.start(clock());
    m_firstDue = m_lastDue = m_pacer.due();
    while (m_run.continues()) {
        m_lastDue = m_pacer.due();
        // The engine steps the current generator and tells the listener above.
        const StepReport report = m_run.step(m_case.clearingMs);
        emit stepEnded(report.number);
        // Let the window live: the button can stop the run, dialogs can change the data.
        QCoreApplication::processEvents();
        m_pacer.stepDone(m_speed, clock());
        waitForNextStep();
    }
    m_run.finish();
    m_history.finish(m_run);
    emit runEnded();
}

void DravexSession::waitForNextStep() {
    // Wait for the schedule while handling events as they come: no sleep that freezes
    // the window, no busy loop that burns a core.
    while (m_run.continues()) {
        const auto left = m_pacer.due() - clock();
        if (left <= RunPacer::Clock::duration::zero()) return;
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
        m_stepTimer.start(static_cast<int>(ms));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void DravexSession::setSpeed(RunSpeed speed) {
    m_speed = speed;
    emit speedChanged(speed);
}

void DravexSession::announceCase(bool search) {
    emit caseChanged();
    if (!search) return;
    const auto now = std::make_pair(m_case.machine, m_case.scenario);
    if (!m_searchedFor || *m_searchedFor != now) searchCritical();
}

void DravexSession::searchCritical() {
    cancelSearch();
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_searchCancel = cancel;
    const std::uint64_t number = ++m_searchNumber;
    m_searchedFor = std::make_pair(m_case.machine, m_case.scenario);
    emit searchStarted();
    searchRunner(
        [machine = m_case.machine, scenario = m_case.scenario, cancel] {
            // Past the slider's limit too: a fault far along a line with reclosing can
            // stay in step to well beyond it.
            return findSimulationLimit(machine, scenario, SearchLimitMs, cancel.get());
        },
        [this, number](const CriticalClearing &found) {
            // Only the newest search speaks: a result for older data is dropped.
            if (number == m_searchNumber) emit searchFound(found);
        });
}

CriticalClearing DravexSession::findCriticalNow() {
    // Runs of its own from fresh generators: the current generator and a run in progress
    // are left alone. A search still running for the same case is not needed.
    cancelSearch();
    ++m_searchNumber;
    m_searchedFor = std::make_pair(m_case.machine, m_case.scenario);
    return findSimulationLimit(m_case.machine, m_case.scenario);
}
