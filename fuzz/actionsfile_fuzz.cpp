// Fuzz target for parseSwitchboardActions: arbitrary bytes as a switchboard's actions file.
// Then:
// - a refused file hands out no action and a message that starts with the file's name and
//   holds no control character (it may reach a terminal);
// - accepted actions are at most Switchboard::MaxActions, in time order from 0 to 24 hours,
//   each state belonging to its control, and written and read again give the same actions,
//   written the same way.
// Any disagreement prints the input and aborts, which libFuzzer reports as a crash.
#include "actionsfile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what, const QByteArray &input, const QString &detail) {
    std::fprintf(stderr, "parseSwitchboardActions: %s\n--- input\n%s\n--- detail\n%s\n", what,
                 input.toPercentEncoding(" ,._\n").constData(), qPrintable(detail));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString name = QStringLiteral("fuzz.csv");
    const SwitchboardActionsResult r = parseSwitchboardActions(input, name);
    if (!r.ok) {
        if (!r.error.startsWith(name + QStringLiteral(", line ")) &&
            !r.error.startsWith(name + QStringLiteral(": ")))
            fail("the message does not name the file", input, r.error);
        if (!r.actions.empty()) fail("a refused file handed out actions", input, r.error);
        for (const QChar ch : r.error)
            if (ch.category() == QChar::Other_Control)
                fail("the message holds a control character", input, r.error);
        return 0;
    }
    if (r.actions.size() > Switchboard::MaxActions) fail("too many actions", input, {});
    std::int64_t before = 0;
    for (const SwitchboardAction &a : r.actions) {
        if (a.timeMs < before || a.timeMs > MaxActionMs)
            fail("a time out of order or range", input, QString::number(a.timeMs));
        if (!fitsControl(a.control, a.state)) fail("a state of another control", input, {});
        before = a.timeMs;
    }
    const QByteArray written = switchboardActionsCsv(r.actions);
    const SwitchboardActionsResult again = parseSwitchboardActions(written, name);
    if (!again.ok) fail("the written actions are refused", input, again.error);
    if (switchboardActionsCsv(again.actions) != written || again.actions.size() != r.actions.size())
        fail("the written actions do not read back the same", input, QString::fromUtf8(written));
    return 0;
}
