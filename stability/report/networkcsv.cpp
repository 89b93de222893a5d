#include "networkcsv.h"

#include "constants.h"
#include "numberformat.h"

#include <cmath>
#include <QStringList>

using namespace multimachine;

namespace {

constexpr double Degrees = static_cast<double>(180 / ::Pi);

QString busList(const std::vector<int> &buses) {
    QStringList names;
    for (int b : buses) names << QString::number(b);
    return names.join(QStringLiteral(", "));
}

QString lineName(const BranchId &id) {
    return QString::fromStdString(branchName(id));
}

// The longest clearing time in step, as the screening's columns give it.
QByteArray simulationField(const ClearingSearchResult &r) {
    switch (r.kind) {
    case ClearingSearchResult::Kind::Found:
        return QByteArray::number(r.inStepUpToMs);
    case ClearingSearchResult::Kind::StableThroughout:
        return ">" + QByteArray::number(LongestClearingMs);
    case ClearingSearchResult::Kind::UnstableAtOnce:
        break;
    }
    return "none";
}

QByteArray equivalentField(const EquivalentResult &e) {
    switch (e.kind) {
    case EquivalentResult::Kind::Found:
        return QByteArray::number(static_cast<long long>(std::floor(e.criticalClearingMs)));
    case EquivalentResult::Kind::StableThroughout:
        return "inf";
    case EquivalentResult::Kind::UnstableAtOnce:
        break;
    }
    return "none";
}

} // namespace

QString faultText(const FaultSpec &fault) {
    QString text;
    if (fault.line)
        text = QStringLiteral("a fault on line %1 at %2 of its length from bus %3")
                   .arg(lineName(*fault.line), formatGeneral(fault.location, QChar('.')))
                   .arg(fault.line->from);
    else if (fault.bus)
        text = QStringLiteral("a fault at bus %1").arg(*fault.bus);
    else
        return QStringLiteral("no fault");
    text += QStringLiteral(", cleared after %1 ms").arg(fault.clearMs);
    if (fault.openLine)
        text += QStringLiteral(" by opening line %1").arg(lineName(*fault.openLine));
    if (fault.openLine && fault.recloseMs)
        text += QStringLiteral(", reclosed after %1 ms").arg(*fault.recloseMs);
    return text;
}

QByteArray loadFlowCsv(const Grid &grid, const LoadFlowResult &flow) {
    QByteArray out =
        QStringLiteral("# Dravex load flow: %1 buses, %2 after %3 iterations, "
                       "largest mismatch %4 pu\n")
            .arg(grid.buses.size())
            .arg(flow.converged ? QStringLiteral("converged") : QStringLiteral("not converged"))
            .arg(flow.iterations)
            .arg(QString::fromLatin1(csvNumber(flow.largestMismatch)))
            .toUtf8();
    out += "bus,type,voltage_pu,angle_deg,p_gen_pu,q_gen_pu,p_load_pu,q_load_pu\n";
    for (std::size_t i = 0; i < grid.buses.size() && i < flow.voltage.size(); ++i) {
        const Bus &bus = grid.buses[i];
        out += QByteArray::number(bus.number) + ',' + busTypeKey(bus.type);
        const double values[] = {std::abs(flow.voltage[i]),
                                 std::arg(flow.voltage[i]) * Degrees,
                                 flow.pGeneration[i],
                                 flow.qGeneration[i],
                                 bus.loadP,
                                 bus.loadQ};
        for (double v : values) {
            out += ',';
            appendCsvNumber(out, v);
        }
        out += '\n';
    }
    return out;
}

QByteArray networkRunCsv(const ClassicalModel &model, const FaultSpec &fault,
                         const std::vector<SwingState> &states) {
    QByteArray out = "# Dravex network run: " + faultText(fault).toUtf8() + '\n';
    out += "time_s";
    for (const char *name : {"delta_%1_deg", "speed_%1_rad_s"})
        for (int bus : model.machineBus) out += ',' + QString::fromLatin1(name).arg(bus).toUtf8();
    out += '\n';
    out.reserve(out.size() + static_cast<qsizetype>(states.size() * model.machineBus.size()) * 40);
    for (const SwingState &s : states) {
        appendCsvNumber(out, s.time);
        for (double d : s.delta) {
            out += ',';
            appendCsvNumber(out, d * Degrees);
        }
        for (double w : s.speed) {
            out += ',';
            appendCsvNumber(out, w);
        }
        out += '\n';
    }
    return out;
}

QByteArray screeningCsv(const std::vector<ScreeningRow> &rows) {
    QByteArray out = QStringLiteral("# Dravex line screening: a fault at each end of each line, "
                                    "cleared by opening that line; clearing times in step, "
                                    "searched up to %1 ms\n")
                         .arg(LongestClearingMs)
                         .toUtf8();
    out += "line,fault_bus,simulation_cct_ms,equivalent_cct_ms,critical_machines\n";
    for (const ScreeningRow &row : rows) {
        out += QByteArray::fromStdString(branchName(row.line)) + ',' +
               QByteArray::number(row.faultBus) + ',';
        // A fault whose model could not be built has no clearing times.
        if (row.problem.empty())
            out += simulationField(row.simulation) + ',' + equivalentField(row.equivalent);
        else
            out += ',';
        out += ',';
        const std::vector<int> &cluster = row.equivalent.criticalMachines;
        for (std::size_t i = 0; i < cluster.size() && row.problem.empty(); ++i)
            out += (i ? " " : "") + QByteArray::number(cluster[i]);
        out += '\n';
    }
    return out;
}

QString simulationClearingLine(const ClearingSearchResult &r) {
    switch (r.kind) {
    case ClearingSearchResult::Kind::Found:
        return QStringLiteral("Simulation: in step up to %1 ms, out of step from %2 ms")
            .arg(r.inStepUpToMs)
            .arg(r.outOfStepFromMs);
    case ClearingSearchResult::Kind::StableThroughout:
        return QStringLiteral("Simulation: in step at every clearing time up to %1 ms")
            .arg(LongestClearingMs);
    case ClearingSearchResult::Kind::UnstableAtOnce:
        break;
    }
    return QStringLiteral("Simulation: out of step even when the fault is cleared at once "
                          "(0 ms)");
}

QString equivalentClearingLine(const EquivalentResult &e) {
    QString line = QStringLiteral("Equivalent");
    if (!e.criticalMachines.empty())
        line += QStringLiteral(" (%1 %2 against %3)")
                    .arg(e.criticalMachines.size() == 1 ? QStringLiteral("machine")
                                                        : QStringLiteral("machines"),
                         busList(e.criticalMachines), busList(e.otherMachines));
    const QString why =
        e.problem.empty() ? QString() : QStringLiteral(": ") + QString::fromStdString(e.problem);
    switch (e.kind) {
    case EquivalentResult::Kind::Found:
        return line + QStringLiteral(": critical angle %1\u00b0, critical clearing time %2 ms")
                          .arg(formatFixed(e.criticalAngle * Degrees, 15, 1, QChar('.')))
                          .arg(static_cast<long long>(std::floor(e.criticalClearingMs)));
    case EquivalentResult::Kind::StableThroughout:
        return line + QStringLiteral(": in step at every clearing time") + why;
    case EquivalentResult::Kind::UnstableAtOnce:
        break;
    }
    return line + QStringLiteral(": out of step even when the fault is cleared at once") + why;
}
