#pragma once

#include "clearingsearch.h"
#include "equivalentmachine.h"
#include "grid.h"
#include "loadflow.h"
#include "swingrun.h"

#include <QByteArray>
#include <QString>
#include <vector>

// The texts of a network's studies, for files and the command line; numbers with a full
// stop whatever the locale, the shortest text that reads back to the same double.

// The fault in words: "a fault at bus 7, cleared after 83 ms by opening line 5-7",
// "... on line 5-7 at 0.5 of its length from bus 5, ...", "... reclosed after 500 ms".
QString faultText(const multimachine::FaultSpec &fault);

// A comment line with the iterations and the largest mismatch, then
// bus,type,voltage_pu,angle_deg,p_gen_pu,q_gen_pu,p_load_pu,q_load_pu, a row for each bus
// in the grid's order: the bus voltage's size and angle, the generation the load flow
// gives (at a PQ bus 0) and the constant-power load.
QByteArray loadFlowCsv(const multimachine::Grid &grid, const multimachine::LoadFlowResult &flow);

// A comment line naming the fault, then time_s,delta_<bus>_deg...,speed_<bus>_rad_s...,
// a row for each state: every machine's angle in the classical model's frame (degrees)
// and its speed deviation (electrical rad/s), machines named by their bus.
QByteArray networkRunCsv(const multimachine::ClassicalModel &model,
                         const multimachine::FaultSpec &fault,
                         const std::vector<multimachine::SwingState> &states);

// A comment line, then line,fault_bus,simulation_cct_ms,equivalent_cct_ms,
// critical_machines, a row for each fault. A critical clearing time is the longest in
// step, in whole ms (the equivalent's rounded down); "none" when the machines fall out
// of step even cleared at once; when they stay in step at every clearing time, ">2000"
// for the simulation (as far as it searches) and "inf" for the equivalent. The critical
// machines are bus numbers apart by blanks. A fault whose model could not be built (its
// opened line cuts a machine off) has the three fields empty.
QByteArray screeningCsv(const std::vector<multimachine::ScreeningRow> &rows);

// "Simulation: in step up to N ms, out of step from M ms"; "Simulation: in step at every
// clearing time up to 2000 ms"; "Simulation: out of step even when the fault is cleared
// at once (0 ms)".
QString simulationClearingLine(const multimachine::ClearingSearchResult &result);
// "Equivalent (machines 2, 3 against 1): critical angle X°, critical clearing time Y ms",
// the angle to 0.1°, the time in whole ms rounded down (the longest clearing time the
// equivalent keeps in step); "machine 2 against 1, 3" for a cluster of one. Without a
// critical angle: "Equivalent (...): in step at every clearing time" or "...: out of step
// even when the fault is cleared at once", each followed by ": why" when the model says.
QString equivalentClearingLine(const multimachine::EquivalentResult &result);
