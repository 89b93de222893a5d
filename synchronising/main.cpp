#include "uselmora.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Selmex"));
    TForm1 window;
    window.show();
    return QApplication::exec();
}
