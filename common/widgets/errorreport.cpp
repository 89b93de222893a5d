#include "errorreport.h"

#include <QGuiApplication>
#include <QMessageBox>

void showErrorReport(QWidget *parent, const QString &message, const ModalRunner &runner) {
    QString text = message;
    if (!text.endsWith(QChar('.'))) text += QChar('.');
    QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("ErrorReport"));
    // The message quotes what the user typed: show it as typed, never as markup.
    box.setTextFormat(Qt::PlainText);
    runModal(box, runner);
}
