// The drawing surface that every plot draws on: kept pen and brush, pen position,
// line end pixels, hatches fixed to the grid, erasing by drawing again in white.
#include "drawsurface.h"
#include "imagecontrol.h"

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
    void redrawingInWhiteErasesExactly();
    void newPictureResetsToolsAndWhitens();
    void clipsOutsideThePicture();
    void imageControlMakesPictureOnFirstUse();
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

void TestDrawSurface::redrawingInWhiteErasesExactly() {
    DrawSurface s(QSize(40, 40));
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

void TestDrawSurface::imageControlMakesPictureOnFirstUse() {
    QWidget parent;
    ImageControl image(&parent, QStringLiteral("ImageFase"), QRect(16, 16, 145, 145));
    QCOMPARE(image.objectName(), QStringLiteral("ImageFase"));
    QVERIFY(!image.hasPicture());
    DrawSurface &s = image.surface();
    QVERIFY(image.hasPicture());
    QCOMPARE(s.size(), QSize(145, 145));
    QVERIFY(inked(s).isEmpty());
    s.setPen(clRed);
    s.lineTo(10, 0);
    QCOMPARE(&image.surface(), &s); // the same picture on later use
    image.newPicture();
    QVERIFY(inked(image.surface()).isEmpty());
    QCOMPARE(image.surface().penColour(), clBlack);
    // The control shows its picture as it is.
    image.surface().setPen(clRed);
    image.surface().moveTo(0, 3);
    image.surface().lineTo(145, 3);
    QImage shown(145, 145, QImage::Format_RGB32);
    image.render(&shown);
    QCOMPARE(shown.pixel(70, 3), qRgb(255, 0, 0));
    QCOMPARE(shown.pixel(70, 4), qRgb(255, 255, 255));
}

QTEST_MAIN(TestDrawSurface)
#include "tst_drawsurface.moc"
