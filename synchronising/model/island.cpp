#include "island.h"

#include <cmath>
#include <limits>

namespace {
constexpr double RatedFrequency = 50, RatedVoltage = 380, ReactiveShare = 0.75;
} // namespace

double droopStiffnessKwPerHz(double ratingKw, double droopPct) {
    return ratingKw / (droopPct / 100 * RatedFrequency);
}

double voltageStiffnessKvarPerV(double ratingKw, double voltageDroopPct) {
    return ReactiveShare * ratingKw / (voltageDroopPct / 100 * RatedVoltage);
}

DroopShare droopShare(const DroopSet &set1, const DroopSet &set2, double loadPKw,
                      double loadQKvar) {
    const DroopSet *sets[2] = {&set1, &set2};
    double k = 0, kf = 0, kq = 0, kv = 0;
    for (const DroopSet *s : sets) {
        if (!s->connected) continue;
        const double ki = droopStiffnessKwPerHz(s->ratingKw, s->droopPct);
        const double kqi = voltageStiffnessKvarPerV(s->ratingKw, s->voltageDroopPct);
        k += ki;
        kf += ki * s->setpointHz;
        kq += kqi;
        kv += kqi * s->voltageSetpointV;
    }
    DroopShare d;
    if (k == 0) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        d.frequencyHz = d.voltageV = nan;
        d.pKw[0] = d.pKw[1] = d.qKvar[0] = d.qKvar[1] = nan;
        return d;
    }
    d.frequencyHz = (kf - loadPKw) / k;
    d.voltageV = (kv - loadQKvar) / kq;
    for (int i = 0; i < 2; ++i) {
        const DroopSet &s = *sets[i];
        if (!s.connected) continue;
        d.pKw[i] = droopStiffnessKwPerHz(s.ratingKw, s.droopPct) * (s.setpointHz - d.frequencyHz);
        d.qKvar[i] = voltageStiffnessKvarPerV(s.ratingKw, s.voltageDroopPct) *
                     (s.voltageSetpointV - d.voltageV);
    }
    return d;
}

std::optional<std::string> checkIsland(const IslandSettings &, const IslandLoad &) {
    return std::nullopt;
}
