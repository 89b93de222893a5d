#pragma once

#include <functional>
#include <QDialog>

// Shows a modal dialog or message box and returns its result. The programs use exec();
// tests hand in a runner that answers the dialog without a person.
using ModalRunner = std::function<int(QDialog &)>;

inline int runModal(QDialog &dialog, const ModalRunner &runner) {
    return runner ? runner(dialog) : dialog.exec();
}
