#include "griddiagram.h"

#include <algorithm>
#include <cmath>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

using namespace multimachine;

namespace {

const QColor LineColour(0x20, 0x20, 0x20);
const QColor OpenColour(0xa0, 0xa0, 0xa0);
const QColor MachineColour(0x1f, 0x5f, 0xb4);
const QColor FaultColour(0xd6, 0x27, 0x28);

// The diagram's scale: `unit` is half a bus bar; every shape is measured in it, and it
// shrinks as the buses grow in number so that a large grid still fits.
struct Frame {
    QPointF origin, from;
    double scale = 1;
    double unit = 1;
    QPointF at(QPointF p) const { return origin + (p - from) * scale; }
};

Frame frameOf(const QRectF &area, const std::vector<QPointF> &places) {
    Frame f;
    const double least = std::min(area.width(), area.height());
    f.unit = least / std::max(16.0, 6.0 * std::sqrt(static_cast<double>(places.size())));
    // Room round the buses for the machines above, the loads below and the numbers.
    const QRectF inner = area.adjusted(2 * f.unit, 3 * f.unit, -2.5 * f.unit, -2.5 * f.unit);
    QRectF used;
    for (const QPointF &p : places) used |= QRectF(p, QSizeF(1e-9, 1e-9));
    // One scale both ways, as large as the area holds, the drawing in its middle.
    f.scale = std::max(1.0, std::min(inner.width() / std::max(used.width(), 1e-6),
                                     inner.height() / std::max(used.height(), 1e-6)));
    f.from = used.center();
    f.origin = inner.center();
    return f;
}

// A branch's two ends on the diagram; a second circuit runs beside the first.
std::pair<QPointF, QPointF> branchEnds(const Frame &f, const Grid &grid,
                                       const std::vector<QPointF> &places, const Branch &b) {
    const int i = grid.busIndex(b.from), j = grid.busIndex(b.to);
    if (i < 0 || j < 0 || static_cast<std::size_t>(std::max(i, j)) >= places.size()) return {};
    QPointF p = f.at(places[static_cast<std::size_t>(i)]);
    QPointF q = f.at(places[static_cast<std::size_t>(j)]);
    const QPointF d = q - p;
    const double length = std::hypot(d.x(), d.y());
    if (b.circuit > 1 && length > 0) {
        const QPointF normal(-d.y() / length, d.x() / length);
        const QPointF shift = normal * (0.4 * f.unit * (b.circuit - 1));
        p += shift;
        q += shift;
    }
    return {p, q};
}

bool sameBranch(const Branch &b, const std::optional<BranchId> &id) {
    return id && id->from == b.from && id->to == b.to && id->circuit == b.circuit;
}

QRectF busBar(const Frame &f, QPointF centre) {
    return {centre.x() - f.unit, centre.y() - 0.14 * f.unit, 2 * f.unit, 0.28 * f.unit};
}

void paintLightning(QPainter &p, QPointF at, double unit, bool on) {
    // A bolt striking down at the fault's place.
    const double u = unit;
    const QPolygonF bolt({at + QPointF(0.35 * u, -1.3 * u), at + QPointF(-0.25 * u, -0.55 * u),
                          at + QPointF(0.1 * u, -0.5 * u), at, at + QPointF(-0.05 * u, -0.42 * u),
                          at + QPointF(-0.45 * u, -0.45 * u)});
    p.setPen(QPen(FaultColour, std::max(1.0, u / 10)));
    p.setBrush(on ? QBrush(FaultColour) : QBrush(Qt::white));
    p.drawPolygon(bolt);
}

void paintMachine(QPainter &p, QPointF bus, double u) {
    const double r = 0.45 * u;
    const QPointF centre = bus - QPointF(0, 0.7 * u + r);
    p.setPen(QPen(MachineColour, std::max(1.0, u / 10)));
    p.drawLine(bus, centre + QPointF(0, r));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, r, r);
    // The tilde: one period of a sine across the circle.
    QPainterPath tilde;
    const int n = 12;
    for (int k = 0; k <= n; ++k) {
        const double x = -0.6 * r + 1.2 * r * k / n;
        const QPointF point = centre + QPointF(x, -0.3 * r * std::sin(M_PI * 2 * k / n));
        if (k == 0)
            tilde.moveTo(point);
        else
            tilde.lineTo(point);
    }
    p.setBrush(Qt::NoBrush);
    p.drawPath(tilde);
}

void paintLoad(QPainter &p, QPointF bus, double u) {
    const QPointF tip = bus + QPointF(0.5 * u, 1.1 * u);
    p.setPen(QPen(LineColour, std::max(1.0, u / 10)));
    p.drawLine(bus + QPointF(0.5 * u, 0), tip - QPointF(0, 0.3 * u));
    p.setBrush(LineColour);
    p.drawPolygon(
        QPolygonF({tip, tip + QPointF(-0.2 * u, -0.35 * u), tip + QPointF(0.2 * u, -0.35 * u)}));
}

} // namespace

std::vector<QPointF> placeBuses(const Grid &grid) {
    const std::size_t n = grid.buses.size();
    std::vector<QPointF> places(n);
    const bool fromFile = n > 0 && std::all_of(grid.buses.begin(), grid.buses.end(),
                                               [](const Bus &b) { return b.x && b.y; });
    if (!fromFile) {
        for (std::size_t i = 0; i < n; ++i) {
            const double a = 2 * M_PI * static_cast<double>(i) / static_cast<double>(n) - M_PI / 2;
            places[i] = QPointF(0.5 + 0.5 * std::cos(a), 0.5 + 0.5 * std::sin(a));
        }
        return places;
    }
    double left = *grid.buses.front().x, right = left;
    double top = *grid.buses.front().y, bottom = top;
    for (const Bus &b : grid.buses) {
        left = std::min(left, *b.x);
        right = std::max(right, *b.x);
        top = std::min(top, *b.y);
        bottom = std::max(bottom, *b.y);
    }
    // One scale for both directions, so the drawing keeps the file's shape, centred.
    const double span = std::max({right - left, bottom - top, 1e-9});
    const double dx = (1 - (right - left) / span) / 2, dy = (1 - (bottom - top) / span) / 2;
    for (std::size_t i = 0; i < n; ++i)
        places[i] =
            QPointF(dx + (*grid.buses[i].x - left) / span, dy + (*grid.buses[i].y - top) / span);
    return places;
}

void paintGridDiagram(QPainter &p, const QRectF &area, const Grid &grid,
                      const std::vector<QPointF> &places, const GridDiagramState &state) {
    if (places.size() != grid.buses.size()) return;
    const Frame f = frameOf(area, places);
    const double u = f.unit, pen = std::max(1.0, u / 10);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const FaultSpec &fault = grid.fault;

    for (const Branch &b : grid.branches) {
        const auto [from, to] = branchEnds(f, grid, places, b);
        const bool opening = sameBranch(b, fault.openLine);
        const bool open = opening && state.lineOpen;
        p.setPen(QPen(open ? OpenColour : LineColour, pen, open ? Qt::DashLine : Qt::SolidLine));
        p.drawLine(from, to);
        if (b.isTransformer()) {
            // Two windings: two circles overlapping on the branch's middle.
            const QPointF d = to - from;
            const double length = std::max(1e-9, std::hypot(d.x(), d.y()));
            const QPointF along = d / length * (0.22 * u), mid = (from + to) / 2;
            p.setBrush(Qt::white);
            p.setPen(QPen(open ? OpenColour : LineColour, pen));
            p.drawEllipse(mid - along, 0.32 * u, 0.32 * u);
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(mid + along, 0.32 * u, 0.32 * u);
        }
        if (opening) {
            // The breakers that clear the fault, near each end: filled while closed.
            const QPointF d = to - from;
            const double length = std::max(1e-9, std::hypot(d.x(), d.y()));
            const QPointF in = d / length * (1.6 * u);
            p.setPen(QPen(LineColour, pen));
            p.setBrush(open ? QBrush(Qt::white) : QBrush(LineColour));
            for (const QPointF &at : {from + in, to - in})
                p.drawRect(QRectF(at - QPointF(0.2 * u, 0.2 * u), QSizeF(0.4 * u, 0.4 * u)));
        }
    }

    QFont font = p.font();
    font.setPixelSize(std::max(8, static_cast<int>(std::lround(0.8 * u))));
    p.setFont(font);
    for (std::size_t i = 0; i < grid.buses.size(); ++i) {
        const Bus &bus = grid.buses[i];
        const QPointF centre = f.at(places[i]);
        const bool machine = std::any_of(grid.machines.begin(), grid.machines.end(),
                                         [&](const Machine &m) { return m.bus == bus.number; });
        if (machine) paintMachine(p, centre, u);
        if (bus.loadP != 0 || bus.loadQ != 0) paintLoad(p, centre, u);
        p.setPen(Qt::NoPen);
        p.setBrush(LineColour);
        const QRectF bar = busBar(f, centre);
        p.drawRect(bar);
        p.setPen(LineColour);
        p.drawText(QRectF(bar.right() + 0.15 * u, bar.top() - u, 3 * u, 2 * u),
                   Qt::AlignLeft | Qt::AlignVCenter, QString::number(bus.number));
    }

    if (fault.bus) {
        const int i = grid.busIndex(*fault.bus);
        if (i >= 0)
            paintLightning(p, f.at(places[static_cast<std::size_t>(i)]) - QPointF(0.6 * u, 0), u,
                           state.faultOn);
    } else if (fault.line) {
        for (const Branch &b : grid.branches)
            if (sameBranch(b, fault.line)) {
                const auto [from, to] = branchEnds(f, grid, places, b);
                paintLightning(p, from + (to - from) * fault.location, u, state.faultOn);
            }
    }
    p.restore();
}

std::optional<QPointF> busOnDiagram(const QRectF &area, const Grid &grid,
                                    const std::vector<QPointF> &places, int bus) {
    const int i = grid.busIndex(bus);
    if (i < 0 || places.size() != grid.buses.size()) return std::nullopt;
    return frameOf(area, places).at(places[static_cast<std::size_t>(i)]);
}

GridHit gridHitAt(const QRectF &area, const Grid &grid, const std::vector<QPointF> &places,
                  QPointF point) {
    GridHit hit;
    if (places.size() != grid.buses.size()) return hit;
    const Frame f = frameOf(area, places);
    const double reach = std::max(4.0, 0.35 * f.unit);
    for (std::size_t i = 0; i < grid.buses.size(); ++i)
        if (busBar(f, f.at(places[i])).adjusted(-reach, -reach, reach, reach).contains(point)) {
            hit.bus = grid.buses[i].number;
            return hit;
        }
    double nearest = reach;
    for (const Branch &b : grid.branches) {
        const auto [from, to] = branchEnds(f, grid, places, b);
        const QPointF d = to - from;
        const double length2 = QPointF::dotProduct(d, d);
        if (length2 <= 0) continue;
        const double t = std::clamp(QPointF::dotProduct(point - from, d) / length2, 0.0, 1.0);
        const QPointF off = point - (from + d * t);
        const double distance = std::hypot(off.x(), off.y());
        if (distance <= nearest) {
            nearest = distance;
            hit.line = BranchId{b.from, b.to, b.circuit};
        }
    }
    return hit;
}
