#include "swinglegend.h"

#include "numberformat.h"

#include <cmath>
#include <QStringList>

namespace {

// Seconds to whole milliseconds, without trailing zeros: the clock is a running sum of
// 3 ms steps, so 2.925 arrives as 2.92499999....
QString seconds(double clock, QChar separator) {
    if (!std::isfinite(clock)) return formatGeneral(clock, separator);
    return formatGeneral(std::llround(clock * 1000.0) / 1000.0L, separator);
}

} // namespace

MachineDataNamed differingMachineData(const std::deque<RunRecord> &runs) {
    MachineDataNamed named;
    if (runs.empty()) return named;
    const TGenParams &first = runs.front().params;
    for (const RunRecord &run : runs) {
        named.Pmax = named.Pmax || run.params.Pmax != first.Pmax;
        named.H = named.H || run.params.H != first.H;
        named.Demping = named.Demping || run.params.Demping != first.Demping;
        named.Pmech = named.Pmech || run.params.Pmech != first.Pmech;
    }
    return named;
}

QString SwingLegendText::whole() const {
    return details.isEmpty() ? headline : headline + QStringLiteral("; ") + details;
}

QString swingLegend(const RunRecord &run, bool withMachineData) {
    MachineDataNamed named;
    named.Pmax = named.H = named.Demping = named.Pmech = withMachineData;
    return swingLegendText(run, named).whole();
}

QString swingLegend(const RunRecord &run, const MachineDataNamed &named) {
    return swingLegendText(run, named).whole();
}

SwingLegendText swingLegendText(const RunRecord &run, const MachineDataNamed &named) {
    const QChar separator = systemDecimalSeparator();
    SwingLegendText text;
    text.headline = QString::number(run.clearingMs) + QStringLiteral(" ms: ");
    switch (run.end) {
    case RunEnd::NotEnded:
        text.headline += QStringLiteral("running");
        break;
    case RunEnd::ClockLimit:
        text.headline += QStringLiteral("in step");
        break;
    case RunEnd::OutOfStep:
        text.headline += QStringLiteral("out of step at ") + seconds(run.endClock, separator) +
                         QStringLiteral(" s");
        break;
    case RunEnd::Stopped:
        text.headline +=
            QStringLiteral("stopped at ") + seconds(run.endClock, separator) + QStringLiteral(" s");
        break;
    }

    QStringList details;
    const FaultScenario &scenario = run.scenario;
    if (!scenario.isOriginal()) {
        const auto ratio = [&](const char *name, double value) {
            return QLatin1String(name) + formatGeneralDigits(value, 4, separator);
        };
        switch (scenario.network) {
        case Network::Busbar:
            details << QStringLiteral("busbar");
            break;
        case Network::TwoLines:
            details << QStringLiteral("two lines ") + ratio("r1 ", scenario.r1()) +
                           ratio(" r2 ", scenario.r2());
            break;
        case Network::Transfer:
            details << ratio("r1 ", scenario.r1()) + ratio(" r2 ", scenario.r2());
            break;
        case Network::PowerStep:
            details << ratio("power step to P1 ", scenario.pmechAfter);
            break;
        case Network::LineOut:
            details << ratio("line out, r2 ", scenario.r2());
            break;
        }
        if (scenario.recloses())
            details << QStringLiteral("reclosing %1 ms onto a %2 fault")
                           .arg(QString::number(scenario.recloseMs),
                                QLatin1String(recloseOntoKey(scenario.recloseOnto)));
    }
    const auto add = [&](bool shown, const char *name, double value) {
        if (shown) details << QLatin1String(name) + QChar(' ') + formatGeneral(value, separator);
    };
    add(named.Pmax, "Pmax", run.params.Pmax);
    add(named.H, "H", run.params.H);
    add(named.Demping, "Demping", run.params.Demping);
    add(named.Pmech, "Pmech", run.params.Pmech);
    text.details = details.join(QStringLiteral(", "));
    return text;
}
