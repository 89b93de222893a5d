#include "scenariodialog.h"

#include "casefields.h"
#include "errorreport.h"
#include "layouthelpers.h"
#include "numberformat.h"
#include "stabilitycase.h"
#include "textconvert.h"

#include <cmath>
#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>
#include <utility>

namespace {

// Half a second: a usual dead time for high-speed reclosing, long enough for the arc's
// path to deionise. Offered when the incoming scenario does not reclose.
constexpr std::int32_t OfferedRecloseMs = 500;

const QString NoNumbersText = QStringLiteral("r1 and r2 follow once the fields are numbers");

QLabel *caption(QWidget *parent, const QString &text, QWidget *buddy) {
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText); // captions are text, never markup
    label->setBuddy(buddy);
    return label;
}

QLineEdit *field(QWidget *parent, const QString &name, double value) {
    auto *edit = new QLineEdit(formatGeneral(value), parent);
    edit->setObjectName(name);
    return edit;
}

// One of two equal lines switched out: the transfer reactance goes from Xg + XL/2 to
// Xg + XL (Grainger and Stevenson, sec. 16.5).
double lineOutOfTwo(const FaultScenario &s) {
    return static_cast<double>((s.generatorReactance + s.lineReactance / 2.0L) /
                               (s.generatorReactance + s.lineReactance));
}

} // namespace

ScenarioDialog::ScenarioDialog(QWidget *parent, const FaultScenario &scenario, ModalRunner runner)
    : QDialog(parent), m_runner(std::move(runner)), m_incoming(scenario) {
    setObjectName(QStringLiteral("ScenarioDlg"));
    setWindowTitle(QStringLiteral("Fault scenario"));
    setFont(layoutFont());

    auto *layout = new QVBoxLayout(this);
    // The dialog takes the size its captions need, so none is cut off.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // One grid for both networks, so their fields line up; each caption is indented to
    // line up with the text of the button above it.
    auto *networkFrame = new QGroupBox(this);
    auto *network = new QGridLayout(networkFrame);
    const int radioIndent = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                            style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    m_networkGroup = new QButtonGroup(this);
    const auto radio = [](QGroupBox *frame, QButtonGroup *group, const QString &name,
                          const QString &text, int id) {
        auto *button = new QRadioButton(text, frame);
        button->setObjectName(name);
        group->addButton(button, id);
        return button;
    };
    const auto addRadio = [network](QRadioButton *button) {
        network->addWidget(button, network->rowCount(), 0, 1, 2);
    };
    // Each field is named by its caption, and its description gives the unit.
    const auto addField = [=](QList<QWidget *> &rows, QLineEdit *edit, const QString &text,
                              const QString &description) {
        explain(edit, description);
        // The name also heads a refusal of what was typed in the field.
        edit->setAccessibleName(QString(text).remove(QChar('&')));
        QLabel *label = caption(networkFrame, text, edit);
        label->setIndent(radioIndent);
        const int row = network->rowCount();
        network->addWidget(label, row, 0);
        network->addWidget(edit, row, 1, Qt::AlignLeft);
        rows << label << edit;
    };
    m_busbar = radio(networkFrame, m_networkGroup, QStringLiteral("BusbarBtn"),
                     QStringLiteral("Fault at the generator's busbar"), int(Network::Busbar));
    addRadio(m_busbar);
    m_twoLines = radio(networkFrame, m_networkGroup, QStringLiteral("TwoLinesBtn"),
                       QStringLiteral("Fault on one of two parallel lines, that line tripped"),
                       int(Network::TwoLines));
    addRadio(m_twoLines);
    m_xg = field(networkFrame, QStringLiteral("EditXg"), scenario.generatorReactance);
    addField(m_twoLinesRow, m_xg,
             QStringLiteral("Generator reactance Xg (transient + transformer), per-unit"),
             QStringLiteral("The generator's transient reactance plus its transformer's, in "
                            "per-unit on the same base as the lines"));
    m_xl = field(networkFrame, QStringLiteral("EditXL"), scenario.lineReactance);
    addField(m_twoLinesRow, m_xl, QStringLiteral("Reactance of each line XL, per-unit"),
             QStringLiteral("The reactance of each of the two lines, in per-unit"));
    m_location = field(networkFrame, QStringLiteral("EditLocation"), scenario.locationPercent);
    addField(m_twoLinesRow, m_location,
             QStringLiteral("Fault location, % of the line from the generator's end"),
             QStringLiteral("Where the fault is on the faulted line, in % of its length from "
                            "the generator's end, from 0 to below 100"));
    m_transfer = radio(networkFrame, m_networkGroup, QStringLiteral("TransferBtn"),
                       QStringLiteral("r1 and r2 given directly"), int(Network::Transfer));
    addRadio(m_transfer);
    m_during = field(networkFrame, QStringLiteral("EditDuring"), scenario.during);
    addField(m_transferRow, m_during, QStringLiteral("r1, power during the fault"),
             QStringLiteral("The peak of the power-angle curve while the fault is on, "
                            "per-unit of the pre-fault Pmax"));
    m_after = field(networkFrame, QStringLiteral("EditAfter"), scenario.after);
    addField(m_transferRow, m_after, QStringLiteral("r2, power after clearing"),
             QStringLiteral("The peak of the power-angle curve after clearing, per-unit of "
                            "the pre-fault Pmax"));
    // The disturbances without a fault, before any fault in the textbooks.
    m_powerStep =
        radio(networkFrame, m_networkGroup, QStringLiteral("PowerStepBtn"),
              QStringLiteral("No fault: a step in mechanical power"), int(Network::PowerStep));
    addRadio(m_powerStep);
    m_pmechAfter = field(networkFrame, QStringLiteral("EditPmechAfter"), scenario.pmechAfter);
    addField(m_powerStepRow, m_pmechAfter, QStringLiteral("P1, mechanical power after the step"),
             QStringLiteral("The mechanical power from the run's start, per-unit of Pmax, "
                            "above 0 and at most 1"));
    m_lineOut = radio(networkFrame, m_networkGroup, QStringLiteral("LineOutBtn"),
                      QStringLiteral("No fault: one line switched out"), int(Network::LineOut));
    addRadio(m_lineOut);
    m_lineOutAfter =
        field(networkFrame, QStringLiteral("EditLineOutAfter"),
              scenario.network == Network::LineOut ? scenario.after : lineOutOfTwo(scenario));
    addField(m_lineOutRow, m_lineOutAfter, QStringLiteral("r2, power with the line out"),
             QStringLiteral("The peak of the power-angle curve once the line is out, per-unit "
                            "of the pre-fault Pmax, above 0 and below 1"));
    m_fromTwoLines = new QPushButton(QStringLiteral("From &two equal lines"), networkFrame);
    m_fromTwoLines->setObjectName(QStringLiteral("FromTwoLinesBtn"));
    explain(m_fromTwoLines,
            QStringLiteral("r2 = (Xg + XL/2) / (Xg + XL) with the two-lines fields' Xg and XL: "
                           "one of two equal lines switched out"));
    network->addWidget(m_fromTwoLines, network->rowCount() - 1, 2);
    m_lineOutRow << m_fromTwoLines;
    connect(m_fromTwoLines, &QPushButton::clicked, this, [this] {
        FaultScenario two;
        two.network = Network::TwoLines;
        QString why;
        if (QLineEdit *wrong = readFields(two, &why)) {
            refuse(wrong, why);
            return;
        }
        if (const auto problem = checkScenario(two)) {
            refuse(fieldFor(problem->field, two.network), QString::fromStdString(problem->message));
            return;
        }
        m_lineOutAfter->setText(formatGeneral(lineOutOfTwo(two)));
    });
    layout->addWidget(networkFrame);

    m_rShown = new QLabel(this);
    m_rShown->setObjectName(QStringLiteral("LabelR"));
    m_rShown->setTextFormat(Qt::PlainText);
    layout->addWidget(m_rShown);

    auto *recloseFrame = new QGroupBox(this);
    auto *reclose = new QVBoxLayout(recloseFrame);
    auto *deadTime = new QHBoxLayout;
    m_recloses = new QCheckBox(QStringLiteral("Reclose after a dead time"), recloseFrame);
    m_recloses->setObjectName(QStringLiteral("RecloseBox"));
    m_recloses->setChecked(scenario.recloses());
    deadTime->addWidget(m_recloses);
    m_recloseMs = new QLineEdit(
        QString::number(scenario.recloses() ? scenario.recloseMs : OfferedRecloseMs), recloseFrame);
    m_recloseMs->setObjectName(QStringLiteral("EditRecloseMs"));
    describe(m_recloseMs, QStringLiteral("Dead time, ms"),
             QStringLiteral("Dead time before the breaker recloses, whole milliseconds"));
    deadTime->addWidget(m_recloseMs);
    QLabel *ms = caption(recloseFrame, QStringLiteral("ms"), m_recloseMs);
    deadTime->addWidget(ms);
    deadTime->addStretch();
    reclose->addLayout(deadTime);
    auto *onto = new QVBoxLayout;
    onto->setContentsMargins(style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                                 style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing),
                             0, 0, 0);
    auto *ontoGroup = new QButtonGroup(this);
    m_transient =
        radio(recloseFrame, ontoGroup, QStringLiteral("TransientBtn"),
              QStringLiteral("onto a cleared (transient) fault"), int(RecloseOnto::Transient));
    m_permanent = radio(recloseFrame, ontoGroup, QStringLiteral("PermanentBtn"),
                        QStringLiteral("onto a permanent fault"), int(RecloseOnto::Permanent));
    (scenario.recloseOnto == RecloseOnto::Permanent ? m_permanent : m_transient)->setChecked(true);
    onto->addWidget(m_transient);
    onto->addWidget(m_permanent);
    reclose->addLayout(onto);
    m_recloseRow << m_recloseMs << ms << m_transient << m_permanent;
    layout->addWidget(recloseFrame);
    m_recloseFrame = recloseFrame;

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    const OkCancelButtons okCancel = makeOkCancel(this);
    buttons->addWidget(okCancel.ok);
    buttons->addWidget(okCancel.cancel);
    layout->addLayout(buttons);

    fitWidthsToFont();
    QAbstractButton *chosen = m_networkGroup->button(int(scenario.network));
    (chosen ? chosen : m_busbar)->setChecked(true);
    updateEnabled();
    updateR();
    connect(m_networkGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (!checked) return;
        updateEnabled();
        updateR();
    });
    connect(m_recloses, &QCheckBox::toggled, this, &ScenarioDialog::updateEnabled);
    for (QLineEdit *edit :
         {m_xg, m_xl, m_location, m_during, m_after, m_pmechAfter, m_lineOutAfter})
        connect(edit, &QLineEdit::textChanged, this, &ScenarioDialog::updateR);
    (chosen ? chosen : m_busbar)->setFocus();
}

void ScenarioDialog::fitWidthsToFont() {
    // Wide enough for either text, so the dialog keeps its size while the user types.
    m_rShown->setMinimumWidth(qMax(
        m_rShown->fontMetrics().horizontalAdvance(NoNumbersText),
        m_rShown->fontMetrics().horizontalAdvance(QStringLiteral("r1 = 0.0008888  r2 = 0.8888"))));
    m_recloseMs->setMaximumWidth(
        m_recloseMs->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
}

void ScenarioDialog::changeEvent(QEvent *event) {
    // Zoomed for the window it is opened from: the widths follow the larger font.
    if (event->type() == QEvent::FontChange && m_rShown && m_recloseMs) fitWidthsToFont();
    QDialog::changeEvent(event);
}

bool ScenarioDialog::edit(QWidget *parent, FaultScenario &scenario, const ModalRunner &runner) {
    ScenarioDialog dialog(parent, scenario, runner);
    // Stored only when OK passed the checks, whatever the runner answers.
    if (runModal(dialog, runner) != QDialog::Accepted || !dialog.values()) return false;
    scenario = *dialog.values();
    return true;
}

Network ScenarioDialog::chosenNetwork() const {
    const int id = m_networkGroup->checkedId();
    return id < 0 ? Network::Busbar : static_cast<Network>(id);
}

QLineEdit *ScenarioDialog::readFields(FaultScenario &scenario, QString *why) const {
    StabilityCase c;
    c.scenario = scenario;
    for (const CaseFieldInfo &f : caseFields()) {
        if (f.section != CaseSection::Fault || f.form != CaseValueForm::Number ||
            !networkHas(scenario.network, f.field))
            continue;
        QLineEdit *edit = fieldFor(f.field, scenario.network);
        try {
            f.set(c, textToFloat(edit->text()));
        } catch (const ConversionError &e) {
            if (why) *why = e.messageFor(edit->accessibleName());
            return edit;
        }
    }
    scenario = c.scenario;
    return nullptr;
}

void ScenarioDialog::updateEnabled() {
    const Network network = chosenNetwork();
    for (QWidget *w : std::as_const(m_twoLinesRow)) w->setEnabled(network == Network::TwoLines);
    for (QWidget *w : std::as_const(m_transferRow)) w->setEnabled(network == Network::Transfer);
    for (QWidget *w : std::as_const(m_powerStepRow)) w->setEnabled(network == Network::PowerStep);
    for (QWidget *w : std::as_const(m_lineOutRow)) w->setEnabled(network == Network::LineOut);
    // Reclosing belongs to a fault.
    const bool fault = network != Network::PowerStep && network != Network::LineOut;
    m_recloseFrame->setEnabled(fault);
    for (QWidget *w : std::as_const(m_recloseRow)) w->setEnabled(m_recloses->isChecked());
}

void ScenarioDialog::updateR() {
    FaultScenario s = m_incoming;
    s.network = chosenNetwork();
    if (readFields(s)) {
        m_rShown->setText(NoNumbersText);
        return;
    }
    if (s.network == Network::PowerStep)
        m_rShown->setText(QStringLiteral("No fault: P1 = %1 on the whole network")
                              .arg(formatGeneralDigits(s.pmechAfter, 4)));
    else if (s.network == Network::LineOut)
        m_rShown->setText(
            QStringLiteral("No fault: r2 = %1 from the start").arg(formatGeneralDigits(s.r2(), 4)));
    else
        m_rShown->setText(QStringLiteral("r1 = %1  r2 = %2")
                              .arg(formatGeneralDigits(s.r1(), 4), formatGeneralDigits(s.r2(), 4)));
}

QLineEdit *ScenarioDialog::fieldFor(CaseField field, Network network) const {
    switch (field) {
    case CaseField::GeneratorReactance:
        return m_xg;
    case CaseField::LineReactance:
        return m_xl;
    case CaseField::Location:
        return m_location;
    case CaseField::During:
        return m_during;
    case CaseField::After:
        return network == Network::LineOut ? m_lineOutAfter : m_after;
    case CaseField::PmechAfter:
        return m_pmechAfter;
    case CaseField::RecloseMs:
        return m_recloseMs;
    default:
        return nullptr; // the machine data and clearing time are not in this dialog
    }
}

void ScenarioDialog::refuse(QLineEdit *field, const QString &message) {
    showErrorReport(this, message, m_runner);
    if (!field) return;
    field->setFocus();
    field->selectAll();
}

bool ScenarioDialog::checkFields() {
    m_values.reset();
    // The networks not chosen, and the kind of reclosing when there is none, keep what
    // the scenario had.
    FaultScenario s = m_incoming;
    s.network = chosenNetwork();
    QString why;
    if (QLineEdit *wrong = readFields(s, &why)) {
        refuse(wrong, why);
        return false;
    }
    s.recloseMs = 0;
    if (m_recloses->isChecked() && s.hasFault()) {
        double ms = 0;
        try {
            ms = textToFloat(m_recloseMs->text());
        } catch (const ConversionError &e) {
            refuse(m_recloseMs, e.messageFor(m_recloseMs->accessibleName()));
            return false;
        }
        if (ms != std::floor(ms)) {
            refuse(m_recloseMs,
                   QStringLiteral("The dead time before reclosing must be a whole number of ms "
                                  "from 1 to %1.")
                       .arg(MaxRecloseMs));
            return false;
        }
        // A scenario reads 0 ms as no reclosing, which the ticked box does not mean; 0
        // and less, and counts beyond any whole number, stand in as just outside the
        // range so that the scenario's check refuses them.
        s.recloseMs = ms < 1              ? -1
                      : ms > MaxRecloseMs ? MaxRecloseMs + 1
                                          : static_cast<std::int32_t>(ms);
        s.recloseOnto = m_permanent->isChecked() ? RecloseOnto::Permanent : RecloseOnto::Transient;
    }
    const NumberText number = [](double v) { return formatGeneral(v).toStdString(); };
    if (const auto problem = checkScenario(s, number)) {
        refuse(fieldFor(problem->field, s.network), QString::fromStdString(problem->message));
        return false;
    }
    m_values = s;
    return true;
}

void ScenarioDialog::accept() {
    if (checkFields()) QDialog::accept();
}
