#include "swingcurves.h"

SwingCurves::SwingCurves(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("SwingCurves"));
    setWindowTitle(QStringLiteral("Swing curves"));
}

SwingCurves::~SwingCurves() = default;

void SwingCurves::follow(const RunHistory &, bool) {}

QString swingLegend(const RunRecord &, bool) {
    return {};
}
