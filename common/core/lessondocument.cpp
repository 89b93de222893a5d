#include "lessondocument.h"

#include "keyfile.h"

#include <map>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <utility>

namespace {

// Where the reader stands between blocks.
enum class Part { BeforeTitle, Introduction, StepText, AfterRun };

enum class Block { Plain, Scenario, Predict };

// A fence that opens or closes a code block: three or more backticks or tildes, indented
// by at most three spaces, and for an opening one the block's name.
struct Fence {
    char mark = '`';
    qsizetype length = 0;
    QByteArrayView name;
};

std::optional<Fence> fenceOf(QByteArrayView line) {
    qsizetype at = 0;
    while (at < line.size() && at < 3 && line[at] == ' ') ++at;
    if (at >= line.size() || (line[at] != '`' && line[at] != '~')) return std::nullopt;
    Fence fence;
    fence.mark = line[at];
    const qsizetype start = at;
    while (at < line.size() && line[at] == fence.mark) ++at;
    fence.length = at - start;
    if (fence.length < 3) return std::nullopt;
    QByteArrayView info = trimmedBlanks(line.sliced(at));
    const qsizetype blank = [&] {
        for (qsizetype i = 0; i < info.size(); ++i)
            if (info[i] == ' ' || info[i] == '\t') return i;
        return info.size();
    }();
    fence.name = info.first(blank);
    return fence;
}

// An ATX heading: its level, 1 to 6, and its text without the closing hashes.
struct Heading {
    int level = 0;
    QByteArrayView text;
};

std::optional<Heading> headingOf(QByteArrayView line) {
    qsizetype at = 0;
    while (at < line.size() && at < 3 && line[at] == ' ') ++at;
    const qsizetype start = at;
    while (at < line.size() && line[at] == '#') ++at;
    const int level = int(at - start);
    if (level < 1 || level > 6) return std::nullopt;
    if (at < line.size() && line[at] != ' ' && line[at] != '\t') return std::nullopt;
    QByteArrayView text = trimmedBlanks(line.sliced(at));
    // A closing sequence of hashes after a blank is not part of the text.
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == '#') --end;
    if (end == 0 || text[end - 1] == ' ' || text[end - 1] == '\t')
        text = trimmedBlanks(text.first(end));
    return Heading{level, text};
}

bool isAfterRunHeading(const Heading &h) {
    return h.level == 3 && QString::fromUtf8(h.text).compare(QLatin1String("After the run"),
                                                             Qt::CaseInsensitive) == 0;
}

// A line's code spans, between runs of backticks of the same length, blanked: what they
// hold is text, not a picture.
QByteArray withoutCodeSpans(QByteArrayView line) {
    QByteArray out = line.toByteArray();
    qsizetype at = 0;
    while (at < out.size()) {
        if (out[at] != '`') {
            ++at;
            continue;
        }
        qsizetype run = at;
        while (run < out.size() && out[run] == '`') ++run;
        const QByteArray ticks(run - at, '`');
        qsizetype close = out.indexOf(ticks, run);
        // A longer run does not close it.
        while (close >= 0 && close + ticks.size() < out.size() && out[close + ticks.size()] == '`')
            close = out.indexOf(ticks, close + ticks.size() + 1);
        if (close < 0) break;
        for (qsizetype i = at; i < close + ticks.size(); ++i) out[i] = ' ';
        at = close + ticks.size();
    }
    return out;
}

// A reference's label as Markdown matches it: case and runs of blanks do not count.
QByteArray referenceLabel(QByteArrayView label) {
    return label.toByteArray().simplified().toLower();
}

// The end of a bracketed text that opens at `open` ('['), nested brackets and escapes
// allowed; -1 when it does not close on the line.
qsizetype closingBracket(QByteArrayView line, qsizetype open) {
    int depth = 0;
    for (qsizetype i = open; i < line.size(); ++i) {
        if (line[i] == '\\') {
            ++i;
        } else if (line[i] == '[') {
            ++depth;
        } else if (line[i] == ']' && --depth == 0) {
            return i;
        }
    }
    return -1;
}

// An inline link's destination after its '(' at `open`: in angle brackets, or up to a
// blank or the unmatched ')'.
QByteArrayView destinationAfter(QByteArrayView line, qsizetype open) {
    qsizetype at = open + 1;
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    if (at < line.size() && line[at] == '<') {
        const qsizetype end = line.indexOf('>', at + 1);
        return end < 0 ? line.sliced(at + 1) : line.sliced(at + 1, end - at - 1);
    }
    const qsizetype start = at;
    int depth = 0;
    for (; at < line.size(); ++at) {
        const char c = line[at];
        if (c == ' ' || c == '\t') break;
        if (c == '\\') {
            ++at;
            continue;
        }
        if (c == '(') ++depth;
        if (c == ')' && depth-- == 0) break;
    }
    return line.sliced(start, std::min(at, line.size()) - start);
}

// The pictures of a line: an inline one's destination, or a reference's label to look up.
struct PictureUse {
    bool reference = false;
    QByteArray text; // the destination, or the reference's label
};

std::vector<PictureUse> picturesOf(QByteArrayView text) {
    const QByteArray line = withoutCodeSpans(text);
    std::vector<PictureUse> found;
    qsizetype at = 0;
    while ((at = line.indexOf("![", at)) >= 0) {
        if (at > 0 && line[at - 1] == '\\') {
            at += 2;
            continue;
        }
        const qsizetype close = closingBracket(line, at + 1);
        if (close < 0) break;
        const QByteArrayView alt = QByteArrayView(line).sliced(at + 2, close - at - 2);
        if (close + 1 < line.size() && line[close + 1] == '(') {
            found.push_back(
                {false, trimmedBlanks(destinationAfter(line, close + 1)).toByteArray()});
        } else if (close + 1 < line.size() && line[close + 1] == '[') {
            const qsizetype end = closingBracket(line, close + 1);
            const QByteArrayView label =
                end < 0 ? QByteArrayView()
                        : QByteArrayView(line).sliced(close + 2, end - close - 2);
            found.push_back({true, referenceLabel(label.isEmpty() ? alt : label)});
        } else {
            found.push_back({true, referenceLabel(alt)});
        }
        at = close + 1;
    }
    return found;
}

// A link reference definition, "[label]: destination", indented by at most three spaces.
std::optional<std::pair<QByteArray, QByteArray>> referenceDefinition(QByteArrayView line) {
    qsizetype at = 0;
    while (at < line.size() && at < 3 && line[at] == ' ') ++at;
    if (at >= line.size() || line[at] != '[') return std::nullopt;
    const qsizetype close = closingBracket(line, at);
    if (close < 0 || close + 1 >= line.size() || line[close + 1] != ':') return std::nullopt;
    const QByteArrayView label = line.sliced(at + 1, close - at - 1);
    QByteArrayView rest = trimmedBlanks(line.sliced(close + 2));
    if (rest.startsWith('<')) {
        const qsizetype end = rest.indexOf('>');
        rest = end < 0 ? rest.sliced(1) : rest.sliced(1, end - 1);
    } else {
        qsizetype end = 0;
        while (end < rest.size() && rest[end] != ' ' && rest[end] != '\t') ++end;
        rest = rest.first(end);
    }
    return std::make_pair(referenceLabel(label), rest.toByteArray());
}

// Why the picture at `destination` cannot be shown from the lesson's folder, or nothing:
// it is to be a file in that folder or one below it, named by a path relative to the
// lesson, and no larger than the pane reads. `folder` is canonical; empty for a lesson
// that comes from no folder.
std::optional<QString> pictureProblem(const QByteArray &destination, const QString &folder) {
    const QString named = quotedText(destination);
    if (destination.isEmpty()) return QStringLiteral("a picture names no file.");
    const QUrl url(QString::fromUtf8(destination));
    if (!url.isValid()) return QStringLiteral("the picture %1 is no file's path.").arg(named);
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("file"))
        return QStringLiteral("the picture %1 is a file address: name the picture by its path "
                              "from the lesson's folder, such as figures/areas.png.")
            .arg(named);
    if (!scheme.isEmpty() || !url.host().isEmpty() || destination.startsWith("//") ||
        destination.startsWith("\\\\"))
        return QStringLiteral("the picture %1 is an address on the network: a lesson's "
                              "pictures come from its own folder, copied with it.")
            .arg(named);
    if (url.path().startsWith(QLatin1Char('/')) || url.path().startsWith(QLatin1Char('\\')))
        return QStringLiteral("the picture %1 is a path from the root: name it by its path from "
                              "the lesson's folder, such as figures/areas.png.")
            .arg(named);
    if (folder.isEmpty())
        return QStringLiteral("the picture %1 has no lesson folder to come from.").arg(named);
    const QString path =
        QDir::cleanPath(QUrl::fromLocalFile(folder + QLatin1Char('/')).resolved(url).toLocalFile());
    const QString inside = folder + QLatin1Char('/');
    if (!path.startsWith(inside))
        return QStringLiteral("the picture %1 lies outside the lesson's folder: a lesson's "
                              "pictures lie in its folder or a folder below it.")
            .arg(named);
    const QFileInfo info(path);
    if (!info.isFile())
        return QStringLiteral("the picture %1 is not there: copy it into the lesson's folder.")
            .arg(named);
    // A link inside the folder that leads out of it.
    if (!info.canonicalFilePath().startsWith(inside))
        return QStringLiteral("the picture %1 lies outside the lesson's folder: a lesson's "
                              "pictures lie in its folder or a folder below it.")
            .arg(named);
    if (info.size() > MaxLessonPictureBytes)
        return QStringLiteral("the picture %1 is over 16 MiB, too large for a lesson.").arg(named);
    return std::nullopt;
}

// Markdown text with its blank lines at either end left out.
std::string trimmedText(const QByteArray &text) {
    QByteArray t = text;
    while (t.startsWith('\n')) t.remove(0, 1);
    while (t.endsWith('\n')) t.chop(1);
    return t.toStdString();
}

class LessonReader {
public:
    LessonReader(const QString &fileName, QString folder, const LessonBlockReaders &blocks)
        : m_folder(std::move(folder)), m_file(fileName, {}), m_blocks(blocks) {}

    LessonDocumentResult read(QByteArrayView bytes);

private:
    bool fail(int line, const QString &what) {
        m_file.fail(line, what);
        m_error = m_file.error();
        return false;
    }
    // Takes the program's word on a block or a step.
    bool taken(const std::optional<QString> &refusal) {
        if (refusal) m_error = *refusal;
        return !refusal;
    }
    bool line(int number, QByteArrayView text);
    bool openBlock(int number, const Fence &fence);
    bool closeBlock();
    bool heading(int number, const Heading &h, QByteArrayView line);
    bool endStep();
    void appendText(QByteArrayView text);
    // The pictures a line of Markdown shows, and those of references defined anywhere.
    bool notePictures(int number, QByteArrayView text);
    bool checkReferencedPictures();

    QString m_folder; // canonical: where the pictures lie
    KeyFile m_file;   // for its messages
    const LessonBlockReaders &m_blocks;
    QString m_error;
    LessonDocument m_lesson;
    Part m_part = Part::BeforeTitle;

    // The step being read.
    LessonDocumentStep m_step;
    QByteArray m_text, m_afterRun, m_introduction;

    // The open fenced block.
    std::optional<Fence> m_fence;
    Block m_block = Block::Plain;
    int m_blockLine = 0;
    QByteArray m_blockText;

    // Pictures shown by a reference, with the line of the first use, and the references
    // defined, with their lines: the first definition of a label counts.
    std::vector<std::pair<QByteArray, int>> m_referencedPictures;
    std::map<QByteArray, std::pair<QByteArray, int>> m_references;
};

bool LessonReader::notePictures(int number, QByteArrayView text) {
    if (const auto definition = referenceDefinition(text))
        m_references.emplace(definition->first, std::make_pair(definition->second, number));
    for (const PictureUse &use : picturesOf(text)) {
        if (use.reference) {
            m_referencedPictures.emplace_back(use.text, number);
            continue;
        }
        if (const std::optional<QString> problem = pictureProblem(use.text, m_folder))
            return fail(number, *problem);
    }
    return true;
}

bool LessonReader::checkReferencedPictures() {
    for (const auto &[label, line] : m_referencedPictures) {
        // A reference without a definition is text, not a picture.
        const auto definition = m_references.find(label);
        if (definition == m_references.end()) continue;
        if (const std::optional<QString> problem =
                pictureProblem(definition->second.first, m_folder))
            return fail(definition->second.second, *problem);
    }
    return true;
}

LessonDocumentResult LessonReader::read(QByteArrayView bytes) {
    if (bytes.size() > MaxLessonFileBytes) {
        fail(0, QStringLiteral("the file is over 256 KiB, too large for a lesson."));
        return LessonDocumentResult::refused(m_error);
    }
    if (!forEachTextLine(bytes, [this](int n, QByteArrayView t) { return line(n, t); }))
        return LessonDocumentResult::refused(m_error);
    if (m_fence) {
        fail(m_blockLine, QStringLiteral("the fenced block that opens here is not closed."));
        return LessonDocumentResult::refused(m_error);
    }
    if (m_part == Part::BeforeTitle) {
        fail(0, QStringLiteral("the lesson has no title: its first line is \"# \" and the "
                               "title."));
        return LessonDocumentResult::refused(m_error);
    }
    if (m_part == Part::Introduction) {
        fail(0, QStringLiteral("the lesson has no step: each step begins with a line \"## \" "
                               "and its title."));
        return LessonDocumentResult::refused(m_error);
    }
    if (!endStep() || !checkReferencedPictures()) return LessonDocumentResult::refused(m_error);
    m_lesson.introduction = trimmedText(m_introduction);
    return LessonDocumentResult::read({std::move(m_lesson)});
}

bool LessonReader::line(int number, QByteArrayView text) {
    if (!isUtf8Text(text)) return fail(number, QStringLiteral("the text is not UTF-8."));
    if (m_fence) {
        const std::optional<Fence> close = fenceOf(text);
        if (close && close->mark == m_fence->mark && close->length >= m_fence->length &&
            close->name.isEmpty()) {
            if (m_block == Block::Plain) appendText(text);
            return closeBlock();
        }
        if (m_block == Block::Plain)
            appendText(text);
        else
            (m_blockText += text.toByteArray()) += '\n';
        return true;
    }
    if (const std::optional<Fence> fence = fenceOf(text)) {
        m_fence = fence;
        m_blockLine = number;
        if (!openBlock(number, *fence)) return false;
        if (m_block == Block::Plain) appendText(text);
        return true;
    }
    if (!notePictures(number, text)) return false;
    if (const std::optional<Heading> h = headingOf(text)) return heading(number, *h, text);
    if (m_part == Part::BeforeTitle) {
        if (trimmedBlanks(text).isEmpty()) return true;
        return fail(number, QStringLiteral("a lesson starts with its title: a line \"# \" and "
                                           "the title."));
    }
    appendText(text);
    return true;
}

void LessonReader::appendText(QByteArrayView text) {
    QByteArray &to = m_part == Part::Introduction ? m_introduction
                     : m_part == Part::AfterRun   ? m_afterRun
                                                  : m_text;
    (to += text.toByteArray()) += '\n';
}

bool LessonReader::openBlock(int number, const Fence &fence) {
    m_blockText.clear();
    if (fence.name.isEmpty()) {
        m_block = Block::Plain;
        if (m_part == Part::BeforeTitle)
            return fail(number, QStringLiteral("a lesson starts with its title: a line \"# \" "
                                               "and the title."));
        return true;
    }
    const QString name = quotedText(fence.name);
    if (fence.name == "scenario")
        m_block = Block::Scenario;
    else if (fence.name == "predict")
        m_block = Block::Predict;
    else
        return fail(number, QStringLiteral("a block named %1 is not known: a lesson has "
                                           "scenario and predict blocks, and blocks without "
                                           "a name for text.")
                                .arg(name));
    if (m_part != Part::StepText) {
        if (m_part == Part::AfterRun)
            return fail(number, QStringLiteral("a %1 block stands after \"### After the run\": "
                                               "put it before, in the step's own text.")
                                    .arg(name));
        return fail(number, QStringLiteral("a %1 block stands outside a step: put it after a "
                                           "line \"## \" and the step's title.")
                                .arg(name));
    }
    if (m_block == Block::Scenario && m_step.scenarioLine)
        return fail(number, QStringLiteral("the step has a scenario block already: a step has "
                                           "one case."));
    if (m_block == Block::Predict && m_step.predictLine)
        return fail(number, QStringLiteral("the step has a predict block already: a step asks "
                                           "one question."));
    if (m_block == Block::Predict) m_step.predictLine = number;
    if (m_block == Block::Scenario) m_step.scenarioLine = number;
    return true;
}

bool LessonReader::closeBlock() {
    const Block block = m_block;
    m_fence.reset();
    m_block = Block::Plain;
    if (block == Block::Scenario) return taken(m_blocks.scenario(m_blockLine + 1, m_blockText));
    if (block == Block::Predict) return taken(m_blocks.predict(m_blockLine, m_blockText));
    return true;
}

bool LessonReader::heading(int number, const Heading &h, QByteArrayView line) {
    if (h.level == 1) {
        if (m_part != Part::BeforeTitle)
            return fail(number, QStringLiteral("a second title: a lesson has one line \"# \"; "
                                               "its steps begin with \"## \"."));
        if (h.text.isEmpty()) return fail(number, QStringLiteral("the title is empty."));
        m_lesson.title = h.text.toByteArray().toStdString();
        m_part = Part::Introduction;
        return true;
    }
    if (m_part == Part::BeforeTitle)
        return fail(number, QStringLiteral("a lesson starts with its title: a line \"# \" and "
                                           "the title."));
    if (h.level == 2) {
        if (m_part != Part::Introduction && !endStep()) return false;
        if (int(m_lesson.steps.size()) == MaxLessonSteps)
            return fail(
                number,
                QStringLiteral("more than %1 steps: split the lesson in two.").arg(MaxLessonSteps));
        if (h.text.isEmpty())
            return fail(number, QStringLiteral("the step has no title after \"## \"."));
        m_step = LessonDocumentStep{};
        m_step.title = h.text.toByteArray().toStdString();
        m_step.line = number;
        m_text.clear();
        m_afterRun.clear();
        m_part = Part::StepText;
        return true;
    }
    if (isAfterRunHeading(h)) {
        if (m_part == Part::AfterRun)
            return fail(number, QStringLiteral("the step has \"### After the run\" already."));
        if (m_part != Part::StepText)
            return fail(number, QStringLiteral("\"### After the run\" stands outside a step."));
        m_part = Part::AfterRun;
        return true;
    }
    // Any other heading is the step's own Markdown.
    appendText(line);
    return true;
}

bool LessonReader::endStep() {
    m_step.text = trimmedText(m_text);
    m_step.afterRun = trimmedText(m_afterRun);
    if (!taken(m_blocks.stepEnd(m_step))) return false;
    m_lesson.steps.push_back(std::move(m_step));
    m_step = LessonDocumentStep{};
    return true;
}

} // namespace

LessonDocumentResult readLessonDocument(QByteArrayView bytes, const QString &fileName,
                                        const QString &folder, const LessonBlockReaders &blocks) {
    const QString canonical = folder.isEmpty() ? QString() : QDir(folder).canonicalPath();
    return LessonReader(fileName, canonical, blocks).read(bytes);
}
