#include "switchboardkeys.h"

#include "numberformat.h"

const std::array<SwitchboardKey, 17> SwitchboardKeys{{
    {"bus", SwitchboardKeyKind::Bus, nullptr},
    {"bus_frequency", SwitchboardKeyKind::Number, &SwitchboardSettings::busFrequency},
    {"frequency", SwitchboardKeyKind::Number, &SwitchboardSettings::frequency},
    {"voltage", SwitchboardKeyKind::Number, &SwitchboardSettings::voltage},
    {"angle", SwitchboardKeyKind::Number, &SwitchboardSettings::angle},
    {"breaker_ms", SwitchboardKeyKind::Milliseconds, nullptr},
    {"governor_rate", SwitchboardKeyKind::Number, &SwitchboardSettings::governorRate},
    {"avr_rate", SwitchboardKeyKind::Number, &SwitchboardSettings::avrRate},
    {"speed_lag_s", SwitchboardKeyKind::Number, &SwitchboardSettings::speedLagS},
    {"voltage_lag_s", SwitchboardKeyKind::Number, &SwitchboardSettings::voltageLagS},
    {"inertia_s", SwitchboardKeyKind::Number, &SwitchboardSettings::inertiaS},
    {"droop_pct", SwitchboardKeyKind::Number, &SwitchboardSettings::droopPct},
    {"reverse_power_pct", SwitchboardKeyKind::Number, &SwitchboardSettings::reversePowerPct},
    {"reverse_power_s", SwitchboardKeyKind::Number, &SwitchboardSettings::reversePowerS},
    {"lamps", SwitchboardKeyKind::Lamps, nullptr},
    {"phase_order", SwitchboardKeyKind::PhaseOrder, nullptr},
    {"mode", SwitchboardKeyKind::Mode, nullptr},
}};

const std::array<IslandKey, 8> IslandKeys{{
    {"running_rating_kw", &IslandSettings::runningRatingKw},
    {"running_droop_pct", &IslandSettings::runningDroopPct},
    {"running_setpoint_hz", &IslandSettings::runningSetpointHz},
    {"running_voltage_droop_pct", &IslandSettings::runningVoltageDroopPct},
    {"running_voltage_setpoint_v", &IslandSettings::runningVoltageSetpointV},
    {"incoming_rating_kw", &IslandSettings::incomingRatingKw},
    {"incoming_droop_pct", &IslandSettings::incomingDroopPct},
    {"incoming_voltage_droop_pct", &IslandSettings::incomingVoltageDroopPct},
}};

const ChoiceWords &choiceWordsOf(SwitchboardKeyKind kind) {
    return kind == SwitchboardKeyKind::Lamps        ? LampWords
           : kind == SwitchboardKeyKind::PhaseOrder ? PhaseOrderWords
           : kind == SwitchboardKeyKind::Bus        ? BusWords
                                                    : ModeWords;
}

KeyValues switchboardKeyValues(const SwitchboardSettings &settings) {
    KeyValues out;
    for (const SwitchboardKey &k : SwitchboardKeys) {
        QByteArray value;
        switch (k.kind) {
        case SwitchboardKeyKind::Bus:
            if (settings.bus == BusKind::Infinite) continue;
            value = BusWords[1];
            break;
        case SwitchboardKeyKind::Number:
            value = csvNumber(settings.*k.number);
            break;
        case SwitchboardKeyKind::Milliseconds:
            value = QByteArray::number(settings.breakerMs);
            break;
        case SwitchboardKeyKind::Lamps:
            value = LampWords[static_cast<std::size_t>(settings.lamps)];
            break;
        case SwitchboardKeyKind::PhaseOrder:
            value = PhaseOrderWords[settings.phaseOrderReversed ? 1 : 0];
            break;
        case SwitchboardKeyKind::Mode:
            value = ModeWords[static_cast<std::size_t>(settings.mode)];
            break;
        }
        out.emplace_back(k.name, value);
    }
    return out;
}

KeyValues islandKeyValues(const SwitchboardSettings &settings) {
    KeyValues out;
    if (settings.bus != BusKind::Island) return out;
    for (const IslandKey &k : IslandKeys)
        out.emplace_back(k.name, csvNumber(settings.island.*k.number));
    out.emplace_back(TaskKey, TaskWords[static_cast<std::size_t>(settings.island.task)]);
    return out;
}

KeyValues loadKeyValues(const SwitchboardSettings &settings) {
    KeyValues out;
    if (settings.bus != BusKind::Island) return out;
    const IslandLoad &load = settings.load;
    out.emplace_back(LoadPKey, csvNumber(load.pKw));
    out.emplace_back(LoadQKey, csvNumber(load.qKvar));
    // Whole milliseconds as seconds: the shortest text reads back to the same millisecond.
    for (const LoadStep &s : load.steps)
        out.emplace_back(LoadStepKey, csvNumber(static_cast<double>(s.timeMs) / 1000) + ", " +
                                          csvNumber(s.pKw) + ", " + csvNumber(s.qKvar));
    return out;
}

KeyValues allSwitchboardKeyValues(const SwitchboardSettings &settings) {
    KeyValues out = switchboardKeyValues(settings);
    for (KeyValues more : {islandKeyValues(settings), loadKeyValues(settings)})
        out.insert(out.end(), more.begin(), more.end());
    return out;
}

QByteArray secondsText(std::int64_t ms) {
    QByteArray out = ms < 0 ? "-" : "";
    const std::uint64_t magnitude =
        ms < 0 ? 0 - static_cast<std::uint64_t>(ms) : static_cast<std::uint64_t>(ms);
    out += QByteArray::number(magnitude / 1000);
    out += '.';
    out += QByteArray::number(magnitude % 1000).rightJustified(3, '0');
    return out;
}
