#pragma once

#include "constants.h"

#include <cstdint>

// The machine data the user edits: Pmax in the user's power unit, H in seconds,
// Demping as used in the speed step, Pmech per-unit of Pmax. The values here are the
// program's defaults.
struct TGenParams {
    double Pmax = 450.0;
    double H = 6.0;
    double Demping = 0.00002;
    double Pmech = 0.5;
};

inline bool operator==(const TGenParams &a, const TGenParams &b) {
    return a.Pmax == b.Pmax && a.H == b.H && a.Demping == b.Demping && a.Pmech == b.Pmech;
}
inline bool operator!=(const TGenParams &a, const TGenParams &b) {
    return !(a == b);
}

// One synchronous generator on an infinite bus, stepped by the classical swing equation
//     (2H / C) d2delta/dt2 = Pmech - Pelek,  Pelek = sin(delta) once the fault is cleared,
// normalised to Pmax (Kundur, Power System Stability and Control, ch. 13). Each step
// takes the electrical power from the angle of the previous step, then the speed, then
// the angle from the new speed (semi-implicit Euler).
class TMyGenerator {
public:
    // A generator at its pre-fault equilibrium: no speed deviation, Pelek = Pmech,
    // Delta = arcsin(Pmech).
    explicit TMyGenerator(const TGenParams &params);

    // Whether the fault is still on at the clock `totTijd`: inclusive, so the step whose
    // clock equals the clearing time still sees the fault.
    static bool FaultOn(double totTijd, std::int32_t afschakeltijdMs);

    // Electrical power: zero while the fault is on, sin(Delta) after it has been
    // cleared. Returns whether the fault was on.
    bool BerekenPelek(double totTijd, std::int32_t afschakeltijdMs);
    // Electrical power on a network that carries `factor` of the pre-fault Pmax:
    // factor * sin(Delta); exactly zero for a factor of 0.
    void BerekenPelek(double factor);
    // Speed step. The damping term is not scaled by dt: each step removes
    // (C / 2H) * Demping of the speed deviation, whatever the step length.
    void BerekenDomega(double dt);
    // Angle step with the speed just computed; the angle is never wrapped.
    void BerekenDelta(double dt);

    // Whether M and the starting angle are still what creation from the present Pmax, H
    // and Pmech gives (the machine data may have been written in since).
    bool FollowsFromItsValues() const;

    // What the read-outs show: the rotor angle in degrees and the electrical power in
    // the user's unit.
    long double DeltaInDegrees() const { return Delta / TwoPi * 360.0L; }
    long double PelekInPowerUnit() const { return static_cast<long double>(Pelek) * Pmax; }

    double Domega = 0;
    double Delta = 0;
    double Delta0 = 0;
    double Pmax = 0;
    double Pmech = 0;
    double Pelek = 0;
    double M = 0;
    double H = 0;
    double Demping = 0;
};
