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

QString caseKeys(const TGenParams &params, std::int32_t clearingMs, const FaultScenario &scenario) {
    const auto general = [](double v) { return formatGeneral(v, QChar('.')); };
    QString keys = QStringLiteral("Pmax=%1 H=%2 Demping=%3 Pmech=%4 clearing_ms=%5")
                       .arg(general(params.Pmax), general(params.H), general(params.Demping),
                            general(params.Pmech), QString::number(clearingMs));
    // The original busbar fault goes unnamed, so its files stay as they always were.
    if (scenario.network == Network::PowerStep) {
        keys += QStringLiteral(" network=%1 pmech_after=%2")
                    .arg(QLatin1String(networkKey(scenario.network)), general(scenario.pmechAfter));
    } else if (scenario.network == Network::LineOut) {
        keys += QStringLiteral(" network=%1 after=%2")
                    .arg(QLatin1String(networkKey(scenario.network)), general(scenario.r2()));
    } else if (!scenario.isOriginal()) {
        keys += QStringLiteral(" network=%1 during=%2 after=%3")
                    .arg(QLatin1String(networkKey(scenario.network)), general(scenario.r1()),
                         general(scenario.r2()));
        if (scenario.recloses())
            keys += QStringLiteral(" reclose_ms=%1 reclose_onto=%2")
                        .arg(QString::number(scenario.recloseMs),
                             QLatin1String(recloseOntoKey(scenario.recloseOnto)));
    }
    return keys;
}

QByteArray runCsv(const RunRecord &run) {
    QByteArray out;
    out.reserve(64 * static_cast<qsizetype>(run.samples.size()) + 200);
    const QString comment =
        QStringLiteral("# Dravex run: ") + caseKeys(run.params, run.clearingMs, run.scenario);
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
