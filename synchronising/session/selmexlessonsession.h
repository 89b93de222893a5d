#pragma once

#include "selmexlesson.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <QObject>
#include <QString>
#include <vector>

class SwitchboardSession;

// A synchronising lesson worked through at the switchboard: which step is shown, the
// student's predictions and when they came, and whether each step has shown its outcome.
// It loads each step's [switchboard] exercise and holds it while the step's question
// awaits the prediction ("predict first"): the machine stands still and the breaker takes
// no close command. The prediction starts the exercise afresh and stands from then on;
// the outcome shows at the first close command that the relay refuses or whose contacts
// touch, or when the student asks for it. A step of free exploration shows its words for
// after the run at its first close. A step about the trainer's [generator] start leaves
// the switchboard alone: its outcome shows when asked for, once predicted.
class SelmexLessonSession : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;

    explicit SelmexLessonSession(SwitchboardSession &board, QObject *parent = nullptr);

    // A lesson read, shown from its first step; `path` is the file it came from (its
    // folder holds the pictures), or empty.
    void open(SelmexLesson lesson, const QString &path = {});
    void close();
    bool isOpen() const { return m_open; }
    const SelmexLesson &lesson() const { return m_lesson; }
    QString path() const { return m_path; }

    int stepCount() const { return int(m_lesson.steps.size()); }
    int stepIndex() const { return m_step; } // from 0
    const SelmexLessonStep &step() const { return m_lesson.steps.at(std::size_t(m_step)); }
    // Shows another step. A step with its own exercise, or with a question about the
    // switchboard, loads that exercise afresh; out of range nothing happens.
    void goToStep(int index);
    void next() { goToStep(m_step + 1); }
    void back() { goToStep(m_step - 1); }

    // The step asks a question the student has not answered yet.
    bool awaitsPrediction() const;
    // The switchboard's exercise waits for the prediction: the step asks about it and the
    // student has not predicted.
    bool holdsExercise() const;
    // The student's prediction for the step shown, with the seconds since the step was first
    // shown: a choice (NoAnswer/YesAnswer, a lamp) or a number. It starts the step's
    // exercise afresh and stands from then on: a second one, one without a question and one
    // the question rules out (checkSelmexPrediction) are refused (false).
    bool predict(double value);
    // The outcome may be asked for: the step's question was predicted and its outcome has
    // not shown yet (an exercise that never closes cannot keep it back).
    bool mayShowOutcome() const;
    bool showOutcome();

    // The switchboard's exercise steps up to the wall clock, unless it is held; a close
    // refused or made since shows the step's outcome. Returns the milliseconds stepped.
    std::int64_t advance();
    // The operator's close command, unless the exercise is held (false).
    bool closeBreaker();

    const SelmexLessonProgress &progress() const { return m_progress.at(std::size_t(m_step)); }
    const std::vector<SelmexLessonProgress> &allProgress() const { return m_progress; }

    // Predictions or outcomes have come since the record was last exported.
    bool recordUnexported() const { return m_unexported; }
    void markRecordExported() { m_unexported = false; }

    // The student's name for the record, asked once; may stay empty.
    QString studentName;
    bool nameAsked = false;
    // The clock for the seconds to predict; tests give one they move themselves.
    std::function<Clock::time_point()> clock = [] { return Clock::now(); };

signals:
    void opened();
    void closed();
    void stepChanged();
    // The prediction of the step shown was taken: it stands, and its exercise has begun.
    void predicted();
    // The outcome of the step shown (or, without a question, its words for after the run)
    // is in.
    void revealed();
    // The lesson started the switchboard's exercise afresh: whatever the operator held
    // belongs to the old one.
    void exerciseRestarted();

private:
    void showStep(int index);
    // The step's question is about the switchboard's exercise.
    bool asksSwitchboard() const;
    void restartExercise();
    // A close refused or with contact among the events not yet seen.
    bool closeSeen();
    void reveal();

    SwitchboardSession &m_board;
    SelmexLesson m_lesson;
    QString m_path;
    bool m_open = false;
    int m_step = 0;
    std::vector<SelmexLessonProgress> m_progress;
    std::vector<std::optional<Clock::time_point>> m_firstShown;
    // The switchboard's events looked at already.
    std::size_t m_eventsSeen = 0;
    bool m_unexported = false;
};
