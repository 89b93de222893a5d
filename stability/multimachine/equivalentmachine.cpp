#include "equivalentmachine.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace multimachine {

double EquivalentCurve::at(double delta) const {
    return pc + pmax * std::sin(delta - v);
}

namespace {

// How far along the faulted curve the clearing is looked for, s, as the simulation's
// search; and the step of that integration (fourth-order Runge-Kutta).
constexpr double LongestClearing = 2.0;
constexpr double CurveStep = 0.0005;

// The two groups: which machines are in the cluster, and their total inertias.
struct Groups {
    std::vector<bool> inCluster;
    double mc = 0, mn = 0, mt = 0;
    Groups(const ClassicalModel &model, const std::vector<int> &cluster)
        : inCluster(model.machineCount(), false) {
        for (int i : cluster) inCluster[static_cast<std::size_t>(i)] = true;
        for (std::size_t i = 0; i < inCluster.size(); ++i)
            (inCluster[i] ? mc : mn) += model.inertia[i];
        mt = mc + mn;
    }
    // The centre of the cluster's values less the rest's, weighted by inertia.
    double centreDifference(const ClassicalModel &model, const std::vector<double> &values) const {
        double c = 0, n = 0;
        for (std::size_t i = 0; i < inCluster.size(); ++i)
            (inCluster[i] ? c : n) += model.inertia[i] * values[i];
        return c / mc - n / mn;
    }
    // (Mn sum_C P - Mc sum_N P) / MT: a power of the equivalent from the machines'.
    double power(const std::vector<double> &values) const {
        double c = 0, n = 0;
        for (std::size_t i = 0; i < inCluster.size(); ++i) (inCluster[i] ? c : n) += values[i];
        return (mn * c - mc * n) / mt;
    }
};

// The equivalent's curve on a reduced matrix, the offsets xi inside each group frozen.
// With Y = G + jB, Pe_i = sum_k E_i E_k (G_ik cos d_ik + B_ik sin d_ik). Inside a group
// d_ik = xi_i - xi_k is fixed; across, d_ij = delta + th_ij (i in C, j in N, th_ij =
// xi_i - xi_j), so that sum_C Pe = P_CC + C1 cos delta + D1 sin delta and
// sum_N Pe = P_NN + C2 cos delta + D2 sin delta with
//   C1 = sum E_i E_j (G_ij cos th + B_ij sin th),  D1 = sum E_i E_j (B_ij cos th - G_ij sin th),
//   C2 = sum E_i E_j (G_ji cos th - B_ji sin th),  D2 = -sum E_i E_j (G_ji sin th + B_ji cos th).
// Pe = (Mn sum_C Pe - Mc sum_N Pe) / MT = pc + C cos delta + D sin delta
//    = pc + pmax sin(delta - v) with pmax = hypot(C, D), v = atan2(-C, D).
EquivalentCurve curveOn(const Eigen::MatrixXcd &y, const std::vector<double> &magnitude,
                        const std::vector<double> &offset, const Groups &g) {
    double pcc = 0, pnn = 0, c1 = 0, d1 = 0, c2 = 0, d2 = 0;
    const std::size_t n = magnitude.size();
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t k = 0; k < n; ++k) {
            const auto yi = static_cast<Eigen::Index>(i), yk = static_cast<Eigen::Index>(k);
            const double ee = magnitude[i] * magnitude[k];
            const double th = offset[i] - offset[k];
            const double gik = y(yi, yk).real(), bik = y(yi, yk).imag();
            if (g.inCluster[i] == g.inCluster[k]) {
                (g.inCluster[i] ? pcc : pnn) += ee * (gik * std::cos(th) + bik * std::sin(th));
            } else if (g.inCluster[i]) {
                const double gki = y(yk, yi).real(), bki = y(yk, yi).imag();
                c1 += ee * (gik * std::cos(th) + bik * std::sin(th));
                d1 += ee * (bik * std::cos(th) - gik * std::sin(th));
                c2 += ee * (gki * std::cos(th) - bki * std::sin(th));
                d2 -= ee * (gki * std::sin(th) + bki * std::cos(th));
            }
        }
    }
    const double c = (g.mn * c1 - g.mc * c2) / g.mt;
    const double d = (g.mn * d1 - g.mc * d2) / g.mt;
    EquivalentCurve curve;
    curve.pc = (g.mn * pcc - g.mc * pnn) / g.mt;
    curve.pmax = std::hypot(c, d);
    curve.v = std::atan2(-c, d);
    return curve;
}

// The area between Pm and a curve from a to b: the integral of Pm - Pe.
double areaBelowPm(const EquivalentCurve &curve, double pm, double a, double b) {
    return (pm - curve.pc) * (b - a) + curve.pmax * (std::cos(b - curve.v) - std::cos(a - curve.v));
}

// The time the equivalent takes from delta0 at rest to `angle` along the faulted curve,
// M d2(delta)/dt2 = Pm - Pe_faulted(delta); infinite when it turns back first or takes
// longer than the longest clearing looked for.
double timeToAngle(const EquivalentResult &r, double angle) {
    const auto accel = [&r](double delta) {
        return (r.mechanicalPower - r.faulted.at(delta)) / r.inertia;
    };
    double delta = r.delta0, speed = 0, t = 0;
    if (accel(delta) <= 0) return std::numeric_limits<double>::infinity();
    while (t < LongestClearing) {
        const double h = CurveStep;
        const double k1d = speed, k1s = accel(delta);
        const double k2d = speed + h / 2 * k1s, k2s = accel(delta + h / 2 * k1d);
        const double k3d = speed + h / 2 * k2s, k3s = accel(delta + h / 2 * k2d);
        const double k4d = speed + h * k3s, k4s = accel(delta + h * k3d);
        const double nextDelta = delta + h / 6 * (k1d + 2 * k2d + 2 * k3d + k4d);
        const double nextSpeed = speed + h / 6 * (k1s + 2 * k2s + 2 * k3s + k4s);
        if (nextDelta >= angle) return t + h * (angle - delta) / (nextDelta - delta);
        if (nextSpeed <= 0) break;
        delta = nextDelta;
        speed = nextSpeed;
        t += h;
    }
    return std::numeric_limits<double>::infinity();
}

void settle(EquivalentResult &r, EquivalentResult::Kind kind, const char *problem) {
    r.kind = kind;
    r.found = kind == EquivalentResult::Kind::Found;
    r.problem = problem;
    r.criticalClearingMs = kind == EquivalentResult::Kind::UnstableAtOnce
                               ? 0
                               : std::numeric_limits<double>::infinity();
}

} // namespace

double equivalentAngle(const ClassicalModel &model, const std::vector<int> &clusterIndices,
                       const std::vector<double> &delta) {
    return Groups(model, clusterIndices).centreDifference(model, delta);
}

double equivalentPower(const ClassicalModel &model, const std::vector<int> &clusterIndices,
                       const std::vector<double> &power) {
    return Groups(model, clusterIndices).power(power);
}

EquivalentResult equivalentFor(const ClassicalModel &model,
                               const std::vector<int> &clusterIndices) {
    EquivalentResult r;
    const Groups g(model, clusterIndices);
    const std::size_t n = model.machineCount();
    for (std::size_t i = 0; i < n; ++i) {
        if (g.inCluster[i]) r.clusterIndices.push_back(static_cast<int>(i));
        (g.inCluster[i] ? r.criticalMachines : r.otherMachines).push_back(model.machineBus[i]);
    }
    if (g.mc <= 0 || g.mn <= 0) {
        settle(r, EquivalentResult::Kind::StableThroughout,
               "the cluster needs at least one machine and must leave one out");
        return r;
    }
    std::vector<double> magnitude(n), angle(n), offset(n);
    for (std::size_t i = 0; i < n; ++i) {
        magnitude[i] = std::abs(model.emf[i]);
        angle[i] = std::arg(model.emf[i]);
    }
    // The offsets inside each group from its centre of angle, as before the fault.
    double centre[2] = {0, 0};
    for (std::size_t i = 0; i < n; ++i) centre[g.inCluster[i]] += model.inertia[i] * angle[i];
    centre[1] /= g.mc;
    centre[0] /= g.mn;
    for (std::size_t i = 0; i < n; ++i) offset[i] = angle[i] - centre[g.inCluster[i]];
    r.delta0 = centre[1] - centre[0];
    r.inertia = g.mc * g.mn / g.mt;
    r.mechanicalPower = g.power(model.mechanicalPower);
    r.preFault = curveOn(model.preFault, magnitude, offset, g);
    r.faulted = curveOn(model.faulted, magnitude, offset, g);
    r.postFault = curveOn(model.cleared, magnitude, offset, g);

    const double pm = r.mechanicalPower;
    const EquivalentCurve &post = r.postFault;
    const double s = post.pmax > 0 ? (pm - post.pc) / post.pmax : 2.0;
    if (!(std::abs(s) < 1)) {
        settle(r, EquivalentResult::Kind::UnstableAtOnce,
               "the post-fault curve cannot balance the equivalent's mechanical power: out of "
               "step even when cleared at once");
        return r;
    }
    r.unstableAngle = Pi - std::asin(s) + post.v;
    // Equal areas: the accelerating area up to the clearing angle x on the faulted curve
    // equals the decelerating area from x up to the unstable equilibrium on the post-fault
    // one, F(x) = A1(x) - A2(x) = 0.
    const auto f = [&](double x) {
        return areaBelowPm(r.faulted, pm, r.delta0, x) + areaBelowPm(post, pm, x, r.unstableAngle);
    };
    if (r.delta0 >= r.unstableAngle || f(r.delta0) >= 0) {
        settle(r, EquivalentResult::Kind::UnstableAtOnce,
               "the post-fault curve has too little decelerating area: out of step even when "
               "cleared at once");
        return r;
    }
    if (f(r.unstableAngle) <= 0) {
        settle(r, EquivalentResult::Kind::StableThroughout,
               "the faulted curve never gathers more accelerating area than the post-fault curve "
               "takes back: in step whatever the clearing time");
        return r;
    }
    double low = r.delta0, high = r.unstableAngle;
    for (int i = 0; i < 100 && high - low > 1e-13; ++i) {
        const double mid = (low + high) / 2;
        (f(mid) < 0 ? low : high) = mid;
    }
    r.criticalAngle = (low + high) / 2;
    const double t = timeToAngle(r, r.criticalAngle);
    if (!std::isfinite(t)) {
        settle(r, EquivalentResult::Kind::StableThroughout,
               "the faulted curve does not carry the equivalent to its critical angle within "
               "2000 ms: in step whatever the clearing time");
        return r;
    }
    r.kind = EquivalentResult::Kind::Found;
    r.found = true;
    r.criticalClearingMs = t * 1000;
    return r;
}

EquivalentResult equivalentMachine(const ClassicalModel &model, const FaultSpec & /*fault*/) {
    // Each machine's acceleration at the fault's start, the angles still the pre-fault.
    const auto n = static_cast<Eigen::Index>(model.machineCount());
    const Eigen::Map<const Eigen::VectorXcd> e(model.emf.data(), n);
    const Eigen::VectorXcd current = model.faulted * e;
    std::vector<double> acceleration;
    for (Eigen::Index i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        acceleration.push_back((model.mechanicalPower[k] - (e(i) * std::conj(current(i))).real()) /
                               model.inertia[k]);
    }
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return acceleration[static_cast<std::size_t>(a)] >
               acceleration[static_cast<std::size_t>(b)];
    });
    EquivalentResult best;
    for (std::size_t k = 1; k < order.size(); ++k) {
        std::vector<int> cluster(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(k));
        std::sort(cluster.begin(), cluster.end());
        EquivalentResult candidate = equivalentFor(model, cluster);
        if (k == 1 || candidate.criticalClearingMs < best.criticalClearingMs)
            best = std::move(candidate);
    }
    return best;
}

} // namespace multimachine
