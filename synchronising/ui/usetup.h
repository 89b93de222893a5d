#pragma once

#include "modalrunner.h"

#include <cstdint>
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QSlider;

// The setup dialog: how close the generator's phasor must come to the network's before
// switching is accepted, in tenths of the network arrow's length (0 to 10).
class TOKBottomDlg : public QDialog {
    Q_OBJECT
public:
    // Shows a fresh dialog at `maxAngle` (percent); OK stores the slider's choice.
    static bool Execute(QWidget *parent, std::int32_t &maxAngle, const ModalRunner &runner = {});

    explicit TOKBottomDlg(QWidget *parent);

    QFrame *Bevel1 = nullptr;
    QLabel *Label1 = nullptr;
    QSlider *TBHoekvar = nullptr;
    QLabel *Label3 = nullptr; // "easy", under the most lenient end
    QLabel *Label4 = nullptr; // "difficult", under the strictest end
    // The phase angles the slider's position accepts.
    QLabel *AcceptedAngle = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
};
