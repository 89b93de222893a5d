#include "equalareastatus.h"

#include "constants.h"
#include "layouthelpers.h"
#include "numberformat.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr long double Deg = 180 / Pi;

QString degrees(long double radians) {
    return formatFixed(radians * Deg, 4, 1) + QChar(0x00B0);
}

} // namespace

QString criterionText(const KritiekeAfschakeling &k) {
    if (k.altijdStabiel)
        return QStringLiteral("Equal areas: with Pmech 0 nothing accelerates the rotor, so any "
                              "clearing time is stable");
    if (k.tijd == 0)
        return QStringLiteral("Equal areas: with Pmech 1 there is no margin at all: critical "
                              "clearing angle %1, critical clearing time 0 ms")
            .arg(degrees(k.hoek));
    return QStringLiteral("Equal areas: critical clearing angle %1, critical clearing time %2 ms "
                          "(no damping)")
        .arg(degrees(k.hoek), formatGeneralDigits(k.tijd * 1000, 3));
}

QString criterionLine(const TGenParams &machine, const FaultScenario &) {
    return criterionText(BerekenKritiek(machine));
}

QString areasText(const Oppervlaktesom &som) {
    QString text = QStringLiteral("A1 = %1  A2 = %2")
                       .arg(formatFixed(som.A1(), 15, 4), formatFixed(som.A2(), 15, 4));
    const QString dMax = QStringLiteral("\u03B4max = ") + degrees(som.deltaMax());
    switch (som.oordeel()) {
    case Oppervlaktesom::Oordeel::Stabiel:
        text += QStringLiteral("   stable: the swing turned back at %1, before %2")
                    .arg(degrees(som.keerhoek()), dMax);
        break;
    case Oppervlaktesom::Oordeel::Instabiel:
        text += QStringLiteral("   unstable: the angle passed %1 with A2 < A1").arg(dMax);
        break;
    case Oppervlaktesom::Oordeel::Open:
        break;
    }
    return text;
}

QString simulationText(const CriticalClearing &found) {
    switch (found.kind) {
    case CriticalClearing::Kind::AlwaysInStep:
        return QStringLiteral("Simulation: in step for every clearing time up to %1 ms")
            .arg(found.lastInStepMs);
    case CriticalClearing::Kind::NeverInStep:
        return QStringLiteral("Simulation: out of step even at 0 ms");
    case CriticalClearing::Kind::Limit:
        break;
    }
    return QStringLiteral("Simulation: in step up to %1 ms, out of step from %2 ms")
        .arg(found.lastInStepMs)
        .arg(found.lastInStepMs + 1);
}

namespace {

const QString SimulationHint =
    QStringLiteral("Simulation: Tools > Find critical clearing time runs the faults to find it");

} // namespace

EqualAreaStatus::EqualAreaStatus(QWidget *parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("EqualAreaStatus"));
    setSizeGripEnabled(false);
    auto *lines = new QWidget(this);
    auto *layout = new QVBoxLayout(lines);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(1);
    Criterion = new QLabel(lines);
    Criterion->setObjectName(QStringLiteral("Criterion"));
    Simulation = new QLabel(SimulationHint, lines);
    Simulation->setObjectName(QStringLiteral("Simulation"));
    Simulation->setTextFormat(Qt::PlainText);
    Areas = new QLabel(lines);
    Areas->setObjectName(QStringLiteral("Areas"));
    Criterion->setTextFormat(Qt::PlainText);
    Areas->setTextFormat(Qt::PlainText); // "A2 < A1" is text, not the start of a tag
    layout->addWidget(Criterion);
    layout->addWidget(Simulation);
    layout->addWidget(Areas);
    addWidget(lines, 1);
    // Why the run and the criterion need not agree to the millisecond.
    setToolTip(QStringLiteral("The criterion assumes no damping and continuous time; the run "
                              "has damping and 3 ms steps, so its limit lies a little apart."));
    Areas->setText(QStringLiteral("A1 and A2 are summed while a short circuit runs"));
}

void EqualAreaStatus::showCriterion(const TGenParams &params) {
    Criterion->setText(criterionText(BerekenKritiek(params)));
    if (m_simulated && *m_simulated != params) {
        m_simulated.reset();
        Simulation->setText(SimulationHint);
    }
}

void EqualAreaStatus::showSimulation(const CriticalClearing &found, const TGenParams &params) {
    m_simulated = params;
    Simulation->setText(simulationText(found));
}

void EqualAreaStatus::showAreas(const Oppervlaktesom &som) {
    Areas->setText(areasText(som));
}
