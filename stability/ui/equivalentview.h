#pragma once

#include "equivalentplot.h"

#include <QString>
#include <QWidget>

// The equivalent machine's power-angle plot as a control: painted from the state last
// given at whatever size the control has, or a line saying why there is no equivalent.
class EquivalentView : public QWidget {
    Q_OBJECT
public:
    explicit EquivalentView(QWidget *parent = nullptr);
    void show(const EquivalentPlotState &state);
    void showNothing(const QString &why);
    const EquivalentPlotState &state() const { return m_state; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    EquivalentPlotState m_state;
    QString m_nothing; // why there is no plot, when there is none
    bool m_shown = false;
};
