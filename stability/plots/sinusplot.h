#pragma once

#include "drawsurface.h"
#include "scenario.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// The power-angle plot: sin(delta) from -90 degrees to just short of 270 degrees in
// blue, the Pmech line in dark green, red axes, and a black block at the operating
// point. Powers are normalised to Pmax. On a faulted line the curves during the fault
// (orange) and after clearing (purple) stand beside it; a step in mechanical power adds
// the line of P1 (teal) to the Pmech line it starts from, a line switched out the curve
// the network carries without it (purple). The equal-area polygons share its mapping.
class SinusPlot {
public:
    explicit SinusPlot(DrawSurface &surface) : m_surface(surface) {}

    // The geometry below, from the picture's present size.
    void InitSinus();
    // Samples the curve once; it is normalised and does not depend on the machine.
    void BerekenSinus();
    // Draws the curve sin(delta), and the curves of a faulted network beside it.
    void TekenSinus();
    // The network the curves show: r1 sin(delta) during the fault (drawn when r1 > 0)
    // and r2 sin(delta) after clearing (drawn when r2 < 1), each named on the plot.
    void setNetwork(double r1, double r2);
    // The network of a scenario, `pmech` being the machine data's Pmech before it: a fault
    // as setNetwork(r1, r2); a power step on the whole network sin(delta) with the Pmech
    // line it starts from and the line of P1; a line out sin(delta) and r2 sin(delta)
    // with the Pmech line. Each curve and line of a disturbance is named.
    void setScenario(const FaultScenario &scenario, double pmech);
    // The Pmech line in force at `pmech`; for a power step the lines before and after it.
    void TekenPmech(double pmech);

    // View > Labels on the plots: the axes' values and the criterion's angles, each a tick
    // on the angle axis with its name below it, drawn over the picture by TekenWaarden.
    bool labels = false;
    struct Mark {
        QString name;
        double angle = 0; // rad
    };
    // The criterion's angles of the picture's case, and the run's clearing angle once it
    // is known. The marks keep their places when the clearing angle joins them.
    void setMarks(std::vector<Mark> marks) { m_marks = std::move(marks); }
    const std::vector<Mark> &marks() const { return m_marks; }
    void setClearingAngle(std::optional<double> delta) { m_clearingAngle = delta; }
    std::optional<double> clearingAngle() const { return m_clearingAngle; }
    void TekenWaarden();
    // Where the marks' names go: each one's tick at x and its name's box, clear of one
    // another and of `taken`; marks off the picture or of no number are left out.
    struct PlacedMark {
        QString name;
        std::int32_t x = 0;
        QRect box;
    };
    std::vector<PlacedMark> placeMarks(const std::vector<Mark> &marks,
                                       const std::vector<QRect> &taken = {}) const;
    // The labels' text height on this picture.
    int labelHeight() const;
    // Shows the main window (through showWindow), then draws both axes.
    void Tekenas();
    // The 3 x 3 block around (delta, pelek), zoomed with the picture, and its erasure in
    // white.
    void TekenBlok(double delta, double pelek);
    void VerwijderBlok();
    // The block's outline around (delta, pelek), without drawing it.
    PointList blockAround(double delta, double pelek) const;
    // A fresh white picture.
    void Schoon();

    // Angle (radians) to x: one period is shown, from just above -pi/2 to 3pi/2;
    // larger angles are brought back into it, smaller ones are not.
    std::int32_t Hoek2X(double x) const;
    // Normalised power to y.
    std::int32_t Vermogen2Y(double p) const;

    std::int32_t SinusBreedte = 0; // plot width, spans 2 pi
    std::int32_t SinusHoogte = 0;  // length of the power axis
    std::int32_t SinusLinks = 0;   // x of delta = -pi/2
    std::int32_t SinusNulX = 0;    // x of delta = 0
    std::int32_t SinusNulY = 0;    // y of power 0
    std::int32_t SinusBoven = 0;   // y of the power axis' upper end
    double VermogenSchaal = 0;     // pixels per unit of normalised power
    double HoekStap = 0;           // angle per pixel column, in units of pi
    // Slots of each equal-area polygon list: the height at 100 %, not the width, sets it.
    std::int32_t VlakCapaciteit = 0;

    PointList SinusPunten;
    PointList FoutPunten; // r1 sin(delta), empty when r1 is 0
    PointList NaPunten;   // r2 sin(delta), empty when r2 is 1
    PointList PmechPunten;
    PointList BlokPunten; // empty while no block is on the picture

    std::function<void()> showWindow;

private:
    // The curve r sin(delta) sampled at the columns of SinusPunten.
    PointList sampled(long double r) const;
    void resample();
    void drawNamedCurve(const PointList &points, Colour colour, const QString &name, int row);
    // The name of a curve or line in the top right corner, behind a short piece of it.
    void drawName(Colour colour, const QString &name, int row);
    // Ticks below the angle axis down to each mark's name, the names clear of one another
    // and of the boxes `taken`.
    void drawMarks(const std::vector<Mark> &marks, const std::vector<QRect> &taken);

    DrawSurface &m_surface;
    double m_r1 = 0, m_r2 = 1;
    Network m_kind = Network::Busbar; // Busbar stands for every fault
    double m_pmechBefore = 0, m_pmechAfter = 0;
    std::vector<Mark> m_marks;
    std::optional<double> m_clearingAngle;
};
