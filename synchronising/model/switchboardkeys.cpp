#include "switchboardkeys.h"

#include "numberformat.h"

const std::array<SwitchboardKey, 16> SwitchboardKeys{{
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

const ChoiceWords &choiceWordsOf(SwitchboardKeyKind kind) {
    return kind == SwitchboardKeyKind::Lamps        ? LampWords
           : kind == SwitchboardKeyKind::PhaseOrder ? PhaseOrderWords
                                                    : ModeWords;
}

std::vector<std::pair<const char *, QByteArray>>
switchboardKeyValues(const SwitchboardSettings &settings) {
    std::vector<std::pair<const char *, QByteArray>> out;
    for (const SwitchboardKey &k : SwitchboardKeys) {
        QByteArray value;
        switch (k.kind) {
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

QByteArray secondsText(std::int64_t ms) {
    QByteArray out = ms < 0 ? "-" : "";
    const std::uint64_t magnitude =
        ms < 0 ? 0 - static_cast<std::uint64_t>(ms) : static_cast<std::uint64_t>(ms);
    out += QByteArray::number(magnitude / 1000);
    out += '.';
    out += QByteArray::number(magnitude % 1000).rightJustified(3, '0');
    return out;
}
