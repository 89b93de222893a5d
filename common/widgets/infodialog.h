#pragma once

#include <QDialog>

// The frame that the help and About dialogs share: a fixed client size in the layout's
// font, centred on the screen of the window it is opened from.
class InfoDialog : public QDialog {
    Q_OBJECT
protected:
    InfoDialog(QWidget *parent, const QString &name, const QString &caption, QSize clientSize);
};
