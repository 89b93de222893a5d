#include "switchingcsv.h"

#include "numberformat.h"
#include "switchinglog.h"
#include "verdicttext.h"

#include <cmath>
#include <QString>
#include <utility>

namespace {

// The frequency slider moves the generator a whole hertz a step.
constexpr int SlipStepsPerHz = 1;

// To the nearest 1 / perUnit: one division gives the double nearest that decimal, which
// the shortest form prints as it is, "4.35" rather than "4.3500000000000005".
void appendRounded(QByteArray &out, double value, int perUnit) {
    appendCsvNumber(out, std::round(value * perUnit) / perUnit);
}

} // namespace

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
        // The ticks times the tick are exact; one division then gives the double nearest
        // the exact decimal, which the shortest form prints: 3 ticks read 0.15.
        appendCsvNumber(out, static_cast<double>(s.tick) * TickMs / 1000);
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
        appendCsvText(out, verdictWords(s.oordeel, QStringLiteral("; ")));
        out += ',';
        appendRounded(out, s.at.closingCurrent, 100);
        out += ',';
        appendCsvText(out, realCheckText(judgeRealLimits(s.at), QChar('.')));
        out += '\n';
    }
    return out;
}
