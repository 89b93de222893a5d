#pragma once

#include "networkfile.h"

#include <QByteArray>
#include <QString>

// MATPOWER case files (version 2: mpc.baseMVA, mpc.bus, mpc.gen, mpc.branch, comments
// with %), read as they are for the load flow. The matrices' rows end with ";" or the
// line, their numbers stand apart by blanks or commas; other fields (mpc.gencost,
// mpc.bus_name, ...) are passed over; a case that computes its values in code is refused.
//
// - Powers in MW and Mvar become pu on mpc.baseMVA: loads from PD, QD, fixed shunts from
//   GS, BS, the bus voltage and angle from VM, VA.
// - Bus types 1, 2, 3 are PQ, PV and the slack; an isolated bus (4) is refused. A PV bus
//   without a generator in service becomes PQ, as MATPOWER's own load flow makes it.
// - The generators in service at a bus (GEN_STATUS > 0) make one machine: its P the sum
//   of their PG, its set voltage the first one's VG, its base the sum of their MBASE (or
//   baseMVA for an MBASE of 0). A generator at a PQ bus is a fixed injection PG + jQG,
//   taken off the bus's load, as MATPOWER's load flow has it.
// - Each machine gets H 5 s and x'd 0.3 on its own base, converted to the system base
//   (H = 5 MBASE / baseMVA, x'd = 0.3 baseMVA / MBASE), for the person importing the case
//   to complete.
// - Branches: r, x, total charging b; RATIO 0 is a line, any other a transformer's tap at
//   the first bus; an out-of-service branch (STATUS 0) is left out; a phase shift (ANGLE
//   not 0) is refused, the model having no phase shifters. Several branches between the
//   same buses are circuits 1, 2, ...
// - The network is taken at 60 Hz; the fault is a bolted one at the first PQ bus (the
//   first bus when there is none), cleared after 100 ms with no line opened.
// The same limits as network files: 256 KiB, MaxNetworkBuses buses and MaxNetworkBranches
// branches. A refusal names the file, the line and what is wrong.
NetworkFileResult parseMatpowerCase(const QByteArray &bytes, const QString &fileName);
NetworkFileResult readMatpowerCase(const QString &path);

// The clearing time of the fault a case is given.
constexpr int MatpowerFaultClearMs = 100;

// Whether a path names a MATPOWER case (by its extension, .m).
bool isMatpowerFileName(const QString &path);
