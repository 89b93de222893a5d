#include "reportfiles.h"

ReportFiles::ReportFiles() = default;

void ReportFiles::exportRun(QWidget *, const RunRecord *, const ModalRunner &) {}

void ReportFiles::savePicture(QWidget *, const QImage &, const ModalRunner &) {}

QByteArray runCsv(const RunRecord &) {
    return {};
}
