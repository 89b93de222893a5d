#pragma once

#include "criticalclearing.h"
#include "equalarea.h"
#include "scenario.h"
#include "stabilitycase.h"
#include "statuslines.h"

#include <optional>
#include <QString>
#include <utility>

#include <QStatusBar>

class QLabel;

// The equal-area criterion in numbers, along the bottom of the main window: the
// critical clearing angle and time for the machine data, under it the simulation's own
// critical clearing time, and the areas A1 and A2 of the run
// with its verdict.
class EqualAreaStatus : public QStatusBar {
    Q_OBJECT
public:
    explicit EqualAreaStatus(QWidget *parent);

    // The criterion for the machine data on the scenario's network. Areas of a run begun
    // on other data do not stand beside it as its own: while that run goes on they are
    // marked as of earlier data, and with no run going they are cleared.
    void showCriterion(const TGenParams &machine, const FaultScenario &scenario, bool running);
    // The simulation's own critical clearing time while it is looked for, and once found.
    void showSearching();
    void showSimulation(const CriticalClearing &found);
    // Has a screen reader read the simulation's line out, as a menu command's answer.
    void announceSimulation();
    // A run begins on these data; showAreas shows its areas as they are summed.
    void startAreas(const Oppervlaktesom &som, const TGenParams &machine,
                    const FaultScenario &scenario);
    void showAreas(const Oppervlaktesom &som);
    // A new case with a new generator (a lesson's step, a scenario file): the areas of
    // the runs before are none of its own, and the line waits for its first run.
    void clearAreas();
    // While the student is to predict a run's outcome (until its run starts the prediction
    // may change), or a later step of the lesson asks
    // for the case's limit, the criterion's and the simulation's critical clearing times
    // would give it away: a short text saying why stands in their place, and the lines
    // come back as they stand once nothing is held.
    enum class Hold { Nothing, ForPrediction, ForLaterStep };
    void holdAnswers(Hold hold);
    bool answersHeld() const { return m_held != Hold::Nothing; }
    // The height for the present font now, rather than after the next events: a zoomed
    // window is sized from it.
    int heightForFont();

    QLabel *Criterion = nullptr;
    QLabel *Simulation = nullptr;
    QLabel *Areas = nullptr;

private:
    void setCriterionLine(const QString &text);
    void setSimulationLine(const QString &text);

    enum class AreasShown { None, Run, EarlierData };
    AreasShown m_areas = AreasShown::None;
    // What the run began on, and what the criterion is for.
    std::optional<std::pair<TGenParams, FaultScenario>> m_runData, m_criterionData;
    // The two lines as they stand, shown unless held.
    QString m_criterionText, m_simulationText;
    Hold m_held = Hold::Nothing;
};
