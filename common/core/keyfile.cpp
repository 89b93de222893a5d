#include "keyfile.h"

#include <algorithm>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// "[fault]", or "[bus …]" for a section that repeats.
QString bracketed(const KeyFile::Section &section) {
    return QChar('[') + QLatin1String(section.name) +
           (section.repeats ? QStringLiteral(" \u2026]") : QStringLiteral("]"));
}

} // namespace

QByteArrayView trimmedBlanks(QByteArrayView t) {
    while (!t.isEmpty() && isBlank(t.front())) t = t.sliced(1);
    while (!t.isEmpty() && isBlank(t.back())) t.chop(1);
    return t;
}

bool isUtf8Text(QByteArrayView text) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    (void)QString(decoder(text));
    return !decoder.hasError();
}

QString shownText(const QString &text, qsizetype most) {
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

QString quotedText(QByteArrayView text) {
    return QChar('"') + shownText(QString::fromUtf8(text)) + QChar('"');
}

KeyFile::KeyFile(const QString &fileName, std::vector<Section> sections)
    : m_file(shownText(fileName, 1000)), m_sections(std::move(sections)),
      m_sectionLines(m_sections.size(), 0) {
    for (const Section &s : m_sections) m_keyLines.emplace_back(s.keys.size(), 0);
}

bool KeyFile::fail(int line, const QString &what) {
    // One arg() for all, so that a "%2" in the file's name stays as it is.
    line = line > 0 ? line + m_lineOffset : m_lineOffset;
    m_error = line > 0 ? QStringLiteral("%1, line %2: %3").arg(m_file, QString::number(line), what)
                       : QStringLiteral("%1: %2").arg(m_file, what);
    return false;
}

int KeyFile::keyLine(int section, int key) const {
    return m_keyLines[static_cast<std::size_t>(section)][static_cast<std::size_t>(key)];
}

int KeyFile::sectionLine(int section) const {
    return m_sectionLines[static_cast<std::size_t>(section)];
}

QString KeyFile::sectionList() const {
    QString list;
    for (std::size_t i = 0; i < m_sections.size(); ++i)
        list += (i == 0                       ? QString()
                 : i + 1 == m_sections.size() ? QStringLiteral(" and ")
                                              : QStringLiteral(", ")) +
                bracketed(m_sections[i]);
    return list;
}

bool forEachTextLine(QByteArrayView bytes,
                     const std::function<bool(int number, QByteArrayView text)> &line) {
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);
    int number = 0;
    while (!bytes.isEmpty()) {
        ++number;
        const qsizetype end = bytes.indexOf('\n');
        QByteArrayView text = end < 0 ? bytes : bytes.first(end);
        bytes = end < 0 ? QByteArrayView() : bytes.sliced(end + 1);
        if (text.endsWith('\r')) text.chop(1);
        if (!line(number, text)) return false;
    }
    return true;
}

bool KeyFile::read(QByteArrayView bytes, const ValueReader &value,
                   const SectionReader &sectionReader) {
    return forEachTextLine(bytes, [&](int number, QByteArrayView text) {
        return line(number, text, value, sectionReader);
    });
}

bool KeyFile::sectionStart(int number, QByteArrayView text, const SectionReader &sectionReader) {
    if (!text.endsWith(']'))
        return fail(number, quotedText(text) + QStringLiteral(" is not a [section] line."));
    const QByteArrayView name = trimmedBlanks(text.sliced(1, text.size() - 2));
    // A repeating section's name is its first word, its argument the rest.
    qsizetype blank = 0;
    while (blank < name.size() && name[blank] != ' ' && name[blank] != '\t') ++blank;
    const QByteArrayView word = name.first(blank);
    for (std::size_t s = 0; s < m_sections.size(); ++s) {
        const Section &section = m_sections[s];
        if (section.repeats ? word != section.name : name != section.name) continue;
        int &seen = m_sectionLines[s];
        if (seen && !section.repeats)
            return fail(number, QStringLiteral("[%1] is given twice (first on line %2).")
                                    .arg(QLatin1String(section.name))
                                    .arg(seen));
        seen = number;
        m_section = static_cast<int>(s);
        m_sectionTitle = QString::fromUtf8(name);
        std::fill(m_keyLines[s].begin(), m_keyLines[s].end(), 0);
        const QByteArrayView argument =
            section.repeats ? trimmedBlanks(name.sliced(blank)) : QByteArrayView();
        return !sectionReader || sectionReader(number, m_section, argument);
    }
    return fail(number, QStringLiteral("[%1] is not a section: there are %2.")
                            .arg(shownText(QString::fromUtf8(name)), sectionList()));
}

bool KeyFile::line(int number, QByteArrayView text, const ValueReader &value,
                   const SectionReader &sectionReader) {
    if (!isUtf8Text(text)) return fail(number, QStringLiteral("the text is not UTF-8."));
    const qsizetype comment = text.indexOf('#');
    if (comment >= 0) text = text.first(comment);
    text = trimmedBlanks(text);
    if (text.isEmpty()) return true;

    if (text.startsWith('[')) return sectionStart(number, text, sectionReader);

    const qsizetype equals = text.indexOf('=');
    if (equals < 0)
        return fail(number, quotedText(text) + QStringLiteral(" is neither a [section] nor a "
                                                              "\"key = value\" line."));
    const QByteArrayView name = trimmedBlanks(text.first(equals));
    const QByteArrayView valueText = trimmedBlanks(text.sliced(equals + 1));
    if (name.isEmpty()) return fail(number, QStringLiteral("the line has no key before \"=\"."));
    if (m_section < 0) {
        QString start;
        for (std::size_t s = 0; s < m_sections.size(); ++s)
            start += (s == 0 ? QString() : QStringLiteral(" or ")) + bracketed(m_sections[s]);
        return fail(number,
                    quotedText(name) +
                        QStringLiteral(" stands before any section: start with %1.").arg(start));
    }
    const Section &section = m_sections[static_cast<std::size_t>(m_section)];
    for (std::size_t k = 0; k < section.keys.size(); ++k) {
        if (name != section.keys[k]) continue;
        int &seen = m_keyLines[static_cast<std::size_t>(m_section)][k];
        const bool list = std::any_of(section.listKeys.begin(), section.listKeys.end(),
                                      [&](const char *l) { return name == l; });
        if (seen && !list)
            return fail(number, QStringLiteral("%1 is given twice in [%2] (first on line %3).")
                                    .arg(QLatin1String(section.keys[k]), shownText(m_sectionTitle))
                                    .arg(seen));
        seen = number;
        if (valueText.isEmpty())
            return fail(number, QLatin1String(section.keys[k]) + QStringLiteral(" has no value."));
        return value(number, m_section, static_cast<int>(k), valueText);
    }
    QString keys;
    for (const char *k : section.keys)
        keys += (keys.isEmpty() ? QString() : QStringLiteral(", ")) + QLatin1String(k);
    return fail(number, QStringLiteral("%1 is not a key of [%2] (its keys: %3).")
                            .arg(quotedText(name), shownText(m_sectionTitle), keys));
}

QByteArray leadingComments(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes = bytes.sliced(3);
    QByteArray block, blanks; // blanks wait until a comment line follows them
    while (!bytes.isEmpty()) {
        const qsizetype end = bytes.indexOf('\n');
        QByteArrayView text = end < 0 ? bytes : bytes.first(end);
        bytes = end < 0 ? QByteArrayView() : bytes.sliced(end + 1);
        if (text.endsWith('\r')) text.chop(1);
        const QByteArrayView content = trimmedBlanks(text);
        if (content.isEmpty()) {
            if (!block.isEmpty()) blanks += '\n';
            continue;
        }
        if (!content.startsWith('#')) break;
        block += blanks;
        blanks.clear();
        block += text;
        block += '\n';
    }
    return block;
}

QByteArray commentsAndHeader(QByteArrayView comments, const QByteArray &header) {
    // Comment lines alone, whatever is handed in: the file must read back.
    QByteArray out = leadingComments(comments);
    if (!out.startsWith(header) && !out.contains('\n' + header)) {
        if (!out.isEmpty()) out += '\n';
        out += header;
    }
    return out;
}

void appendKeyLine(QByteArray &out, const char *name, QByteArrayView value) {
    out += name;
    out += " = ";
    out += value;
    out += '\n';
}

QString messageName(const QString &path) {
    const QString name = QFileInfo(path).fileName();
    return shownText(name.isEmpty() ? path : name, 1000);
}

SmallFile readSmallFile(const QString &path, qsizetype maxBytes) {
    const auto failure = [&](const QString &why) {
        return SmallFile{
            false, {}, QStringLiteral("%1: cannot be read: %2").arg(messageName(path), why), {}};
    };
    if (QFileInfo(path).isDir()) return failure(QStringLiteral("it is a folder."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return failure(file.errorString());
    const QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) return failure(file.errorString());
    const QString name = QFileInfo(path).fileName();
    return SmallFile{true, bytes, {}, name.isEmpty() ? path : name};
}
