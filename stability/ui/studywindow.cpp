#include "studywindow.h"

#include "constants.h"
#include "criticalclearing.h"
#include "dravexsession.h"
#include "errorreport.h"
#include "layouthelpers.h"
#include "layoutzoom.h"
#include "numberformat.h"
#include "reportfiles.h"
#include "runcsv.h"
#include "savefile.h"
#include "studycsv.h"
#include "textconvert.h"

#include <algorithm>
#include <cmath>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QGraphicsLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QScreen>
#include <QSpinBox>
#include <QToolTip>
#include <QValueAxis>
#include <QVBoxLayout>
#include <tuple>

namespace {

QString caption(StudyParameter p) {
    return QString::fromUtf8(caseField(p).label) + QString::fromUtf8(caseField(p).captionUnit);
}

QString nameOf(StudyParameter p) {
    return QString::fromUtf8(caseField(p).label);
}

// "H = 5.789 s": four significant digits, as a person reads a point off a chart.
QString valueText(StudyParameter p, double value) {
    return QStringLiteral("%1 = %2%3")
        .arg(nameOf(p), formatGeneralDigits(value, 4), QString::fromUtf8(caseField(p).valueUnit));
}

const NumberText LocalNumber = [](double v) { return formatGeneral(v).toStdString(); };

QString rangeText(const StudyRange &r) {
    return QStringLiteral("%1 from %2 to %3, %4 points")
        .arg(nameOf(r.parameter), formatGeneral(r.from), formatGeneral(r.to))
        .arg(r.points);
}

// Ticks at 1, 2 or 5 times a power of ten, about six over the span.
double niceStep(double span) {
    if (!(span > 0) || !std::isfinite(span)) return 1;
    const double rough = span / 6;
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    return decade * (rough <= decade ? 1 : rough <= 2 * decade ? 2 : rough <= 5 * decade ? 5 : 10);
}

void setTicks(QValueAxis *axis, double lo, double hi, double step) {
    const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(decimals));
    axis->setTickInterval(step);
    axis->setRange(lo, hi);
}

constexpr int ChartMargin = 8; // around the chart at 100 %

const QColor CriterionColour(0x1f, 0x77, 0xb4);
const QColor SimulationColour(0xd6, 0x27, 0x28);
const QColor PresentColour(0x55, 0x55, 0x55);

} // namespace

StudyWindow::StudyWindow(DravexSession &session, ReportFiles &files, const ModalRunner &runner,
                         QWidget *parent)
    : QWidget(parent, Qt::Window), m_session(session), m_files(files), m_runner(runner) {
    setObjectName(QStringLiteral("StudyWindow"));
    setWindowTitle(QStringLiteral("Critical clearing study"));
    closeOnEscape(this);
    m_font = font();

    m_parameter = new QComboBox(this);
    m_parameter->setObjectName(QStringLiteral("Parameter"));
    for (StudyParameter p : studyParameters())
        m_parameter->addItem(caption(p), static_cast<int>(p));
    describe(m_parameter, QStringLiteral("Value to vary"),
             QStringLiteral("The value of the case that the study varies over its range."));
    m_from = new QLineEdit(this);
    m_from->setObjectName(QStringLiteral("From"));
    describe(m_from, QStringLiteral("From"), QStringLiteral("The first value of the range."));
    m_to = new QLineEdit(this);
    m_to->setObjectName(QStringLiteral("To"));
    describe(m_to, QStringLiteral("To"), QStringLiteral("The last value of the range."));
    m_points = new QSpinBox(this);
    m_points->setObjectName(QStringLiteral("Points"));
    m_points->setRange(MinStudyPoints, MaxStudyPoints);
    m_points->setValue(50);
    describe(m_points, QStringLiteral("Points"),
             QStringLiteral("How many values, in even steps from the first to the last."));
    m_start = new QPushButton(QStringLiteral("&Start"), this);
    m_start->setObjectName(QStringLiteral("Start"));
    m_start->setAutoDefault(true);
    describe(m_start, QStringLiteral("Start"),
             QStringLiteral("Studies the range on the case as it stands."));
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Cancel"));
    describe(m_cancel, QStringLiteral("Cancel"), QStringLiteral("Stops the study."));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("Progress"));
    m_progress->setAccessibleName(QStringLiteral("Points studied"));
    m_progress->setValue(0);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("Status"));
    // Refusals quote what the user typed: shown as typed, never as markup.
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    m_status->setAccessibleName(QStringLiteral("Study status"));

    auto *controls = new QGridLayout;
    const auto labelled = [&](int column, const QString &text, QWidget *control) {
        auto *label = new QLabel(text, this);
        label->setBuddy(control);
        controls->addWidget(label, 0, column);
        controls->addWidget(control, 1, column);
    };
    labelled(0, QStringLiteral("&Parameter"), m_parameter);
    labelled(1, QStringLiteral("F&rom"), m_from);
    labelled(2, QStringLiteral("&To"), m_to);
    labelled(3, QStringLiteral("P&oints"), m_points);
    controls->addWidget(m_start, 1, 4);
    controls->addWidget(m_cancel, 1, 5);
    controls->setColumnStretch(1, 1);
    controls->setColumnStretch(2, 1);

    m_chart = new QChart;
    m_chart->setAnimationOptions(QChart::NoAnimation);
    m_chart->setBackgroundRoundness(0);
    m_chart->setBackgroundBrush(Qt::white);
    m_chart->layout()->setContentsMargins(0, 0, 0, 0);
    m_chart->setMargins(QMargins(ChartMargin, ChartMargin, ChartMargin, ChartMargin));
    // Beside the plot, where each name fits whole, with the shape of its markers.
    m_chart->legend()->setAlignment(Qt::AlignRight);
    m_chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    // The axes' numbers with the user's decimal separator, without thousands separators.
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    m_chart->setLocale(locale);
    m_chart->setLocalizeNumbers(true);
    m_xAxis = new QValueAxis;
    m_yAxis = new QValueAxis;
    for (QValueAxis *axis : {m_xAxis, m_yAxis}) {
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0);
        QFont font = axis->titleFont();
        font.setBold(false);
        axis->setTitleFont(font);
    }
    m_yAxis->setTitleText(QStringLiteral("Critical clearing time (ms)"));
    m_chart->addAxis(m_xAxis, Qt::AlignBottom);
    m_chart->addAxis(m_yAxis, Qt::AlignLeft);
    // The legend in this order: the curves, the markers, the present case. A curve's first
    // piece names it; the pieces after it are added for a study that needs them.
    for (auto [curve, name, colour] :
         {std::tuple{&m_criterion, QStringLiteral("equal-area criterion"), CriterionColour},
          std::tuple{&m_simulation, QStringLiteral("simulation: first out-of-step clearing"),
                     SimulationColour}})
        curve->push_back(addPiece(name, colour, true));
    m_always = addMarkers(QStringLiteral("criterion: always stable"), CriterionColour,
                          QScatterSeries::MarkerShapeTriangle, false);
    m_never = addMarkers(QStringLiteral("criterion: never stable"), CriterionColour,
                         QScatterSeries::MarkerShapeRectangle, false);
    m_inStep = addMarkers(QStringLiteral("simulation: in step up to %1 ms").arg(SearchLimitMs),
                          SimulationColour, QScatterSeries::MarkerShapeTriangle, true);
    m_present = addLine(QStringLiteral("present case"), QPen(PresentColour), true);
    m_view = new QChartView(m_chart, this);
    m_view->setObjectName(QStringLiteral("StudyChart"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setMinimumSize(360, 240);
    m_view->viewport()->installEventFilter(this);
    describe(m_view, QStringLiteral("Critical clearing time against the value studied"),
             QStringLiteral("The equal-area criterion's critical clearing time and the "
                            "simulation's first out-of-step clearing time. Hover a point for "
                            "its numbers; click it to take its value into the case."));

    m_saveCsv = new QPushButton(QStringLiteral("Save CS&V..."), this);
    m_saveCsv->setObjectName(QStringLiteral("SaveCsv"));
    describe(m_saveCsv, QStringLiteral("Save study as CSV"),
             QStringLiteral("The study's points as a CSV file."));
    m_savePicture = new QPushButton(QStringLiteral("Save p&icture..."), this);
    m_savePicture->setObjectName(QStringLiteral("SavePicture"));
    describe(m_savePicture, QStringLiteral("Save picture of the study"),
             QStringLiteral("The chart as a PNG picture."));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_saveCsv);
    buttons->addWidget(m_savePicture);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);

    for (QValueAxis *axis : {m_xAxis, m_yAxis}) {
        m_chartFonts.emplace_back(axis->labelsFont(),
                                  [axis](const QFont &f) { axis->setLabelsFont(f); });
        m_chartFonts.emplace_back(axis->titleFont(),
                                  [axis](const QFont &f) { axis->setTitleFont(f); });
    }
    m_chartFonts.emplace_back(m_chart->legend()->font(),
                              [this](const QFont &f) { m_chart->legend()->setFont(f); });

    connect(m_parameter, &QComboBox::currentIndexChanged, this, &StudyWindow::chooseParameter);
    connect(m_start, &QPushButton::clicked, this, &StudyWindow::start);
    connect(m_cancel, &QPushButton::clicked, this, &StudyWindow::cancel);
    connect(m_saveCsv, &QPushButton::clicked, this, &StudyWindow::saveCsv);
    connect(m_savePicture, &QPushButton::clicked, this, &StudyWindow::savePicture);
    connect(&m_session, &DravexSession::caseChanged, this, &StudyWindow::showCase);
    connect(&m_study, &BackgroundStudy::progressed, m_progress, &QProgressBar::setValue);
    connect(&m_study, &BackgroundStudy::finished, this,
            [this](const FinishedStudy &done) { showEnd(done); });
    connect(&m_study, &BackgroundStudy::cancelled, this, [this] { showEnd(std::nullopt); });

    showRunning(false);
    chooseParameter();
    fitAxes();
    styleSeries();
    resize(900, 560);
}

QLineSeries *StudyWindow::addLine(const QString &name, const QPen &pen, bool inLegend) {
    auto *series = new QLineSeries;
    series->setName(name);
    series->setPen(pen);
    m_chart->addSeries(series);
    series->attachAxis(m_xAxis);
    series->attachAxis(m_yAxis);
    if (!inLegend)
        for (QLegendMarker *marker : m_chart->legend()->markers(series)) marker->setVisible(false);
    return series;
}

QLineSeries *StudyWindow::addPiece(const QString &name, const QColor &colour, bool inLegend) {
    QLineSeries *piece = addLine(name, QPen(colour), inLegend);
    piece->setPointsVisible(true);
    return piece;
}

QScatterSeries *StudyWindow::addMarkers(const QString &name, const QColor &colour, int shape,
                                        bool filled) {
    auto *series = new QScatterSeries;
    series->setName(name);
    series->setMarkerShape(static_cast<QScatterSeries::MarkerShape>(shape));
    series->setColor(filled ? colour : QColor(Qt::white));
    series->setBorderColor(colour);
    m_chart->addSeries(series);
    series->attachAxis(m_xAxis);
    series->attachAxis(m_yAxis);
    return series;
}

int StudyWindow::pointAt(QPoint at) const {
    if (!m_shown) return -1;
    // The points of the curves and the markers within reach of the pointer, on the screen:
    // the nearest is the one meant. A curve's point and a marker stand for their study
    // point by their value, which is its exactly.
    const QPointF pointer = m_chart->mapFromScene(m_view->mapToScene(at));
    const double reach = 8 * m_zoom;
    double nearest = reach * reach;
    std::optional<double> value;
    std::vector<QXYSeries *> drawn(m_criterion.begin(), m_criterion.end());
    drawn.insert(drawn.end(), m_simulation.begin(), m_simulation.end());
    drawn.insert(drawn.end(), {m_always, m_never, m_inStep});
    for (QXYSeries *series : drawn)
        for (const QPointF &p : series->points()) {
            const QPointF d = m_chart->mapToPosition(p, series) - pointer;
            if (const double squared = QPointF::dotProduct(d, d); squared <= nearest) {
                nearest = squared;
                value = p.x();
            }
        }
    if (!value) return -1;
    const auto &points = m_shown->points;
    const auto found = std::find_if(points.begin(), points.end(),
                                    [&](const StudyPoint &p) { return p.value == *value; });
    return found == points.end() ? -1 : static_cast<int>(found - points.begin());
}

bool StudyWindow::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_view->viewport()) return QWidget::eventFilter(watched, event);
    // Qt Charts hands hovering to the topmost series alone, so the markers' series would
    // keep it from the curves: the window finds the point under the pointer itself, as the
    // pointer moves and when it rests (where the chart's scene would hide the tip).
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::ToolTip) {
        const auto [at, global] =
            event->type() == QEvent::MouseMove
                ? std::pair{static_cast<QMouseEvent *>(event)->position().toPoint(),
                            static_cast<QMouseEvent *>(event)->globalPosition().toPoint()}
                : std::pair{static_cast<QHelpEvent *>(event)->pos(),
                            static_cast<QHelpEvent *>(event)->globalPos()};
        const int i = pointAt(at);
        if (i < 0)
            QToolTip::hideText();
        else
            QToolTip::showText(global, pointText(i), m_view);
        return event->type() == QEvent::ToolTip;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const int i = mouse->button() == Qt::LeftButton ? pointAt(mouse->position().toPoint()) : -1;
        if (i >= 0) {
            QToolTip::hideText();
            offerTakeOver(i);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void StudyWindow::styleSeries() {
    const int width = zoomedLineWidth(m_zoom);
    const double marker = 7 * m_zoom; // the markers; a curve's points are smaller
    for (auto *curve : {&m_criterion, &m_simulation})
        for (QLineSeries *piece : *curve) {
            QPen pen = piece->pen();
            pen.setWidth(2 * width);
            piece->setPen(pen);
            piece->setMarkerSize(marker / 2);
        }
    QPen present(PresentColour, width, Qt::DashLine);
    m_present->setPen(present);
    for (QScatterSeries *markers : {m_always, m_never, m_inStep}) {
        markers->setMarkerSize(markers == m_inStep ? marker : 1.6 * marker);
        QPen pen = markers->pen();
        pen.setWidth(width);
        markers->setPen(pen);
    }
}

void StudyWindow::setZoom(double zoom) {
    if (zoom == m_zoom) return;
    const double grow = zoom / m_zoom;
    m_zoom = zoom;
    setFont(LayoutZoom::scaled(m_font, zoom));
    for (const auto &[font, set] : m_chartFonts) set(LayoutZoom::scaled(font, zoom));
    const int margin = LayoutZoom::scaled(QSize(ChartMargin, ChartMargin), zoom).width();
    m_chart->setMargins(QMargins(margin, margin, margin, margin));
    m_view->setMinimumSize(LayoutZoom::scaled(QSize(360, 240), zoom));
    styleSeries();
    // The window as the user left it, grown with the zoom, as far as the screen holds it.
    QSize size = LayoutZoom::scaled(this->size(), grow);
    if (const QScreen *s = screen()) size = size.boundedTo(s->availableGeometry().size());
    resize(size);
    if (isVisible()) keepOnScreen(this);
}

void StudyWindow::setStatus(const QString &text) {
    m_status->setText(text);
}

void StudyWindow::showRunning(bool running) {
    // The focus goes from the button pressed to the other one, so that Space presses it.
    QPushButton *now = running ? m_cancel : m_start, *before = running ? m_start : m_cancel;
    now->setEnabled(true);
    if (before->hasFocus()) now->setFocus();
    before->setEnabled(false);
    m_saveCsv->setEnabled(!running && m_shown.has_value());
    m_savePicture->setEnabled(!running && m_shown.has_value());
}

void StudyWindow::chooseParameter() {
    const auto p = static_cast<StudyParameter>(m_parameter->currentData().toInt());
    const StabilityCase &c = m_session.studyCase();
    const StudyRange r = defaultStudyRange(c, p);
    m_from->setText(formatGeneral(r.from));
    m_to->setText(formatGeneral(r.to));
    // A value the case's network lacks says so at once, as Start would.
    const auto refusal = checkStudy(c, r, LocalNumber);
    if (!running()) setStatus(refusal ? QString::fromStdString(*refusal) : QString());
}

bool StudyWindow::start() {
    if (running()) return false;
    StudyRange range;
    range.parameter = static_cast<StudyParameter>(m_parameter->currentData().toInt());
    range.points = m_points->value();
    for (auto [field, value] : {std::pair{m_from, &range.from}, std::pair{m_to, &range.to}}) {
        try {
            *value = textToFloat(field->text());
        } catch (const ConversionError &e) {
            setStatus(e.messageFor(field->accessibleName()));
            return false;
        }
    }
    const StabilityCase &c = m_session.studyCase();
    if (const auto refusal = checkStudy(c, range, LocalNumber)) {
        setStatus(QString::fromStdString(*refusal));
        return false;
    }
    m_study.start(c, range, SearchLimitMs);
    m_progress->setRange(0, range.points);
    m_progress->setValue(0);
    setStatus(QStringLiteral("Studying %1...").arg(rangeText(range)));
    showRunning(true);
    return true;
}

void StudyWindow::cancel() {
    if (!running()) return;
    m_study.cancel();
    setStatus(QStringLiteral("Cancelling the study..."));
}

void StudyWindow::closeEvent(QCloseEvent *event) {
    cancel();
    QWidget::closeEvent(event);
}

void StudyWindow::showEnd(const std::optional<FinishedStudy> &done) {
    if (!done) {
        setStatus(QStringLiteral("Study cancelled after %1 of %2 points.")
                      .arg(m_progress->value())
                      .arg(m_progress->maximum()));
    } else {
        m_shown = done;
        showStudy();
        setStatus(QStringLiteral("%1: done. Hover a point for its numbers; click it to take its "
                                 "value into the case.")
                      .arg(rangeText(done->range)));
    }
    showRunning(false);
    emit studyEnded();
}

void StudyWindow::showStudy() {
    const FinishedStudy &s = *m_shown;
    m_xAxis->setTitleText(caption(s.range.parameter));
    // A curve is broken where it has no number, rather than drawn across the gap: a piece
    // for each stretch of points that have one.
    const auto fill = [this, &s](std::vector<QLineSeries *> &curve, auto valueOf) {
        for (std::size_t i = 1; i < curve.size(); ++i) {
            m_chart->removeSeries(curve[i]);
            delete curve[i];
        }
        curve.resize(1);
        std::vector<QList<QPointF>> stretches(1);
        for (const StudyPoint &p : s.points) {
            if (const std::optional<double> y = valueOf(p))
                stretches.back().append(QPointF(p.value, *y));
            else if (!stretches.back().isEmpty())
                stretches.emplace_back();
        }
        for (std::size_t i = 0; i < stretches.size(); ++i) {
            if (i > 0 && stretches[i].isEmpty()) continue; // after the last stretch
            if (i == curve.size())
                curve.push_back(addPiece(curve.front()->name(), curve.front()->color(), false));
            curve[i]->replace(stretches[i]);
        }
    };
    fill(m_criterion, [](const StudyPoint &p) -> std::optional<double> {
        if (p.criterion.altijdStabiel || p.criterion.nooitStabiel) return std::nullopt;
        return static_cast<double>(p.criterion.tijd * 1000);
    });
    fill(m_simulation, [](const StudyPoint &p) -> std::optional<double> {
        if (const auto ms = firstOutOfStepMs(p.simulation)) return double(*ms);
        return std::nullopt;
    });
    styleSeries();
    fitAxes();
}

void StudyWindow::fitAxes() {
    if (!m_shown) {
        setTicks(m_xAxis, 0, 1, 0.2);
        setTicks(m_yAxis, 0, 500, 100);
        nameMarkers();
        return;
    }
    const FinishedStudy &s = *m_shown;
    const double lo = std::min(s.range.from, s.range.to), hi = std::max(s.range.from, s.range.to);
    const double present = studyParameterValue(m_session.studyCase(), s.range.parameter);
    double top = 0;
    for (const auto *curve : {&m_criterion, &m_simulation})
        for (const QLineSeries *piece : *curve)
            for (const QPointF &p : piece->points()) top = std::max(top, p.y());
    const double yStep = niceStep(top > 0 ? top : 500);
    top = std::max(yStep, std::ceil(top / yStep) * yStep);
    // Room beyond the ends, so the markers there show whole.
    const double xStep = niceStep(hi - lo);
    const double left = lo - (hi - lo) * 0.03, right = hi + (hi - lo) * 0.03;
    setTicks(m_xAxis, left, right, xStep);
    setTicks(m_yAxis, 0 - top * 0.03, top * 1.04, yStep);

    // Where a curve has no number, a marker says why: the criterion stable whatever the
    // clearing time (at the top) or never (at 0), the simulation in step at every clearing
    // time it tried (at the top, or at the last it tried when the axis goes beyond it).
    QList<QPointF> always, never, inStep;
    for (const StudyPoint &p : s.points) {
        if (p.criterion.altijdStabiel) always.append(QPointF(p.value, top));
        if (p.criterion.nooitStabiel) never.append(QPointF(p.value, 0));
        if (!firstOutOfStepMs(p.simulation))
            inStep.append(QPointF(p.value, std::min<double>(top, p.simulation.limitMs)));
    }
    m_always->replace(always);
    m_never->replace(never);
    m_inStep->replace(inStep);
    // A present case outside the range is marked at the axis's end and named there, rather
    // than stretching the axis until the study's curves are a vertical line.
    const bool inside = present >= left && present <= right;
    const double at = inside ? present : present < left ? left : right;
    m_present->setName(
        inside ? QStringLiteral("present case")
               : QStringLiteral("present case: %1, %2")
                     .arg(valueText(s.range.parameter, present),
                          present < left ? QStringLiteral("below") : QStringLiteral("beyond")));
    m_present->replace(QList<QPointF>{QPointF(at, 0), QPointF(at, top)});
    nameMarkers();
}

void StudyWindow::nameMarkers() {
    // The legend names the markers the study shown has.
    const std::initializer_list<QXYSeries *> named{m_always, m_never, m_inStep, m_present};
    for (QXYSeries *series : named)
        for (QLegendMarker *entry : m_chart->legend()->markers(series))
            entry->setVisible(series->count() > 0);
    m_chart->legend()->layout()->invalidate();
}

void StudyWindow::showCase() {
    if (!m_shown) return;
    fitAxes(); // the present case's mark
    const StudyParameter p = m_shown->range.parameter;
    StabilityCase now = m_session.studyCase();
    setStudyParameter(now, p, studyParameterValue(m_shown->studied, p));
    if (!running() &&
        (now.machine != m_shown->studied.machine || now.scenario != m_shown->studied.scenario))
        setStatus(QStringLiteral("The case has changed since this study in more than %1: Start "
                                 "studies it again.")
                      .arg(nameOf(p)));
}

QString StudyWindow::pointText(int index) const {
    if (!m_shown || index < 0 || index >= int(m_shown->points.size())) return {};
    const StudyPoint &p = m_shown->points[std::size_t(index)];
    const KritiekeAfschakeling &k = p.criterion;
    const QString criterion =
        k.altijdStabiel  ? QStringLiteral("criterion: always stable, whatever the clearing time")
        : k.nooitStabiel ? QStringLiteral("criterion: never stable, whatever the clearing time")
                         : QStringLiteral("criterion: clears up to %1 ms, at %2\u00B0")
                               .arg(formatGeneralDigits(k.tijd * 1000, 4),
                                    formatGeneralDigits(k.hoek * 180 / Pi, 4));
    const auto ms = firstOutOfStepMs(p.simulation);
    const QString simulation =
        ms ? QStringLiteral("simulation: out of step from %1 ms").arg(*ms)
           : QStringLiteral("simulation: in step up to %1 ms").arg(p.simulation.limitMs);
    return QStringLiteral("%1\n%2\n%3")
        .arg(valueText(m_shown->range.parameter, p.value), criterion, simulation);
}

void StudyWindow::offerTakeOver(int index) {
    if (!m_shown || index < 0 || index >= int(m_shown->points.size())) return;
    const StudyParameter p = m_shown->range.parameter;
    const double value = m_shown->points[std::size_t(index)].value;
    StabilityCase c = m_session.studyCase();
    setStudyParameter(c, p, value);
    QMessageBox box(QMessageBox::Question, windowTitle(),
                    QStringLiteral("Set %1 to %2 in the case?")
                        .arg(nameOf(p), formatGeneral(studyParameterValue(c, p))),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName(QStringLiteral("TakeOver"));
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(pointText(index));
    if (runModal(box, m_runner) != QMessageBox::Yes) return;
    // The case may have changed since the study, to one that cannot take the value.
    if (const auto problem = checkCase(c, LocalNumber)) {
        showErrorReport(this, QString::fromStdString(problem->message), m_runner);
        return;
    }
    if (takeCase) takeCase(c);
}

void StudyWindow::saveCsv() {
    if (!m_shown) return;
    // Taken before the dialog: a study may end while it is open.
    const QByteArray csv =
        studyCsv(m_shown->studied, m_shown->range, SearchLimitMs, m_shown->points);
    const QString fileName =
        m_files.chooseFile(this, QStringLiteral("Save study"),
                           QStringLiteral("dravex-study-%1.csv")
                               .arg(QLatin1String(studyParameterKey(m_shown->range.parameter))),
                           QStringLiteral("CSV files (*.csv)"));
    if (fileName.isEmpty()) return;
    if (auto failure = writeThroughTemporaryFile(fileName, csv))
        showWriteFailure(this, fileName, *failure, m_runner);
}

void StudyWindow::savePicture() {
    if (!m_shown) return;
    // The picture stands alone: it says what was studied, and on which case.
    const StabilityCase &c = m_shown->studied;
    // The title is rich text: the texts escaped, the network's keys on a line of their
    // own so that the case is not cut short.
    m_chart->setTitle(
        QStringLiteral("Critical clearing time against %1<br>case %2")
            .arg(rangeText(m_shown->range).toHtmlEscaped(),
                 caseKeys(c.machine, c.clearingMs, c.scenario)
                     .toHtmlEscaped()
                     .replace(QStringLiteral(" network="), QStringLiteral("<br>network="))));
    // The chart lays its title out at once, not on the next event, so the picture has it.
    m_chart->layout()->activate();
    const QImage picture = m_view->grab().toImage();
    m_chart->setTitle(QString());
    m_chart->layout()->activate();
    m_files.savePicture(this, picture, m_runner, QStringLiteral("dravex-study.png"));
}
