#include "verdicttext.h"

namespace {

const QString GoodWords = QStringLiteral("Goed gedaan");

// The value to 3 significant digits, or to as many more as it takes for the text to lie
// outside [low, high] as the value does.
QString beyond(double value, double low, double high, QChar decimalSeparator) {
    int digits = 3;
    for (; digits < 17; ++digits) {
        bool ok = false;
        const double shown = formatGeneralDigits(value, digits, QChar('.')).toDouble(&ok);
        if (!ok || shown < low || shown > high) break;
    }
    return formatGeneralDigits(value, digits, decimalSeparator);
}

} // namespace

QStringList fouten(const SchakelOordeel &oordeel) {
    QStringList failed;
    if (!oordeel.hoekGoed) failed << QStringLiteral("hoek te groot");
    if (!oordeel.draairichtingGoed) failed << QStringLiteral("draairichting fout");
    if (!oordeel.spanningGoed) failed << QStringLiteral("spanning niet goed");
    if (!oordeel.faseVolgordeGoed) failed << QStringLiteral("fasevolgorde niet goed");
    return failed;
}

QString verdictMessage(const SchakelOordeel &oordeel) {
    if (oordeel.goed()) return GoodWords;
    // Each line ends in a carriage return, except the phase order's, which is the last.
    const QStringList failed = fouten(oordeel);
    QString text = QStringLiteral("BOEM!!!\r\r") + failed.join(QChar('\r'));
    if (oordeel.faseVolgordeGoed) text += QChar('\r');
    return text;
}

QString verdictWords(const SchakelOordeel &oordeel, const QString &separator) {
    return oordeel.goed() ? GoodWords : fouten(oordeel).join(separator);
}

QStringList realCheckRefusals(const RealCheck &check, QChar decimalSeparator) {
    const PanelReading &r = check.judged;
    const auto number = [decimalSeparator](double v) {
        return formatGeneralDigits(v, 3, decimalSeparator);
    };
    QStringList refusals;
    if (check.phaseOrderWrong)
        refusals << QStringLiteral("phase order wrong: a real check never closes");
    if (check.directionWrong)
        refusals << QStringLiteral("rotation direction wrong: a real check never closes");
    if (check.angleBeyond)
        refusals << QStringLiteral("phase difference %1%2: a real check allows %3%2")
                        .arg(beyond(r.phaseDifferenceDeg, -RealMaxAngleDeg, RealMaxAngleDeg,
                                    decimalSeparator),
                             QString(QChar(0x00B0)), number(RealMaxAngleDeg));
    if (check.voltageBeyond)
        refusals << QStringLiteral("voltage difference %1 %: a real check allows %2 to +%3 %")
                        .arg(beyond(r.voltageDifferencePercent, RealMinVoltagePercent,
                                    RealMaxVoltagePercent, decimalSeparator),
                             number(RealMinVoltagePercent), number(RealMaxVoltagePercent));
    if (check.slipBeyond)
        refusals << QStringLiteral("slip %1 Hz: a real check allows %2 Hz")
                        .arg(beyond(r.slipHz, -RealMaxSlipHz, RealMaxSlipHz, decimalSeparator),
                             number(RealMaxSlipHz));
    return refusals;
}

QString realCheckText(const RealCheck &check, QChar decimalSeparator) {
    if (check.within) return QStringLiteral("within a real synchronising check's limits");
    return realCheckRefusals(check, decimalSeparator).join(QStringLiteral("; "));
}
