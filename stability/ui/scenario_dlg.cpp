#include "scenario_dlg.h"

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

TScenarioDlg::TScenarioDlg(QWidget *parent, const FaultScenario &scenario,
                           const ModalRunner &runner)
    : QDialog(parent), m_runner(runner), m_incoming(scenario) {
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
    const auto radio = [this](QGroupBox *frame, QButtonGroup *group, const QString &name,
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
    BusbarBtn = radio(networkFrame, m_networkGroup, QStringLiteral("BusbarBtn"),
                      QStringLiteral("Fault at the generator's busbar"), int(Network::Busbar));
    addRadio(BusbarBtn);
    TwoLinesBtn = radio(networkFrame, m_networkGroup, QStringLiteral("TwoLinesBtn"),
                        QStringLiteral("Fault on one of two parallel lines, that line tripped"),
                        int(Network::TwoLines));
    addRadio(TwoLinesBtn);
    EditXg = field(networkFrame, QStringLiteral("EditXg"), scenario.generatorReactance);
    addField(m_twoLinesRow, EditXg,
             QStringLiteral("Generator reactance Xg (transient + transformer), per-unit"),
             QStringLiteral("The generator's transient reactance plus its transformer's, in "
                            "per-unit on the same base as the lines"));
    EditXL = field(networkFrame, QStringLiteral("EditXL"), scenario.lineReactance);
    addField(m_twoLinesRow, EditXL, QStringLiteral("Reactance of each line XL, per-unit"),
             QStringLiteral("The reactance of each of the two lines, in per-unit"));
    EditLocation = field(networkFrame, QStringLiteral("EditLocation"), scenario.locationPercent);
    addField(m_twoLinesRow, EditLocation,
             QStringLiteral("Fault location, % of the line from the generator's end"),
             QStringLiteral("Where the fault is on the faulted line, in % of its length from "
                            "the generator's end, from 0 to below 100"));
    TransferBtn = radio(networkFrame, m_networkGroup, QStringLiteral("TransferBtn"),
                        QStringLiteral("r1 and r2 given directly"), int(Network::Transfer));
    addRadio(TransferBtn);
    EditDuring = field(networkFrame, QStringLiteral("EditDuring"), scenario.during);
    addField(m_transferRow, EditDuring, QStringLiteral("r1, power during the fault"),
             QStringLiteral("The peak of the power-angle curve while the fault is on, "
                            "per-unit of the pre-fault Pmax"));
    EditAfter = field(networkFrame, QStringLiteral("EditAfter"), scenario.after);
    addField(m_transferRow, EditAfter, QStringLiteral("r2, power after clearing"),
             QStringLiteral("The peak of the power-angle curve after clearing, per-unit of "
                            "the pre-fault Pmax"));
    // The disturbances without a fault, before any fault in the textbooks.
    PowerStepBtn =
        radio(networkFrame, m_networkGroup, QStringLiteral("PowerStepBtn"),
              QStringLiteral("No fault: a step in mechanical power"), int(Network::PowerStep));
    addRadio(PowerStepBtn);
    EditPmechAfter = field(networkFrame, QStringLiteral("EditPmechAfter"), scenario.pmechAfter);
    addField(m_powerStepRow, EditPmechAfter, QStringLiteral("P1, mechanical power after the step"),
             QStringLiteral("The mechanical power from the run's start, per-unit of Pmax, "
                            "above 0 and at most 1"));
    LineOutBtn = radio(networkFrame, m_networkGroup, QStringLiteral("LineOutBtn"),
                       QStringLiteral("No fault: one line switched out"), int(Network::LineOut));
    addRadio(LineOutBtn);
    EditLineOutAfter =
        field(networkFrame, QStringLiteral("EditLineOutAfter"),
              scenario.network == Network::LineOut ? scenario.after : lineOutOfTwo(scenario));
    addField(m_lineOutRow, EditLineOutAfter, QStringLiteral("r2, power with the line out"),
             QStringLiteral("The peak of the power-angle curve once the line is out, per-unit "
                            "of the pre-fault Pmax, above 0 and below 1"));
    FromTwoLinesBtn = new QPushButton(QStringLiteral("From &two equal lines"), networkFrame);
    FromTwoLinesBtn->setObjectName(QStringLiteral("FromTwoLinesBtn"));
    explain(FromTwoLinesBtn,
            QStringLiteral("r2 = (Xg + XL/2) / (Xg + XL) with the two-lines fields' Xg and XL: "
                           "one of two equal lines switched out"));
    network->addWidget(FromTwoLinesBtn, network->rowCount() - 1, 2);
    m_lineOutRow << FromTwoLinesBtn;
    connect(FromTwoLinesBtn, &QPushButton::clicked, this, [this] {
        FaultScenario two;
        two.network = Network::TwoLines;
        for (const NetworkField &f : networkFields(Network::TwoLines)) {
            try {
                two.*f.value = textToFloat(f.field->text());
            } catch (const ConversionError &e) {
                refuse(f.field, e.messageFor(f.field->accessibleName()));
                return;
            }
        }
        if (const auto problem = checkScenario(two)) {
            refuse(fieldFor(problem->field), QString::fromStdString(problem->message));
            return;
        }
        EditLineOutAfter->setText(formatGeneral(lineOutOfTwo(two)));
    });
    layout->addWidget(networkFrame);

    LabelR = new QLabel(this);
    LabelR->setObjectName(QStringLiteral("LabelR"));
    LabelR->setTextFormat(Qt::PlainText);
    layout->addWidget(LabelR);

    auto *recloseFrame = new QGroupBox(this);
    auto *reclose = new QVBoxLayout(recloseFrame);
    auto *deadTime = new QHBoxLayout;
    RecloseBox = new QCheckBox(QStringLiteral("Reclose after a dead time"), recloseFrame);
    RecloseBox->setObjectName(QStringLiteral("RecloseBox"));
    RecloseBox->setChecked(scenario.recloses());
    deadTime->addWidget(RecloseBox);
    EditRecloseMs = new QLineEdit(
        QString::number(scenario.recloses() ? scenario.recloseMs : OfferedRecloseMs), recloseFrame);
    EditRecloseMs->setObjectName(QStringLiteral("EditRecloseMs"));
    describe(EditRecloseMs, QStringLiteral("Dead time, ms"),
             QStringLiteral("Dead time before the breaker recloses, whole milliseconds"));
    deadTime->addWidget(EditRecloseMs);
    QLabel *ms = caption(recloseFrame, QStringLiteral("ms"), EditRecloseMs);
    deadTime->addWidget(ms);
    deadTime->addStretch();
    reclose->addLayout(deadTime);
    auto *onto = new QVBoxLayout;
    onto->setContentsMargins(style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                                 style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing),
                             0, 0, 0);
    auto *ontoGroup = new QButtonGroup(this);
    TransientBtn =
        radio(recloseFrame, ontoGroup, QStringLiteral("TransientBtn"),
              QStringLiteral("onto a cleared (transient) fault"), int(RecloseOnto::Transient));
    PermanentBtn = radio(recloseFrame, ontoGroup, QStringLiteral("PermanentBtn"),
                         QStringLiteral("onto a permanent fault"), int(RecloseOnto::Permanent));
    (scenario.recloseOnto == RecloseOnto::Permanent ? PermanentBtn : TransientBtn)
        ->setChecked(true);
    onto->addWidget(TransientBtn);
    onto->addWidget(PermanentBtn);
    reclose->addLayout(onto);
    m_recloseRow << EditRecloseMs << ms << TransientBtn << PermanentBtn;
    layout->addWidget(recloseFrame);
    m_recloseFrame = recloseFrame;

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);
    connect(OKBtn, &QPushButton::clicked, this, &TScenarioDlg::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &TScenarioDlg::reject);

    fitWidthsToFont();
    QAbstractButton *chosen = m_networkGroup->button(int(scenario.network));
    (chosen ? chosen : BusbarBtn)->setChecked(true);
    updateEnabled();
    updateR();
    connect(m_networkGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (!checked) return;
        updateEnabled();
        updateR();
    });
    connect(RecloseBox, &QCheckBox::toggled, this, &TScenarioDlg::updateEnabled);
    for (QLineEdit *edit :
         {EditXg, EditXL, EditLocation, EditDuring, EditAfter, EditPmechAfter, EditLineOutAfter})
        connect(edit, &QLineEdit::textChanged, this, &TScenarioDlg::updateR);
    (chosen ? chosen : BusbarBtn)->setFocus();
}

void TScenarioDlg::fitWidthsToFont() {
    // Wide enough for either text, so the dialog keeps its size while the user types.
    LabelR->setMinimumWidth(qMax(
        LabelR->fontMetrics().horizontalAdvance(NoNumbersText),
        LabelR->fontMetrics().horizontalAdvance(QStringLiteral("r1 = 0.0008888  r2 = 0.8888"))));
    EditRecloseMs->setMaximumWidth(
        EditRecloseMs->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
}

void TScenarioDlg::changeEvent(QEvent *event) {
    // Zoomed for the window it is opened from: the widths follow the larger font.
    if (event->type() == QEvent::FontChange && LabelR && EditRecloseMs) fitWidthsToFont();
    QDialog::changeEvent(event);
}

bool TScenarioDlg::Execute(QWidget *parent, FaultScenario &scenario, const ModalRunner &runner) {
    TScenarioDlg dialog(parent, scenario, runner);
    // Stored only when OK passed the checks, whatever the runner answers.
    if (runModal(dialog, runner) != QDialog::Accepted || !dialog.values()) return false;
    scenario = *dialog.values();
    return true;
}

Network TScenarioDlg::chosenNetwork() const {
    const int id = m_networkGroup->checkedId();
    return id < 0 ? Network::Busbar : static_cast<Network>(id);
}

QList<TScenarioDlg::NetworkField> TScenarioDlg::networkFields(Network network) const {
    switch (network) {
    case Network::Busbar:
        break;
    case Network::TwoLines:
        return {{EditXg, &FaultScenario::generatorReactance},
                {EditXL, &FaultScenario::lineReactance},
                {EditLocation, &FaultScenario::locationPercent}};
    case Network::Transfer:
        return {{EditDuring, &FaultScenario::during}, {EditAfter, &FaultScenario::after}};
    case Network::PowerStep:
        return {{EditPmechAfter, &FaultScenario::pmechAfter}};
    case Network::LineOut:
        return {{EditLineOutAfter, &FaultScenario::after}};
    }
    return {};
}

void TScenarioDlg::updateEnabled() {
    const Network network = chosenNetwork();
    for (QWidget *w : std::as_const(m_twoLinesRow)) w->setEnabled(network == Network::TwoLines);
    for (QWidget *w : std::as_const(m_transferRow)) w->setEnabled(network == Network::Transfer);
    for (QWidget *w : std::as_const(m_powerStepRow)) w->setEnabled(network == Network::PowerStep);
    for (QWidget *w : std::as_const(m_lineOutRow)) w->setEnabled(network == Network::LineOut);
    // Reclosing belongs to a fault.
    const bool fault = network != Network::PowerStep && network != Network::LineOut;
    m_recloseFrame->setEnabled(fault);
    for (QWidget *w : std::as_const(m_recloseRow)) w->setEnabled(RecloseBox->isChecked());
}

void TScenarioDlg::updateR() {
    FaultScenario s = m_incoming;
    s.network = chosenNetwork();
    for (const NetworkField &f : networkFields(s.network)) {
        try {
            s.*f.value = textToFloat(f.field->text());
        } catch (const ConversionError &) {
            LabelR->setText(NoNumbersText);
            return;
        }
    }
    if (s.network == Network::PowerStep)
        LabelR->setText(QStringLiteral("No fault: P1 = %1 on the whole network")
                            .arg(formatGeneralDigits(s.pmechAfter, 4)));
    else if (s.network == Network::LineOut)
        LabelR->setText(
            QStringLiteral("No fault: r2 = %1 from the start").arg(formatGeneralDigits(s.r2(), 4)));
    else
        LabelR->setText(QStringLiteral("r1 = %1  r2 = %2")
                            .arg(formatGeneralDigits(s.r1(), 4), formatGeneralDigits(s.r2(), 4)));
}

QLineEdit *TScenarioDlg::fieldFor(CaseField field) const {
    switch (field) {
    case CaseField::GeneratorReactance:
        return EditXg;
    case CaseField::LineReactance:
        return EditXL;
    case CaseField::Location:
        return EditLocation;
    case CaseField::During:
        return EditDuring;
    case CaseField::After:
        return chosenNetwork() == Network::LineOut ? EditLineOutAfter : EditAfter;
    case CaseField::PmechAfter:
        return EditPmechAfter;
    case CaseField::RecloseMs:
        return EditRecloseMs;
    default:
        return nullptr; // the machine data and clearing time are not in this dialog
    }
}

void TScenarioDlg::refuse(QLineEdit *field, const QString &message) {
    showErrorReport(this, message, m_runner);
    if (!field) return;
    field->setFocus();
    field->selectAll();
}

bool TScenarioDlg::checkFields() {
    m_values.reset();
    // The networks not chosen, and the kind of reclosing when there is none, keep what
    // the scenario had.
    FaultScenario s = m_incoming;
    s.network = chosenNetwork();
    for (const NetworkField &f : networkFields(s.network)) {
        try {
            s.*f.value = textToFloat(f.field->text());
        } catch (const ConversionError &e) {
            refuse(f.field, e.messageFor(f.field->accessibleName()));
            return false;
        }
    }
    s.recloseMs = 0;
    if (RecloseBox->isChecked() && s.hasFault()) {
        double ms = 0;
        try {
            ms = textToFloat(EditRecloseMs->text());
        } catch (const ConversionError &e) {
            refuse(EditRecloseMs, e.messageFor(EditRecloseMs->accessibleName()));
            return false;
        }
        if (ms != std::floor(ms)) {
            refuse(EditRecloseMs,
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
        s.recloseOnto = PermanentBtn->isChecked() ? RecloseOnto::Permanent : RecloseOnto::Transient;
    }
    const NumberText number = [](double v) { return formatGeneral(v).toStdString(); };
    if (const auto problem = checkScenario(s, number)) {
        refuse(fieldFor(problem->field), QString::fromStdString(problem->message));
        return false;
    }
    m_values = s;
    return true;
}

void TScenarioDlg::accept() {
    if (checkFields()) QDialog::accept();
}
