#pragma once

#include "stabilitycase.h"
#include "study.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <QObject>
#include <thread>
#include <vector>

// A finished study: the case it was made on, its range and its points.
struct FinishedStudy {
    StabilityCase studied;
    StudyRange range;
    std::vector<StudyPoint> points;
};

// A critical clearing study run on threads of its own, so that a window stays live while
// it runs: `progressed` tells how many points are done, and the study ends with `finished`
// or, once cancelled, with `cancelled`, both on the owner's thread. Destroying it stops
// the study within a point and waits for its threads.
class BackgroundStudy : public QObject {
    Q_OBJECT
public:
    explicit BackgroundStudy(QObject *parent = nullptr);
    ~BackgroundStudy() override;

    // Starts a study of `range` on `c`, its simulation searched up to `limitMs`; false,
    // and nothing started, while another runs. Whether the range can be studied is the
    // caller's to check first (checkStudy).
    bool start(const StabilityCase &c, const StudyRange &range, std::int32_t limitMs);
    // Stops a running study at its next run; its points go nowhere.
    void cancel();
    bool running() const { return m_thread.joinable(); }

signals:
    // Points done so far, never fewer than before.
    void progressed(int done);
    void finished(const FinishedStudy &study);
    void cancelled();

private:
    // What the study's threads share with this object: they only post to it.
    struct Job {
        FinishedStudy study;
        std::int32_t limitMs = 0;
        std::atomic<bool> cancel{false};
    };
    void end(const std::shared_ptr<Job> &job);

    std::shared_ptr<Job> m_job;
    std::thread m_thread;
    int m_done = 0;
};
