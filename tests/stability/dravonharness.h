#pragma once

// A fresh Dravex main window for one test: runs as fast as the machine goes, answers
// its message boxes, counts its alert sounds and records the steps of its runs.
#include "controls.h"
#include "dravon2.h"
#include "equalareastatus.h"
#include "imagecontrol.h"
#include "viewzoom.h"

#include <QAbstractButton>
#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <vector>

// A control of a window, found by its object name; a name that is not there ends the test
// at once rather than in a null pointer.
template <class T> T *control(const QObject &window, const char *name) {
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    if (!found) qFatal("no control named %s", name);
    return found;
}

struct ShownBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    QStringList buttons;
    int afterSteps = 0; // steps recorded when it was shown
    QString clockReadout;
};

class CountingSound : public AlertSound {
public:
    explicit CountingSound(int &count) : m_count(count) {}
    void play() override { ++m_count; }

private:
    int &m_count;
};

struct DravonHarness {
    TDravon w;
    std::vector<int> steps; // the step numbers in the order they ran
    std::vector<ShownBox> boxes;
    int sounds = 0;
    std::function<void(int)> onStep; // the test's own action at the end of a step
    // The test's answer to a dialog other than a message box; without one, Cancel.
    std::function<int(QDialog &)> onDialog;

    DravonHarness() {
        w.session().setSpeed(RunSpeed::Fast);
        w.setAlertSound(std::make_unique<CountingSound>(sounds));
        w.modalRunner = [this](QDialog &dialog) {
            auto *box = qobject_cast<QMessageBox *>(&dialog);
            if (!box) return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
            ShownBox shown;
            shown.title = box->windowTitle();
            shown.text = box->text();
            shown.icon = box->icon();
            shown.format = box->textFormat();
            for (QAbstractButton *b : box->buttons()) shown.buttons << b->text();
            shown.afterSteps = static_cast<int>(steps.size());
            shown.clockReadout = control<QLineEdit>(w, "EdittotTijd")->text();
            boxes.push_back(shown);
            return int(QDialog::Accepted);
        };
        QObject::connect(&w.session(), &DravexSession::stepEnded, [this](int number) {
            steps.push_back(number);
            if (onStep) onStep(number);
        });
    }

    // A click on "short circuit" that arrives while the current step's events are handled.
    void clickDuringRun() {
        QMetaObject::invokeMethod(control<QPushButton>(w, "Kortsluiting"), "click",
                                  Qt::QueuedConnection);
    }
};

// The window at a zoom, on a screen that holds every level.
inline void zoomTo(TDravon &w, int percent) {
    w.viewZoom()->availableArea = [] { return QSize(4000, 3000); };
    w.viewZoom()->zoomTo(percent);
}

// The remembered zoom, kept apart from the user's in Qt's test mode.
inline QSettings zoomSettings() {
    QStandardPaths::setTestModeEnabled(true);
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "Dravex", "Dravex");
}
