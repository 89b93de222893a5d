#pragma once

#include "lesson.h"

#include <chrono>
#include <functional>
#include <QObject>
#include <QString>
#include <vector>

class DravexSession;

// A lesson worked through in a sitting: which step is shown, the student's predictions
// and when they came, and whether each step's run has shown its outcome. It opens each
// step's case in the Dravex session and holds the runs back until the student has
// predicted ("predict first"); the run that follows a prediction goes on the step's case
// at the question's clearing time (for a critical clearing time, at the one predicted),
// and its end shows the outcome. In a step of free exploration any whole run shows the
// text for after the run.
class LessonSession : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;

    explicit LessonSession(DravexSession &session, QObject *parent = nullptr);

    // A lesson read (readLessonFile), shown from its first step; `path` is the file it
    // came from (its folder holds the pictures), or empty.
    void open(Lesson lesson, const QString &path = {});
    void close();
    bool isOpen() const { return m_open; }
    const Lesson &lesson() const { return m_lesson; }
    QString path() const { return m_path; }

    int stepCount() const { return int(m_lesson.steps.size()); }
    int stepIndex() const { return m_step; } // from 0
    const LessonStep &step() const { return m_lesson.steps.at(std::size_t(m_step)); }
    // Shows another step; its case, when it has its own scenario or asks a question, is
    // opened afresh in the session (a run in progress stops), so that nothing of another
    // step's runs stands beside it. Out of range: nothing happens.
    void goToStep(int index);
    void next() { goToStep(m_step + 1); }
    void back() { goToStep(m_step - 1); }

    // The step asks a question the student has not answered yet: no run may go.
    bool awaitsPrediction() const;
    // The step's answer is still the student's to give: it asks a question whose run has
    // not started, so the prediction may still come or change. Nothing may show the
    // answer meanwhile, or a prediction could be changed to it.
    bool answerOpen() const;
    // The student's prediction for the step shown, kept with the seconds since the step
    // was first shown; it may be changed until the step's run starts. One the case rules
    // out (predictionProblem), one after the run has started and a step without a
    // question are refused (false).
    bool predict(double value);
    PredictionProblem predictionProblem(double value) const;
    // The case's critical clearing time or largest stable Pmech, as the status bar, Tools >
    // Find critical clearing time and a study show it, is still to be predicted: the step
    // shown has its answer open, or a later step whose run has not started asks for that
    // limit of the session's case (its machine data and network; any clearing time).
    // The plots' criterion angles beyond the starting angle, and the stability boundary,
    // are held with them: whatever the question, each tells of its answer. The critical
    // clearing angle stands for the critical clearing time and says which clearing times
    // keep the machine in step; a disturbance's swing has a turning angle, and its start
    // lies inside the boundary, only when it stays in step; the turning angle is a power
    // step's largest angle, and a fault's delta_u and boundary bound the swing.
    bool holdsLimits() const { return answerOpen() || laterStepAsksLimit(); }
    bool laterStepAsksLimit() const;
    // Called before a run starts (the short-circuit button, Tools' runs): false while a
    // prediction is awaited. Before the outcome has been shown, the session's case goes
    // back to the step's, at the question's clearing time, if the student changed it.
    bool beforeRun();

    const LessonProgress &progress() const { return m_progress.at(std::size_t(m_step)); }
    const std::vector<LessonProgress> &allProgress() const { return m_progress; }
    // The case the step's question is about: the step's case at the question's clearing
    // time, or for a critical clearing time once predicted, at the one predicted.
    StabilityCase runCase() const;

    // Predictions or outcomes have come since the record was last exported: closing the
    // lesson would lose them.
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
    // Another step is shown.
    void stepChanged();
    // The prediction of the step shown was taken.
    void predicted();
    // The run that answers the step shown has started: its prediction stands.
    void predictionLocked();
    // The run has shown the outcome of the step shown.
    void revealed();

private:
    void showStep(int index);
    void runBegun();
    void runEnded();

    DravexSession &m_session;
    Lesson m_lesson;
    QString m_path;
    bool m_open = false;
    int m_step = 0;
    std::vector<LessonProgress> m_progress;
    std::vector<std::optional<Clock::time_point>> m_firstShown;
    // The run going: it follows the prediction, on the step's case.
    bool m_runAnswers = false;
    bool m_unexported = false;
};
