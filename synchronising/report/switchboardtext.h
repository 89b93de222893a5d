#pragma once

#include "switchboard.h"

#include <array>
#include <cstdint>
#include <optional>
#include <QString>
#include <QStringList>
#include <vector>

// The short texts of the switchboard, as its window, its log and its CSV show them.

// The meters' numbers as they are painted and heard, with the user's decimal separator:
// volts to 0.1 V, hertz to 0.01 Hz, and the power in percent of the rating to 0.1 % with
// its sign ("+12.3", "-0.4", "0.0" when it rounds to nothing). A value that is no number
// reads NoReadingText, "---".
constexpr char NoReadingText[] = "---";
QString voltsReading(double volts);
QString hertzReading(double hertz);
QString powerReading(double percent);
// The slip in hertz to 0.001 Hz with its sign, as powerReading: "+0.062", "-0.100".
QString slipReading(double hertz);
// The seconds a turn of the needle takes as the synchroscope writes them ("10.0"), or
// "standing" when it turns slower than once in 999.95 s or not at all; empty when no
// number.
QString turnTimeText(double secondsPerTurn);
// An angle with its degree sign to `decimals` ("12.5°"), "---" when no number.
QString degreesText(double deg, int decimals = 1);

// What tripped the breaker: "phase order reversed", "reverse power", "pole slip",
// "out-of-phase close"; empty for none.
QString tripText(TripCause cause);
// The breaker's line after a trip: "tripped: reverse power"; an out-of-phase close with its
// closing current, "tripped: out-of-phase close, 10.0 × rated".
QString trippedText(TripCause cause, double closingCurrentPu);
// Why a close scored 0, "; " between: the trip's cause and a contact beyond 30 degrees ("the
// shaft took a torque beyond a three-phase fault's"); empty for neither.
QString zeroReasonText(TripCause trip, bool beyondFaultTorque);
// Which of the sync-check relay's conditions failed, in the order angle, slip, voltage:
// "angle beyond 10°", "slip beyond 0.067 Hz", "voltage not 0 to +5 % above the bus".
QStringList refusalWords(const RelayRefusal &refusal);
// Those joined by "; ".
QString refusalText(const RelayRefusal &refusal);
// A log entry's kind as the CSV names it: close_command, refused, contact, trip, open,
// result.
QString eventWord(SwitchboardEventKind kind);
// A close's score and where it came from: "angle 30, slip 30, voltage 20, time 10", or
// for a close scored 0, why ("0: reverse power").
QString scoreBreakdown(const SwitchboardScore &score);

// The lamps' connection: "dark method", "bright method", "rotating method".
QString lampMethodText(LampMethod method);
// The breaker's state: "open", "closing", "closed".
QString breakerStateText(BreakerState state);
// What the automatic synchroniser is doing: "matching slip and voltage", ...
QString synchroniserStateText(SynchroniserState state);
// How bright a lamp looks, in a word: "dark", "dim", "bright", "full".
QString lampWord(double brightness);
// What the synchroscope shows, in words: "generator ahead 12°, fast, 10.0 s a turn".
QString synchroscopeText(double angleDeg, double slipHz, double secondsPerTurn);
// The lamps as a screen reader says them: "Synchronising lamps, dark method: lamp 1 dark,
// lamp 2 dim, lamp 3 full".
QString lampsText(LampMethod method, const std::array<double, 3> &brightness);

// The switchboard's meters, in the order the window lays them out; their captions
// ("Bus voltage", ...) and what a screen reader says of one showing `reading` ("Power to the
// bus: +1.5 % of the rating, export"; the generator's voltmeter with the AVR's
// `setPoint`).
constexpr std::size_t SwitchboardMeterCount = 5;
QString meterCaption(std::size_t meter);
QString meterUnit(std::size_t meter);
QString meterText(std::size_t meter, const QString &reading, const QString &setPoint);
// The wattmeter's note under its digits for `reading`: motoring, export or neither.
QString powerNote(const QString &reading);
// The slip (0) and the voltage difference (1) on their scales: the caption, the unit, the
// target band as the note under the digits, and what a screen reader says of `reading`.
QString differenceCaption(std::size_t which);
QString differenceUnit(std::size_t which);
QString differenceNote(std::size_t which);
QString differenceText(std::size_t which, const QString &reading);

// The lines under the instruments: the breaker's state, with the trip that opened it
// ("Breaker OPEN\ntripped: pole slip"); what the synchroniser does, with its advance angle
// in automatic mode while the breaker is open; the sync-check relay's answer.
QString breakerLine(const Switchboard &board);
QString synchroniserLine(const Switchboard &board);
QString relayLine(const Switchboard &board);
// A close attempt's row in the log's table: the command's time, by whom, the angle at
// command, then either why it went no further or the numbers at contact and after.
QStringList attemptTexts(const SwitchboardAttempt &attempt);

// The island.
// A power to 0.1 with a minus when it is below zero ("30.0", "-2.0", "0.0" when it rounds
// to nothing): kW, kvar, A.
QString kiloReading(double value);
// The power factor |P| / sqrt(P^2 + Q^2) to 0.01, "lag" when the set gives reactive
// power to the bus (overexcited), "lead" when it takes it: "0.80 lag"; "1.00" with no
// reactive power or no load; "---" off the bus.
QString powerFactorReading(bool connected, double pKw, double qKvar);
// A set's meters in the order the window lays them out: power, reactive power, current,
// power factor; their captions ("Set 1 power"), units, readings and what a screen reader
// says of one with its note ("Set 1 power factor: 0.80 lagging", "Set 2 power: -2.0 kW,
// motoring, set point 49.80 Hz").
constexpr std::size_t SetMeterCount = 4;
QString setMeterCaption(int set, std::size_t meter);
QString setMeterUnit(std::size_t meter);
std::array<QString, SetMeterCount> setReadings(const SetReading &reading);
// The notes under them: the governor's and the regulator's no-load set points, whether the
// set is on the bus ("set point 51.20 Hz", "set point 388.0 V", "on the bus", "").
std::array<QString, SetMeterCount> setMeterNotes(const SetReading &reading);
QString setMeterText(int set, std::size_t meter, const QString &reading, const QString &note);
// How the load splits between the sets in a unit: "Load 60.0 kW: set 1 30.0, set 2 30.0".
QString loadSplitText(double load, double set1, double set2, const QString &unit);
// What a screen reader says of a droop picture (frequency against power, or voltage
// against reactive power): the bus, each set's share and set point, the load.
QString droopText(const Switchboard &board, bool voltage);
// The exercise's task in words, as the log names it: "share the load equally"; empty for
// none.
QString islandTaskText(IslandTask task);
// The task and how it stands: "Task: share the load equally — met at 42.3 s".
QString taskLine(IslandTask task, TaskState state, std::optional<std::int64_t> doneMs);
// The cause of the newest trip of set `set` when an open or a trip was its last, None for
// an open or neither.
TripCause setTrip(const std::vector<SwitchboardEvent> &events, int set);
// Set 1's breaker: "Set 1 breaker CLOSED", "Set 1 breaker OPEN\ntripped: overload".
QString runningBreakerLine(BreakerState state, TripCause trip);
// The dead bus after the last set left it: "BLACKOUT: the bus is dead (under-voltage)";
// "BLACKOUT: the bus is dead (the last breaker opened)" when the operator opened it.
QString blackoutText(TripCause cause);
