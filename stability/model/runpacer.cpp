#include "runpacer.h"

RunPacer::Clock::duration RunPacer::interval(RunSpeed speed) {
    switch (speed) {
    case RunSpeed::RealTime:
        return std::chrono::milliseconds(3);
    case RunSpeed::SlowMotion:
        return std::chrono::milliseconds(30);
    case RunSpeed::Fast:
        break;
    }
    return Clock::duration::zero();
}

void RunPacer::start(Clock::time_point now) {
    m_due = now;
}

void RunPacer::stepDone(RunSpeed speed, Clock::time_point now) {
    if (speed == RunSpeed::Fast) {
        m_due = now;
        return;
    }
    m_due += interval(speed);
    if (now - m_due > MaxLag) m_due = now;
}
