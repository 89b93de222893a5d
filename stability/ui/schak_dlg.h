#pragma once

#include "modalrunner.h"

#include <cstdint>
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

// "Clearing time": the time after the start of the short circuit at which the fault is
// cleared, 0 to 500 ms on a slider, shown live, and in a field to type it in whole ms.
// OK stores it; a time typed beyond 500 ms is refused with the range, the dialog staying
// open. Cancel, Escape and the close box leave it as it was.
class TSchakDlg : public QDialog {
    Q_OBJECT
public:
    static bool Execute(QWidget *parent, std::int32_t &afschakeltijd,
                        const ModalRunner &runner = {});

    explicit TSchakDlg(QWidget *parent);

    void TBAfschakeltijdChange();

    QFrame *Bevel1 = nullptr;
    QLabel *LabelAfschakeltijd = nullptr;
    QLabel *LabelAfschakeltNew = nullptr;
    QLabel *Label1 = nullptr;
    QSlider *TBAfschakeltijd = nullptr;
    QSpinBox *SpinAfschakeltijd = nullptr; // in step with the slider
    QLabel *LabelMinAfsch = nullptr;
    QLabel *LabelMaxAfsch = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    void accept() override;

private:
    ModalRunner m_runner;
};
