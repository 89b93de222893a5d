#pragma once

#include <QImage>
#include <QWidget>

// Shows one picture stretched to the control's size, and nothing else. Without a
// picture (an empty image) the control shows its background.
class PictureControl : public QWidget {
    Q_OBJECT
public:
    PictureControl(QWidget *parent, const QString &name, QRect geometry, QImage picture = {});

    const QImage &picture() const { return m_picture; }
    void setPicture(const QImage &picture);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QImage m_picture;
    QImage m_scaled; // m_picture at the control's size in device pixels, made when needed
};
