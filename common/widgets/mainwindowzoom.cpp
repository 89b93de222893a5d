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
    const int beside = besideWidth();
    const QSize client = LayoutZoom::scaled(m_clientSize, zoom);
    m_window->resize(
        (zoom == 1.0 ? m_sizeAt100 : QSize(client.width(), client.height() + barsHeight())) +
        QSize(beside, 0));
    if (m_window->isVisible()) keepOnScreen(m_window);
    m_besideAt100 = static_cast<int>(beside / zoom);
    noteWindowSize();
    return true;
}

void MainWindowZoom::fitBesidePanes() {
    if (!m_window->layout()) return; // the window is going
    // A pane hides before its window's layout hears of it.
    m_window->layout()->invalidate();
    m_window->layout()->activate();
    const int beside = besideWidth();
    const double zoom = m_layout.zoom();
    const int client =
        zoom == 1.0 ? m_sizeAt100.width() : LayoutZoom::scaled(m_clientSize, zoom).width();
    if (m_window->width() != client + beside) {
        m_window->resize(client + beside, m_window->height());
        if (m_window->isVisible()) keepOnScreen(m_window);
    }
    m_besideAt100 = static_cast<int>(beside / zoom);
    noteWindowSize();
}

int MainWindowZoom::besideWidth() const {
    // The client area takes what the panes leave of the window's width.
    const QWidget *client = m_window->centralWidget();
    return client ? m_window->width() - client->width() : 0;
}

void MainWindowZoom::noteFrame() {
    m_frame = m_window->frameGeometry().size() - m_window->geometry().size();
    noteWindowSize();
}

void MainWindowZoom::noteWindowSize() {
    m_viewZoom->setWindowSize(m_sizeAt100 + QSize(m_besideAt100, 0), m_frame);
}
