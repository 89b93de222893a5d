#pragma once

#include "modalrunner.h"

#include <functional>

class DravexSession;
class ReportFiles;
class StudyWindow;
class SwingCurves;
class QWidget;
struct StabilityCase;

// The windows of Tools beside the main window: the swing curves and the critical clearing
// study, each made on first use at the main window's zoom and kept, hidden, once closed.
class ToolWindows {
public:
    // `window` is the main window, which they belong to; the files and the modal runner
    // are its own, so that the folder used last and the tests' answers are shared.
    // `takeCase` takes a value from the study into the case, as the main window's dialogs
    // do.
    ToolWindows(QWidget *window, DravexSession &session, ReportFiles &files,
                const ModalRunner &runner, std::function<double()> zoom,
                std::function<void(const StabilityCase &)> takeCase);

    SwingCurves *swingCurves() const { return m_swingCurves; }
    StudyWindow *study() const { return m_study; }

    // Shown, raised and active, the swing curves with the runs they missed.
    void showSwingCurves();
    void showStudy();
    // Swing curves on the screen take the run's new steps; `outcome` when the run's
    // outcome is known.
    void followRun(bool outcome);
    // At a run's end the swing curves take it whole, shown or not.
    void runEnded();
    void setZoom(double zoom);
    // A study in progress stops (the main window closes).
    void cancelStudy();
    // A study on the screen is stopped and put away: a lesson holds its answer back.
    void putStudyAway();

private:
    QWidget *m_window;
    DravexSession &m_session;
    ReportFiles &m_files;
    const ModalRunner &m_runner;
    std::function<double()> m_zoom;
    std::function<void(const StabilityCase &)> m_takeCase;
    SwingCurves *m_swingCurves = nullptr; // a window of its own, a child of the main window
    StudyWindow *m_study = nullptr;       // the same
};
