#include "uabout.h"

#include "layouthelpers.h"
#include "picturecontrol.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

TAboutBox::TAboutBox(QWidget *parent, const AboutDescription &about)
    : InfoDialog(parent, QStringLiteral("AboutBox"), QStringLiteral("About"), QSize(298, 213)) {
    // A lowered outer and a raised inner bevel: a groove around the panel.
    Panel1 = makeBevel(this, QStringLiteral("Panel1"), QRect(8, 8, 281, 161));
    ProgramIcon = new PictureControl(Panel1, QStringLiteral("ProgramIcon"),
                                     QRect(QPoint(8, 8), about.iconSize), about.picture);
    ProductName = makeLabel(Panel1, QStringLiteral("ProductName"), about.productName, {88, 16});
    Version =
        makeLabel(Panel1, QStringLiteral("Version"), QStringLiteral("Version : 1.0"), {88, 40});
    CreditLabel = makeLabel(Panel1, QStringLiteral("CreditLabel"),
                            QStringLiteral("Made by the Dravex and Selmex team"), {8, 80});

    OKButton =
        makeButton(this, QStringLiteral("OKButton"), QStringLiteral("OK"), QRect(111, 180, 75, 25));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::accept);
    OKButton->setFocus();
}

bool TAboutBox::Execute(QWidget *parent, const AboutDescription &about, const ModalRunner &runner) {
    TAboutBox dialog(parent, about);
    return runModal(dialog, runner) == QDialog::Accepted;
}

void TAboutBox::keyPressEvent(QKeyEvent *event) {
    // Without a cancel button Escape has nothing to press; the dialog's own handling
    // would close it.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    InfoDialog::keyPressEvent(event);
}
