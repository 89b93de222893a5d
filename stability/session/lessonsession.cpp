#include "lessonsession.h"

#include "dravexsession.h"

#include <cmath>

LessonSession::LessonSession(DravexSession &session, QObject *parent)
    : QObject(parent), m_session(session) {
    connect(&m_session, &DravexSession::runBegun, this, &LessonSession::runBegun);
    connect(&m_session, &DravexSession::runEnded, this, &LessonSession::runEnded);
}

void LessonSession::open(Lesson lesson, const QString &path) {
    if (lesson.steps.empty()) return; // the reader gives none such
    m_lesson = std::move(lesson);
    m_path = path;
    m_open = true;
    m_progress.assign(m_lesson.steps.size(), LessonProgress{});
    m_firstShown.assign(m_lesson.steps.size(), std::nullopt);
    m_runAnswers = false;
    m_unexported = false;
    emit opened();
    showStep(0);
}

void LessonSession::close() {
    if (!m_open) return;
    m_open = false;
    m_runAnswers = false;
    emit closed();
}

void LessonSession::goToStep(int index) {
    if (!m_open || index < 0 || index >= stepCount() || index == m_step) return;
    showStep(index);
}

void LessonSession::showStep(int index) {
    m_step = index;
    m_runAnswers = false;
    if (!m_firstShown[std::size_t(index)]) m_firstShown[std::size_t(index)] = clock();
    const LessonStep &s = step();
    // A step of its own case, or one that asks about it, starts from that case; a step of
    // free exploration without one leaves the student's case as it is.
    if ((s.ownScenario || s.question) && m_session.studyCase() != runCase())
        m_session.openCase(runCase());
    emit stepChanged();
}

StabilityCase LessonSession::runCase() const {
    StabilityCase c = step().studyCase;
    if (step().question) c.clearingMs = step().question->clearingMs;
    return c;
}

bool LessonSession::awaitsPrediction() const {
    return m_open && step().question && !progress().prediction;
}

bool LessonSession::laterStepAsksLimit() const {
    if (!m_open) return false;
    const StabilityCase &now = m_session.studyCase();
    for (std::size_t i = std::size_t(m_step) + 1; i < m_lesson.steps.size(); ++i) {
        const LessonStep &later = m_lesson.steps[i];
        if (!later.question || m_progress[i].prediction) continue;
        const LessonAsk ask = later.question->ask;
        if ((ask == LessonAsk::CriticalClearingMs || ask == LessonAsk::LargestStablePmech) &&
            later.studyCase.machine == now.machine && later.studyCase.scenario == now.scenario)
            return true;
    }
    return false;
}

bool LessonSession::predict(double value) {
    if (!m_open || !step().question || progress().prediction || !std::isfinite(value)) return false;
    if (step().question->ask == LessonAsk::Verdict && value != InStepAnswer &&
        value != OutOfStepAnswer)
        return false;
    LessonProgress &p = m_progress[std::size_t(m_step)];
    p.prediction = value;
    const auto shown = m_firstShown[std::size_t(m_step)].value_or(clock());
    p.secondsToPredict = std::chrono::duration<double>(clock() - shown).count();
    m_unexported = true;
    emit predicted();
    return true;
}

bool LessonSession::beforeRun() {
    if (!m_open) return true;
    if (awaitsPrediction()) return false;
    // The run that shows the outcome goes on the case the question is about, whatever the
    // student changed since the step was shown.
    if (step().question && !progress().revealed && m_session.studyCase() != runCase())
        m_session.openCase(runCase());
    return true;
}

void LessonSession::runBegun() {
    // A step of free exploration shows its text for after the run after any run; a question
    // waits for a run of its own case.
    m_runAnswers =
        m_open && !progress().revealed &&
        (!step().question || (progress().prediction && m_session.studyCase() == runCase()));
}

void LessonSession::runEnded() {
    if (!m_runAnswers) return;
    m_runAnswers = false;
    // A run stopped by the student has not shown its end: the next one will.
    if (m_session.faultRun().end() == RunEnd::Stopped) return;
    // Nor has one whose case a dialog changed on the way.
    if (step().question && m_session.studyCase() != runCase()) return;
    m_progress[std::size_t(m_step)].revealed = true;
    if (step().question) m_unexported = true;
    emit revealed();
}
