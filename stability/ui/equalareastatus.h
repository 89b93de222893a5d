#pragma once

#include "criticalclearing.h"
#include "equalarea.h"
#include "scenario.h"

#include <optional>

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

    // The criterion for the machine data on the scenario's network.
    void showCriterion(const TGenParams &machine, const FaultScenario &scenario);
    // The simulation's own critical clearing time while it is looked for, and once found.
    void showSearching();
    void showSimulation(const CriticalClearing &found);
    void showAreas(const Oppervlaktesom &som);
    // The height for the present font now, rather than after the next events: a zoomed
    // window is sized from it.
    int heightForFont();

    QLabel *Criterion = nullptr;
    QLabel *Simulation = nullptr;
    QLabel *Areas = nullptr;
};

QString simulationText(const CriticalClearing &found);

QString criterionText(const KritiekeAfschakeling &k);
// The status bar's first line for the machine data on the scenario's network.
QString criterionLine(const TGenParams &machine, const FaultScenario &scenario);
QString areasText(const Oppervlaktesom &som);
