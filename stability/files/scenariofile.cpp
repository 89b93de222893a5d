#include "scenariofile.h"

#include "casefields.h"
#include "filenumber.h"
#include "keyfile.h"
#include "savefile.h"

#include <cstdint>
#include <optional>
#include <QByteArrayView>
#include <string>

namespace {

using KeyInfo = CaseFieldInfo;
using Kind = CaseValueForm;

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
    for (const KeyInfo &k : caseFields())
        sections[k.section == CaseSection::Machine ? 0 : 1].keys.push_back(k.key);
    return sections;
}

// The place of a key in its section's list, and back.
int sectionIndex(const KeyInfo &k) {
    return k.section == CaseSection::Machine ? 0 : 1;
}

const KeyInfo &keyAt(int section, int key) {
    for (const KeyInfo &k : caseFields())
        if (sectionIndex(k) == section && key-- == 0) return k;
    return caseFields().front();
}

int keyIndex(const KeyInfo &wanted) {
    int index = 0;
    for (const KeyInfo &k : caseFields()) {
        if (&k == &wanted) return index;
        if (k.section == wanted.section) ++index;
    }
    return 0;
}

ScenarioFileResult Parser::parse(QByteArrayView bytes) {
    if (bytes.size() > MaxScenarioFileBytes) {
        fail(0, QStringLiteral("the file is over 64 KiB, too large for a scenario file."));
        return ScenarioFileResult::refused(m_file.error());
    }
    const bool read = m_file.read(bytes, [this](int line, int section, int key, QByteArrayView v) {
        return value(line, keyAt(section, key), v);
    });
    if (!read) return ScenarioFileResult::refused(m_file.error());
    // Without a fault there is nothing to reclose after: the case holds no dead time, as
    // the fault scenario dialog leaves none, whatever reclose_ms says.
    if (!m_case.scenario.hasFault()) m_case.scenario.recloseMs = 0;
    if (const auto problem = checkCase(m_case)) {
        // The line of the key, or of its section when the value is a default.
        const KeyInfo &k = caseField(problem->field);
        const int keyLine = m_file.keyLine(sectionIndex(k), keyIndex(k));
        const int at = keyLine ? keyLine : m_file.sectionLine(sectionIndex(k));
        fail(at, QString::fromStdString(problem->message));
        return ScenarioFileResult::refused(m_file.error());
    }
    return ScenarioFileResult::read({m_case, leadingComments(bytes)});
}

bool Parser::value(int number, const KeyInfo &key, QByteArrayView text) {
    const QLatin1String name(key.key);
    switch (key.form) {
    case Kind::Number: {
        QString problem;
        const std::optional<double> v = keyFileNumber(key.key, text, "0.5 or 2E-5", problem);
        if (!v) return fail(number, problem);
        key.set(m_case, *v);
        return true;
    }
    case Kind::Milliseconds:
    case Kind::DeadTime: {
        if (key.form == Kind::DeadTime && text == "none") {
            m_case.scenario.recloseMs = 0;
            return true;
        }
        if (!isWholeFileNumberText(text))
            return fail(number, QStringLiteral("%1 = %2 is not a whole number of milliseconds%3.")
                                    .arg(name, quotedText(text),
                                         key.form == Kind::DeadTime ? QStringLiteral(" or none")
                                                                    : QString()));
        const std::int32_t ms = wholeFileNumber(text);
        if (key.form == Kind::Milliseconds) {
            key.set(m_case, ms);
            return true;
        }
        // 0 would mean no reclosing, which the file says with none.
        if (ms == 0)
            return fail(number, QStringLiteral("reclose_ms = 0: the dead time before reclosing "
                                               "must lie from 1 to %1 ms; write none for no "
                                               "reclosing.")
                                    .arg(MaxRecloseMs));
        key.set(m_case, ms);
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
    appendKeyLine(out, name, QByteArray::fromStdString(value));
}

} // namespace

ScenarioFileResult parseScenario(const QByteArray &bytes, const QString &fileName, int firstLine) {
    return Parser(fileName, firstLine).parse(bytes);
}

ScenarioFileResult readScenarioFile(const QString &path) {
    const SmallFile file = readSmallFile(path, MaxScenarioFileBytes);
    if (!file.ok) return ScenarioFileResult::refused(file.error);
    return parseScenario(file.bytes, file.name);
}

QByteArray scenarioText(const StabilityCase &c, const QByteArray &comments) {
    const FaultScenario &s = c.scenario;
    QByteArray out = commentsAndHeader(
        comments, "# A Dravex exercise: the machine data, the fault and its clearing time\n");
    CaseSection section = CaseSection::Machine;
    out += "[machine]\n";
    for (const CaseFieldInfo &f : caseFields()) {
        if (f.section != section) {
            section = f.section;
            out += "\n[fault]\n";
        }
        // Only the chosen network's values: the others' would be read back unchecked.
        if (!networkHas(s.network, f.field)) continue;
        switch (f.form) {
        case Kind::Number:
            appendKey(out, f.key, shortestNumber(f.get(c)));
            break;
        case Kind::Milliseconds:
            appendKey(out, f.key, std::to_string(c.clearingMs));
            break;
        case Kind::DeadTime:
            appendKey(out, f.key, s.recloses() ? std::to_string(s.recloseMs) : "none");
            break;
        case Kind::NetworkName:
            appendKey(out, f.key, networkKey(s.network));
            break;
        case Kind::RecloseOntoName:
            appendKey(out, f.key, recloseOntoKey(s.recloseOnto));
            break;
        }
    }
    return out;
}

bool writeScenarioFile(const QString &path, const StabilityCase &c, QString *error,
                       const QByteArray &comments) {
    // A file the program would refuse to read is not written.
    if (const auto problem = checkCase(c))
        return refuseWriting(path, QString::fromStdString(problem->message), error);
    return writeReadableText(path, scenarioText(c, comments), MaxScenarioFileBytes, error);
}
