#include "networkopening.h"

#include "errorreport.h"
#include "filechooser.h"
#include "matpowercase.h"
#include "networkfile.h"
#include "networkwindow.h"

bool opensNetworkWindow(const QString &path) {
    return isNetworkFileName(path) || isMatpowerFileName(path);
}

NetworkWindow *openNetworkWindow(const QString &path, QWidget *from, const ModalRunner &runner) {
    auto *window = new NetworkWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->modalRunner = runner;
    QString error;
    if (!window->session().openFile(path, &error)) {
        delete window;
        showErrorReport(from, error, runner);
        return nullptr;
    }
    window->show();
    return window;
}

void askAndOpenNetwork(QWidget *from, FileChooser &files, const ModalRunner &runner,
                       bool matpower) {
    const QString path = files.chooseFileToOpen(
        from, matpower ? QStringLiteral("Import MATPOWER case") : QStringLiteral("Open network"),
        matpower ? QStringLiteral("MATPOWER cases (*.m)")
                 : QStringLiteral("Dravex networks (*.dravex-network)"));
    if (!path.isEmpty()) openNetworkWindow(path, from, runner);
}
