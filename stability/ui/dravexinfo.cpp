#include "dravexinfo.h"

#include "jpegdecode.h"

#include <QFile>

QList<UserGuideWindow::Document> dravexGuides() {
    return {{QStringLiteral("User guide"), QStringLiteral("user-guide-dravex.md")},
            {QStringLiteral("Teaching notes"), QStringLiteral("teaching-notes.md")}};
}

HelpDescription dravexHelp() {
    return {QSize(384, 356),
            QRect(26, 11, 265, 334),
            {
                QStringLiteral("This program shows the equal area criterion for "),
                QStringLiteral("determening the critical clearing time."),
                QString(),
                QStringLiteral("It is based on the book \"Power System Analysis\" "),
                QStringLiteral("by John J. Grainger and William D. Stevenson."),
                QString(),
                QStringLiteral("The program starts computing when one click on "),
                QStringLiteral("the short circuit-button."),
                QStringLiteral("It wil calculate the area's A1 and A2, show a polar "),
                QStringLiteral("diagram  and as a extra it wil show the rotor-angle."),
                QString(),
                QStringLiteral("One can change the values of the generator by "),
                QStringLiteral("right-click on the generarot."),
                QString(),
                QStringLiteral("One can change the cleairng time by right-click "),
                QStringLiteral("on the bar."),
            }};
}

QByteArray dravexLogoJpeg() {
    // The picture lives in a static library: name its resources so the linker keeps them.
    Q_INIT_RESOURCE(dravexlogo);
    QFile file(QStringLiteral(":/logo/logo.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

AboutDescription dravexAbout() {
    return {QStringLiteral("Product Name : Dravon"), QSize(65, 57), decodeJpeg(dravexLogoJpeg())};
}
