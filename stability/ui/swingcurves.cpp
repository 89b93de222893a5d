#include "swingcurves.h"

#include "layouthelpers.h"
#include "layoutzoom.h"
#include "numberformat.h"
#include "runlegend.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QContextMenuEvent>
#include <QGraphicsLayout>
#include <QHBoxLayout>
#include <QLegend>
#include <QLineSeries>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QValueAxis>
#include <QVBoxLayout>

namespace {

using Clock = std::chrono::steady_clock;

// A chart view that adds the time of its paints to a running sum, so the window knows
// what its batches of points cost.
class TimedChartView : public QChartView {
public:
    TimedChartView(QChart *chart, QWidget *parent, Clock::duration &paintCost)
        : QChartView(chart, parent), m_paintCost(paintCost) {}

protected:
    void paintEvent(QPaintEvent *event) override {
        const auto start = Clock::now();
        QChartView::paintEvent(event);
        m_paintCost += Clock::now() - start;
    }

private:
    Clock::duration &m_paintCost;
};

// One colour per kept run. Run ids count up by one, so the kept runs never share a
// colour and a run keeps its colour as older ones drop out.
const std::array<QColor, 5> RunColours = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28),
                                          QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
                                          QColor(0x94, 0x67, 0xbd)};
static_assert(RunColours.size() >= RunHistory::Kept);

QColor runColour(int id) {
    const int n = static_cast<int>(RunColours.size());
    return RunColours[static_cast<std::size_t>(((id - 1) % n + n) % n)];
}

int zoomedMargin(double zoom) {
    return LayoutZoom::scaled(QSize(4, 4), zoom).width();
}

void zoomChart(QChart *chart, double zoom) {
    const int margin = zoomedMargin(zoom);
    chart->setMargins(QMargins(margin, margin, margin, margin));
}

QChart *makeChart() {
    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->setBackgroundBrush(Qt::white);
    chart->layout()->setContentsMargins(0, 0, 0, 0); // white up to the window's edges
    // The runs are named once, beside both charts (RunLegend): a legend inside a chart takes
    // its room from the plot, and the room left to it depends on the plot's margins, which
    // the two charts' alignment sets.
    chart->legend()->hide();
    zoomChart(chart, 1.0);
    // The axes' numbers with the user's decimal separator, like the read-outs: no
    // thousands separators, which a comma locale would confuse with decimals.
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    chart->setLocale(locale);
    chart->setLocalizeNumbers(true);
    return chart;
}

QValueAxis *addAxis(QChart *chart, const QString &title, Qt::Alignment side) {
    auto *axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    chart->addAxis(axis, side);
    // Plain rather than the bold of the chart theme, so that the titles fit beside short
    // plots.
    QFont font = axis->titleFont();
    font.setBold(false);
    axis->setTitleFont(font);
    return axis;
}

void setTimeRange(QValueAxis *axis) {
    axis->setRange(0, EindTijd);
    axis->setTickInterval(1);
    axis->setLabelFormat(QStringLiteral("%.0f"));
}

// A range around the data with some room, in whole steps of 1, 2 or 5 times a power of
// ten, so the ticks fall on round numbers and the range changes only now and then as
// the data grow.
struct NiceRange {
    double lo = 0, hi = 1, step = 1;
};

NiceRange niceRange(double min, double max, bool empty) {
    double lo = empty ? 0 : min, hi = empty ? 1 : max;
    if (hi - lo <= 1e-9 * std::max(1.0, std::fabs(hi))) {
        const double pad = std::max(1.0, std::fabs(hi) * 0.1);
        lo -= pad;
        hi += pad;
    }
    const double margin = (hi - lo) * 0.05;
    lo -= margin;
    hi += margin;
    if (!std::isfinite(lo) || !std::isfinite(hi) || !std::isfinite(hi - lo)) return {};
    const double rough = (hi - lo) / 5;
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    const double step = decade * (rough <= decade       ? 1
                                  : rough <= 2 * decade ? 2
                                  : rough <= 5 * decade ? 5
                                                        : 10);
    return {std::floor(lo / step) * step, std::ceil(hi / step) * step, step};
}

void applyRange(QValueAxis *axis, const NiceRange &r) {
    // A new range maps every point anew, so it is set only when it changes.
    if (axis->min() == r.lo && axis->max() == r.hi && axis->tickInterval() == r.step) return;
    const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(r.step) + 1e-9)));
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(decimals));
    axis->setTickInterval(r.step);
    axis->setRange(r.lo, r.hi);
}

} // namespace

void SwingCurves::Extent::take(double v) {
    if (empty) {
        min = max = v;
        empty = false;
    } else {
        min = std::min(min, v);
        max = std::max(max, v);
    }
}

void SwingCurves::Extent::take(const Extent &other) {
    if (other.empty) return;
    take(other.min);
    take(other.max);
}

SwingCurves::SwingCurves(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("SwingCurves"));
    setWindowTitle(QStringLiteral("Swing curves"));
    closeOnEscape(this);

    m_angleChart = makeChart();
    m_angleTime = addAxis(m_angleChart, QStringLiteral("Time (s)"), Qt::AlignBottom);
    m_angleAxis = addAxis(m_angleChart, QStringLiteral("Rotor angle (degrees)"), Qt::AlignLeft);

    m_speedPowerChart = makeChart();
    m_speedPowerChart->setTitle(
        QStringLiteral("Speed deviation (solid) and electrical power (dashed)"));
    m_speedPowerTime = addAxis(m_speedPowerChart, QStringLiteral("Time (s)"), Qt::AlignBottom);
    m_speedAxis =
        addAxis(m_speedPowerChart, QStringLiteral("Speed deviation (rad/s)"), Qt::AlignLeft);
    m_powerAxis =
        addAxis(m_speedPowerChart, QStringLiteral("Pelec (unit of Pmax, e.g. MW)"), Qt::AlignRight);

    setTimeRange(m_angleTime);
    setTimeRange(m_speedPowerTime);
    fitAxes();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The charts one above the other, the legend beside both, on white.
    m_picture = new QWidget(this);
    m_picture->setBackgroundRole(QPalette::Base);
    m_picture->setAutoFillBackground(true);
    auto *beside = new QHBoxLayout(m_picture);
    beside->setContentsMargins(0, 0, 0, 0);
    beside->setSpacing(0);
    auto *charts = new QVBoxLayout;
    charts->setSpacing(0);
    beside->addLayout(charts);
    for (QChart *chart : {m_angleChart, m_speedPowerChart}) {
        auto *view = new TimedChartView(chart, m_picture, m_paintCost);
        view->setRenderHint(QPainter::Antialiasing);
        view->setFrameShape(QFrame::NoFrame);
        view->setAccessibleName(chart == m_angleChart
                                    ? QStringLiteral("Rotor angle against time")
                                    : QStringLiteral("Speed deviation and electrical power"));
        charts->addWidget(view);
        m_views.push_back(view);
        connect(chart, &QChart::plotAreaChanged, this, &SwingCurves::alignPlots);
    }
    m_legend = new RunLegend(m_picture);
    m_legend->toggled = [this](int id) { toggleRun(id); };
    beside->addWidget(m_legend);
    layout->addWidget(m_picture, 1);

    m_savePicture = new QAction(QStringLiteral("Save &picture..."), this);
    m_savePicture->setObjectName(QStringLiteral("SavePicture1"));
    m_savePicture->setShortcut(QKeySequence::Save);
    m_savePicture->setShortcutContext(Qt::WindowShortcut);
    addAction(m_savePicture);
    connect(m_savePicture, &QAction::triggered, this, [this] {
        // The charts and their legend as they are shown, without the button below them.
        if (savePicture) savePicture(m_picture->grab().toImage());
    });
    auto *save = new QPushButton(m_savePicture->text(), this);
    save->setObjectName(QStringLiteral("SavePictureButton"));
    save->setAccessibleName(QStringLiteral("Save picture of the swing curves"));
    save->setToolTip(m_savePicture->shortcut().toString(QKeySequence::NativeText));
    connect(save, &QPushButton::clicked, m_savePicture, &QAction::trigger);
    m_buttonBar = new QHBoxLayout;
    m_buttonBar->addStretch();
    m_buttonBar->addWidget(save);
    m_buttonBar->setContentsMargins(QMargins(4, 4, 4, 4));
    layout->addLayout(m_buttonBar);
    m_fonts.emplace_back(save->font(), [save](const QFont &f) { save->setFont(f); });
    resize(720, 600);

    m_fonts.emplace_back(m_legend->font(), [this](const QFont &f) { m_legend->setFont(f); });
    for (QChart *chart : {m_angleChart, m_speedPowerChart}) {
        m_fonts.emplace_back(chart->titleFont(),
                             [chart](const QFont &f) { chart->setTitleFont(f); });
        for (QAbstractAxis *axis : chart->axes()) {
            m_fonts.emplace_back(axis->labelsFont(),
                                 [axis](const QFont &f) { axis->setLabelsFont(f); });
            m_fonts.emplace_back(axis->titleFont(),
                                 [axis](const QFont &f) { axis->setTitleFont(f); });
        }
    }

    fitViews();

    m_catchUp.setSingleShot(true);
    m_catchUp.setInterval(CatchUpAfter);
    connect(&m_catchUp, &QTimer::timeout, this, &SwingCurves::catchUp);
}

SwingCurves::~SwingCurves() = default;

void SwingCurves::setZoom(double zoom) {
    if (zoom == m_zoom) return;
    const double grow = zoom / m_zoom;
    m_zoom = zoom;
    for (const auto &[font, set] : m_fonts) set(LayoutZoom::scaled(font, zoom));
    for (QChart *chart : {m_angleChart, m_speedPowerChart}) zoomChart(chart, zoom);
    m_legend->setZoom(zoom);
    fitViews();
    const int margin = zoomedMargin(zoom);
    m_buttonBar->setContentsMargins(margin, margin, margin, margin);
    for (Track &track : m_tracks) {
        for (Curve *curve : {&track.angle, &track.speed, &track.power})
            curve->place.pen = runPen(track.id, curve->place.pen.style());
        showRun(track);
    }
    // The window as the user left it, grown with the zoom, as far as the screen holds it.
    QSize size = LayoutZoom::scaled(this->size(), grow);
    if (const QScreen *s = screen()) size = size.boundedTo(s->availableGeometry().size());
    resize(size);
    if (isVisible()) keepOnScreen(this); // grown past the screen's edge, it moves back
}

void SwingCurves::fitViews() {
    // Each chart at least tall enough for the titles beside its plot, whole: the plot's
    // height is what Qt's charts cut an upright axis title to.
    for (QChartView *view : m_views) {
        const QChart *chart = view->chart();
        int longest = 0;
        for (const QAbstractAxis *axis : chart->axes(Qt::Vertical))
            longest = std::max(
                longest, QFontMetrics(axis->titleFont()).horizontalAdvance(axis->titleText()));
        // Below and above the plot: the time axis's numbers and title, the chart's title,
        // half a number over the top, the margins and Qt's paddings between them.
        const QAbstractAxis *time = chart->axes(Qt::Horizontal).front();
        const int line = [](const QFont &f) {
            return QFontMetrics(f).height();
        }(time->labelsFont());
        int around = 2 * zoomedMargin(m_zoom) + 2 * line +
                     2 * QFontMetrics(time->titleFont()).height() +
                     LayoutZoom::scaled(QSize(24, 24), m_zoom).height();
        if (!chart->title().isEmpty()) around += 2 * QFontMetrics(chart->titleFont()).height();
        // As wide as the chart's title, also whole.
        const QSize least = LayoutZoom::scaled(QSize(320, 200), m_zoom);
        const int titleWidth = QFontMetrics(chart->titleFont()).horizontalAdvance(chart->title()) +
                               4 * zoomedMargin(m_zoom);
        view->setMinimumSize(std::max(least.width(), titleWidth),
                             std::max(least.height(), longest + around));
    }
}

QPen SwingCurves::runPen(int id, Qt::PenStyle style) const {
    return QPen(runColour(id), zoomedLineWidth(m_zoom), style);
}

std::vector<SwingCurves::RunCurves> SwingCurves::shownRuns() const {
    std::vector<RunCurves> runs;
    for (const Track &track : m_tracks)
        runs.push_back({track.id, track.angle.pieces, track.speed.pieces, track.power.pieces});
    return runs;
}

QList<QPointF> SwingCurves::points(const std::vector<QLineSeries *> &pieces) {
    QList<QPointF> all;
    for (QLineSeries *piece : pieces) {
        const QList<QPointF> some = piece->points();
        // Each piece after the first repeats the last point of the one before.
        all.append(all.isEmpty() ? some : some.mid(1));
    }
    return all;
}

QLineSeries *SwingCurves::addPiece(Curve &curve) {
    auto *piece = new QLineSeries;
    curve.place.chart->addSeries(piece);
    piece->attachAxis(curve.place.time);
    piece->attachAxis(curve.place.y);
    piece->setPen(curve.place.pen);
    // A piece added to a hidden run's curve is hidden with it.
    if (!curve.pieces.empty()) piece->setVisible(curve.pieces.front()->isVisible());
    curve.pieces.push_back(piece);
    return piece;
}

SwingCurves::Track SwingCurves::makeTrack(const RunRecord &run) {
    const QPen solid = runPen(run.id, Qt::SolidLine);
    const QPen dashed = runPen(run.id, Qt::DashLine);
    Track track;
    track.id = run.id;
    track.angle.place = {m_angleChart, m_angleTime, m_angleAxis, solid};
    track.speed.place = {m_speedPowerChart, m_speedPowerTime, m_speedAxis, solid};
    track.power.place = {m_speedPowerChart, m_speedPowerTime, m_powerAxis, dashed};
    // Enough pieces for the longest run: a step at each 3 ms of the 10 s.
    constexpr int longestRun = static_cast<int>(EindTijd / StapTijd) + 2;
    constexpr int pieces = (longestRun - 1 + PiecePoints - 2) / (PiecePoints - 1);
    for (Curve *curve : {&track.angle, &track.speed, &track.power})
        for (int i = 0; i < pieces; ++i) addPiece(*curve);
    return track;
}

void SwingCurves::toggleRun(int id) {
    const auto track =
        std::find_if(m_tracks.begin(), m_tracks.end(), [id](const Track &t) { return t.id == id; });
    if (track == m_tracks.end()) return;
    track->hidden = !track->hidden;
    showRun(*track);
    showLegend();
    fitAxes();
}

void SwingCurves::showRun(Track &track) {
    for (Curve *curve : {&track.angle, &track.speed, &track.power})
        for (QLineSeries *piece : curve->pieces) {
            piece->setPen(curve->place.pen);
            piece->setVisible(!track.hidden);
        }
}

void SwingCurves::showLegend() {
    std::vector<RunLegend::Entry> entries;
    for (const Track &track : m_tracks)
        entries.push_back(
            {track.id, runColour(track.id), track.headline, track.details, track.hidden});
    m_legend->setEntries(entries);
}

void SwingCurves::alignPlots() {
    // Both plots run over the same time: their left and right edges line up, whatever the
    // widths of the axes beside them, as the chart with the narrower axes takes the wider
    // margin.
    const std::array<QChart *, 2> charts{m_angleChart, m_speedPowerChart};
    std::array<qreal, 2> left{}, right{}; // from the margins to the plot
    for (std::size_t i = 0; i < charts.size(); ++i) {
        const QRectF plot = charts[i]->plotArea();
        if (plot.isEmpty()) return; // not laid out yet; it will say when it is
        const QMargins margins = charts[i]->margins();
        left[i] = plot.left() - margins.left();
        right[i] = charts[i]->size().width() - plot.right() - margins.right();
    }
    // The room beside a plot is its axes' alone, whatever the margins: new margins move the
    // plot by as much as they grow, and the next call finds them as they are.
    const int margin = zoomedMargin(m_zoom);
    for (std::size_t i = 0; i < charts.size(); ++i) {
        const QMargins aligned(margin + qRound(std::max(left[0], left[1]) - left[i]), margin,
                               margin + qRound(std::max(right[0], right[1]) - right[i]), margin);
        if (charts[i]->margins() != aligned) charts[i]->setMargins(aligned);
    }
}

void SwingCurves::contextMenuEvent(QContextMenuEvent *event) {
    QMenu menu(this);
    menu.setFont(LayoutZoom::scaled(menu.font(), m_zoom));
    for (const Track &track : m_tracks) {
        QAction *shown = menu.addAction(track.angle.pieces.front()->name());
        shown->setCheckable(true);
        shown->setChecked(!track.hidden);
        connect(shown, &QAction::triggered, this, [this, id = track.id] { toggleRun(id); });
    }
    menu.addSeparator();
    menu.addAction(m_savePicture);
    menu.exec(event->globalPos());
}

void SwingCurves::dropTrack(Track &track) {
    for (Curve *curve : {&track.angle, &track.speed, &track.power}) {
        for (QLineSeries *piece : curve->pieces) {
            curve->place.chart->removeSeries(piece);
            delete piece;
        }
        curve->pieces.clear();
    }
}

void SwingCurves::extend(Curve &curve, double clock, double value) {
    // A run that broke down into no number ends there; such points have no place.
    if (!std::isfinite(value)) return;
    if (curve.open.size() >= PiecePoints) {
        curve.pieces[curve.filling]->replace(curve.open);
        const QPointF joint = curve.open.last();
        curve.open = {joint};
        if (++curve.filling == curve.pieces.size()) addPiece(curve);
    }
    curve.open.append(QPointF(clock, value));
    curve.extent.take(value);
}

void SwingCurves::push(Track &track, const RunRecord &run) {
    const std::size_t n = run.samples.size();
    if (track.pushed >= n) return;
    for (std::size_t i = track.pushed; i < n; ++i) {
        const RunSample &s = run.samples[i];
        extend(track.angle, s.clock, s.rotorAngleDeg);
        extend(track.speed, s.clock, s.speedDeviation);
        extend(track.power, s.clock, s.pelec);
    }
    track.pushed = n;
    // A series takes a list in one go, but lays itself out anew for every point
    // appended.
    for (Curve *curve : {&track.angle, &track.speed, &track.power})
        curve->pieces[curve->filling]->replace(curve->open);
}

void SwingCurves::fitAxes() {
    // The runs shown set the axes. One that fell out of step slips on, turn after turn: the
    // angle and speed axes keep to the runs still in step (a run counts until it is found
    // out of step), so that their swings stay readable and the runaway leaves the plot at
    // the edge. With no run in step shown they fit the runaways, to where they fell out.
    Extent angle, speed, power, slipAngle, slipSpeed;
    for (const Track &track : m_tracks) {
        if (track.hidden) continue;
        (track.outOfStep ? slipAngle : angle).take(track.angle.extent);
        (track.outOfStep ? slipSpeed : speed).take(track.speed.extent);
        power.take(track.power.extent);
    }
    if (angle.empty) angle = slipAngle;
    if (speed.empty) speed = slipSpeed;
    const auto fit = [this](QValueAxis *axis, const Extent &e) {
        // With every run hidden the axis stays as it was.
        if (e.empty && !m_tracks.empty()) return;
        applyRange(axis, niceRange(e.min, e.max, e.empty));
    };
    fit(m_angleAxis, angle);
    fit(m_speedAxis, speed);
    fit(m_powerAxis, power);
}

void SwingCurves::follow(const RunHistory &history, bool runEnded) {
    m_history = &history;
    const std::deque<RunRecord> &runs = history.runs();

    // Both lists run oldest first; a run that left the history leaves the charts.
    bool changed = false;
    for (auto it = m_tracks.begin(); it != m_tracks.end();) {
        const bool kept = std::any_of(runs.begin(), runs.end(),
                                      [&](const RunRecord &r) { return r.id == it->id; });
        if (kept) {
            ++it;
        } else {
            dropTrack(*it);
            it = m_tracks.erase(it);
            changed = true;
        }
    }
    for (const RunRecord &run : runs) {
        if (std::none_of(m_tracks.begin(), m_tracks.end(),
                         [&](const Track &t) { return t.id == run.id; })) {
            m_tracks.push_back(makeTrack(run));
            changed = true;
        }
    }

    const auto now = clock();
    const auto used = processorTime();
    const bool ordinary = !changed && !runEnded && isVisible();
    if (ordinary) {
        const auto elapsed = now - m_lastPush;
        // After a new run or the end of one the paints laid out whole charts, which says
        // nothing of what the next batch costs.
        const Clock::duration cost = m_costKnown ? m_pushCost + m_paintCost : Clock::duration{};
        const auto idle = elapsed - (used - m_usedAtPush);
        if (elapsed < PushInterval || (cost > idle && elapsed < CostFactor * cost)) {
            // Should the run pause here (the out-of-step message waits for its OK), the
            // points held back still show.
            m_catchUp.start();
            return;
        }
    }
    pushAll(now, used);
    m_costKnown = ordinary;
}

void SwingCurves::catchUp() {
    if (!m_history || !isVisible() || clock() - m_lastPush < PushInterval) return;
    pushAll(clock(), processorTime());
    m_costKnown = false;
}

void SwingCurves::pushAll(Clock::time_point now, Clock::duration used) {
    m_catchUp.stop();
    m_lastPush = now;
    m_usedAtPush = used;
    m_paintCost = {};
    const auto start = Clock::now();

    const std::deque<RunRecord> &runs = m_history->runs();
    const MachineDataNamed named = differingMachineData(runs);
    for (Track &track : m_tracks) {
        const auto run = std::find_if(runs.begin(), runs.end(),
                                      [&](const RunRecord &r) { return r.id == track.id; });
        if (run == runs.end()) continue; // gone since the last follow; the next drops it
        track.outOfStep = run->end == RunEnd::OutOfStep;
        const SwingLegendText text = swingLegendText(*run, named);
        track.headline = text.headline;
        track.details = text.details;
        const QString name = text.whole();
        if (track.angle.pieces.front()->name() != name) {
            track.angle.pieces.front()->setName(name);
            track.speed.pieces.front()->setName(name);
        }
        push(track, *run);
    }
    showLegend();
    fitAxes();
    m_pushCost = Clock::now() - start;
}
