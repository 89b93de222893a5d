#include "imagecontrol.h"

#include <QPainter>

ImageControl::ImageControl(QWidget *parent, const QString &name, QRect geometry)
    : QWidget(parent), m_pictureSize(geometry.size()) {
    setObjectName(name);
    setGeometry(geometry);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

DrawSurface &ImageControl::surface() {
    if (!m_surface) {
        m_surface = std::make_unique<DrawSurface>(m_pictureSize);
        m_surface->setChangedHandler([this] { update(); });
    }
    return *m_surface;
}

void ImageControl::newPicture() {
    surface().newPicture();
}

void ImageControl::paintEvent(QPaintEvent *) {
    if (!m_surface) return;
    QPainter painter(this);
    painter.drawImage(QRect(QPoint(0, 0), size()), m_surface->image());
}
