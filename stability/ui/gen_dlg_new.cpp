#include "gen_dlg_new.h"

#include "errorreport.h"
#include "layouthelpers.h"
#include "numberformat.h"
#include "stabilitycase.h"
#include "textconvert.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

TGenDlg::TGenDlg(QWidget *parent, ModalRunner runner)
    : QDialog(parent), m_runner(std::move(runner)) {
    setObjectName(QStringLiteral("GenDlg"));
    setWindowTitle(QStringLiteral("Generator gegevens"));
    setFixedSize(219, 214);
    setFont(layoutFont());

    Bevel1 = makeBevel(this, QStringLiteral("Bevel1"), QRect(8, 8, 201, 161));
    // The labels end just left of their fields, at x = 82.
    LabelPmax =
        makeRightAlignedLabel(this, QStringLiteral("LabelPmax"), QStringLiteral("Pmax"), 82, 32);
    LabelH = makeRightAlignedLabel(this, QStringLiteral("LabelH"), QStringLiteral("H"), 82, 64);
    LabelDemping = makeRightAlignedLabel(this, QStringLiteral("LabelDemping"),
                                         QStringLiteral("Demping"), 82, 96);
    LabelPmech =
        makeRightAlignedLabel(this, QStringLiteral("LabelPmech"), QStringLiteral("Pmech"), 82, 128);
    const auto edit = [this](const QString &name, int top) {
        return makeEdit(this, name, QRect(96, top, 81, 21), false, QStringLiteral("0"));
    };
    EditPmax = edit(QStringLiteral("EditPmax"), 24);
    EditH = edit(QStringLiteral("EditH"), 56);
    EditDemping = edit(QStringLiteral("EditDemping"), 88);
    EditPmech = edit(QStringLiteral("EditPmech"), 120);
    EditPmech->installEventFilter(this);
    // Each field tied to its label and explained with its unit, for the mouse and for a
    // screen reader. Demping is taken per 3 ms step: the speed step removes C / 2H times
    // Demping of the speed deviation, whatever the step's length.
    const auto tie = [](QLabel *label, QLineEdit *field, const QString &text) {
        label->setBuddy(field);
        field->setAccessibleName(label->text());
        explain(field, text);
    };
    tie(LabelPmax, EditPmax,
        QStringLiteral("Pmax: the generator's largest electrical power, the peak of the "
                       "power-angle curve, in the unit the read-outs use (e.g. MW)"));
    tie(LabelH, EditH,
        QStringLiteral("H: inertia constant in s, the kinetic energy stored at rated speed "
                       "over the rated power"));
    tie(LabelDemping, EditDemping,
        QStringLiteral("Demping: damping, per-unit of Pmax per rad/s of speed deviation, "
                       "taken once a 3 ms step: each step takes \u03C9s / 2H \u00D7 Demping of "
                       "the speed deviation away (\u03C9s = 100\u03C0 rad/s)"));
    tie(LabelPmech, EditPmech,
        QStringLiteral("Pmech: mechanical input power, per-unit of Pmax, 0 to 1"));

    const OkCancelButtons buttons = makeOkCancel(this, 23, 119);
    OKBtn = buttons.ok;
    CancelBtn = buttons.cancel;
    setTabOrder(CancelBtn, EditPmax);
    setTabOrder(EditPmax, EditH);
    setTabOrder(EditH, EditDemping);
    setTabOrder(EditDemping, EditPmech);
    OKBtn->setFocus();
}

bool TGenDlg::Execute(QWidget *parent, const TMyGenerator &current, TGenParams &params,
                      const ModalRunner &runner) {
    TGenDlg dialog(parent, runner);
    dialog.EditPmax->setText(formatGeneral(current.Pmax));
    dialog.EditH->setText(formatGeneral(current.H));
    dialog.EditDemping->setText(formatGeneral(current.Demping));
    dialog.EditPmech->setText(formatGeneral(current.Pmech));
    const bool ok = runModal(dialog, runner) == QDialog::Accepted;
    if (ok) {
        params = dialog.values();
    } else {
        params = TGenParams{current.Pmax, current.H, current.Demping, current.Pmech};
    }
    return ok;
}

void TGenDlg::EditPmechKeyPress(QChar &key) const {
    const bool passes = key == QChar(8) || (key >= QChar(0x30) && key <= QChar(0x39)) ||
                        key == systemDecimalSeparator();
    if (!passes) key = QChar(0);
}

bool TGenDlg::eventFilter(QObject *watched, QEvent *event) {
    if (watched == EditPmech && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent *>(event)->text();
        // Keys without a character (arrows, Delete), control characters (Enter, Escape,
        // the clipboard's shortcuts) and backspace are left alone.
        if (!text.isEmpty() && text.at(0) >= QChar(' ')) {
            QChar key = text.at(0);
            EditPmechKeyPress(key);
            if (key.isNull()) return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TGenDlg::refuse(QLineEdit *field, const QString &message) {
    showErrorReport(this, message, m_runner);
    field->setFocus();
    field->selectAll();
}

bool TGenDlg::checkFields() {
    TGenParams v;
    const struct {
        QLineEdit *field;
        double *value;
    } fields[] = {
        {EditPmax, &v.Pmax}, {EditH, &v.H}, {EditDemping, &v.Demping}, {EditPmech, &v.Pmech}};
    for (const auto &f : fields) {
        try {
            *f.value = textToFloat(f.field->text());
        } catch (const ConversionError &e) {
            // Named, since a text such as "" or "1,5" says nothing of where it was typed.
            refuse(f.field, e.messageFor(f.field->accessibleName()));
            return false;
        }
    }
    const auto problem = checkMachine(v, [](double x) { return formatGeneral(x).toStdString(); });
    if (problem) {
        QLineEdit *field = problem->field == CaseField::Pmax      ? EditPmax
                           : problem->field == CaseField::H       ? EditH
                           : problem->field == CaseField::Demping ? EditDemping
                                                                  : EditPmech;
        refuse(field, QString::fromStdString(problem->message));
        return false;
    }
    m_values = v;
    return true;
}

void TGenDlg::accept() {
    if (checkFields()) QDialog::accept();
}
