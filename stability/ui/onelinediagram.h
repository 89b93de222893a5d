#pragma once

#include "grid.h"
#include "griddiagram.h"

#include <QPointF>
#include <QWidget>
#include <vector>

class NetworkSession;

// The network's one-line diagram as a control: painted from the session's grid and the
// run's state at whatever size it has; a press on a bus or a line puts the fault there.
class OneLineDiagram : public QWidget {
    Q_OBJECT
public:
    explicit OneLineDiagram(const NetworkSession &session, QWidget *parent = nullptr);

    // A new grid: the buses placed again.
    void takeGrid();
    // The fault on or cleared, the line open or closed, as the run stands.
    void show(const GridDiagramState &state);
    const GridDiagramState &shownState() const { return m_state; }
    // Where a bus is drawn, in the control's pixels (for tests and the keyboard's focus).
    QPointF busPoint(int bus) const;

signals:
    void busPressed(int bus);
    void linePressed(const multimachine::BranchId &line);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    const NetworkSession &m_session;
    std::vector<QPointF> m_places;
    GridDiagramState m_state;
};
