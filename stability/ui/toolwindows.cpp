#include "toolwindows.h"

#include "dravexsession.h"
#include "reportfiles.h"
#include "studywindow.h"
#include "swingcurves.h"

namespace {

void bringForward(QWidget *window) {
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

ToolWindows::ToolWindows(QWidget *window, DravexSession &session, ReportFiles &files,
                         const ModalRunner &runner, std::function<double()> zoom,
                         std::function<void(const StabilityCase &)> takeCase)
    : m_window(window), m_session(session), m_files(files), m_runner(runner),
      m_zoom(std::move(zoom)), m_takeCase(std::move(takeCase)) {}

void ToolWindows::showSwingCurves() {
    if (!m_swingCurves) {
        m_swingCurves = new SwingCurves(m_window);
        m_swingCurves->setZoom(m_zoom());
        // Into the folder used last, as File > Save picture...
        m_swingCurves->savePicture = [this](const QImage &picture) {
            // Its own name, so that it does not replace the main window's picture.
            m_files.savePicture(m_swingCurves, picture, m_runner,
                                QStringLiteral("dravex-swing-curves.png"));
        };
    }
    m_swingCurves->follow(m_session.history(), !m_session.isRunning()); // what it missed
    bringForward(m_swingCurves);
}

void ToolWindows::showStudy() {
    if (!m_study) {
        m_study = new StudyWindow(m_session, m_files, m_runner, m_window);
        m_study->setZoom(m_zoom());
        m_study->takeCase = m_takeCase;
    }
    bringForward(m_study);
}

void ToolWindows::followRun(bool outcome) {
    if (m_swingCurves && m_swingCurves->isVisible())
        m_swingCurves->follow(m_session.history(), outcome);
}

void ToolWindows::runEnded() {
    if (m_swingCurves) m_swingCurves->follow(m_session.history(), true);
}

void ToolWindows::setZoom(double zoom) {
    if (m_swingCurves) m_swingCurves->setZoom(zoom);
    if (m_study) m_study->setZoom(zoom);
}

void ToolWindows::cancelStudy() {
    if (m_study) m_study->cancel();
}

void ToolWindows::putStudyAway() {
    if (!m_study || !m_study->isVisible()) return;
    m_study->cancel();
    m_study->hide();
}
