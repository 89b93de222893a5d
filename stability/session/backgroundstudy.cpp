#include "backgroundstudy.h"

BackgroundStudy::BackgroundStudy(QObject *parent) : QObject(parent) {}

BackgroundStudy::~BackgroundStudy() {
    // The study's threads post to this object: they end before it does.
    if (m_job) m_job->cancel = true;
    if (m_thread.joinable()) m_thread.join();
}

bool BackgroundStudy::start(const StabilityCase &c, const StudyRange &range, std::int32_t limitMs) {
    if (running()) return false;
    auto job = std::make_shared<Job>();
    job->study.studied = c;
    job->study.range = range;
    job->limitMs = limitMs;
    m_job = job;
    m_done = 0;
    m_thread = std::thread([this, job] {
        const auto progress = [this, job](int done) {
            // The threads' counts may arrive out of order.
            QMetaObject::invokeMethod(
                this,
                [this, job, done] {
                    if (job != m_job || done <= m_done) return;
                    m_done = done;
                    emit progressed(done);
                },
                Qt::QueuedConnection);
        };
        job->study.points =
            runStudy(job->study.studied, job->study.range, job->limitMs, &job->cancel, progress);
        QMetaObject::invokeMethod(
            this, [this, job] { end(job); }, Qt::QueuedConnection);
    });
    return true;
}

void BackgroundStudy::cancel() {
    if (m_job) m_job->cancel = true;
}

void BackgroundStudy::end(const std::shared_ptr<Job> &job) {
    if (m_thread.joinable()) m_thread.join(); // posting this was its last act
    m_job.reset();
    if (job->cancel)
        emit cancelled();
    else
        emit finished(job->study);
}
