#include "equivalentplot.h"

#include "labelplacement.h"
#include "numberformat.h"
#include "rounding.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <limits>
#include <tuple>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Degree = Pi / 180;
// Values beyond these are drawn as if they were no number: a runaway angle of a thousand
// turns or a power of a million pu tells nothing on a picture, and would overflow it.
constexpr double LargestDrawnAngle = 1e4; // rad
constexpr double LargestDrawnPower = 1e6; // pu

using multimachine::EquivalentCurve;

bool finite(const QPointF &p) {
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

bool drawable(const QPointF &p) {
    return finite(p) && std::abs(p.x()) <= LargestDrawnAngle &&
           std::abs(p.y()) <= LargestDrawnPower;
}

bool usable(const EquivalentCurve &c) {
    return std::isfinite(c.pc) && std::isfinite(c.pmax) && std::isfinite(c.v);
}

// Pe = pc + pmax sin(delta - v), evaluated here so that the drawing needs no more of the
// model than the curves' three numbers.
double curveAt(const EquivalentCurve &c, double delta) {
    return c.pc + c.pmax * std::sin(delta - c.v);
}

std::optional<double> finiteAngle(std::optional<double> a) {
    return a && std::isfinite(*a) ? a : std::nullopt;
}

enum class AreaKind { None, Accelerating, Decelerating };

struct AreaPiece {
    QPointF from, to;
    AreaKind kind = AreaKind::None;
    // (Pm - Pe) integrated over the piece, trapezoidal: positive where it accelerates.
    double surplus(double pm) const { return (to.x() - from.x()) * (pm - (from.y() + to.y()) / 2); }
};

// The first forward swing cut where Pe crosses the Pm line and at the clearing angle, so
// that each piece lies wholly on one side of both. A jump of Pe at one angle (the fault's
// start, its clearing) holds no area.
std::vector<AreaPiece> swingPieces(const std::vector<QPointF> &points, double pm,
                                   std::optional<double> clearing) {
    std::vector<AreaPiece> pieces;
    if (!std::isfinite(pm)) return pieces;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const QPointF a = points[i - 1], b = points[i];
        if (b.x() < a.x()) break; // the swing turned back: the areas are whole
        if (b.x() == a.x()) continue;
        std::array<double, 2> cuts{};
        std::size_t n = 0;
        const double fa = pm - a.y(), fb = pm - b.y();
        if ((fa > 0 && fb < 0) || (fa < 0 && fb > 0))
            cuts[n++] = a.x() + (b.x() - a.x()) * fa / (fa - fb);
        if (clearing && a.x() < *clearing && *clearing < b.x()) cuts[n++] = *clearing;
        std::sort(cuts.begin(), cuts.begin() + static_cast<std::ptrdiff_t>(n));
        QPointF from = a;
        for (std::size_t k = 0; k <= n; ++k) {
            const double t = k < n ? (cuts[k] - a.x()) / (b.x() - a.x()) : 1;
            const QPointF to = k < n ? a + (b - a) * t : b;
            const QPointF mid = (from + to) / 2;
            AreaKind kind = AreaKind::None;
            if (mid.y() > pm)
                kind = AreaKind::Decelerating;
            else if (mid.y() < pm && (!clearing || mid.x() < *clearing))
                kind = AreaKind::Accelerating;
            pieces.push_back({from, to, kind});
            from = to;
        }
    }
    return pieces;
}

std::pair<double, double> areasOf(const std::vector<AreaPiece> &pieces, double pm) {
    double a1 = 0, a2 = 0;
    for (const AreaPiece &p : pieces) {
        if (p.kind == AreaKind::Accelerating) a1 += p.surplus(pm);
        if (p.kind == AreaKind::Decelerating) a2 -= p.surplus(pm);
    }
    return {a1, a2};
}

std::vector<QPointF> drawablePoints(const std::vector<QPointF> &points) {
    std::vector<QPointF> kept;
    kept.reserve(points.size());
    std::copy_if(points.begin(), points.end(), std::back_inserter(kept), drawable);
    return kept;
}

// Every stride-th point, the last, and the points where the swing turns or passes the
// clearing angle (those at most as many again), so that a long run costs the same to draw
// as a short one and its corners stay where they were.
std::vector<QPointF> thinned(const std::vector<QPointF> &points, std::optional<double> clearing) {
    const std::size_t n = points.size();
    const std::size_t half = MaxDrawnTrajectoryPoints / 2;
    if (n <= MaxDrawnTrajectoryPoints) return points;
    const std::size_t stride = (n + half - 1) / half;
    std::vector<QPointF> kept;
    std::size_t extra = 0;
    for (std::size_t i = 0; i < n; ++i) {
        bool corner = false;
        if (i > 0 && i + 1 < n) {
            const double before = points[i].x() - points[i - 1].x();
            const double after = points[i + 1].x() - points[i].x();
            corner = (before > 0) != (after > 0);
            if (clearing) {
                const double lo = std::min(points[i - 1].x(), points[i + 1].x());
                const double hi = std::max(points[i - 1].x(), points[i + 1].x());
                corner = corner || (lo <= *clearing && *clearing <= hi);
            }
        }
        if (corner && extra < half)
            ++extra;
        else if (!(i % stride == 0 || i + 1 == n))
            continue;
        kept.push_back(points[i]);
    }
    return kept;
}

// A step in degrees that the angles students know fall on: 15, 30, 45, 90, 180, then
// whole turns doubled.
double angleStep(double spanDegrees, int wanted) {
    for (double step : {15.0, 30.0, 45.0, 90.0, 180.0})
        if (spanDegrees / step <= wanted) return step;
    double step = 360;
    while (spanDegrees / step > wanted) step *= 2;
    return step;
}

struct Frame {
    QRectF plot;
    double x0 = 0, x1 = Pi, y0 = 0, y1 = 1; // rad, pu
    QPointF map(double delta, double p) const {
        return {plot.left() + (delta - x0) / (x1 - x0) * plot.width(),
                plot.bottom() - (p - y0) / (y1 - y0) * plot.height()};
    }
    QPointF map(const QPointF &dp) const { return map(dp.x(), dp.y()); }
};

struct Curve {
    const EquivalentCurve *curve;
    QString name;
    QColor colour;
    Qt::PenStyle style;
};

QPen pen(const QColor &c, double width, Qt::PenStyle style = Qt::SolidLine) {
    QPen p(c, width, style);
    p.setCapStyle(Qt::FlatCap);
    return p;
}

QString number(double v) {
    return formatGeneralDigits(v, 6);
}

QRectF textBox(const QFontMetricsF &fm, const QString &text, QPointF anchor, Qt::Alignment align) {
    const QSizeF s(fm.horizontalAdvance(text), fm.height());
    QPointF topLeft = anchor;
    if (align & Qt::AlignHCenter) topLeft.rx() -= s.width() / 2;
    if (align & Qt::AlignRight) topLeft.rx() -= s.width();
    if (align & Qt::AlignVCenter) topLeft.ry() -= s.height() / 2;
    if (align & Qt::AlignBottom) topLeft.ry() -= s.height();
    return {topLeft, s};
}

void fillArea(QPainter &p, const Frame &f, const std::vector<AreaPiece> &pieces, double pm,
              AreaKind kind, const QColor &colour, Qt::BrushStyle hatch, double scale) {
    QPainterPath path;
    std::vector<QPointF> run;
    for (std::size_t i = 0; i <= pieces.size(); ++i) {
        const bool ends = i == pieces.size() || pieces[i].kind != kind ||
                          (!run.empty() && pieces[i].from != run.back());
        if (ends && run.size() >= 2) {
            QPolygonF polygon;
            for (const QPointF &q : run) polygon << f.map(q);
            polygon << f.map(run.back().x(), pm) << f.map(run.front().x(), pm);
            path.addPolygon(polygon);
            path.closeSubpath();
        }
        if (ends) run.clear();
        if (i == pieces.size() || pieces[i].kind != kind) continue;
        if (run.empty()) run.push_back(pieces[i].from);
        run.push_back(pieces[i].to);
    }
    if (path.isEmpty()) return;
    QColor translucent = colour;
    translucent.setAlpha(60);
    p.fillPath(path, translucent);
    QBrush lines(colour.darker(130), hatch);
    lines.setTransform(QTransform::fromScale(scale, scale));
    p.fillPath(path, lines);
}

// Where a name goes at the middle of an area: the pieces' centres weighted by their area.
std::optional<QPointF> areaCentre(const std::vector<AreaPiece> &pieces, double pm, AreaKind kind) {
    double weight = 0, x = 0, y = 0;
    for (const AreaPiece &p : pieces) {
        if (p.kind != kind) continue;
        const double a = std::abs(p.surplus(pm));
        const QPointF mid = (p.from + p.to) / 2;
        weight += a;
        x += a * mid.x();
        y += a * (pm + mid.y()) / 2;
    }
    if (!(weight > 0)) return std::nullopt;
    return QPointF(x / weight, y / weight);
}

} // namespace

std::pair<double, double> equivalentAreas(const EquivalentPlotState &state) {
    std::vector<QPointF> points;
    points.reserve(state.trajectory.size());
    std::copy_if(state.trajectory.begin(), state.trajectory.end(), std::back_inserter(points),
                 [](const QPointF &p) { return finite(p); });
    const double pm = state.mechanicalPower;
    return areasOf(swingPieces(points, pm, finiteAngle(state.clearingAngle)), pm);
}

void paintEquivalentPlot(QPainter &painter, const QRectF &area, const EquivalentPlotState &state) {
    if (!area.isValid() || !std::isfinite(area.width()) || !std::isfinite(area.height()) ||
        area.width() > 1e5 || area.height() > 1e5)
        return;
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    painter.fillRect(area, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);

    // Text and lines grow with the picture, so that it reads the same at every zoom.
    const double em = std::clamp(std::min(area.width() / 40, area.height() / 28), 6.0, 200.0);
    const double line = std::max(1.0, em / 10);
    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(std::lround(em)));
    painter.setFont(font);
    const QFontMetricsF fm(font, painter.device());

    const double pm =
        std::isfinite(state.mechanicalPower) && std::abs(state.mechanicalPower) <= LargestDrawnPower
            ? state.mechanicalPower
            : std::numeric_limits<double>::quiet_NaN();
    const std::optional<double> delta0 =
        std::isfinite(state.delta0) && std::abs(state.delta0) <= LargestDrawnAngle
            ? std::optional<double>(state.delta0)
            : std::nullopt;
    const auto drawnAngle = [](std::optional<double> a) {
        return a && std::isfinite(*a) && std::abs(*a) <= LargestDrawnAngle ? a : std::nullopt;
    };
    const std::optional<double> critical = drawnAngle(state.criticalAngle);
    const std::optional<double> clearing = drawnAngle(state.clearingAngle);
    const std::vector<QPointF> trajectory = thinned(drawablePoints(state.trajectory), clearing);

    // The angle axis from 0 to 180 degrees, further where anything shown lies beyond.
    Frame f;
    double lo = 0, hi = Pi;
    for (const QPointF &q : trajectory) lo = std::min(lo, q.x()), hi = std::max(hi, q.x());
    for (const auto &a : {delta0, critical, clearing})
        if (a) lo = std::min(lo, *a), hi = std::max(hi, *a);

    const double top = 1.8 * em, bottom = 2.9 * em, right = 1.2 * em;
    const double plotHeight = area.height() - top - bottom;
    const double plotWidthGuess = area.width() - 5 * em - right;
    if (plotHeight < 2 * em || plotWidthGuess < 4 * em) {
        painter.restore();
        return;
    }
    const int xWanted = std::clamp(static_cast<int>(plotWidthGuess / (4 * em)), 2, 8);
    const double xStep = angleStep((hi - lo) / Degree, xWanted) * Degree;
    f.x0 = std::floor(lo / xStep + 1e-9) * xStep;
    f.x1 = std::ceil(hi / xStep - 1e-9) * xStep;

    // The curves sampled over it, at least 96 samples a turn, at most 3000.
    const Curve curves[] = {
        {&state.preFault, QStringLiteral("pre-fault"), QColor(0, 70, 180), Qt::SolidLine},
        {&state.faulted, QStringLiteral("faulted"), QColor(205, 85, 0), Qt::DashLine},
        {&state.postFault, QStringLiteral("post-fault"), QColor(125, 35, 155), Qt::DashDotLine},
    };
    const int samples = static_cast<int>(std::clamp((f.x1 - f.x0) / (2 * Pi) * 96, 100.0, 3000.0));
    std::vector<std::vector<QPointF>> sampled;
    double pLo = 0, pHi = 0;
    for (const Curve &c : curves) {
        std::vector<QPointF> pts;
        if (usable(*c.curve) &&
            std::abs(c.curve->pc) + std::abs(c.curve->pmax) <= LargestDrawnPower)
            for (int i = 0; i <= samples; ++i) {
                const double d = f.x0 + (f.x1 - f.x0) * i / samples;
                pts.emplace_back(d, curveAt(*c.curve, d));
            }
        for (const QPointF &q : pts) pLo = std::min(pLo, q.y()), pHi = std::max(pHi, q.y());
        sampled.push_back(std::move(pts));
    }
    for (const QPointF &q : trajectory) pLo = std::min(pLo, q.y()), pHi = std::max(pHi, q.y());
    if (std::isfinite(pm)) pLo = std::min(pLo, pm), pHi = std::max(pHi, pm);
    if (pHi - pLo < 1e-9) pHi = pLo + 1;
    pHi += 0.04 * (pHi - pLo); // room above the highest peak
    const int yWanted = std::clamp(static_cast<int>(plotHeight / (2.5 * em)), 2, 8);
    const double yStep = niceStep(pHi - pLo, yWanted);
    f.y0 = std::floor(pLo / yStep + 1e-9) * yStep;
    f.y1 = std::ceil(pHi / yStep - 1e-9) * yStep;

    // The power axis' numbers set the left margin.
    std::vector<std::pair<double, QString>> yTicks;
    double labelWidth = 0;
    for (double k = std::round(f.y0 / yStep); k * yStep <= f.y1 + yStep * 1e-6; k += 1) {
        const double v = std::abs(k) < 0.5 ? 0 : k * yStep;
        yTicks.emplace_back(v, number(v));
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(yTicks.back().second));
    }
    const double left = labelWidth + 1.2 * em;
    f.plot = QRectF(area.left() + left, area.top() + top, area.width() - left - right, plotHeight);
    if (f.plot.width() < 4 * em) {
        painter.restore();
        return;
    }

    // Grid, then the areas, so that every line stays on top of them.
    painter.setPen(pen(QColor(225, 225, 225), line));
    for (const auto &[v, text] : yTicks) painter.drawLine(f.map(f.x0, v), f.map(f.x1, v));
    for (double d = f.x0; d <= f.x1 + xStep * 1e-6; d += xStep)
        painter.drawLine(f.map(d, f.y0), f.map(d, f.y1));

    const std::vector<AreaPiece> pieces = swingPieces(trajectory, pm, clearing);
    const double hatchScale = std::max(1.0, em / 10);
    fillArea(painter, f, pieces, pm, AreaKind::Accelerating, QColor(220, 60, 40), Qt::BDiagPattern,
             hatchScale);
    fillArea(painter, f, pieces, pm, AreaKind::Decelerating, QColor(20, 130, 190), Qt::FDiagPattern,
             hatchScale);

    // Axes with their ticks and numbers.
    painter.setPen(pen(Qt::black, line));
    painter.drawRect(f.plot);
    if (f.y0 < 0 && f.y1 > 0) painter.drawLine(f.map(f.x0, 0), f.map(f.x1, 0));
    const double tick = 0.4 * em;
    for (const auto &[v, text] : yTicks) {
        const QPointF at = f.map(f.x0, v);
        painter.drawLine(at, at - QPointF(tick, 0));
        painter.drawText(
            textBox(fm, text, at - QPointF(tick + 0.2 * em, 0), Qt::AlignRight | Qt::AlignVCenter),
            Qt::AlignCenter, text);
    }
    for (double k = std::round(f.x0 / xStep); k * xStep <= f.x1 + xStep * 1e-6; k += 1) {
        const QPointF at = f.map(k * xStep, f.y0);
        const QString text = number(std::abs(k) < 0.5 ? 0 : k * xStep / Degree);
        painter.drawLine(at, at + QPointF(0, tick));
        painter.drawText(textBox(fm, text, at + QPointF(0, tick), Qt::AlignHCenter | Qt::AlignTop),
                         Qt::AlignCenter, text);
    }
    const QString xTitle = QStringLiteral("\u03B4 (\u00B0)");
    painter.drawText(textBox(fm, xTitle, QPointF(f.plot.center().x(), area.bottom() - 0.2 * em),
                             Qt::AlignHCenter | Qt::AlignBottom),
                     Qt::AlignCenter, xTitle);
    const QString yTitle = QStringLiteral("Pe (pu)");
    painter.drawText(textBox(fm, yTitle, QPointF(area.left() + 0.3 * em, area.top() + 0.3 * em),
                             Qt::AlignLeft | Qt::AlignTop),
                     Qt::AlignCenter, yTitle);

    // The curves and the Pm line, clipped to the plot.
    painter.setClipRect(f.plot.adjusted(-line, -line, line, line), Qt::IntersectClip);
    for (std::size_t i = 0; i < sampled.size(); ++i) {
        if (sampled[i].empty()) continue;
        QPolygonF poly;
        for (const QPointF &q : sampled[i]) poly << f.map(q);
        painter.setPen(pen(curves[i].colour, 1.6 * line, curves[i].style));
        painter.drawPolyline(poly);
    }
    const QColor pmColour(0, 115, 0);
    if (std::isfinite(pm)) {
        painter.setPen(pen(pmColour, 1.3 * line));
        painter.drawLine(f.map(f.x0, pm), f.map(f.x1, pm));
    }

    // The angles: delta0 dotted, the critical angle dashed, the clearing angle dash-dotted.
    struct Mark {
        std::optional<double> angle;
        QString name;
        QColor colour;
        Qt::PenStyle style;
    };
    const Mark marks[] = {
        {delta0, QStringLiteral("\u03B40"), QColor(90, 90, 90), Qt::DotLine},
        {critical, QStringLiteral("\u03B4cr"), QColor(200, 0, 0), Qt::DashLine},
        {clearing, QStringLiteral("\u03B4c"), QColor(40, 40, 40), Qt::DashDotDotLine},
    };
    std::vector<LabelRequest> markRequests;
    std::vector<const Mark *> shownMarks;
    for (const Mark &m : marks) {
        if (!m.angle) continue;
        const QPointF foot = f.map(*m.angle, f.y0), head = f.map(*m.angle, f.y1);
        painter.setPen(pen(m.colour, 1.3 * line, m.style));
        painter.drawLine(foot, head);
        const QRectF box =
            textBox(fm, m.name, head + QPointF(0.25 * em, 0.2 * em), Qt::AlignLeft | Qt::AlignTop);
        markRequests.push_back(
            {box.toAlignedRect(), QPoint(0, int(std::ceil(fm.height()))), false});
        shownMarks.push_back(&m);
    }

    // The trajectory, thick, with the present state as a dot.
    if (!trajectory.empty()) {
        QPolygonF poly;
        for (const QPointF &q : trajectory) poly << f.map(q);
        painter.setPen(pen(Qt::black, 2.6 * line));
        painter.drawPolyline(poly);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawEllipse(poly.back(), 2.6 * line, 2.6 * line);
        painter.setBrush(Qt::NoBrush);
    }

    // The legend in the plot's corner that hides the fewest samples of the curves.
    const QString trajectoryName = QStringLiteral("run");
    struct Row {
        QString name;
        QPen pen;
    };
    std::vector<Row> rows;
    for (std::size_t i = 0; i < sampled.size(); ++i)
        if (!sampled[i].empty())
            rows.push_back({curves[i].name, pen(curves[i].colour, 1.6 * line, curves[i].style)});
    if (std::isfinite(pm)) rows.push_back({QStringLiteral("Pm"), pen(pmColour, 1.3 * line)});
    rows.push_back({trajectoryName, pen(Qt::black, 2.6 * line)});
    const double sample = 2.2 * em, pad = 0.4 * em, rowHeight = fm.height();
    double legendWidth = 0;
    for (const Row &r : rows)
        legendWidth = std::max(legendWidth, sample + pad + fm.horizontalAdvance(r.name));
    if (!state.clusterText.isEmpty())
        legendWidth = std::max(legendWidth, fm.horizontalAdvance(state.clusterText));
    const double legendHeight =
        rowHeight * (static_cast<double>(rows.size()) + (state.clusterText.isEmpty() ? 0 : 1));
    const QSizeF legendSize(legendWidth + 2 * pad, legendHeight + 2 * pad);
    const QRectF inner = f.plot.adjusted(0.3 * em, 0.3 * em, -0.3 * em, -0.3 * em);
    const std::array<QRectF, 4> corners = {
        QRectF(QPointF(inner.right() - legendSize.width(), inner.top()), legendSize),
        QRectF(inner.topLeft(), legendSize),
        QRectF(QPointF(inner.right() - legendSize.width(), inner.bottom() - legendSize.height()),
               legendSize),
        QRectF(QPointF(inner.left(), inner.bottom() - legendSize.height()), legendSize)};
    std::size_t best = 0, fewest = std::numeric_limits<std::size_t>::max();
    for (std::size_t c = 0; c < corners.size(); ++c) {
        std::size_t hidden = 0;
        for (const auto &pts : sampled)
            for (const QPointF &q : pts) hidden += corners[c].contains(f.map(q)) ? 1 : 0;
        for (const QPointF &q : trajectory) hidden += corners[c].contains(f.map(q)) ? 4 : 0;
        if (hidden < fewest) fewest = hidden, best = c;
    }
    const QRectF legend = corners[best];
    std::vector<QRect> taken = {legend.toAlignedRect()};
    if (legend.width() <= inner.width() && legend.height() <= inner.height()) {
        painter.setPen(pen(QColor(120, 120, 120), line));
        painter.setBrush(QColor(255, 255, 255, 235));
        painter.drawRect(legend);
        painter.setBrush(Qt::NoBrush);
        double y = legend.top() + pad;
        if (!state.clusterText.isEmpty()) {
            painter.setPen(Qt::black);
            painter.drawText(QRectF(legend.left() + pad, y, legendWidth, rowHeight),
                             Qt::AlignLeft | Qt::AlignVCenter, state.clusterText);
            y += rowHeight;
        }
        for (const Row &r : rows) {
            const double mid = y + rowHeight / 2;
            painter.setPen(r.pen);
            painter.drawLine(QPointF(legend.left() + pad, mid),
                             QPointF(legend.left() + pad + sample, mid));
            painter.setPen(Qt::black);
            painter.drawText(QRectF(legend.left() + 2 * pad + sample, y, legendWidth, rowHeight),
                             Qt::AlignLeft | Qt::AlignVCenter, r.name);
            y += rowHeight;
        }
    } else {
        taken.clear();
    }

    // The angles' names along the top, then the areas' names and values, kept apart.
    const QRect bounds = f.plot.toAlignedRect();
    const std::vector<QRect> markBoxes = placeLabels(markRequests, bounds, 1, taken);
    for (std::size_t i = 0; i < markBoxes.size(); ++i) {
        painter.setPen(shownMarks[i]->colour);
        painter.drawText(markBoxes[i], Qt::AlignCenter, shownMarks[i]->name);
        taken.push_back(markBoxes[i]);
    }
    const auto [a1, a2] = areasOf(pieces, pm);
    std::vector<LabelRequest> areaRequests;
    std::vector<QString> areaTexts;
    for (const auto &[kind, name, value] :
         {std::tuple(AreaKind::Accelerating, QStringLiteral("A1"), a1),
          std::tuple(AreaKind::Decelerating, QStringLiteral("A2"), a2)}) {
        const std::optional<QPointF> centre = areaCentre(pieces, pm, kind);
        if (!centre) continue;
        // Two short lines fit a narrow area better than one long one.
        const QString value3 = formatGeneralDigits(value, 3) + QStringLiteral(" pu\u00B7rad");
        const QString text = name + QLatin1Char('\n') + value3;
        const QSizeF size(std::max(fm.horizontalAdvance(name), fm.horizontalAdvance(value3)),
                          2 * fm.height());
        const QRectF box(f.map(*centre) - QPointF(size.width(), size.height()) / 2, size);
        areaRequests.push_back({box.toAlignedRect(), QPoint(0, int(std::ceil(fm.height()))), true});
        areaTexts.push_back(text);
    }
    const std::vector<QRect> areaBoxes = placeLabels(areaRequests, bounds, 1, taken);
    for (std::size_t i = 0; i < areaBoxes.size(); ++i) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 200));
        painter.drawRect(QRectF(areaBoxes[i]).adjusted(-0.15 * em, 0, 0.15 * em, 0));
        painter.setPen(Qt::black);
        painter.drawText(areaBoxes[i], Qt::AlignCenter, areaTexts[i]);
        taken.push_back(areaBoxes[i]);
    }
    // Each curve named over its highest point on the picture, for a print without colour,
    // moved along it where that is taken.
    std::vector<LabelRequest> curveRequests;
    std::vector<std::size_t> namedCurves;
    for (std::size_t i = 0; i < sampled.size(); ++i) {
        if (sampled[i].empty()) continue;
        const auto peak =
            std::max_element(sampled[i].begin(), sampled[i].end(),
                             [](const QPointF &a, const QPointF &b) { return a.y() < b.y(); });
        const QRectF box = textBox(fm, curves[i].name, f.map(*peak) - QPointF(0, 0.3 * em),
                                   Qt::AlignHCenter | Qt::AlignBottom);
        curveRequests.push_back({box.toAlignedRect(), QPoint(int(std::ceil(1.5 * em)), 0), true});
        namedCurves.push_back(i);
    }
    const std::vector<QRect> curveBoxes = placeLabels(curveRequests, bounds, 1, taken);
    for (std::size_t i = 0; i < curveBoxes.size(); ++i) {
        painter.setPen(curves[namedCurves[i]].colour);
        painter.drawText(curveBoxes[i], Qt::AlignCenter, curves[namedCurves[i]].name);
        taken.push_back(curveBoxes[i]);
    }
    painter.restore();
}

QString equivalentPlotDescription(const EquivalentPlotState &state) {
    const auto [a1, a2] = equivalentAreas(state);
    const auto degrees = [](double rad) {
        return formatGeneralDigits(rad / Degree, 3) + QStringLiteral(" degrees");
    };
    QString text =
        state.clusterText.isEmpty() ? QString() : state.clusterText + QStringLiteral(": ");
    text += QStringLiteral("A1 ") + formatGeneralDigits(a1, 3) + QStringLiteral(" pu rad, A2 ") +
            formatGeneralDigits(a2, 3) + QStringLiteral(" pu rad; ");
    const std::optional<double> critical = finiteAngle(state.criticalAngle);
    text += critical ? QStringLiteral("critical angle ") + degrees(*critical)
                     : QStringLiteral("no critical angle");
    if (const std::optional<double> clearing = finiteAngle(state.clearingAngle))
        text += QStringLiteral(", cleared at ") + degrees(*clearing);
    return text + QLatin1Char('.');
}
