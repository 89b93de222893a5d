#include "mygenerator.h"

#include <cmath>

TMyGenerator::TMyGenerator(const TGenParams &params) {
    Pmax = params.Pmax;
    Pmech = params.Pmech;
    Pelek = Pmech;
    H = params.H;
    // Inertia coefficient M = 2 H Pmax / C^2, so that 1 / (C M) * Pmax = C / 2H.
    M = static_cast<double>((static_cast<long double>(H) * Pmax * 2) /
                            (SynchronousSpeed * SynchronousSpeed));
    Demping = params.Demping;
    Domega = 0;
    // arcsin(Pmech) through the arctangent, as the sine and cosine sides of the angle.
    const long double s = Pmech;
    Delta = static_cast<double>(std::atan2(s, std::sqrt(1.0L - s * s)));
    Delta0 = Delta;
}

bool TMyGenerator::FaultOn(double totTijd, std::int32_t afschakeltijdMs) {
    const long double clearing = static_cast<long double>(afschakeltijdMs) / 1000.0L;
    return clearing >= totTijd;
}

bool TMyGenerator::BerekenPelek(double totTijd, std::int32_t afschakeltijdMs) {
    const bool faultOn = FaultOn(totTijd, afschakeltijdMs);
    BerekenPelek(faultOn ? 0.0 : 1.0);
    return faultOn;
}

void TMyGenerator::BerekenPelek(double factor) {
    if (factor == 0) {
        Pelek = 0;
    } else {
        Pelek = static_cast<double>(factor * std::sin(static_cast<long double>(Delta)));
    }
}

void TMyGenerator::BerekenDomega(double dt) {
    const long double k = 1.0L / (SynchronousSpeed * M);
    const long double a = k * ((static_cast<long double>(Pmech) - Pelek) * Pmax * dt);
    const long double b = k * (static_cast<long double>(Demping) * Pmax * Domega);
    Domega = static_cast<double>(Domega + a - b);
}

void TMyGenerator::BerekenDelta(double dt) {
    Delta = static_cast<double>(static_cast<long double>(Domega) * dt + Delta);
}

bool TMyGenerator::FollowsFromItsValues() const {
    const TMyGenerator fresh(TGenParams{Pmax, H, Demping, Pmech});
    return fresh.M == M && fresh.Delta0 == Delta0;
}
