#include "switchinglog.h"

#include <cmath>

namespace {

// Round-off in the readings never decides a limit: 399 V, 5 % above the network's,
// reads 5.000000000000015 % at some starts.
constexpr double RoundOff = 1e-9;

} // namespace

RealCheck judgeRealLimits(const PanelReading &r) {
    RealCheck check;
    check.judged = r;
    // Two phases would close 120 degrees apart, or would come apart at once: no setting
    // of the others makes up for it.
    check.phaseOrderWrong = !r.phaseOrderRight;
    check.directionWrong = !r.directionRight;
    check.angleBeyond = !(std::fabs(r.phaseDifferenceDeg) <= RealMaxAngleDeg + RoundOff);
    const double dv = r.voltageDifferencePercent;
    check.voltageBeyond =
        !(dv >= RealMinVoltagePercent - RoundOff && dv <= RealMaxVoltagePercent + RoundOff);
    check.slipBeyond = !(std::fabs(r.slipHz) <= RealMaxSlipHz + RoundOff);
    check.within = !(check.phaseOrderWrong || check.directionWrong || check.angleBeyond ||
                     check.voltageBeyond || check.slipBeyond);
    return check;
}

void SwitchingLog::add(const LoggedSwitching &switching) {
    if (m_entries.size() >= MaxEntries) m_entries.erase(m_entries.begin());
    m_entries.push_back(switching);
}
