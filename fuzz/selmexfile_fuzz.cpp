// Fuzz target for parseSelmexScenario: arbitrary bytes as a Selmex scenario file. Then:
// - a refused file hands out nothing (every key unset, max_angle 20) and a message that
//   starts with the file's name and holds no control character (it may reach a terminal);
// - an accepted scenario passes checkScenario, and its start (what it leaves out drawn
//   from a fixed seed), written and read again, gives the same start with every key set
//   and is written the same way;
// - an accepted [switchboard] passes checkSwitchboard, and written with the start and read
//   again gives the same settings and is written the same way.
// Any disagreement prints the input and aborts, which libFuzzer reports as a crash.
#include "selmexfile.h"
#include "switchboardkeys.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what, const QByteArray &input, const QString &detail) {
    std::fprintf(stderr, "parseSelmexScenario: %s\n--- input\n%s\n--- detail\n%s\n", what,
                 input.toPercentEncoding(" =[]#\n._").constData(), qPrintable(detail));
    std::abort();
}

bool isEmpty(const SelmexScenario &s) {
    return !s.voltage && !s.frequency && !s.reversed && !s.wrongOrder && !s.angle &&
           s.maxAngle == SelmexScenario{}.maxAngle;
}

SelmexStart startOf(const SelmexScenario &s) {
    RandomSource random(seededClock(1));
    return drawStart(random, s);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString name = QStringLiteral("fuzz.selmex");
    const SelmexFileResult r = parseSelmexScenario(input, name);
    if (!r.ok) {
        if (!r.error.startsWith(name + QStringLiteral(", line ")) &&
            !r.error.startsWith(name + QStringLiteral(": ")))
            fail("the message does not name the file", input, r.error);
        if (!isEmpty(r.value) || r.switchboard)
            fail("a refused file handed out values", input, r.error);
        for (const QChar ch : r.error)
            if (ch.category() == QChar::Other_Control)
                fail("the message holds a control character", input, r.error);
        return 0;
    }
    if (const auto problem = checkScenario(r.value))
        fail("an accepted scenario fails checkScenario", input, QString::fromStdString(*problem));
    const SelmexStart start = startOf(r.value);
    const QByteArray written = selmexScenarioText(start);
    const SelmexFileResult again = parseSelmexScenario(written, name);
    if (!again.ok) fail("the written start is refused", input, again.error);
    const SelmexScenario &s = again.value;
    if (!s.voltage || !s.frequency || !s.reversed || !s.wrongOrder || !s.angle)
        fail("the written start leaves a key out", input, QString::fromUtf8(written));
    if (startOf(s) != start || selmexScenarioText(startOf(s)) != written)
        fail("the written start does not read back the same", input, QString::fromUtf8(written));
    if (!r.switchboard) return 0;
    if (const auto problem = checkSwitchboard(*r.switchboard))
        fail("an accepted switchboard fails checkSwitchboard", input,
             QString::fromStdString(*problem));
    if (const auto problem = checkIsland(r.switchboard->island, r.switchboard->load))
        fail("an accepted island fails checkIsland", input, QString::fromStdString(*problem));
    const QByteArray withBoard = selmexScenarioText(start, {}, r.switchboard);
    const SelmexFileResult back = parseSelmexScenario(withBoard, name);
    if (!back.ok || !back.switchboard)
        fail("the written switchboard is refused", input, back.error);
    // The shortest exact texts differ exactly when the numbers do (but for -0 and 0).
    if (allSwitchboardKeyValues(*back.switchboard) != allSwitchboardKeyValues(*r.switchboard) ||
        selmexScenarioText(start, {}, back.switchboard) != withBoard)
        fail("the written switchboard does not read back the same", input,
             QString::fromUtf8(withBoard));
    return 0;
}
