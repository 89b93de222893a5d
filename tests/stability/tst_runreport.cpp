// The texts written about runs: a run as CSV, and the swing curves' legend for a run.
#include "runcsv.h"
#include "swinglegend.h"

#include <charconv>
#include <QtTest>

namespace {

// A text written with a full stop, in the user's locale.
QString local(const char *text) {
    return QString::fromUtf8(text).replace(QChar('.'), QLocale::system().decimalPoint());
}

double number(const QByteArray &text) {
    double v = 0;
    const auto r = std::from_chars(text.constData(), text.constData() + text.size(), v);
    return r.ec == std::errc() && r.ptr == text.constData() + text.size() ? v : -12345.678;
}

} // namespace

class TestRunReport : public QObject {
    Q_OBJECT
private slots:
    void csvOfDefaultRun();
    void csvNamesTheScenario();
    void swingLegendNumbers();
};

void TestRunReport::csvOfDefaultRun() {
    const RunRecord run = recordRun(StabilityCase{});
    const QList<QByteArray> lines = runCsv(run).split('\n');
    QCOMPARE(lines.size(), 2 + 3334 + 1); // the last line end leaves an empty piece
    QCOMPARE(lines[0], "# Dravex run: Pmax=450 H=6 Demping=2E-5 Pmech=0.5 clearing_ms=200");
    QCOMPARE(lines[1], "step,time_s,fault_on,rotor_angle_deg,speed_deviation_rad_s,pelec");
    QVERIFY(lines.last().isEmpty());
    for (int i = 0; i < 3334; ++i) {
        const QList<QByteArray> f = lines[2 + i].split(',');
        QCOMPARE(f.size(), 6);
        QCOMPARE(f[0], QByteArray::number(i + 1));
        QCOMPARE(f[2], i < 67 ? "1" : "0"); // cleared after 200 ms: 67 steps of 3 ms
        const RunSample &s = run.samples[std::size_t(i)];
        const double expected[] = {s.clock, s.rotorAngleDeg, s.speedDeviation, s.pelec};
        const int columns[] = {1, 3, 4, 5};
        for (int c = 0; c < 4; ++c) // exactly: QCOMPARE on doubles forgives the last digits
            QVERIFY2(number(f[columns[c]]) == expected[c], lines[2 + i].constData());
    }
    QCOMPARE(lines[2].split(',')[1], "0");
}

void TestRunReport::csvNamesTheScenario() {
    RunRecord run;
    run.clearingMs = 100;
    run.scenario.network = Network::Transfer;
    run.scenario.during = 0.25;
    const QByteArray line = "# Dravex run: Pmax=450 H=6 Demping=2E-5 Pmech=0.5 clearing_ms=100 "
                            "network=transfer during=0.25 after=1";
    QVERIFY(runCsv(run).startsWith(line + "\nstep,"));
    run.scenario.recloseMs = 300;
    QVERIFY(runCsv(run).startsWith(line + " reclose_ms=300 reclose_onto=transient\nstep,"));
}

void TestRunReport::swingLegendNumbers() {
    RunRecord run;
    run.clearingMs = 376;
    run.end = RunEnd::OutOfStep;
    run.endClock = 2.9249999999999998; // the running sum of the steps
    QCOMPARE(swingLegend(run, false), local("376 ms: out of step at 2.925 s"));
    run.end = RunEnd::Stopped;
    run.endClock = 3.0000000000000004;
    QCOMPARE(swingLegend(run, false), QStringLiteral("376 ms: stopped at 3 s"));
    run.end = RunEnd::ClockLimit;
    QCOMPARE(swingLegend(run, true),
             local("376 ms: in step; Pmax 450, H 6, Demping 2E-5, Pmech 0.5"));
    MachineDataNamed named;
    named.H = named.Pmech = true;
    run.params.H = 3.5;
    QCOMPARE(swingLegend(run, named), local("376 ms: in step; H 3.5, Pmech 0.5"));
    // The outcome comes first, so that a narrow legend never cuts it off.
    run.scenario.network = Network::TwoLines;
    run.scenario.recloseMs = 300;
    run.scenario.recloseOnto = RecloseOnto::Permanent;
    const SwingLegendText text = swingLegendText(run, MachineDataNamed{});
    QCOMPARE(text.headline, QStringLiteral("376 ms: in step"));
    QCOMPARE(text.details,
             local("two lines r1 0.3611 r2 0.8125, reclosing 300 ms onto a permanent fault"));
}

QTEST_GUILESS_MAIN(TestRunReport)
#include "tst_runreport.moc"
