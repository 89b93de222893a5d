#include "networksession.h"

#include "matpowercase.h"
#include "networkfile.h"

#include <algorithm>
#include <cmath>
#include <utility>

using namespace multimachine;

namespace {

// The schedule restarts rather than rushing to catch up a lag this long (a dialog held
// the window up), as the single machine's runs do.
constexpr double MaxLagSeconds = std::chrono::duration<double>(RunPacer::MaxLag).count();

double paceOf(RunSpeed speed) {
    // Model seconds per second on the wall; the single machine's 3 ms every 30 ms.
    return speed == RunSpeed::SlowMotion ? 0.1 : 1.0;
}

QString fromStd(const std::string &s) {
    return QString::fromStdString(s);
}

} // namespace

NetworkSession::NetworkSession(QObject *parent) : QObject(parent) {
    m_frame.setInterval(FrameTime);
    m_frame.setTimerType(Qt::PreciseTimer);
    connect(&m_frame, &QTimer::timeout, this, &NetworkSession::tick);
    m_equivalent.problem = "no network";
}

NetworkSession::~NetworkSession() {
    // The workers post to this object: they end before the object does.
    for (auto &[job, thread] : m_workers) {
        job->cancel = true;
        thread.join();
    }
}

bool NetworkSession::openFile(const QString &path, QString *error) {
    const bool matpower = isMatpowerFileName(path);
    const NetworkFileResult read = matpower ? readMatpowerCase(path) : readNetworkFile(path);
    if (!read.ok) {
        if (error) *error = read.error;
        return false;
    }
    setGrid(read.grid, read.comments);
    m_sourcePath = path;
    m_filePath = matpower ? QString() : path;
    emit fileChanged();
    return true;
}

bool NetworkSession::saveFile(const QString &path, QString *error) {
    if (!writeNetworkFile(path, m_grid, error, m_comments)) return false;
    m_filePath = m_sourcePath = path;
    emit fileChanged();
    return true;
}

void NetworkSession::setGrid(const Grid &grid, const QByteArray &comments) {
    stop();
    cancelBackground();
    m_grid = grid;
    m_comments = comments;
    m_filePath.clear();
    m_sourcePath.clear();
    m_states.clear();
    m_path.clear();
    m_screening.clear();
    m_outOfStep = false;
    const std::string refused = gridProblem(m_grid);
    if (refused.empty()) {
        m_flow = solveLoadFlow(m_grid);
    } else {
        m_flow = LoadFlowResult{};
        m_flow.problem = refused;
    }
    rebuildModel();
    emit gridChanged();
    emit faultChanged();
}

bool NetworkSession::setMachines(const std::vector<Machine> &machines, QString *error) {
    Grid edited = m_grid;
    edited.machines = machines;
    const std::string refused = gridProblem(edited);
    if (!refused.empty()) {
        if (error) *error = fromStd(refused);
        return false;
    }
    stop();
    cancelBackground();
    // The load flow knows nothing of the machines' data: only the model is built again.
    m_grid.machines = machines;
    m_screening.clear();
    rebuildModel();
    emit gridChanged();
    emit faultChanged();
    return true;
}

void NetworkSession::rebuildModel() {
    m_model.reset();
    m_simulation.reset();
    m_cluster.clear();
    m_equivalent = EquivalentResult{};
    if (!m_flow.converged) {
        m_problem = fromStd(m_flow.problem);
    } else {
        ClassicalModelResult built = buildClassicalModel(m_grid, m_flow);
        m_problem = fromStd(built.problem);
        if (built.problem.empty())
            m_model = std::make_shared<const ClassicalModel>(std::move(built.model));
    }
    if (!m_model) {
        m_equivalent.problem = m_problem.toStdString();
        return;
    }
    m_equivalent = equivalentMachine(*m_model, m_grid.fault);
    m_cluster = m_equivalent.clusterIndices;
}

void NetworkSession::faultEdited() {
    // A run keeps to one fault from start to end: it stops, and the next takes the new one.
    // The screening, of every line, does not depend on the fault.
    stop();
    cancelJob(m_searchJob);
    // The faulted and cleared networks are the model's: it is reduced again.
    rebuildModel();
    emit faultChanged();
}

void NetworkSession::setFaultAtBus(int bus) {
    if (m_grid.busIndex(bus) < 0) return;
    FaultSpec &f = m_grid.fault;
    f.bus = bus;
    f.line.reset();
    // A line opened to clear the fault stays chosen only where it ends at the bus.
    if (f.openLine && f.openLine->from != bus && f.openLine->to != bus) f.openLine.reset();
    if (!f.openLine) f.recloseMs.reset();
    faultEdited();
}

void NetworkSession::setFaultOnLine(const BranchId &line) {
    if (m_grid.branchIndex(line) < 0) return;
    FaultSpec &f = m_grid.fault;
    f.bus.reset();
    f.line = line;
    f.location = 0.5;
    f.openLine = line;
    faultEdited();
}

void NetworkSession::setClearingMs(int ms) {
    ms = std::clamp(ms, 0, LongestClearingMs);
    if (ms == m_grid.fault.clearMs) return;
    m_grid.fault.clearMs = ms;
    faultEdited();
}

double NetworkSession::centreOfInertia(const ClassicalModel &model,
                                       const std::vector<double> &delta) {
    // delta_COI = sum M_i delta_i / sum M_i (Kundur sec. 13.1.4; Anderson and Fouad ch. 2)
    double weighted = 0, total = 0;
    for (std::size_t i = 0; i < delta.size() && i < model.inertia.size(); ++i) {
        weighted += model.inertia[i] * delta[i];
        total += model.inertia[i];
    }
    return total > 0 ? weighted / total : 0;
}

double NetworkSession::largestAngleDifference(const SwingState &state) {
    if (state.delta.empty()) return 0;
    const auto [lo, hi] = std::minmax_element(state.delta.begin(), state.delta.end());
    return *hi - *lo;
}

void NetworkSession::start() {
    if (m_run || !m_model) return;
    m_runModel = m_model;
    m_run = std::make_unique<SwingRun>(*m_runModel, m_grid.fault);
    m_runClearingMs = m_grid.fault.clearMs;
    m_outOfStep = false;
    m_states.clear();
    m_path.clear();
    appendState(m_run->state());
    m_paceStart = clock();
    m_paceFrom = m_run->state().time;
    emit runBegun();
    m_frame.start();
}

void NetworkSession::stop() {
    if (m_run) endRun();
}

void NetworkSession::endRun() {
    m_frame.stop();
    m_outOfStep = m_run->outOfStep();
    m_run.reset();
    m_runModel.reset();
    emit runEnded();
}

void NetworkSession::appendState(const SwingState &state) {
    m_states.push_back(state);
    if (m_cluster.empty()) return;
    // The equivalent's angle and power along the actual run, the two groups' centres as
    // in its curves.
    m_path.push_back({state.time, equivalentAngle(*m_runModel, m_cluster, state.delta),
                      equivalentPower(*m_runModel, m_cluster, state.electricalPower)});
}

void NetworkSession::setSpeed(RunSpeed speed) {
    if (speed == m_speed) return;
    m_speed = speed;
    // The schedule goes on from where the run stands at the new pace.
    if (m_run) {
        m_paceStart = clock();
        m_paceFrom = m_run->state().time;
    }
    emit speedChanged(speed);
}

void NetworkSession::tick() {
    if (!m_run) return;
    const auto now = clock();
    const auto stepOnce = [this] {
        m_run->step();
        appendState(m_run->state());
    };
    if (m_speed == RunSpeed::Fast) {
        // As many steps as a frame's time holds; a clock that stands still runs to the end.
        do {
            stepOnce();
        } while (!m_run->finished() && clock() - now < FrameTime);
    } else {
        const double pace = paceOf(m_speed);
        double due = m_paceFrom + std::chrono::duration<double>(now - m_paceStart).count() * pace;
        if (due - m_run->state().time > MaxLagSeconds * pace) {
            // Held up too long: the schedule starts again from here.
            m_paceStart = now;
            m_paceFrom = m_run->state().time;
            due = m_paceFrom;
        }
        while (!m_run->finished() && m_run->state().time < due) stepOnce();
    }
    emit advanced();
    if (m_run->finished()) endRun();
}

void NetworkSession::joinFinishedWorkers() {
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if (it->first->done) {
            it->second.join();
            it = m_workers.erase(it);
        } else {
            ++it;
        }
    }
}

void NetworkSession::cancelJob(std::shared_ptr<Job> &job) {
    if (!job) return;
    job->cancel = true;
    job.reset();
    emit backgroundCancelled();
}

void NetworkSession::cancelBackground() {
    cancelJob(m_searchJob);
    cancelJob(m_screeningJob);
}

void NetworkSession::startJob(std::shared_ptr<Job> &slot,
                              std::function<void(const std::shared_ptr<Job> &)> work) {
    cancelJob(slot);
    // A search cancelled goes on to the end of the fault's runs it is in, without waiting
    // for it here; those finished since are joined.
    joinFinishedWorkers();
    auto job = std::make_shared<Job>();
    slot = job;
    m_workers.emplace_back(job, std::thread([work = std::move(work), job] {
                               work(job);
                               job->done = true;
                           }));
}

void NetworkSession::findCriticalClearing() {
    if (!m_model) return;
    m_simulation.reset();
    emit searchStarted();
    startJob(m_searchJob,
             [this, model = m_model, fault = m_grid.fault](const std::shared_ptr<Job> &job) {
                 const ClearingSearchResult found = searchCriticalClearing(*model, fault);
                 // Posted to this object's thread; a result for a job since cancelled goes nowhere.
                 QMetaObject::invokeMethod(
                     this,
                     [this, job, found] {
                         if (job != m_searchJob) return;
                         m_searchJob.reset();
                         joinFinishedWorkers();
                         m_simulation = found;
                         emit searchFound();
                     },
                     Qt::QueuedConnection);
             });
}

void NetworkSession::screenLines() {
    if (!m_model) return;
    m_screening.clear();
    // Each line's two ends, in the file's order (a transformer's ends are buses too).
    std::vector<std::pair<BranchId, int>> faults;
    for (const Branch &b : m_grid.branches)
        for (int bus : {b.from, b.to}) faults.emplace_back(BranchId{b.from, b.to, b.circuit}, bus);
    const int total = static_cast<int>(faults.size());
    emit screeningProgressed(0, total);
    startJob(m_screeningJob,
             [this, grid = m_grid, flow = m_flow, faults, total](const std::shared_ptr<Job> &job) {
                 std::vector<ScreeningRow> rows;
                 for (const auto &[line, bus] : faults) {
                     if (job->cancel) return;
                     ScreeningRow row = screenFault(grid, flow, line, bus);
                     rows.push_back(std::move(row));
                     const int done = static_cast<int>(rows.size());
                     QMetaObject::invokeMethod(
                         this,
                         [this, job, done, total] {
                             if (job == m_screeningJob) emit screeningProgressed(done, total);
                         },
                         Qt::QueuedConnection);
                 }
                 QMetaObject::invokeMethod(
                     this,
                     [this, job, rows = std::move(rows)] {
                         if (job != m_screeningJob) return;
                         m_screeningJob.reset();
                         joinFinishedWorkers();
                         m_screening = rows;
                         emit screeningFinished();
                     },
                     Qt::QueuedConnection);
             });
}
