#include "machinedatadialog.h"

#include "layouthelpers.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

struct Column {
    const char *caption;
    const char *spoken; // what a screen reader says for one cell
    double least, most;
};
// H and x'd above zero: a machine without inertia or reactance has no swing to draw.
const Column Columns[] = {{"H (s)", "inertia constant H in seconds", 0.01, 1000},
                          {"x'd (pu)", "transient reactance in per unit", 0.0001, 100},
                          {"Damping (pu)", "damping in per unit", 0, 1000}};

} // namespace

MachineDataDialog::MachineDataDialog(const std::vector<multimachine::Machine> &machines,
                                     QWidget *parent)
    : QDialog(parent), m_machines(machines) {
    setObjectName(QStringLiteral("MachineDataDialog"));
    setWindowTitle(QStringLiteral("Machine data"));
    auto *layout = new QVBoxLayout(this);
    auto *caption =
        new QLabel(QStringLiteral("Each machine on the system base, named by its bus:"), this);
    layout->addWidget(caption);
    m_table = new QTableWidget(static_cast<int>(machines.size()), 3, this);
    m_table->setObjectName(QStringLiteral("MachineTable"));
    describe(m_table, QStringLiteral("Machine data"),
             QStringLiteral("One row per machine: H, x'd and damping."));
    QStringList headers;
    for (const Column &c : Columns) headers << QString::fromUtf8(c.caption);
    m_table->setHorizontalHeaderLabels(headers);
    QWidget *previous = m_table;
    for (std::size_t row = 0; row < machines.size(); ++row) {
        const multimachine::Machine &m = machines[row];
        const QString bus = QStringLiteral("Bus %1").arg(m.bus);
        m_table->setVerticalHeaderItem(static_cast<int>(row), new QTableWidgetItem(bus));
        const double values[] = {m.H, m.xdPrime, m.damping};
        for (int col = 0; col < 3; ++col) {
            auto *edit = new QDoubleSpinBox(m_table);
            edit->setObjectName(QStringLiteral("Machine%1_%2").arg(m.bus).arg(col));
            edit->setDecimals(4);
            edit->setRange(Columns[col].least, Columns[col].most);
            edit->setValue(values[col]);
            edit->setAccessibleName(QStringLiteral("%1, machine at bus %2")
                                        .arg(QString::fromUtf8(Columns[col].spoken))
                                        .arg(m.bus));
            m_table->setCellWidget(static_cast<int>(row), col, edit);
            setTabOrder(previous, edit);
            previous = edit;
        }
    }
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(m_table);
    const OkCancelButtons buttons = makeOkCancel(this);
    setTabOrder(previous, buttons.ok);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(buttons.ok);
    row->addWidget(buttons.cancel);
    layout->addLayout(row);
    resize(420, std::min(600, 140 + 30 * static_cast<int>(machines.size())));
}

std::vector<multimachine::Machine> MachineDataDialog::machines() const {
    std::vector<multimachine::Machine> edited = m_machines;
    for (std::size_t row = 0; row < edited.size(); ++row) {
        const auto value = [&](int col) {
            return static_cast<QDoubleSpinBox *>(m_table->cellWidget(static_cast<int>(row), col))
                ->value();
        };
        edited[row].H = value(0);
        edited[row].xdPrime = value(1);
        edited[row].damping = value(2);
    }
    return edited;
}

bool MachineDataDialog::edit(QWidget *parent, std::vector<multimachine::Machine> &machines,
                             const ModalRunner &runner) {
    MachineDataDialog dialog(machines, parent);
    if (runModal(dialog, runner) != QDialog::Accepted) return false;
    machines = dialog.machines();
    return true;
}
