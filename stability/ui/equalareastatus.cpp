#include "equalareastatus.h"

#include "constants.h"
#include "layouthelpers.h"
#include "numberformat.h"

#include <cmath>
#include <QAccessible>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr long double Deg = 180 / Pi;

QString degrees(long double radians) {
    return formatFixed(radians * Deg, 4, 1) + QChar(0x00B0);
}

const QString NoAreasText = QStringLiteral("A1 and A2 are summed while a short circuit runs");
const QString EarlierDataText = QStringLiteral("Run on earlier data: ");

// A line of the status bar that ends in an ellipsis where the window is too narrow for
// it, rather than being cut off or widening the window; its text, which a screen reader
// reads, stays whole.
class StatusLine : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        const QRect r = contentsRect();
        style()->drawItemText(&painter, r, QStyle::visualAlignment(layoutDirection(), alignment()),
                              palette(), isEnabled(),
                              fontMetrics().elidedText(text(), Qt::ElideRight, r.width()),
                              foregroundRole());
    }
};

// A screen reader repeats every change of a line: during a run the lines are shown
// again every few steps, mostly with the same text, which is then left as it stands.
void setLine(QLabel *line, const QString &text) {
    if (line->text() != text) line->setText(text);
}

} // namespace

QString criterionText(const KritiekeAfschakeling &k) {
    using Soort = KritiekeAfschakeling::Soort;
    const bool whole = k.r2 == 1; // the network is whole after clearing
    switch (k.soort) {
    case Soort::GeenVersnelling:
        return QStringLiteral("Equal areas: with Pmech 0 nothing accelerates the rotor, so any "
                              "clearing time is stable");
    case Soort::A2Overwint:
        return QStringLiteral("Equal areas: A2 outweighs A1 wherever the fault is cleared: any "
                              "clearing time is stable");
    case Soort::KeertOnderFout:
        return QStringLiteral("Equal areas: under the fault the swing turns back at %1, before "
                              "the critical angle: any clearing time is stable")
            .arg(degrees(k.keerhoek));
    case Soort::GeenEvenwicht:
        return QStringLiteral("Equal areas: Pmech lies above the power after clearing (%1): no "
                              "equilibrium, no clearing time keeps it in step")
            .arg(formatGeneralDigits(k.r2, 4));
    case Soort::A2TeKlein:
        return QStringLiteral("Equal areas: even a fault cleared at once leaves A2 short of A1: no "
                              "clearing time keeps it in step");
    case Soort::GeenMarge:
        return (whole ? QStringLiteral("Equal areas: with Pmech 1 there is no margin at all: ")
                      : QStringLiteral("Equal areas: with Pmech at the top of the curve after "
                                       "clearing there is no margin at all: ")) +
               QStringLiteral("critical clearing angle %1, critical clearing time 0 ms")
                   .arg(degrees(k.hoek));
    case Soort::Grens:
        break;
    }
    return QStringLiteral("Equal areas: critical clearing angle %1, critical clearing time %2 ms "
                          "(no damping)")
        .arg(degrees(k.hoek), formatGeneralDigits(k.tijd * 1000, 3));
}

QString criterionLine(const TGenParams &machine, const FaultScenario &scenario) {
    QString text = criterionText(BerekenKritiek(machine, scenario));
    if (scenario.recloses()) text += QStringLiteral("; reclosing not covered");
    return text;
}

QString areasText(const Oppervlaktesom &som, bool damped) {
    QString text = QStringLiteral("A1 = %1  A2 = %2")
                       .arg(formatFixed(som.A1(), 15, 4), formatFixed(som.A2(), 15, 4));
    // A curve that never reaches Pmech has no delta_max.
    const QString dMax = std::isnan(som.deltaMax())
                             ? QStringLiteral("the power after clearing stays below Pmech")
                             : QStringLiteral("\u03B4max = ") + degrees(som.deltaMax());
    switch (som.oordeel()) {
    case Oppervlaktesom::Oordeel::Stabiel:
        // A2 ends where the swing turns. Undamped it then equals A1 but for the steps'
        // error; damping takes the rest of the rotor's gain on the way.
        text += QStringLiteral("   stable: the swing turned back at %1, before %2 (A2 swept up "
                               "to the turn%3)")
                    .arg(degrees(som.keerhoek()), dMax,
                         damped && som.A2() > 0 && som.A2() < som.A1()
                             ? QStringLiteral("; damping took the rest")
                             : QString());
        break;
    case Oppervlaktesom::Oordeel::Instabiel:
        text += std::isnan(som.deltaMax())
                    ? QStringLiteral("   unstable: %1").arg(dMax)
                    : QStringLiteral("   unstable: the angle passed %1; A2, all the area up to "
                                     "it, fell short of A1")
                          .arg(dMax);
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

EqualAreaStatus::EqualAreaStatus(QWidget *parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("EqualAreaStatus"));
    setSizeGripEnabled(false);
    auto *lines = new QWidget(this);
    auto *layout = new QVBoxLayout(lines);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(1);
    Criterion = new StatusLine(lines);
    Criterion->setObjectName(QStringLiteral("Criterion"));
    Simulation = new QLabel(lines);
    Simulation->setObjectName(QStringLiteral("Simulation"));
    Simulation->setTextFormat(Qt::PlainText);
    // It takes the focus to be read out; the cursor shows where the focus went.
    Simulation->setTextInteractionFlags(Qt::TextSelectableByKeyboard);
    Areas = new StatusLine(lines);
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
    Areas->setText(NoAreasText);
}

void EqualAreaStatus::showCriterion(const TGenParams &machine, const FaultScenario &scenario,
                                    bool running) {
    const auto data = std::make_pair(machine, scenario);
    if (m_criterionData == data) return; // a dialog closed without a change
    m_criterionData = data;
    setLine(Criterion, criterionLine(machine, scenario));
    if (m_areas == AreasShown::None || m_runData == data) return;
    if (!running) {
        m_areas = AreasShown::None;
        setLine(Areas, NoAreasText);
    } else if (m_areas == AreasShown::Run) {
        // The run goes on with the generator and network it has.
        m_areas = AreasShown::EarlierData;
        setLine(Areas, EarlierDataText + Areas->text());
    }
}

void EqualAreaStatus::showSearching() {
    setLine(Simulation, QStringLiteral("Simulation: searching\u2026"));
}

void EqualAreaStatus::showSimulation(const CriticalClearing &found) {
    setLine(Simulation, simulationText(found));
}

void EqualAreaStatus::announceSimulation() {
    // Qt 6.4 has no announcement event, and screen readers speak a line that changes
    // only while it has the focus: the line takes the focus and is read as the focus
    // moves there. Already there, it is read again, though its text may be the same.
    if (Simulation->hasFocus()) {
        QAccessibleEvent event(Simulation, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
    Simulation->setFocus(Qt::OtherFocusReason);
}

void EqualAreaStatus::startAreas(const Oppervlaktesom &som, const TGenParams &machine,
                                 const FaultScenario &scenario) {
    m_runData = std::make_pair(machine, scenario);
    m_areas = AreasShown::Run;
    showAreas(som);
}

void EqualAreaStatus::showAreas(const Oppervlaktesom &som) {
    if (m_areas == AreasShown::None) return; // cleared until the next run
    const QString text = areasText(som, m_runData->first.Demping > 0);
    setLine(Areas, m_areas == AreasShown::EarlierData ? EarlierDataText + text : text);
}

int EqualAreaStatus::heightForFont() {
    reformat();
    return sizeHint().height();
}
