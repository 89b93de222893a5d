#pragma once

#include <functional>
#include <QString>

class QAction;
class QMenu;

// A checkable item of a View menu that the program remembers between starts, in the
// user's settings of the program (programSettings) under `key`: it starts as the last
// start left it, off the first time, and each change is written at once. `changed` is
// given every change the user makes, after it has been remembered; the state at start is
// the item's isChecked(), and `changed` is not called for it.
QAction *addRememberedOption(QMenu *menu, const QString &program, const QString &key,
                             const QString &name, const QString &text,
                             std::function<void(bool)> changed);
