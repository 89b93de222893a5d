#include "numberformat.h"
#include "statuslines.h"
#include "studycsv.h"

#include <QTest>

Q_DECLARE_METATYPE(FaultScenario)

// The status bar's and the study's words, without a window.
class TestStatusLines : public QObject {
    Q_OBJECT
private slots:
    void disturbanceLimits_data();
    void disturbanceLimits();
    void studyHeader_data();
    void studyHeader();
};

namespace {

QString local(QString text) {
    return text.replace(QChar('.'), systemDecimalSeparator());
}

FaultScenario powerStep(double p1) {
    FaultScenario s;
    s.network = Network::PowerStep;
    s.pmechAfter = p1;
    return s;
}

} // namespace

void TestStatusLines::disturbanceLimits_data() {
    // The largest stable power is shown rounded down, so that the value shown stays in
    // step: a step to it must not read "out of step".
    QTest::addColumn<double>("pmech");
    QTest::addColumn<FaultScenario>("scenario");
    QTest::addColumn<QString>("text");
    QTest::newRow("step from 0.5, limit 0.86965")
        << 0.5 << powerStep(0.7)
        << "Equal areas: after the step to P1 0.700 the rotor swings from 30.0\u00B0 past "
           "44.4\u00B0 to \u03B4max = 60.2\u00B0; largest stable P1 0.869 (no damping)";
    QTest::newRow("step from 0.29 to 0.811, limit 0.81097")
        << 0.29 << powerStep(0.811)
        << "Equal areas: after the step to P1 0.811 A2 falls short of A1 before \u03B4u = "
           "125.8\u00B0: out of step; largest stable P1 0.810 (no damping)";
}

void TestStatusLines::disturbanceLimits() {
    QFETCH(double, pmech);
    QFETCH(FaultScenario, scenario);
    QFETCH(QString, text);
    TGenParams machine;
    machine.Pmech = pmech;
    QCOMPARE(criterionLine(machine, scenario), local(text));
}

void TestStatusLines::studyHeader_data() {
    // A study of dead times says what the breaker recloses onto; the case's keys say it
    // only when the case itself recloses.
    QTest::addColumn<int>("caseRecloseMs");
    QTest::addColumn<bool>("permanent");
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QString>("start");
    QTest::newRow("dead times, no reclosing in the case")
        << 0 << false << "reclose_ms"
        << "# Dravex study: reclose_ms from 1 to 600, 7 points, reclosing onto a transient "
           "fault, simulation up to 2000 ms; case ";
    QTest::newRow("dead times onto a permanent fault")
        << 300 << true << "reclose_ms"
        << "# Dravex study: reclose_ms from 1 to 600, 7 points, reclosing onto a permanent "
           "fault, simulation up to 2000 ms; case ";
}

void TestStatusLines::studyHeader() {
    QFETCH(int, caseRecloseMs);
    QFETCH(bool, permanent);
    QFETCH(QString, parameter);
    QFETCH(QString, start);
    StabilityCase c;
    c.scenario.recloseMs = caseRecloseMs;
    c.scenario.recloseOnto = permanent ? RecloseOnto::Permanent : RecloseOnto::Transient;
    const StudyRange range{*studyParameterFromKey(parameter.toStdString()), 1, 600, 7};
    const QString header = QString::fromUtf8(studyCsv(c, range, SearchLimitMs, {}));
    QVERIFY2(header.startsWith(start), qPrintable(header));
}

QTEST_APPLESS_MAIN(TestStatusLines)
#include "tst_statuslines.moc"
