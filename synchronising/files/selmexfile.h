#pragma once

#include "filereadresult.h"
#include "selmexstart.h"
#include "switchboard.h"

#include <optional>
#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

// Selmex scenario files (.selmex): the start of an exercise as UTF-8 text, for instance
//
//     # Exercise 2: slow, reversed, phase order wrong
//     [generator]
//     voltage = 304          # V at the amplitude slider's middle: 228 to 836
//     frequency = 42         # Hz at the frequency slider's middle: 0 to 100
//     direction = reversed   # same | reversed
//     phase_order = wrong    # right | wrong
//     angle = 120            # 0, 120 or 240 degrees behind the network's red phasor
//     [setup]
//     max_angle = 20         # 0 to 100 in steps of 10
//
// A key of [generator] left out is drawn at random at the start; max_angle left out is 20.
// Numbers are whole and written with the digits 0 to 9 alone, the same in every locale.
//
// The switchboard's exercise stands in a section of its own, beside those two or alone:
//
//     [switchboard]
//     bus_frequency = 50     # Hz
//     frequency = 49.8       # Hz: the machine's start and its governor's reference
//     voltage = 370          # V, line to line: its start and its regulator's reference
//     angle = 0              # degrees, the generator's red phase ahead of the bus's
//     breaker_ms = 80        # from the close command to the contacts touching
//     governor_rate = 0.1    # Hz/s while speed raise or lower is held
//     avr_rate = 1           # % of 380 V a second while voltage raise or lower is held
//     speed_lag_s = 1.5      # how the machine follows its references
//     voltage_lag_s = 0.5
//     inertia_s = 3
//     droop_pct = 5
//     reverse_power_pct = 2  # the reverse-power relay: below minus this
//     reverse_power_s = 5    # for this long
//     lamps = dark           # dark | bright | rotating
//     phase_order = same     # same | reversed: two of the generator's cables swapped
//     mode = manual          # manual | permissive | automatic
//
// Its frequency, voltage, angle and phase_order are the switchboard's, not [generator]'s.
// A key left out takes SwitchboardSettings' default. Its numbers are read the same in
// every locale: an optional sign, digits with an optional full stop, an optional e or E
// exponent; breaker_ms is whole milliseconds.
//
// With `bus = island` (first in [switchboard]; left out, the bus is infinite) the machine
// is brought onto a bus that a running set holds up, described by two more sections:
//
//     [island]
//     running_rating_kw = 100           # set 1, the running set
//     running_droop_pct = 4             # % of 50 Hz from no load to its rating
//     running_setpoint_hz = 51.2        # its no-load frequency
//     running_voltage_droop_pct = 4     # % of 380 V from no load to its reactive rating
//     running_voltage_setpoint_v = 388  # its no-load voltage
//     incoming_rating_kw = 100          # set 2, the switchboard's machine
//     incoming_droop_pct = 4
//     incoming_voltage_droop_pct = 4
//     task = share_equally  # none | synchronise | share_equally | take_running_set_off |
//                           # ride_load_step
//     [load]
//     p_kw = 60
//     q_kvar = 45
//     step = 30, 120, 90    # from 30 s on 120 kW, 90 kvar; one line a step, in time order
//
// A step's time is taken to the nearest millisecond. [island] or [load] without
// bus = island is refused; bus_frequency is unused on an island.

struct SelmexFileContents {
    SelmexScenario value;
    QByteArray comments; // the comment block the file starts with (leadingComments)
    std::optional<SwitchboardSettings> switchboard; // when the file has [switchboard]
};
using SelmexFileResult = FileReadResult<SelmexFileContents>;

constexpr qsizetype MaxSelmexFileBytes = 64 * 1024;

// Reads all or nothing: an unknown section or key, a key given twice, a line of another
// form, a value written otherwise, a value out of range (checkScenario, checkSwitchboard),
// text that is not UTF-8 or more than 64 KiB refuse the whole file. `fileName` names it in
// the message; `firstLine` is the line of its file the text starts on (a lesson's
// scenario block).
SelmexFileResult parseSelmexScenario(const QByteArray &bytes, const QString &fileName,
                                     int firstLine = 1);
// The same for a file on disk, named by its file name; its size is checked before it is
// read.
SelmexFileResult readSelmexScenario(const QString &path);

// The start as a file with every key, so that it reads back to the same start, under
// `comments`: the text and questions of the exercise it was opened from. Its own first
// line, "# A Selmex exercise: ...", stands after them unless they hold it already, so a
// file saved again does not gather copies. With a switchboard, its section follows with
// every key, so that a file opened with one and saved keeps it; an island's, its [island]
// and [load] sections with every key too.
QByteArray selmexScenarioText(const SelmexStart &start, const QByteArray &comments = {},
                              const std::optional<SwitchboardSettings> &switchboard = {});
// Writes through a temporary file, so a failed write leaves no half file; a start that
// checkScenario refuses, a switchboard that checkSwitchboard refuses, or a text over 64 KiB
// (the program would not read any of them back) is not written. On failure `error` says
// why.
bool writeSelmexScenario(const QString &path, const SelmexStart &start, QString *error,
                         const QByteArray &comments = {},
                         const std::optional<SwitchboardSettings> &switchboard = {});
// Any of Selmex's files (a scenario, the switchings' CSV) written the same way: all of
// `bytes` or, on failure, no file and `error` naming the file and why.
bool writeSelmexFile(const QString &path, const QByteArray &bytes, QString *error);
