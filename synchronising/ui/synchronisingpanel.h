#pragma once

#include "colour.h"
#include "switchinglog.h"
#include "synchropanel.h"

#include <array>
#include <QFont>
#include <QWidget>

class InstrumentView;
class QGroupBox;
class QLabel;
class QTreeWidget;

// The synchronising panel: synchroscope, lamps and read-outs of the state as it stands,
// and what the last press of "Switch" met. A window of its own beside Selmex's main
// window; it only shows what it is given. Its controls keep their names as object names.
class SynchronisingPanel : public QWidget {
    Q_OBJECT
public:
    explicit SynchronisingPanel(QWidget *parent = nullptr);

    void showReading(const PanelReading &reading, const Phasors &net, int maxAngle);
    void showSwitching(const SwitchingRecord &record);
    // A new session has no switching yet: the last one of the session before goes.
    void clearSwitching();
    // Every switching so far, newest first.
    void showLog(const SwitchingLog &log);
    // The main window's zoom: the fonts, the dial and the lamps, and the window grow with
    // it.
    void setZoom(double zoom);

    // What the synchroscope shows: the phase difference, degrees, and the sector the
    // switching check accepts at any orientation.
    double phaseDifference() const { return m_phi; }
    double acceptedHalfAngle() const { return m_halfAngle; }

private:
    // The controls keep these names as object names.
    InstrumentView *Synchroscope = nullptr;
    InstrumentView *Lamps = nullptr;
    QLabel *NetworkValue = nullptr;
    QLabel *GeneratorValue = nullptr;
    QLabel *VoltageDifferenceValue = nullptr;
    QLabel *SlipValue = nullptr;
    QLabel *PhaseDifferenceValue = nullptr;
    QLabel *PhaseDirectionValue = nullptr; // which way the generator's phase points
    QGroupBox *LastSwitching = nullptr;
    QLabel *LastPhaseDifference = nullptr;
    QLabel *LastVoltageDifference = nullptr;
    QLabel *LastSlip = nullptr;
    QLabel *LastVerdict = nullptr;
    QLabel *LastClosingCurrent = nullptr;
    QLabel *ReactanceNote = nullptr;
    QTreeWidget *SwitchingList = nullptr;
    QFont m_fontAt100;
    double m_zoom = 1;
    // The synchroscope: a dial whose needle stands at the phase difference between the
    // generator and the network, clockwise from twelve o'clock, so that it turns clockwise
    // ("FAST") when the generator runs ahead; the shaded sector around twelve holds the
    // angles the switching check accepts, the lighter band those it accepts at some
    // orientations only.
    double m_phi = 0, m_halfAngle = 0, m_band = 0;
    // The lamps in the dark-lamp connection, one across each pair of phases of the same
    // colour, each with its brightness from 0 (dark) to 1 (full), its rim in the colour of
    // its network phase.
    std::array<double, 3> m_brightness{};
    std::array<Colour, 3> m_phases{clRed, clLime, clBlue};
};
