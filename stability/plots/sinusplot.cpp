#include "sinusplot.h"

#include "constants.h"
#include "labelplacement.h"
#include "rounding.h"

#include <algorithm>
#include <cmath>

void SinusPlot::InitSinus() {
    const long double w = m_surface.size().width();
    const long double h = m_surface.size().height();
    SinusBreedte = roundToPixel(0.8L * w);
    SinusHoogte = roundToPixel(0.8L * h);
    SinusLinks = roundToPixel(0.1L * w);
    SinusNulX = pixelAdd(roundToPixel(0.25L * SinusBreedte), SinusLinks);
    SinusNulY = roundToPixel(0.5L * h);
    SinusBoven = roundToPixel(0.1L * h);
    VermogenSchaal = static_cast<double>(SinusHoogte * 0.5L * 0.9L);
    HoekStap = static_cast<double>(2.0L / SinusBreedte);
    // From the height at 100 %: the areas hold as many operating points at every zoom.
    VlakCapaciteit = roundToPixel(0.8L * (h / m_surface.scale())) + 3;
}

void SinusPlot::BerekenSinus() {
    SinusPunten = sampled(1);
    resample();
}

PointList SinusPlot::sampled(long double r) const {
    PointList points(static_cast<std::size_t>(std::max(0, SinusBreedte)));
    for (std::int32_t i = 0; i < SinusBreedte; ++i) {
        const long double theta = (i * static_cast<long double>(HoekStap) - 0.5L) * Pi;
        const auto v = static_cast<double>(r * std::sin(theta) * VermogenSchaal);
        points[static_cast<std::size_t>(i)] =
            QPoint(SinusLinks + i, pixelSub(SinusNulY, roundToPixel(v)));
    }
    return points;
}

void SinusPlot::resample() {
    // A disturbance without a fault has no during-fault curve; a line out's curve is r2's.
    FoutPunten = m_kind == Network::Busbar && m_r1 > 0 ? sampled(m_r1) : PointList();
    NaPunten = m_r2 < 1 ? sampled(m_r2) : PointList();
}

void SinusPlot::setNetwork(double r1, double r2) {
    m_kind = Network::Busbar;
    m_r1 = r1;
    m_r2 = r2;
    resample();
}

void SinusPlot::setScenario(const FaultScenario &scenario, double pmech) {
    m_r1 = scenario.r1();
    m_r2 = scenario.r2();
    m_kind = scenario.hasFault() ? Network::Busbar : scenario.network;
    m_pmechBefore = pmech;
    m_pmechAfter = scenario.mechanicalPower(pmech);
    resample();
}

void SinusPlot::TekenSinus() {
    m_surface.setPenColour(clBlue);
    m_surface.polyline(SinusPunten);
    if (m_kind == Network::Busbar) {
        drawNamedCurve(FoutPunten, clOrange, QStringLiteral("during fault"), 0);
        drawNamedCurve(NaPunten, clPurple, QStringLiteral("after clearing"), 1);
        return;
    }
    drawName(clBlue, QStringLiteral("whole network"), 0);
    drawNamedCurve(NaPunten, clPurple, QStringLiteral("line out"), 1); // none for a step
}

void SinusPlot::drawNamedCurve(const PointList &points, Colour colour, const QString &name,
                               int row) {
    if (points.empty()) return;
    m_surface.setPenColour(colour);
    m_surface.polyline(points);
    drawName(colour, name, row);
}

int SinusPlot::labelHeight() const {
    return std::max(m_surface.scaled(8), roundToPixel(0.06L * m_surface.size().height()));
}

void SinusPlot::drawName(Colour colour, const QString &name, int row) {
    m_surface.setPenColour(colour);
    // The names stand in the top right corner, where the curves run below the axis.
    const int height = labelHeight();
    const int x = roundToPixel(0.72L * m_surface.size().width());
    const int y = m_surface.scaled(1) + row * (height + m_surface.scaled(2));
    m_surface.moveTo(x, y + height / 2 + m_surface.scaled(1));
    m_surface.lineTo(x + height, y + height / 2 + m_surface.scaled(1));
    m_surface.text(x + height + m_surface.scaled(3), y, name, height);
}

void SinusPlot::TekenPmech(double pmech) {
    const auto lineAt = [this](double p) {
        const std::int32_t y = Vermogen2Y(p);
        return PointList{QPoint(SinusLinks, y), QPoint(SinusLinks + SinusBreedte, y)};
    };
    PmechPunten = lineAt(pmech);
    if (m_kind == Network::PowerStep) {
        // Where the machine ran before the step, and the power it must carry after it.
        drawNamedCurve(lineAt(m_pmechBefore), clGreen, QStringLiteral("Pmech before"), 1);
        drawNamedCurve(lineAt(m_pmechAfter), clTeal, QStringLiteral("P1 after step"), 2);
        return;
    }
    m_surface.setPenColour(clGreen);
    m_surface.polyline(PmechPunten);
    if (m_kind == Network::LineOut) drawName(clGreen, QStringLiteral("Pmech"), 2);
}

void SinusPlot::TekenWaarden() {
    const int height = labelHeight();
    const int gap = m_surface.scaled(2);
    const int tick = m_surface.scaled(3);
    // The angle in degrees along the bottom, each under a tick across the angle axis
    // (two pixels wide, on rows SinusNulY - 1 and SinusNulY).
    const int bottom = pixelAdd(pixelAdd(SinusBoven, SinusHoogte), m_surface.scaled(1));
    std::vector<QRect> values; // where the marks' names must not go
    for (int degrees = 0; degrees <= 180; degrees += 45) {
        const std::int32_t x = Hoek2X(static_cast<double>(degrees * Pi / 180));
        const QString value = QString::number(degrees);
        m_surface.setPenColour(clRed);
        m_surface.moveTo(x, SinusNulY - 1 - tick);
        m_surface.lineTo(x, SinusNulY + tick + 1);
        m_surface.setPenColour(clBlack);
        const int width = m_surface.textWidth(value, height);
        m_surface.text(x - width / 2, bottom, value, height);
        values.emplace_back(x - width / 2, bottom, width, height);
    }
    // The power in units of Pmax in the left margin, each level ticked on the power axis.
    for (const char *value : {"0", "0.5", "1"}) {
        const QString text = QString::fromLatin1(value);
        const std::int32_t y = Vermogen2Y(text.toDouble());
        m_surface.setPenColour(clRed);
        m_surface.moveTo(SinusNulX - 1 - tick, y);
        m_surface.lineTo(SinusNulX + tick + 1, y);
        m_surface.setPenColour(clBlack);
        m_surface.text(SinusLinks - gap - m_surface.textWidth(text, height), y - height / 2, text,
                       height);
    }
    // The criterion's angles first, so that the clearing angle, known later in a run,
    // takes a place left free and moves none of them.
    std::vector<Mark> marks = m_marks;
    if (m_clearingAngle) marks.push_back({QStringLiteral("\u03B4c"), *m_clearingAngle});
    drawMarks(marks, values);
}

std::vector<SinusPlot::PlacedMark> SinusPlot::placeMarks(const std::vector<Mark> &marks,
                                                         const std::vector<QRect> &taken) const {
    const int width = m_surface.size().width();
    const int height = labelHeight();
    const int gap = m_surface.scaled(2);
    // Each name right of its tick (left of it where it would leave the picture), below
    // the angle axis; a name that would touch one before it goes a row further down.
    std::vector<PlacedMark> placed;
    std::vector<LabelRequest> requests;
    for (const Mark &mark : marks) {
        if (!std::isfinite(mark.angle)) continue;
        const std::int32_t x = Hoek2X(mark.angle);
        if (x < 0 || x >= width) continue;
        const int textWidth = m_surface.textWidth(mark.name, height);
        const int left = x + gap + textWidth <= width ? x + gap : x - gap - textWidth;
        placed.push_back({mark.name, x, QRect()});
        requests.push_back({QRect(left, SinusNulY + m_surface.scaled(4), textWidth, height),
                            QPoint(0, height + m_surface.scaled(1))});
    }
    const std::vector<QRect> boxes =
        placeLabels(requests, QRect(QPoint(0, 0), m_surface.size()), m_surface.scaled(1), taken);
    for (std::size_t i = 0; i < placed.size(); ++i) placed[i].box = boxes[i];
    return placed;
}

void SinusPlot::drawMarks(const std::vector<Mark> &marks, const std::vector<QRect> &taken) {
    const int height = labelHeight();
    m_surface.setPenColour(clBlack);
    for (const PlacedMark &m : placeMarks(marks, taken)) {
        // A tick from the axis down to its name.
        m_surface.moveTo(m.x, SinusNulY + 1);
        m_surface.lineTo(m.x, m.box.top() + height / 2 + 1);
        m_surface.text(m.box.left(), m.box.top(), m.name, height);
    }
}

void SinusPlot::Tekenas() {
    if (showWindow) showWindow();
    m_surface.setPen(clRed, 2);
    m_surface.moveTo(SinusLinks, SinusNulY);
    m_surface.lineTo(SinusLinks + SinusBreedte, SinusNulY);
    m_surface.moveTo(SinusNulX, SinusBoven);
    m_surface.lineTo(SinusNulX, SinusBoven + SinusHoogte);
    m_surface.setPenWidth(1);
}

PointList SinusPlot::blockAround(double delta, double pelek) const {
    const std::int32_t x = Hoek2X(delta);
    const std::int32_t y = Vermogen2Y(pelek);
    // Held at the int32 range's ends, a block far off the picture stays there.
    const std::int32_t d = m_surface.scaled(1);
    const std::int32_t left = pixelSub(x, d), right = pixelAdd(x, d);
    const std::int32_t top = pixelSub(y, d), bottom = pixelAdd(y, d);
    return {QPoint(left, top), QPoint(right, top), QPoint(right, bottom), QPoint(left, bottom),
            QPoint(left, top)};
}

void SinusPlot::TekenBlok(double delta, double pelek) {
    BlokPunten = blockAround(delta, pelek);
    m_surface.setPenColour(clBlack);
    m_surface.polyline(BlokPunten);
}

void SinusPlot::VerwijderBlok() {
    if (BlokPunten.empty()) return;
    m_surface.setPenColour(clWhite);
    m_surface.polyline(BlokPunten);
    BlokPunten.clear();
}

void SinusPlot::Schoon() {
    m_surface.newPicture();
}

std::int32_t SinusPlot::Hoek2X(double x) const {
    // The reduced angle is held as a double, the comparisons are with extended
    // constants: the double nearest 2 pi is not above 2 pi and maps to the power axis.
    if (x > TwoPi) x = static_cast<double>(x - TwoPi * std::trunc(x / TwoPi));
    if (x > 1.5L * Pi) x = static_cast<double>(x - TwoPi);
    return pixelAdd(roundToPixel((1.0L / HoekStap) * x / Pi), SinusNulX);
}

std::int32_t SinusPlot::Vermogen2Y(double p) const {
    return pixelSub(SinusNulY, roundToPixel(static_cast<long double>(p) * VermogenSchaal));
}
