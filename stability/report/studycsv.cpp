#include "studycsv.h"

#include "constants.h"
#include "numberformat.h"
#include "runcsv.h"

const char *criterionVerdictKey(const KritiekeAfschakeling &k) {
    if (k.altijdStabiel) return "always";
    if (k.nooitStabiel) return "never";
    return "clears";
}

std::optional<std::int32_t> firstOutOfStepMs(const CriticalClearing &found) {
    if (found.kind == CriticalClearing::Kind::AlwaysInStep) return std::nullopt;
    return found.lastInStepMs + 1;
}

QString studyRangeText(const StudyRange &range) {
    const auto general = [](double v) { return formatGeneral(v, QChar('.')); };
    return QStringLiteral("%1 from %2 to %3, %4 points")
        .arg(QLatin1String(studyParameterKey(range.parameter)), general(range.from),
             general(range.to))
        .arg(range.points);
}

QByteArray studyCsv(const StabilityCase &c, const StudyRange &range, std::int32_t limitMs,
                    const std::vector<StudyPoint> &points) {
    // A study of dead times recloses at every point, onto the fault as the case has it:
    // the case's keys name that only when the case itself recloses.
    const QString onto = range.parameter == StudyParameter::RecloseMs
                             ? QStringLiteral(", reclosing onto a %1 fault")
                                   .arg(QLatin1String(recloseOntoKey(c.scenario.recloseOnto)))
                             : QString();
    QByteArray out = QStringLiteral("# Dravex study: %1%2, simulation up to %3 ms; case %4\n")
                         .arg(studyRangeText(range), onto, QString::number(limitMs),
                              caseKeys(c.machine, c.clearingMs, c.scenario))
                         .toUtf8();
    out += "value,criterion_verdict,criterion_angle_deg,criterion_ms,simulation_out_of_step_ms\n";
    for (const StudyPoint &p : points) {
        appendCsvNumber(out, p.value);
        out += ',';
        out += criterionVerdictKey(p.criterion);
        out += ',';
        if (!p.criterion.altijdStabiel && !p.criterion.nooitStabiel) {
            appendCsvNumber(out, static_cast<double>(p.criterion.hoek * 180 / Pi));
            out += ',';
            appendCsvNumber(out, static_cast<double>(p.criterion.tijd * 1000));
        } else {
            out += ',';
        }
        out += ',';
        if (const auto ms = firstOutOfStepMs(p.simulation)) out += QByteArray::number(*ms);
        out += '\n';
    }
    return out;
}
