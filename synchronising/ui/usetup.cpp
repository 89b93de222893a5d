#include "usetup.h"

#include "layouthelpers.h"
#include "numberformat.h"
#include "synchropanel.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace {

QString plusMinusDegrees(double value) {
    return QChar(0x00B1) + formatFixed(value, 4, 1) + QChar(0x00B0);
}

// The phase angles the switching check accepts at `maxAngle`, from the sectors the
// synchronising panel's dial shades. The tips must lie strictly within the window, so
// one of no width accepts nothing, not even two equal phasors.
QString acceptedAngleText(int maxAngle) {
    if (acceptedHalfAngleDeg(maxAngle) <= 0)
        return QStringLiteral("Accepted: no angle at all,\nnot even in phase");
    return QStringLiteral("Accepted: %1 at any orientation,\nup to %2 at some")
        .arg(plusMinusDegrees(acceptedHalfAngleDeg(maxAngle)),
             plusMinusDegrees(someOrientationsHalfAngleDeg(maxAngle)));
}

} // namespace

TOKBottomDlg::TOKBottomDlg(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("OKBottomDlg"));
    setWindowTitle(QStringLiteral("Dialog"));
    setFixedSize(313, 214);
    setFont(layoutFont());

    Bevel1 = makeBevel(this, QStringLiteral("Bevel1"), QRect(8, 8, 297, 161));
    Label1 = makeLabel(this, QStringLiteral("Label1"), QStringLiteral("Max Angle"), QPoint(38, 36));
    TBHoekvar = new QSlider(Qt::Horizontal, this);
    TBHoekvar->setObjectName(QStringLiteral("TBHoekvar"));
    TBHoekvar->setGeometry(98, 30, 184, 24);
    TBHoekvar->setRange(0, 10);
    TBHoekvar->setTickInterval(1);
    TBHoekvar->setTickPosition(QSlider::TicksBelow);
    TBHoekvar->setPageStep(1);
    // A higher position is a wider window, so "easy" goes under the right end.
    Label4 = makeLabel(this, QStringLiteral("Label4"), QStringLiteral("difficult"), QPoint(96, 58));
    Label3 = makeRightAlignedLabel(this, QStringLiteral("Label3"), QStringLiteral("easy"), 284, 58);
    Label2 =
        makeLabel(this, QStringLiteral("Label2"),
                  QStringLiteral("Adjust this slider to make switching easier"), QPoint(64, 105));
    // Two lines of room for the widest reading, between the slider's words and Label2.
    AcceptedAngle = makeLabel(this, QStringLiteral("AcceptedAngle"), QString(), QPoint(64, 75));
    AcceptedAngle->resize(233, 28);
    const auto showAccepted = [this](int position) {
        const QString text = acceptedAngleText(position * 10);
        AcceptedAngle->setText(text);
        TBHoekvar->setAccessibleDescription(
            QStringLiteral("How far apart the tips of the network's and the generator's red "
                           "arrows may be, in tenths of the arrow's length. ") +
            QString(text).replace(QChar('\n'), QChar(' ')) + QChar('.'));
    };
    TBHoekvar->setAccessibleName(QStringLiteral("Switching tolerance"));
    showAccepted(TBHoekvar->value());
    connect(TBHoekvar, &QSlider::valueChanged, this, showAccepted);

    const OkCancelButtons buttons = makeOkCancel(this, 79, 159);
    OKBtn = buttons.ok;
    CancelBtn = buttons.cancel;
    setTabOrder(CancelBtn, TBHoekvar);
    OKBtn->setFocus();
}

bool TOKBottomDlg::Execute(QWidget *parent, std::int32_t &maxAngle, const ModalRunner &runner) {
    TOKBottomDlg dialog(parent);
    dialog.TBHoekvar->setValue(maxAngle / 10);
    const bool ok = runModal(dialog, runner) == QDialog::Accepted;
    if (ok) maxAngle = dialog.TBHoekvar->value() * 10;
    return ok;
}
