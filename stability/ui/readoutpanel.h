#pragma once

#include <array>
#include <optional>
#include <QString>

class QLineEdit;
class QWidget;
class TMyGenerator;
struct StepReport;

// The read-outs of a run beside the diagram: speed deviation, rotor angle, the run's time
// and the power, each an edit with its caption. A value is shown from its first digit on,
// exact, or with View > Rounded read-outs to 4 significant digits and its unit, to be read
// on a projector; each is kept for a change between the two.
class ReadoutPanel {
public:
    // Made on `client` at their places in the window's layout, empty.
    explicit ReadoutPanel(QWidget *client);

    // A generator as created, before its run: its angle, and its Pmech per-unit.
    void showNewGenerator(const TMyGenerator &generator);
    // A step of a run: the power in Pmax's unit, the speed deviation, the angle and the
    // step's clock.
    void showStep(const TMyGenerator &generator, const StepReport &report);
    // Before a run the power read-out holds Pmech per-unit, as the generator is created;
    // a run shows the electrical power in Pmax's own unit.
    void showPower(long double value, bool perUnitPmech);
    // The speed and time read-outs empty, as before a run.
    void clearRun();
    void setRounded(bool rounded);
    // The tab order from `before` through the four read-outs.
    void followInTabOrder(QWidget *before);

private:
    // A read-out, the unit its rounded form shows after the number, and the value it
    // shows (none when it is empty).
    struct Readout {
        QLineEdit *edit = nullptr;
        QString unit;
        std::optional<long double> value;
    };
    enum Which { Speed, Angle, Time, Power };
    void show(Which which, long double value);
    void clear(Which which);
    void write(const Readout &readout) const;

    std::array<Readout, 4> m_readouts;
    bool m_rounded = false;
};
