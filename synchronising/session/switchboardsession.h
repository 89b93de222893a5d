#pragma once

#include "switchboard.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// One sitting at the switchboard without a window: the exercise, kept in step with the
// wall clock, the operator's actions, and a replay of actions recorded before. The
// machine is simulated in steps of 1 ms; the wall clock says how many are due, counted
// from the exercise's start, so that minutes of small timer delays add up to nothing.
class SwitchboardSession {
public:
    // Milliseconds of wall time from any fixed origin, never going back.
    using Clock = std::function<std::int64_t()>;
    // After a stall (a dialog held open, a busy machine, the window put away) the exercise
    // makes up at most this much time at once and lets the rest go: the machine does not
    // leap through seconds its operator never saw.
    static constexpr std::int64_t MaxCatchUpMs = 250;

    // `clock` empty: the wall clock (a monotonic timer).
    explicit SwitchboardSession(const SwitchboardSettings &settings = {}, Clock clock = {});

    // The exercise anew from its settings, at time 0 now; a replay ends.
    void restart();
    // The same with new settings; settings out of range are refused with the reason and
    // nothing changes.
    std::optional<std::string> restart(const SwitchboardSettings &settings);

    // Steps the exercise up to the wall clock, at most MaxCatchUpMs at once, applying the
    // replay's actions as they fall due. Returns the milliseconds stepped.
    std::int64_t advance();

    // An operator action, in force from the next step; ignored while a replay plays.
    void act(SwitchboardControl control, ControlState state);

    // Restarts the exercise from the same settings and plays `actions` in real time, the
    // operator's own actions ignored until the last has been played. Actions out of time
    // order, or with a state that does not belong to their control, are refused with the
    // reason and nothing changes.
    std::optional<std::string> replay(std::vector<SwitchboardAction> actions);
    bool replaying() const { return m_next < m_replay.size(); }
    // The replay's actions and how many of them have been played.
    const std::vector<SwitchboardAction> &replayActions() const { return m_replay; }
    std::size_t replayedCount() const { return m_next; }

    const Switchboard &board() const { return m_board; }
    const SwitchboardSettings &settings() const { return m_board.settings(); }
    // Wall time let go after stalls since the start, ms.
    std::int64_t droppedMs() const { return m_droppedMs; }

private:
    void begin(const SwitchboardSettings &settings);

    Clock m_clock;
    Switchboard m_board;
    std::int64_t m_originMs = 0;
    std::int64_t m_droppedMs = 0;
    std::vector<SwitchboardAction> m_replay;
    std::size_t m_next = 0;
};
