#pragma once

#include "equalarea.h"

#include <QStatusBar>

class QLabel;

// The equal-area criterion in numbers, along the bottom of the main window: the
// critical clearing angle and time for the machine data, and the areas A1 and A2 of
// the run with its verdict.
class EqualAreaStatus : public QStatusBar {
    Q_OBJECT
public:
    explicit EqualAreaStatus(QWidget *parent);

    void showCriterion(const TGenParams &params);
    void showAreas(const Oppervlaktesom &som);

    QLabel *Criterion = nullptr;
    QLabel *Areas = nullptr;
};

QString criterionText(const KritiekeAfschakeling &k);
QString areasText(const Oppervlaktesom &som);
