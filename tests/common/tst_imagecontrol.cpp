// The controls that show the plots' pictures: a picture made on first use and shown as it
// is, made anew for a zoom or a screen's device pixels, and a layout zoomed whole.
#include "imagecontrol.h"
#include "layoutzoom.h"

#include <cmath>
#include <QLabel>
#include <QtTest>

namespace {

bool blank(const DrawSurface &s) {
    for (int y = 0; y < s.size().height(); ++y)
        for (int x = 0; x < s.size().width(); ++x)
            if (s.pixel(x, y) != clWhite) return false;
    return true;
}

} // namespace

class TestImageControl : public QObject {
    Q_OBJECT
private slots:
    void pictureFollowsZoomAndDevicePixels();
    void zoomedLayoutKeepsNeighboursAndCaptions();
    void imageControlMakesPictureOnFirstUse();
};

void TestImageControl::pictureFollowsZoomAndDevicePixels() {
    QWidget parent;
    ImageControl image(&parent, QStringLiteral("ImageFase"), QRect(16, 16, 145, 145));
    image.surface();
    image.resize(290, 290);
    QVERIFY(image.fitPicture(2.0, 1.0));
    QCOMPARE(image.surface().size(), QSize(290, 290));
    QCOMPARE(image.surface().scale(), 2.0);
    QVERIFY(!image.fitPicture(2.0, 1.0)); // nothing to do: the drawing stays
    // On a screen of 1.5 device pixels a pixel, whole device pixels.
    image.resize(145, 145);
    QVERIFY(image.fitPicture(1.0, 1.5));
    QCOMPARE(image.surface().size(), QSize(218, 218));
    QCOMPARE(image.layoutSize(), QSize(145, 145));
}

void TestImageControl::zoomedLayoutKeepsNeighboursAndCaptions() {
    QWidget window;
    window.setFont([] {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(11);
        return f;
    }());
    // Controls edge to edge at 100 %, and a caption sized to its text.
    auto *a = new QWidget(&window);
    a->setGeometry(119, 91, 7, 4);
    auto *b = new QWidget(&window);
    b->setGeometry(126, 91, 90, 4);
    auto *caption = new QLabel(QStringLiteral("Speed deviation"), &window);
    caption->move(405, 59);
    caption->adjustSize();
    LayoutZoom zoom;
    zoom.capture(&window);
    for (double z : {1.25, 1.5, 1.75, 2.5, 1.0}) {
        zoom.apply(z);
        QCOMPARE(a->geometry().right() + 1, b->geometry().left());
        QVERIFY(caption->width() >= caption->sizeHint().width());
        QCOMPARE(window.font().pixelSize(), int(std::lrint(11 * z))); // halves to even
    }
    QCOMPARE(b->geometry(), QRect(126, 91, 90, 4)); // back at 100 %, exactly
}

void TestImageControl::imageControlMakesPictureOnFirstUse() {
    QWidget parent;
    ImageControl image(&parent, QStringLiteral("ImageFase"), QRect(16, 16, 145, 145));
    QCOMPARE(image.objectName(), QStringLiteral("ImageFase"));
    QVERIFY(!image.hasPicture());
    DrawSurface &s = image.surface();
    QVERIFY(image.hasPicture());
    QCOMPARE(s.size(), QSize(145, 145));
    QVERIFY(blank(s));
    s.setPen(clRed);
    s.lineTo(10, 0);
    QCOMPARE(&image.surface(), &s); // the same picture on later use
    image.newPicture();
    QVERIFY(blank(image.surface()));
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

QTEST_MAIN(TestImageControl)
#include "tst_imagecontrol.moc"
