// The drawing surface that every plot draws on: kept pen and brush, pen position,
// line end pixels, hatches fixed to the grid, erasing by drawing again in white.
#include "drawsurface.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <QRandomGenerator>
#include <QtTest>

namespace {

// Every pixel of the surface that is not white.
QSet<QPair<int, int>> inked(const DrawSurface &s) {
    QSet<QPair<int, int>> result;
    for (int y = 0; y < s.size().height(); ++y)
        for (int x = 0; x < s.size().width(); ++x)
            if (s.pixel(x, y) != clWhite) result.insert({x, y});
    return result;
}

const PointList square{{2, 2}, {21, 2}, {21, 21}, {2, 21}};

constexpr int Lowest = std::numeric_limits<std::int32_t>::min();
constexpr int Highest = std::numeric_limits<std::int32_t>::max();

// One-pixel lines laid the slow way, step by step with an error term, through the
// points on a white picture: only for lines short enough to walk.
QImage stepped(QSize size, const PointList &points, bool closed = false) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    const auto lay = [&image](QPoint from, QPoint to) {
        std::int64_t x = from.x(), y = from.y();
        const std::int64_t dx = std::abs(to.x() - x), dy = -std::abs(to.y() - y);
        const int sx = x < to.x() ? 1 : -1, sy = y < to.y() ? 1 : -1;
        for (std::int64_t error = dx + dy; x != to.x() || y != to.y();) {
            if (image.valid(int(x), int(y))) image.setPixel(int(x), int(y), qRgb(0, 0, 0));
            const std::int64_t twice = 2 * error;
            if (twice >= dy) error += dy, x += sx;
            if (twice <= dx) error += dx, y += sy;
        }
    };
    for (std::size_t i = 1; i < points.size(); ++i) lay(points[i - 1], points[i]);
    if (closed && points.size() > 1) lay(points.back(), points.front());
    return image;
}

QImage lineOn(QSize size, QPoint from, QPoint to) {
    DrawSurface s(size);
    s.moveTo(from.x(), from.y());
    s.lineTo(to.x(), to.y());
    return s.image();
}

} // namespace

class TestDrawSurface : public QObject {
    Q_OBJECT
private slots:
    void startsWhiteWithDefaultTools();
    void lineToKeepsPenPositionAndLeavesOutEndPixel();
    void linesLeaveOutEndPixelEveryWay();
    void penWidthTwoDrawsTwoPixelsWide();
    void polylineLeavesPenPosition();
    void polygonOutlinesAndFills();
    void hatchesLeanAndLeaveGaps();
    void hatchIsFixedToPixelGrid();
    void redrawingInWhiteErasesExactly_data();
    void redrawingInWhiteErasesExactly();
    void scaledPensAndHatches_data();
    void scaledPensAndHatches();
    void newPictureResetsToolsAndWhitens();
    void clipsOutsideThePicture();
    void onePixelLinesMatchSteppedLines();
    void farOnePixelLinesLayOnlyPicturePixels();
    void wideFarShapesMatchNearOnes();
};

void TestDrawSurface::startsWhiteWithDefaultTools() {
    DrawSurface s(QSize(281, 168));
    QCOMPARE(s.size(), QSize(281, 168));
    QVERIFY(inked(s).isEmpty());
    QCOMPARE(s.penColour(), clBlack);
    QCOMPARE(s.penWidth(), 1);
    QCOMPARE(s.brushColour(), clWhite);
    QCOMPARE(s.brushStyle(), BrushStyle::Solid);
    QCOMPARE(s.penPos(), QPoint(0, 0));
}

void TestDrawSurface::lineToKeepsPenPositionAndLeavesOutEndPixel() {
    DrawSurface s(QSize(20, 20));
    s.setPen(clRed);
    s.moveTo(1, 1);
    QVERIFY(inked(s).isEmpty()); // moving draws nothing
    s.lineTo(8, 1);
    QCOMPARE(s.penPos(), QPoint(8, 1));
    for (int x = 1; x < 8; ++x) QCOMPARE(s.pixel(x, 1), clRed);
    QCOMPARE(s.pixel(8, 1), clWhite);
    // The pen colour and the position are kept for the next call.
    s.lineTo(8, 5);
    for (int y = 1; y < 5; ++y) QCOMPARE(s.pixel(8, y), clRed);
    QCOMPARE(s.pixel(8, 5), clWhite);
    QCOMPARE(inked(s).size(), 7 + 4);
    QCOMPARE(s.penColour(), clRed);
}

void TestDrawSurface::linesLeaveOutEndPixelEveryWay() {
    // Eight directions and a steep and a shallow slope: the start pixel is set, the end
    // pixel is not, and the line has as many pixels as its longer side.
    const QPoint from(20, 20);
    for (const QPoint &d :
         {QPoint(7, 0), QPoint(-7, 0), QPoint(0, 7), QPoint(0, -7), QPoint(7, 7), QPoint(-7, -7),
          QPoint(7, -7), QPoint(-7, 7), QPoint(3, -11), QPoint(-11, 4)}) {
        DrawSurface s(QSize(40, 40));
        s.moveTo(from.x(), from.y());
        s.lineTo(from.x() + d.x(), from.y() + d.y());
        QCOMPARE(s.pixel(from.x(), from.y()), clBlack);
        QCOMPARE(s.pixel(from.x() + d.x(), from.y() + d.y()), clWhite);
        QCOMPARE(inked(s).size(), qMax(qAbs(d.x()), qAbs(d.y())));
    }
    // A closed outline drawn in either sense sets each of its pixels once, corners too.
    DrawSurface s(QSize(20, 20));
    s.polyline({{15, 5}, {5, 5}, {5, 15}, {15, 15}, {15, 5}});
    QCOMPARE(inked(s).size(), 40);
    // No length, no pixel.
    DrawSurface dot(QSize(5, 5));
    dot.moveTo(2, 2);
    dot.lineTo(2, 2);
    QVERIFY(inked(dot).isEmpty());
}

void TestDrawSurface::penWidthTwoDrawsTwoPixelsWide() {
    DrawSurface s(QSize(20, 20));
    s.setPen(clBlue, 2);
    s.moveTo(2, 5);
    s.lineTo(12, 5);
    QSet<int> rows;
    for (const auto &p : inked(s)) rows.insert(p.second);
    QCOMPARE(rows.size(), 2);
    QVERIFY(rows.contains(5));
    QCOMPARE(s.penWidth(), 2);
}

void TestDrawSurface::polylineLeavesPenPosition() {
    DrawSurface s(QSize(20, 20));
    s.moveTo(3, 4);
    s.polyline({{0, 10}, {10, 10}, {10, 15}});
    QCOMPARE(s.penPos(), QPoint(3, 4));
    QCOMPARE(s.pixel(0, 10), clBlack);
    QCOMPARE(s.pixel(10, 12), clBlack);
    QCOMPARE(s.pixel(10, 15), clWhite); // the last point, as with line-to
}

void TestDrawSurface::polygonOutlinesAndFills() {
    DrawSurface s(QSize(30, 30));
    s.setPen(clBlue);
    s.setBrush(clLime);
    s.polygon(square);
    for (const QPoint &corner : square) QCOMPARE(s.pixel(corner.x(), corner.y()), clBlue);
    QCOMPARE(s.pixel(21, 10), clBlue); // the closing edges are drawn in full
    QCOMPARE(s.pixel(10, 21), clBlue);
    QCOMPARE(s.pixel(10, 10), clLime);
    QCOMPARE(s.pixel(1, 1), clWhite);
    QCOMPARE(s.pixel(22, 22), clWhite);
}

void TestDrawSurface::hatchesLeanAndLeaveGaps() {
    for (BrushStyle style : {BrushStyle::RisingHatch, BrushStyle::FallingHatch}) {
        DrawSurface s(QSize(30, 30));
        // A red background shows that the gaps between the hatch lines are untouched.
        s.setPen(clRed);
        s.setBrush(clRed);
        s.polygon(square);
        s.setPen(clBlue);
        s.setBrush(clLime, style);
        s.polygon(square);
        int lime = 0, red = 0;
        for (int y = 3; y < 21; ++y) {
            for (int x = 3; x < 21; ++x) {
                const Colour c = s.pixel(x, y);
                QVERIFY(c == clLime || c == clRed);
                if (c != clLime) {
                    ++red;
                    continue;
                }
                ++lime;
                // Rising to the right: the next pixel of the line is up and to the right.
                const int dy = style == BrushStyle::RisingHatch ? -1 : 1;
                if (x < 20 && y + dy >= 3 && y + dy < 21) QCOMPARE(s.pixel(x + 1, y + dy), clLime);
                if (x < 20) QCOMPARE(s.pixel(x + 1, y), clRed); // one pixel wide
            }
        }
        QVERIFY(lime > 0);
        QVERIFY(red > 5 * lime);
    }
}

void TestDrawSurface::hatchIsFixedToPixelGrid() {
    // The same hatch lines, wherever the shape lies: every rising line pixel sits on
    // one of the diagonals x + y = 7 (mod 8) of the picture.
    DrawSurface s(QSize(40, 40));
    for (const PointList &shape :
         {PointList{{3, 5}, {20, 5}, {20, 30}, {3, 30}}, PointList{{24, 1}, {38, 1}, {31, 20}}}) {
        s.setPen(clWhite);
        s.setBrush(clLime, BrushStyle::RisingHatch);
        s.polygon(shape);
    }
    const auto pixels = inked(s);
    QVERIFY(pixels.size() > 20);
    for (const auto &p : pixels) QCOMPARE((p.first + p.second) % 8, 7);
}

void TestDrawSurface::redrawingInWhiteErasesExactly_data() {
    QTest::addColumn<double>("scale");
    QTest::newRow("layout") << 1.0;
    QTest::newRow("zoomed 200 %") << 2.0;
    QTest::newRow("zoomed 150 %") << 1.5;
}

void TestDrawSurface::redrawingInWhiteErasesExactly() {
    QFETCH(double, scale);
    DrawSurface s(QSize(40, 40));
    s.setScale(scale);
    // Something under the shape, and something beside it.
    s.setPen(clBlack);
    s.moveTo(0, 12);
    s.lineTo(40, 12);
    s.moveTo(30, 0);
    s.lineTo(30, 40);
    const QImage before = s.image().copy();

    const PointList area{{5, 5}, {25, 8}, {18, 26}, {5, 20}};
    s.setPen(clBlue);
    s.setBrush(clLime, BrushStyle::FallingHatch);
    s.polygon(area);
    const QImage drawn = s.image().copy();

    s.setPen(clWhite);
    s.setBrush(clWhite, BrushStyle::FallingHatch);
    s.polygon(area);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool touched =
                drawn.pixel(x, y) != before.pixel(x, y) ||
                (before.pixel(x, y) != qRgb(255, 255, 255) && s.pixel(x, y) == clWhite);
            if (touched) {
                QCOMPARE(s.pixel(x, y), clWhite);
            } else {
                QCOMPARE(s.image().pixel(x, y), before.pixel(x, y));
            }
        }
    }
    QCOMPARE(s.pixel(30, 20), clBlack); // the line beside the shape is left alone
    QCOMPARE(s.pixel(2, 12), clBlack);
}

void TestDrawSurface::scaledPensAndHatches_data() {
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("lineWidth"); // of a pen of width 2
    QTest::addColumn<int>("period");    // of the hatch
    QTest::addColumn<int>("thickness"); // of a hatch line, across x
    QTest::newRow("200 %") << 2.0 << 4 << 16 << 2;
    QTest::newRow("150 %") << 1.5 << 3 << 12 << 2;
    QTest::newRow("125 %, halves to even") << 1.25 << 2 << 10 << 1;
}

void TestDrawSurface::scaledPensAndHatches() {
    QFETCH(double, scale);
    QFETCH(int, lineWidth);
    QFETCH(int, period);
    QFETCH(int, thickness);
    DrawSurface s(QSize(80, 80));
    s.setScale(scale);
    s.setPen(clRed, 2);
    s.moveTo(0, 40);
    s.lineTo(80, 40);
    int red = 0;
    for (int y = 0; y < 80; ++y) red += s.pixel(10, y) == clRed;
    QCOMPARE(red, lineWidth);

    // As heavy against the picture as at 100 %: lines `thickness` wide every `period`
    // pixels, still on the picture's grid.
    s.newPicture();
    s.setPen(clWhite);
    s.setBrush(clLime, BrushStyle::RisingHatch);
    s.polygon(PointList{{0, 0}, {79, 0}, {79, 79}, {0, 79}});
    for (int y = 4; y < 76; ++y) // inside the outline, which is wider too
        for (int x = 4; x < 76; ++x)
            QCOMPARE(s.pixel(x, y) == clLime, (x + y + 1) % period < thickness);
}

void TestDrawSurface::newPictureResetsToolsAndWhitens() {
    DrawSurface s(QSize(10, 10));
    s.setPen(clRed, 2);
    s.setBrush(clBlue, BrushStyle::RisingHatch);
    s.moveTo(0, 0);
    s.lineTo(9, 9);
    s.newPicture();
    QVERIFY(inked(s).isEmpty());
    QCOMPARE(s.penColour(), clBlack);
    QCOMPARE(s.penWidth(), 1);
    QCOMPARE(s.brushColour(), clWhite);
    QCOMPARE(s.brushStyle(), BrushStyle::Solid);
}

void TestDrawSurface::clipsOutsideThePicture() {
    DrawSurface s(QSize(10, 10));
    s.moveTo(-50, 5);
    s.lineTo(500, 5);
    s.polygon({{-100, -100}, {200, -100}, {200, 3}, {-100, 3}});
    QCOMPARE(s.pixel(0, 5), clBlack);
    QCOMPARE(s.pixel(9, 5), clBlack);
    QCOMPARE(s.penPos(), QPoint(500, 5));
}

void TestDrawSurface::onePixelLinesMatchSteppedLines() {
    // Every line between the points of a grid around a small picture, whichever way it
    // runs and however little of it lies on the picture.
    DrawSurface s(QSize(6, 5));
    PointList grid;
    for (int y = -4; y <= 8; ++y)
        for (int x = -4; x <= 9; ++x) grid.emplace_back(x, y);
    for (const QPoint &from : grid) {
        for (const QPoint &to : grid) {
            s.newPicture();
            s.moveTo(from.x(), from.y());
            s.lineTo(to.x(), to.y());
            if (s.image() != stepped(s.size(), {from, to}))
                QFAIL(qPrintable(QStringLiteral("(%1,%2) to (%3,%4)")
                                     .arg(from.x())
                                     .arg(from.y())
                                     .arg(to.x())
                                     .arg(to.y())));
        }
    }
    // Longer ones at random on a phase-plane sized picture, open and closed.
    QRandomGenerator random(20240611);
    DrawSurface big(QSize(145, 145));
    for (int i = 0; i < 1000; ++i) {
        PointList points(3);
        for (QPoint &p : points) p = QPoint(random.bounded(-400, 546), random.bounded(-400, 546));
        big.newPicture();
        if (i % 2)
            big.polygon(points);
        else
            big.polyline(points);
        QVERIFY(big.image() == stepped(big.size(), points, i % 2));
    }
}

void TestDrawSurface::farOnePixelLinesLayOnlyPicturePixels() {
    // How far a line has run across at each step depends on its slope alone, so a line
    // that goes on along the same slope to near the end of the int32 range lays the same
    // pixels on the picture as a short one. Walking it would take billions of steps.
    const QSize size(145, 145);
    const std::int64_t far = 250'000'000; // times the steps below stays inside int32
    for (const QPoint &start : {QPoint(70, 70), QPoint(3, 140), QPoint(144, 0)}) {
        for (const QPoint &step : {QPoint(1, 0), QPoint(0, -1), QPoint(1, 1), QPoint(2, -1),
                                   QPoint(-1, 3), QPoint(-5, -2), QPoint(7, 4), QPoint(-3, -8)}) {
            const auto at = [&](std::int64_t t) {
                return QPoint(int(start.x() + t * step.x()), int(start.y() + t * step.y()));
            };
            QCOMPARE(lineOn(size, start, at(far)), stepped(size, {start, at(400)}));
            QCOMPARE(lineOn(size, at(-far), at(far)), stepped(size, {at(-400), at(400)}));
        }
    }
    // Corner to corner of the int32 range: the picture's diagonal.
    const QImage diagonal = stepped(size, {QPoint(-1000, -1000), QPoint(1000, 1000)});
    QCOMPARE(lineOn(size, QPoint(Lowest, Lowest), QPoint(Highest, Highest)), diagonal);
    DrawSurface s(size);
    s.moveTo(70, 70);
    s.lineTo(Highest, Lowest);
    QCOMPARE(s.penPos(), QPoint(Highest, Lowest)); // the pen is where it was sent
    // A thousand crossings of the whole range, either way, lay the diagonal.
    s.newPicture();
    PointList zigzag;
    for (int i = 0; i < 1000; ++i)
        zigzag.emplace_back(i % 2 ? Highest : Lowest, i % 2 ? Highest : Lowest);
    s.polyline(zigzag);
    QCOMPARE(s.image(), diagonal);
}

void TestDrawSurface::wideFarShapesMatchNearOnes() {
    // Shapes reaching to the ends of the int32 range and the same ones reaching only a
    // few thousand pixels out, which go to Qt uncut: on the picture they are alike, the
    // joins on the picture included.
    const int M = 3000, D = Highest - 72;
    struct Case {
        PointList far, near;
        bool closed;
        BrushStyle brush;
    };
    const Case cases[] = {
        {{{20, 20}, {Highest, 20}, {Highest, 100}, {40, 100}, {40, 60}},
         {{20, 20}, {M, 20}, {M, 100}, {40, 100}, {40, 60}},
         false,
         BrushStyle::Solid},
        // A wedge whose outline turns on the picture.
        {{{70, 70}, {70 + D, 70 - D}, {70 + D, 70 + D}},
         {{70, 70}, {70 + M, 70 - M}, {70 + M, 70 + M}},
         true,
         BrushStyle::RisingHatch},
        // A bow tie crossing in the middle: the odd-even rule fills the side wedges.
        {{{72 - D, 72 - D}, {72 + D, 72 + D}, {72 + D, 72 - D}, {72 - D, 72 + D}},
         {{72 - M, 72 - M}, {72 + M, 72 + M}, {72 + M, 72 - M}, {72 - M, 72 + M}},
         true,
         BrushStyle::FallingHatch},
    };
    for (int width : {2, 3}) {
        for (const Case &c : cases) {
            DrawSurface cut(QSize(145, 145)), whole(QSize(145, 145));
            for (DrawSurface *s : {&cut, &whole}) {
                s->setPen(clBlue, width);
                s->setBrush(clLime, c.brush);
            }
            if (c.closed) {
                cut.polygon(c.far);
                whole.polygon(c.near);
            } else {
                cut.polyline(c.far);
                whole.polyline(c.near);
            }
            QCOMPARE(cut.image(), whole.image());
        }
    }
}

QTEST_MAIN(TestDrawSurface)
#include "tst_drawsurface.moc"
