#include "selmexfile.h"

#include "filenumber.h"
#include "keyfile.h"
#include "numberformat.h"
#include "savefile.h"
#include "switchboardkeys.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QStringList>

namespace {

enum class Section { Generator, Setup, Switchboard };
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
QString wordList(const ChoiceWords &words) {
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

    SelmexFileResult parse(QByteArrayView bytes);

private:
    static std::vector<KeyFile::Section> layout() {
        std::vector<KeyFile::Section> sections{
            {"generator", {}}, {"setup", {}}, {"switchboard", {}}};
        for (const KeyInfo &k : Keys)
            sections[k.section == Section::Generator ? 0 : 1].keys.push_back(k.name);
        for (const SwitchboardKey &k : SwitchboardKeys) sections[2].keys.push_back(k.name);
        return sections;
    }
    bool fail(int line, const QString &what) { return m_file.fail(line, what); }
    bool value(int number, Key key, QByteArrayView text);
    bool wholeValue(int number, Key key, QByteArrayView text);
    bool boardValue(int number, const SwitchboardKey &key, QByteArrayView text);

    KeyFile m_file;
    SelmexScenario m_value;
    SwitchboardSettings m_board;
};

SelmexFileResult Parser::parse(QByteArrayView bytes) {
    if (bytes.size() > MaxSelmexFileBytes) {
        fail(0, tooLarge());
        return SelmexFileResult::refused(m_file.error());
    }
    // Keys lists the generator's keys before the setup's, in the order of Key: the setup's
    // first key is MaxAngle.
    const bool read = m_file.read(bytes, [this](int line, int section, int key, QByteArrayView v) {
        if (section == 2) return boardValue(line, SwitchboardKeys[std::size_t(key)], v);
        return value(line, static_cast<Key>(section == 0 ? key : int(Key::MaxAngle) + key), v);
    });
    if (!read) return SelmexFileResult::refused(m_file.error());
    // Each value was checked on its line; these hold should the checks ever relate them.
    if (const auto problem = checkScenario(m_value)) {
        fail(0, QString::fromStdString(*problem) + QChar('.'));
        return SelmexFileResult::refused(m_file.error());
    }
    const int boardLine = m_file.sectionLine(2);
    if (boardLine)
        if (const auto problem = checkSwitchboard(m_board)) {
            fail(boardLine, QString::fromStdString(*problem) + QChar('.'));
            return SelmexFileResult::refused(m_file.error());
        }
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

SelmexFileResult parseSelmexScenario(const QByteArray &bytes, const QString &fileName) {
    return Parser(fileName).parse(bytes);
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
