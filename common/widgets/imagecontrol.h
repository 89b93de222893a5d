#pragma once

#include "drawsurface.h"

#include <memory>
#include <QWidget>

// Shows a drawing surface of a fixed size and nothing else. The control starts
// without a picture; the first use of its surface gives it a white one of the
// control's layout size.
class ImageControl : public QWidget {
    Q_OBJECT
public:
    ImageControl(QWidget *parent, const QString &name, QRect geometry);

    bool hasPicture() const { return m_surface != nullptr; }
    DrawSurface &surface();

    // Gives the control a new white picture (and so a fresh pen and brush).
    void newPicture();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize m_pictureSize;
    std::unique_ptr<DrawSurface> m_surface;
};
