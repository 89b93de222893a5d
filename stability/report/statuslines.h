#pragma once

#include "criticalclearing.h"
#include "equalarea.h"
#include "scenario.h"

#include <cstdint>
#include <QString>

// The status bar's lines in words, the same in the window and on the command line.

// The areas' line before any run.
QString noAreasText();
// What the areas of a run begun on other data start with.
QString earlierDataText();
// The simulation's own critical clearing time; a limit found past `sliderMs` (the
// clearing time's own range) is said to lie beyond it.
QString simulationText(const CriticalClearing &found, std::int32_t sliderMs = 500);
// The simulation's largest stable Pmech (a power step's P1, named so) for a disturbance
// without a fault.
QString largestPmechText(const LargestStablePmech &found);
// The criterion for a power step or a line out: delta_max, where the swing turns, or that
// the machine falls out of step before delta_u, and the largest stable Pmech rounded down
// to 0.001, so that the power shown stays in step.
QString disturbanceText(const DisturbanceCriterion &k, const FaultScenario &scenario);

QString criterionText(const KritiekeAfschakeling &k);
// The status bar's first line for the machine data on the scenario's network.
QString criterionLine(const TGenParams &machine, const FaultScenario &scenario);
// The areas and the verdict; `damped`: the run had damping, which takes its share of A1.
QString areasText(const Oppervlaktesom &som, bool damped);
