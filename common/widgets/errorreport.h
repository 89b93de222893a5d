#pragma once

#include "modalrunner.h"

#include <QString>

class QWidget;

// The programs' report of an error that ends a user's action: a message box with the
// error icon, titled with the program's name, showing the message with a full stop
// added, at the zoom of the window it is opened from. The event loop goes on
// afterwards. Every entry point reports a refused or unwritable file through it.
void showErrorReport(QWidget *parent, const QString &message, const ModalRunner &runner = {});
// The error report of a file that could not be written: its name and the reason.
void showWriteFailure(QWidget *parent, const QString &fileName, const QString &reason,
                      const ModalRunner &runner = {});
// The same box with the information icon, for an action that has nothing to act on yet;
// `name` is the box's object name.
void showNotice(QWidget *parent, const QString &message, const QString &name,
                const ModalRunner &runner = {});
