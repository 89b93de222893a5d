#include "tasktext.h"

#include <QStringList>

namespace {

// A line that starts an item of a list: "-", "*" or "•", or a number with "." or ")",
// followed by a blank.
bool startsListItem(const QString &line) {
    if (line.size() >= 2 && (line[0] == u'-' || line[0] == u'*' || line[0] == u'\u2022'))
        return line[1] == u' ';
    qsizetype digits = 0;
    while (digits < line.size() && line[digits].isDigit()) ++digits;
    return digits > 0 && digits + 1 < line.size() &&
           (line[digits] == u'.' || line[digits] == u')') && line[digits + 1] == u' ';
}

bool endsSentence(const QString &line) {
    return line.endsWith(u'.') || line.endsWith(u':') || line.endsWith(u'?') || line.endsWith(u'!');
}

// A comment line's words: without its marker and the blanks around them; tabs as blanks, other
// control characters left out.
QString commentWords(QByteArrayView line) {
    QString text;
    for (const QChar c : QString::fromUtf8(line)) {
        if (c == u'\t')
            text += u' ';
        else if (c.category() != QChar::Other_Control)
            text += c;
    }
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ') ++start;
    while (start < text.size() && (text[start] == u'#' || text[start] == u';')) ++start;
    return text.mid(start).trimmed();
}

} // namespace

QString taskText(QByteArrayView comments) {
    if (comments.startsWith("\xEF\xBB\xBF")) comments = comments.sliced(3);
    QStringList paragraphs;
    QString paragraph; // its lines so far, joined
    int lines = 0;     // the lines with words so far
    const auto endParagraph = [&] {
        if (!paragraph.isEmpty()) paragraphs << paragraph;
        paragraph.clear();
    };
    while (!comments.isEmpty()) {
        const qsizetype end = comments.indexOf('\n');
        const QByteArrayView line = end < 0 ? comments : comments.first(end);
        comments = end < 0 ? QByteArrayView() : comments.sliced(end + 1);
        const QString words = commentWords(line);
        if (words.isEmpty()) {
            endParagraph();
            continue;
        }
        if (paragraph.isEmpty()) {
            paragraph = words;
        } else if (startsListItem(words) || (lines == 1 && endsSentence(paragraph))) {
            paragraph += u'\n' + words;
        } else {
            paragraph += u' ' + words;
        }
        ++lines;
    }
    endParagraph();
    return paragraphs.join(QStringLiteral("\n\n"));
}
