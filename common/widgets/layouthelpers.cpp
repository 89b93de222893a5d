#include "layouthelpers.h"

#include <QDialog>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

QFont layoutFont(int pixelSize) {
    // Liberation Sans has the widths of the sans-serif the layouts were made for, so
    // the captions fit their places; any sans-serif stands in where it is missing.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

void placeAfter(QWidget *label, const QWidget *before, int left) {
    label->move(qMax(left, before->geometry().right() + 4), label->y());
}

QFrame *makePanel(QWidget *parent, const QString &name, QRect geometry) {
    auto *panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    panel->setGeometry(geometry);
    return panel;
}

QFrame *makeBevel(QWidget *parent, const QString &name, QRect geometry) {
    auto *bevel = new QFrame(parent);
    bevel->setObjectName(name);
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(geometry);
    return bevel;
}

void describe(QWidget *control, const QString &name, const QString &description) {
    control->setAccessibleName(name);
    control->setAccessibleDescription(description);
}

void explain(QWidget *control, const QString &text) {
    if (control->accessibleDescription() == text) return;
    control->setAccessibleDescription(text);
    control->setToolTip(QStringLiteral("<p>%1</p>").arg(text.toHtmlEscaped()));
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, QPoint position) {
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText); // captions are text, never markup
    label->setObjectName(name);
    label->move(position);
    label->adjustSize();
    return label;
}

QLabel *makeRightAlignedLabel(QWidget *parent, const QString &name, const QString &text, int right,
                              int top) {
    QLabel *label = makeLabel(parent, name, text, QPoint(0, top));
    label->move(right - label->width(), top);
    label->setProperty("rightAligned", true); // zoomed, it keeps its right edge
    return label;
}

QLineEdit *makeEdit(QWidget *parent, const QString &name, QRect geometry, bool readOnly,
                    const QString &text) {
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    edit->setReadOnly(readOnly);
    return edit;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text, QRect geometry) {
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

OkCancelButtons makeOkCancel(QDialog *dialog) {
    const OkCancelButtons buttons{new QPushButton(QStringLiteral("OK"), dialog),
                                  new QPushButton(QStringLiteral("Cancel"), dialog)};
    buttons.ok->setObjectName(QStringLiteral("OKBtn"));
    buttons.cancel->setObjectName(QStringLiteral("CancelBtn"));
    buttons.ok->setDefault(true);
    // Through the virtual slots: a dialog that checks its fields on OK overrides accept.
    QObject::connect(buttons.ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(buttons.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    QWidget::setTabOrder(buttons.ok, buttons.cancel);
    return buttons;
}

OkCancelButtons makeOkCancel(QDialog *dialog, int okLeft, int cancelLeft) {
    const OkCancelButtons buttons = makeOkCancel(dialog);
    buttons.ok->setGeometry(okLeft, 180, 75, 25);
    buttons.cancel->setGeometry(cancelLeft, 180, 75, 25);
    return buttons;
}

void closeOnEscape(QWidget *window) {
    for (const QKeySequence &keys :
         {QKeySequence(QKeySequence::Cancel), QKeySequence(QKeySequence::Close)})
        QObject::connect(new QShortcut(keys, window), &QShortcut::activated, window,
                         &QWidget::close);
}
