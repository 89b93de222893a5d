#include "infodialog.h"

#include "layouthelpers.h"

#include <QGuiApplication>
#include <QScreen>

InfoDialog::InfoDialog(QWidget *parent, const QString &name, const QString &caption,
                       QSize clientSize)
    : QDialog(parent) {
    setObjectName(name);
    setWindowTitle(caption);
    setFixedSize(clientSize);
    setFont(layoutFont());
    // Placed before it is shown, the dialog stays there rather than being centred over
    // its parent. The frame, not yet known, shifts it by its own width at most.
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) move(screen->availableGeometry().center() - rect().center());
}
