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
    fresh.m_scenarioSwitchboard = m_scenarioSwitchboard;
    *this = std::move(fresh);
    m_networkPicture = networkPicture;
    m_generatorPicture = generatorPicture;
    m_start = start;
    const double angles[3] = {0.5, -1.0 / 6, 7.0 / 6};
    const Colour colours[3] = {clRed, clLime, clBlue};
    for (std::size_t k = 0; k < 3; ++k) m_net[k].Init(colours[k], networkPicture, angles[k]);
    const ColourOrder order = colourOrder(start.wrongOrder, start.angle);
    const std::int32_t at[3] = {order.first, order.second, order.third};
    for (std::size_t k = 0; k < 3; ++k) m_gen[k].Init(colours[at[k]], generatorPicture, angles[k]);
    m_netStep = 0.02;
    m_direction = start.reversed ? -1.0 : 1.0;
    m_frequencyOffset = 50 - start.frequency;
    // The same double as the random start's (r + 7) / 10 for its voltages 38 (r + 7).
    m_amplitudeFactor = start.voltage / 380.0;
    m_maxAngle = start.maxAngle;
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
        m_gen[k].Length = static_cast<double>(static_cast<long double>(m_net[k].Length) *
                                              m_amplitudeFactor * (slider + 50) / 100);
}

void SelmexSession::setFrequency(int slider) {
    m_frequencySlider = slider;
    m_genStep = static_cast<double>(static_cast<long double>(slider - m_frequencyOffset) /
                                    NetworkFrequency * m_netStep * m_direction);
}

void SelmexSession::swapPhaseColours(int i, int j) {
    std::swap(m_gen[static_cast<std::size_t>(i - 1)].PhaseColor,
              m_gen[static_cast<std::size_t>(j - 1)].PhaseColor);
}

void SelmexSession::placePhasors(PhasorSet set, const Phasors &phasors) {
    (set == PhasorSet::Network ? m_net : m_gen) = phasors;
}

void SelmexSession::setStep(PhasorSet set, double step) {
    (set == PhasorSet::Network ? m_netStep : m_genStep) = step;
}

void SelmexSession::tick(const TickWatcher &watcher) {
    turnSet(PhasorSet::Generator, m_gen, m_genStep, watcher);
    turnSet(PhasorSet::Network, m_net, m_netStep, watcher);
    ++m_tickCount;
}

long double SelmexSession::generatorVolts() const {
    return static_cast<long double>(m_gen[0].Length) / m_net[0].Length * NetworkLineVoltage;
}

long double SelmexSession::generatorHertz() const {
    return NetworkFrequency / m_netStep * m_genStep;
}

SchakelOordeel SelmexSession::switchAttempt() {
    const SchakelOordeel oordeel =
        beoordeelSchakelen(m_net, m_gen, m_netStep, m_genStep, m_maxAngle);
    m_lastSwitching = SwitchingRecord{reading(), oordeel};
    m_log.add(LoggedSwitching{m_tickCount, m_lastSwitching->at, oordeel});
    if (oordeel.goed()) {
        m_genStep = m_netStep;
        m_connected = true;
    }
    return oordeel;
}
