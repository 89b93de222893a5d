#pragma once

#include "grid.h"
#include "modalrunner.h"

#include <QDialog>
#include <vector>

class QTableWidget;

// The machines' data of a network in a table, one row a machine named by its bus: H (s),
// x'd (pu) and damping (pu), each on the system base, as an imported MATPOWER case needs
// them completed.
class MachineDataDialog : public QDialog {
    Q_OBJECT
public:
    MachineDataDialog(const std::vector<multimachine::Machine> &machines, QWidget *parent);
    std::vector<multimachine::Machine> machines() const;

    // Shows the dialog; true, with `machines` changed, on OK.
    static bool edit(QWidget *parent, std::vector<multimachine::Machine> &machines,
                     const ModalRunner &runner);

private:
    std::vector<multimachine::Machine> m_machines;
    QTableWidget *m_table = nullptr;
};
