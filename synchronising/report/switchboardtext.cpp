#include "switchboardtext.h"

#include "switchinglog.h"

#include <cmath>

QString tripText(TripCause cause) {
    switch (cause) {
    case TripCause::None:
        break;
    case TripCause::PhaseOrderReversed:
        return QStringLiteral("phase order reversed");
    case TripCause::ReversePower:
        return QStringLiteral("reverse power");
    case TripCause::PoleSlip:
        return QStringLiteral("pole slip");
    case TripCause::OutOfPhase:
        return QStringLiteral("out-of-phase close");
    }
    return {};
}

QString trippedText(TripCause cause, double closingCurrentPu) {
    QString text = QStringLiteral("tripped: ") + tripText(cause);
    if (cause == TripCause::OutOfPhase && std::isfinite(closingCurrentPu))
        text += QStringLiteral(u", %1 \u00D7 rated").arg(closingCurrentPu, 0, 'f', 1);
    return text;
}

QString zeroReasonText(TripCause trip, bool beyondFaultTorque) {
    QStringList reasons;
    if (trip != TripCause::None) reasons << tripText(trip);
    if (beyondFaultTorque)
        reasons << QStringLiteral("the shaft took a torque beyond a three-phase fault's");
    return reasons.join(QStringLiteral("; "));
}

QStringList refusalWords(const RelayRefusal &refusal) {
    // The relay's limits, IEEE C50.12's, as the model holds them.
    QStringList words;
    if (refusal.angle) words << QStringLiteral(u"angle beyond %1\u00B0").arg(RealMaxAngleDeg);
    if (refusal.slip) words << QStringLiteral("slip beyond %1 Hz").arg(RealMaxSlipHz);
    if (refusal.voltage)
        words << QStringLiteral("voltage not %1 to +%2 % above the bus")
                     .arg(RealMinVoltagePercent)
                     .arg(RealMaxVoltagePercent);
    return words;
}

QString refusalText(const RelayRefusal &refusal) {
    return refusalWords(refusal).join(QStringLiteral("; "));
}

QString eventWord(SwitchboardEventKind kind) {
    switch (kind) {
    case SwitchboardEventKind::CloseCommand:
        return QStringLiteral("close_command");
    case SwitchboardEventKind::Refused:
        return QStringLiteral("refused");
    case SwitchboardEventKind::Contact:
        return QStringLiteral("contact");
    case SwitchboardEventKind::Trip:
        return QStringLiteral("trip");
    case SwitchboardEventKind::Open:
        return QStringLiteral("open");
    case SwitchboardEventKind::Result:
        break;
    }
    return QStringLiteral("result");
}

QString scoreBreakdown(const SwitchboardScore &score) {
    if (score.zeroed())
        return QStringLiteral("0: ") + zeroReasonText(score.zeroBecause, score.beyondFaultTorque);
    return QStringLiteral("angle %1, slip %2, voltage %3, time %4")
        .arg(score.angle)
        .arg(score.slip)
        .arg(score.voltage)
        .arg(score.time);
}
