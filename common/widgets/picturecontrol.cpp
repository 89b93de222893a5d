#include "picturecontrol.h"

#include <QPainter>
#include <utility>

PictureControl::PictureControl(QWidget *parent, const QString &name, QRect geometry, QImage picture)
    : QWidget(parent), m_picture(std::move(picture)) {
    setObjectName(name);
    setGeometry(geometry);
}

void PictureControl::setPicture(const QImage &picture) {
    m_picture = picture;
    m_scaled = QImage();
    update();
}

void PictureControl::resizeEvent(QResizeEvent *) {
    m_scaled = QImage();
}

void PictureControl::paintEvent(QPaintEvent *) {
    if (m_picture.isNull() || width() <= 0 || height() <= 0) return;
    const qreal ratio = devicePixelRatioF();
    const QSize target = (QSizeF(size()) * ratio).toSize();
    if (m_scaled.size() != target) {
        // Scaled once with area averaging: a logo made smaller by point sampling loses
        // the thin parts of its lines.
        m_scaled = m_picture.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_scaled.setDevicePixelRatio(ratio);
    }
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_scaled);
}
