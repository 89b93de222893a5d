// Rounding to pixels, the general number format and the conversion of typed text.
#include "numberformat.h"
#include "rounding.h"
#include "textconvert.h"
#include "zoomlevels.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <QtTest>

class TestNumbers : public QObject {
    Q_OBJECT
private slots:
    void zoomLevels_data();
    void zoomLevels();
    void roundsHalvesToEven_data();
    void roundsHalvesToEven();
    void holdsFarValuesAtRangeEnds_data();
    void holdsFarValuesAtRangeEnds();
    void pixelArithmeticHoldsAtRangeEnds();
    void formatsGeneral_data();
    void formatsGeneral();
    void formatsWithSystemSeparator();
    void formatsThreeDigits_data();
    void formatsThreeDigits();
    void formatsDown_data();
    void formatsDown();
    void writesCsvNumbers_data();
    void writesCsvNumbers();
    void acceptsGrammar_data();
    void acceptsGrammar();
    void refusesOutsideGrammar_data();
    void refusesOutsideGrammar();
    void conversionErrorNamesText();
    void roundTripsThroughFormat();
};

void TestNumbers::roundsHalvesToEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("pixel");
    QTest::newRow("14.5") << 14.5 << 14;
    QTest::newRow("80.5") << 80.5 << 80;
    QTest::newRow("112.5") << 112.5 << 112;
    QTest::newRow("15.5") << 15.5 << 16;
    QTest::newRow("56.25") << 56.25 << 56;
    QTest::newRow("60.75") << 60.75 << 61;
    QTest::newRow("-0.5") << -0.5 << 0;
    QTest::newRow("-1.5") << -1.5 << -2;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("-2.6") << -2.6 << -3;
    QTest::newRow("just above a half") << 2.5000000001 << 3;
    QTest::newRow("just below a half") << 3.4999999999 << 3;
}

void TestNumbers::roundsHalvesToEven() {
    QFETCH(double, value);
    QFETCH(int, pixel);
    QCOMPARE(roundToPixel(value), pixel);
}

void TestNumbers::holdsFarValuesAtRangeEnds_data() {
    // A run with absurd machine data sends its points to such values.
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("pixel");
    const int lowest = std::numeric_limits<std::int32_t>::min();
    const int highest = std::numeric_limits<std::int32_t>::max();
    const double infinity = std::numeric_limits<double>::infinity();
    QTest::newRow("1e300") << 1e300 << highest;
    QTest::newRow("-1e300") << -1e300 << lowest;
    QTest::newRow("infinite") << infinity << highest;
    QTest::newRow("no number") << std::numeric_limits<double>::quiet_NaN() << NoNumberPixel;
    QTest::newRow("a half beyond the largest") << 2147483647.5 << highest;
    QTest::newRow("one beyond the largest") << 2147483648.0 << highest;
    QTest::newRow("half to even below the largest") << 2147483646.5 << 2147483646;
    QTest::newRow("a half beyond the lowest") << -2147483648.5 << lowest;
    QTest::newRow("one beyond the lowest") << -2147483649.0 << lowest;
    QTest::newRow("half to even, down to the lowest") << -2147483647.5 << lowest;
}

void TestNumbers::holdsFarValuesAtRangeEnds() {
    QFETCH(double, value);
    QFETCH(int, pixel);
    QCOMPARE(roundToPixel(value), pixel);
}

void TestNumbers::pixelArithmeticHoldsAtRangeEnds() {
    const int lowest = std::numeric_limits<std::int32_t>::min();
    const int highest = std::numeric_limits<std::int32_t>::max();
    QCOMPARE(pixelAdd(72, -30), 42);
    QCOMPARE(pixelAdd(highest, 1), highest);
    QCOMPARE(pixelAdd(lowest, 72), lowest + 72);
    QCOMPARE(pixelSub(72, lowest), highest); // a point far below the middle stays below
    QCOMPARE(pixelSub(72, highest), 72 - highest);
    QCOMPARE(pixelSub(lowest, highest), lowest);
}

void TestNumbers::formatsGeneral_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("point");
    QTest::addColumn<QString>("comma");
    QTest::newRow("half") << 0.5 << "0.5"
                          << "0,5";
    QTest::newRow("whole") << 30.0 << "30"
                           << "30";
    QTest::newRow("negative") << -3.25 << "-3.25"
                              << "-3,25";
    QTest::newRow("zero") << 0.0 << "0"
                          << "0";
    QTest::newRow("minus zero") << -0.0 << "0"
                                << "0";
    QTest::newRow("damping") << 0.00002 << "2E-5"
                             << "2E-5";
    QTest::newRow("small with digits") << -1.5e-7 << "-1.5E-7"
                                       << "-1,5E-7";
    QTest::newRow("smallest fixed") << 0.0001 << "0.0001"
                                    << "0,0001";
    QTest::newRow("below smallest fixed") << 0.00009 << "9E-5"
                                          << "9E-5";
    QTest::newRow("largest fixed") << 123456789012345.0 << "123456789012345"
                                   << "123456789012345";
    QTest::newRow("1E15") << 1e15 << "1E15"
                          << "1E15";
    QTest::newRow("large") << 1.5e20 << "1.5E20"
                           << "1,5E20";
    QTest::newRow("third") << 1.0 / 3 << "0.333333333333333"
                           << "0,333333333333333";
    QTest::newRow("two thirds") << 2.0 / 3 << "0.666666666666667"
                                << "0,666666666666667";
    QTest::newRow("15 digits round up to a power of ten") << 999999999999999.9 << "1E15"
                                                          << "1E15";
    QTest::newRow("tiny") << 1.23456789012345678e-300 << "1.23456789012346E-300"
                          << "1,23456789012346E-300";
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << "INF"
                              << "INF";
    QTest::newRow("no number") << std::numeric_limits<double>::quiet_NaN() << "NAN"
                               << "NAN";
}

void TestNumbers::formatsGeneral() {
    QFETCH(double, value);
    QFETCH(QString, point);
    QFETCH(QString, comma);
    QCOMPARE(formatGeneral(value, QChar('.')), point);
    QCOMPARE(formatGeneral(value, QChar(',')), comma);
}

void TestNumbers::formatsWithSystemSeparator() {
    // This test runs once in the C locale and once in a Dutch one.
    const bool dutch = qEnvironmentVariable("LC_ALL").startsWith(QLatin1String("nl"));
    QCOMPARE(systemDecimalSeparator(), dutch ? QChar(',') : QChar('.'));
    QCOMPARE(formatGeneral(0.5), dutch ? QStringLiteral("0,5") : QStringLiteral("0.5"));
    QCOMPARE(textToFloat(dutch ? QStringLiteral("1,25") : QStringLiteral("1.25")), 1.25);
}

void TestNumbers::formatsThreeDigits_data() {
    // The voltage and frequency read-outs (3 digits, shortest) and the phase angle
    // (3 digits, then exactly one decimal).
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("general");
    QTest::addColumn<QString>("fixed");
    QTest::newRow("327.18") << 327.18 << "327"
                            << "327.0";
    QTest::newRow("399") << 399.0 << "399"
                         << "399.0";
    QTest::newRow("12.34") << 12.34 << "12.3"
                           << "12.3";
    QTest::newRow("123.45") << 123.45 << "123"
                            << "123.0";
    QTest::newRow("-12.36") << -12.36 << "-12.4"
                            << "-12.4";
    QTest::newRow("1.234") << 1.234 << "1.23"
                           << "1.2";
    QTest::newRow("99.96 rounds up") << 99.96 << "100"
                                     << "100.0";
    QTest::newRow("-0.04") << -0.04 << "-0.04"
                           << "0.0";
    QTest::newRow("0") << 0.0 << "0"
                       << "0.0";
    QTest::newRow("-359.7") << -359.7 << "-360"
                            << "-360.0";
    QTest::newRow("1234") << 1234.0 << "1.23E3"
                          << "1234.0";
}

void TestNumbers::formatsThreeDigits() {
    QFETCH(double, value);
    QFETCH(QString, general);
    QFETCH(QString, fixed);
    QCOMPARE(formatGeneralDigits(value, 3, QChar('.')), general);
    QCOMPARE(formatFixed(value, 3, 1, QChar('.')), fixed);
    QCOMPARE(formatFixed(value, 3, 1, QChar(',')), QString(fixed).replace('.', ','));
    QCOMPARE(formatGeneralDigits(value, 3, QChar(',')), QString(general).replace('.', ','));
}

void TestNumbers::formatsDown_data() {
    // A largest stable power shown to 0.001 must itself be stable: never rounded up.
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("a ten-thousandth below") << 0.8109999 << "0.810";
    QTest::newRow("a thousandth held a little below") << 0.29 << "0.290";
    QTest::newRow("below zero") << -0.0004 << "-0.001";
    QTest::newRow("no number") << qQNaN() << "NAN";
}

void TestNumbers::formatsDown() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatDown(value, 3, QChar('.')), text);
    QCOMPARE(formatDown(value, 3, QChar(',')), QString(text).replace('.', ','));
}

void TestNumbers::writesCsvNumbers_data() {
    // Shortest and exact: each text reads back to its double, in either locale.
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("sum of tenths") << 0.1 + 0.2 << QByteArray("0.30000000000000004");
    QTest::newRow("a tick's time") << 3 / 20.0 << QByteArray("0.15");
    QTest::newRow("minus zero") << -0.0 << QByteArray("0");
    QTest::newRow("large") << 1e21 << QByteArray("1e+21");
    QTest::newRow("largest") << std::numeric_limits<double>::max()
                             << QByteArray("1.7976931348623157e+308");
    QTest::newRow("infinite") << -std::numeric_limits<double>::infinity() << QByteArray("-inf");
    QTest::newRow("no number") << -std::numeric_limits<double>::quiet_NaN() << QByteArray("nan");
}

void TestNumbers::writesCsvNumbers() {
    QFETCH(double, value);
    QFETCH(QByteArray, text);
    QByteArray row("x,");
    appendCsvNumber(row, value);
    QCOMPARE(row, "x," + text);
    QCOMPARE(csvNumber(value), text);
    if (std::isfinite(value)) QCOMPARE(text.toDouble(), value == 0 ? 0.0 : value);
}

void TestNumbers::acceptsGrammar_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<double>("value");
    const QChar dot('.'), comma(',');
    QTest::newRow("digits") << "450" << dot << 450.0;
    QTest::newRow("blanks around") << "  1.5 " << dot << 1.5;
    QTest::newRow("minus") << "-2" << dot << -2.0;
    QTest::newRow("plus") << "+3" << dot << 3.0;
    QTest::newRow("no integer digits") << ".5" << dot << 0.5;
    QTest::newRow("no fraction digits") << "5." << dot << 5.0;
    QTest::newRow("exponent") << "1e3" << dot << 1000.0;
    QTest::newRow("capital exponent") << "2E-5" << dot << 0.00002;
    QTest::newRow("signed exponent") << "1.5e+2" << dot << 150.0;
    QTest::newRow("comma") << "0,5" << comma << 0.5;
    QTest::newRow("comma with exponent") << "-2,5E1" << comma << -25.0;
    QTest::newRow("largest double")
        << "1.7976931348623157e308" << dot << std::numeric_limits<double>::max();
    QTest::newRow("below the smallest double is zero") << "1e-400" << dot << 0.0;
    QTest::newRow("many zeros then tiny") << "0.0000001e-390" << dot << 0.0;
    QTest::newRow("zero with huge exponent") << "0e999999" << dot << 0.0;
    // A million digits must not confuse the decision between too large and too small.
    QTest::newRow("a million digits, then a huge negative exponent")
        << "1" + QString(1000000, QChar('0')) + "e-9999999" << dot << 0.0;
}

void TestNumbers::acceptsGrammar() {
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QFETCH(double, value);
    QCOMPARE(textToFloat(text, separator), value);
}

void TestNumbers::refusesOutsideGrammar_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    const QChar dot('.'), comma(',');
    for (const char *bad : {"",
                            " ",
                            "abc",
                            "inf",
                            "-inf",
                            "nan",
                            "infinity",
                            "0x10",
                            "1.2.3",
                            "1,5",
                            "1e400",
                            "-1e400",
                            "123e99999999999999",
                            "1e",
                            "1e+",
                            "e5",
                            ".",
                            "-",
                            "--1",
                            "+-1",
                            "1 2",
                            "1e5.5",
                            "1.5x",
                            "\t1",
                            "1\t"})
        QTest::newRow(bad) << QString::fromLatin1(bad) << dot;
    QTest::newRow("full stop in a comma locale") << "1.5" << comma;
    QTest::newRow("a million zeros, then a huge exponent")
        << "0." + QString(1000000, QChar('0')) + "1e9999999" << dot;
    QTest::newRow("two commas") << "1,5,0" << comma;
    QTest::newRow("arabic-indic digit") << QString(QChar(0x0661)) << dot;
    QTest::newRow("fullwidth digit") << QString(QChar(0xFF11)) << dot;
}

void TestNumbers::refusesOutsideGrammar() {
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QVERIFY_THROWS_EXCEPTION(ConversionError, textToFloat(text, separator));
}

void TestNumbers::conversionErrorNamesText() {
    try {
        textToFloat(QStringLiteral("12a"), QChar('.'));
        QFAIL("no error raised");
    } catch (const ConversionError &e) {
        QCOMPARE(e.message(), QStringLiteral("'12a' is not a valid floating point value"));
    }
}

void TestNumbers::roundTripsThroughFormat() {
    // What a read-out or a dialog pre-fill shows must read back as the same number
    // wherever it has 15 digits or fewer.
    for (double v : {0.5, 450.0, 6.0, 0.00002, -12.75, 1e-300, 1.5e20, 0.123456789012345})
        for (QChar sep : {QChar('.'), QChar(',')})
            QCOMPARE(textToFloat(formatGeneral(v, sep), sep), v);
}

QTEST_GUILESS_MAIN(TestNumbers)
void TestNumbers::zoomLevels_data() {
    // A step of the View menu from `from`, the screen allowing `largest`.
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("largest");
    QTest::addColumn<int>("in");
    QTest::addColumn<int>("out");
    QTest::newRow("actual size") << 100 << 300 << 125 << 100;
    QTest::newRow("between levels") << 130 << 300 << 150 << 125;
    QTest::newRow("at the screen's limit") << 175 << 175 << 175 << 150;
    QTest::newRow("largest level") << 300 << 300 << 300 << 250;
}

void TestNumbers::zoomLevels() {
    QFETCH(int, from);
    QFETCH(int, largest);
    QFETCH(int, in);
    QFETCH(int, out);
    QCOMPARE(nextZoomLevel(from, largest), in);
    QCOMPARE(previousZoomLevel(from), out);
    // A remembered level beyond what the screen holds comes down to what it holds.
    QCOMPARE(rememberedZoomLevel(250, true, 175), 175);
    // Dravex's window (688 x 470 inside, a 30-pixel title bar) on a 1920 x 1200 desktop
    // with a 40-pixel panel: 200 % fits, 250 % would be 1205 pixels high; a small screen
    // takes 100 %.
    QCOMPARE(largestZoomFitting(688, 470, 0, 30, 1920, 1160), 200);
    QCOMPARE(largestZoomFitting(688, 470, 0, 30, 300, 200), 100);
}

#include "tst_numbers.moc"
