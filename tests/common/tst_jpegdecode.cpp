// The JPEG decoder on libjpeg: Dravex's logo as the program keeps it, and input that
// is empty, cut short, random, damaged or oversized, which must give an empty picture
// and leave the program running.
#include "jpegdecode.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

namespace {

// The logo as Dravex keeps it among its resources (the same file).
QByteArray logoJpeg() {
    QFile file(QStringLiteral(LOGO_JPEG));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestJpegDecode : public QObject {
    Q_OBJECT
private slots:
    void logoIsBaselineColourRedOnWhite();
    void emptyAndTruncatedGiveEmptyPicture();
    void randomAndDamagedBytes();
    void wellFormedButRefused();
};

void TestJpegDecode::logoIsBaselineColourRedOnWhite() {
    const QByteArray jpeg = logoJpeg();
    QCOMPARE(jpeg.mid(6, 5), QByteArray("JFIF", 5));
    // SOF0, the baseline frame, and no progressive one.
    QVERIFY(jpeg.contains("\xFF\xC0") && !jpeg.contains("\xFF\xC2"));
    JpegHeader header;
    const QImage logo = decodeJpeg(jpeg, &header);
    QCOMPARE(logo.size(), QSize(130, 84));
    QCOMPARE(header.components, 3);
    QVERIFY(header.jfif && !header.progressive);
    const auto at = [&logo](int x, int y) { return QColor(logo.pixel(x, y)); };
    // Corners and the gap between the letters are white.
    for (QPoint p : {QPoint(0, 0), QPoint(129, 0), QPoint(0, 83), QPoint(129, 83), QPoint(65, 40)})
        QVERIFY2(at(p.x(), p.y()).lightness() >= 245, qPrintable(at(p.x(), p.y()).name()));
    // Red: the stem of the D from top to bottom, the top of the S, the wave under both.
    for (QPoint p :
         {QPoint(28, 12), QPoint(27, 48), QPoint(100, 10), QPoint(40, 63), QPoint(92, 77)}) {
        const QColor c = at(p.x(), p.y());
        QVERIFY2(c.red() >= 230 && c.green() <= 40 && c.blue() <= 40, qPrintable(c.name()));
    }
}

void TestJpegDecode::emptyAndTruncatedGiveEmptyPicture() {
    // Cut at every length: in the headers, in the coded rows, before the end marker.
    // libjpeg would fill missing rows with grey and only warn; that is no picture.
    const QByteArray jpeg = logoJpeg();
    for (qsizetype length = 0; length < jpeg.size(); ++length)
        QVERIFY2(decodeJpeg(jpeg.left(length)).isNull(), qPrintable(QString::number(length)));
    QVERIFY(decodeJpeg(QByteArray()).isNull());
    QCOMPARE(decodeJpeg(jpeg).size(), QSize(130, 84)); // and fit for the next picture
}

void TestJpegDecode::randomAndDamagedBytes() {
    QRandomGenerator random(20240611);
    for (int i = 0; i < 300; ++i) {
        QByteArray bytes(1 + random.bounded(4096), Qt::Uninitialized);
        for (char &b : bytes) b = char(random.bounded(256));
        if (i % 2) bytes.prepend("\xFF\xD8\xFF"); // begins like a JPEG: read on into markers
        QVERIFY2(decodeJpeg(bytes).isNull(), qPrintable(QString::number(i)));
    }
    // The logo with a few bytes changed: libjpeg notices much of it, while some damage
    // to the coded rows only changes pixels. Either way no crash and no bad memory
    // access (the sanitizer build watches), and most copies are refused.
    int refused = 0;
    for (int i = 0; i < 300; ++i) {
        QByteArray damaged = logoJpeg();
        for (int n = 1 + random.bounded(8); n > 0; --n)
            damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
        refused += decodeJpeg(damaged).isNull();
    }
    QVERIFY2(refused > 150, qPrintable(QString::number(refused)));
}

void TestJpegDecode::wellFormedButRefused() {
    // Well-formed files from another writer that no program here needs: a grey picture
    // (one component), and one wider than 4096 pixels, which is as far as a crafted
    // header may make the decoder reach for memory.
    const auto written = [](QImage image) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.fill(Qt::red);
        image.save(&buffer, "JPEG");
        return bytes;
    };
    const QByteArray grey = written(QImage(16, 16, QImage::Format_Grayscale8));
    if (grey.isEmpty()) QSKIP("Qt has no JPEG writer here");
    JpegHeader header;
    QVERIFY(decodeJpeg(grey, &header).isNull());
    QCOMPARE(header.components, 1);
    QCOMPARE(decodeJpeg(written(QImage(4096, 2, QImage::Format_RGB32))).size(), QSize(4096, 2));
    QVERIFY(decodeJpeg(written(QImage(4097, 2, QImage::Format_RGB32)), &header).isNull());
    QCOMPARE(header.width, 4097);
}

QTEST_GUILESS_MAIN(TestJpegDecode)
#include "tst_jpegdecode.moc"
