#include "selmexfile.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

enum class Section { None, Generator, Setup };
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
constexpr int KeyCount = sizeof Keys / sizeof Keys[0];

const char *sectionName(Section s) {
    return s == Section::Generator ? "generator" : "setup";
}

QString keyList(Section s) {
    QString list;
    for (const KeyInfo &k : Keys)
        if (k.section == s) list += (list.isEmpty() ? "" : ", ") + QLatin1String(k.name);
    return list;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView t) {
    while (!t.isEmpty() && isBlank(t.front())) t = t.sliced(1);
    while (!t.isEmpty() && isBlank(t.back())) t.chop(1);
    return t;
}

// Text from the file as a message may show it: short, and with control, format and line
// separating characters (which could move a terminal's cursor, turn text around or break
// the line) written as codes.
QString shown(const QString &text, qsizetype most = 40) {
    QString out;
    qsizetype count = 0;
    for (const char32_t c : text.toUcs4()) {
        if (++count > most) return out + QStringLiteral("\u2026");
        switch (QChar::category(c)) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_Surrogate:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            out += QStringLiteral("\\u%1").arg(uint(c), 4, 16, QChar('0'));
            break;
        default:
            out += QString::fromUcs4(&c, 1);
        }
    }
    return out;
}

QString quoted(QByteArrayView text) {
    return QChar('"') + shown(QString::fromUtf8(text)) + QChar('"');
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

bool isUtf8(QByteArrayView line) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    (void)QString(decoder(line));
    return !decoder.hasError();
}

QString tooLarge() {
    return QStringLiteral("the file is over 64 KiB, too large for a Selmex scenario file.");
}

class Parser {
public:
    explicit Parser(const QString &fileName) : m_file(shown(fileName, 1000)) {}

    SelmexFileResult parse(QByteArrayView bytes);

private:
    // Sets `m_error` and returns false, so that a caller can `return fail(...)`.
    bool fail(int line, const QString &what) {
        // One arg() for all, so that a "%2" in the file's name stays as it is.
        m_error = line > 0
                      ? QStringLiteral("%1, line %2: %3").arg(m_file, QString::number(line), what)
                      : QStringLiteral("%1: %2").arg(m_file, what);
        return false;
    }
    bool line(int number, QByteArrayView text);
    bool value(int number, Key key, QByteArrayView text);
    bool wholeValue(int number, Key key, QByteArrayView text);

    QString m_file;
    QString m_error;
    SelmexScenario m_value;
    Section m_section = Section::None;
    int m_sectionLine[3] = {0, 0, 0};
    int m_keyLine[KeyCount] = {};
};

SelmexFileResult Parser::parse(QByteArrayView bytes) {
    if (bytes.size() > MaxSelmexFileBytes) {
        fail(0, tooLarge());
        return {false, {}, m_error};
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);
    int number = 0;
    while (!bytes.isEmpty()) {
        ++number;
        const qsizetype end = bytes.indexOf('\n');
        QByteArrayView text = end < 0 ? bytes : bytes.first(end);
        bytes = end < 0 ? QByteArrayView() : bytes.sliced(end + 1);
        if (text.endsWith('\r')) text.chop(1);
        if (!line(number, text)) return {false, {}, m_error};
    }
    // Each value was checked on its line; this holds should the check ever relate them.
    if (const auto problem = checkScenario(m_value)) {
        fail(0, QString::fromStdString(*problem) + QChar('.'));
        return {false, {}, m_error};
    }
    return {true, m_value, {}};
}

bool Parser::line(int number, QByteArrayView text) {
    if (!isUtf8(text)) return fail(number, QStringLiteral("the text is not UTF-8."));
    const qsizetype comment = text.indexOf('#');
    if (comment >= 0) text = text.first(comment);
    text = trimmed(text);
    if (text.isEmpty()) return true;

    if (text.startsWith('[')) {
        if (!text.endsWith(']'))
            return fail(number, quoted(text) + QStringLiteral(" is not a [section] line."));
        const QByteArrayView name = trimmed(text.sliced(1, text.size() - 2));
        Section section = Section::None;
        if (name == "generator")
            section = Section::Generator;
        else if (name == "setup")
            section = Section::Setup;
        else
            return fail(number, QStringLiteral("[%1] is not a section: there are [generator] "
                                               "and [setup].")
                                    .arg(shown(QString::fromUtf8(name))));
        int &seen = m_sectionLine[static_cast<int>(section)];
        if (seen)
            return fail(number, QStringLiteral("[%1] is given twice (first on line %2).")
                                    .arg(QLatin1String(sectionName(section)))
                                    .arg(seen));
        seen = number;
        m_section = section;
        return true;
    }

    const qsizetype equals = text.indexOf('=');
    if (equals < 0)
        return fail(number, quoted(text) + QStringLiteral(" is neither a [section] nor a "
                                                          "\"key = value\" line."));
    const QByteArrayView name = trimmed(text.first(equals));
    const QByteArrayView valueText = trimmed(text.sliced(equals + 1));
    if (name.isEmpty()) return fail(number, QStringLiteral("the line has no key before \"=\"."));
    if (m_section == Section::None)
        return fail(number, quoted(name) + QStringLiteral(" stands before any section: start "
                                                          "with [generator] or [setup]."));
    for (int i = 0; i < KeyCount; ++i) {
        const KeyInfo &key = Keys[i];
        if (key.section != m_section || name != key.name) continue;
        if (m_keyLine[i])
            return fail(number,
                        QStringLiteral("%1 is given twice in [%2] (first on line %3).")
                            .arg(QLatin1String(key.name), QLatin1String(sectionName(m_section)))
                            .arg(m_keyLine[i]));
        m_keyLine[i] = number;
        if (valueText.isEmpty())
            return fail(number, QLatin1String(key.name) + QStringLiteral(" has no value."));
        return value(number, key.key, valueText);
    }
    return fail(number,
                QStringLiteral("%1 is not a key of [%2] (its keys: %3).")
                    .arg(quoted(name), QLatin1String(sectionName(m_section)), keyList(m_section)));
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
                                .arg(QLatin1String(name), quoted(text), QLatin1String(no),
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
                                .arg(name, quoted(text)));
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
        return fail(number,
                    QStringLiteral("%1, not %2.")
                        .arg(QString::fromStdString(*problem), shown(QString::fromLatin1(text))));
    return true;
}

void appendKey(QByteArray &out, const char *name, const QByteArray &value) {
    out += name;
    out += " = ";
    out += value;
    out += '\n';
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
    const QString name = QFileInfo(path).fileName().isEmpty() ? path : QFileInfo(path).fileName();
    const auto failure = [&](const QString &why) {
        return SelmexFileResult{
            false, {}, QStringLiteral("%1: cannot be read: %2").arg(shown(name, 1000), why)};
    };
    if (QFileInfo(path).isDir()) return failure(QStringLiteral("it is a folder."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return failure(file.errorString());
    if (file.size() > MaxSelmexFileBytes)
        return {false, {}, QStringLiteral("%1: %2").arg(shown(name, 1000), tooLarge())};
    // One byte more than is allowed also tells a pipe or device that gives too much.
    const QByteArray bytes = file.read(MaxSelmexFileBytes + 1);
    if (file.error() != QFileDevice::NoError) return failure(file.errorString());
    return parseSelmexScenario(bytes, name);
}

QByteArray selmexScenarioText(const SelmexStart &s) {
    QByteArray out = "# A Selmex exercise: the generator's start and the setup\n"
                     "[generator]\n";
    appendKey(out, "voltage", QByteArray::number(s.voltage));
    appendKey(out, "frequency", QByteArray::number(s.frequency));
    appendKey(out, "direction", s.reversed ? "reversed" : "same");
    appendKey(out, "phase_order", s.wrongOrder ? "wrong" : "right");
    appendKey(out, "angle", QByteArray::number(s.angle));
    out += "\n[setup]\n";
    appendKey(out, "max_angle", QByteArray::number(s.maxAngle));
    return out;
}

bool writeSelmexScenario(const QString &path, const SelmexStart &start, QString *error) {
    const auto failed = [&](const QString &why) {
        if (error) *error = QStringLiteral("Could not write \"%1\": %2").arg(path, why);
        return false;
    };
    // A file the program would refuse to read is not written.
    if (const auto problem = checkScenario(fullScenario(start)))
        return failed(QString::fromStdString(*problem) + QChar('.'));
    const QByteArray text = selmexScenarioText(start);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return failed(file.errorString());
    if (file.write(text) != text.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return failed(why);
    }
    if (!file.commit()) return failed(file.errorString());
    return true;
}
