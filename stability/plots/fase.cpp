#include "fase.h"

#include "constants.h"
#include "rounding.h"

void Fase::InitFase() {
    const long double w = m_surface.size().width();
    const long double h = m_surface.size().height();
    FaseBreedte = roundToPixel(0.8L * w);
    FaseHoogte = roundToPixel(0.8L * h);
    FaseLinks = roundToPixel(0.1L * w);
    FaseNulX = pixelAdd(roundToPixel(0.5L * FaseBreedte), FaseLinks);
    FaseBoven = roundToPixel(0.1L * h);
    FaseNulY = pixelAdd(roundToPixel(0.5L * FaseHoogte), FaseBoven);
    FaseHoekStap = static_cast<double>(1.0L / (FaseBreedte * 0.9L));
    FasePunt.reset();
}

void Fase::TekenasFase() {
    m_surface.setPen(clRed, 2);
    m_surface.moveTo(FaseLinks, FaseNulY);
    m_surface.lineTo(FaseLinks + FaseBreedte, FaseNulY);
    m_surface.moveTo(FaseNulX, FaseBoven);
    m_surface.lineTo(FaseNulX, FaseBoven + FaseHoogte);
    m_surface.setPenWidth(1);
}

// A run with absurd machine data can send the speed or the angle to enormous values (or
// no number at all): the point is then held at the int32 range's ends, off the picture.
std::int32_t Fase::FaseHoek2X(double delta) const {
    return pixelAdd(roundToPixel((1.0L / FaseHoekStap) * delta / Pi), FaseNulX);
}

std::int32_t Fase::FaseDomega2Y(double domega) const {
    return pixelSub(FaseNulY, roundToPixel((FaseHoogte / 10.0L) * domega));
}

void Fase::BerekenFase(double delta, double domega) {
    const std::int32_t y = FaseDomega2Y(domega);
    const std::int32_t x = FaseHoek2X(delta);
    FasePunt = QPoint(x, y);
}

void Fase::TekenFase() {
    if (!FasePunt) return;
    m_surface.setPenColour(clBlue);
    m_surface.lineTo(FasePunt->x(), FasePunt->y());
}

void Fase::SchoonFase() {
    m_surface.newPicture();
}

void Fase::beginTrace(double delta, double domega) {
    m_surface.moveTo(FaseHoek2X(delta), FaseDomega2Y(domega));
}
