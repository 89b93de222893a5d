#include "mainwindowzoom.h"

#include "controls.h"
#include "viewzoom.h"

#include <QLayout>
#include <QMainWindow>

MainWindowZoom::MainWindowZoom(QMainWindow *window, const QString &program, QSize clientSize)
    : m_window(window), m_viewZoom(new ViewZoom(window, program)), m_clientSize(clientSize) {}

void MainWindowZoom::capture() {
    m_sizeAt100 = m_window->size();
    m_layout.capture(m_window);
    m_viewZoom->setWindowSize(m_sizeAt100, QSize());
}

void MainWindowZoom::takeRemembered() {
    const int remembered = m_viewZoom->remembered();
    if (remembered != m_viewZoom->percent()) m_viewZoom->zoomTo(remembered);
}

bool MainWindowZoom::layOut(const std::function<int()> &barsHeight) {
    const double zoom = m_viewZoom->factor();
    if (zoom == m_layout.zoom()) return false;
    m_layout.apply(zoom);
    const int outline = zoomedLineWidth(zoom);
    for (ShapeControl *shape : m_window->findChildren<ShapeControl *>())
        shape->setLineWidth(outline);
    // The bars and the window's least size follow the fonts at once, not at the next
    // events.
    m_window->layout()->activate();
    const QSize client = LayoutZoom::scaled(m_clientSize, zoom);
    m_window->resize(zoom == 1.0 ? m_sizeAt100
                                 : QSize(client.width(), client.height() + barsHeight()));
    if (m_window->isVisible()) keepOnScreen(m_window);
    return true;
}

void MainWindowZoom::noteFrame() {
    m_viewZoom->setWindowSize(m_sizeAt100,
                              m_window->frameGeometry().size() - m_window->geometry().size());
}
