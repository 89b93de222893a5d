#include "errorreport.h"

#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>

namespace {

void showReport(QWidget *parent, QMessageBox::Icon icon, const QString &text, const QString &name,
                const ModalRunner &runner) {
    QMessageBox box(icon, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    box.setObjectName(name);
    // The message quotes what the user typed: show it as typed, never as markup.
    box.setTextFormat(Qt::PlainText);
    runModal(box, runner);
}

} // namespace

void showErrorReport(QWidget *parent, const QString &message, const ModalRunner &runner) {
    QString text = message;
    if (!text.endsWith(QChar('.'))) text += QChar('.');
    showReport(parent, QMessageBox::Critical, text, QStringLiteral("ErrorReport"), runner);
}

void showWriteFailure(QWidget *parent, const QString &fileName, const QString &reason,
                      const ModalRunner &runner) {
    showErrorReport(parent,
                    QStringLiteral("Could not write \"%1\": %2")
                        .arg(QDir::toNativeSeparators(fileName), reason),
                    runner);
}

void showNotice(QWidget *parent, const QString &message, const QString &name,
                const ModalRunner &runner) {
    showReport(parent, QMessageBox::Information, message, name, runner);
}
