#include "switchboardsession.h"

#include <memory>
#include <QElapsedTimer>

namespace {

SwitchboardSession::Clock wallClock() {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return std::int64_t(timer->elapsed()); };
}

} // namespace

SwitchboardSession::SwitchboardSession(const SwitchboardSettings &settings, Clock clock)
    : m_clock(clock ? std::move(clock) : wallClock()), m_board(settings) {
    m_originMs = m_clock();
}

void SwitchboardSession::restart() {
    const SwitchboardSettings same = m_board.settings(); // a copy: reset replaces it
    begin(same);
}

void SwitchboardSession::begin(const SwitchboardSettings &settings) {
    m_board.reset(settings);
    m_replay.clear();
    m_next = 0;
    m_originMs = m_clock();
    m_droppedMs = 0;
}

std::optional<std::string> SwitchboardSession::restart(const SwitchboardSettings &settings) {
    if (auto refused = checkSwitchboard(settings)) return refused;
    begin(settings);
    return std::nullopt;
}

std::int64_t SwitchboardSession::advance() {
    // Due: the wall time since the start, less what stalls let go. Counted from the start
    // each time rather than summed frame by frame, so no rounding accumulates.
    const std::int64_t before = m_board.timeMs();
    std::int64_t due = m_clock() - m_originMs - m_droppedMs;
    if (due - before > MaxCatchUpMs) {
        m_droppedMs += due - before - MaxCatchUpMs;
        due = before + MaxCatchUpMs;
    }
    if (due <= before) return 0;
    if (replaying())
        m_board.runUntil(due, &m_replay, &m_next);
    else
        m_board.runUntil(due);
    return m_board.timeMs() - before;
}

void SwitchboardSession::act(SwitchboardControl control, ControlState state) {
    if (replaying()) return;
    m_board.act(control, state);
}

std::optional<std::string> SwitchboardSession::replay(std::vector<SwitchboardAction> actions) {
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const SwitchboardAction &a = actions[i];
        if (a.timeMs < 0 || (i > 0 && a.timeMs < actions[i - 1].timeMs))
            return "action " + std::to_string(i + 1) + " is out of time order";
        if (!fitsControl(a.control, a.state))
            return "action " + std::to_string(i + 1) + " has a state its control does not have";
    }
    restart();
    m_replay = std::move(actions);
    m_next = 0;
    return std::nullopt;
}
