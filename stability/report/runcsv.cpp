#include "runcsv.h"

#include "numberformat.h"

#include <charconv>
#include <QString>

namespace {

// Step numbers as plain digits; the other numbers through the shared CSV writer, the
// shortest text that reads back to the same double.
void appendInteger(QByteArray &out, int value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr - buffer);
}

} // namespace

QByteArray runCsv(const RunRecord &run) {
    const auto general = [](double v) { return formatGeneral(v, QChar('.')); };
    QByteArray out;
    out.reserve(64 * static_cast<qsizetype>(run.samples.size()) + 200);
    QString comment =
        QStringLiteral("# Dravex run: Pmax=%1 H=%2 Demping=%3 Pmech=%4 clearing_ms=%5")
            .arg(general(run.params.Pmax), general(run.params.H), general(run.params.Demping),
                 general(run.params.Pmech), QString::number(run.clearingMs));
    // The original busbar fault goes unnamed, so its files stay as they always were.
    const FaultScenario &scenario = run.scenario;
    if (!scenario.isOriginal()) {
        comment += QStringLiteral(" network=%1 during=%2 after=%3")
                       .arg(QLatin1String(networkKey(scenario.network)), general(scenario.r1()),
                            general(scenario.r2()));
        if (scenario.recloses())
            comment += QStringLiteral(" reclose_ms=%1 reclose_onto=%2")
                           .arg(QString::number(scenario.recloseMs),
                                QLatin1String(recloseOntoKey(scenario.recloseOnto)));
    }
    out += comment.toUtf8() + '\n';
    out += "step,time_s,fault_on,rotor_angle_deg,speed_deviation_rad_s,pelec\n";
    for (const RunSample &s : run.samples) {
        appendInteger(out, s.number);
        out += ',';
        appendCsvNumber(out, s.clock);
        out += s.faultOn ? ",1," : ",0,";
        appendCsvNumber(out, s.rotorAngleDeg);
        out += ',';
        appendCsvNumber(out, s.speedDeviation);
        out += ',';
        appendCsvNumber(out, s.pelec);
        out += '\n';
    }
    return out;
}
