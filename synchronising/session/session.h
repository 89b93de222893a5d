#pragma once

#include "randomsource.h"
#include "schakelen.h"
#include "selmexstart.h"
#include "switchboard.h"
#include "switchinglog.h"
#include "synchropanel.h"
#include "tvector.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <QByteArray>
#include <QSize>
#include <QString>

// One session of bringing a generator into line with the network: both sets of phasors,
// how far each turns a tick, the generator's frequency offset, amplitude factor and
// direction, how close the switching check wants the tips, whether the generator has
// been connected, and what the presses of "Switch" met; the scenario file it came from.
// The window asks for a tick on its timer and draws the phasors as they turn; everything
// it shows comes from here.
class SelmexSession {
public:
    // `clock` gives the random draws of a start their time of day.
    explicit SelmexSession(TimeOfDayClock clock = systemTimeOfDay());

    enum class PhasorSet { Generator, Network };
    // Told of each phasor as a tick turns it, one at a time, the generator's three first:
    // `beforeTurn` while it still stands where the last tick left it, `turned` once it
    // has turned. What runs inside `beforeTurn` (the window's pending events) may start
    // another tick, which turns every phasor once more before this one goes on.
    struct TickWatcher {
        std::function<void(PhasorSet, std::size_t)> beforeTurn;
        std::function<void(PhasorSet, std::size_t, const Tvector &)> turned;
    };

    // The network: red up, lime and blue 120 degrees behind each other, 50 Hz. The
    // generator: the same angles, its colours in the start's order; its voltage and
    // frequency follow once the window reports the sliders. The phasors are laid out on
    // pictures of the given sizes, which later starts keep.
    void begin(const SelmexStart &start, QSize networkPicture, QSize generatorPicture);
    // The same with a start drawn at random.
    void beginAtRandom(QSize networkPicture, QSize generatorPicture);
    const SelmexStart &start() const { return m_start; }

    // A new session from a scenario, what it leaves out drawn at random: not connected, no
    // switchings yet, and from no file. A scenario out of range is refused and nothing
    // changes.
    bool openScenario(const SelmexScenario &scenario);
    // The same from a scenario file. The comments it starts with, an exercise's text, and its
    // switchboard's exercise are kept for saveScenarioFile to write again. A file that
    // cannot be read or is refused changes nothing; `error` says why.
    bool openScenarioFile(const QString &path, QString *error = nullptr);
    bool saveScenarioFile(const QString &path, QString *error = nullptr);
    // The scenario file the session was opened from or last saved as; empty when it comes
    // from no file.
    const QString &scenarioFile() const { return m_scenarioFile; }
    // The comment block that file starts with: the exercise's task and questions.
    const QByteArray &scenarioComments() const { return m_scenarioComments; }
    // The switchboard's exercise that file holds, if any.
    const std::optional<SwitchboardSettings> &scenarioSwitchboard() const {
        return m_scenarioSwitchboard;
    }

    // The amplitude slider (0 to 100) scales the start's voltage by 0.5 to 1.5.
    void setAmplitude(int slider);
    // The frequency slider (0 to 100) adds -50 to +50 Hz to the start's frequency, in
    // the generator's direction.
    void setFrequency(int slider);
    // Exchanges the phase colours of generator phasors i and j (positions 1 to 3).
    void swapPhaseColours(int i, int j);
    // Reverses the generator's direction; the frequency slider then sets it anew.
    void reverse() { m_direction = -m_direction; }
    // One tick: each generator phasor turns by the generator's step, then each network
    // phasor by the network's (each set's step as it stands when the set begins), and the
    // tick count grows.
    void tick(const TickWatcher &watcher = {});

    // The generator's line voltage, V, and frequency, Hz (negative when it turns
    // backwards), as the read-outs show them.
    long double generatorVolts() const;
    long double generatorHertz() const;
    // The tips are within the switching check's window: the synchroscope aid is green.
    bool angleWithinWindow() const { return HoekGoed(m_net, m_gen, m_maxAngle); }
    // The main window's "Phase Angle": network minus generator, from the tips' pixels.
    long double phaseAngle() const { return Fasehoek(m_net, m_gen); }
    PanelReading reading() const { return readPanel(m_net, m_gen, m_netStep, m_genStep); }

    // A press of "Switch": the verdict on the phasors as they stand, recorded; a good
    // one connects the generator, which from then on turns with the network at the angle
    // it had.
    SchakelOordeel switchAttempt();
    bool connected() const { return m_connected; }

    // The phasors as they stand, and how far each set turns a tick, in half-turns.
    const Phasors &networkPhasors() const { return m_net; }
    const Phasors &generatorPhasors() const { return m_gen; }
    double networkStep() const { return m_netStep; }
    double generatorStep() const { return m_genStep; }
    // A set's phasors or its step placed where a demonstration wants them: the next tick
    // turns them from there.
    void placePhasors(PhasorSet set, const Phasors &phasors);
    void setStep(PhasorSet set, double step);
    // The start as the sliders work on it: the frequency slider's value at which the
    // generator stands still, its voltage over the network's at the amplitude slider's
    // middle, and its direction (1 or -1).
    std::int32_t frequencyOffset() const { return m_frequencyOffset; }
    double amplitudeFactor() const { return m_amplitudeFactor; }
    double direction() const { return m_direction; }
    std::int32_t tickCount() const { return m_tickCount; }
    // How close the switching check wants the tips: percent of the network arrow's length.
    std::int32_t maxAngle() const { return m_maxAngle; }
    void setMaxAngle(std::int32_t percent) { m_maxAngle = percent; }
    // What the last press of "Switch" met, for the synchronising panel, and every press
    // since the start.
    const std::optional<SwitchingRecord> &lastSwitching() const { return m_lastSwitching; }
    const SwitchingLog &log() const { return m_log; }

private:
    Phasors m_net;
    Phasors m_gen;
    double m_netStep = 0.02; // 50 Hz at 5 s a turn on the screen
    double m_genStep = 0;    // its sign is the rotation direction
    std::int32_t m_frequencyOffset = 0;
    double m_amplitudeFactor = 1.0;
    double m_direction = 1.0;
    std::int32_t m_tickCount = 0;
    std::int32_t m_maxAngle = 20;
    std::optional<SwitchingRecord> m_lastSwitching;
    SwitchingLog m_log;
    RandomSource m_random;
    QSize m_networkPicture, m_generatorPicture;
    QString m_scenarioFile;
    QByteArray m_scenarioComments;
    std::optional<SwitchboardSettings> m_scenarioSwitchboard;
    SelmexStart m_start;
    int m_frequencySlider = 50;
    bool m_connected = false;
};
