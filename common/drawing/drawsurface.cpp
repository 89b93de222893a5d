#include "drawsurface.h"

#include "rounding.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPointF>
#include <utility>

namespace {

QPen makePen(Colour colour, int width) {
    QPen pen(toQColor(colour));
    pen.setWidth(width);
    pen.setStyle(Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap); // the end pixel is left out
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

Qt::BrushStyle toQt(BrushStyle style) {
    switch (style) {
    case BrushStyle::RisingHatch:
        return Qt::BDiagPattern;
    case BrushStyle::FallingHatch:
        return Qt::FDiagPattern;
    case BrushStyle::Solid:
        break;
    }
    return Qt::SolidPattern;
}

// Products of a line's length (up to 2^32) with a step count or an offset (as large)
// need more than 64 bits.
__extension__ using Wide = __int128;

// Division rounded down and up, for a positive divisor.
Wide floorDiv(Wide p, Wide q) {
    const Wide r = p / q;
    return (p % q != 0 && p < 0) ? r - 1 : r;
}

Wide ceilDiv(Wide p, Wide q) {
    const Wide r = p / q;
    return (p % q != 0 && p > 0) ? r + 1 : r;
}

// The values j for which 0 <= start + step * j < size, with step +1 or -1.
std::pair<Wide, Wide> stepsWithin(std::int64_t start, std::int64_t step, std::int64_t size) {
    if (step > 0) return {-Wide{start}, Wide{size} - 1 - start};
    return {Wide{start} - size + 1, Wide{start}};
}

// The pixels inside a picture of `size` of a one-pixel line from `from` towards `to`,
// by Bresenham's algorithm: the start pixel is set, the end pixel is left out, whichever
// way the line runs, so a chain of segments sets every joint exactly once.
// Bresenham's steps have a closed form: with n steps along the longer side and m along
// the shorter, step k (0 <= k < n) lies floor((2 m k + n) / (2 n)) across. That is
// monotone in k, so the steps that land inside the picture form one range, found here
// directly: a line to a point a billion pixels away costs no more than one across the
// picture.
void appendLinePixels(QPoint from, QPoint to, QSize size, std::vector<QPoint> &pixels) {
    const std::int64_t x0 = from.x(), y0 = from.y();
    const std::int64_t a = std::abs(std::int64_t{to.x()} - x0);
    const std::int64_t b = std::abs(std::int64_t{to.y()} - y0);
    const std::int64_t sx = x0 < to.x() ? 1 : -1, sy = y0 < to.y() ? 1 : -1;
    const bool xMajor = a >= b;
    const std::int64_t n = std::max(a, b), m = std::min(a, b);
    if (n == 0 || size.isEmpty()) return;

    const std::int64_t major0 = xMajor ? x0 : y0, minor0 = xMajor ? y0 : x0;
    const std::int64_t majorStep = xMajor ? sx : sy, minorStep = xMajor ? sy : sx;
    const std::int64_t majorSize = xMajor ? size.width() : size.height();
    const std::int64_t minorSize = xMajor ? size.height() : size.width();

    auto [kLo, kHi] = stepsWithin(major0, majorStep, majorSize);
    kLo = std::max<Wide>(kLo, 0);
    kHi = std::min<Wide>(kHi, n - 1);
    const auto [offLo, offHi] = stepsWithin(minor0, minorStep, minorSize);
    if (m == 0) {
        if (offLo > 0 || offHi < 0) return;
    } else {
        // offset(k) >= offLo  <=>  2mk + n >= 2n offLo;
        // offset(k) <= offHi  <=>  2mk + n <  2n (offHi + 1).
        kLo = std::max(kLo, ceilDiv(2 * Wide{n} * offLo - n, 2 * Wide{m}));
        kHi = std::min(kHi, floorDiv(2 * Wide{n} * (offHi + 1) - n - 1, 2 * Wide{m}));
    }
    for (Wide k = kLo; k <= kHi; ++k) {
        const Wide offset = (2 * Wide{m} * k + n) / (2 * Wide{n});
        const auto major = static_cast<int>(major0 + majorStep * k);
        const auto minor = static_cast<int>(minor0 + minorStep * offset);
        pixels.emplace_back(xMajor ? major : minor, xMajor ? minor : major);
    }
}

// Wide lines and fills are left to Qt, whose raster engine works in fixed point: along
// edges that run far off the picture it strays from the true edge, by pixels once they
// reach a million out. Geometry within this margin around the picture goes to Qt as it
// is; geometry reaching beyond is cut at the margin's edge, which lies so far out that
// the pen's caps and joins there never reach the picture.
constexpr int Margin = 4096;

struct ClipRect {
    double left, top, right, bottom;

    explicit ClipRect(QSize size)
        : left(-Margin), top(-Margin), right(size.width() - 1.0 + Margin),
          bottom(size.height() - 1.0 + Margin) {}

    bool contains(QPointF p) const {
        return left <= p.x() && p.x() <= right && top <= p.y() && p.y() <= bottom;
    }
    bool containsAll(const PointList &points) const {
        return std::all_of(points.begin(), points.end(),
                           [this](const QPoint &p) { return contains(p); });
    }
    QPointF clamped(QPointF p) const {
        return {std::clamp(p.x(), left, right), std::clamp(p.y(), top, bottom)};
    }
};

// The part of the segment from `a` to `b` inside `clip` (Liang and Barsky), as the
// parameters t0 <= t1 of a + t (b - a); false when no part is inside.
bool clipSegment(const ClipRect &clip, QPointF a, QPointF b, double &t0, double &t1) {
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - clip.left, clip.right - a.x(), a.y() - clip.top,
                         clip.bottom - a.y()};
    t0 = 0.0;
    t1 = 1.0;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false; // parallel to this edge and outside it
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    return true;
}

// Strokes the segments through `points` (and the closing one) with the painter's pen,
// cut to `clip`: each stretch that stays inside goes to Qt as one polyline, so the
// joins inside keep their shape, and the pen starts and stops where a segment crosses
// the edge.
void strokeClipped(QPainter &painter, const PointList &points, bool closed, const ClipRect &clip) {
    const std::size_t n = points.size();
    const std::size_t segments = closed ? n : n - 1;
    // A closed outline is walked from a corner outside, so no stretch starts or ends at
    // a corner inside, where the join would be lost.
    std::size_t first = 0;
    if (closed) {
        const auto outside = std::find_if(points.begin(), points.end(),
                                          [&clip](const QPoint &p) { return !clip.contains(p); });
        if (outside != points.end()) first = static_cast<std::size_t>(outside - points.begin());
    }
    std::vector<QPointF> run;
    const auto flush = [&painter, &run] {
        if (run.size() >= 2) painter.drawPolyline(run.data(), static_cast<int>(run.size()));
        run.clear();
    };
    for (std::size_t j = 0; j < segments; ++j) {
        const std::size_t i = (first + j) % n;
        const QPointF a = points[i], b = points[(i + 1) % n];
        double t0 = 0.0, t1 = 1.0;
        if (!clipSegment(clip, a, b, t0, t1)) {
            flush();
            continue;
        }
        const QPointF d = b - a;
        if (t0 > 0.0) {
            flush(); // the segment comes in from outside
            run.push_back(clip.clamped(a + t0 * d));
        } else if (run.empty()) {
            run.push_back(a);
        }
        run.push_back(t1 < 1.0 ? clip.clamped(a + t1 * d) : b);
        if (t1 < 1.0) flush(); // and goes out again
    }
    flush();
}

// The polygon cut to `clip` (Sutherland and Hodgman), one edge of the rectangle at a
// time. Inside the rectangle each edge keeps its stretches there, and what is added runs
// along the rectangle's border, so every point inside is inside the cut polygon exactly
// when it was inside the whole one, by the odd-even rule too.
std::vector<QPointF> clipPolygon(const PointList &points, const ClipRect &clip) {
    std::vector<QPointF> polygon(points.begin(), points.end());
    std::vector<QPointF> kept;
    // Each edge as the axis it bounds (0 for x, 1 for y), the bound, and which side is in.
    const struct {
        int axis;
        double bound;
        bool below;
    } edges[4] = {
        {0, clip.left, false}, {0, clip.right, true}, {1, clip.top, false}, {1, clip.bottom, true}};
    for (const auto &edge : edges) {
        const auto coordinate = [&edge](QPointF p) { return edge.axis == 0 ? p.x() : p.y(); };
        const auto in = [&](QPointF p) {
            return edge.below ? coordinate(p) <= edge.bound : coordinate(p) >= edge.bound;
        };
        const auto crossing = [&](QPointF p, QPointF q) {
            const double t = (edge.bound - coordinate(p)) / (coordinate(q) - coordinate(p));
            QPointF c = p + t * (q - p);
            (edge.axis == 0 ? c.rx() : c.ry()) = edge.bound;
            return c;
        };
        kept.clear();
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const QPointF previous = polygon[(i + polygon.size() - 1) % polygon.size()];
            const QPointF current = polygon[i];
            if (in(current)) {
                if (!in(previous)) kept.push_back(crossing(previous, current));
                kept.push_back(current);
            } else if (in(previous)) {
                kept.push_back(crossing(previous, current));
            }
        }
        polygon.swap(kept);
    }
    return polygon;
}

// A hatch at `scale` times the layout's: lines max(1, round(scale)) pixels thick every
// round(8 x scale) pixels, as one tile of the brush's colour on transparent pixels, fixed
// to the picture's grid like Qt's own 8-pixel hatches.
QBrush scaledHatch(Colour colour, BrushStyle style, double scale) {
    const int period = std::max(2, roundToPixel(8.0L * scale));
    const int thick = std::clamp(roundToPixel(scale), 1, period - 1);
    QImage tile(period, period, QImage::Format_ARGB32);
    tile.fill(Qt::transparent);
    const QRgb ink = toQColor(colour).rgba();
    for (int y = 0; y < period; ++y)
        for (int x = 0; x < period; ++x) {
            // Rising lines keep x + y, falling ones x - y, constant along them.
            const int along = style == BrushStyle::RisingHatch ? x + y : x - y + period;
            if ((along + 1) % period < thick) tile.setPixel(x, y, ink);
        }
    return QBrush(tile);
}

void preparePainter(QPainter &painter) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBackgroundMode(Qt::TransparentMode); // hatches leave the gaps alone
    painter.setBrushOrigin(0, 0);
}

} // namespace

DrawSurface::DrawSurface(QSize size) : m_image(size, QImage::Format_RGB32) {
    newPicture();
}

void DrawSurface::resize(QSize size) {
    m_image = QImage(size, QImage::Format_RGB32);
    newPicture();
}

int DrawSurface::scaled(int n) const {
    if (m_scale == 1.0) return n;
    return std::max(1, roundToPixel(static_cast<long double>(m_scale) * n));
}

void DrawSurface::newPicture() {
    m_image.fill(Qt::white);
    m_penColour = clBlack;
    m_penWidth = 1;
    m_brushColour = clWhite;
    m_brushStyle = BrushStyle::Solid;
    changed();
}

Colour DrawSurface::pixel(int x, int y) const {
    return fromQRgb(m_image.pixel(x, y));
}

void DrawSurface::setPen(Colour colour, int width) {
    m_penColour = colour;
    m_penWidth = width;
}

void DrawSurface::setBrush(Colour colour, BrushStyle style) {
    m_brushColour = colour;
    m_brushStyle = style;
}

void DrawSurface::lineTo(int x, int y) {
    const QPoint to(x, y);
    strokeSegments({m_penPos, to}, false);
    m_penPos = to; // where the line was meant to end, even when it runs off the picture
    changed();
}

void DrawSurface::polyline(const PointList &points) {
    if (points.empty()) return;
    strokeSegments(points, false);
    changed();
}

void DrawSurface::polygon(const PointList &points) {
    if (points.empty()) return;
    {
        QPainter painter(&m_image);
        preparePainter(painter);
        painter.setPen(Qt::NoPen);
        if (m_scale != 1.0 && m_brushStyle != BrushStyle::Solid)
            painter.setBrush(scaledHatch(m_brushColour, m_brushStyle, m_scale));
        else
            painter.setBrush(QBrush(toQColor(m_brushColour), toQt(m_brushStyle)));
        const ClipRect clip(size());
        if (clip.containsAll(points)) {
            painter.drawPolygon(points.data(), static_cast<int>(points.size()), Qt::OddEvenFill);
        } else {
            const std::vector<QPointF> cut = clipPolygon(points, clip);
            if (cut.size() >= 3)
                painter.drawPolygon(cut.data(), static_cast<int>(cut.size()), Qt::OddEvenFill);
        }
    }
    strokeSegments(points, true);
    changed();
}

void DrawSurface::strokeSegments(const PointList &points, bool closed) {
    QPainter painter(&m_image);
    preparePainter(painter);
    const int width = strokeWidth();
    if (width <= 1) {
        // One-pixel lines are laid pixel by pixel, so that which end is left out does
        // not depend on the direction of the line; only the pixels on the picture are
        // laid.
        std::vector<QPoint> pixels;
        for (std::size_t i = 1; i < points.size(); ++i)
            appendLinePixels(points[i - 1], points[i], size(), pixels);
        if (closed && points.size() > 1)
            appendLinePixels(points.back(), points.front(), size(), pixels);
        QPen pen(toQColor(m_penColour));
        pen.setWidth(1);
        painter.setPen(pen);
        painter.drawPoints(pixels.data(), static_cast<int>(pixels.size()));
        return;
    }
    painter.setPen(makePen(m_penColour, width));
    painter.setBrush(Qt::NoBrush);
    const ClipRect clip(size());
    if (!clip.containsAll(points)) {
        strokeClipped(painter, points, closed, clip);
    } else if (closed) {
        painter.drawPolygon(points.data(), static_cast<int>(points.size()));
    } else {
        painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    }
}

void DrawSurface::changed() {
    if (m_changed) m_changed();
}

namespace {

// The plain sans-serif of the drawings' text, unsmoothed.
QFont textFont(int pixelHeight) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelHeight);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

} // namespace

int DrawSurface::textWidth(const QString &text, int pixelHeight) const {
    return QFontMetrics(textFont(pixelHeight)).horizontalAdvance(text);
}

void DrawSurface::text(int x, int y, const QString &text, int pixelHeight) {
    QPainter painter(&m_image);
    painter.setFont(textFont(pixelHeight));
    painter.setPen(toQColor(m_penColour));
    painter.drawText(QRect(x, y, m_image.width(), pixelHeight * 2), Qt::AlignLeft | Qt::AlignTop,
                     text);
    painter.end();
    changed();
}
