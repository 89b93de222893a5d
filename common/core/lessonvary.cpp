#include "lessonvary.h"

#include "filenumber.h"
#include "keyfile.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// A value's name as the files write keys: letters, digits and underscores.
bool isName(QByteArrayView name) {
    if (name.isEmpty()) return false;
    for (const char c : name)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '_'))
            return false;
    return true;
}

} // namespace

std::optional<std::vector<VaryRange>> parseVaryRanges(std::string_view text, std::string &problem) {
    const auto refuse = [&](const QString &why) {
        problem = why.toStdString();
        return std::nullopt;
    };
    std::vector<VaryRange> ranges;
    const QByteArray all(text.data(), qsizetype(text.size()));
    for (const QByteArray &item : all.split(',')) {
        const QByteArray range = trimmedBlanks(item).toByteArray();
        qsizetype blank = 0;
        while (blank < range.size() && !isBlank(range[blank])) ++blank;
        const QByteArray name = range.left(blank);
        const QByteArray ends = trimmedBlanks(QByteArrayView(range).sliced(blank)).toByteArray();
        const qsizetype dots = ends.indexOf("..");
        if (!isName(name) || dots < 0)
            return refuse(QStringLiteral("vary: %1 is not NAME FROM..TO, such as H 3..6; "
                                         "several stand apart by commas.")
                              .arg(quotedText(range)));
        VaryRange r;
        r.name = name.toStdString();
        for (const auto &[end, value] :
             {std::pair{ends.left(dots), &r.from}, std::pair{ends.mid(dots + 2), &r.to}}) {
            const std::optional<double> v = isFileNumberText(end) ? fileNumber(end) : std::nullopt;
            if (!v)
                return refuse(QStringLiteral("vary: %1 of %2 is not a number to compute with: "
                                             "write it with digits and a full stop, such as "
                                             "0.5.")
                                  .arg(quotedText(end), quotedText(name)));
            *value = *v;
        }
        if (r.from == r.to)
            return refuse(QStringLiteral("vary: the range of %1 starts and ends at the same "
                                         "value; a range over one value varies nothing.")
                              .arg(quotedText(name)));
        for (const VaryRange &earlier : ranges)
            if (earlier.name == r.name)
                return refuse(QStringLiteral("vary: %1 is given twice.").arg(quotedText(name)));
        ranges.push_back(std::move(r));
    }
    return ranges;
}
