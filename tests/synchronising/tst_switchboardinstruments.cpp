// The switchboard's drawings: the synchroscope, the lamps and the meters on any paint
// device, whatever values and sizes they are given.
#include "switchboardinstruments.h"
#include "switchboardtext.h"
#include "synchroscope.h"

#include <cmath>
#include <limits>
#include <QImage>
#include <QtTest>

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
const double NaN = std::nan("");

// Every kind of drawing of the switchboard, with one value that may be wild.
void paintAll(QPainter &p, QSizeF size, double value) {
    SynchroscopeMarks marks;
    marks.commandAtDeg = value;
    marks.showTurnTime = true;
    marks.secondsPerTurn = value;
    paintSynchroscope(p, size, value, value, value, QFont(), marks);
    for (LampMethod method : {LampMethod::Dark, LampMethod::Rotating})
        SwitchboardLamps().paint(p, size, method, {value, 0.5, value}, QFont());
    // Also a scale with its band and pointer, the value and the band's end wild.
    for (const auto &band :
         {std::optional<MeterBand>(), std::optional(MeterBand{-1, 1, 0, value, value})})
        paintMeter(p, size,
                   {QStringLiteral("Power"), powerReading(value), QStringLiteral("%"),
                    QStringLiteral("note"), true, band},
                   QFont());
}

} // namespace

class TestSwitchboardInstruments : public QObject {
    Q_OBJECT
private slots:
    void wildValuesAndSizes_data();
    void wildValuesAndSizes();
    void needleRepaintLeavesNoTrace_data();
    void needleRepaintLeavesNoTrace();
    void synchroscopeDrawing_data();
    void synchroscopeDrawing();
};

void TestSwitchboardInstruments::wildValuesAndSizes_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<bool>("paints"); // anything at all on the picture
    QTest::newRow("no number") << NaN << QSizeF(200, 200) << true;
    QTest::newRow("infinite") << Inf << QSizeF(200, 200) << true;
    QTest::newRow("huge angle") << 1e300 << QSizeF(200, 200) << true;
    // A huge size costs no more than the picture's pixels: the test would time out.
    QTest::newRow("huge size") << 12.0 << QSizeF(1e12, 1e12) << true;
    QTest::newRow("infinite size") << 12.0 << QSizeF(Inf, Inf) << true;
    QTest::newRow("zero size") << 12.0 << QSizeF(0, 0) << false;
    QTest::newRow("negative size") << 12.0 << QSizeF(-5, -5) << false;
    QTest::newRow("size no number") << 12.0 << QSizeF(NaN, NaN) << false;
}

void TestSwitchboardInstruments::wildValuesAndSizes() {
    QFETCH(double, value);
    QFETCH(QSizeF, size);
    QFETCH(bool, paints);
    QImage picture(200, 200, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    const QImage blank = picture;
    {
        QPainter p(&picture);
        paintAll(p, size, value);
    }
    QCOMPARE(picture != blank, paints);
}

void TestSwitchboardInstruments::needleRepaintLeavesNoTrace_data() {
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<QSizeF>("size");
    QTest::newRow("a frame's move") << -3.0 << -2.6 << QSizeF(240, 240);
    QTest::newRow("across the hub") << 45.0 << -135.0 << QSizeF(240, 240);
    QTest::newRow("wide picture") << 90.0 << 100.0 << QSizeF(500, 180);
    QTest::newRow("no number yet") << NaN << 10.0 << QSizeF(240, 240);
}

// Where only the needle moved the window paints its old and new bounds alone: the picture
// must come out as if it had been painted whole.
void TestSwitchboardInstruments::needleRepaintLeavesNoTrace() {
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(QSizeF, size);
    const auto paint = [&](QImage &picture, double at, const QRegion &clip) {
        QPainter p(&picture);
        if (!clip.isEmpty()) p.setClipRegion(clip);
        p.fillRect(picture.rect(), Qt::white);
        KeptDialSynchroscope().paint(p, size, at, 10, QFont(), {});
    };
    QImage moved(size.toSize(), QImage::Format_ARGB32_Premultiplied), whole = moved;
    paint(moved, from, {});
    paint(moved, to,
          QRegion(synchroscopeNeedleBounds(size, from)) | synchroscopeNeedleBounds(size, to));
    paint(whole, to, {});
    QCOMPARE(moved, whole);
}

void TestSwitchboardInstruments::synchroscopeDrawing_data() {
    // At the dial's own size one unit is one pixel: the middle at (116, 116), the needle 90
    // long, the accepted sector out to 100 (the FAST arrow crosses it at 74).
    QTest::addColumn<double>("phi");
    QTest::addColumn<double>("half");
    QTest::addColumn<double>("clock"); // where to look, degrees clockwise from twelve
    QTest::addColumn<double>("radius");
    QTest::addColumn<bool>("needle"); // the needle there; else the sector there
    QTest::addColumn<bool>("seen");
    // A generator a quarter turn ahead points at three o'clock, one behind at nine.
    QTest::newRow("ahead at three") << 90.0 << 11.5 << 90.0 << 60.0 << true << true;
    QTest::newRow("ahead, not at nine") << 90.0 << 11.5 << -90.0 << 60.0 << true << false;
    QTest::newRow("behind at nine") << -90.0 << 11.5 << -90.0 << 60.0 << true << true;
    QTest::newRow("half a turn at six") << 180.0 << 11.5 << 180.0 << 60.0 << true << true;
    // The sector spans the accepted angles on both sides of twelve, and no more.
    QTest::newRow("sector right") << 90.0 << 11.5 << 8.0 << 62.0 << false << true;
    QTest::newRow("sector left") << 90.0 << 11.5 << -8.0 << 62.0 << false << true;
    QTest::newRow("beyond the sector") << 90.0 << 11.5 << 15.0 << 62.0 << false << false;
    QTest::newRow("wider sector") << 90.0 << 29.0 << 25.0 << 62.0 << false << true;
    QTest::newRow("no sector") << 90.0 << 0.0 << 0.5 << 62.0 << false << false;
    // Angles that are no number draw no needle rather than a wild one.
    QTest::newRow("no number") << NaN << NaN << 0.0 << 60.0 << true << false;
}

void TestSwitchboardInstruments::synchroscopeDrawing() {
    QFETCH(double, phi);
    QFETCH(double, half);
    QFETCH(double, clock);
    QFETCH(double, radius);
    QFETCH(bool, needle);
    QFETCH(bool, seen);
    QImage picture(232, 232, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    {
        QPainter p(&picture);
        paintSynchroscope(p, QSizeF(232, 232), phi, half, 0, QFont());
    }
    const double a = clock * 3.14159265358979 / 180;
    const QColor c(
        picture.pixel(qRound(116 + radius * std::sin(a)), qRound(116 - radius * std::cos(a))));
    QCOMPARE(needle ? c.red() > 150 && c.green() < 80 : c.green() > c.red() + 30, seen);
}

QTEST_MAIN(TestSwitchboardInstruments)
#include "tst_switchboardinstruments.moc"
