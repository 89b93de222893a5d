#pragma once

#include "infodialog.h"
#include "modalrunner.h"

#include <QRect>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

// What the help dialog looks like in one program: its size, where its text field lies
// and the text, one entry per line.
struct HelpDescription {
    QSize clientSize;
    QRect memoGeometry;
    QStringList lines;
};

// "Dialog": the help text of a program in a scrollable, word-wrapped field, with OK
// and Cancel. The text can be edited while the dialog is open; nothing keeps the edits.
// Enter is OK except in the text field, where it breaks the line; Escape and the close
// box are Cancel.
class TOKRightDlg : public InfoDialog {
    Q_OBJECT
public:
    // Shows a fresh dialog with the unedited text and returns whether it was closed
    // with OK. The dialog is gone when this returns.
    static bool Execute(QWidget *parent, const HelpDescription &help,
                        const ModalRunner &runner = {});

    TOKRightDlg(QWidget *parent, const HelpDescription &help);

    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
};
