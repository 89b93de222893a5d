#pragma once

#include "infodialog.h"
#include "modalrunner.h"

#include <QImage>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class PictureControl;

// What the About dialog shows in one program: the whole "Product Name" caption, the
// size of the picture's control and the picture, which is stretched to that size.
struct AboutDescription {
    QString productName;
    QSize iconSize;
    QImage picture;
};

// "About": the program's picture, its product name, the version and the makers' credit
// line, with OK. There is no cancel button, so Escape leaves the dialog open; Enter is
// OK and the close box closes it as a Cancel.
class TAboutBox : public InfoDialog {
    Q_OBJECT
public:
    // Shows a fresh dialog and returns whether it was closed with OK. The dialog is
    // gone when this returns.
    static bool Execute(QWidget *parent, const AboutDescription &about,
                        const ModalRunner &runner = {});

    TAboutBox(QWidget *parent, const AboutDescription &about);

    QFrame *Panel1 = nullptr;
    PictureControl *ProgramIcon = nullptr;
    QLabel *ProductName = nullptr;
    QLabel *Version = nullptr;
    QLabel *CreditLabel = nullptr;
    QPushButton *OKButton = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
