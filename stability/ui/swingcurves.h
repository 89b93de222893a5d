#pragma once

#include "runhistory.h"
#include "swinglegend.h"

#include <chrono>
#include <ctime>
#include <deque>
#include <functional>
#include <QFont>
#include <QList>
#include <QPen>
#include <QPointF>
#include <QTimer>
#include <QWidget>
#include <vector>

class QAction;
class QBoxLayout;
class QChart;
class QChartView;
class QImage;
class QLineSeries;
class RunLegend;
class QValueAxis;

// The swing curves of the last runs, in a window of their own: the rotor angle against
// time on one chart, the speed deviation and the electrical power against time on a
// second, each run in its own colour and named in the legend beside them by its clearing
// time and how it ended. A click on a run's name hides the run on both charts, or shows
// it again.
class SwingCurves : public QWidget {
    Q_OBJECT
public:
    explicit SwingCurves(QWidget *parent = nullptr);
    ~SwingCurves() override;

    // Brings the charts up to the runs as they stand: a series for each new run, the
    // present run's new steps appended, runs no longer kept removed. `runEnded` says that
    // the newest run has ended, so its legend can name the outcome.
    void follow(const RunHistory &history, bool runEnded);

    // The main window's zoom: the charts' fonts (which do not follow the window's),
    // margins, lines and the window's size, z times what they are at 100 %.
    void setZoom(double zoom);
    double zoom() const { return m_zoom; }

    // Save picture... (Ctrl+S): hands the picture of the charts to the main window, which
    // asks where to write it.
    std::function<void(const QImage &)> savePicture;

    // New points make the charts lay out and paint again, which costs far more than a
    // step. While a run goes on, its new steps reach the charts at most every
    // PushInterval. When the program had no idle time since the last batch to absorb what
    // that batch cost (laying out and painting), as in Fast mode, the next one waits
    // CostFactor times that cost, so the charts slow a run only a little on any machine.
    // A new run, the end of a run and a hidden window take their points at once.
    static constexpr std::chrono::milliseconds PushInterval{12};
    static constexpr int CostFactor = 16;
    // Points held back reach the charts after this long without a call of follow.
    static constexpr std::chrono::milliseconds CatchUpAfter{100};
    // The clocks of that pacing: the time of day, and the processor time the program has
    // used. Tests give ones that they move on themselves.
    std::function<std::chrono::steady_clock::time_point()> clock = [] {
        return std::chrono::steady_clock::now();
    };
    std::function<std::chrono::steady_clock::duration()> processorTime = [] {
        return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(double(std::clock()) / CLOCKS_PER_SEC));
    };

    // A curve is drawn in pieces of at most this many points, each piece beginning at the
    // last point of the one before: a growing curve lays out and paints its last piece
    // only, not the whole run again. A run's pieces are all made when it starts, as each
    // new series lays the whole chart out again.
    static constexpr int PiecePoints = 250;

    // The rotor angle, and the speed deviation with the electrical power.
    QChart *angleChart() const { return m_angleChart; }
    QChart *speedPowerChart() const { return m_speedPowerChart; }

    // One run's three curves on the charts, each as its pieces in order.
    struct RunCurves {
        int id = 0; // the run's id in the history
        std::vector<QLineSeries *> angle, speed;
        std::vector<QLineSeries *> power; // dashed, without a legend entry of its own
    };
    // The runs shown, oldest first.
    std::vector<RunCurves> shownRuns() const;
    // The points of a curve, its pieces joined.
    static QList<QPointF> points(const std::vector<QLineSeries *> &pieces);

protected:
    // The runs to show or hide and Save picture, for the keyboard too (the menu key).
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    struct Extent {
        double min = 0, max = 0;
        bool empty = true;
        void take(double v);
        void take(const Extent &other);
    };
    // Where a curve goes and how it looks.
    struct Place {
        QChart *chart;
        QValueAxis *time, *y;
        QPen pen;
    };
    struct Curve {
        Place place;
        std::vector<QLineSeries *> pieces;
        std::size_t filling = 0; // the piece that grows
        QList<QPointF> open;     // its points
        Extent extent;
    };
    struct Track {
        int id = 0;
        std::size_t pushed = 0; // samples already on the charts
        bool hidden = false;    // by a click on its legend entry
        bool outOfStep = false;
        QString headline, details; // its legend entry
        Curve angle, speed, power;
    };

    void catchUp();
    void pushAll(std::chrono::steady_clock::time_point now,
                 std::chrono::steady_clock::duration used);
    Track makeTrack(const RunRecord &run);
    void dropTrack(Track &track);
    QLineSeries *addPiece(Curve &curve);
    void push(Track &track, const RunRecord &run);
    void extend(Curve &curve, double clock, double value);
    void fitAxes();
    QPen runPen(int id, Qt::PenStyle style) const;
    void toggleRun(int id);
    void showRun(Track &track);
    void showLegend();
    void fitViews();
    void alignPlots();

    QChart *m_angleChart = nullptr;
    QChart *m_speedPowerChart = nullptr;
    QValueAxis *m_angleTime = nullptr;
    QValueAxis *m_angleAxis = nullptr;
    QValueAxis *m_speedPowerTime = nullptr;
    QValueAxis *m_speedAxis = nullptr;
    QValueAxis *m_powerAxis = nullptr;
    std::vector<Track> m_tracks;
    const RunHistory *m_history = nullptr; // as last followed
    QTimer m_catchUp;
    std::chrono::steady_clock::time_point m_lastPush{};
    std::chrono::steady_clock::duration m_usedAtPush{}; // processor time at the last batch
    // What the last batch cost: its own handling, and the paints since.
    std::chrono::steady_clock::duration m_pushCost{}, m_paintCost{};
    bool m_costKnown = false; // the last batch was an ordinary one

    double m_zoom = 1.0;
    std::vector<QChartView *> m_views;
    QWidget *m_picture = nullptr; // the charts and the legend, as Save picture takes them
    RunLegend *m_legend = nullptr;
    QBoxLayout *m_buttonBar = nullptr;
    QAction *m_savePicture = nullptr;
    // Each font of the charts as it is at 100 %, and how to set it.
    std::vector<std::pair<QFont, std::function<void(const QFont &)>>> m_fonts;
};
