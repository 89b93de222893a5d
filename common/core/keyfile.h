#pragma once

#include <functional>
#include <optional>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

// A text that people write by hand, in "[section]" and "key = value" lines, read all or
// nothing (the scenario files of both programs, the network files). A byte-order mark,
// CRLF line ends, blank lines and "#" comments anywhere on a line are accepted; a line
// that is not UTF-8, an unknown section or key, a section or key given twice, a key
// before any section, a key without a value and any other kind of line refuse the text
// with a message that names the file and the line.
class KeyFile {
public:
    struct Section {
        const char *name;
        std::vector<const char *> keys;
        // "[name ARGUMENT]", once for each thing of a kind ([bus 4], [line 4-5 2]): its
        // keys are counted afresh in each, and the section reader takes the argument.
        bool repeats = false;
        // Keys that may stand on many lines, each line one more value (a load's steps).
        std::vector<const char *> listKeys = {};
    };
    // Takes a key's value, by section and key index, from its line; returns false after
    // refusing it with fail().
    using ValueReader = std::function<bool(int line, int section, int key, QByteArrayView value)>;
    // Told of each section's line as it comes, with the argument of a repeating section
    // (empty when the line has none, and for a section that does not repeat); returns
    // false after refusing it with fail().
    using SectionReader = std::function<bool(int line, int section, QByteArrayView argument)>;

    KeyFile(const QString &fileName, std::vector<Section> sections);
    // The text starts at this line of its file (a block inside a larger file): messages
    // count lines from there, and one without a line names the line before the text.
    void setFirstLine(int line) { m_lineOffset = line - 1; }

    // Reads every line in turn; false at the first refusal, with error() set.
    bool read(QByteArrayView bytes, const ValueReader &value,
              const SectionReader &section = SectionReader());
    // Refuses the text: "file, line N: what", or "file: what" for line 0. Returns false
    // so that a caller can return it.
    bool fail(int line, const QString &what);

    QString error() const { return m_error; }
    // The line a key or a section stood on, 0 when the text left it out (of a repeating
    // section: in its latest one).
    int keyLine(int section, int key) const;
    int sectionLine(int section) const;

private:
    bool line(int number, QByteArrayView text, const ValueReader &value,
              const SectionReader &sectionReader);
    bool sectionStart(int number, QByteArrayView text, const SectionReader &sectionReader);
    QString sectionList() const;

    QString m_file;
    QString m_error;
    std::vector<Section> m_sections;
    std::vector<int> m_sectionLines;
    std::vector<std::vector<int>> m_keyLines;
    int m_section = -1;
    QString m_sectionTitle; // "bus 4": the current section as its line gives it
    int m_lineOffset = 0;
};

// Hands each line of a text people write by hand to `line` with its number from 1, a
// byte-order mark at the start and the "\r" of a CRLF line end left out, until `line`
// returns false. Returns whether every line was taken.
bool forEachTextLine(QByteArrayView bytes,
                     const std::function<bool(int number, QByteArrayView text)> &line);

// The comment block a file starts with: its "#" lines and the blank lines between them, up
// to the first line of another kind, so that a file written anew can keep the text a
// person put at its top. Line ends become "\n" and a byte-order mark is left out; empty
// when the file starts with anything else.
QByteArray leadingComments(QByteArrayView bytes);
// The top of a file written anew: the comment block `comments` starts with, then the
// file's own first line `header` (ending in "\n") after a blank line, unless the block
// holds that line already, so that a file saved again and again keeps one copy of it.
QByteArray commentsAndHeader(QByteArrayView comments, const QByteArray &header);

// Appends the line "name = value".
void appendKeyLine(QByteArray &out, const char *name, QByteArrayView value);

// The text without the blanks (spaces and tabs) at either end.
QByteArrayView trimmedBlanks(QByteArrayView text);
// Whether the bytes are whole UTF-8 text (a reader checks each line, to name the line).
bool isUtf8Text(QByteArrayView text);

// Text from a file as a message may show it: at most `most` characters, and control,
// format and line separating characters (which could move a terminal's cursor, turn text
// around or break the line) written as codes.
QString shownText(const QString &text, qsizetype most = 40);
// The same in double quotes, from UTF-8 bytes.
QString quotedText(QByteArrayView text);

// A small file read whole, at most `maxBytes` + 1 bytes (one more than a reader takes,
// so that it can refuse a larger file, or a pipe that gives too much, without reading
// it all). Refused, with "name: cannot be read: why", when it is a folder or cannot be
// read.
struct SmallFile {
    bool ok = false;
    QByteArray bytes;
    QString error;
    QString name; // the file's name without its folder, for a reader's messages
};
SmallFile readSmallFile(const QString &path, qsizetype maxBytes);
// The file's name as the messages give it.
QString messageName(const QString &path);
