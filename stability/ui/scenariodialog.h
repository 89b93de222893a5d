#pragma once

#include "modalrunner.h"
#include "scenario.h"
#include "stabilitycase.h"

#include <optional>
#include <QDialog>
#include <QList>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Fault scenario": where the fault is (the busbar, one of two parallel lines, or r1
// and r2 given directly), or a disturbance without one (a step in mechanical power, a
// line switched out), and whether the breaker recloses after a dead time. While the
// user types, r1 and r2 follow from the chosen network's fields. OK stores the
// scenario only once every field of it is a number in range; until then the dialog
// stays open with the user's typing. Cancel, Escape and the close box change nothing.
class ScenarioDialog : public QDialog {
    Q_OBJECT
public:
    // Shows a fresh dialog filled from `scenario` and returns whether it was closed
    // with OK; only then does `scenario` receive the values entered.
    static bool edit(QWidget *parent, FaultScenario &scenario, const ModalRunner &runner = {});

    ScenarioDialog(QWidget *parent, const FaultScenario &scenario, ModalRunner runner = {});

    // Reads the fields; on the first that fails, reports it and puts the focus there.
    // True when the scenario may be stored.
    bool checkFields();
    // The scenario entered, once checkFields has passed.
    const std::optional<FaultScenario> &values() const { return m_values; }

    void accept() override;

protected:
    void changeEvent(QEvent *event) override;

private:
    // Widths that hold the longest text in the present font: r1 and r2's line, the dead
    // time's field.
    void fitWidthsToFont();
    Network chosenNetwork() const;
    // Enables the fields of the chosen network and of reclosing, with their captions.
    void updateEnabled();
    // Shows r1 and r2 of the network as typed so far.
    void updateR();
    // Reads the fields of the scenario's network into it, in the order caseFields() has
    // them; the first whose text is no number is returned, `why` saying so.
    QLineEdit *readFields(FaultScenario &scenario, QString *why = nullptr) const;
    // The field that holds a value of a scenario on `network`: the one the scenario check
    // names, or one the network reads.
    QLineEdit *fieldFor(CaseField field, Network network) const;
    // Reports a refused field and leaves it selected for correction.
    void refuse(QLineEdit *field, const QString &message);

    // The controls; tests find them by their object names (BusbarBtn, EditXg, ...).
    QRadioButton *m_busbar = nullptr;
    QRadioButton *m_twoLines = nullptr;
    QRadioButton *m_transfer = nullptr;
    QLineEdit *m_xg = nullptr;
    QLineEdit *m_xl = nullptr;
    QLineEdit *m_location = nullptr;
    QLineEdit *m_during = nullptr;
    QLineEdit *m_after = nullptr;
    QRadioButton *m_powerStep = nullptr;
    QLineEdit *m_pmechAfter = nullptr;
    QRadioButton *m_lineOut = nullptr;
    QLineEdit *m_lineOutAfter = nullptr;
    QPushButton *m_fromTwoLines = nullptr; // r2 of one of two equal lines out
    QLabel *m_rShown = nullptr;
    QCheckBox *m_recloses = nullptr;
    QLineEdit *m_recloseMs = nullptr;
    QRadioButton *m_transient = nullptr;
    QRadioButton *m_permanent = nullptr;

    ModalRunner m_runner;
    FaultScenario m_incoming;
    std::optional<FaultScenario> m_values;
    QButtonGroup *m_networkGroup = nullptr;
    QList<QWidget *> m_twoLinesRow, m_transferRow, m_powerStepRow, m_lineOutRow, m_recloseRow;
    QWidget *m_recloseFrame = nullptr;
};
