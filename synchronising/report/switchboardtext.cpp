#include "switchboardtext.h"

#include "numberformat.h"
#include "switchinglog.h"

#include <algorithm>
#include <cmath>

namespace {

const QChar Degree(0x00B0);

QString signedFixed(double value, int decimals) {
    if (!std::isfinite(value)) return QLatin1String(NoReadingText);
    QString text = formatFixed(std::fabs(value), 15, decimals);
    // The sign of what is shown: a value that rounds to nothing has none.
    const bool zero = std::all_of(text.cbegin(), text.cend(),
                                  [](QChar c) { return !c.isDigit() || c == QChar('0'); });
    if (!zero) text.prepend(value > 0 ? QChar('+') : QChar('-'));
    return text;
}

} // namespace

QString voltsReading(double volts) {
    return std::isfinite(volts) ? formatFixed(volts, 15, 1) : QLatin1String(NoReadingText);
}

QString hertzReading(double hertz) {
    return std::isfinite(hertz) ? formatFixed(hertz, 15, 2) : QLatin1String(NoReadingText);
}

QString powerReading(double percent) {
    return signedFixed(percent, 1);
}

QString slipReading(double hertz) {
    return signedFixed(hertz, 3);
}

QString turnTimeText(double secondsPerTurn) {
    if (std::isnan(secondsPerTurn)) return {};
    if (!(std::fabs(secondsPerTurn) < 999.95)) return QStringLiteral("standing");
    return formatFixed(std::fabs(secondsPerTurn), 15, 1);
}

QString degreesText(double deg, int decimals) {
    return std::isfinite(deg) ? formatFixed(deg, 15, decimals) + Degree : QStringLiteral("---");
}

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
    case TripCause::Overload:
        return QStringLiteral("overload");
    case TripCause::UnderFrequency:
        return QStringLiteral("under-frequency");
    case TripCause::UnderVoltage:
        return QStringLiteral("under-voltage");
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
    case SwitchboardEventKind::LoadStep:
        return QStringLiteral("load_step");
    case SwitchboardEventKind::Blackout:
        return QStringLiteral("blackout");
    case SwitchboardEventKind::TaskMet:
        return QStringLiteral("task_met");
    case SwitchboardEventKind::TaskFailed:
        return QStringLiteral("task_failed");
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

QString lampMethodText(LampMethod method) {
    switch (method) {
    case LampMethod::Bright:
        return QStringLiteral("bright method");
    case LampMethod::Rotating:
        return QStringLiteral("rotating method");
    case LampMethod::Dark:
        break;
    }
    return QStringLiteral("dark method");
}

QString breakerStateText(BreakerState state) {
    switch (state) {
    case BreakerState::Closing:
        return QStringLiteral("closing");
    case BreakerState::Closed:
        return QStringLiteral("closed");
    case BreakerState::Open:
        break;
    }
    return QStringLiteral("open");
}

QString synchroniserStateText(SynchroniserState state) {
    switch (state) {
    case SynchroniserState::Off:
        return QStringLiteral("off (it works in automatic mode)");
    case SynchroniserState::Matching:
        return QStringLiteral("matching slip and voltage");
    case SynchroniserState::WaitingForAngle:
        return QStringLiteral("waiting for the advance angle");
    case SynchroniserState::Closing:
        return QStringLiteral("close command given");
    case SynchroniserState::Connected:
        return QStringLiteral("connected");
    case SynchroniserState::PhaseOrderWrong:
        return QStringLiteral("will not close: the phase order is reversed");
    }
    return {};
}

QString lampWord(double brightness) {
    if (!(brightness > 0)) return QStringLiteral("dark");
    if (brightness < 0.5) return QStringLiteral("dim");
    if (brightness < 0.85) return QStringLiteral("bright");
    return QStringLiteral("full");
}

QString synchroscopeText(double angleDeg, double slipHz, double secondsPerTurn) {
    const long rounded = std::isfinite(angleDeg) ? std::lround(angleDeg) : 0;
    QString words = rounded == 0 ? QStringLiteral("in phase")
                    : rounded > 0
                        ? QStringLiteral("generator ahead %1%2").arg(rounded).arg(Degree)
                        : QStringLiteral("generator behind %1%2").arg(-rounded).arg(Degree);
    const QString turn = turnTimeText(secondsPerTurn);
    if (slipHz > 0 && turn != QStringLiteral("standing"))
        words += QStringLiteral(", fast, %1 s a turn").arg(turn);
    else if (slipHz < 0 && turn != QStringLiteral("standing"))
        words += QStringLiteral(", slow, %1 s a turn").arg(turn);
    else
        words += QStringLiteral(", standing still");
    return words;
}

QString lampsText(LampMethod method, const std::array<double, 3> &brightness) {
    QStringList lamps;
    for (std::size_t i = 0; i < 3; ++i)
        lamps << QStringLiteral("lamp %1 %2").arg(i + 1).arg(lampWord(brightness[i]));
    return QStringLiteral("Synchronising lamps, ") + lampMethodText(method) + QStringLiteral(": ") +
           lamps.join(QStringLiteral(", "));
}

QString meterCaption(std::size_t meter) {
    static const char *const Captions[SwitchboardMeterCount] = {
        "Bus voltage", "Generator voltage", "Bus frequency", "Generator frequency",
        "Power to the bus"};
    return QString::fromLatin1(Captions[std::min(meter, SwitchboardMeterCount - 1)]);
}

QString meterUnit(std::size_t meter) {
    return meter < 2 ? QStringLiteral("V") : meter < 4 ? QStringLiteral("Hz") : QStringLiteral("%");
}

QString meterText(std::size_t meter, const QString &reading, const QString &setPoint) {
    QString name = QStringLiteral("%1: %2").arg(meterCaption(meter), reading);
    if (meter < 2)
        name += QStringLiteral(" V");
    else if (meter < 4)
        name += QStringLiteral(" Hz");
    else
        name += reading.startsWith(QChar('-'))   ? QStringLiteral(" % of the rating, motoring")
                : reading.startsWith(QChar('+')) ? QStringLiteral(" % of the rating, export")
                                                 : QStringLiteral(" % of the rating");
    if (meter == 1) name += QStringLiteral(", AVR set point %1 V").arg(setPoint);
    return name;
}

QString powerNote(const QString &reading) {
    return reading.startsWith(QChar('-'))   ? QStringLiteral("motoring: taking power")
           : reading.startsWith(QChar('+')) ? QStringLiteral("export to the bus")
                                            : QStringLiteral("of the rating");
}

QString differenceCaption(std::size_t which) {
    return which == 0 ? QStringLiteral("Slip f \u2212 f bus")
                      : QStringLiteral("\u0394U against the bus");
}

QString differenceUnit(std::size_t which) {
    return which == 0 ? QStringLiteral("Hz") : QStringLiteral("%");
}

QString differenceNote(std::size_t which) {
    return which == 0
               ? QStringLiteral("target %1 to %2 Hz")
                     .arg(slipReading(TargetMinSlipHz), slipReading(TargetMaxSlipHz))
               : QStringLiteral("target %1 to %2 %")
                     .arg(powerReading(TargetMinVoltagePct), powerReading(TargetMaxVoltagePct));
}

QString differenceText(std::size_t which, const QString &reading) {
    return which == 0
               ? QStringLiteral("Slip: %1 Hz, target %2 to %3 Hz")
                     .arg(reading, slipReading(TargetMinSlipHz), slipReading(TargetMaxSlipHz))
               : QStringLiteral("Voltage difference: %1 %, target %2 to %3 %")
                     .arg(reading, powerReading(TargetMinVoltagePct),
                          powerReading(TargetMaxVoltagePct));
}

QString breakerLine(const Switchboard &b) {
    const BreakerState state = b.breaker();
    QString breaker = QStringLiteral("Breaker ") + breakerStateText(state).toUpper();
    if (state == BreakerState::Open && b.lastTrip() != TripCause::None) {
        // Tripped, not opened: the newest of trip and open of this breaker (set 2's: the
        // island's set 1 has its own) says which.
        const auto &events = b.events();
        const auto last = std::find_if(events.rbegin(), events.rend(), [](const auto &e) {
            return e.set == 2 &&
                   (e.kind == SwitchboardEventKind::Trip || e.kind == SwitchboardEventKind::Open);
        });
        if (last != events.rend() && last->kind == SwitchboardEventKind::Trip)
            breaker += QChar('\n') + trippedText(last->trip, last->closingCurrentPu);
    }
    return breaker;
}

QString synchroniserLine(const Switchboard &b) {
    QString line = QStringLiteral("Synchroniser: ") + synchroniserStateText(b.synchroniser());
    if (b.mode() == SwitchboardMode::Automatic && b.breaker() == BreakerState::Open)
        line += QStringLiteral("; advance angle ") + degreesText(b.advanceAngleNowDeg());
    return line;
}

QString relayLine(const Switchboard &b) {
    QString relay;
    if (b.mode() == SwitchboardMode::Manual) {
        relay = QStringLiteral("Sync-check relay: bypassed in manual mode");
    } else if (b.breaker() != BreakerState::Open) {
        relay = QStringLiteral("Sync-check relay: not asked while the breaker is ") +
                breakerStateText(b.breaker());
    } else {
        const RelayRefusal now = b.relayCheck();
        relay = now.any()
                    ? QStringLiteral("Sync-check relay: blocks now (%1)").arg(refusalText(now))
                    : QStringLiteral("Sync-check relay: would let a close through");
    }
    if (!b.attempts().empty() && b.attempts().back().refused)
        relay += QStringLiteral(" \u2014 refused the last close: ") +
                 refusalText(b.attempts().back().refusal);
    return relay;
}

QStringList attemptTexts(const SwitchboardAttempt &a) {
    QStringList row{formatFixed(a.commandMs / 1000.0, 15, 3),
                    a.automatic ? QStringLiteral("synchroniser") : QStringLiteral("operator"),
                    degreesText(a.angleAtCommandDeg)};
    if (a.refused) return row << QStringLiteral("refused: ") + refusalText(a.refusal);
    if (a.cancelled) return row << QStringLiteral("opened before contact");
    if (!a.contactMs) return row << QStringLiteral("closing");
    row << degreesText(a.angleAtContactDeg) << formatFixed(a.slipHz, 15, 3)
        << powerReading(a.voltageDifferencePct) << formatFixed(a.closingCurrentPu, 15, 2)
        << (a.resultPowerPu ? powerReading(*a.resultPowerPu * 100) : QString())
        << (a.trip != TripCause::None ? tripText(a.trip)
            : a.score                 ? QStringLiteral("none")
                                      : QString())
        << (!a.score                ? QString()
            : a.scoreParts.zeroed() ? scoreBreakdown(a.scoreParts)
                                    : QString::number(*a.score));
    return row;
}

QString kiloReading(double value) {
    QString text = signedFixed(value, 1);
    if (text.startsWith(QChar('+'))) text.remove(0, 1);
    return text;
}

QString powerFactorReading(bool connected, double pKw, double qKvar) {
    const double s = std::hypot(pKw, qKvar);
    if (!connected || !std::isfinite(s)) return QLatin1String(NoReadingText);
    if (!(s > 0)) return formatFixed(1, 15, 2);
    QString factor = formatFixed(std::fabs(pKw) / s, 15, 2);
    // Unity as it is shown says neither.
    if (factor == formatFixed(1, 15, 2)) return factor;
    return factor + (qKvar > 0 ? QStringLiteral(" lag") : QStringLiteral(" lead"));
}

QString setMeterCaption(int set, std::size_t meter) {
    static const char *const Captions[SetMeterCount] = {"power", "reactive power", "current",
                                                        "power factor"};
    return QStringLiteral("Set %1 %2")
        .arg(set)
        .arg(QLatin1String(Captions[std::min(meter, SetMeterCount - 1)]));
}

QString setMeterUnit(std::size_t meter) {
    static const char *const Units[SetMeterCount] = {"kW", "kvar", "A", ""};
    return QString::fromLatin1(Units[std::min(meter, SetMeterCount - 1)]);
}

std::array<QString, SetMeterCount> setReadings(const SetReading &r) {
    return {kiloReading(r.pKw), kiloReading(r.qKvar), kiloReading(r.currentA),
            powerFactorReading(r.connected, r.pKw, r.qKvar)};
}

std::array<QString, SetMeterCount> setMeterNotes(const SetReading &r) {
    return {QStringLiteral("set point %1 Hz").arg(hertzReading(r.setpointHz)),
            QStringLiteral("set point %1 V").arg(voltsReading(r.voltageSetpointV)),
            r.connected ? QStringLiteral("on the bus") : QStringLiteral("off the bus"), QString()};
}

QString setMeterText(int set, std::size_t meter, const QString &reading, const QString &note) {
    QString text = setMeterCaption(set, meter) + QStringLiteral(": ") + reading;
    if (meter == SetMeterCount - 1)
        text.replace(QStringLiteral(" lag"), QStringLiteral(" lagging"))
            .replace(QStringLiteral(" lead"), QStringLiteral(" leading"));
    else
        text += QChar(' ') + setMeterUnit(meter);
    if (meter == 0 && reading.startsWith(QChar('-'))) text += QStringLiteral(", motoring");
    if (!note.isEmpty()) text += QStringLiteral(", ") + note;
    return text;
}

QString loadSplitText(double load, double set1, double set2, const QString &unit) {
    return QStringLiteral("Load %1 %2: set 1 %3, set 2 %4")
        .arg(kiloReading(load), unit, kiloReading(set1), kiloReading(set2));
}

QString droopText(const Switchboard &b, bool voltage) {
    QString text = voltage ? QStringLiteral("Droop lines, voltage against reactive power: ")
                           : QStringLiteral("Droop lines, frequency against power: ");
    const QString unit = voltage ? QStringLiteral("kvar") : QStringLiteral("kW");
    if (b.blackout())
        text += QStringLiteral("the bus is dead");
    else
        text += QStringLiteral("bus at %1")
                    .arg(voltage ? voltsReading(b.busVoltageV()) + QStringLiteral(" V")
                                 : hertzReading(b.busFrequencyHz()) + QStringLiteral(" Hz"));
    for (int set = 1; set <= 2; ++set) {
        const SetReading r = b.set(set);
        const QString setPoint = voltage ? voltsReading(r.voltageSetpointV) + QStringLiteral(" V")
                                         : hertzReading(r.setpointHz) + QStringLiteral(" Hz");
        text += r.connected
                    ? QStringLiteral("; set %1 gives %2 %3 (set point %4)")
                          .arg(set)
                          .arg(kiloReading(voltage ? r.qKvar : r.pKw), unit, setPoint)
                    : QStringLiteral("; set %1 off the bus (set point %2)").arg(set).arg(setPoint);
    }
    return text + QStringLiteral("; load %1 %2")
                      .arg(kiloReading(voltage ? b.loadQKvar() : b.loadPKw()), unit);
}

QString islandTaskText(IslandTask task) {
    switch (task) {
    case IslandTask::None:
        break;
    case IslandTask::Synchronise:
        return QStringLiteral("synchronise");
    case IslandTask::ShareEqually:
        return QStringLiteral("share the load equally");
    case IslandTask::TakeRunningSetOff:
        return QStringLiteral("take the running set off");
    case IslandTask::RideLoadStep:
        return QStringLiteral("ride the load step");
    }
    return {};
}

QString taskLine(IslandTask task, TaskState state, std::optional<std::int64_t> doneMs) {
    if (task == IslandTask::None) return QStringLiteral("Task: none, free practice");
    const QString when =
        doneMs ? QStringLiteral(" at %1 s").arg(formatFixed(*doneMs / 1000.0, 15, 1)) : QString();
    const QString how = state == TaskState::Met      ? QStringLiteral("met") + when
                        : state == TaskState::Failed ? QStringLiteral("failed") + when
                                                     : QStringLiteral("open");
    return QStringLiteral(u"Task: %1 \u2014 %2").arg(islandTaskText(task), how);
}

TripCause setTrip(const std::vector<SwitchboardEvent> &events, int set) {
    const auto last = std::find_if(events.rbegin(), events.rend(), [set](const auto &e) {
        return e.set == set &&
               (e.kind == SwitchboardEventKind::Trip || e.kind == SwitchboardEventKind::Open);
    });
    return last != events.rend() && last->kind == SwitchboardEventKind::Trip ? last->trip
                                                                             : TripCause::None;
}

QString runningBreakerLine(BreakerState state, TripCause trip) {
    QString line = QStringLiteral("Set 1 breaker ") + breakerStateText(state).toUpper();
    if (state == BreakerState::Open && trip != TripCause::None)
        line += QChar('\n') + trippedText(trip, std::nan(""));
    return line;
}

QString blackoutText(TripCause cause) {
    return QStringLiteral("BLACKOUT: the bus is dead (%1)")
        .arg(cause == TripCause::None ? QStringLiteral("the last breaker opened")
                                      : tripText(cause));
}
