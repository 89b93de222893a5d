#include "viewzoom.h"

#include "zoomlevels.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <utility>

namespace {

const QString ZoomKey = QStringLiteral("View/zoom");

} // namespace

QSettings programSettings(const QString &program) {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, program, program);
}

ViewZoom::ViewZoom(QMainWindow *window, QString program)
    : QObject(window), m_window(window), m_program(std::move(program)) {
    setObjectName(QStringLiteral("ViewZoom"));
    availableArea = [this] {
        const QScreen *screen = m_window->screen();
        if (!screen) screen = QGuiApplication::primaryScreen();
        return screen ? screen->availableGeometry().size() : QSize(640, 480);
    };
}

QMenu *ViewZoom::addMenu(QMenuBar *bar, QMenu *before) {
    auto *menu = new QMenu(QStringLiteral("&View"), bar);
    menu->setObjectName(QStringLiteral("View1"));
    bar->insertMenu(before ? before->menuAction() : nullptr, menu);
    m_zoomIn = menu->addAction(QStringLiteral("Zoom &in"), this, &ViewZoom::zoomIn);
    m_zoomIn->setObjectName(QStringLiteral("ZoomIn1"));
    m_zoomIn->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    m_zoomOut = menu->addAction(QStringLiteral("Zoom &out"), this, &ViewZoom::zoomOut);
    m_zoomOut->setObjectName(QStringLiteral("ZoomOut1"));
    m_zoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    m_actualSize = menu->addAction(QStringLiteral("&Actual size"), this, &ViewZoom::actualSize);
    m_actualSize->setObjectName(QStringLiteral("ActualSize1"));
    m_actualSize->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    return menu;
}

void ViewZoom::setWindowSize(QSize innerAt100, QSize frame) {
    m_inner = innerAt100;
    m_frame = frame;
}

int ViewZoom::largestPercent() const {
    const QSize area = availableArea();
    return largestZoomFitting(m_inner.width(), m_inner.height(), m_frame.width(), m_frame.height(),
                              area.width(), area.height());
}

void ViewZoom::zoomTo(int percent) {
    percent = rememberedZoomLevel(percent, true, largestPercent());
    programSettings(m_program).setValue(ZoomKey, percent);
    if (percent == m_percent) return;
    m_percent = percent;
    emit changed();
}

void ViewZoom::zoomIn() {
    zoomTo(nextZoomLevel(m_percent, largestPercent()));
}

void ViewZoom::zoomOut() {
    zoomTo(previousZoomLevel(m_percent));
}

void ViewZoom::actualSize() {
    zoomTo(ZoomLevels.front());
}

int ViewZoom::remembered() const {
    bool valid = false;
    const long long stored = programSettings(m_program).value(ZoomKey).toLongLong(&valid);
    return rememberedZoomLevel(stored, valid, largestPercent());
}

double zoomOf(const QWidget *widget) {
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        const QWidget *top = w->window();
        if (const auto *zoom =
                top->findChild<ViewZoom *>(QStringLiteral("ViewZoom"), Qt::FindDirectChildrenOnly))
            return zoom->factor();
        w = top;
    }
    return 1.0;
}
