#pragma once

#include "scenario.h"

#include <QObject>

class LayoutZoom;
class MouseLabel;
class QFrame;
class QWidget;
class ShapeControl;

// The one-line diagram of the main window, on its panel `schema`: the generator, its
// connection to the busbar, the line (or two parallel lines) to the swing bus. A press on
// the generator or the swing bus, or on the busbar, is handed on with its button. The
// lines show the network of the case, or the one a run has reached: with a fault on one
// of two lines the fault's place on the second line, and that line grey while its
// breakers are open.
class NetworkDiagram : public QObject {
    Q_OBJECT
public:
    // Made on `client` at its place in the window's layout; `layout` is the window's zoom,
    // which places the fault mark.
    NetworkDiagram(QWidget *client, LayoutZoom &layout, QObject *parent);

    void show(const FaultScenario &scenario, NetworkState state);
    NetworkState shownState() const { return m_shown; }

signals:
    // The generator, its letter, the swing bus or its label.
    void generatorPressed(Qt::MouseButton button);
    void busbarPressed(Qt::MouseButton button);

private:
    void describeForScreenReaders();

    LayoutZoom &m_layout;
    NetworkState m_shown = NetworkState::Fault;

    // Controls, named as in the window's layout.
    QFrame *schema = nullptr;
    ShapeControl *Shape1 = nullptr;
    MouseLabel *Generator = nullptr;
    ShapeControl *Shape2 = nullptr;
    MouseLabel *swingbus = nullptr;
    ShapeControl *Lijn = nullptr;
    // A fault on one of two lines: the second line, which is faulted and tripped, and
    // the fault's place on it.
    ShapeControl *Lijn2 = nullptr;
    ShapeControl *FaultMark = nullptr;
    ShapeControl *Rail = nullptr;
    ShapeControl *Shape3 = nullptr;
};
