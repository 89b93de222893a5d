#pragma once

#include "runhistory.h"

#include <QWidget>

// The swing curves of the last runs, in a window of their own: the rotor angle against
// time on one chart, the speed deviation and the electrical power against time on a
// second, each run in its own colour and named in the legend by its clearing time and
// how it ended.
class SwingCurves : public QWidget {
    Q_OBJECT
public:
    explicit SwingCurves(QWidget *parent = nullptr);
    ~SwingCurves() override;

    // Brings the charts up to the runs as they stand: a series for each new run, the
    // present run's new steps appended, runs no longer kept removed. `runEnded` says that
    // the newest run has ended, so its legend can name the outcome.
    void follow(const RunHistory &history, bool runEnded);
};

// The legend's name of a run: "200 ms: in step", "376 ms: out of step at 2.925 s",
// "200 ms: stopped at 1.2 s", "200 ms: running"; with `withMachineData`, the machine
// data follow the clearing time.
QString swingLegend(const RunRecord &run, bool withMachineData);
