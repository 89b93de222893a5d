#include "dravon2.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dravex"));
    TDravon window;
    window.show();
    return QApplication::exec();
}
