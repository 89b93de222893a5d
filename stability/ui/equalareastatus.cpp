#include "equalareastatus.h"

#include "layouthelpers.h"
#include "statuslines.h"

#include <QAccessible>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QVBoxLayout>

namespace {

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
    Areas->setText(noAreasText());
}

void EqualAreaStatus::showCriterion(const TGenParams &machine, const FaultScenario &scenario,
                                    bool running) {
    const auto data = std::make_pair(machine, scenario);
    if (m_criterionData == data) return; // a dialog closed without a change
    m_criterionData = data;
    setCriterionLine(criterionLine(machine, scenario));
    if (m_areas == AreasShown::None || m_runData == data) return;
    if (!running) {
        m_areas = AreasShown::None;
        setLine(Areas, noAreasText());
    } else if (m_areas == AreasShown::Run) {
        // The run goes on with the generator and network it has.
        m_areas = AreasShown::EarlierData;
        setLine(Areas, earlierDataText() + Areas->text());
    }
}

void EqualAreaStatus::showSearching() {
    setSimulationLine(QStringLiteral("Simulation: searching\u2026"));
}

void EqualAreaStatus::showSimulation(const CriticalClearing &found) {
    setSimulationLine(simulationText(found, MaxClearingMs));
}

void EqualAreaStatus::setCriterionLine(const QString &text) {
    m_criterionText = text;
    if (m_held == Hold::Nothing) setLine(Criterion, text);
}

void EqualAreaStatus::setSimulationLine(const QString &text) {
    m_simulationText = text;
    if (m_held == Hold::Nothing) setLine(Simulation, text);
}

void EqualAreaStatus::holdAnswers(Hold hold) {
    if (hold == m_held) return;
    m_held = hold;
    // The simulation's line keeps a text, so that the bar keeps its height.
    switch (hold) {
    case Hold::Nothing:
        setLine(Criterion, m_criterionText);
        setLine(Simulation, m_simulationText);
        break;
    case Hold::ForPrediction:
        setLine(Criterion, QStringLiteral("Critical clearing times: shown once the step's run "
                                          "has started."));
        setLine(Simulation, QStringLiteral("Simulation: shown once the step's run has started."));
        break;
    case Hold::ForLaterStep:
        setLine(Criterion, QStringLiteral("Critical clearing times: kept back, a later step "
                                          "of the lesson asks for them."));
        setLine(Simulation, QStringLiteral("Simulation: kept back for a later step."));
        break;
    }
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
    setLine(Areas, m_areas == AreasShown::EarlierData ? earlierDataText() + text : text);
}

void EqualAreaStatus::clearAreas() {
    m_areas = AreasShown::None;
    m_runData.reset();
    setLine(Areas, noAreasText());
}

int EqualAreaStatus::heightForFont() {
    reformat();
    return sizeHint().height();
}
