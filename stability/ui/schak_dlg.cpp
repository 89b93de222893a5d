#include "schak_dlg.h"

#include "errorreport.h"
#include "layouthelpers.h"

#include <algorithm>
#include <limits>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

TSchakDlg::TSchakDlg(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SchakDlg"));
    setWindowTitle(QStringLiteral("Clearing time"));
    setFixedSize(259, 214);
    setFont(layoutFont());

    Bevel1 = makeBevel(this, QStringLiteral("Bevel1"), QRect(8, 8, 233, 161));
    LabelAfschakeltijd = makeLabel(this, QStringLiteral("LabelAfschakeltijd"),
                                   QStringLiteral("Clearing time ="), QPoint(63, 24));
    LabelAfschakeltNew = makeLabel(this, QStringLiteral("LabelAfschakeltNew"),
                                   QStringLiteral("250"), QPoint(144, 24));
    // Room for "500" whatever the font, so the live value is never cut off.
    LabelAfschakeltNew->setMinimumWidth(LabelAfschakeltNew->width());
    Label1 = makeLabel(this, QStringLiteral("Label1"), QStringLiteral("ms"), QPoint(168, 24));
    // Where the system's font is wider than the layout's, the value and its unit move
    // right rather than overlap the caption.
    placeAfter(LabelAfschakeltNew, LabelAfschakeltijd, 144);
    placeAfter(Label1, LabelAfschakeltNew, 168);

    TBAfschakeltijd = new QSlider(Qt::Horizontal, this);
    TBAfschakeltijd->setObjectName(QStringLiteral("TBAfschakeltijd"));
    TBAfschakeltijd->setGeometry(48, 64, 150, 33);
    TBAfschakeltijd->setRange(0, 500);
    TBAfschakeltijd->setValue(250);
    TBAfschakeltijd->setTickInterval(50);
    TBAfschakeltijd->setTickPosition(QSlider::TicksBelow);
    TBAfschakeltijd->setSingleStep(1);
    TBAfschakeltijd->setPageStep(1);
    connect(TBAfschakeltijd, &QSlider::valueChanged, this, &TSchakDlg::TBAfschakeltijdChange);

    LabelMinAfsch =
        makeLabel(this, QStringLiteral("LabelMinAfsch"), QStringLiteral("0"), QPoint(56, 96));
    LabelMaxAfsch =
        makeLabel(this, QStringLiteral("LabelMaxAfsch"), QStringLiteral("500"), QPoint(184, 96));

    // Below the slider, between its ends' labels: a time typed to the millisecond.
    SpinAfschakeltijd = new QSpinBox(this);
    SpinAfschakeltijd->setObjectName(QStringLiteral("SpinAfschakeltijd"));
    SpinAfschakeltijd->setGeometry(89, 120, 69, 21);
    // Any whole number can be typed: a spin box limited to 500 would drop the last digit
    // of "600" without a word. OK refuses a time beyond the slider with the range.
    SpinAfschakeltijd->setRange(0, std::numeric_limits<int>::max());
    SpinAfschakeltijd->setSuffix(QStringLiteral(" ms"));
    SpinAfschakeltijd->setValue(TBAfschakeltijd->value());
    // The slider stands at its end for a time beyond it, and leaves such a time typed.
    connect(TBAfschakeltijd, &QSlider::valueChanged, this, [this](int ms) {
        if (std::min(SpinAfschakeltijd->value(), TBAfschakeltijd->maximum()) != ms)
            SpinAfschakeltijd->setValue(ms);
    });
    connect(SpinAfschakeltijd, &QSpinBox::valueChanged, TBAfschakeltijd, &QSlider::setValue);
    const QString help = QStringLiteral("Time from the start of the short circuit to its "
                                        "clearing, in ms, 0 to 500");
    describe(TBAfschakeltijd, QStringLiteral("Clearing time"), help);
    describe(SpinAfschakeltijd, QStringLiteral("Clearing time"),
             help + QStringLiteral(", typed in whole ms"));

    const OkCancelButtons buttons = makeOkCancel(this, 55, 143);
    OKBtn = buttons.ok;
    CancelBtn = buttons.cancel;
    setTabOrder(CancelBtn, TBAfschakeltijd);
    setTabOrder(TBAfschakeltijd, SpinAfschakeltijd);
    // A time can be typed at once and Enter takes it: the field has the keyboard, and OK
    // stays the default button.
    SpinAfschakeltijd->setFocus();
}

bool TSchakDlg::Execute(QWidget *parent, std::int32_t &afschakeltijd, const ModalRunner &runner) {
    TSchakDlg dialog(parent);
    dialog.m_runner = runner;
    // The slider reports a change, and so writes its label, only when the value moves.
    dialog.TBAfschakeltijd->setValue(afschakeltijd);
    // The digits typed replace the time shown rather than being added to it.
    dialog.SpinAfschakeltijd->selectAll();
    const bool ok = runModal(dialog, runner) == QDialog::Accepted;
    if (ok) afschakeltijd = dialog.TBAfschakeltijd->value();
    return ok;
}

void TSchakDlg::TBAfschakeltijdChange() {
    LabelAfschakeltNew->setText(QString::number(TBAfschakeltijd->value()));
}

void TSchakDlg::accept() {
    if (SpinAfschakeltijd->value() > TBAfschakeltijd->maximum()) {
        showErrorReport(this,
                        QStringLiteral("The clearing time must lie from 0 to %1 ms.")
                            .arg(TBAfschakeltijd->maximum()),
                        m_runner);
        SpinAfschakeltijd->setFocus();
        SpinAfschakeltijd->selectAll();
        return;
    }
    QDialog::accept();
}
