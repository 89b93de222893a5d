#pragma once

#include "layoutzoom.h"
#include "viewzoom.h"

#include <functional>
#include <QDialog>

// Shows a modal dialog or message box and returns its result. The programs use exec();
// tests hand in a runner that answers the dialog without a person.
using ModalRunner = std::function<int(QDialog &)>;

inline int runModal(QDialog &dialog, const ModalRunner &runner) {
    // At the zoom of the window it is opened from, as a lecture hall reads it.
    zoomDialog(&dialog, zoomOf(dialog.parentWidget()));
    return runner ? runner(dialog) : dialog.exec();
}
