#include "scenariofile.h"

#include "filenumber.h"
#include "keyfile.h"

#include <cstdint>
#include <optional>
#include <QByteArrayView>
#include <QFile>
#include <QSaveFile>
#include <string>

namespace {

enum class Section { Machine, Fault };

enum class Kind {
    Number,         // a double
    Milliseconds,   // a whole number
    RecloseMs,      // a whole number or none
    NetworkName,    // busbar | two-lines | transfer | power-step | line-out
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
    {Section::Fault, "pmech_after", Kind::Number, CaseField::PmechAfter,
     [](StabilityCase &c) -> double & { return c.scenario.pmechAfter; }},
    {Section::Fault, "reclose_ms", Kind::RecloseMs, CaseField::RecloseMs, nullptr},
    {Section::Fault, "reclose_onto", Kind::RecloseOntoName, std::nullopt, nullptr},
};

class Parser {
public:
    Parser(const QString &fileName, int firstLine) : m_file(fileName, layout()) {
        m_file.setFirstLine(firstLine);
    }

    ScenarioFileResult parse(QByteArrayView bytes);

private:
    static std::vector<KeyFile::Section> layout();
    bool fail(int line, const QString &what) { return m_file.fail(line, what); }
    bool value(int number, const KeyInfo &key, QByteArrayView text);

    KeyFile m_file;
    StabilityCase m_case;
};

std::vector<KeyFile::Section> Parser::layout() {
    std::vector<KeyFile::Section> sections{{"machine", {}}, {"fault", {}}};
    for (const KeyInfo &k : Keys)
        sections[k.section == Section::Machine ? 0 : 1].keys.push_back(k.name);
    return sections;
}

// The place of a key in its section's list, and back.
int sectionIndex(const KeyInfo &k) {
    return k.section == Section::Machine ? 0 : 1;
}

const KeyInfo &keyAt(int section, int key) {
    for (const KeyInfo &k : Keys)
        if (sectionIndex(k) == section && key-- == 0) return k;
    return Keys[0];
}

int keyIndex(const KeyInfo &wanted) {
    int index = 0;
    for (const KeyInfo &k : Keys) {
        if (&k == &wanted) return index;
        if (k.section == wanted.section) ++index;
    }
    return 0;
}

ScenarioFileResult Parser::parse(QByteArrayView bytes) {
    if (bytes.size() > MaxScenarioFileBytes) {
        fail(0, QStringLiteral("the file is over 64 KiB, too large for a scenario file."));
        return {false, {}, m_file.error(), {}};
    }
    const bool read = m_file.read(bytes, [this](int line, int section, int key, QByteArrayView v) {
        return value(line, keyAt(section, key), v);
    });
    if (!read) return {false, {}, m_file.error(), {}};
    // Without a fault there is nothing to reclose after: the case holds no dead time, as
    // the fault scenario dialog leaves none, whatever reclose_ms says.
    if (!m_case.scenario.hasFault()) m_case.scenario.recloseMs = 0;
    if (const auto problem = checkCase(m_case)) {
        // The line of the key, or of its section when the value is a default.
        int at = 0;
        for (const KeyInfo &k : Keys)
            if (k.field == problem->field) {
                const int keyLine = m_file.keyLine(sectionIndex(k), keyIndex(k));
                at = keyLine ? keyLine : m_file.sectionLine(sectionIndex(k));
            }
        fail(at, QString::fromStdString(problem->message));
        return {false, {}, m_file.error(), {}};
    }
    return {true, m_case, {}, leadingComments(bytes)};
}

bool Parser::value(int number, const KeyInfo &key, QByteArrayView text) {
    const QLatin1String name(key.name);
    switch (key.kind) {
    case Kind::Number: {
        QString problem;
        const std::optional<double> v = keyFileNumber(key.name, text, "0.5 or 2E-5", problem);
        if (!v) return fail(number, problem);
        key.number(m_case) = *v;
        return true;
    }
    case Kind::Milliseconds:
    case Kind::RecloseMs: {
        if (key.kind == Kind::RecloseMs && text == "none") {
            m_case.scenario.recloseMs = 0;
            return true;
        }
        if (!isWholeFileNumberText(text))
            return fail(number, QStringLiteral("%1 = %2 is not a whole number of milliseconds%3.")
                                    .arg(name, quotedText(text),
                                         key.kind == Kind::RecloseMs ? QStringLiteral(" or none")
                                                                     : QString()));
        const std::int32_t ms = wholeFileNumber(text);
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
        for (Network n : {Network::Busbar, Network::TwoLines, Network::Transfer, Network::PowerStep,
                          Network::LineOut})
            if (text == networkKey(n)) {
                m_case.scenario.network = n;
                return true;
            }
        return fail(number, QStringLiteral("network = %1 is not a network: write busbar, "
                                           "two-lines, transfer, power-step or line-out.")
                                .arg(quotedText(text)));
    case Kind::RecloseOntoName:
        for (RecloseOnto o : {RecloseOnto::Transient, RecloseOnto::Permanent})
            if (text == recloseOntoKey(o)) {
                m_case.scenario.recloseOnto = o;
                return true;
            }
        return fail(number, QStringLiteral("reclose_onto = %1 is not what a breaker can "
                                           "reclose onto: write transient or permanent.")
                                .arg(quotedText(text)));
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

ScenarioFileResult parseScenario(const QByteArray &bytes, const QString &fileName,
                                 int firstLine) {
    return Parser(fileName, firstLine).parse(bytes);
}

ScenarioFileResult readScenarioFile(const QString &path) {
    const SmallFile file = readSmallFile(path, MaxScenarioFileBytes);
    if (!file.ok) return {false, {}, file.error, {}};
    return parseScenario(file.bytes, file.name);
}

QByteArray scenarioText(const StabilityCase &c, const QByteArray &comments) {
    const FaultScenario &s = c.scenario;
    QByteArray out = commentsAndHeader(
        comments, "# A Dravex exercise: the machine data, the fault and its clearing time\n");
    out += "[machine]\n";
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
    case Network::PowerStep:
        appendKey(out, "pmech_after", shortestNumber(s.pmechAfter));
        break;
    case Network::LineOut:
        appendKey(out, "after", shortestNumber(s.after));
        break;
    }
    appendKey(out, "reclose_ms", s.recloses() ? std::to_string(s.recloseMs) : "none");
    appendKey(out, "reclose_onto", recloseOntoKey(s.recloseOnto));
    return out;
}

bool writeScenarioFile(const QString &path, const StabilityCase &c, QString *error,
                       const QByteArray &comments) {
    const auto failed = [&](const QString &why) {
        if (error) *error = QStringLiteral("Could not write \"%1\": %2").arg(path, why);
        return false;
    };
    // A file the program would refuse to read is not written.
    if (const auto problem = checkCase(c)) return failed(QString::fromStdString(problem->message));
    const QByteArray text = scenarioText(c, comments);
    if (text.size() > MaxScenarioFileBytes)
        return failed(QStringLiteral("with the comments at its top the file would be over 64 KiB, "
                                     "too large to be read again."));
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
