#pragma once

#include <QRect>
#include <QString>

class QDialog;
class QFont;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Controls placed at the fixed pixel positions of the programs' window layouts, each
// with its layout name as object name.
// The layouts' 8-point sans-serif: 11 pixels high at 96 dots per inch.
QFont layoutFont(int pixelSize = 11);
// Places `label` at `left`, or just right of `before` where that would overlap it.
void placeAfter(QWidget *label, const QWidget *before, int left);

QFrame *makePanel(QWidget *parent, const QString &name, QRect geometry);
QFrame *makeBevel(QWidget *parent, const QString &name, QRect geometry);
// The name and description a screen reader gives a control.
void describe(QWidget *control, const QString &name, const QString &description);
// What a control holds, in the same words for the mouse (a tooltip, wrapped) and for a
// screen reader (the description); set only when they change, as a reader repeats every
// change.
void explain(QWidget *control, const QString &text);
// Escape and the platform's close keys put `window` away, as they do a tool window.
void closeOnEscape(QWidget *window);
QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, QPoint position);
// A label sized to its text whose right edge ends at `right`.
QLabel *makeRightAlignedLabel(QWidget *parent, const QString &name, const QString &text, int right,
                              int top);
QLineEdit *makeEdit(QWidget *parent, const QString &name, QRect geometry, bool readOnly = false,
                    const QString &text = {});
QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text, QRect geometry);

// A dialog's OK and Cancel, named OKBtn and CancelBtn: OK is the default button (Enter)
// and accepts, Cancel rejects, and Tab goes from OK to Cancel. For a dialog with a layout
// of its own to place them in.
struct OkCancelButtons {
    QPushButton *ok;
    QPushButton *cancel;
};
OkCancelButtons makeOkCancel(QDialog *dialog);
// The same in the row the fixed layouts' dialogs have them in: each 75 x 25 at y = 180,
// their left edges at `okLeft` and `cancelLeft`.
OkCancelButtons makeOkCancel(QDialog *dialog, int okLeft, int cancelLeft);
