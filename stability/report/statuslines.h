#pragma once

#include "criticalclearing.h"
#include "equalarea.h"
#include "scenario.h"

#include <QString>

// The status bar's lines in words, the same in the window and on the command line.

// The areas' line before any run.
QString noAreasText();
// What the areas of a run begun on other data start with.
QString earlierDataText();
// The simulation's own critical clearing time.
QString simulationText(const CriticalClearing &found);

QString criterionText(const KritiekeAfschakeling &k);
// The status bar's first line for the machine data on the scenario's network.
QString criterionLine(const TGenParams &machine, const FaultScenario &scenario);
// The areas and the verdict; `damped`: the run had damping, which takes its share of A1.
QString areasText(const Oppervlaktesom &som, bool damped);
