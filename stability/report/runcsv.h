#pragma once

#include "runhistory.h"

#include <QByteArray>

// The run as CSV: a comment line with the machine data and clearing time (and the network's
// r1 and r2 and the reclosing, for any fault but the original one at the busbar), a header,
// and one row per step; numbers with a full stop whatever the locale.
QByteArray runCsv(const RunRecord &run);

// The case in the comment line's words: Pmax=... H=... Demping=... Pmech=...
// clearing_ms=..., then the network's for any fault but the original one at the busbar.
QString caseKeys(const TGenParams &params, std::int32_t clearingMs, const FaultScenario &scenario);
