#include "lessonrecord.h"

#include "filenumber.h"
#include "keyfile.h"
#include "numberformat.h"

#include <cmath>
#include <QTextStream>
#include <set>

namespace {

const QByteArray Columns =
    "step,title,question,prediction,outcome,within_tolerance,seconds_to_predict";
constexpr int ColumnCount = 7;
const QByteArray FingerprintMark = "; lesson_sha256: ";
const QByteArray StudentMark = "; student: ";
const QByteArray ProgramMark = " lesson: ";

// "FILE, line N: what", one arg() for all so that a "%2" in a name stays as it is.
QString atLine(const QString &file, int line, const QString &what) {
    return QStringLiteral("%1, line %2: %3").arg(file, QString::number(line), what);
}

struct CsvRow {
    int line = 0;
    QList<QByteArray> cells;
};

// The rows of CSV text whose first line is `firstLine`: cells split at commas, a quoted
// cell may hold commas, line breaks and doubled quotes; CRLF line ends and blank lines
// are taken. False, with `problem` naming the line, for a quote the text leaves open or
// one that stands inside a cell.
bool splitCsv(QByteArrayView text, int firstLine, const QString &file, std::vector<CsvRow> &rows,
              QString &problem) {
    int line = firstLine;
    CsvRow row{line, {}};
    QByteArray cell;
    bool inQuotes = false, closedQuote = false;
    int quoteLine = 0;
    const auto endRow = [&] {
        row.cells.push_back(cell);
        if (row.cells.size() > 1 || !row.cells.front().isEmpty() || closedQuote)
            rows.push_back(std::move(row));
        cell.clear();
        closedQuote = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool crlf = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (inQuotes) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                inQuotes = false;
                closedQuote = true;
            } else if (!crlf) {
                if (c == '\n') ++line;
                cell += c;
            }
            continue;
        }
        if (c == '"') {
            if (!cell.isEmpty() || closedQuote) {
                problem = atLine(file, line,
                                 QStringLiteral("a quote inside a cell: a cell that holds one is "
                                                "written in quotes, its quotes doubled."));
                return false;
            }
            inQuotes = true;
            quoteLine = line;
        } else if (c == ',') {
            row.cells.push_back(cell);
            cell.clear();
            closedQuote = false;
        } else if (c == '\n') {
            endRow();
            row = CsvRow{++line, {}};
        } else if (!crlf) {
            if (closedQuote) {
                problem =
                    atLine(file, line, QStringLiteral("text after a quoted cell's closing quote."));
                return false;
            }
            cell += c;
        }
    }
    if (inQuotes) {
        problem =
            atLine(file, quoteLine, QStringLiteral("the quote that opens here is not closed."));
        return false;
    }
    endRow();
    return true;
}

bool isFingerprint(QByteArrayView text) {
    if (text.size() != 16) return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

// The first line: "# PROGRAM lesson: TITLE; student: NAME; lesson_sha256: HEX", taken
// from the right so that a title may hold "; ". A record written before records named
// their lesson ends after the name.
std::optional<QString> readFirstLine(QByteArray line, const QString &file, LessonRecord &record) {
    if (line.endsWith('\r')) line.chop(1);
    const qsizetype program = line.indexOf(ProgramMark);
    const qsizetype student = line.lastIndexOf(StudentMark);
    const auto isWord = [](QByteArrayView w) {
        if (w.isEmpty()) return false;
        for (const char c : w)
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
        return true;
    };
    if (!line.startsWith("# ") || program < 0 || student < program ||
        !isWord(QByteArrayView(line).sliced(2, program - 2)))
        return atLine(file, 1,
                      QStringLiteral("this is not a lesson record: a record's first line is \"# "
                                     "Dravex lesson: \" (or Selmex), the lesson's title, \"; "
                                     "student: \" and the name."));
    if (!isUtf8Text(line)) return atLine(file, 1, QStringLiteral("the text is not UTF-8."));
    const qsizetype fingerprint = line.lastIndexOf(FingerprintMark);
    if (fingerprint > student) {
        const QByteArray hex = line.mid(fingerprint + FingerprintMark.size());
        if (!isFingerprint(hex))
            return atLine(file, 1,
                          QStringLiteral("lesson_sha256 %1 is not the 16 hex digits a record "
                                         "names its lesson by.")
                              .arg(quotedText(hex)));
        record.fingerprint = QString::fromLatin1(hex);
        line.truncate(fingerprint);
    }
    record.program = QString::fromLatin1(line.mid(2, program - 2));
    const qsizetype titleStart = program + ProgramMark.size();
    record.title = QString::fromUtf8(line.mid(titleStart, student - titleStart));
    record.student = QString::fromUtf8(line.mid(student + StudentMark.size()));
    return std::nullopt;
}

std::optional<QString> readRow(const CsvRow &row, const QString &file, LessonRecordRow &out) {
    if (row.cells.size() != ColumnCount)
        return atLine(file, row.line,
                      QStringLiteral("the row has %1 cells, not the %2 of the record's columns.")
                          .arg(row.cells.size())
                          .arg(ColumnCount));
    for (const QByteArray &cell : row.cells)
        if (!isUtf8Text(cell))
            return atLine(file, row.line, QStringLiteral("the text is not UTF-8."));
    out.line = row.line;
    const QByteArray &step = row.cells[0];
    out.step = isWholeFileNumberText(step) ? wholeFileNumber(step) : 0;
    if (out.step < 1)
        return atLine(
            file, row.line,
            QStringLiteral("step %1 is not a step's number, 1 or more.").arg(quotedText(step)));
    out.question = QString::fromUtf8(row.cells[2]);
    out.prediction = QString::fromUtf8(row.cells[3]);
    const QByteArray &seconds = row.cells[6];
    if (!seconds.isEmpty()) {
        out.seconds = isFileNumberText(seconds) ? fileNumber(seconds) : std::nullopt;
        if (!out.seconds || !(*out.seconds >= 0))
            return atLine(file, row.line,
                          QStringLiteral("seconds_to_predict %1 is not a number of seconds, 0 or "
                                         "more.")
                              .arg(quotedText(seconds)));
    }
    return std::nullopt;
}

// A name a spreadsheet would take for a formula (=, +, -, @ first) is written after an
// apostrophe, so that opening a class's marks runs nothing a record put there.
QString cellSafeName(const QString &name) {
    if (!name.isEmpty() && QStringLiteral("=+-@").contains(name.front()))
        return QLatin1Char('\'') + name;
    return name;
}

} // namespace

LessonRecordResult parseLessonRecord(const QByteArray &bytes, const QString &fileName) {
    const QString file = shownText(fileName, 1000);
    QByteArrayView text = bytes;
    if (text.startsWith("\xEF\xBB\xBF")) text = text.sliced(3);
    const qsizetype firstEnd = text.indexOf('\n');
    LessonRecord record;
    record.fileName = file;
    if (const auto why = readFirstLine(
            text.first(firstEnd < 0 ? text.size() : firstEnd).toByteArray(), file, record))
        return LessonRecordResult::refused(*why);
    std::vector<CsvRow> rows;
    QString problem;
    if (firstEnd < 0 || !splitCsv(text.sliced(firstEnd + 1), 2, file, rows, problem)) {
        if (problem.isEmpty())
            problem = QStringLiteral("%1: the record has no line of columns.").arg(file);
        return LessonRecordResult::refused(problem);
    }
    if (rows.empty() || rows.front().cells.join(',') != Columns)
        return LessonRecordResult::refused(atLine(
            file, rows.empty() ? 2 : rows.front().line,
            QStringLiteral("the record's columns are to be \"%1\".").arg(QLatin1String(Columns))));
    std::set<int> steps;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        LessonRecordRow row;
        if (const auto why = readRow(rows[i], file, row)) return LessonRecordResult::refused(*why);
        if (!steps.insert(row.step).second)
            return LessonRecordResult::refused(
                atLine(file, row.line, QStringLiteral("step %1 has a row already.").arg(row.step)));
        record.rows.push_back(std::move(row));
    }
    return LessonRecordResult::read({std::move(record)});
}

LessonRecordResult readLessonRecordFile(const QString &path) {
    const SmallFile file = readSmallFile(path, MaxLessonRecordBytes);
    if (!file.ok) return LessonRecordResult::refused(file.error);
    if (file.bytes.size() > MaxLessonRecordBytes)
        return LessonRecordResult::refused(
            QStringLiteral("%1: the file is over 1 MiB, too large for a lesson record.")
                .arg(shownText(path, 1000)));
    return parseLessonRecord(file.bytes, path);
}

std::optional<QString> markRecord(const LessonOutline &lesson, const LessonRecord &record,
                                  StudentMarks &marks) {
    const QString &file = record.fileName;
    if (record.program != lesson.program)
        return QStringLiteral("%1 is a record of a %2 lesson, not of a %3 lesson.")
            .arg(file, record.program, lesson.program);
    if (record.fingerprint.isEmpty())
        return QStringLiteral("%1 names no lesson_sha256 on its first line: it cannot be told "
                              "from a record of another lesson.")
            .arg(file);
    if (record.fingerprint != lesson.fingerprint)
        return QStringLiteral(
                   "%1 is a record of another lesson (lesson_sha256 %2, this lesson %3).")
            .arg(file, record.fingerprint, lesson.fingerprint);
    StudentMarks m;
    m.student = record.student;
    m.steps.assign(lesson.steps.size(), std::nullopt);
    for (const LessonRecordRow &row : record.rows) {
        const auto refuse = [&](const QString &what) { return atLine(file, row.line, what); };
        if (row.step > int(lesson.steps.size()))
            return refuse(QStringLiteral("step %1 is not a step of the lesson: it has %2.")
                              .arg(row.step)
                              .arg(lesson.steps.size()));
        const std::optional<OutlineQuestion> &q = lesson.steps[std::size_t(row.step - 1)].question;
        if (!q)
            return refuse(QStringLiteral("step %1 asks no question in the lesson.").arg(row.step));
        if (row.question != q->askName)
            return refuse(
                QStringLiteral("step %1 asks %2 in the lesson, not %3.")
                    .arg(QString::number(row.step), q->askName, quotedText(row.question.toUtf8())));
        if (row.prediction.isEmpty()) continue;
        std::optional<double> prediction;
        if (q->isChoice()) {
            const qsizetype index = q->choices.indexOf(row.prediction);
            if (index < 0)
                return refuse(QStringLiteral("the prediction %1 is none of the question's "
                                             "choices (%2).")
                                  .arg(quotedText(row.prediction.toUtf8()),
                                       q->choices.join(QStringLiteral(", "))));
            prediction = double(index);
        } else {
            const QByteArray number = row.prediction.toUtf8();
            prediction = isFileNumberText(number) ? fileNumber(number) : std::nullopt;
            if (!prediction || !std::isfinite(*prediction))
                return refuse(QStringLiteral("the prediction %1 is not a number written with "
                                             "digits and a full stop.")
                                  .arg(quotedText(number)));
        }
        const bool right = outlinePredictionRight(*q, *prediction);
        m.steps[std::size_t(row.step - 1)] = right ? 1 : 0;
        if (right) ++m.right;
        m.secondsToPredict += row.seconds.value_or(0);
    }
    marks = std::move(m);
    return std::nullopt;
}

QByteArray marksCsv(const LessonOutline &lesson, const std::vector<StudentMarks> &marks) {
    QByteArray out = "student";
    for (std::size_t i = 0; i < lesson.steps.size(); ++i)
        out += ",step_" + QByteArray::number(qulonglong(i) + 1);
    out += ",right,asked,seconds_to_predict_total\n";
    for (const StudentMarks &m : marks) {
        appendCsvText(out, cellSafeName(m.student));
        for (std::size_t i = 0; i < lesson.steps.size(); ++i) {
            out += ',';
            if (i < m.steps.size() && m.steps[i]) out += QByteArray::number(*m.steps[i]);
        }
        out += ',' + QByteArray::number(m.right) + ',' +
               QByteArray::number(lesson.questionCount()) + ',';
        // Tenths of a second, as the records give each pause.
        appendCsvNumber(out, std::round(m.secondsToPredict * 10) / 10);
        out += '\n';
    }
    return out;
}

int runLessonMarks(const LessonOutline &lesson, const QStringList &recordPaths, QTextStream &out,
                   QTextStream &err) {
    const QString program = lesson.program.toLower() + QStringLiteral(": ");
    std::vector<StudentMarks> marked;
    bool refused = false;
    for (const QString &path : recordPaths) {
        const LessonRecordResult read = readLessonRecordFile(path);
        StudentMarks marks;
        std::optional<QString> why = read.ok ? markRecord(lesson, read.record, marks) : read.error;
        if (why) {
            err << program << *why << '\n';
            refused = true;
            continue;
        }
        marked.push_back(std::move(marks));
    }
    out << QString::fromUtf8(marksCsv(lesson, marked));
    return refused ? 1 : 0;
}
