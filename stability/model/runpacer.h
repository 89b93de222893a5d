#pragma once

#include <chrono>

// How fast a fault run plays on screen.
enum class RunSpeed {
    RealTime,   // one 3 ms step every 3 ms
    SlowMotion, // ten times slower, to watch the areas grow
    Fast,       // no waiting at all
};

// The schedule of a run's steps: step n is due n step lengths after the start, on an
// absolute schedule that does not drift with the time each step takes. A run that
// falls far behind (a dialog held it up) takes up the schedule from where it stands
// rather than rushing to catch up.
class RunPacer {
public:
    using Clock = std::chrono::steady_clock;

    // Longest lag that the schedule catches up; beyond it the schedule restarts.
    static constexpr Clock::duration MaxLag = std::chrono::milliseconds(100);

    static Clock::duration interval(RunSpeed speed);

    // The first step is due at once.
    void start(Clock::time_point now);
    // A step has been made: work out when the next one is due at the given speed.
    void stepDone(RunSpeed speed, Clock::time_point now);
    Clock::time_point due() const { return m_due; }

private:
    Clock::time_point m_due;
};
