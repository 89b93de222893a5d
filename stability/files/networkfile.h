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
// Read all or nothing; a refusal names the file, the line and what is wrong.

struct NetworkFileContents {
    multimachine::Grid grid;
    QByteArray comments; // the comment block the file starts with
};
using NetworkFileResult = FileReadResult<NetworkFileContents>;

constexpr qsizetype MaxNetworkFileBytes = 256 * 1024;

NetworkFileResult parseNetwork(const QByteArray &bytes, const QString &fileName);
NetworkFileResult readNetworkFile(const QString &path);

// The grid as a file under `comments`, each number as the shortest text that reads back
// to the same double.
QByteArray networkText(const multimachine::Grid &grid, const QByteArray &comments = {});
// Through a temporary file; a grid gridProblem refuses is not written.
bool writeNetworkFile(const QString &path, const multimachine::Grid &grid, QString *error,
                      const QByteArray &comments = {});

// Whether a path names a network file (by its extension).
bool isNetworkFileName(const QString &path);
