#include "networkfile.h"

#include "filenumber.h"
#include "gridlines.h"
#include "keyfile.h"
#include "numberformat.h"
#include "savefile.h"

#include <map>
#include <optional>
#include <QByteArrayView>
#include <tuple>

using multimachine::Branch;
using multimachine::BranchId;
using multimachine::Bus;
using multimachine::BusType;
using multimachine::Grid;
using multimachine::Machine;

namespace {

// The sections and their keys, in the order of the layout below.
enum SectionKind { NetworkSection, BusSection, LineSection, MachineSection, FaultSection };
enum NetworkKey { Frequency, BaseMva };
enum BusKey { Type, Voltage, Angle, Generation, LoadP, LoadQ, ShuntG, ShuntB, Position };
enum LineKey { R, X, B, Tap };
enum MachineKey { Inertia, XdPrime, Damping };
enum FaultKey { FaultBus, FaultLine, Location, ClearMs, OpenLine, RecloseMs };

const std::vector<KeyFile::Section> &layout() {
    static const std::vector<KeyFile::Section> sections{
        {"network", {"frequency", "base_mva"}},
        {"bus",
         {"type", "voltage", "angle", "generation", "load_p", "load_q", "shunt_g", "shunt_b",
          "position"},
         true},
        {"line", {"r", "x", "b", "tap"}, true},
        {"machine", {"H", "xd_prime", "damping"}, true},
        {"fault", {"bus", "line", "location", "clear_ms", "open_line", "reclose_ms"}},
    };
    return sections;
}

// The keys a section cannot do without, and what they are, for the message.
struct RequiredKey {
    SectionKind section;
    int key;
    const char *what;
};
constexpr RequiredKey RequiredKeys[] = {
    {NetworkSection, Frequency, "frequency = 50 or 60"},
    {BusSection, Type, "type = slack, pv or pq"},
    {LineSection, X, "x, the series reactance in pu"},
    {MachineSection, Inertia, "H, the inertia constant in s on the system base"},
    {MachineSection, XdPrime, "xd_prime, the transient reactance in pu"},
};

// A bus or circuit number: digits alone, from 1 to 999999999.
std::optional<int> positiveWhole(QByteArrayView t) {
    if (t.isEmpty() || t.size() > 9) return std::nullopt;
    int value = 0;
    for (const char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value == 0) return std::nullopt;
    return value;
}

// "4-5", or "4-5 2" for a second circuit between the same buses.
std::optional<BranchId> branchIdFrom(QByteArrayView t) {
    qsizetype blank = 0;
    while (blank < t.size() && t[blank] != ' ' && t[blank] != '\t') ++blank;
    const QByteArrayView ends = t.first(blank);
    const QByteArrayView circuitText = trimmedBlanks(t.sliced(blank));
    const qsizetype dash = ends.indexOf('-');
    if (dash < 0) return std::nullopt;
    const auto from = positiveWhole(ends.first(dash));
    const auto to = positiveWhole(ends.sliced(dash + 1));
    const auto circuit = circuitText.isEmpty() ? std::optional<int>(1) : positiveWhole(circuitText);
    if (!from || !to || !circuit || *circuit > 99) return std::nullopt;
    return BranchId{*from, *to, *circuit};
}

// The same branch whichever way round its ends are named.
std::tuple<int, int, int> branchKey(const BranchId &id) {
    return {std::min(id.from, id.to), std::max(id.from, id.to), id.circuit};
}

class Parser {
public:
    explicit Parser(const QString &fileName) : m_file(fileName, layout()) {}
    NetworkFileResult parse(QByteArrayView bytes);

private:
    bool fail(int line, const QString &what) { return m_file.fail(line, what); }
    bool section(int line, int section, QByteArrayView argument);
    bool value(int line, int section, int key, QByteArrayView text);
    bool busValue(int line, int key, QByteArrayView text);
    bool faultValue(int line, int key, QByteArrayView text);
    std::optional<double> number(int line, const char *key, QByteArrayView text);
    std::optional<int> milliseconds(int line, const char *key, QByteArrayView text, int least,
                                    int most);
    std::optional<BranchId> branchId(int line, const char *key, QByteArrayView text);
    // Refuses the section that has just ended when it lacks a key it needs.
    bool sectionComplete();
    bool faultComplete();

    KeyFile m_file;
    Grid m_grid;
    GridLines m_lines;
    std::map<std::tuple<int, int, int>, int> m_branchLines;
    int m_section = -1;
    int m_sectionLine = 0;
    QString m_sectionTitle;
    unsigned m_keysGiven = 0; // a bit for each key of the current section
};

NetworkFileResult Parser::parse(QByteArrayView bytes) {
    if (bytes.size() > MaxNetworkFileBytes) {
        fail(0, QStringLiteral("the file is over 256 KiB, too large for a network file."));
        return NetworkFileResult::refused(m_file.error());
    }
    const bool read = m_file.read(
        bytes,
        [this](int line, int section, int key, QByteArrayView v) {
            m_keysGiven |= 1U << key;
            return value(line, section, key, v);
        },
        [this](int line, int section, QByteArrayView argument) {
            return this->section(line, section, argument);
        });
    if (!read || !sectionComplete() || !faultComplete())
        return NetworkFileResult::refused(m_file.error());
    if (!m_lines.network) {
        fail(0, QStringLiteral("the file has no [network] section: give its frequency = 50 "
                               "or 60."));
        return NetworkFileResult::refused(m_file.error());
    }
    const std::string problem = multimachine::gridProblem(m_grid);
    if (!problem.empty()) {
        fail(m_lines.lineOf(m_grid, problem), QString::fromStdString(problem) + QChar('.'));
        return NetworkFileResult::refused(m_file.error());
    }
    return NetworkFileResult::read({m_grid, leadingComments(bytes)});
}

bool Parser::section(int line, int section, QByteArrayView argument) {
    if (!sectionComplete()) return false;
    m_section = section;
    m_sectionLine = line;
    m_keysGiven = 0;
    m_sectionTitle = QString::fromUtf8(argument);
    switch (section) {
    case NetworkSection:
        m_lines.network = line;
        return true;
    case FaultSection:
        m_lines.fault = line;
        return true;
    case BusSection: {
        const auto number = positiveWhole(argument);
        if (!number)
            return fail(line, QStringLiteral("[bus %1] does not give the bus's number: write it "
                                             "as [bus 4].")
                                  .arg(shownText(QString::fromUtf8(argument))));
        if (const auto [at, added] = m_lines.buses.emplace(*number, line); !added)
            return fail(line, QStringLiteral("bus %1 is given twice (first on line %2).")
                                  .arg(*number)
                                  .arg(at->second));
        if (m_grid.buses.size() == MaxNetworkBuses)
            return fail(line, QStringLiteral("the network has more than %1 buses, more than "
                                             "the program takes.")
                                  .arg(MaxNetworkBuses));
        Bus bus;
        bus.number = *number;
        m_grid.buses.push_back(bus);
        return true;
    }
    case LineSection: {
        const auto id = branchIdFrom(argument);
        if (!id)
            return fail(line, QStringLiteral("[line %1] does not name a line: write its buses "
                                             "as [line 4-5], or [line 4-5 2] for a second "
                                             "circuit.")
                                  .arg(shownText(QString::fromUtf8(argument))));
        if (const auto [at, added] = m_branchLines.emplace(branchKey(*id), line); !added)
            return fail(line, QStringLiteral("line %1 is given twice (first on line %2).")
                                  .arg(QString::fromStdString(multimachine::branchName(*id)))
                                  .arg(at->second));
        if (m_grid.branches.size() == MaxNetworkBranches)
            return fail(line, QStringLiteral("the network has more than %1 lines, more than "
                                             "the program takes.")
                                  .arg(MaxNetworkBranches));
        Branch branch;
        branch.from = id->from;
        branch.to = id->to;
        branch.circuit = id->circuit;
        m_grid.branches.push_back(branch);
        m_lines.branches.push_back(line);
        return true;
    }
    case MachineSection: {
        const auto bus = positiveWhole(argument);
        if (!bus)
            return fail(line, QStringLiteral("[machine %1] does not give the machine's bus: "
                                             "write it as [machine 1].")
                                  .arg(shownText(QString::fromUtf8(argument))));
        if (const auto [at, added] = m_lines.machines.emplace(*bus, line); !added)
            return fail(line, QStringLiteral("the machine at bus %1 is given twice (first on "
                                             "line %2).")
                                  .arg(*bus)
                                  .arg(at->second));
        Machine machine;
        machine.bus = *bus;
        m_grid.machines.push_back(machine);
        return true;
    }
    }
    return true;
}

bool Parser::sectionComplete() {
    for (const RequiredKey &k : RequiredKeys)
        if (k.section == m_section && !(m_keysGiven & (1U << k.key))) {
            const QString title =
                QLatin1String(layout()[static_cast<std::size_t>(m_section)].name) +
                (m_sectionTitle.isEmpty() ? QString() : QChar(' ')) + shownText(m_sectionTitle);
            return fail(m_sectionLine,
                        QStringLiteral("[%1] needs %2.").arg(title, QLatin1String(k.what)));
        }
    return true;
}

bool Parser::faultComplete() {
    if (!m_lines.fault) return true;
    const multimachine::FaultSpec &f = m_grid.fault;
    const auto keyLine = [this](FaultKey k) { return m_file.keyLine(FaultSection, k); };
    if (f.bus && f.line)
        return fail(keyLine(FaultLine), QStringLiteral("the fault is either at a bus or on a "
                                                       "line: give bus or line, not both."));
    if (!f.bus && !f.line)
        return fail(m_lines.fault, QStringLiteral("[fault] needs its place: bus = 7, or line = "
                                                  "5-7 with location = 0.5."));
    if (f.bus && keyLine(Location))
        return fail(keyLine(Location), QStringLiteral("location is a fault's place along a "
                                                      "line: a fault at a bus has none."));
    if (f.recloseMs && !f.openLine)
        return fail(keyLine(RecloseMs), QStringLiteral("reclose_ms closes the opened line "
                                                       "again: give open_line as well."));
    return true;
}

std::optional<double> Parser::number(int line, const char *key, QByteArrayView text) {
    QString problem;
    const std::optional<double> v = keyFileNumber(key, text, "1.04 or 2E-5", problem);
    if (!v) fail(line, problem);
    return v;
}

std::optional<int> Parser::milliseconds(int line, const char *key, QByteArrayView text, int least,
                                        int most) {
    const QLatin1String name(key);
    if (!isWholeFileNumberText(text)) {
        fail(line, QStringLiteral("%1 = %2 is not a whole number of milliseconds.")
                       .arg(name, quotedText(text)));
        return std::nullopt;
    }
    const std::int32_t ms = wholeFileNumber(text);
    if (ms < least || ms > most) {
        fail(line, QStringLiteral("%1 = %2 must lie from %3 to %4 ms.")
                       .arg(name, quotedText(text))
                       .arg(least)
                       .arg(most));
        return std::nullopt;
    }
    return ms;
}

std::optional<BranchId> Parser::branchId(int line, const char *key, QByteArrayView text) {
    const auto id = branchIdFrom(text);
    if (!id)
        fail(line, QStringLiteral("%1 = %2 does not name a line: write its buses as 5-7, or "
                                  "5-7 2 for a second circuit.")
                       .arg(QLatin1String(key), quotedText(text)));
    return id;
}

bool Parser::value(int line, int section, int key, QByteArrayView text) {
    const char *name =
        layout()[static_cast<std::size_t>(section)].keys[static_cast<std::size_t>(key)];
    switch (section) {
    case NetworkSection: {
        const auto v = number(line, name, text);
        if (!v) return false;
        if (key == BaseMva) {
            m_grid.baseMva = *v;
            return true;
        }
        if (*v != 50 && *v != 60)
            return fail(line, QStringLiteral("frequency = %1: the network's frequency must be 50 "
                                             "or 60 Hz.")
                                  .arg(quotedText(text)));
        m_grid.frequency = *v;
        return true;
    }
    case BusSection:
        return busValue(line, key, text);
    case LineSection: {
        const auto v = number(line, name, text);
        if (!v) return false;
        Branch &b = m_grid.branches.back();
        double *const values[] = {&b.r, &b.x, &b.b};
        if (key == Tap)
            b.tap = *v;
        else
            *values[key] = *v;
        return true;
    }
    case MachineSection: {
        const auto v = number(line, name, text);
        if (!v) return false;
        Machine &m = m_grid.machines.back();
        double *const values[] = {&m.H, &m.xdPrime, &m.damping};
        *values[key] = *v;
        return true;
    }
    case FaultSection:
        return faultValue(line, key, text);
    }
    return true;
}

bool Parser::busValue(int line, int key, QByteArrayView text) {
    Bus &bus = m_grid.buses.back();
    if (key == Type) {
        for (BusType t : {BusType::Slack, BusType::PV, BusType::PQ})
            if (text == busTypeKey(t)) {
                bus.type = t;
                return true;
            }
        return fail(line, QStringLiteral("type = %1 is not a kind of bus: write slack, pv or pq.")
                              .arg(quotedText(text)));
    }
    if (key == Position) {
        const qsizetype comma = text.indexOf(',');
        const QByteArrayView x = trimmedBlanks(comma < 0 ? text : text.first(comma));
        const QByteArrayView y =
            comma < 0 ? QByteArrayView() : trimmedBlanks(text.sliced(comma + 1));
        if (comma < 0 || !isFileNumberText(x) || !isFileNumberText(y))
            return fail(line, QStringLiteral("position = %1 is not two numbers: write x, y such "
                                             "as 120, 40.")
                                  .arg(quotedText(text)));
        const auto vx = number(line, "position", x);
        const auto vy = vx ? number(line, "position", y) : std::nullopt;
        if (!vy) return false;
        bus.x = *vx;
        bus.y = *vy;
        return true;
    }
    const auto v = number(line, layout()[BusSection].keys[static_cast<std::size_t>(key)], text);
    if (!v) return false;
    double *const values[] = {nullptr,    &bus.voltage, &bus.angleDeg, &bus.generation,
                              &bus.loadP, &bus.loadQ,   &bus.shuntG,   &bus.shuntB};
    *values[key] = *v;
    return true;
}

bool Parser::faultValue(int line, int key, QByteArrayView text) {
    multimachine::FaultSpec &f = m_grid.fault;
    const char *name = layout()[FaultSection].keys[static_cast<std::size_t>(key)];
    switch (static_cast<FaultKey>(key)) {
    case FaultBus: {
        const auto bus = positiveWhole(text);
        if (!bus)
            return fail(line,
                        QStringLiteral("bus = %1 is not a bus number.").arg(quotedText(text)));
        f.bus = *bus;
        return true;
    }
    case FaultLine:
    case OpenLine: {
        const auto id = branchId(line, name, text);
        if (!id) return false;
        (key == FaultLine ? f.line : f.openLine) = *id;
        return true;
    }
    case Location: {
        const auto v = number(line, name, text);
        if (!v) return false;
        f.location = *v;
        return true;
    }
    case ClearMs: {
        const auto ms = milliseconds(line, name, text, 0, MaxNetworkClearingMs);
        if (!ms) return false;
        f.clearMs = *ms;
        return true;
    }
    case RecloseMs: {
        const auto ms = milliseconds(line, name, text, 1, MaxNetworkRecloseMs);
        if (!ms) return false;
        f.recloseMs = *ms;
        return true;
    }
    }
    return true;
}

void appendNumber(QByteArray &out, const char *name, double value) {
    appendKeyLine(out, name, csvNumber(value));
}

// A key whose value 0 the reader takes when it is left out.
void appendUnlessZero(QByteArray &out, const char *name, double value) {
    if (value != 0) appendNumber(out, name, value);
}

QByteArray branchText(const BranchId &id) {
    return QByteArray::fromStdString(multimachine::branchName(id));
}

} // namespace

NetworkFileResult parseNetwork(const QByteArray &bytes, const QString &fileName) {
    return Parser(fileName).parse(bytes);
}

NetworkFileResult readNetworkFile(const QString &path) {
    const SmallFile file = readSmallFile(path, MaxNetworkFileBytes);
    if (!file.ok) return NetworkFileResult::refused(file.error);
    return parseNetwork(file.bytes, file.name);
}

QByteArray networkText(const Grid &grid, const QByteArray &comments) {
    QByteArray out = commentsAndHeader(
        comments, "# A Dravex network: its buses, lines, machines and the fault studied\n");
    out += "\n[network]\n";
    appendNumber(out, "frequency", grid.frequency);
    appendNumber(out, "base_mva", grid.baseMva);
    for (const Bus &bus : grid.buses) {
        out += "\n[bus " + QByteArray::number(bus.number) + "]\n";
        appendKeyLine(out, "type", busTypeKey(bus.type));
        appendNumber(out, "voltage", bus.voltage);
        appendUnlessZero(out, "angle", bus.angleDeg);
        appendUnlessZero(out, "generation", bus.generation);
        appendUnlessZero(out, "load_p", bus.loadP);
        appendUnlessZero(out, "load_q", bus.loadQ);
        appendUnlessZero(out, "shunt_g", bus.shuntG);
        appendUnlessZero(out, "shunt_b", bus.shuntB);
        if (bus.x && bus.y)
            appendKeyLine(out, "position", csvNumber(*bus.x) + ", " + csvNumber(*bus.y));
    }
    for (const Branch &b : grid.branches) {
        out += "\n[line " + branchText({b.from, b.to, b.circuit}) + "]\n";
        appendUnlessZero(out, "r", b.r);
        appendNumber(out, "x", b.x);
        appendUnlessZero(out, "b", b.b);
        if (b.tap) appendNumber(out, "tap", *b.tap);
    }
    for (const Machine &m : grid.machines) {
        out += "\n[machine " + QByteArray::number(m.bus) + "]\n";
        appendNumber(out, "H", m.H);
        appendNumber(out, "xd_prime", m.xdPrime);
        appendNumber(out, "damping", m.damping);
    }
    const multimachine::FaultSpec &f = grid.fault;
    if (f.bus || f.line) {
        out += "\n[fault]\n";
        if (f.bus) {
            appendKeyLine(out, "bus", QByteArray::number(*f.bus));
        } else {
            appendKeyLine(out, "line", branchText(*f.line));
            appendNumber(out, "location", f.location);
        }
        appendKeyLine(out, "clear_ms", QByteArray::number(f.clearMs));
        if (f.openLine) appendKeyLine(out, "open_line", branchText(*f.openLine));
        if (f.recloseMs) appendKeyLine(out, "reclose_ms", QByteArray::number(*f.recloseMs));
    }
    return out;
}

bool writeNetworkFile(const QString &path, const Grid &grid, QString *error,
                      const QByteArray &comments) {
    // A file the program would refuse to read is not written.
    const std::string problem = multimachine::gridProblem(grid);
    if (!problem.empty())
        return refuseWriting(path, QString::fromStdString(problem) + QChar('.'), error);
    // Nor one the reader's own limits refuse (a clearing time out of range, a dead time
    // without a line to reclose, ...).
    const QByteArray text = networkText(grid, comments);
    if (text.size() <= MaxNetworkFileBytes) {
        const NetworkFileResult again = parseNetwork(text, messageName(path));
        if (!again.ok) return refuseWriting(path, again.error, error);
    }
    return writeReadableText(path, text, MaxNetworkFileBytes, error);
}

bool isNetworkFileName(const QString &path) {
    return path.endsWith(QLatin1String(".dravex-network"), Qt::CaseInsensitive);
}
