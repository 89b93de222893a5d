// Fuzz target for parseScenario: arbitrary bytes as a scenario file. Then:
// - a refused file hands out nothing (the defaults) and a message that starts with the
//   file's name and holds no control character (it may reach a terminal);
// - an accepted case passes checkCase, and written out and read again it is written the
//   same way: every written number reads back to the same double.
// Any disagreement prints the input and aborts, which libFuzzer reports as a crash.
#include "scenariofile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what, const QByteArray &input, const QString &detail) {
    std::fprintf(stderr, "parseScenario: %s\n--- input\n%s\n--- detail\n%s\n", what,
                 input.toPercentEncoding(" =[]#\n.-_").constData(), qPrintable(detail));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString name = QStringLiteral("fuzz.dravex");
    const ScenarioFileResult r = parseScenario(input, name);
    if (!r.ok) {
        if (!r.error.startsWith(name + QStringLiteral(", line ")) &&
            !r.error.startsWith(name + QStringLiteral(": ")))
            fail("the message does not name the file", input, r.error);
        if (r.value != StabilityCase{}) fail("a refused file handed out values", input, r.error);
        for (const QChar ch : r.error)
            if (ch.category() == QChar::Other_Control)
                fail("the message holds a control character", input, r.error);
        return 0;
    }
    if (const auto problem = checkCase(r.value))
        fail("an accepted case fails checkCase", input, QString::fromStdString(problem->message));
    const QByteArray written = scenarioText(r.value);
    const ScenarioFileResult again = parseScenario(written, name);
    if (!again.ok) fail("the written case is refused", input, again.error);
    if (scenarioText(again.value) != written)
        fail("the written case does not read back the same", input, QString::fromUtf8(written));
    return 0;
}
