#include "lessonoutline.h"

#include <cmath>
#include <QCryptographicHash>

int LessonOutline::questionCount() const {
    int n = 0;
    for (const OutlineStep &s : steps)
        if (s.question) ++n;
    return n;
}

QString lessonFingerprint(const QByteArray &bytes) {
    return QString::fromLatin1(
        QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16));
}

bool outlinePredictionRight(const OutlineQuestion &q, double prediction) {
    if (q.isChoice()) return prediction == q.answer;
    return std::isfinite(prediction) &&
           std::fabs(prediction - q.answer) <= q.tolerance * (1 + 1e-9);
}
