#include "switchinglog.h"

#include <cmath>
#include <utility>

namespace {

// Round-off in the readings never decides a limit: 399 V, 5 % above the network's,
// reads 5.000000000000015 % at some starts.
constexpr double RoundOff = 1e-9;

// The frequency slider moves the generator a whole hertz a step.
constexpr int SlipStepsPerHz = 1;

// The value to 3 significant digits, or to as many more as it takes for the text to lie
// outside [low, high] as the value does: 10.04 degrees reads "10.04", never "10".
QString beyond(double value, double low, double high, QChar decimalSeparator) {
    int digits = 3;
    for (; digits < 17; ++digits) {
        bool ok = false;
        const double shown = formatGeneralDigits(value, digits, QChar('.')).toDouble(&ok);
        if (!ok || shown < low || shown > high) break;
    }
    return formatGeneralDigits(value, digits, decimalSeparator);
}

QStringList refusalsOf(const PanelReading &r, QChar separator) {
    const auto number = [separator](double v) { return formatGeneralDigits(v, 3, separator); };
    QStringList refusals;
    // Two phases would close 120 degrees apart, or would come apart at once: no setting
    // of the others makes up for it.
    if (!r.phaseOrderRight)
        refusals << QStringLiteral("phase order wrong: a real check never closes");
    if (!r.directionRight)
        refusals << QStringLiteral("rotation direction wrong: a real check never closes");
    if (!(std::fabs(r.phaseDifferenceDeg) <= RealMaxAngleDeg + RoundOff))
        refusals << QStringLiteral("phase difference %1%2: a real check allows %3%2")
                        .arg(beyond(r.phaseDifferenceDeg, -RealMaxAngleDeg, RealMaxAngleDeg,
                                    separator),
                             QString(QChar(0x00B0)), number(RealMaxAngleDeg));
    const double dv = r.voltageDifferencePercent;
    if (!(dv >= RealMinVoltagePercent - RoundOff && dv <= RealMaxVoltagePercent + RoundOff))
        refusals << QStringLiteral("voltage difference %1 %: a real check allows %2 to +%3 %")
                        .arg(beyond(dv, RealMinVoltagePercent, RealMaxVoltagePercent, separator),
                             number(RealMinVoltagePercent), number(RealMaxVoltagePercent));
    if (!(std::fabs(r.slipHz) <= RealMaxSlipHz + RoundOff))
        refusals << QStringLiteral("slip %1 Hz: a real check allows %2 Hz")
                        .arg(beyond(r.slipHz, -RealMaxSlipHz, RealMaxSlipHz, separator),
                             number(RealMaxSlipHz));
    return refusals;
}

// To the nearest 1 / perUnit: one division gives the double nearest that decimal, which
// the shortest form prints as it is, "4.35" rather than "4.3500000000000005".
void appendRounded(QByteArray &out, double value, int perUnit) {
    appendCsvNumber(out, std::round(value * perUnit) / perUnit);
}

// Quoted where a reader would otherwise split the field or the row.
void appendText(QByteArray &out, const QString &text) {
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') ||
        bytes.contains('\r')) {
        bytes.replace("\"", "\"\"");
        bytes = '"' + bytes + '"';
    }
    out += bytes;
}

} // namespace

QString RealCheck::text(QChar decimalSeparator) const {
    if (within) return QStringLiteral("within a real synchronising check's limits");
    return refusalsOf(judged, decimalSeparator).join(QStringLiteral("; "));
}

RealCheck judgeRealLimits(const PanelReading &r) {
    RealCheck check;
    check.judged = r;
    check.refusals = refusalsOf(r, systemDecimalSeparator());
    check.within = check.refusals.isEmpty();
    return check;
}

void SwitchingLog::add(LoggedSwitching switching) {
    if (m_entries.size() >= MaxEntries) m_entries.erase(m_entries.begin());
    m_entries.push_back(std::move(switching));
}

QByteArray switchingsCsv(const SelmexStart &start, const SwitchingLog &log) {
    QByteArray out = QStringLiteral("# Selmex start: voltage=%1 frequency=%2 direction=%3 "
                                    "phase_order=%4 angle=%5 max_angle=%6\n")
                         .arg(QString::number(start.voltage), QString::number(start.frequency),
                              start.reversed ? QStringLiteral("reversed") : QStringLiteral("same"),
                              start.wrongOrder ? QStringLiteral("wrong") : QStringLiteral("right"),
                              QString::number(start.angle), QString::number(start.maxAngle))
                         .toUtf8();
    out += "time_s,phase_difference_deg,voltage_difference_pct,slip_hz,verdict,"
           "closing_current_pu,real_limits\n";
    for (const LoggedSwitching &s : log.entries()) {
        // One rounding of tick / 20 gives the double nearest the exact decimal, which
        // the shortest form then prints: 3 ticks read 0.15.
        appendCsvNumber(out, static_cast<double>(s.tick) / 20);
        // As precise as the values are made: the slider sets the slip in whole hertz,
        // a hundredth of a degree or a per cent is finer than a panel reads.
        const std::pair<double, int> numbers[] = {{s.at.phaseDifferenceDeg, 100},
                                                  {s.at.voltageDifferencePercent, 100},
                                                  {s.at.slipHz, SlipStepsPerHz}};
        for (const auto &[v, perUnit] : numbers) {
            out += ',';
            appendRounded(out, v, perUnit);
        }
        out += ',';
        appendText(out, s.oordeel.goed() ? QStringLiteral("Goed gedaan")
                                         : s.oordeel.fouten().join(QStringLiteral("; ")));
        out += ',';
        appendRounded(out, s.at.closingCurrent, 100);
        out += ',';
        appendText(out, judgeRealLimits(s.at).text(QChar('.')));
        out += '\n';
    }
    return out;
}
