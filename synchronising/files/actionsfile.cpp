#include "actionsfile.h"

#include "keyfile.h"
#include "switchboardkeys.h"

#include <algorithm>
#include <array>
#include <QStringList>

namespace {

struct Word {
    const char *text;
    int value;
};

constexpr std::array<Word, 11> ControlWords{{
    {"speed_raise", int(SwitchboardControl::SpeedRaise)},
    {"speed_lower", int(SwitchboardControl::SpeedLower)},
    {"voltage_raise", int(SwitchboardControl::VoltageRaise)},
    {"voltage_lower", int(SwitchboardControl::VoltageLower)},
    {"breaker", int(SwitchboardControl::Breaker)},
    {"mode", int(SwitchboardControl::Mode)},
    {"running_speed_raise", int(SwitchboardControl::RunningSpeedRaise)},
    {"running_speed_lower", int(SwitchboardControl::RunningSpeedLower)},
    {"running_voltage_raise", int(SwitchboardControl::RunningVoltageRaise)},
    {"running_voltage_lower", int(SwitchboardControl::RunningVoltageLower)},
    {"running_breaker", int(SwitchboardControl::RunningBreaker)},
}};
constexpr std::array<Word, 7> StateWords{{
    {"press", int(ControlState::Press)},
    {"release", int(ControlState::Release)},
    {"close", int(ControlState::Close)},
    {"open", int(ControlState::Open)},
    {"manual", int(ControlState::Manual)},
    {"permissive", int(ControlState::Permissive)},
    {"automatic", int(ControlState::Automatic)},
}};

template <std::size_t N> const char *wordOf(const std::array<Word, N> &words, int value) {
    for (const Word &w : words)
        if (w.value == value) return w.text;
    return "?";
}

template <std::size_t N>
std::optional<int> valueOf(const std::array<Word, N> &words, QByteArrayView text) {
    for (const Word &w : words)
        if (text == w.text) return w.value;
    return std::nullopt;
}

// "a, b or c"
QString wordList(QStringList words) {
    QString last = words.takeLast();
    if (words.isEmpty()) return last; // the running set's breaker only opens
    return words.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

QString controlList() {
    QStringList words;
    for (const Word &w : ControlWords) words << QLatin1String(w.text);
    return wordList(words);
}

QString statesOf(SwitchboardControl control) {
    QStringList words;
    for (const Word &w : StateWords)
        if (fitsControl(control, static_cast<ControlState>(w.value)))
            words << QLatin1String(w.text);
    return wordList(words);
}

std::vector<QByteArrayView> fields(QByteArrayView line) {
    std::vector<QByteArrayView> out;
    for (;;) {
        const qsizetype comma = line.indexOf(',');
        out.push_back(trimmedBlanks(comma < 0 ? line : line.first(comma)));
        if (comma < 0) return out;
        line = line.sliced(comma + 1);
    }
}

constexpr const char *Header = "time_s,control,state";

// Seconds as a plain decimal, exactly: the whole milliseconds, and the digits beyond them
// without trailing zeros (empty when the time is on a millisecond).
struct ExactTime {
    std::int64_t wholeMs = 0;
    QByteArray beyond;
    bool operator<(const ExactTime &o) const {
        // The digits stand at the same places, so a plain comparison orders them.
        return wholeMs != o.wholeMs ? wholeMs < o.wholeMs : beyond < o.beyond;
    }
};

std::optional<ExactTime> exactTime(QByteArrayView text) {
    const qsizetype point = text.indexOf('.');
    const QByteArrayView whole = point < 0 ? text : text.first(point);
    const QByteArrayView fraction = point < 0 ? QByteArrayView() : text.sliced(point + 1);
    if (whole.isEmpty() && fraction.isEmpty()) return std::nullopt;
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (!std::all_of(whole.begin(), whole.end(), digit) ||
        !std::all_of(fraction.begin(), fraction.end(), digit))
        return std::nullopt;
    constexpr std::int64_t MostSeconds = 1'000'000'000'000;
    std::int64_t seconds = 0;
    for (const char c : whole) seconds = std::min(seconds * 10 + (c - '0'), MostSeconds);
    std::int64_t ms = 0;
    for (qsizetype i = 0; i < 3; ++i) ms = ms * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    ExactTime t{seconds * 1000 + ms, {}};
    if (fraction.size() > 3) {
        QByteArrayView beyond = fraction.sliced(3);
        while (beyond.endsWith('0')) beyond.chop(1);
        t.beyond = beyond.toByteArray();
    }
    return t;
}

class Reader {
public:
    explicit Reader(const QString &fileName) : m_file(shownText(fileName, 1000)) {}
    SwitchboardActionsResult read(QByteArrayView bytes);

private:
    bool fail(int line, const QString &what);
    bool row(int number, QByteArrayView text);
    bool time(int number, QByteArrayView text, std::int64_t &ms);

    QString m_file;
    QString m_error;
    std::vector<SwitchboardAction> m_actions;
    ExactTime m_previous;
    QByteArray m_previousText;
    int m_previousLine = 0;
};

bool Reader::fail(int line, const QString &what) {
    // One arg() for all, so that a "%2" in the file's name stays as it is.
    m_error = line > 0 ? QStringLiteral("%1, line %2: %3").arg(m_file, QString::number(line), what)
                       : QStringLiteral("%1: %2").arg(m_file, what);
    return false;
}

SwitchboardActionsResult Reader::read(QByteArrayView bytes) {
    const auto refused = [this] { return SwitchboardActionsResult::refused(m_error); };
    if (bytes.size() > MaxActionsFileBytes) {
        fail(0, QStringLiteral("the file is over %1 bytes, too large for the %2 actions a "
                               "switchboard keeps.")
                    .arg(MaxActionsFileBytes)
                    .arg(Switchboard::MaxActions));
        return refused();
    }
    bool header = false;
    const bool read = forEachTextLine(bytes, [&](int number, QByteArrayView text) {
        if (!isUtf8Text(text)) return fail(number, QStringLiteral("the text is not UTF-8."));
        if (trimmedBlanks(text).isEmpty()) return true;
        if (header) return row(number, text);
        const std::vector<QByteArrayView> f = fields(text);
        if (f.size() != 3 || f[0] != "time_s" || f[1] != "control" || f[2] != "state")
            return fail(number, QStringLiteral("%1 is not the first line of an actions file: "
                                               "write %2.")
                                    .arg(quotedText(text), QLatin1String(Header)));
        header = true;
        return true;
    });
    if (!read) return refused();
    if (!header) {
        fail(0, QStringLiteral("the file is empty: its first line must be %1.")
                    .arg(QLatin1String(Header)));
        return refused();
    }
    return SwitchboardActionsResult::read({std::move(m_actions)});
}

bool Reader::row(int number, QByteArrayView text) {
    const std::vector<QByteArrayView> f = fields(text);
    if (f.size() != 3)
        return fail(number, QStringLiteral("%1 has %2 fields: a row is the time in seconds, the "
                                           "control and its state, such as 2.350,breaker,close.")
                                .arg(quotedText(text))
                                .arg(f.size()));
    if (m_actions.size() >= Switchboard::MaxActions)
        return fail(number, QStringLiteral("more than %1 actions, more than a switchboard keeps.")
                                .arg(Switchboard::MaxActions));
    SwitchboardAction a;
    if (!time(number, f[0], a.timeMs)) return false;
    const std::optional<int> control = valueOf(ControlWords, f[1]);
    if (!control)
        return fail(
            number,
            QStringLiteral("%1 is not a control: write %2.").arg(quotedText(f[1]), controlList()));
    a.control = static_cast<SwitchboardControl>(*control);
    const std::optional<int> state = valueOf(StateWords, f[2]);
    if (!state || !fitsControl(a.control, static_cast<ControlState>(*state)))
        return fail(number, QStringLiteral("%1 takes %2, not %3.")
                                .arg(QLatin1String(wordOf(ControlWords, *control)),
                                     statesOf(a.control), quotedText(f[2])));
    a.state = static_cast<ControlState>(*state);
    m_actions.push_back(a);
    m_previousLine = number;
    return true;
}

bool Reader::time(int number, QByteArrayView text, std::int64_t &ms) {
    const bool minus = text.startsWith('-');
    const std::optional<std::int64_t> v = plainSecondsToMs(minus ? text.sliced(1) : text);
    const std::optional<ExactTime> exact = exactTime(minus ? text.sliced(1) : text);
    if (!v)
        return fail(number, QStringLiteral("the time %1 is not a time in seconds: write digits "
                                           "and at most one full stop, such as 2.350.")
                                .arg(quotedText(text)));
    if (minus && *v > 0)
        return fail(number, QStringLiteral("the time %1 is negative: times count from 0 at the "
                                           "exercise's start.")
                                .arg(quotedText(text)));
    if (*v > MaxActionMs)
        return fail(
            number,
            QStringLiteral("the time %1 is beyond 24 hours (86400 s).").arg(quotedText(text)));
    // Earlier by its digits, even where both take effect on the same millisecond: the
    // replay keeps the file's order, which must then be the order in time.
    if (!m_actions.empty() && *exact < m_previous)
        return fail(number, QStringLiteral("the time %1 is earlier than the row before (%2 on "
                                           "line %3): the rows go in time order.")
                                .arg(quotedText(text), quotedText(m_previousText))
                                .arg(m_previousLine));
    m_previous = *exact;
    m_previousText = text.toByteArray();
    ms = *v;
    return true;
}

} // namespace

std::optional<std::int64_t> plainSecondsToMs(QByteArrayView text) {
    const std::optional<ExactTime> t = exactTime(text);
    if (!t) return std::nullopt;
    // Any digit beyond the millisecond puts the time after that millisecond's start.
    return t->wholeMs + (t->beyond.isEmpty() ? 0 : 1);
}

QByteArray switchboardActionsCsv(const std::vector<SwitchboardAction> &actions) {
    QByteArray out = Header;
    out += '\n';
    for (const SwitchboardAction &a : actions) {
        out += secondsText(a.timeMs);
        out += ',';
        out += wordOf(ControlWords, int(a.control));
        out += ',';
        out += wordOf(StateWords, int(a.state));
        out += '\n';
    }
    return out;
}

SwitchboardActionsResult parseSwitchboardActions(const QByteArray &bytes, const QString &fileName) {
    return Reader(fileName).read(bytes);
}

SwitchboardActionsResult readSwitchboardActions(const QString &path) {
    const SmallFile file = readSmallFile(path, MaxActionsFileBytes);
    if (!file.ok) return SwitchboardActionsResult::refused(file.error);
    return parseSwitchboardActions(file.bytes, file.name);
}
