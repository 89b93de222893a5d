#include "droopdiagram.h"

#include "numberformat.h"
#include "rounding.h"
#include "switchboardinstruments.h"
#include "switchboardtext.h"
#include "synchroscope.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

namespace {

constexpr double Nominal[2] = {50, 380}; // Hz, V
// Beyond this a value is held: the picture of a gigawatt says what it can.
constexpr double Largest = 1e9;
// A layout 320 units high, 360 to 720 wide as the picture's shape allows.
constexpr double LayoutHeight = 320, MinLayoutWidth = 360, MaxLayoutWidth = 720;
const QColor SetColours[2] = {QColor(30, 100, 200), QColor(215, 110, 10)};
const QColor BusColour(0, 130, 60);
const QColor Ink(40, 40, 40);

double held(double v) {
    return std::clamp(v, -Largest, Largest);
}

// The least and largest of the finite values given, or nothing.
struct Span {
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    void add(double v) {
        if (!std::isfinite(v)) return;
        lo = std::min(lo, held(v));
        hi = std::max(hi, held(v));
    }
};

// An axis on whole ticks over the span, about five intervals. A span too narrow for the
// numbers' precision is widened around its middle.
void axis(Span s, double &from, double &to, double &step) {
    const double tiny = std::max(1e-3, 1e-6 * std::max(std::fabs(s.lo), std::fabs(s.hi)));
    if (s.hi - s.lo < tiny) {
        const double mid = (s.lo + s.hi) / 2;
        s.lo = mid - tiny / 2;
        s.hi = mid + tiny / 2;
    }
    step = niceStep(s.hi - s.lo, 5);
    from = std::floor(s.lo / step) * step;
    to = std::ceil(s.hi / step) * step;
}

struct Frame {
    QRectF plot;
    DroopGeometry g;
    QPointF map(double x, double y) const {
        return {plot.left() + (x - g.x0) / (g.x1 - g.x0) * plot.width(),
                plot.bottom() - (y - g.y0) / (g.y1 - g.y0) * plot.height()};
    }
    QPointF map(QPointF q) const { return map(q.x(), q.y()); }
};

QPen pen(const QColor &c, double width, Qt::PenStyle style = Qt::SolidLine) {
    QPen p(c, width, style);
    p.setCapStyle(Qt::FlatCap);
    return p;
}

QString tickText(double v, double step) {
    // Whole numbers where the step is whole, else to the step's decimals.
    const int decimals = std::clamp(int(std::ceil(-std::log10(step) - 1e-9)), 0, 6);
    return formatFixed(std::fabs(v) < step / 2 ? 0 : v, 15, decimals);
}

} // namespace

DroopGeometry droopGeometry(const DroopState &state, DroopPicture picture) {
    const bool voltage = picture == DroopPicture::Voltage;
    DroopGeometry g;
    Span xs, ys;
    xs.add(0);
    ys.add(Nominal[voltage]);
    for (std::size_t i = 0; i < 2; ++i) {
        const DroopSetState &s = state.sets[i];
        // No load at the set point; the rating (or the reactive rating, 0.75 of it) the
        // droop below it: % of 50 Hz or of 380 V.
        const double top = voltage ? s.voltageSetpointV : s.setpointHz;
        const double end = voltage ? 0.75 * s.ratingKw : s.ratingKw;
        const double bottom =
            top - (voltage ? s.voltageDroopPct : s.droopPct) / 100 * Nominal[voltage];
        if (std::isfinite(top) && std::isfinite(end) && std::isfinite(bottom)) {
            g.lines[i] = QLineF(0, held(top), held(end), held(bottom));
            xs.add(end);
            ys.add(top);
            ys.add(bottom);
        }
    }
    const double bus = voltage ? state.busVoltageV : state.busFrequencyHz;
    if (bus > 0 && std::isfinite(bus)) {
        g.bus = held(bus);
        ys.add(bus);
    }
    double sum = 0;
    for (std::size_t i = 0; i < 2; ++i) {
        const DroopSetState &s = state.sets[i];
        const double power = voltage ? s.qKvar : s.pKw;
        if (!s.connected || !std::isfinite(power)) continue;
        sum += held(power);
        xs.add(power);
        if (g.bus) g.points[i] = QPointF(held(power), *g.bus);
    }
    if (g.points[0] || g.points[1]) {
        g.split = g.points[0] ? g.points[0]->x() : 0.0;
        g.total = sum;
        xs.add(sum);
    }
    xs.add(voltage ? state.loadQKvar : state.loadPKw);
    // Room beyond the ratings for an overload; a little above and below the lines.
    if (xs.hi > xs.lo) xs.hi += 0.1 * (xs.hi - xs.lo);
    const double pad = 0.05 * (ys.hi - ys.lo);
    ys.lo -= pad;
    ys.hi += pad;
    axis(xs, g.x0, g.x1, g.xStep);
    axis(ys, g.y0, g.y1, g.yStep);
    return g;
}

DroopState droopState(const Switchboard &b) {
    DroopState state;
    const IslandSettings &island = b.settings().island;
    const double droops[2][2] = {{island.runningDroopPct, island.runningVoltageDroopPct},
                                 {island.incomingDroopPct, island.incomingVoltageDroopPct}};
    for (int i = 0; i < 2; ++i) {
        const SetReading r = b.set(i + 1);
        state.sets[i] = {r.connected,  r.ratingKw,         droops[i][0], r.setpointHz,
                         droops[i][1], r.voltageSetpointV, r.pKw,        r.qKvar};
    }
    state.busFrequencyHz = b.busFrequencyHz();
    state.busVoltageV = b.busVoltageV();
    state.loadPKw = b.loadPKw();
    state.loadQKvar = b.loadQKvar();
    return state;
}

void paintDroopDiagram(QPainter &p, QSizeF size, const DroopState &state, DroopPicture picture,
                       const QFont &font) {
    size = paintableSize(p, size);
    if (size.isEmpty()) return;
    const bool voltage = picture == DroopPicture::Voltage;
    const QSizeF layout(
        std::clamp(LayoutHeight * size.width() / size.height(), MinLayoutWidth, MaxLayoutWidth),
        LayoutHeight);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    fitLayout(p, size, layout);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(QPointF(0, 0), layout));

    Frame f;
    f.g = droopGeometry(state, picture);
    const DroopGeometry &g = f.g;
    f.plot = QRectF(QPointF(62, 74), QPointF(layout.width() - 18, LayoutHeight - 46));
    QFont text = font;
    text.setPixelSize(14);
    p.setFont(text);
    const QFontMetricsF fm(text);
    const QString unit = voltage ? QStringLiteral("kvar") : QStringLiteral("kW");

    // The title, and the load's split under it.
    p.setPen(Ink);
    QFont bold = text;
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(QRectF(8, 4, layout.width() - 16, 22), Qt::AlignLeft | Qt::AlignVCenter,
               voltage ? QStringLiteral("Voltage (V) against reactive power (kvar)")
                       : QStringLiteral("Frequency (Hz) against power (kW)"));
    p.setFont(text);
    const double load = voltage ? state.loadQKvar : state.loadPKw;
    const double shares[2] = {voltage ? state.sets[0].qKvar : state.sets[0].pKw,
                              voltage ? state.sets[1].qKvar : state.sets[1].pKw};
    p.drawText(QRectF(8, 26, layout.width() - 16, 20), Qt::AlignLeft | Qt::AlignVCenter,
               loadSplitText(load, state.sets[0].connected ? shares[0] : 0,
                             state.sets[1].connected ? shares[1] : 0, unit));

    // Grid, axes and their numbers; at most this many ticks whatever the steps say.
    const int xTicks = std::min(20, int(std::lround((g.x1 - g.x0) / g.xStep)));
    const int yTicks = std::min(20, int(std::lround((g.y1 - g.y0) / g.yStep)));
    for (int k = 0; k <= xTicks; ++k) {
        const double v = g.x0 + k * g.xStep;
        const QPointF at = f.map(v, g.y0);
        p.setPen(pen(QColor(225, 225, 225), 1));
        p.drawLine(at, f.map(v, g.y1));
        p.setPen(Ink);
        p.drawText(QRectF(at.x() - 40, at.y() + 4, 80, 18), Qt::AlignHCenter | Qt::AlignTop,
                   tickText(v, g.xStep));
    }
    for (int k = 0; k <= yTicks; ++k) {
        const double v = g.y0 + k * g.yStep;
        const QPointF at = f.map(g.x0, v);
        p.setPen(pen(QColor(225, 225, 225), 1));
        p.drawLine(at, f.map(g.x1, v));
        p.setPen(Ink);
        p.drawText(QRectF(0, at.y() - 9, at.x() - 5, 18), Qt::AlignRight | Qt::AlignVCenter,
                   tickText(v, g.yStep));
    }
    p.setPen(pen(Ink, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(f.plot);
    p.drawText(QRectF(f.plot.left(), LayoutHeight - 22, f.plot.width(), 20), Qt::AlignCenter,
               voltage ? QStringLiteral("Q (kvar)") : QStringLiteral("P (kW)"));

    // The load along the power axis, above the plot: set 1's share, then set 2's.
    if (g.split && g.total) {
        const double y = 52, h = 16;
        const double x0 = f.map(std::clamp(0.0, g.x0, g.x1), 0).x();
        const double xs = f.map(std::clamp(*g.split, g.x0, g.x1), 0).x();
        const double xt = f.map(std::clamp(*g.total, g.x0, g.x1), 0).x();
        p.setPen(Qt::NoPen);
        p.setBrush(SetColours[0]);
        p.drawRect(QRectF(QPointF(std::min(x0, xs), y), QPointF(std::max(x0, xs), y + h)));
        p.setBrush(SetColours[1]);
        p.drawRect(QRectF(QPointF(std::min(xs, xt), y), QPointF(std::max(xs, xt), y + h)));
        p.setPen(Qt::white);
        for (int i = 0; i < 2; ++i) {
            const QRectF part(QPointF(std::min(i ? xs : x0, i ? xt : xs), y),
                              QPointF(std::max(i ? xs : x0, i ? xt : xs), y + h));
            const QString name = QString::number(i + 1);
            if (part.width() > fm.horizontalAdvance(name) + 4)
                p.drawText(part, Qt::AlignCenter, name);
        }
    }

    p.setClipRect(f.plot.adjusted(-8, -8, 8, 8));
    // The bus's line across, named at its right end.
    if (g.bus) {
        p.setPen(pen(BusColour, 2, Qt::DashLine));
        p.drawLine(f.map(g.x0, *g.bus), f.map(g.x1, *g.bus));
        p.setPen(BusColour);
        const QString bus =
            QStringLiteral("bus ") + (voltage ? voltsReading(*g.bus) + QStringLiteral(" V")
                                              : hertzReading(*g.bus) + QStringLiteral(" Hz"));
        const QPointF at = f.map(g.x1, *g.bus);
        p.drawText(QRectF(at.x() - 200, at.y() - 20, 196, 18), Qt::AlignRight | Qt::AlignBottom,
                   bus);
    }
    // Each set's droop line, dashed while it is off the bus, named at its rating's end;
    // its operating point on the bus's line with a drop to the power axis.
    for (std::size_t i = 0; i < 2; ++i) {
        if (!g.lines[i]) continue;
        const QLineF line(f.map(g.lines[i]->p1()), f.map(g.lines[i]->p2()));
        p.setPen(pen(SetColours[i], 2.5, state.sets[i].connected ? Qt::SolidLine : Qt::DashLine));
        p.drawLine(line);
        p.setPen(SetColours[i]);
        const QString name = QStringLiteral("set %1").arg(i + 1);
        const QPointF end = line.p2();
        p.drawText(i == 0 ? QRectF(end.x() + 4, end.y() - 20, 60, 18)
                          : QRectF(end.x() + 4, end.y() + 2, 60, 18),
                   Qt::AlignLeft | Qt::AlignVCenter, name);
    }
    for (std::size_t i = 0; i < 2; ++i) {
        if (!g.points[i]) continue;
        const QPointF at = f.map(*g.points[i]);
        p.setPen(pen(SetColours[i], 1, Qt::DotLine));
        p.drawLine(at, QPointF(at.x(), f.plot.bottom()));
        p.setPen(pen(Qt::white, 1.5));
        p.setBrush(SetColours[i]);
        p.drawEllipse(at, 6, 6);
    }
    p.restore();
}
