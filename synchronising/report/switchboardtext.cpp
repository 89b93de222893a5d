#include "switchboardtext.h"

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
    }
    return {};
}

QStringList refusalWords(const RelayRefusal &refusal) {
    // The relay's limits, IEEE C50.12's.
    QStringList words;
    if (refusal.angle) words << QStringLiteral(u"angle beyond 10\u00B0");
    if (refusal.slip) words << QStringLiteral("slip beyond 0.067 Hz");
    if (refusal.voltage) words << QStringLiteral("voltage not 0 to +5 % above the bus");
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
    if (score.zeroBecause != TripCause::None)
        return QStringLiteral("0: ") + tripText(score.zeroBecause);
    return QStringLiteral("angle %1, slip %2, voltage %3, time %4")
        .arg(score.angle)
        .arg(score.slip)
        .arg(score.voltage)
        .arg(score.time);
}
