#pragma once

#include "equivalentplot.h"

#include <QWidget>

// The equivalent machine's power-angle plot as a widget: it holds the latest state and
// paints it whole at its present size, and tells screen readers A1, A2 and the angles.
class EquivalentPlotWidget : public QWidget {
    Q_OBJECT
public:
    explicit EquivalentPlotWidget(QWidget *parent = nullptr);

    // The state to show from now on; move a long trajectory in rather than copy it.
    void setState(EquivalentPlotState state);
    const EquivalentPlotState &state() const { return m_state; }

    QSize sizeHint() const override { return {400, 300}; }
    QSize minimumSizeHint() const override { return {200, 150}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    EquivalentPlotState m_state;
};
