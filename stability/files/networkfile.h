#pragma once

#include "filereadresult.h"
#include "grid.h"

#include <QByteArray>
#include <QString>

// Network files (.dravex-network): a network of several machines and the fault studied on
// it, in the scenario files' key-file form, for instance
//
//     # The WSCC 3-machine 9-bus system (Anderson and Fouad, ...)
//     [network]
//     frequency = 60
//     base_mva = 100
//
//     [bus 1]
//     type = slack            # slack | pv | pq
//     voltage = 1.04          # pu: the set point, or a PQ bus's first guess
//     angle = 0               # slack: degrees
//     generation = 1.63       # pv: P in pu
//     load_p = 1.25           # pu
//     load_q = 0.5
//     position = 120, 40      # where the diagram draws it (optional)
//
//     [line 4-5]
//     r = 0.01
//     x = 0.085
//     b = 0.176               # total charging
//     tap = 1.0               # a transformer's ratio at the first bus (optional)
//     # a second circuit between the same buses: [line 4-5 2]
//
//     [machine 1]             # the machine at bus 1
//     H = 23.64               # s, system base
//     xd_prime = 0.0608       # pu, system base
//     damping = 0
//
//     [fault]
//     bus = 7                 # or: line = 5-7 with location = 0.5
//     clear_ms = 83
//     open_line = 5-7         # optional
//     reclose_ms = 500        # optional
//
// Bus, line and machine sections stand in any order and number; [network] and [fault]
// once each. Required: [network]'s frequency, each bus's type, each line's x, each
// machine's H and xd_prime; any other key left out is 0 (voltage 1, tap none: a line).
// A bus may also give a fixed shunt, shunt_g and shunt_b (pu at 1 pu voltage). The fault
// needs bus or line (location 0.5 when not given); reclose_ms needs open_line. A file
// without [fault] has no fault.
//
// Read all or nothing: any unknown section or key, a key or section given twice, a
// number written otherwise than in the scenario files (or not finite), a value out of
// range, a grid gridProblem refuses, text that is not UTF-8, more than 256 KiB or more
// than MaxNetworkBuses buses or MaxNetworkBranches lines refuse the whole file, with a
// message naming the file, the line and what is wrong.

struct NetworkFileContents {
    multimachine::Grid grid;
    QByteArray comments; // the comment block the file starts with
};
using NetworkFileResult = FileReadResult<NetworkFileContents>;

constexpr qsizetype MaxNetworkFileBytes = 256 * 1024;
// Enough for any teaching network and large study cases, few enough that the model's
// matrices stay within memory.
constexpr int MaxNetworkBuses = 2000;
constexpr int MaxNetworkBranches = 4000;
// The fault's clearing time and dead time, whole ms.
constexpr int MaxNetworkClearingMs = 2000;
constexpr int MaxNetworkRecloseMs = 5000;

NetworkFileResult parseNetwork(const QByteArray &bytes, const QString &fileName);
NetworkFileResult readNetworkFile(const QString &path);

// The grid as a file under `comments` (the block a file was read with), its own first
// line "# A Dravex network: ..." after them unless they hold it already; each number as
// the shortest text that reads back to the same double, keys at 0 left out.
QByteArray networkText(const multimachine::Grid &grid, const QByteArray &comments = {});
// Through a temporary file; a grid gridProblem refuses, or a text over 256 KiB, is not
// written. On failure `error` says why.
bool writeNetworkFile(const QString &path, const multimachine::Grid &grid, QString *error,
                      const QByteArray &comments = {});

// Whether a path names a network file (by its extension).
bool isNetworkFileName(const QString &path);
