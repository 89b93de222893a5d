#pragma once

#include "colour.h"
#include "switchinglog.h"
#include "synchropanel.h"

#include <array>
#include <QFont>
#include <QWidget>

class QGroupBox;
class QLabel;
class QTreeWidget;

// A synchroscope: a dial whose needle stands at the phase difference between the
// generator and the network, clockwise from twelve o'clock, so that it turns clockwise
// ("FAST") when the generator runs ahead and anticlockwise ("SLOW") when it lags. The
// shaded sector around twelve holds the angles at which the switching check accepts a
// close. Painted from its two numbers at whatever size it has.
class SynchroscopeDial : public QWidget {
    Q_OBJECT
public:
    explicit SynchroscopeDial(QWidget *parent = nullptr);
    void setState(double phaseDifferenceDeg, double acceptedHalfAngleDeg);
    double phaseDifference() const { return m_phi; }
    double acceptedHalfAngle() const { return m_halfAngle; }
    // The lighter band of angles accepted at some orientations only; none until set.
    void setBand(double someOrientationsHalfAngleDeg);
    // Its sizes at the window's zoom; the dial paints from whatever size it gets.
    void setZoom(double zoom);

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double m_phi = 0;
    double m_halfAngle = 0;
    double m_band = 0;
    double m_zoom = 1;
};

// Three synchronising lamps in the dark-lamp connection, one across each pair of phases
// of the same colour; each glows with its brightness from 0 (dark) to 1 (full), and its
// rim has the colour of its network phase.
class SynchronisingLamps : public QWidget {
    Q_OBJECT
public:
    explicit SynchronisingLamps(QWidget *parent = nullptr);
    void setState(const std::array<double, 3> &brightness, const std::array<Colour, 3> &phases);
    const std::array<double, 3> &brightness() const { return m_brightness; }
    // Its sizes at the window's zoom; the lamps paint from whatever size they get.
    void setZoom(double zoom);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::array<double, 3> m_brightness{};
    std::array<Colour, 3> m_phases{clRed, clLime, clBlue};
    double m_zoom = 1;
};

// The synchronising panel: synchroscope, lamps and read-outs of the state as it stands,
// and what the last press of "Switch" met. A window of its own beside Selmex's main
// window; it only shows what it is given.
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

    SynchroscopeDial *Synchroscope = nullptr;
    SynchronisingLamps *Lamps = nullptr;
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

private:
    QFont m_fontAt100;
    double m_zoom = 1;
};
