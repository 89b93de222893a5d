#pragma once

#include "modalrunner.h"
#include "mygenerator.h"

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// "Generator gegevens": Pmax, H, Demping and Pmech of the current generator. OK stores
// the four values in the machine data, but only once all four are numbers for which
// the swing equation makes sense; until then the dialog stays open with the user's
// typing. Cancel, Escape and the close box leave the machine data equal to the
// current generator's.
class TGenDlg : public QDialog {
    Q_OBJECT
public:
    // Shows a fresh dialog filled from `current` and returns whether it was closed
    // with OK; `params` receives the values entered, or the current generator's.
    static bool Execute(QWidget *parent, const TMyGenerator &current, TGenParams &params,
                        const ModalRunner &runner = {});

    TGenDlg(QWidget *parent, ModalRunner runner);

    // The Pmech field's key filter: a character that may not be typed there becomes
    // the null character.
    void EditPmechKeyPress(QChar &key) const;

    // Checks the four fields; on the first that fails, reports it and puts the focus
    // there. True when all four may be stored.
    bool checkFields();
    const TGenParams &values() const { return m_values; }

    void accept() override;

    QFrame *Bevel1 = nullptr;
    QLabel *LabelPmax = nullptr;
    QLabel *LabelH = nullptr;
    QLabel *LabelDemping = nullptr;
    QLabel *LabelPmech = nullptr;
    QLineEdit *EditPmax = nullptr;
    QLineEdit *EditH = nullptr;
    QLineEdit *EditDemping = nullptr;
    QLineEdit *EditPmech = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Reports a refused field and leaves it selected for correction.
    void refuse(QLineEdit *field, const QString &message);

    ModalRunner m_runner;
    TGenParams m_values;
};
