#include "switchboardcsv.h"

#include "numberformat.h"
#include "switchboardkeys.h"
#include "switchboardtext.h"
#include "switchingcsv.h"

#include <cmath>

namespace {

void appendFixed(QByteArray &out, double value, int decimals) {
    out += ',';
    // No number, no text: an empty field.
    if (!std::isnan(value)) out += formatFixed(value, 15, decimals, QChar('.')).toLatin1();
}

QString detail(const SwitchboardEvent &e) {
    switch (e.kind) {
    case SwitchboardEventKind::CloseCommand:
        return e.automatic ? QStringLiteral("automatic") : QString();
    case SwitchboardEventKind::Refused:
        return refusalText(e.refusal);
    case SwitchboardEventKind::Trip:
        return tripText(e.trip);
    case SwitchboardEventKind::Result:
        return zeroReasonText(e.trip, e.beyondFaultTorque);
    case SwitchboardEventKind::Contact:
    case SwitchboardEventKind::Open:
    case SwitchboardEventKind::LoadStep:
    case SwitchboardEventKind::Blackout:
    case SwitchboardEventKind::TaskMet:
    case SwitchboardEventKind::TaskFailed:
        break;
    }
    return {};
}

} // namespace

QByteArray switchboardLogCsv(const SwitchboardSettings &settings,
                             const std::vector<SwitchboardEvent> &events) {
    QByteArray out = "# Selmex switchboard:";
    for (const auto &[key, value] : switchboardKeyValues(settings)) {
        out += ' ';
        out += key;
        out += '=';
        out += value;
    }
    out += "\ntime_s,event,angle_deg,slip_hz,voltage_difference_pct,closing_current_pu,power_pu,"
           "detail,score\n";
    for (const SwitchboardEvent &e : events) {
        out += secondsText(e.timeMs);
        out += ',';
        out += eventWord(e.kind).toLatin1();
        appendFixed(out, e.angleDeg, 2);
        appendFixed(out, e.slipHz, 3);
        appendFixed(out, e.voltageDifferencePct, 2);
        appendFixed(out, e.closingCurrentPu, 3);
        appendFixed(out, e.powerPu, 3);
        out += ',';
        appendCsvText(out, detail(e));
        out += ',';
        if (e.kind == SwitchboardEventKind::Result && e.score >= 0)
            out += QByteArray::number(e.score);
        out += '\n';
    }
    return out;
}
