#pragma once

// What the network file and MATPOWER case fuzz targets check of a reader's result:
// - a refused file hands out nothing (an empty grid) and a message that starts with the
//   file's name and holds no control character (it may reach a terminal);
// - an accepted grid passes gridProblem, and the network file written of it (under the
//   comments read with it) is read back and written again the same: every written number
//   reads back to the same double.
// Any disagreement prints the input and aborts, which libFuzzer reports as a crash.
#include "networkfile.h"

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void failNetworkCheck(const char *reader, const char *what,
                                          const QByteArray &input, const QString &detail) {
    std::fprintf(stderr, "%s: %s\n--- input\n%s\n--- detail\n%s\n", reader, what,
                 input.toPercentEncoding(" =[];%'#\n.-_,").constData(), qPrintable(detail));
    std::abort();
}

inline void checkNetworkResult(const char *reader, const QByteArray &input, const QString &name,
                               const NetworkFileResult &r) {
    const auto fail = [&](const char *what, const QString &detail) {
        failNetworkCheck(reader, what, input, detail);
    };
    if (!r.ok) {
        if (!r.error.startsWith(name + QStringLiteral(", line ")) &&
            !r.error.startsWith(name + QStringLiteral(": ")))
            fail("the message does not name the file", r.error);
        if (!r.grid.buses.empty() || !r.grid.branches.empty() || !r.grid.machines.empty())
            fail("a refused file handed out a grid", r.error);
        for (const QChar ch : r.error)
            if (ch.category() == QChar::Other_Control)
                fail("the message holds a control character", r.error);
        return;
    }
    const std::string problem = multimachine::gridProblem(r.grid);
    if (!problem.empty())
        fail("an accepted grid fails gridProblem", QString::fromStdString(problem));
    const QByteArray written = networkText(r.grid, r.comments);
    const NetworkFileResult again = parseNetwork(written, QStringLiteral("again.dravex-network"));
    if (!again.ok) fail("the written grid is refused", again.error);
    if (networkText(again.grid, again.comments) != written)
        fail("the written grid does not read back the same", QString::fromUtf8(written));
}
