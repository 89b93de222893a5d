#include "selmexinfo.h"

#include <QFile>

QList<UserGuideWindow::Document> selmexGuides() {
    return {{QStringLiteral("User guide"), QStringLiteral("user-guide-selmex.md")},
            {QStringLiteral("Teaching notes"), QStringLiteral("teaching-notes.md")}};
}

HelpDescription selmexHelp() {
    return {QSize(384, 376),
            QRect(10, 11, 281, 352),
            {
                QStringLiteral("How to use the program"),
                QString(),
                QStringLiteral("The main purpose of the program is to learn the 5 "),
                QStringLiteral("conditions for connecting a generator to the network."),
                QStringLiteral("1  equal voltage for each phase"),
                QStringLiteral("2  equal rotation direction"),
                QStringLiteral("3  equal phase order"),
                QStringLiteral("4  no angle between phases of network and generator"),
                QStringLiteral("5  same frequentie"),
                QString(),
                QStringLiteral("The program wil generate a begin situation at random "),
                QStringLiteral("for "),
                QStringLiteral("the generator."),
                QStringLiteral("The network is 380/220 Volt, 50 Hz."),
                QString(),
                QStringLiteral("One should try to comply to the 5 conditions mentioned "),
                QStringLiteral("above. This can be done"),
                QStringLiteral("by the sliders at the bottom-right."),
                QStringLiteral("At the bottom-left one can read some quantity of the "),
                QStringLiteral("generator."),
                QString(),
                QStringLiteral("If the switching is not correct the program wil let you "),
                QStringLiteral("know "),
                QStringLiteral("what condition is not forfiled"),
                QString(),
                QStringLiteral("There is a synchronisation aid available. Tools | Synch "),
                QStringLiteral("aid."),
                QStringLiteral("This is a circkel above the switch-button, which will be "),
                QStringLiteral("green when one can savely connect to the network."),
                QString(),
                QStringLiteral("What angle between generator and network will be "),
                QStringLiteral("acceptable can be set in the Tools | Setup."),
            }};
}

QByteArray selmexLogoBmp() {
    // The picture lives in a static library: name its resources so the linker keeps them.
    Q_INIT_RESOURCE(selmexlogo);
    QFile file(QStringLiteral(":/logo/logo.bmp"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

AboutDescription selmexAbout() {
    return {QStringLiteral("Product Name: Selmora"), QSize(65, 50),
            QImage::fromData(selmexLogoBmp(), "BMP")};
}
