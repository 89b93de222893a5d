#pragma once

#include "stabilitycase.h"
#include "study.h"

#include <optional>
#include <QByteArray>
#include <QString>
#include <vector>

// A study's words, the same in the window and on the command line.

// What the criterion says of one point: clears, never or always.
const char *criterionVerdictKey(const KritiekeAfschakeling &k);
// The simulation's first out-of-step clearing time, ms: none when every clearing time up
// to the search's limit stays in step.
std::optional<std::int32_t> firstOutOfStepMs(const CriticalClearing &found);
// "H from 2 to 10, 100 points" and the like.
QString studyRangeText(const StudyRange &range);

// The study as CSV: a comment line with the parameter, the range (for dead times whether
// the reclosing meets a transient or a permanent fault), the search's limit and the case, a header,
// and a row a point; a cell that does not apply is empty; numbers with a full stop whatever the
// locale.
QByteArray studyCsv(const StabilityCase &c, const StudyRange &range, std::int32_t limitMs,
                    const std::vector<StudyPoint> &points);
