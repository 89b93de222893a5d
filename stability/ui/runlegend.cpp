#include "runlegend.h"

#include "layoutzoom.h"

#include <algorithm>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QVBoxLayout>

namespace {

// The room around an entry's text, and the colour line before it, at 100 %.
constexpr int Padding = 4;
constexpr int LineLength = 22;
constexpr int LineGap = 6;

// The widest headline a run can have: any longer text wraps.
const char *const WidestHeadline = "9999 ms: out of step at 9.999 s";

int scaled(int pixels, double zoom) {
    return LayoutZoom::scaled(QSize(pixels, pixels), zoom).width();
}

} // namespace

RunLegendEntry::RunLegendEntry(int id, QWidget *parent) : QAbstractButton(parent), m_id(id) {
    setObjectName(QStringLiteral("RunLegendEntry"));
    setCheckable(true);
    setChecked(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void RunLegendEntry::setRun(const QColor &colour, const QString &headline, const QString &details,
                            bool hidden) {
    // The charts pass every run on at each batch of points: an entry as it was is left be.
    const bool textChanged = headline != m_headline || details != m_details;
    if (!textChanged && colour == m_colour && hidden == !isChecked()) return;
    m_colour = colour;
    m_headline = headline;
    m_details = details;
    setChecked(!hidden);
    if (textChanged) {
        const QString whole =
            details.isEmpty() ? headline : headline + QStringLiteral(", ") + details;
        setText(whole); // what a screen reader says
        setToolTip(whole);
        fitWidth(width(), m_zoom);
    }
    update();
}

QRect RunLegendEntry::textRect() const {
    const int pad = scaled(Padding, m_zoom);
    const int left = pad + scaled(LineLength, m_zoom) + scaled(LineGap, m_zoom);
    return QRect(left, pad, std::max(1, width() - left - pad), std::max(1, height() - 2 * pad));
}

void RunLegendEntry::fitWidth(int width, double zoom) {
    m_zoom = zoom;
    const QFontMetrics metrics(font());
    const int pad = scaled(Padding, zoom);
    const int textWidth =
        std::max(1, width - 2 * pad - scaled(LineLength, zoom) - scaled(LineGap, zoom));
    const auto tall = [&](const QString &text) {
        return metrics.boundingRect(QRect(0, 0, textWidth, 1 << 20), Qt::TextWordWrap, text)
            .height();
    };
    int height = tall(m_headline.isEmpty() ? QStringLiteral(" ") : m_headline);
    if (!m_details.isEmpty()) height += tall(m_details);
    setFixedSize(width, height + 2 * pad);
}

void RunLegendEntry::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const bool hidden = !isChecked();
    const QRect text = textRect();

    // The run's line, as its curves are drawn: faded while they are hidden.
    QColor line = m_colour;
    if (hidden) line.setAlphaF(0.3);
    const int pad = scaled(Padding, m_zoom);
    const int y = text.top() + fontMetrics().height() / 2;
    painter.setPen(QPen(line, std::max(2, scaled(2, m_zoom))));
    painter.drawLine(pad, y, pad + scaled(LineLength, m_zoom), y);

    painter.setPen(
        palette().color(hidden ? QPalette::Disabled : QPalette::Active, QPalette::WindowText));
    QRect headline;
    painter.drawText(text, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, m_headline, &headline);
    if (!m_details.isEmpty())
        painter.drawText(text.adjusted(0, headline.height(), 0, 0),
                         Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, m_details);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

RunLegend::RunLegend(QWidget *parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("RunLegend"));
    setAccessibleName(QStringLiteral("Runs"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    setBackgroundRole(QPalette::Base);
    m_content = new QWidget;
    m_content->setBackgroundRole(QPalette::Base);
    m_layout = new QVBoxLayout(m_content);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addStretch();
    setWidget(m_content);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    fit();
}

void RunLegend::setEntries(const std::vector<Entry> &entries) {
    // Entries of runs no longer kept go; each run keeps its entry, and so its keyboard focus.
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        const int id = (*it)->id();
        if (std::none_of(entries.begin(), entries.end(),
                         [id](const Entry &e) { return e.id == id; })) {
            delete *it;
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry &e = entries[i];
        auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                  [&e](const RunLegendEntry *r) { return r->id() == e.id; });
        RunLegendEntry *entry = found == m_entries.end() ? nullptr : *found;
        if (!entry) {
            entry = new RunLegendEntry(e.id, m_content);
            connect(entry, &QAbstractButton::clicked, this, [this, id = e.id] {
                if (toggled) toggled(id);
            });
            m_layout->insertWidget(static_cast<int>(i), entry);
            m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(i), entry);
            entry->fitWidth(m_content->minimumWidth(), m_zoom);
        }
        entry->setRun(e.colour, e.headline, e.details, e.hidden);
    }
}

void RunLegend::setZoom(double zoom) {
    m_zoom = zoom;
    fit();
}

void RunLegend::fit() {
    // Wide enough for any headline, and no wider: the details wrap below it.
    const QFontMetrics metrics(font());
    const int pad = scaled(Padding, m_zoom);
    const int entryWidth = 2 * pad + scaled(LineLength, m_zoom) + scaled(LineGap, m_zoom) +
                           metrics.horizontalAdvance(QLatin1String(WidestHeadline)) + 1;
    m_content->setFixedWidth(entryWidth);
    // Room for the scroll bar whether it shows or not, so that its coming and going moves
    // nothing.
    setFixedWidth(entryWidth + verticalScrollBar()->sizeHint().width());
    for (RunLegendEntry *entry : m_entries) entry->fitWidth(entryWidth, m_zoom);
}
