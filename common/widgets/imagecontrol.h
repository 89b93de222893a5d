#pragma once

#include "drawsurface.h"

#include <memory>
#include <QWidget>

// Shows a drawing surface and nothing else. The control starts without a picture; the
// first use of its surface gives it a white one of the control's size. Zoomed, or on a
// screen of more than one device pixel per pixel, the picture has the device pixels of
// the control's size, so the drawings made on it are as sharp as the text beside them.
class ImageControl : public QWidget {
    Q_OBJECT
public:
    ImageControl(QWidget *parent, const QString &name, QRect geometry);

    bool hasPicture() const { return m_surface != nullptr; }
    DrawSurface &surface();
    // The picture's size in the window's layout at 100 %.
    QSize layoutSize() const { return m_layoutSize; }

    // Gives the control a new white picture (and so a fresh pen and brush).
    void newPicture();
    // The picture for the control's present size at `devicePixelRatio`: a new white
    // one, its surface's scale `zoom` x `devicePixelRatio`. Returns false, and keeps the
    // picture, when neither would change.
    bool fitPicture(double zoom, double devicePixelRatio);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize pictureSize(double devicePixelRatio) const;

    QSize m_layoutSize;
    std::unique_ptr<DrawSurface> m_surface;
};
