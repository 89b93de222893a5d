#pragma once

#include "faultrun.h"
#include "mygenerator.h"
#include "scenario.h"
#include "stabilitycase.h"

#include <cstdint>
#include <deque>
#include <vector>

// One step of a run, as the read-outs showed it.
struct RunSample {
    int number = 0;   // 1 for the first step
    double clock = 0; // s, at the start of the step
    bool faultOn = false;
    double rotorAngleDeg = 0;  // degrees, not wrapped
    double speedDeviation = 0; // rad/s
    double pelec = 0;          // Pelek times Pmax: the read-out's unit
    // The step as the drawings took it, so that they can be made again at another size.
    double delta = 0; // rad, the generator's own value
    double pelek = 0; // per-unit of Pmax
    NetworkState network = NetworkState::Fault;
};

// A whole run: the machine data, clearing time and fault scenario it started with, every
// step, and how it ended.
struct RunRecord {
    int id = 0; // counts the runs since the program started, from 1
    TGenParams params;
    std::int32_t clearingMs = 0;
    FaultScenario scenario;
    std::vector<RunSample> samples;
    RunEnd end = RunEnd::NotEnded;
    // Out of step: the clock of the step that found it, known from that step on. Stopped
    // or at the clock limit: the clock at the start of the last step, as the time
    // read-out shows it.
    double endClock = 0;
};

// The last few runs, for the swing curves and the export: every step of each, recorded
// as the window shows it.
class RunHistory {
public:
    static constexpr std::size_t Kept = 5;

    // A run starts. A run still open is one that a press started anew before its loop
    // had ended: it was stopped by that press.
    void begin(const TMyGenerator &g, std::int32_t clearingMs, const FaultScenario &scenario = {});
    void record(const StepReport &report, const TMyGenerator &g);
    // The run's loop has ended; `run` says how.
    void finish(const FaultRun &run);

    const std::deque<RunRecord> &runs() const { return m_runs; }
    const RunRecord *last() const { return m_runs.empty() ? nullptr : &m_runs.back(); }

private:
    std::deque<RunRecord> m_runs;
    int m_lastId = 0;
};

// One whole fault from a fresh generator built from the case's machine data, on its
// scenario with its clearing time, recorded as the window's history records a run.
RunRecord recordRun(const StabilityCase &c);
