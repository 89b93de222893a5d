#include "selmexfile.h"

#include "filenumber.h"
#include "keyfile.h"
#include "numberformat.h"
#include "savefile.h"
#include "switchboardkeys.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QStringList>

namespace {

enum class Section { Generator, Setup, Switchboard };
// The sections' indexes in the key file's layout.
constexpr int BoardSection = 2, IslandSection = 3, LoadSection = 4;
// The latest time a load step may take.
constexpr double MaxStepS = 24 * 3600;
enum class Key { Voltage, Frequency, Direction, PhaseOrder, Angle, MaxAngle };

struct KeyInfo {
    Section section;
    Key key;
    const char *name;
};

// In the order of Key, which indexes it.
const KeyInfo Keys[] = {
    {Section::Generator, Key::Voltage, "voltage"},
    {Section::Generator, Key::Frequency, "frequency"},
    {Section::Generator, Key::Direction, "direction"},
    {Section::Generator, Key::PhaseOrder, "phase_order"},
    {Section::Generator, Key::Angle, "angle"},
    {Section::Setup, Key::MaxAngle, "max_angle"},
};

// "dark, bright or rotating"
template <std::size_t N> QString wordList(const std::array<const char *, N> &words) {
    QStringList list;
    for (const char *w : words)
        if (w) list << QLatin1String(w);
    const QString last = list.takeLast();
    return list.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

// The digits 0 to 9 alone: no sign, full stop, comma, exponent or name such as nan. A
// value beyond 32 bits stays at the largest 32-bit number, which every range refuses.
std::optional<std::int32_t> wholeNumber(QByteArrayView t) {
    if (t.isEmpty()) return std::nullopt;
    std::int64_t v = 0;
    for (const char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        v = std::min<std::int64_t>(v * 10 + (c - '0'), std::numeric_limits<std::int32_t>::max());
    }
    return static_cast<std::int32_t>(v);
}

QString tooLarge() {
    return QStringLiteral("the file is over 64 KiB, too large for a Selmex scenario file.");
}

class Parser {
public:
    explicit Parser(const QString &fileName) : m_file(fileName, layout()) {}

    void setFirstLine(int line) { m_file.setFirstLine(line); }
    SelmexFileResult parse(QByteArrayView bytes);

private:
    static std::vector<KeyFile::Section> layout() {
        std::vector<KeyFile::Section> sections{{"generator", {}},
                                               {"setup", {}},
                                               {"switchboard", {}},
                                               {"island", {}},
                                               {"load", {LoadPKey, LoadQKey, LoadStepKey}}};
        for (const KeyInfo &k : Keys)
            sections[k.section == Section::Generator ? 0 : 1].keys.push_back(k.name);
        for (const SwitchboardKey &k : SwitchboardKeys)
            sections[BoardSection].keys.push_back(k.name);
        for (const IslandKey &k : IslandKeys) sections[IslandSection].keys.push_back(k.name);
        sections[IslandSection].keys.push_back(TaskKey);
        sections[LoadSection].listKeys = {LoadStepKey};
        return sections;
    }
    bool fail(int line, const QString &what) { return m_file.fail(line, what); }
    bool value(int number, Key key, QByteArrayView text);
    bool wholeValue(int number, Key key, QByteArrayView text);
    bool boardValue(int number, const SwitchboardKey &key, QByteArrayView text);
    bool islandValue(int number, int key, QByteArrayView text);
    bool loadValue(int number, int key, QByteArrayView text);
    bool loadStep(int number, QByteArrayView text);
    bool islandRange(int number, const IslandSettings &island, const IslandLoad &load,
                     QByteArrayView text);
    bool islandParts();

    KeyFile m_file;
    SelmexScenario m_value;
    SwitchboardSettings m_board;
    int m_stepLine = 0; // of the latest load step
};

SelmexFileResult Parser::parse(QByteArrayView bytes) {
    if (bytes.size() > MaxSelmexFileBytes) {
        fail(0, tooLarge());
        return SelmexFileResult::refused(m_file.error());
    }
    // Keys lists the generator's keys before the setup's, in the order of Key: the setup's
    // first key is MaxAngle.
    const bool read = m_file.read(bytes, [this](int line, int section, int key, QByteArrayView v) {
        if (section == BoardSection) return boardValue(line, SwitchboardKeys[std::size_t(key)], v);
        if (section == IslandSection) return islandValue(line, key, v);
        if (section == LoadSection) return loadValue(line, key, v);
        return value(line, static_cast<Key>(section == 0 ? key : int(Key::MaxAngle) + key), v);
    });
    if (!read) return SelmexFileResult::refused(m_file.error());
    // Each value was checked on its line; these hold should the checks ever relate them.
    if (const auto problem = checkScenario(m_value)) {
        fail(0, QString::fromStdString(*problem) + QChar('.'));
        return SelmexFileResult::refused(m_file.error());
    }
    const int boardLine = m_file.sectionLine(BoardSection);
    if (boardLine)
        if (const auto problem = checkSwitchboard(m_board)) {
            fail(boardLine, QString::fromStdString(*problem) + QChar('.'));
            return SelmexFileResult::refused(m_file.error());
        }
    if (!islandParts()) return SelmexFileResult::refused(m_file.error());
    return SelmexFileResult::read(
        {m_value, leadingComments(bytes), boardLine ? std::optional(m_board) : std::nullopt});
}

bool Parser::value(int number, Key key, QByteArrayView text) {
    // Two words each: the first means false.
    const auto choice = [&](const char *name, const char *no, const char *yes,
                            std::optional<bool> &to) {
        if (text == no || text == yes) {
            to = text == yes;
            return true;
        }
        return fail(number, QStringLiteral("%1 = %2: write %3 or %4.")
                                .arg(QLatin1String(name), quotedText(text), QLatin1String(no),
                                     QLatin1String(yes)));
    };
    switch (key) {
    case Key::Direction:
        return choice("direction", "same", "reversed", m_value.reversed);
    case Key::PhaseOrder:
        return choice("phase_order", "right", "wrong", m_value.wrongOrder);
    default:
        return wholeValue(number, key, text);
    }
}

bool Parser::wholeValue(int number, Key key, QByteArrayView text) {
    const QLatin1String name(Keys[static_cast<int>(key)].name);
    const std::optional<std::int32_t> v = wholeNumber(text);
    if (!v)
        return fail(number, QStringLiteral("%1 = %2 is not a whole number: write it with the "
                                           "digits 0 to 9 alone, such as 120.")
                                .arg(name, quotedText(text)));
    // The range of this value alone, by the one check the program makes.
    SelmexScenario alone;
    switch (key) {
    case Key::Voltage:
        m_value.voltage = alone.voltage = *v;
        break;
    case Key::Frequency:
        m_value.frequency = alone.frequency = *v;
        break;
    case Key::Angle:
        m_value.angle = alone.angle = *v;
        break;
    default:
        m_value.maxAngle = alone.maxAngle = *v;
        break;
    }
    if (const auto problem = checkScenario(alone))
        return fail(number, QStringLiteral("%1, not %2.")
                                .arg(QString::fromStdString(*problem),
                                     shownText(QString::fromLatin1(text))));
    return true;
}

bool Parser::boardValue(int number, const SwitchboardKey &key, QByteArrayView text) {
    const QLatin1String name(key.name);
    SwitchboardSettings alone;
    switch (key.kind) {
    case SwitchboardKeyKind::Number: {
        QString problem;
        const std::optional<double> v = keyFileNumber(key.name, text, "49.8", problem);
        if (!v) return fail(number, problem);
        m_board.*key.number = alone.*key.number = *v;
        break;
    }
    case SwitchboardKeyKind::Milliseconds:
        if (!isWholeFileNumberText(text))
            return fail(number, QStringLiteral("%1 = %2 is not a whole number of milliseconds.")
                                    .arg(name, quotedText(text)));
        m_board.breakerMs = alone.breakerMs = wholeFileNumber(text);
        break;
    default: {
        const ChoiceWords &words = choiceWordsOf(key.kind);
        const auto found =
            std::find_if(words.begin(), words.end(), [&](const char *w) { return w && text == w; });
        if (found == words.end())
            return fail(
                number,
                QStringLiteral("%1 = %2: write %3.").arg(name, quotedText(text), wordList(words)));
        const int index = static_cast<int>(found - words.begin());
        if (key.kind == SwitchboardKeyKind::Lamps)
            m_board.lamps = static_cast<LampMethod>(index);
        else if (key.kind == SwitchboardKeyKind::Bus)
            m_board.bus = static_cast<BusKind>(index);
        else if (key.kind == SwitchboardKeyKind::PhaseOrder)
            m_board.phaseOrderReversed = index == 1;
        else
            m_board.mode = static_cast<SwitchboardMode>(index);
        return true;
    }
    }
    // The range of this value alone, by the one check the program makes.
    if (const auto problem = checkSwitchboard(alone))
        return fail(number, QStringLiteral("%1, not %2.")
                                .arg(QString::fromStdString(*problem),
                                     shownText(QString::fromLatin1(text))));
    return true;
}

bool Parser::islandValue(int number, int key, QByteArrayView text) {
    if (key == int(IslandKeys.size())) {
        const auto found = std::find_if(TaskWords.begin(), TaskWords.end(),
                                        [&](const char *w) { return text == w; });
        if (found == TaskWords.end())
            return fail(number,
                        QStringLiteral("%1 = %2: write %3.")
                            .arg(QLatin1String(TaskKey), quotedText(text), wordList(TaskWords)));
        m_board.island.task = static_cast<IslandTask>(found - TaskWords.begin());
        return true;
    }
    const IslandKey &k = IslandKeys[std::size_t(key)];
    QString problem;
    const std::optional<double> v = keyFileNumber(k.name, text, "4", problem);
    if (!v) return fail(number, problem);
    IslandSettings alone;
    m_board.island.*k.number = alone.*k.number = *v;
    return islandRange(number, alone, IslandLoad{}, text);
}

bool Parser::loadValue(int number, int key, QByteArrayView text) {
    if (key == 2) return loadStep(number, text);
    QString problem;
    const char *name = key == 0 ? LoadPKey : LoadQKey;
    const std::optional<double> v = keyFileNumber(name, text, "60", problem);
    if (!v) return fail(number, problem);
    IslandLoad alone;
    (key == 0 ? m_board.load.pKw : m_board.load.qKvar) = (key == 0 ? alone.pKw : alone.qKvar) = *v;
    return islandRange(number, IslandSettings{}, alone, text);
}

// "step = TIME_S, P_KW, Q_KVAR": the load from that time on.
bool Parser::loadStep(int number, QByteArrayView text) {
    QByteArrayView parts[3];
    QByteArrayView rest = text;
    for (int i = 0; i < 3; ++i) {
        const qsizetype comma = rest.indexOf(',');
        parts[i] = trimmedBlanks(comma < 0 ? rest : rest.first(comma));
        if ((comma < 0) != (i == 2) || parts[i].isEmpty())
            return fail(number, QStringLiteral("step = %1: write the time in seconds, the load's "
                                               "kW and its kvar from then on, such as "
                                               "step = 30, 120, 90.")
                                    .arg(quotedText(text)));
        rest = comma < 0 ? QByteArrayView() : rest.sliced(comma + 1);
    }
    double v[3];
    for (int i = 0; i < 3; ++i) {
        QString problem;
        const std::optional<double> n = keyFileNumber(LoadStepKey, parts[i], "30", problem);
        if (!n) return fail(number, problem);
        v[i] = *n;
    }
    if (!(v[0] >= 0 && v[0] <= MaxStepS))
        return fail(number, QStringLiteral("a step's time must lie from 0 to 86400 s (24 hours), "
                                           "not %1.")
                                .arg(shownText(QString::fromLatin1(parts[0]))));
    std::vector<LoadStep> &steps = m_board.load.steps;
    if (steps.size() >= MaxLoadSteps)
        return fail(number, QStringLiteral("more than %1 load steps.").arg(MaxLoadSteps));
    // The load changes at the nearest whole millisecond, the switchboard's step.
    const LoadStep step{static_cast<std::int64_t>(std::llround(v[0] * 1000)), v[1], v[2]};
    if (!steps.empty() && step.timeMs <= steps.back().timeMs)
        return fail(number, QStringLiteral("the step at %1 s does not come after the step before "
                                           "(line %2): steps go in time order.")
                                .arg(shownText(QString::fromLatin1(parts[0])))
                                .arg(m_stepLine));
    IslandLoad alone;
    alone.steps = {step};
    if (!islandRange(number, IslandSettings{}, alone, text)) return false;
    steps.push_back(step);
    m_stepLine = number;
    return true;
}

// The range of a value alone, by the one check the program makes.
bool Parser::islandRange(int number, const IslandSettings &island, const IslandLoad &load,
                         QByteArrayView text) {
    if (const auto problem = checkIsland(island, load))
        return fail(number,
                    QStringLiteral("%1, not %2.")
                        .arg(QString::fromStdString(*problem), shownText(QString::fromUtf8(text))));
    return true;
}

// [island] and [load] belong to an island's switchboard.
bool Parser::islandParts() {
    const int island = m_file.sectionLine(IslandSection), load = m_file.sectionLine(LoadSection);
    if ((island || load) && m_board.bus != BusKind::Island) {
        const bool islandFirst = island && (!load || island < load);
        return fail(islandFirst ? island : load,
                    QStringLiteral("[%1] needs bus = island in [switchboard].")
                        .arg(islandFirst ? QStringLiteral("island") : QStringLiteral("load")));
    }
    return true;
}

SelmexScenario fullScenario(const SelmexStart &s) {
    SelmexScenario c;
    c.voltage = s.voltage;
    c.frequency = s.frequency;
    c.reversed = s.reversed;
    c.wrongOrder = s.wrongOrder;
    c.angle = s.angle;
    c.maxAngle = s.maxAngle;
    return c;
}

} // namespace

SelmexFileResult parseSelmexScenario(const QByteArray &bytes, const QString &fileName,
                                     int firstLine) {
    Parser parser(fileName);
    parser.setFirstLine(firstLine);
    return parser.parse(bytes);
}

SelmexFileResult readSelmexScenario(const QString &path) {
    const SmallFile file = readSmallFile(path, MaxSelmexFileBytes);
    if (!file.ok) return SelmexFileResult::refused(file.error);
    return parseSelmexScenario(file.bytes, file.name);
}

QByteArray selmexScenarioText(const SelmexStart &s, const QByteArray &comments,
                              const std::optional<SwitchboardSettings> &switchboard) {
    QByteArray out =
        commentsAndHeader(comments, "# A Selmex exercise: the generator's start and the setup\n");
    out += "[generator]\n";
    appendKeyLine(out, "voltage", QByteArray::number(s.voltage));
    appendKeyLine(out, "frequency", QByteArray::number(s.frequency));
    appendKeyLine(out, "direction", s.reversed ? "reversed" : "same");
    appendKeyLine(out, "phase_order", s.wrongOrder ? "wrong" : "right");
    appendKeyLine(out, "angle", QByteArray::number(s.angle));
    out += "\n[setup]\n";
    appendKeyLine(out, "max_angle", QByteArray::number(s.maxAngle));
    if (switchboard) {
        out += "\n[switchboard]\n";
        for (const auto &[name, value] : switchboardKeyValues(*switchboard))
            appendKeyLine(out, name, value);
        if (switchboard->bus == BusKind::Island) {
            out += "\n[island]\n";
            for (const auto &[name, value] : islandKeyValues(*switchboard))
                appendKeyLine(out, name, value);
            out += "\n[load]\n";
            for (const auto &[name, value] : loadKeyValues(*switchboard))
                appendKeyLine(out, name, value);
        }
    }
    return out;
}

namespace {

bool cannotWrite(const QString &path, const QString &why, QString *error) {
    if (error)
        *error =
            QStringLiteral("Could not write \"%1\": %2").arg(QDir::toNativeSeparators(path), why);
    return false;
}

} // namespace

bool writeSelmexScenario(const QString &path, const SelmexStart &start, QString *error,
                         const QByteArray &comments,
                         const std::optional<SwitchboardSettings> &switchboard) {
    // A file the program would refuse to read is not written.
    if (const auto problem = checkScenario(fullScenario(start)))
        return cannotWrite(path, QString::fromStdString(*problem) + QChar('.'), error);
    if (switchboard)
        if (const auto problem = checkSwitchboard(*switchboard))
            return cannotWrite(path, QString::fromStdString(*problem) + QChar('.'), error);
    const QByteArray text = selmexScenarioText(start, comments, switchboard);
    if (text.size() > MaxSelmexFileBytes)
        return cannotWrite(path,
                           QStringLiteral("with the comments at its top the file would be over "
                                          "64 KiB, too large to be read again."),
                           error);
    return writeSelmexFile(path, text, error);
}

bool writeSelmexFile(const QString &path, const QByteArray &bytes, QString *error) {
    if (const auto failure = writeThroughTemporaryFile(path, bytes))
        return cannotWrite(path, *failure, error);
    return true;
}
