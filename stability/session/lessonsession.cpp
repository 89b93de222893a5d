#include "lessonsession.h"

#include "dravexsession.h"

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
    // A step of its own case, or one that asks about it, starts afresh from that case, the
    // same as the one shown or not: the runs of another step and their lines go. A step
    // of free exploration without one leaves the student's case as it is.
    if (s.ownScenario || s.question) m_session.openCase(runCase());
    emit stepChanged();
}

StabilityCase LessonSession::runCase() const {
    StabilityCase c = step().studyCase;
    if (!step().question) return c;
    c.clearingMs = step().question->clearingMs;
    // The student sees what the predicted limit does.
    if (step().question->ask == LessonAsk::CriticalClearingMs && progress().prediction)
        c.clearingMs = clearingMsOfPrediction(*progress().prediction);
    return c;
}

bool LessonSession::awaitsPrediction() const {
    return m_open && step().question && !progress().prediction;
}

bool LessonSession::answerOpen() const {
    return m_open && step().question && !progress().runStarted;
}

bool LessonSession::laterStepAsksLimit() const {
    if (!m_open) return false;
    const StabilityCase &now = m_session.studyCase();
    for (std::size_t i = std::size_t(m_step) + 1; i < m_lesson.steps.size(); ++i) {
        const LessonStep &later = m_lesson.steps[i];
        if (!later.question || m_progress[i].runStarted) continue;
        const LessonAsk ask = later.question->ask;
        if ((ask == LessonAsk::CriticalClearingMs || ask == LessonAsk::LargestStablePmech) &&
            later.studyCase.machine == now.machine && later.studyCase.scenario == now.scenario)
            return true;
    }
    return false;
}

PredictionProblem LessonSession::predictionProblem(double value) const {
    if (!m_open || !step().question) return PredictionProblem::None;
    return checkPrediction(*step().question, step().studyCase, value);
}

bool LessonSession::predict(double value) {
    if (!answerOpen() || predictionProblem(value) != PredictionProblem::None) return false;
    LessonProgress &p = m_progress[std::size_t(m_step)];
    p.prediction = value;
    const auto shown = m_firstShown[std::size_t(m_step)].value_or(clock());
    p.secondsToPredict = std::chrono::duration<double>(clock() - shown).count();
    m_unexported = true;
    // The slider shows the clearing time the run will try.
    if (step().question->ask == LessonAsk::CriticalClearingMs && !m_session.isRunning() &&
        m_session.studyCase() != runCase())
        m_session.openCase(runCase());
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
    // From now on the prediction stands: the run shows what it does.
    if (m_runAnswers && step().question && !progress().runStarted) {
        m_progress[std::size_t(m_step)].runStarted = true;
        emit predictionLocked();
    }
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
