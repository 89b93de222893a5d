#include "matpowercase.h"

#include "filenumber.h"
#include "gridlines.h"
#include "keyfile.h"

#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <QByteArrayView>
#include <vector>

using multimachine::Branch;
using multimachine::Bus;
using multimachine::BusType;
using multimachine::Grid;
using multimachine::Machine;

namespace {

// The columns used, counted from 0 (MATPOWER's manual, appendix B).
enum BusColumn { BusI, BusTypeColumn, Pd, Qd, Gs, Bs, Area, Vm, Va, BusColumns = 13 };
enum GenColumn { GenBus, Pg, Qg, Qmax, Qmin, Vg, Mbase, GenStatus, GenColumns = 10 };
enum BranchColumn {
    FBus,
    TBus,
    BrR,
    BrX,
    BrB,
    RateA,
    RateB,
    RateC,
    Ratio,
    Shift,
    BrStatus,
    BranchColumns = 11
};

constexpr double MachineH = 5;         // s, on the machine's own base
constexpr double MachineXdPrime = 0.3; // pu, on the machine's own base
constexpr int MostCommentLines = 40;

struct Row {
    int line = 0;
    std::vector<double> values;
};

struct Matrix {
    Matrix(const char *name, int most) : name(name), most(most) {}
    const char *name;
    int most;     // rows
    int line = 0; // of "mpc.NAME = [", 0 when the case has none
    std::vector<Row> rows;
};

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isBlankOrComma(char c) {
    return c == ' ' || c == '\t' || c == ',';
}

// The line without its comment: from a % outside a quoted text on.
QByteArrayView withoutComment(QByteArrayView text) {
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\'') quoted = !quoted;
        if (text[i] == '%' && !quoted) return text.first(i);
    }
    return text;
}

// A number of a matrix: as in the scenario files, or Inf, -Inf and NaN as MATLAB writes
// them (in columns that are not used, such as a generator's limits).
std::optional<double> matrixNumber(QByteArrayView t) {
    if (isFileNumberText(t)) return fileNumber(t);
    const bool minus = t.startsWith('-');
    if (minus || t.startsWith('+')) t = t.sliced(1);
    if (t == "Inf" || t == "inf")
        return minus ? -std::numeric_limits<double>::infinity()
                     : std::numeric_limits<double>::infinity();
    if (t == "NaN" || t == "nan") return std::numeric_limits<double>::quiet_NaN();
    return std::nullopt;
}

class CaseReader {
public:
    explicit CaseReader(const QString &fileName)
        : m_file(fileName, {}), m_fileName(shownText(fileName, 200)) {}
    NetworkFileResult read(QByteArrayView bytes);

private:
    bool fail(int line, const QString &what) { return m_file.fail(line, what); }
    bool line(int number, QByteArrayView text);
    bool statement(int number, QByteArrayView text);
    bool matrixText(int number, QByteArrayView text);
    bool rowEnd(int number);
    bool blockEnd(int number, QByteArrayView rest);
    // The whole bus or generator number in `column` of a row, or nothing after refusing.
    std::optional<int> wholeNumber(const Row &row, int column, const char *what);
    bool finiteColumns(const Matrix &m, const Row &row, std::initializer_list<int> columns);
    bool buses();
    bool generators();
    bool branches();
    void defaultFault();
    QByteArray comments(QByteArrayView bytes) const;

    KeyFile m_file; // for its messages
    QString m_fileName;
    Matrix m_bus{"bus", MaxNetworkBuses};
    Matrix m_gen{"gen", MaxNetworkBranches};
    Matrix m_branch{"branch", MaxNetworkBranches};
    std::optional<double> m_baseMva;
    int m_baseMvaLine = 0;
    bool m_version = false;

    // Inside "[ ... ]" (the matrix read, or none for one passed over) or "{ ... }".
    enum class Block { None, Matrix, Passed };
    Block m_block = Block::None;
    char m_closing = ']';
    int m_blockLine = 0;
    Matrix *m_matrix = nullptr;
    Row m_row;

    Grid m_grid;
    GridLines m_lines;
};

NetworkFileResult CaseReader::read(QByteArrayView bytes) {
    if (bytes.size() > MaxNetworkFileBytes) {
        fail(0, QStringLiteral("the file is over 256 KiB, too large for a case to read."));
        return NetworkFileResult::refused(m_file.error());
    }
    const bool read = forEachTextLine(
        bytes, [this](int number, QByteArrayView text) { return line(number, text); });
    if (!read) return NetworkFileResult::refused(m_file.error());
    if (m_block != Block::None) {
        fail(m_blockLine, QStringLiteral("what starts here is not closed with \"%1\".")
                              .arg(QChar::fromLatin1(m_closing)));
        return NetworkFileResult::refused(m_file.error());
    }
    if (!m_version) {
        fail(0, QStringLiteral("the case does not say mpc.version = '2': the reader takes "
                               "MATPOWER's version 2 cases."));
        return NetworkFileResult::refused(m_file.error());
    }
    if (!m_baseMva) {
        fail(0, QStringLiteral("the case has no mpc.baseMVA."));
        return NetworkFileResult::refused(m_file.error());
    }
    for (const Matrix *m : {&m_bus, &m_gen, &m_branch})
        if (m->rows.empty()) {
            fail(m->line,
                 QStringLiteral("the case has no rows of mpc.%1.").arg(QLatin1String(m->name)));
            return NetworkFileResult::refused(m_file.error());
        }
    m_grid.baseMva = *m_baseMva;
    m_grid.frequency = 60;
    m_lines.network = m_baseMvaLine;
    if (!buses() || !generators() || !branches()) return NetworkFileResult::refused(m_file.error());
    defaultFault();
    const std::string problem = multimachine::gridProblem(m_grid);
    if (!problem.empty()) {
        fail(m_lines.lineOf(m_grid, problem), QString::fromStdString(problem) + QChar('.'));
        return NetworkFileResult::refused(m_file.error());
    }
    return NetworkFileResult::read({m_grid, comments(bytes)});
}

bool CaseReader::line(int number, QByteArrayView text) {
    if (!isUtf8Text(text)) return fail(number, QStringLiteral("the text is not UTF-8."));
    text = trimmedBlanks(withoutComment(text));
    switch (m_block) {
    case Block::None:
        return statement(number, text);
    case Block::Matrix:
        return matrixText(number, text);
    case Block::Passed: {
        const qsizetype end = text.indexOf(m_closing);
        return end < 0 || blockEnd(number, text.sliced(end + 1));
    }
    }
    return true;
}

bool CaseReader::statement(int number, QByteArrayView text) {
    if (text.isEmpty() || text.startsWith("function ") || text == "function") return true;
    const auto notAStatement = [&] {
        return fail(number, QStringLiteral("%1 is not what a MATPOWER case holds here (function "
                                           "mpc = NAME, mpc.NAME = ..., or a matrix's row); a "
                                           "case that computes its values is not read.")
                                .arg(quotedText(text)));
    };
    if (!text.startsWith("mpc.")) return notAStatement();
    qsizetype end = 4;
    while (end < text.size() && isNameChar(text[end])) ++end;
    const QByteArrayView name = text.sliced(4, end - 4);
    QByteArrayView rest = trimmedBlanks(text.sliced(end));
    if (name.isEmpty() || !rest.startsWith('=')) return notAStatement();
    rest = trimmedBlanks(rest.sliced(1));

    if (rest.startsWith('[') || rest.startsWith('{')) {
        m_closing = rest.startsWith('[') ? ']' : '}';
        m_blockLine = number;
        m_matrix = nullptr;
        for (Matrix *m : {&m_bus, &m_gen, &m_branch})
            if (m_closing == ']' && name == m->name) m_matrix = m;
        if (m_matrix && m_matrix->line)
            return fail(number, QStringLiteral("mpc.%1 is given twice (first on line %2).")
                                    .arg(QLatin1String(m_matrix->name))
                                    .arg(m_matrix->line));
        if (m_matrix) m_matrix->line = number;
        m_block = m_matrix ? Block::Matrix : Block::Passed;
        return line(number, rest.sliced(1));
    }
    if (rest.endsWith(';')) rest = trimmedBlanks(rest.first(rest.size() - 1));
    if (name == "version") {
        if (rest != "'2'")
            return fail(number, QStringLiteral("mpc.version = %1: the reader takes MATPOWER's "
                                               "version 2 cases, mpc.version = '2'.")
                                    .arg(quotedText(rest)));
        m_version = true;
    } else if (name == "baseMVA") {
        QString problem;
        m_baseMva = keyFileNumber("mpc.baseMVA", rest, "100", problem);
        if (!m_baseMva) return fail(number, problem);
        if (*m_baseMva <= 0)
            return fail(number, QStringLiteral("mpc.baseMVA must be greater than 0."));
        m_baseMvaLine = number;
    }
    return true;
}

bool CaseReader::matrixText(int number, QByteArrayView text) {
    qsizetype i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (isBlankOrComma(c)) {
            ++i;
        } else if (c == ';') {
            if (!rowEnd(number)) return false;
            ++i;
        } else if (c == ']') {
            return rowEnd(number) && blockEnd(number, text.sliced(i + 1));
        } else if (text.sliced(i).startsWith("...")) {
            return true; // the row goes on on the next line
        } else {
            qsizetype end = i;
            while (end < text.size() && !isBlankOrComma(text[end]) && text[end] != ';' &&
                   text[end] != ']')
                ++end;
            const QByteArrayView token = text.sliced(i, end - i);
            const std::optional<double> v = matrixNumber(token);
            if (!v)
                return fail(number, QStringLiteral("%1 in mpc.%2 is not a number.")
                                        .arg(quotedText(token), QLatin1String(m_matrix->name)));
            if (m_row.values.empty()) m_row.line = number;
            if (m_row.values.size() == 100)
                return fail(number, QStringLiteral("a row of mpc.%1 has more than 100 numbers.")
                                        .arg(QLatin1String(m_matrix->name)));
            m_row.values.push_back(*v);
            i = end;
        }
    }
    return rowEnd(number); // a line's end ends a row too
}

bool CaseReader::rowEnd(int number) {
    if (m_row.values.empty()) return true;
    std::vector<Row> &rows = m_matrix->rows;
    if (!rows.empty() && rows.front().values.size() != m_row.values.size())
        return fail(m_row.line, QStringLiteral("this row of mpc.%1 has %2 numbers, its first row "
                                               "(line %3) %4.")
                                    .arg(QLatin1String(m_matrix->name))
                                    .arg(m_row.values.size())
                                    .arg(rows.front().line)
                                    .arg(rows.front().values.size()));
    if (rows.size() == static_cast<std::size_t>(m_matrix->most))
        return fail(number, QStringLiteral("mpc.%1 has more than %2 rows, more than the program "
                                           "takes.")
                                .arg(QLatin1String(m_matrix->name))
                                .arg(m_matrix->most));
    rows.push_back(std::move(m_row));
    m_row = Row();
    return true;
}

bool CaseReader::blockEnd(int number, QByteArrayView rest) {
    m_block = Block::None;
    rest = trimmedBlanks(rest);
    if (!rest.isEmpty() && rest != ";")
        return fail(number, QStringLiteral("%1 after \"%2\" is not what a MATPOWER case holds.")
                                .arg(quotedText(rest), QChar::fromLatin1(m_closing)));
    return true;
}

std::optional<int> CaseReader::wholeNumber(const Row &row, int column, const char *what) {
    const double v = row.values[static_cast<std::size_t>(column)];
    if (!(v >= 1 && v <= 999999999 && v == std::floor(v))) {
        fail(row.line,
             QStringLiteral("%1 is not a %2 number.").arg(QString::number(v), QLatin1String(what)));
        return std::nullopt;
    }
    return static_cast<int>(v);
}

bool CaseReader::finiteColumns(const Matrix &m, const Row &row,
                               std::initializer_list<int> columns) {
    for (const int c : columns)
        if (!std::isfinite(row.values[static_cast<std::size_t>(c)]))
            return fail(row.line, QStringLiteral("column %1 of mpc.%2 must be a finite number.")
                                      .arg(c + 1)
                                      .arg(QLatin1String(m.name)));
    return true;
}

bool CaseReader::buses() {
    if (m_bus.rows.front().values.size() < BusColumns)
        return fail(m_bus.rows.front().line,
                    QStringLiteral("mpc.bus needs %1 columns, BUS_I to VMIN.").arg(BusColumns));
    const double base = *m_baseMva;
    for (const Row &row : m_bus.rows) {
        const auto number = wholeNumber(row, BusI, "bus");
        if (!number || !finiteColumns(m_bus, row, {BusTypeColumn, Pd, Qd, Gs, Bs, Vm, Va}))
            return false;
        if (const auto [at, added] = m_lines.buses.emplace(*number, row.line); !added)
            return fail(row.line, QStringLiteral("bus %1 is given twice (first on line %2).")
                                      .arg(*number)
                                      .arg(at->second));
        const double type = row.values[BusTypeColumn];
        if (type == 4)
            return fail(row.line, QStringLiteral("bus %1 is isolated (type 4): take it out of "
                                                 "the case, with its branches and generators.")
                                      .arg(*number));
        if (type != 1 && type != 2 && type != 3)
            return fail(row.line, QStringLiteral("bus %1 has type %2: a bus is of type 1 (PQ), "
                                                 "2 (PV) or 3 (the slack).")
                                      .arg(*number)
                                      .arg(QString::number(type)));
        Bus bus;
        bus.number = *number;
        bus.type = type == 3 ? BusType::Slack : type == 2 ? BusType::PV : BusType::PQ;
        bus.loadP = row.values[Pd] / base;
        bus.loadQ = row.values[Qd] / base;
        bus.shuntG = row.values[Gs] / base;
        bus.shuntB = row.values[Bs] / base;
        bus.voltage = row.values[Vm];
        bus.angleDeg = row.values[Va];
        m_grid.buses.push_back(bus);
    }
    return true;
}

bool CaseReader::generators() {
    if (m_gen.rows.front().values.size() < GenColumns)
        return fail(m_gen.rows.front().line,
                    QStringLiteral("mpc.gen needs %1 columns, GEN_BUS to PMIN.").arg(GenColumns));
    const double base = *m_baseMva;
    struct AtBus {
        double p = 0, q = 0, mbase = 0;
        std::optional<double> setVoltage;
        int line = 0;
    };
    std::map<int, AtBus> inService;
    for (const Row &row : m_gen.rows) {
        const auto number = wholeNumber(row, GenBus, "bus");
        if (!number || !finiteColumns(m_gen, row, {Pg, Qg, Vg, Mbase, GenStatus})) return false;
        if (!m_lines.buses.count(*number))
            return fail(row.line, QStringLiteral("the generator is at bus %1, which mpc.bus does "
                                                 "not have.")
                                      .arg(*number));
        if (row.values[GenStatus] <= 0) continue;
        const double mbase = row.values[Mbase];
        if (mbase < 0)
            return fail(
                row.line,
                QStringLiteral("the generator at bus %1 has a negative MBASE.").arg(*number));
        AtBus &at = inService[*number];
        at.p += row.values[Pg];
        at.q += row.values[Qg];
        at.mbase += mbase > 0 ? mbase : base;
        if (!at.setVoltage) at.setVoltage = row.values[Vg];
        if (!at.line) at.line = row.line;
    }
    for (Bus &bus : m_grid.buses) {
        const auto found = inService.find(bus.number);
        if (found == inService.end()) {
            // MATPOWER's load flow takes a PV bus without a generator as PQ.
            if (bus.type == BusType::PV) bus.type = BusType::PQ;
            continue;
        }
        const AtBus &at = found->second;
        if (bus.type == BusType::PQ) {
            bus.loadP -= at.p / base;
            bus.loadQ -= at.q / base;
            continue;
        }
        bus.voltage = *at.setVoltage;
        if (bus.type == BusType::PV) bus.generation = at.p / base;
        // H and x'd on the machine's base MBASE brought to the system base: the kinetic
        // energy H S is the same on either base, and an impedance scales with the base.
        Machine machine;
        machine.bus = bus.number;
        machine.H = MachineH * at.mbase / base;
        machine.xdPrime = MachineXdPrime * base / at.mbase;
        m_grid.machines.push_back(machine);
        m_lines.machines[bus.number] = at.line;
    }
    return true;
}

bool CaseReader::branches() {
    if (m_branch.rows.front().values.size() < BranchColumns)
        return fail(
            m_branch.rows.front().line,
            QStringLiteral("mpc.branch needs %1 columns, F_BUS to BR_STATUS.").arg(BranchColumns));
    std::map<std::pair<int, int>, int> circuits;
    for (const Row &row : m_branch.rows) {
        const auto from = wholeNumber(row, FBus, "bus");
        const auto to = from ? wholeNumber(row, TBus, "bus") : std::nullopt;
        if (!to || !finiteColumns(m_branch, row, {BrStatus})) return false;
        if (row.values[BrStatus] == 0) continue;
        if (!finiteColumns(m_branch, row, {BrR, BrX, BrB, Ratio, Shift})) return false;
        const QString name = QStringLiteral("%1-%2").arg(*from).arg(*to);
        for (const int bus : {*from, *to})
            if (!m_lines.buses.count(bus))
                return fail(row.line, QStringLiteral("branch %1 ends at bus %2, which mpc.bus "
                                                     "does not have.")
                                          .arg(name)
                                          .arg(bus));
        if (row.values[Shift] != 0)
            return fail(row.line,
                        QStringLiteral("branch %1 shifts the phase by %2\u00b0: the model "
                                       "has no phase-shifting transformers; set its "
                                       "SHIFT to 0 or take the branch out.")
                            .arg(name, QString::number(row.values[Shift])));
        int &circuit = circuits[{std::min(*from, *to), std::max(*from, *to)}];
        if (++circuit > 99)
            return fail(row.line, QStringLiteral("branch %1 is the 100th between its buses, more "
                                                 "than the program takes.")
                                      .arg(name));
        Branch branch;
        branch.from = *from;
        branch.to = *to;
        branch.circuit = circuit;
        branch.r = row.values[BrR];
        branch.x = row.values[BrX];
        branch.b = row.values[BrB];
        if (row.values[Ratio] != 0) branch.tap = row.values[Ratio];
        m_grid.branches.push_back(branch);
        m_lines.branches.push_back(row.line);
    }
    return true;
}

void CaseReader::defaultFault() {
    m_grid.fault = multimachine::FaultSpec();
    m_grid.fault.bus = m_grid.buses.front().number;
    for (const Bus &bus : m_grid.buses)
        if (bus.type == BusType::PQ) {
            m_grid.fault.bus = bus.number;
            break;
        }
    m_grid.fault.clearMs = MatpowerFaultClearMs;
}

// The comment block for a network file made of the case: where it came from, the case's
// own first comment lines, and what is still to fill in.
QByteArray CaseReader::comments(QByteArrayView bytes) const {
    QByteArray block = "# From the MATPOWER case " + m_fileName.toUtf8() + '\n';
    int taken = 0;
    forEachTextLine(bytes, [&](int, QByteArrayView text) {
        text = trimmedBlanks(text);
        if (text.isEmpty() || text.startsWith("function")) return taken == 0;
        if (!text.startsWith('%')) return false;
        while (text.startsWith('%')) text = text.sliced(1);
        block += "#" + QByteArray(text.data(), text.size()) + '\n';
        return ++taken < MostCommentLines;
    });
    block += "# Each machine has H 5 s and x'd 0.3 on its own base (MBASE), converted to the "
             "system base: put in its own data.\n";
    return block;
}

} // namespace

NetworkFileResult parseMatpowerCase(const QByteArray &bytes, const QString &fileName) {
    return CaseReader(fileName).read(bytes);
}

NetworkFileResult readMatpowerCase(const QString &path) {
    const SmallFile file = readSmallFile(path, MaxNetworkFileBytes);
    if (!file.ok) return NetworkFileResult::refused(file.error);
    return parseMatpowerCase(file.bytes, file.name);
}

bool isMatpowerFileName(const QString &path) {
    return path.endsWith(QLatin1String(".m"), Qt::CaseInsensitive);
}
