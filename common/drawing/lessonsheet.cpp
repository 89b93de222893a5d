#include "lessonsheet.h"

#include "markdowndocument.h"
#include "savefile.h"

#include <algorithm>
#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

namespace {

constexpr qint64 MaxPictureBytes = 16 * 1024 * 1024; // as a lesson's reader allows
constexpr int MaxPicturePixels = 6000;               // on a side; larger is left out
constexpr int PrintedPicturePixels = 2400;           // enough for a page's width at 300 dpi
const QString BoxName = QStringLiteral("sheet:box");

// A document whose pictures come from the lesson's folder alone: nothing else is read.
class SheetDocument : public QTextDocument {
public:
    explicit SheetDocument(QString folder) : m_folder(std::move(folder)) {}
    // The pictures are all added before the layout; anything else is empty, never a
    // file the document would read by itself.
    QVariant loadResource(int, const QUrl &) override { return QVariant::fromValue(QByteArray()); }
    // The picture named, from the folder and decoded, or a null image.
    QImage picture(const QUrl &name) const {
        QByteArray bytes = pictureFromFolder(m_folder, name, MaxPictureBytes);
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        if (!size.isValid() || size.width() > MaxPicturePixels || size.height() > MaxPicturePixels)
            return {};
        if (size.width() > PrintedPicturePixels)
            reader.setScaledSize(
                size.scaled(PrintedPicturePixels, PrintedPicturePixels, Qt::KeepAspectRatio));
        return reader.read();
    }

private:
    QString m_folder;
};

// A box to tick, drawn once as a picture so that every font shows it.
QImage tickBox() {
    QImage box(48, 48, QImage::Format_ARGB32);
    box.fill(Qt::white);
    QPainter p(&box);
    p.setPen(QPen(Qt::black, 4));
    p.drawRect(QRectF(2, 2, 44, 44));
    return box;
}

// Each picture of the text taken from the folder and no wider than the page; one that
// cannot be read is left out.
void fitPictures(SheetDocument &doc, qreal width) {
    QStringList added;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.charFormat().isImageFormat()) continue;
            QTextImageFormat image = f.charFormat().toImageFormat();
            if (image.name() == BoxName) continue;
            const QUrl url(image.name());
            const QImage picture = doc.picture(url);
            if (!added.contains(image.name())) {
                doc.addResource(QTextDocument::ImageResource, url, picture);
                added << image.name();
            }
            if (picture.isNull()) continue;
            const qreal w = std::min<qreal>(width, picture.width());
            image.setWidth(w);
            image.setHeight(w * picture.height() / picture.width());
            QTextCursor c(&doc);
            c.setPosition(f.position());
            c.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
            c.setCharFormat(image);
        }
    }
}

// Text written as it stands, Markdown's marks and all.
QString plain(const QString &text) {
    QString out;
    for (const QChar c : text) {
        if (QStringLiteral("\\`*_{}[]()<>#+-.!|~").contains(c)) out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

QString stepHeading(int index, const OutlineStep &step) {
    return QStringLiteral("## Step %1: %2").arg(index + 1).arg(plain(step.title));
}

void insertMarkdown(QTextCursor &c, const QString &markdown) {
    if (markdown.trimmed().isEmpty()) return;
    c.insertMarkdown(markdown);
    // The next text starts plain, whatever the Markdown ended with.
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
}

void worksheetQuestion(QTextCursor &c, const OutlineQuestion &q) {
    insertMarkdown(c, QStringLiteral("**Question:** ") + plain(q.text));
    // Room above and below the answer, for handwriting.
    QTextBlockFormat room;
    room.setTopMargin(10);
    room.setBottomMargin(14);
    c.setBlockFormat(room);
    if (q.isChoice()) {
        QTextImageFormat box;
        box.setName(BoxName);
        box.setWidth(11);
        box.setHeight(11);
        for (int i = 0; i < q.choices.size(); ++i) {
            if (i > 0) c.insertText(QStringLiteral("        "));
            c.insertImage(box);
            c.insertText(QStringLiteral(" ") + q.choices[i]);
        }
    } else {
        c.insertText(QStringLiteral("Your answer: ________________") + q.unit);
    }
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
}

void keyQuestion(QTextCursor &c, const OutlineQuestion &q) {
    QString text = QStringLiteral("**Question:** ") + plain(q.text) +
                   QStringLiteral("\n\n**Answer:** ") + plain(q.answerText);
    if (!q.isChoice())
        text += QStringLiteral(", within ") + plain(q.toleranceText) +
                QStringLiteral(" counts as right");
    text += QStringLiteral("\n\n**How found:** ") + plain(q.howFound);
    insertMarkdown(c, text);
}

void buildSheet(SheetDocument &doc, const LessonOutline &outline, SheetKind kind) {
    QTextCursor c(&doc);
    const bool key = kind == SheetKind::AnswerKey;
    insertMarkdown(c, (key ? QStringLiteral("# Answer key: ") : QStringLiteral("# ")) +
                          plain(outline.title));
    if (key) {
        insertMarkdown(c, plain(outline.program + QStringLiteral(" lesson, lesson_sha256 ") +
                                outline.fingerprint));
    } else {
        c.insertText(QStringLiteral("Name: ________________________________"));
        c.insertBlock(QTextBlockFormat(), QTextCharFormat());
        insertMarkdown(c, outline.introduction);
    }
    for (std::size_t i = 0; i < outline.steps.size(); ++i) {
        const OutlineStep &step = outline.steps[i];
        insertMarkdown(c, stepHeading(int(i), step));
        if (!key) insertMarkdown(c, step.text);
        if (!step.question) {
            if (key) insertMarkdown(c, QStringLiteral("Free exploration, no question."));
            continue;
        }
        if (key)
            keyQuestion(c, *step.question);
        else
            worksheetQuestion(c, *step.question);
    }
}

} // namespace

std::optional<QString> writeLessonSheet(const LessonOutline &outline, SheetKind kind,
                                        const QString &pdfPath) {
    const auto failure = writeThrough(pdfPath, [&](QSaveFile &file) -> std::optional<QString> {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setTitle(kind == SheetKind::AnswerKey
                            ? QStringLiteral("Answer key: ") + outline.title
                            : outline.title);
        writer.setCreator(outline.program);

        SheetDocument doc(outline.folder);
        doc.addResource(QTextDocument::ImageResource, QUrl(BoxName), tickBox());
        QFont font(QStringLiteral("Liberation Serif"), 11);
        doc.setDefaultFont(font);
        buildSheet(doc, outline, kind);
        spaceParagraphs(&doc, QFontMetricsF(font).height() / 2);
        // Laid out in pixels of 96 to the inch, as pictures are measured, and drawn scaled
        // to the writer's resolution.
        const qreal scale = writer.logicalDpiX() / 96.0;
        const QSizeF page(writer.width() / scale, writer.height() / scale);
        doc.setPageSize(page);
        fitPictures(doc, page.width() - 2 * doc.documentMargin());
        const int pages = doc.pageCount();
        if (pages > MaxSheetPages)
            return QStringLiteral("the sheet would run over %1 pages.").arg(MaxSheetPages);

        QPainter painter(&writer);
        painter.scale(scale, scale);
        for (int i = 0; i < pages; ++i) {
            if (i > 0) writer.newPage();
            painter.save();
            painter.translate(0, -i * page.height());
            doc.drawContents(&painter, QRectF(QPointF(0, i * page.height()), page));
            painter.restore();
        }
        if (!painter.end()) return QStringLiteral("the PDF could not be made.");
        return std::nullopt;
    });
    if (!failure) return std::nullopt;
    return QStringLiteral("Could not write \"%1\": %2").arg(pdfPath, *failure);
}
