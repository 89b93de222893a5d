#pragma once

#include "runhistory.h"

#include <deque>
#include <QString>

// Which machine data a legend names after the clearing time; each flag bears the name of
// the machine data's field it stands for.
struct MachineDataNamed {
    // NOLINTNEXTLINE(readability-identifier-naming)
    bool Pmax = false, H = false, Demping = false, Pmech = false;
};

// The machine data that are not the same in all the given runs.
MachineDataNamed differingMachineData(const std::deque<RunRecord> &runs);

// The legend's name of a run. The headline, the clearing time and how the run went, is
// short enough to be read whole in any legend: "200 ms: in step", "376 ms: out of step at
// 2.925 s", "200 ms: stopped at 1.197 s", "200 ms: running". The details say what else sets
// the run apart: any scenario but the original busbar fault ("two lines r1 0.3611 r2
// 0.8125, reclosing 300 ms onto a permanent fault"), then the machine data named.
struct SwingLegendText {
    QString headline, details;
    // "200 ms: in step; two lines r1 0.3611 r2 0.8125", or the headline alone.
    QString whole() const;
};
SwingLegendText swingLegendText(const RunRecord &run, const MachineDataNamed &named);
// The whole name; with `withMachineData`, all the machine data are named.
QString swingLegend(const RunRecord &run, bool withMachineData);
// The whole name, naming only the chosen machine data: "376 ms: out of step at 1.8 s; H 3".
QString swingLegend(const RunRecord &run, const MachineDataNamed &named);
