#include "imagecontrol.h"

#include <cmath>
#include <QPainter>

ImageControl::ImageControl(QWidget *parent, const QString &name, QRect geometry)
    : QWidget(parent), m_layoutSize(geometry.size()) {
    setObjectName(name);
    setGeometry(geometry);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

QSize ImageControl::pictureSize(double devicePixelRatio) const {
    // A fractional ratio rounds to whole device pixels.
    const auto device = [devicePixelRatio](int n) {
        return static_cast<int>(std::lround(n * devicePixelRatio));
    };
    return {device(width()), device(height())};
}

DrawSurface &ImageControl::surface() {
    if (!m_surface) {
        m_surface = std::make_unique<DrawSurface>(size());
        m_surface->setChangedHandler([this] { update(); });
        // The picture, which has no transparent pixels, covers the whole control: what
        // lies behind it need not be painted first.
        setAttribute(Qt::WA_OpaquePaintEvent, true);
    }
    return *m_surface;
}

void ImageControl::newPicture() {
    surface().newPicture();
}

bool ImageControl::fitPicture(double zoom, double devicePixelRatio) {
    const QSize picture = pictureSize(devicePixelRatio);
    const double scale = zoom * devicePixelRatio;
    DrawSurface &s = surface();
    if (picture == s.size() && scale == s.scale()) return false;
    s.setScale(scale);
    s.resize(picture);
    return true;
}

void ImageControl::paintEvent(QPaintEvent *) {
    if (!m_surface) return;
    QPainter painter(this);
    // Device pixel for device pixel where the picture has them; stretched otherwise.
    painter.drawImage(QRect(QPoint(0, 0), size()), m_surface->image());
}
