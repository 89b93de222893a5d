#include "faultrun.h"
#include "numberformat.h"
#include "statuslines.h"
#include "studycsv.h"

#include <QTest>

Q_DECLARE_METATYPE(FaultScenario)

// The status bar's and the study's words, without a window: the criterion's line, the
// areas of whole runs, and the study's header.
class TestStatusLines : public QObject {
    Q_OBJECT
private slots:
    void criterionLines_data();
    void criterionLines();
    void fullLoadClearsAtOnce();
    void areasOfRuns_data();
    void areasOfRuns();
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

void TestStatusLines::criterionLines_data() {
    // For a disturbance the largest stable power is shown rounded down, so that the value
    // shown stays in step: a step to it must not read "out of step".
    QTest::addColumn<double>("pmech");
    QTest::addColumn<FaultScenario>("scenario");
    QTest::addColumn<QString>("text");
    QTest::newRow("busbar fault") << 0.5 << FaultScenario{}
                                  << "Equal areas: critical clearing angle 79.6\u00B0, critical "
                                     "clearing time 364 ms (no damping)";
    QTest::newRow("Pmech 0") << 0.0 << FaultScenario{}
                             << "Equal areas: with Pmech 0 nothing accelerates the rotor, so any "
                                "clearing time is stable";
    QTest::newRow("step from 0.5, limit 0.86965")
        << 0.5 << powerStep(0.7)
        << "Equal areas: after the step to P1 0.700 the rotor swings from 30.0\u00B0 past "
           "44.4\u00B0 to \u03B4max = 60.2\u00B0; largest stable P1 0.869 (no damping)";
    QTest::newRow("step from 0.29 to 0.811, limit 0.81097")
        << 0.29 << powerStep(0.811)
        << "Equal areas: after the step to P1 0.811 A2 falls short of A1 before \u03B4u = "
           "125.8\u00B0: out of step; largest stable P1 0.810 (no damping)";
}

void TestStatusLines::criterionLines() {
    QFETCH(double, pmech);
    QFETCH(FaultScenario, scenario);
    QFETCH(QString, text);
    TGenParams machine;
    machine.Pmech = pmech;
    QCOMPARE(criterionLine(machine, scenario), local(text));
}

void TestStatusLines::fullLoadClearsAtOnce() {
    TGenParams full;
    full.Pmech = 1;
    QVERIFY(criterionText(BerekenKritiek(full))
                .contains(QStringLiteral("critical clearing time 0 ms")));
}

void TestStatusLines::areasOfRuns_data() {
    // The areas summed through a whole run of the default machine (damped), as the
    // status bar's second line and the command line say them.
    QTest::addColumn<int>("clearingMs");
    QTest::addColumn<FaultScenario>("scenario");
    QTest::addColumn<QString>("begins");
    QTest::addColumn<QStringList>("holds");
    QTest::addColumn<QString>("ends");
    QTest::newRow("busbar fault, 200 ms")
        << 200 << FaultScenario{} << "A1 = "
        << QStringList{"before \u03B4u = 150.0\u00B0", "stable: the swing turned back at"}
        << QString();
    QTest::newRow("busbar fault, 376 ms")
        << 376 << FaultScenario{} << "A1 = " << QStringList{}
        << "unstable: the angle passed \u03B4u = 150.0\u00B0; A2, all the area up to it, fell "
           "short of A1";
    // delta_max is the criterion's turn here; the areas' limit is delta_u.
    QTest::newRow("power step to 0.7")
        << 200 << powerStep(0.7) << QString()
        << QStringList{"stable: the swing turned back at", "before \u03B4u = 135.6\u00B0"}
        << QString();
}

void TestStatusLines::areasOfRuns() {
    QFETCH(int, clearingMs);
    QFETCH(FaultScenario, scenario);
    QFETCH(QString, begins);
    QFETCH(QStringList, holds);
    QFETCH(QString, ends);
    // The areas start once the run has started: a power step's P1 is then in the generator.
    FaultRun run;
    Oppervlaktesom som;
    run.addListener([&](const StepReport &r) { som.stap(run.generator(), r.faultOn, r.factor); });
    run.start(scenario);
    som.start(run.generator(), scenario);
    while (run.continues()) run.step(clearingMs);
    run.finish();
    const QString text = areasText(som, true);
    QVERIFY2(text.startsWith(local(begins)), qPrintable(text));
    for (const QString &part : holds) QVERIFY2(text.contains(local(part)), qPrintable(text));
    QVERIFY2(text.endsWith(local(ends)), qPrintable(text));
    if (begins.isEmpty()) return;
    // A1 with four decimals in the user's decimal form.
    const QStringList words = text.split(QChar(' '), Qt::SkipEmptyParts);
    QCOMPARE(words[2].size(), 6);
    QCOMPARE(words[2].at(1), systemDecimalSeparator());
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
