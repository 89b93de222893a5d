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

QTEST_MAIN(TestSwitchboardInstruments)
#include "tst_switchboardinstruments.moc"
