#include "errorreport.h"

#include <QGuiApplication>
#include <QMessageBox>

void showErrorReport(QWidget *parent, const QString &message, const ModalRunner &runner) {
    QString text = message;
    if (!text.endsWith(QChar('.'))) text += QChar('.');
    QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("ErrorReport"));
    runModal(box, runner);
}
