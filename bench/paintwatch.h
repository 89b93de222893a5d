#pragma once

#include <QEvent>
#include <QObject>

// Notes the first paint event of any widget. Installed on the application before a window
// is made, since Dravex's window shows itself while it is being constructed.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint) painted = true;
        return false;
    }
};
