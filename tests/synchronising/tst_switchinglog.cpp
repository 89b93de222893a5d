// The log of switchings: a real check's limits, its words and the CSV.
#include "switchingcsv.h"
#include "switchinglog.h"
#include "verdicttext.h"

#include <QtTest>

static PanelReading reading(double phase, double voltage, double slip, double current = 0,
                            bool orderRight = true, bool directionRight = true) {
    return {phase, 0, 0, voltage, slip, {}, current, orderRight, directionRight};
}
static const QString Angle = QString::fromUtf8("phase difference %1°: a real check allows 10°");
static const QString Volts = "voltage difference %1 %: a real check allows 0 to +5 %";
static const QString Slip = "slip %1 Hz: a real check allows 0.067 Hz";

class TestSwitchingLog : public QObject {
    Q_OBJECT
private slots:
    void realLimits_data();
    void realLimits();
    void csv();
    void csvAsPreciseAsMade_data();
    void csvAsPreciseAsMade();
};

void TestSwitchingLog::realLimits_data() {
    QTest::addColumn<PanelReading>("r");
    QTest::addColumn<QString>("text"); // with full stops
    const QString within = QStringLiteral("within a real synchronising check's limits");
    QTest::newRow("at the upper limits") << reading(10, 5, 0.067) << within;
    QTest::newRow("at the lower limits") << reading(-10, 0, -0.067) << within;
    QTest::newRow("angle 10.1") << reading(10.1, 0, 0) << Angle.arg("10.1");
    QTest::newRow("angle -10.1") << reading(-10.1, 0, 0) << Angle.arg("-10.1");
    QTest::newRow("angle 10.04, not 10") << reading(10.04, 0, 0) << Angle.arg("10.04");
    QTest::newRow("voltage 5.1") << reading(0, 5.1, 0) << Volts.arg("5.1");
    QTest::newRow("voltage -0.1") << reading(0, -0.1, 0) << Volts.arg("-0.1");
    QTest::newRow("slip 0.068") << reading(0, 0, 0.068) << Slip.arg("0.068");
    QTest::newRow("slip -0.068") << reading(0, 0, -0.068) << Slip.arg("-0.068");
    QTest::newRow("phase order wrong, all else within")
        << reading(0, 0, 0, 8.66, false) << "phase order wrong: a real check never closes";
    QTest::newRow("rotation direction and order wrong")
        << reading(0, 0, -100, 0, false, false)
        << "phase order wrong: a real check never closes; rotation direction wrong: a real "
           "check never closes; " +
               Slip.arg("-100");
}

void TestSwitchingLog::realLimits() {
    QFETCH(PanelReading, r);
    QFETCH(QString, text);
    const RealCheck check = judgeRealLimits(r);
    QCOMPARE(realCheckText(check, '.'), text);
    QCOMPARE(realCheckText(check), QString(text).replace('.', systemDecimalSeparator()));
    QCOMPARE(realCheckRefusals(check).join("; "), check.within ? QString() : realCheckText(check));
}

void TestSwitchingLog::csv() {
    SwitchingLog log;
    log.add({3, reading(2.5, 1.25, 0, 0.25), {true, true, true, true}});
    log.add({41, reading(-41.5, -4, 5, 3.5), {false, false, true, true}});
    QCOMPARE(switchingsCsv({304, 42, true, true, 120, 20}, log),
             ("# Selmex start: voltage=304 frequency=42 direction=reversed phase_order=wrong "
              "angle=120 max_angle=20\ntime_s,phase_difference_deg,voltage_difference_pct,"
              "slip_hz,verdict,closing_current_pu,real_limits\n0.15,2.5,1.25,0,Goed gedaan,"
              "0.25,within a real synchronising check's limits\n2.05,-41.5,-4,5,hoek te groot; "
              "draairichting fout,3.5," +
              QStringList{Angle.arg("-41.5"), Volts.arg("-4"), Slip.arg("5")}.join("; ") + '\n')
                 .toUtf8());
}

void TestSwitchingLog::csvAsPreciseAsMade_data() {
    QTest::addColumn<PanelReading>("r");
    QTest::addColumn<QByteArray>("numbers"); // angle, voltage, slip; closing current
    QTest::newRow("slider's slip, angles made by the phasors")
        << reading(-12.345678, 4.999999999999996, 4.999999999999996, 8.660254037844386)
        << QByteArray("-12.35,5,5;8.66");
    QTest::newRow("no minus zero")
        << reading(-0.001, -0.0049, -1e-12, 0.0049) << QByteArray("0,0,0;0");
}

void TestSwitchingLog::csvAsPreciseAsMade() {
    QFETCH(PanelReading, r);
    QFETCH(QByteArray, numbers);
    SwitchingLog log;
    log.add({1, r, {}});
    const QList<QByteArray> fields = switchingsCsv({}, log).split('\n')[2].split(',');
    QCOMPARE(fields.mid(1, 3).join(',') + ';' + fields[5], numbers);
}

QTEST_APPLESS_MAIN(TestSwitchingLog)
#include "tst_switchinglog.moc"
