#include "networkdiagram.h"

#include "controls.h"
#include "layouthelpers.h"
#include "layoutzoom.h"

#include <QFrame>

NetworkDiagram::NetworkDiagram(QWidget *client, LayoutZoom &layout, QObject *parent)
    : QObject(parent), m_layout(layout) {
    schema = makePanel(client, QStringLiteral("schema"), QRect(24, 16, 297, 209));
    QFont symbolFont = client->font();
    symbolFont.setPixelSize(19);
    schema->setFont(symbolFont);
    // Later controls lie on top of earlier ones: the letters on their circles.
    Shape1 = new ShapeControl(schema, QStringLiteral("Shape1"), ShapeControl::Kind::Circle,
                              QRect(9, 78, 73, 57), clWhite);
    Shape1->setToolTip(QStringLiteral("right-click for popup"));
    Generator =
        new MouseLabel(schema, QStringLiteral("Generator"), QStringLiteral("G"), QPoint(40, 94));
    Generator->setToolTip(QStringLiteral("rightclick for popup"));
    Shape2 = new ShapeControl(schema, QStringLiteral("Shape2"), ShapeControl::Kind::Circle,
                              QRect(200, 64, 73, 57), clWhite);
    swingbus =
        new MouseLabel(schema, QStringLiteral("swingbus"), QStringLiteral("SB"), QPoint(224, 80));
    Lijn = new ShapeControl(schema, QStringLiteral("Lijn"), ShapeControl::Kind::Rectangle,
                            QRect(119, 91, 90, 4), clBlack);
    // The second of two parallel lines, above the first, into the swing bus's circle;
    // shown only for a fault on one of them.
    Lijn2 = new ShapeControl(schema, QStringLiteral("Lijn2"), ShapeControl::Kind::Rectangle,
                             QRect(119, 72, 97, 4), clBlack);
    Lijn2->hide();
    Rail = new ShapeControl(schema, QStringLiteral("Rail"), ShapeControl::Kind::Rectangle,
                            QRect(112, 48, 9, 89), clBlack);
    Rail->setToolTip(QStringLiteral("rightclick for popup"));
    Shape3 = new ShapeControl(schema, QStringLiteral("Shape3"), ShapeControl::Kind::Rectangle,
                              QRect(73, 103, 45, 4), clBlack);
    FaultMark = new ShapeControl(schema, QStringLiteral("FaultMark"), ShapeControl::Kind::Rectangle,
                                 QRect(165, 66, 5, 16), clRed);
    FaultMark->hide();
    for (auto *shape : {Shape1, Shape2})
        connect(shape, &ShapeControl::mouseDown, this, &NetworkDiagram::generatorPressed);
    for (auto *label : {Generator, swingbus})
        connect(label, &MouseLabel::mouseDown, this, &NetworkDiagram::generatorPressed);
    connect(Rail, &ShapeControl::mouseDown, this, &NetworkDiagram::busbarPressed);
    describeForScreenReaders();
}

void NetworkDiagram::show(const FaultScenario &scenario, NetworkState state) {
    m_shown = state;
    const bool twoLines = scenario.network == Network::TwoLines;
    // A line switched out without a fault: the second line, without a fault on it.
    const bool lineOut = scenario.network == Network::LineOut;
    Lijn2->setVisible(twoLines || lineOut);
    FaultMark->setVisible(twoLines);
    if (lineOut) {
        const bool out = state != NetworkState::Fault;
        Lijn2->setFill(out ? clSilver : clBlack);
        Lijn2->setToolTip(out ? QStringLiteral("Line switched out: out of service")
                              : QStringLiteral("Second line, in service until the run starts"));
        return;
    }
    if (!twoLines) return;
    // The fault's place along the line from the busbar's edge to the swing bus, in the
    // layout at 100 %, shown at the zoom.
    const QRect line = m_layout.layoutGeometry(Lijn2);
    const QRect mark = m_layout.layoutGeometry(FaultMark);
    const int x =
        line.left() + 2 + static_cast<int>(scenario.locationPercent / 100 * (line.width() - 4));
    m_layout.place(FaultMark, QRect(QPoint(x - mark.width() / 2, mark.y()), mark.size()));
    // The tripped line is drawn grey while its breakers are open.
    const bool open = state == NetworkState::Cleared || state == NetworkState::LockedOut;
    Lijn2->setFill(open ? clSilver : clBlack);
    Lijn2->setToolTip(open ? QStringLiteral("Faulted line, tripped: out of service")
                           : QStringLiteral("Faulted line, in service"));
}

void NetworkDiagram::describeForScreenReaders() {
    describe(schema, QStringLiteral("One-line diagram"),
             QStringLiteral("A generator feeds an infinite bus over a line from its busbar."));
    const QString generatorHelp = QStringLiteral(
        "Right-click, or Tools > Machine data, to change Pmax, H, Demping and Pmech.");
    describe(Shape1, QStringLiteral("Generator"), generatorHelp);
    describe(Generator, QStringLiteral("Generator"), generatorHelp);
    describe(Shape2, QStringLiteral("Swing bus"),
             QStringLiteral("The infinite bus. ") + generatorHelp);
    describe(swingbus, QStringLiteral("Swing bus"),
             QStringLiteral("The infinite bus. ") + generatorHelp);
    describe(Rail, QStringLiteral("Busbar"),
             QStringLiteral("Where the short circuit is put. Right-click, or Tools > Clearing "
                            "time, to change when it is cleared."));
    describe(Lijn, QStringLiteral("Line"),
             QStringLiteral("The line from the busbar to the swing bus."));
    describe(Lijn2, QStringLiteral("Faulted line"),
             QStringLiteral("The second of two parallel lines, which the fault is on; grey while "
                            "its breakers are open."));
    describe(FaultMark, QStringLiteral("Fault"),
             QStringLiteral("Where the fault is on the line. Tools > Fault scenario sets it."));
    describe(Shape3, QStringLiteral("Connection"),
             QStringLiteral("The connection from the generator to the busbar."));
}
