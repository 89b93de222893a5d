#pragma once

#include "numberformat.h"
#include "schakelen.h"
#include "selmexstart.h"
#include "synchropanel.h"

#include <cstddef>
#include <cstdint>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// Every press of "Switch" of a session, for the panel's list and for a report.

struct LoggedSwitching {
    std::int32_t tick = 0; // ticks of 0.05 s since the start, at the press
    PanelReading at;
    SchakelOordeel oordeel;
};

// What a real generator's automatic synchronizer or sync-check relay allows at the
// breaker's close: the limits within which a generator stays fit for service without
// inspection (IEEE Std C50.12-2005 and C50.13-2014, synchronizing).
constexpr double RealMaxAngleDeg = 10;      // either side of the network's phase
constexpr double RealMinVoltagePercent = 0; // the generator never below the network
constexpr double RealMaxVoltagePercent = 5; // nor more than 5 % above it
constexpr double RealMaxSlipHz = 0.067;     // either way

struct RealCheck {
    bool within = false;
    // A wrong phase order or rotation direction, which a real check never closes on,
    // then "slip 5 Hz: a real check allows 0.067 Hz" for each limit broken, in the order
    // of the panel's read-outs (phase difference, voltage difference, slip), with the
    // locale's decimal separator.
    QStringList refusals;
    PanelReading judged; // for the text with another separator

    // The refusals joined by "; ", or that the reading is within the limits.
    QString text(QChar decimalSeparator = systemDecimalSeparator()) const;
};

RealCheck judgeRealLimits(const PanelReading &r);

// Oldest first. A stuck key presses "Switch" many times a second, so the log keeps
// the newest MaxEntries and drops older ones rather than grow without end.
class SwitchingLog {
public:
    static constexpr std::size_t MaxEntries = 10000;

    void add(LoggedSwitching switching);
    const std::vector<LoggedSwitching> &entries() const { return m_entries; }
    bool empty() const { return m_entries.empty(); }
    void clear() { m_entries.clear(); }

private:
    std::vector<LoggedSwitching> m_entries;
};

// The log as CSV, UTF-8: a comment line with the start, a header and one row a
// switching, oldest first; the slip in whole hertz, the angle, the voltage difference
// and the closing current to 0.01, in their shortest form with a full stop whatever the
// locale, text fields quoted where they hold a comma, quote or line break.
QByteArray switchingsCsv(const SelmexStart &start, const SwitchingLog &log);
