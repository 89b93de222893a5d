#include "readoutpanel.h"

#include "faultrun.h"
#include "layouthelpers.h"
#include "mygenerator.h"
#include "numberformat.h"

#include <QLineEdit>
#include <QWidget>

ReadoutPanel::ReadoutPanel(QWidget *client) {
    QLineEdit *EditDomega =
        makeEdit(client, QStringLiteral("EditDomega"), QRect(328, 56, 73, 21), true);
    makeLabel(client, QStringLiteral("labDomega"), QStringLiteral("Speed deviation"), {405, 59});
    QLineEdit *EditDelta =
        makeEdit(client, QStringLiteral("EditDelta"), QRect(328, 88, 73, 21), true);
    makeLabel(client, QStringLiteral("LabDelta"), QStringLiteral("rotor angle"), {405, 94});
    // Time and power are editable: what is typed there is never read, and the next step
    // writes over it.
    QLineEdit *EdittotTijd =
        makeEdit(client, QStringLiteral("EdittotTijd"), QRect(328, 128, 73, 21), false);
    makeLabel(client, QStringLiteral("LabTotTijd"), QStringLiteral("Total Time"), {406, 132});
    QLineEdit *EditPelek =
        makeEdit(client, QStringLiteral("EditPelek"), QRect(328, 160, 73, 21), false);
    makeLabel(client, QStringLiteral("LabPelek"), QStringLiteral("Pelec"), {405, 168});
    m_readouts = {Readout{EditDomega, QStringLiteral(" rad/s"), {}},
                  Readout{EditDelta, QStringLiteral("\u00B0"), {}},
                  Readout{EdittotTijd, QStringLiteral(" s"), {}},
                  Readout{EditPelek, QStringLiteral(" p.u."), {}}};

    EditDomega->setAccessibleName(QStringLiteral("Speed deviation"));
    explain(EditDomega, QStringLiteral("Speed deviation from synchronous speed, in rad/s"));
    EditDelta->setAccessibleName(QStringLiteral("rotor angle"));
    explain(EditDelta, QStringLiteral("Rotor angle against the infinite bus, in degrees; it "
                                      "counts whole turns, so it is not wrapped to 360"));
    EdittotTijd->setAccessibleName(QStringLiteral("Total Time"));
    explain(EdittotTijd, QStringLiteral("Time since the fault began, in s"));
    EditPelek->setAccessibleName(QStringLiteral("Pelec")); // its description follows its value
}

void ReadoutPanel::showNewGenerator(const TMyGenerator &generator) {
    show(Angle, generator.DeltaInDegrees());
    // As created, Pelek is per-unit (equal to Pmech); a run shows it times Pmax.
    showPower(generator.Pelek, true);
}

void ReadoutPanel::showStep(const TMyGenerator &generator, const StepReport &report) {
    showPower(generator.PelekInPowerUnit(), false);
    show(Speed, report.Domega);
    show(Angle, generator.DeltaInDegrees());
    show(Time, report.clock);
}

void ReadoutPanel::showPower(long double value, bool perUnitPmech) {
    // Pelec is in the unit the user gave Pmax in, which the program does not know.
    Readout &power = m_readouts[Power];
    power.unit = perUnitPmech ? QStringLiteral(" p.u.") : QString();
    show(Power, value);
    explain(power.edit,
            perUnitPmech ? QStringLiteral("Mechanical power Pmech, per-unit of Pmax (before a run)")
                         : QStringLiteral("Electrical power Pelec, in the unit of Pmax (MW when "
                                          "Pmax is in MW)"));
}

void ReadoutPanel::clearRun() {
    clear(Speed);
    clear(Time);
}

void ReadoutPanel::setRounded(bool rounded) {
    m_rounded = rounded;
    for (const Readout &r : m_readouts) write(r);
}

void ReadoutPanel::followInTabOrder(QWidget *before) {
    for (const Readout &r : m_readouts) {
        QWidget::setTabOrder(before, r.edit);
        before = r.edit;
    }
}

void ReadoutPanel::show(Which which, long double value) {
    m_readouts[which].value = value;
    write(m_readouts[which]);
}

void ReadoutPanel::clear(Which which) {
    m_readouts[which].value.reset();
    write(m_readouts[which]);
}

// From the first digit on, as a student reads it: a long number is cut off at the right,
// never at the left. Rounded, 4 significant digits and the unit, as the tooltips name it.
void ReadoutPanel::write(const Readout &r) const {
    if (!r.value) {
        r.edit->clear();
        return;
    }
    r.edit->setText(m_rounded ? formatGeneralDigits(*r.value, 4) + r.unit
                              : formatGeneral(*r.value));
    r.edit->setCursorPosition(0);
}
