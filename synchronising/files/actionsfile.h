#pragma once

#include "filereadresult.h"
#include "switchboard.h"

#include <cstdint>
#include <optional>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

// What an operator did at the switchboard, as CSV (UTF-8), for instance
//
//     time_s,control,state
//     2.350,speed_raise,press
//     7.000,speed_raise,release
//     31.412,breaker,close
//
// one row an action in time order: the time in seconds from the exercise's start; the
// control speed_raise, speed_lower, voltage_raise, voltage_lower (press | release), breaker
// (close | open) or mode (manual | permissive | automatic); on an island also the running
// set's running_speed_raise, running_speed_lower, running_voltage_raise,
// running_voltage_lower (press | release) and running_breaker (open). Replayed, the same
// actions give the same run to the last digit.

struct SwitchboardActionsContents {
    std::vector<SwitchboardAction> actions;
};
using SwitchboardActionsResult = FileReadResult<SwitchboardActionsContents>;

// Room for Switchboard::MaxActions rows written by hand: a row as written is at most 39
// characters ("86400.000,running_voltage_lower,release"), so 64 leave room for blanks,
// CRLF and more decimals.
constexpr qsizetype MaxActionsFileBytes =
    64 * (static_cast<qsizetype>(Switchboard::MaxActions) + 1);
// The latest time a row may give.
constexpr std::int64_t MaxActionMs = 24 * 3600 * 1000;

// The actions as the file above: each time with exactly three decimals (they fall on
// whole milliseconds), "\n" line ends.
QByteArray switchboardActionsCsv(const std::vector<SwitchboardAction> &actions);

// Reads all or nothing: a first line other than time_s,control,state, a row without
// exactly three fields, an unknown control, a state that does not belong to its control,
// a time that is not a plain decimal (digits and at most one full stop), negative, beyond
// 24 hours or earlier than the row before, more than Switchboard::MaxActions rows, text
// that is not UTF-8 or over MaxActionsFileBytes refuse the whole file. A byte-order mark,
// CRLF line ends, blanks around a field and blank lines are accepted. A time with more than
// three decimals takes effect from the first millisecond at or after it, worked out from its
// digits exactly. `fileName` names the file in the message.
SwitchboardActionsResult parseSwitchboardActions(const QByteArray &bytes, const QString &fileName);
// The same for a file on disk, named by its file name; its size is checked before it is
// read.
SwitchboardActionsResult readSwitchboardActions(const QString &path);

// Seconds written as a plain decimal (digits with at most one full stop, a digit on at least
// one side; no sign or exponent) as the first whole millisecond at or after them, exactly;
// nothing for any other text. Beyond 10^12 s it reads 10^12 s, which every limit refuses.
std::optional<std::int64_t> plainSecondsToMs(QByteArrayView text);
