#include "session.h"

#include "constants.h"
#include "selmexfile.h"

namespace {

void turnSet(SelmexSession::PhasorSet which, Phasors &set, double step,
             const SelmexSession::TickWatcher &watcher) {
    for (std::size_t k = 0; k < set.size(); ++k) {
        if (watcher.beforeTurn) watcher.beforeTurn(which, k);
        set[k].turn(step);
        if (watcher.turned) watcher.turned(which, k, set[k]);
    }
}

} // namespace

SelmexSession::SelmexSession(TimeOfDayClock clock) : m_random(std::move(clock)) {}

void SelmexSession::begin(const SelmexStart &start, QSize networkPicture, QSize generatorPicture) {
    // A new sitting: the phasors, the settings and the switchings start anew; the random
    // source and the scenario file stay.
    SelmexSession fresh(TimeOfDayClock{});
    fresh.m_random = std::move(m_random);
    fresh.m_scenarioFile = std::move(m_scenarioFile);
    fresh.m_scenarioComments = std::move(m_scenarioComments);
    fresh.m_scenarioSwitchboard = std::move(m_scenarioSwitchboard);
    *this = std::move(fresh);
    m_networkPicture = networkPicture;
    m_generatorPicture = generatorPicture;
    m_start = start;
    const double angles[3] = {0.5, -1.0 / 6, 7.0 / 6};
    const Colour colours[3] = {clRed, clLime, clBlue};
    for (std::size_t k = 0; k < 3; ++k) NetVector[k].Init(colours[k], networkPicture, angles[k]);
    const ColourOrder order = colourOrder(start.wrongOrder, start.angle);
    const std::int32_t at[3] = {order.first, order.second, order.third};
    for (std::size_t k = 0; k < 3; ++k)
        GenVector[k].Init(colours[at[k]], generatorPicture, angles[k]);
    NetStep = 0.02;
    Direction = start.reversed ? -1.0 : 1.0;
    FreqOffset = 50 - start.frequency;
    // The same double as the random start's (r + 7) / 10 for its voltages 38 (r + 7).
    AmpFactor = start.voltage / 380.0;
    MaxAngle = start.maxAngle;
}

void SelmexSession::beginAtRandom(QSize networkPicture, QSize generatorPicture) {
    begin(drawStart(m_random), networkPicture, generatorPicture);
}

bool SelmexSession::openScenario(const SelmexScenario &scenario) {
    if (checkScenario(scenario)) return false;
    begin(drawStart(m_random, scenario), m_networkPicture, m_generatorPicture);
    m_scenarioFile.clear();
    m_scenarioComments.clear();
    m_scenarioSwitchboard.reset();
    return true;
}

bool SelmexSession::openScenarioFile(const QString &path, QString *error) {
    const SelmexFileResult read = readSelmexScenario(path);
    if (!read.ok) {
        if (error) *error = read.error; // names the file, the line and what is wrong
        return false;
    }
    if (!openScenario(read.value)) return false; // the file's reader checks the same ranges
    m_scenarioFile = path;
    m_scenarioComments = read.comments;
    m_scenarioSwitchboard = read.switchboard;
    return true;
}

bool SelmexSession::saveScenarioFile(const QString &path, QString *error) {
    if (!writeSelmexScenario(path, m_start, error, m_scenarioComments, m_scenarioSwitchboard))
        return false;
    m_scenarioFile = path;
    return true;
}

void SelmexSession::setAmplitude(int slider) {
    for (std::size_t k = 0; k < 3; ++k)
        GenVector[k].Length = static_cast<double>(static_cast<long double>(NetVector[k].Length) *
                                                  AmpFactor * (slider + 50) / 100);
}

void SelmexSession::setFrequency(int slider) {
    m_frequencySlider = slider;
    GenStep = static_cast<double>(static_cast<long double>(slider - FreqOffset) / NetworkFrequency *
                                  NetStep * Direction);
}

void SelmexSession::WisselKleur(int i, int j) {
    std::swap(GenVector[static_cast<std::size_t>(i - 1)].PhaseColor,
              GenVector[static_cast<std::size_t>(j - 1)].PhaseColor);
}

void SelmexSession::tick(const TickWatcher &watcher) {
    turnSet(PhasorSet::Generator, GenVector, GenStep, watcher);
    turnSet(PhasorSet::Network, NetVector, NetStep, watcher);
    ++TickCount;
}

long double SelmexSession::generatorVolts() const {
    return static_cast<long double>(GenVector[0].Length) / NetVector[0].Length * NetworkLineVoltage;
}

long double SelmexSession::generatorHertz() const {
    return NetworkFrequency / NetStep * GenStep;
}

SchakelOordeel SelmexSession::switchAttempt() {
    const SchakelOordeel oordeel =
        beoordeelSchakelen(NetVector, GenVector, NetStep, GenStep, MaxAngle);
    LastSwitching = SwitchingRecord{reading(), oordeel};
    log.add(LoggedSwitching{TickCount, LastSwitching->at, oordeel});
    if (oordeel.goed()) {
        GenStep = NetStep;
        m_connected = true;
    }
    return oordeel;
}
