#pragma once

#include "backgroundstudy.h"
#include "modalrunner.h"
#include "stabilitycase.h"
#include "study.h"

#include <functional>
#include <optional>
#include <QFont>
#include <QPointF>
#include <QWidget>
#include <utility>
#include <vector>

class DravexSession;
class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QProgressBar;
class QPushButton;
class QScatterSeries;
class QSpinBox;
class QValueAxis;
class ReportFiles;

// Tools > Critical clearing study: the critical clearing time against one value of the
// case, the equal-area criterion's beside the simulation's first out-of-step clearing
// time, in a window of its own. The study runs on threads of its own, so the window stays
// live; Cancel, or closing the window, stops it within a point. A point's numbers show
// under the pointer, and a click on it offers to take its value into the case.
class StudyWindow : public QWidget {
    Q_OBJECT
public:
    // The session's case is what a study starts from; the files and the runner are the
    // main window's, so that the folder used last and the tests' answers are shared.
    StudyWindow(DravexSession &session, ReportFiles &files, const ModalRunner &runner,
                QWidget *parent = nullptr);

    // Takes a point's value into the case the way the main window's dialogs do.
    std::function<void(const StabilityCase &)> takeCase;

    // The main window's zoom: fonts, lines, markers and the window's size.
    void setZoom(double zoom);

    // Start: a study of the controls' range on the case as it stands. A range that
    // cannot be studied is refused with the reason in the status line, and nothing runs.
    bool start();
    // Cancel: a study in progress stops at its next run; its points go nowhere.
    void cancel();
    bool running() const { return m_study.running(); }

    // The study on the chart: the case it was made on, its range and its points.
    const std::optional<FinishedStudy> &shown() const { return m_shown; }
    QChart *chart() const { return m_chart; }

    // The study point drawn under a place in the chart's view (its viewport's
    // coordinates), or -1; what hovering it shows, and what clicking it offers.
    int pointAt(QPoint at) const;
    QString pointText(int index) const;
    void offerTakeOver(int index);

signals:
    // A study has ended, done or cancelled; its points are shown if it was done.
    void studyEnded();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void chooseParameter();
    void showCase();
    void showEnd(const std::optional<FinishedStudy> &done);
    void showStudy();
    void showPresentCase();
    void fitAxes();
    void nameMarkers();
    void setStatus(const QString &text);
    void showRunning(bool running);
    void saveCsv();
    void savePicture();
    QLineSeries *addLine(const QString &name, const QPen &pen, bool inLegend);
    QLineSeries *addPiece(const QString &name, const QColor &colour, bool inLegend);
    QScatterSeries *addMarkers(const QString &name, const QColor &colour, int shape, bool filled);
    void styleSeries();

    DravexSession &m_session;
    ReportFiles &m_files;
    const ModalRunner &m_runner;

    QComboBox *m_parameter = nullptr;
    QLineEdit *m_from = nullptr;
    QLineEdit *m_to = nullptr;
    QSpinBox *m_points = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_cancel = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_saveCsv = nullptr;
    QPushButton *m_savePicture = nullptr;

    QChart *m_chart = nullptr;
    QChartView *m_view = nullptr;
    QValueAxis *m_xAxis = nullptr;
    QValueAxis *m_yAxis = nullptr;
    // The two curves, each in pieces between the points where it has no number.
    std::vector<QLineSeries *> m_criterion, m_simulation;
    QScatterSeries *m_always = nullptr;
    QScatterSeries *m_never = nullptr;
    QScatterSeries *m_inStep = nullptr;
    QLineSeries *m_present = nullptr;

    BackgroundStudy m_study;
    std::optional<FinishedStudy> m_shown;

    double m_zoom = 1.0;
    QFont m_font; // the window's at 100 %
    std::vector<std::pair<QFont, std::function<void(const QFont &)>>> m_chartFonts;
};
