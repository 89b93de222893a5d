#include "synchronisingpanel.h"

#include "constants.h"
#include "instrumentview.h"
#include "layouthelpers.h"
#include "layoutzoom.h"
#include "numberformat.h"
#include "session.h"
#include "synchroscope.h"
#include "verdicttext.h"

#include <algorithm>
#include <cmath>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString withUnit(long double value, const QString &unit) {
    return formatGeneralDigits(value, 3) + QChar(' ') + unit;
}

QString voltsAndHertz(long double volts, long double hertz) {
    return withUnit(volts, QStringLiteral("V")) + QStringLiteral("   ") +
           withUnit(hertz, QStringLiteral("Hz"));
}

QString closingCurrentText(const QString &multiple) {
    return QStringLiteral("closing current %1 %2 rated current").arg(multiple).arg(QChar(0x00D7));
}

QString degrees(long double value) {
    return formatFixed(value, 4, 1) + QChar(0x00B0);
}

// Which way the generator's red phase points from the network's, as the angle is shown
// to a tenth of a degree.
QString phaseDirection(long double phi) {
    if (!std::isfinite(static_cast<double>(phi)) || std::fabs(phi) < 0.05L)
        return QStringLiteral("in phase");
    return phi > 0 ? QStringLiteral("generator ahead") : QStringLiteral("generator behind");
}

// The dial's and the lamps' sizes at 100 %.
constexpr QSize DialMinimum{120, 120}, DialHint{240, 240};
constexpr QSize LampsMinimum{150, 48}, LampsHint{240, 72};

// Room for the longest closing current in the label's font: the panel does not shift
// when the first record appears.
void keepRoomForClosingCurrent(QLabel *label) {
    label->setMinimumWidth(
        label->fontMetrics().horizontalAdvance(closingCurrentText(QStringLiteral("0.000000"))));
}

// A value that Tab reaches, so that a screen reader reads it. Its text changes under a
// text cursor at every tick: the focus shows as a highlight instead.
class ValueLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void focusInEvent(QFocusEvent *event) override {
        highlight(true);
        QLabel::focusInEvent(event);
    }
    void focusOutEvent(QFocusEvent *event) override {
        highlight(false);
        QLabel::focusOutEvent(event);
    }

private:
    void highlight(bool on) {
        setAutoFillBackground(on);
        setBackgroundRole(on ? QPalette::Highlight : QPalette::Window);
        setForegroundRole(on ? QPalette::HighlightedText : QPalette::WindowText);
    }
};

QLabel *valueLabel(QWidget *parent, const QString &name) {
    auto *label = new ValueLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

// A value is heard with its caption, and anew only when its text changes: the panel
// follows every tick, and a screen reader repeats every change. Tab passes over a value
// not yet shown.
void showValue(QLabel *value, const QString &text) {
    if (value->text() == text) return;
    value->setText(text);
    value->setFocusPolicy(Qt::StrongFocus);
    const QString caption = value->property("caption").toString();
    value->setAccessibleName(caption.isEmpty() ? text : caption + QStringLiteral(": ") + text);
}

// Adds a captioned value to the next row of `grid`.
QLabel *addRow(QGridLayout *grid, const QString &caption, const QString &name) {
    const int row = grid->rowCount();
    auto *captionLabel = new QLabel(caption, grid->parentWidget());
    QLabel *value = valueLabel(grid->parentWidget(), name);
    captionLabel->setBuddy(value);
    grid->addWidget(captionLabel, row, 0, Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(value, row, 1, Qt::AlignLeft | Qt::AlignTop);
    describe(value, caption, {});
    value->setProperty("caption", caption);
    return value;
}

// The dial keeps its height equal to its width and takes what the window gives: the log
// keeps room for its header, three switchings and its scroll bar at any font.
void keepRoomForThreeSwitchings(QTreeWidget *list) {
    const int row = list->fontMetrics().lineSpacing() + 2;
    list->setMinimumHeight(list->header()->sizeHint().height() + 3 * row +
                           list->horizontalScrollBar()->sizeHint().height() +
                           2 * list->frameWidth());
}

} // namespace

SynchronisingPanel::SynchronisingPanel(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("SynchronisingPanel"));
    setWindowTitle(QStringLiteral("Synchronising panel"));
    closeOnEscape(this);

    Synchroscope = new InstrumentView(this, QStringLiteral("Synchroscope"), DialMinimum, DialHint,
                                      InstrumentView::Square);
    Synchroscope->paint = [this](QPainter &p, QSizeF size) {
        paintSynchroscope(p, size, m_phi, m_halfAngle, m_band, Synchroscope->font());
    };
    describe(Synchroscope, QStringLiteral("Synchroscope"),
             QStringLiteral("The needle stands at the phase difference between generator and "
                            "network, clockwise from twelve o'clock; the shaded sector is where "
                            "switching is accepted, the lighter band beyond it where it is "
                            "accepted at some orientations of the tips only."));
    auto *lampGroup = new QGroupBox(QStringLiteral("Lamps (dark-lamp connection)"), this);
    lampGroup->setObjectName(QStringLiteral("LampGroup"));
    Lamps = new InstrumentView(lampGroup, QStringLiteral("Lamps"), LampsMinimum, LampsHint,
                               InstrumentView::FixedHeight);
    Lamps->paint = [this](QPainter &p, QSizeF size) {
        paintLamps(p, size, m_brightness, m_phases);
    };
    describe(Lamps, QStringLiteral("Synchronising lamps"),
             QStringLiteral("One lamp across each pair of phases of the same colour: all three "
                            "dark together when generator and network agree."));
    (new QVBoxLayout(lampGroup))->addWidget(Lamps);

    auto *readings = new QGroupBox(QStringLiteral("Read-outs"), this);
    readings->setObjectName(QStringLiteral("ReadOuts"));
    auto *grid = new QGridLayout(readings);
    NetworkValue = addRow(grid, QStringLiteral("Network"), QStringLiteral("NetworkValue"));
    showValue(NetworkValue, voltsAndHertz(NetworkLineVoltage, NetworkFrequency));
    GeneratorValue = addRow(grid, QStringLiteral("Generator"), QStringLiteral("GeneratorValue"));
    VoltageDifferenceValue = addRow(grid, QStringLiteral("Voltage difference"),
                                    QStringLiteral("VoltageDifferenceValue"));
    SlipValue = addRow(grid, QStringLiteral("Slip"), QStringLiteral("SlipValue"));
    PhaseDifferenceValue =
        addRow(grid, QStringLiteral("Phase difference"), QStringLiteral("PhaseDifferenceValue"));
    // Beside the angle, which way it points: the main window's "Phase Angle" counts the
    // other way round, so the words keep the two from seeming to disagree.
    PhaseDirectionValue = valueLabel(readings, QStringLiteral("PhaseDirectionValue"));
    grid->addWidget(PhaseDirectionValue, grid->rowCount() - 1, 2, Qt::AlignLeft | Qt::AlignTop);
    grid->setColumnStretch(1, 1);

    LastSwitching = new QGroupBox(QStringLiteral("Last switching"), this);
    LastSwitching->setObjectName(QStringLiteral("LastSwitching"));
    auto *last = new QGridLayout(LastSwitching);
    LastPhaseDifference =
        addRow(last, QStringLiteral("Phase difference"), QStringLiteral("LastPhaseDifference"));
    LastVoltageDifference =
        addRow(last, QStringLiteral("Voltage difference"), QStringLiteral("LastVoltageDifference"));
    LastSlip = addRow(last, QStringLiteral("Slip"), QStringLiteral("LastSlip"));
    LastVerdict = valueLabel(LastSwitching, QStringLiteral("LastVerdict"));
    showValue(LastVerdict, QStringLiteral("Not switched yet."));
    last->addWidget(LastVerdict, last->rowCount(), 0, 1, 2);
    LastClosingCurrent = valueLabel(LastSwitching, QStringLiteral("LastClosingCurrent"));
    last->addWidget(LastClosingCurrent, last->rowCount(), 0, 1, 2);
    keepRoomForClosingCurrent(LastClosingCurrent);
    last->setColumnStretch(1, 1);

    ReactanceNote = new QLabel(
        QStringLiteral("The closing current is the largest phase's: its voltage difference "
                       "over X%1d = 0.2 per-unit, a typical subtransient reactance of a "
                       "generator.")
            .arg(QChar(0x2033)),
        this);
    ReactanceNote->setObjectName(QStringLiteral("ReactanceNote"));
    ReactanceNote->setWordWrap(true);

    auto *logGroup = new QGroupBox(QStringLiteral("All switchings, newest first"), this);
    logGroup->setObjectName(QStringLiteral("SwitchingLog"));
    SwitchingList = new QTreeWidget(logGroup);
    SwitchingList->setObjectName(QStringLiteral("SwitchingList"));
    SwitchingList->setRootIsDecorated(false);
    // Each column as wide as its longest entry; the list scrolls sideways when needed.
    SwitchingList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The last column, a real check's verdict, as wide as its text: the list scrolls to it
    // rather than cutting it short.
    SwitchingList->header()->setStretchLastSection(false);
    keepRoomForThreeSwitchings(SwitchingList);
    SwitchingList->setHeaderLabels({QStringLiteral("Time"), QStringLiteral("Phase"),
                                    QStringLiteral("Voltage"), QStringLiteral("Slip"),
                                    QStringLiteral("Verdict"), QStringLiteral("Closing current"),
                                    QStringLiteral("A real synchronising check")});
    describe(SwitchingList, QStringLiteral("All switchings"),
             QStringLiteral("Every press of Switch since the start, newest first."));
    (new QVBoxLayout(logGroup))->addWidget(SwitchingList);
    // The panel opens with the focus in the list, as before its values took the focus:
    // no value stands highlighted until Tab reaches it.
    SwitchingList->setFocus();

    auto *left = new QVBoxLayout;
    left->addWidget(Synchroscope, 1);
    left->addWidget(lampGroup);
    auto *right = new QVBoxLayout;
    right->addWidget(readings);
    right->addWidget(LastSwitching);
    right->addWidget(ReactanceNote);
    right->addStretch(1);
    auto *top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(right);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(logGroup);
    resize(760, 600);
    m_fontAt100 = font();
}

void SynchronisingPanel::setZoom(double zoom) {
    if (zoom == m_zoom) return;
    // As large as it was against the window, as far as the screen holds it.
    QSize wanted = LayoutZoom::scaled(size(), zoom / m_zoom);
    if (const QScreen *s = screen()) wanted = wanted.boundedTo(s->availableGeometry().size());
    m_zoom = zoom;
    // Set on the panel, the font reaches every caption, value and list entry.
    setFont(LayoutZoom::scaled(m_fontAt100, zoom));
    keepRoomForClosingCurrent(LastClosingCurrent);
    keepRoomForThreeSwitchings(SwitchingList);
    Synchroscope->setZoom(zoom);
    Lamps->setZoom(zoom);
    layout()->activate(); // the smallest size at the new fonts, before the resize
    resize(wanted);
}

void SynchronisingPanel::showReading(const PanelReading &reading, const Phasors &net,
                                     int maxAngle) {
    // Each drawing is painted again only when what it shows changes.
    const double halfAngle = acceptedHalfAngleDeg(maxAngle);
    if (reading.phaseDifferenceDeg != m_phi || halfAngle != m_halfAngle) {
        m_phi = reading.phaseDifferenceDeg;
        m_halfAngle = halfAngle;
        Synchroscope->update();
    }
    const std::array<Colour, 3> phases{net[0].PhaseColor, net[1].PhaseColor, net[2].PhaseColor};
    if (reading.lamps != m_brightness || phases != m_phases) {
        m_brightness = reading.lamps;
        m_phases = phases;
        Lamps->update();
    }
    showValue(GeneratorValue, voltsAndHertz(reading.generatorVolts, reading.generatorHz));
    showValue(VoltageDifferenceValue,
              withUnit(reading.voltageDifferencePercent, QStringLiteral("%")));
    showValue(SlipValue, withUnit(reading.slipHz, QStringLiteral("Hz")));
    showValue(PhaseDifferenceValue, degrees(reading.phaseDifferenceDeg));
    showValue(PhaseDirectionValue, phaseDirection(reading.phaseDifferenceDeg));
    if (const double band = someOrientationsHalfAngleDeg(maxAngle); band != m_band) {
        m_band = band;
        Synchroscope->update();
    }
}

void SynchronisingPanel::showSwitching(const SwitchingRecord &record) {
    showValue(LastPhaseDifference, degrees(record.at.phaseDifferenceDeg));
    showValue(LastVoltageDifference,
              withUnit(record.at.voltageDifferencePercent, QStringLiteral("%")));
    showValue(LastSlip, withUnit(record.at.slipHz, QStringLiteral("Hz")));
    showValue(LastVerdict, verdictWords(record.oordeel, QStringLiteral("\n")));
    showValue(LastClosingCurrent,
              closingCurrentText(formatGeneralDigits(record.at.closingCurrent, 3)));
}

void SynchronisingPanel::clearSwitching() {
    for (QLabel *value :
         {LastPhaseDifference, LastVoltageDifference, LastSlip, LastClosingCurrent}) {
        value->clear();
        value->setFocusPolicy(Qt::NoFocus); // Tab passes it until it is shown again
        value->setAccessibleName(value->property("caption").toString());
    }
    showValue(LastVerdict, QStringLiteral("Not switched yet."));
}

void SynchronisingPanel::showLog(const SwitchingLog &log) {
    SwitchingList->clear();
    const auto &entries = log.entries();
    QList<QTreeWidgetItem *> rows;
    rows.reserve(static_cast<qsizetype>(entries.size()));
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const PanelReading &at = it->at;
        rows << new QTreeWidgetItem(
            QStringList{withUnit(it->tick * TickSeconds, QStringLiteral("s")),
                        degrees(at.phaseDifferenceDeg) + QStringLiteral(", ") +
                            phaseDirection(at.phaseDifferenceDeg),
                        withUnit(at.voltageDifferencePercent, QStringLiteral("%")),
                        withUnit(at.slipHz, QStringLiteral("Hz")),
                        verdictWords(it->oordeel, QStringLiteral("; ")),
                        closingCurrentText(formatGeneralDigits(at.closingCurrent, 3)),
                        realCheckText(judgeRealLimits(at))});
    }
    SwitchingList->addTopLevelItems(rows);
}
