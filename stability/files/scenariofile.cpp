#include "scenariofile.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

enum class Section { None, Machine, Fault };

enum class Kind {
    Number,         // a double
    Milliseconds,   // a whole number
    RecloseMs,      // a whole number or none
    NetworkName,    // busbar | two-lines | transfer
    RecloseOntoName // transient | permanent
};

struct KeyInfo {
    Section section;
    const char *name;
    Kind kind;
    std::optional<CaseField> field;
    double &(*number)(StabilityCase &);
};

const KeyInfo Keys[] = {
    {Section::Machine, "Pmax", Kind::Number, CaseField::Pmax,
     [](StabilityCase &c) -> double & { return c.machine.Pmax; }},
    {Section::Machine, "H", Kind::Number, CaseField::H,
     [](StabilityCase &c) -> double & { return c.machine.H; }},
    {Section::Machine, "Demping", Kind::Number, CaseField::Demping,
     [](StabilityCase &c) -> double & { return c.machine.Demping; }},
    {Section::Machine, "Pmech", Kind::Number, CaseField::Pmech,
     [](StabilityCase &c) -> double & { return c.machine.Pmech; }},
    {Section::Fault, "clearing_ms", Kind::Milliseconds, CaseField::ClearingMs, nullptr},
    {Section::Fault, "network", Kind::NetworkName, std::nullopt, nullptr},
    {Section::Fault, "generator_reactance", Kind::Number, CaseField::GeneratorReactance,
     [](StabilityCase &c) -> double & { return c.scenario.generatorReactance; }},
    {Section::Fault, "line_reactance", Kind::Number, CaseField::LineReactance,
     [](StabilityCase &c) -> double & { return c.scenario.lineReactance; }},
    {Section::Fault, "location", Kind::Number, CaseField::Location,
     [](StabilityCase &c) -> double & { return c.scenario.locationPercent; }},
    {Section::Fault, "during", Kind::Number, CaseField::During,
     [](StabilityCase &c) -> double & { return c.scenario.during; }},
    {Section::Fault, "after", Kind::Number, CaseField::After,
     [](StabilityCase &c) -> double & { return c.scenario.after; }},
    {Section::Fault, "reclose_ms", Kind::RecloseMs, CaseField::RecloseMs, nullptr},
    {Section::Fault, "reclose_onto", Kind::RecloseOntoName, std::nullopt, nullptr},
};
constexpr int KeyCount = sizeof Keys / sizeof Keys[0];

const char *sectionName(Section s) {
    return s == Section::Machine ? "machine" : "fault";
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

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// An optional sign, digits with an optional full stop (a digit on at least one side),
// an optional exponent of e or E, an optional sign and digits.
bool isNumberText(QByteArrayView t) {
    qsizetype i = 0;
    const auto digits = [&] {
        const qsizetype start = i;
        while (i < t.size() && isDigit(t[i])) ++i;
        return i - start;
    };
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    qsizetype mantissa = digits();
    if (i < t.size() && t[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    return i == t.size();
}

bool isWholeText(QByteArrayView t) {
    qsizetype i = (!t.isEmpty() && (t[0] == '+' || t[0] == '-')) ? 1 : 0;
    if (i == t.size()) return false;
    for (; i < t.size(); ++i)
        if (!isDigit(t[i])) return false;
    return true;
}

// from_chars reads in no locale at all; it takes no plus sign.
QByteArrayView unsigned_(QByteArrayView t) {
    return !t.isEmpty() && t[0] == '+' ? t.sliced(1) : t;
}

std::optional<double> toDouble(QByteArrayView t) {
    t = unsigned_(t);
    double v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return std::nullopt;
    return v;
}

// A whole number; one beyond 32 bits becomes the nearest 32-bit limit, which every range
// check refuses.
std::int32_t toMilliseconds(QByteArrayView t) {
    t = unsigned_(t);
    long long v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    constexpr long long least = std::numeric_limits<std::int32_t>::min();
    constexpr long long most = std::numeric_limits<std::int32_t>::max();
    if (r.ec == std::errc::result_out_of_range) v = t.startsWith('-') ? least : most;
    return static_cast<std::int32_t>(std::clamp(v, least, most));
}

bool isUtf8(QByteArrayView line) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    (void)QString(decoder(line));
    return !decoder.hasError();
}

class Parser {
public:
    explicit Parser(const QString &fileName) : m_file(shown(fileName, 1000)) {}

    ScenarioFileResult parse(QByteArrayView bytes);

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
    bool value(int number, const KeyInfo &key, QByteArrayView text);

    QString m_file;
    QString m_error;
    StabilityCase m_case;
    Section m_section = Section::None;
    int m_sectionLine[3] = {0, 0, 0};
    int m_keyLine[KeyCount] = {};
};

ScenarioFileResult Parser::parse(QByteArrayView bytes) {
    if (bytes.size() > MaxScenarioFileBytes) {
        fail(0, QStringLiteral("the file is over 64 KiB, too large for a scenario file."));
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
    if (const auto problem = checkCase(m_case)) {
        // The line of the key, or of its section when the value is a default.
        int at = 0;
        for (int i = 0; i < KeyCount; ++i)
            if (Keys[i].field == problem->field)
                at = m_keyLine[i] ? m_keyLine[i] : m_sectionLine[static_cast<int>(Keys[i].section)];
        fail(at, QString::fromStdString(problem->message));
        return {false, {}, m_error};
    }
    return {true, m_case, {}};
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
        if (name == "machine")
            section = Section::Machine;
        else if (name == "fault")
            section = Section::Fault;
        else
            return fail(number, QStringLiteral("[%1] is not a section: there are [machine] "
                                               "and [fault].")
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
                                                          "with [machine] or [fault]."));
    for (int i = 0; i < KeyCount; ++i) {
        const KeyInfo &key = Keys[i];
        if (key.section != m_section || name != key.name) continue;
        if (m_keyLine[i])
            return fail(number,
                        QStringLiteral("%1 is given twice in [%2] (first on line %3).")
                            .arg(QLatin1String(key.name), QLatin1String(sectionName(m_section)))
                            .arg(m_keyLine[i]));
        m_keyLine[i] = number;
        return value(number, key, valueText);
    }
    return fail(number,
                QStringLiteral("%1 is not a key of [%2] (its keys: %3).")
                    .arg(quoted(name), QLatin1String(sectionName(m_section)), keyList(m_section)));
}

bool Parser::value(int number, const KeyInfo &key, QByteArrayView text) {
    const QLatin1String name(key.name);
    if (text.isEmpty()) return fail(number, name + QStringLiteral(" has no value."));
    switch (key.kind) {
    case Kind::Number: {
        if (!isNumberText(text))
            return fail(number, QStringLiteral("%1 = %2 is not a number: write it with digits "
                                               "and a full stop, such as 0.5 or 2E-5.")
                                    .arg(name, quoted(text)));
        const std::optional<double> v = toDouble(text);
        if (!v)
            return fail(number, QStringLiteral("%1 = %2 is too large or too close to 0 to "
                                               "compute with.")
                                    .arg(name, quoted(text)));
        key.number(m_case) = *v;
        return true;
    }
    case Kind::Milliseconds:
    case Kind::RecloseMs: {
        if (key.kind == Kind::RecloseMs && text == "none") {
            m_case.scenario.recloseMs = 0;
            return true;
        }
        if (!isWholeText(text))
            return fail(number, QStringLiteral("%1 = %2 is not a whole number of milliseconds%3.")
                                    .arg(name, quoted(text),
                                         key.kind == Kind::RecloseMs ? QStringLiteral(" or none")
                                                                     : QString()));
        const std::int32_t ms = toMilliseconds(text);
        if (key.kind == Kind::Milliseconds) {
            m_case.clearingMs = ms;
            return true;
        }
        // 0 would mean no reclosing, which the file says with none.
        if (ms == 0)
            return fail(number, QStringLiteral("reclose_ms = 0: the dead time before reclosing "
                                               "must lie from 1 to %1 ms; write none for no "
                                               "reclosing.")
                                    .arg(MaxRecloseMs));
        m_case.scenario.recloseMs = ms;
        return true;
    }
    case Kind::NetworkName:
        for (Network n : {Network::Busbar, Network::TwoLines, Network::Transfer})
            if (text == networkKey(n)) {
                m_case.scenario.network = n;
                return true;
            }
        return fail(number, QStringLiteral("network = %1 is not a network: write busbar, "
                                           "two-lines or transfer.")
                                .arg(quoted(text)));
    case Kind::RecloseOntoName:
        for (RecloseOnto o : {RecloseOnto::Transient, RecloseOnto::Permanent})
            if (text == recloseOntoKey(o)) {
                m_case.scenario.recloseOnto = o;
                return true;
            }
        return fail(number, QStringLiteral("reclose_onto = %1 is not what a breaker can "
                                           "reclose onto: write transient or permanent.")
                                .arg(quoted(text)));
    }
    return true;
}

void appendKey(QByteArray &out, const char *name, const std::string &value) {
    out += name;
    out += " = ";
    out += QByteArray::fromStdString(value);
    out += '\n';
}

} // namespace

ScenarioFileResult parseScenario(const QByteArray &bytes, const QString &fileName) {
    return Parser(fileName).parse(bytes);
}

ScenarioFileResult readScenarioFile(const QString &path) {
    const QString name = QFileInfo(path).fileName().isEmpty() ? path : QFileInfo(path).fileName();
    const auto failure = [&](const QString &why) {
        return ScenarioFileResult{
            false, {}, QStringLiteral("%1: cannot be read: %2").arg(shown(name, 1000), why)};
    };
    if (QFileInfo(path).isDir()) return failure(QStringLiteral("it is a folder."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return failure(file.errorString());
    // One byte more than is allowed tells a file that is too large without reading it all.
    const QByteArray bytes = file.read(MaxScenarioFileBytes + 1);
    if (file.error() != QFileDevice::NoError) return failure(file.errorString());
    return parseScenario(bytes, name);
}

QByteArray scenarioText(const StabilityCase &c) {
    const FaultScenario &s = c.scenario;
    QByteArray out = "# A Dravex exercise: the machine data, the fault and its clearing time\n"
                     "[machine]\n";
    appendKey(out, "Pmax", shortestNumber(c.machine.Pmax));
    appendKey(out, "H", shortestNumber(c.machine.H));
    appendKey(out, "Demping", shortestNumber(c.machine.Demping));
    appendKey(out, "Pmech", shortestNumber(c.machine.Pmech));
    out += "\n[fault]\n";
    appendKey(out, "clearing_ms", std::to_string(c.clearingMs));
    appendKey(out, "network", networkKey(s.network));
    switch (s.network) {
    case Network::Busbar:
        break;
    case Network::TwoLines:
        appendKey(out, "generator_reactance", shortestNumber(s.generatorReactance));
        appendKey(out, "line_reactance", shortestNumber(s.lineReactance));
        appendKey(out, "location", shortestNumber(s.locationPercent));
        break;
    case Network::Transfer:
        appendKey(out, "during", shortestNumber(s.during));
        appendKey(out, "after", shortestNumber(s.after));
        break;
    }
    appendKey(out, "reclose_ms", s.recloses() ? std::to_string(s.recloseMs) : "none");
    appendKey(out, "reclose_onto", recloseOntoKey(s.recloseOnto));
    return out;
}

bool writeScenarioFile(const QString &path, const StabilityCase &c, QString *error) {
    const auto failed = [&](const QString &why) {
        if (error) *error = QStringLiteral("Could not write \"%1\": %2").arg(path, why);
        return false;
    };
    // A file the program would refuse to read is not written.
    if (const auto problem = checkCase(c)) return failed(QString::fromStdString(problem->message));
    const QByteArray text = scenarioText(c);
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
