#pragma once

#include "modalrunner.h"

#include <QString>

class QWidget;

// The programs' report of an error that ends a user's action: a message box with the
// error icon, titled with the program's name, showing the message with a full stop
// added. The event loop goes on afterwards.
void showErrorReport(QWidget *parent, const QString &message, const ModalRunner &runner = {});
