#include "uhelp.h"

#include "layouthelpers.h"

#include <QPlainTextEdit>
#include <QPushButton>

TOKRightDlg::TOKRightDlg(QWidget *parent, const HelpDescription &help)
    : InfoDialog(parent, QStringLiteral("OKRightDlg"), QStringLiteral("Dialog"), help.clientSize) {
    OKBtn = makeButton(this, QStringLiteral("OKBtn"), QStringLiteral("OK"), QRect(300, 8, 75, 25));
    OKBtn->setDefault(true);
    CancelBtn = makeButton(this, QStringLiteral("CancelBtn"), QStringLiteral("Cancel"),
                           QRect(300, 38, 75, 25));
    connect(OKBtn, &QPushButton::clicked, this, &TOKRightDlg::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &TOKRightDlg::reject);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(help.memoGeometry);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tab moves on to the next control, as everywhere else in the dialog; Enter, which
    // the field takes for itself, breaks the line.
    Memo1->setTabChangesFocus(true);
    Memo1->setPlainText(help.lines.join(QChar('\n')));

    setTabOrder(OKBtn, CancelBtn);
    setTabOrder(CancelBtn, Memo1);
    OKBtn->setFocus();
}

bool TOKRightDlg::Execute(QWidget *parent, const HelpDescription &help, const ModalRunner &runner) {
    TOKRightDlg dialog(parent, help);
    return runModal(dialog, runner) == QDialog::Accepted;
}
