#pragma once

#include <functional>
#include <QAbstractButton>
#include <QColor>
#include <QScrollArea>
#include <QString>
#include <vector>

class QVBoxLayout;

// One run in the swing curves' legend: a line in the run's colour beside its clearing time
// and outcome, and below them, wrapped, whatever else sets the run apart. Checked while the
// run's curves are shown; a click or Space hides or shows them.
class RunLegendEntry : public QAbstractButton {
    Q_OBJECT
public:
    RunLegendEntry(int id, QWidget *parent);

    int id() const { return m_id; }
    void setRun(const QColor &colour, const QString &headline, const QString &details, bool hidden);
    QString headline() const { return m_headline; }
    QString details() const { return m_details; }

    // The entry at its column's width: as tall as its wrapped text.
    void fitWidth(int width, double zoom);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect textRect() const;

    int m_id;
    QColor m_colour;
    QString m_headline, m_details;
    double m_zoom = 1.0;
};

// The legend of the swing curves: one column beside both charts, as the runs have the same
// colours on both. The column's width follows only the font, never the window, so neither
// the wrapped texts nor the charts beside them lay each other out again.
class RunLegend : public QScrollArea {
    Q_OBJECT
public:
    struct Entry {
        int id = 0;
        QColor colour;
        QString headline; // "376 ms: out of step at 2.925 s"
        QString details;  // "two lines r1 0.3611 r2 0.8125, H 3"; may be empty
        bool hidden = false;
    };

    explicit RunLegend(QWidget *parent);

    void setEntries(const std::vector<Entry> &entries);
    void setZoom(double zoom);
    std::vector<RunLegendEntry *> entries() const { return m_entries; }

    // A click on a run's entry.
    std::function<void(int id)> toggled;

private:
    void fit();

    QWidget *m_content = nullptr;
    QVBoxLayout *m_layout = nullptr;
    std::vector<RunLegendEntry *> m_entries;
    double m_zoom = 1.0;
};
