#include "switchboardcsv.h"

#include "numberformat.h"
#include "switchboardkeys.h"
#include "switchboardtext.h"
#include "switchingcsv.h"

#include <cmath>

namespace {

// On an island two sets have breakers: a trip or an open says whose ("set 1: overload").
QString ofSet(const SwitchboardSettings &settings, const SwitchboardEvent &e, const QString &text) {
    if (settings.bus != BusKind::Island) return text;
    const QString set = QStringLiteral("set %1").arg(e.set);
    return text.isEmpty() ? set : set + QStringLiteral(": ") + text;
}

QString detail(const SwitchboardSettings &settings, const SwitchboardEvent &e) {
    switch (e.kind) {
    case SwitchboardEventKind::CloseCommand:
        return e.automatic ? QStringLiteral("automatic") : QString();
    case SwitchboardEventKind::Refused:
        return refusalText(e.refusal);
    case SwitchboardEventKind::Trip:
        return ofSet(settings, e, tripText(e.trip));
    case SwitchboardEventKind::Open:
        return ofSet(settings, e, {});
    case SwitchboardEventKind::Result:
        return zeroReasonText(e.trip, e.beyondFaultTorque);
    case SwitchboardEventKind::LoadStep:
        // As the file gave it: the shortest text of the number.
        return QStringLiteral("load %1 kW, %2 kvar")
            .arg(QString::fromLatin1(csvNumber(e.loadPKw)),
                 QString::fromLatin1(csvNumber(e.loadQKvar)));
    case SwitchboardEventKind::Blackout:
        return e.trip == TripCause::None ? QStringLiteral("the last breaker opened")
                                         : tripText(e.trip);
    case SwitchboardEventKind::TaskMet:
    case SwitchboardEventKind::TaskFailed:
        return islandTaskText(settings.island.task);
    case SwitchboardEventKind::Contact:
        break;
    }
    return {};
}

} // namespace

void appendFixedField(QByteArray &out, double value, int decimals) {
    out += ',';
    // No number, no text: an empty field.
    if (!std::isnan(value)) out += formatFixed(value, 15, decimals, QChar('.')).toLatin1();
}

QByteArray switchboardLogCsv(const SwitchboardSettings &settings,
                             const std::vector<SwitchboardEvent> &events) {
    QByteArray out = "# Selmex switchboard:";
    for (const auto &[key, value] : allSwitchboardKeyValues(settings)) {
        out += ' ';
        out += key;
        out += '=';
        // A load step's "30, 120, 90" as one word: "step=30,120,90".
        out += QByteArray(value).replace(' ', "");
    }
    out += "\ntime_s,event,angle_deg,slip_hz,voltage_difference_pct,closing_current_pu,power_pu,"
           "detail,score\n";
    for (const SwitchboardEvent &e : events) {
        out += secondsText(e.timeMs);
        out += ',';
        out += eventWord(e.kind).toLatin1();
        appendFixedField(out, e.angleDeg, 2);
        appendFixedField(out, e.slipHz, 3);
        appendFixedField(out, e.voltageDifferencePct, 2);
        appendFixedField(out, e.closingCurrentPu, 3);
        appendFixedField(out, e.powerPu, 3);
        out += ',';
        appendCsvText(out, detail(settings, e));
        out += ',';
        if (e.kind == SwitchboardEventKind::Result && e.score >= 0)
            out += QByteArray::number(e.score);
        out += '\n';
    }
    return out;
}
