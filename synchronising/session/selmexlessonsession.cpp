#include "selmexlessonsession.h"

#include "switchboardkeys.h"
#include "switchboardsession.h"

SelmexLessonSession::SelmexLessonSession(SwitchboardSession &board, QObject *parent)
    : QObject(parent), m_board(board) {}

void SelmexLessonSession::open(SelmexLesson lesson, const QString &path) {
    if (lesson.steps.empty()) return; // the reader gives none such
    m_lesson = std::move(lesson);
    m_path = path;
    m_open = true;
    m_progress.assign(m_lesson.steps.size(), SelmexLessonProgress{});
    m_firstShown.assign(m_lesson.steps.size(), std::nullopt);
    m_unexported = false;
    emit opened();
    showStep(0);
}

void SelmexLessonSession::close() {
    if (!m_open) return;
    m_open = false;
    emit closed();
}

void SelmexLessonSession::goToStep(int index) {
    if (!m_open || index < 0 || index >= stepCount() || index == m_step) return;
    showStep(index);
}

void SelmexLessonSession::showStep(int index) {
    m_step = index;
    if (!m_firstShown[std::size_t(index)]) m_firstShown[std::size_t(index)] = clock();
    // A step of its own exercise, or one that asks about it, starts it afresh: nothing of
    // another step's closes stands in its log. A step of free exploration without one
    // leaves the switchboard as the student has it.
    const SelmexLessonStep &s = step();
    if (s.lessonCase.switchboard && (s.ownScenario || s.question)) restartExercise();
    m_eventsSeen = m_board.board().events().size();
    emit stepChanged();
}

bool SelmexLessonSession::asksSwitchboard() const {
    return m_open && step().question && step().lessonCase.switchboard;
}

void SelmexLessonSession::restartExercise() {
    if (m_board.restart(*step().lessonCase.switchboard)) return; // the reader checked it
    m_eventsSeen = 0;
    emit exerciseRestarted();
}

bool SelmexLessonSession::awaitsPrediction() const {
    return m_open && step().question && !progress().prediction;
}

bool SelmexLessonSession::holdsExercise() const {
    return asksSwitchboard() && !progress().prediction;
}

bool SelmexLessonSession::predict(double value) {
    if (!awaitsPrediction() ||
        checkSelmexPrediction(*step().question, value) != SelmexPredictionProblem::None)
        return false;
    SelmexLessonProgress &p = m_progress[std::size_t(m_step)];
    p.prediction = value;
    const auto shown = m_firstShown[std::size_t(m_step)].value_or(clock());
    p.secondsToPredict = std::chrono::duration<double>(clock() - shown).count();
    // The exercise begins with the prediction, from its start: the seconds the student
    // thought cost the machine nothing.
    p.runStarted = true;
    m_unexported = true;
    if (asksSwitchboard()) restartExercise();
    emit predicted();
    return true;
}

bool SelmexLessonSession::mayShowOutcome() const {
    if (!m_open || progress().revealed) return false;
    // A step of free exploration about the trainer's start has no close here to wait for.
    if (!step().question) return !step().lessonCase.switchboard;
    return progress().runStarted;
}

bool SelmexLessonSession::showOutcome() {
    if (!mayShowOutcome()) return false;
    reveal();
    return true;
}

std::int64_t SelmexLessonSession::advance() {
    if (holdsExercise()) return 0;
    const std::int64_t stepped = m_board.advance();
    // A question about the trainer's start is not answered here.
    const bool watches = m_open && !progress().revealed &&
                         (!step().question || (asksSwitchboard() && progress().runStarted));
    if (watches && closeSeen()) reveal();
    return stepped;
}

bool SelmexLessonSession::closeBreaker() {
    if (holdsExercise()) return false;
    m_board.act(SwitchboardControl::Breaker, ControlState::Close);
    return true;
}

bool SelmexLessonSession::closeSeen() {
    const auto &events = m_board.board().events();
    // Started again by the student (Restart, a replay): its log begins anew.
    if (events.size() < m_eventsSeen) m_eventsSeen = 0;
    bool seen = false;
    for (std::size_t i = m_eventsSeen; i < events.size() && !seen; ++i)
        seen = events[i].kind == SwitchboardEventKind::Refused ||
               events[i].kind == SwitchboardEventKind::Contact;
    m_eventsSeen = events.size();
    // The question is about the step's exercise: a close on another one (a scenario file
    // opened meanwhile) answers nothing.
    if (seen && step().question)
        seen = allSwitchboardKeyValues(m_board.settings()) ==
               allSwitchboardKeyValues(*step().lessonCase.switchboard);
    return seen;
}

void SelmexLessonSession::reveal() {
    m_progress[std::size_t(m_step)].revealed = true;
    if (step().question) m_unexported = true;
    emit revealed();
}
