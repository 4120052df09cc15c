// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/regulation_params.h"

#include "link/parameter_codes.h"
#include "present/kind_fields.h"

namespace tk358 {
namespace {

// The snapshots a dialog opens from; `ok` when every getter answered and the
// panel is identified.
struct Snapshot {
    PanelIdentity identity;
    RegulatorState regulator;
    ParameterSet parameters;
    bool ok = false;
};

Snapshot Take(const PanelAccess& session, bool withRegulator) {
    Snapshot s;
    const int identityStatus = session.GetIdentity(s.identity);
    const int regulatorStatus = withRegulator ? session.GetRegulatorState(s.regulator) : kStatusOk;
    const int parametersStatus = session.GetParameters(s.parameters);
    s.ok = identityStatus == kStatusOk && regulatorStatus == kStatusOk &&
           parametersStatus == kStatusOk && s.identity.identified != 0;
    return s;
}

// The panel is of `kind` and the parameter set of that kind is complete.
bool Holds(const Snapshot& s, int kind) {
    return s.ok && s.identity.deviceType == kind && s.parameters.ReadComplete(kind);
}

ThresholdSet ThresholdSetOf(const ParameterSet& p, int t1, int t2, int h1, int h2) {
    return {p.Shown(t1), p.Shown(t2), p.Shown(h1), p.Shown(h2)};
}

}  // namespace

std::optional<ValveParameters> ReadValveParameters(const PanelAccess& session) {
    const Snapshot s = Take(session, true);
    const int kind = s.identity.deviceType;
    // Only the set read for the kind attached: a set left from another panel
    // would show that panel's values.
    if (kind != kTemperatureController && kind != kDualZoneController) {
        return std::nullopt;
    }
    if (!Holds(s, kind) || s.regulator.valid == 0) {
        return std::nullopt;
    }
    const ParameterSet& p = s.parameters;
    ValveParameters v;
    v.kind = kind;
    const ValveCodes c = ValveCodesFor(kind);
    v.openTime = p.Shown(c.openTime);
    v.closeTime = p.Shown(c.closeTime);
    v.deadTime = p.Shown(c.deadTime);
    v.minStandstill = p.Shown(c.minStandstill);
    v.deadBand = p.Shown(c.deadBand);
    v.minOnTime = p.Shown(c.minOnTime);
    if (kind == kDualZoneController) {
        v.reverse = p.Shown(param::kDualReverse) != 0 ? 1 : 0;
    }
    return v;
}

std::optional<DrainValveParameters> ReadDrainValveParameters(const PanelAccess& session) {
    const Snapshot s = Take(session, true);
    if (!Holds(s, kDrainValveController) || s.regulator.valid == 0) {
        return std::nullopt;
    }
    DrainValveParameters v;
    for (const DialogRow<DrainValveParameters>& row : DrainValveRows()) {
        v.*row.value = s.parameters.Shown(row.code);
    }
    return v;
}

std::optional<VentilationParameters> ReadVentilationParameters(const PanelAccess& session) {
    const Snapshot s = Take(session, false);
    if (!Holds(s, kVentilationController)) {
        return std::nullopt;
    }
    const ParameterSet& p = s.parameters;
    VentilationParameters v;
    for (const auto rows : {VentilationThresholdRows(), VentilationAiringRows()}) {
        for (const DialogRow<VentilationParameters>& row : rows) {
            v.*row.value = p.Shown(row.code);
        }
    }
    v.airing = p.Shown(param::kAiring);
    v.fans = p.Shown(param::kFans);
    return v;
}

std::optional<ThresholdParameters> ReadThresholdParameters(const PanelAccess& session) {
    const Snapshot s = Take(session, false);
    if (!Holds(s, kThresholdRegulator)) {
        return std::nullopt;
    }
    return ThresholdParameters{
        ThresholdSetOf(s.parameters, param::kDayT1, param::kDayT2, param::kDayH1, param::kDayH2),
        s.parameters.Shown(param::kChannels)};
}

std::optional<ThresholdTimeParameters> ReadThresholdTimeParameters(const PanelAccess& session) {
    const Snapshot s = Take(session, false);
    if (!Holds(s, kThresholdRegulator)) {
        return std::nullopt;
    }
    const ParameterSet& p = s.parameters;
    ThresholdTimeParameters v;
    v.day = ThresholdSetOf(p, param::kDayT1, param::kDayT2, param::kDayH1, param::kDayH2);
    v.night = ThresholdSetOf(p, param::kNightT1, param::kNightT2, param::kNightH1, param::kNightH2);
    v.dayHour = TimeOfDayHours(p.Shown(param::kDayStart));
    v.dayMinute = TimeOfDayMinutes(p.Shown(param::kDayStart));
    v.nightHour = TimeOfDayHours(p.Shown(param::kNightStart));
    v.nightMinute = TimeOfDayMinutes(p.Shown(param::kNightStart));
    v.channels = p.Shown(param::kChannels);
    return v;
}

int WriteParameters(PanelAccess& session, const ValveParameters& v) {
    return session.WriteRegulationParameters(v.openTime, v.closeTime, v.deadTime, v.minStandstill,
                                             v.minOnTime, v.deadBand, v.reverse);
}

int WriteParameters(PanelAccess& session, const DrainValveParameters& v) {
    return session.WriteDrainValveParameters(v.drainTime, v.closeDelay, v.deviation);
}

int WriteParameters(PanelAccess& session, const VentilationParameters& v) {
    return session.WriteVentilationParameters(v.t1, v.t2, v.h1, v.h2, v.airing, v.fans,
                                              v.airingTime, v.airingPeriod, v.airingThreshold);
}

int WriteParameters(PanelAccess& session, const ThresholdParameters& v) {
    return session.WriteThresholdParameters(v.set.t1, v.set.t2, v.set.h1, v.set.h2, v.channels);
}

int WriteParameters(PanelAccess& session, const ThresholdTimeParameters& v) {
    return session.WriteThresholdTimeParameters(
        v.day.t1, v.day.t2, v.day.h1, v.day.h2, v.night.t1, v.night.t2, v.night.h1, v.night.h2,
        v.dayHour, v.dayMinute, v.nightHour, v.nightMinute, v.channels);
}

bool FanOn(int mask, int fan) {
    return fan >= 1 && fan <= 2 && (mask & (1 << (fan - 1))) != 0;
}

int FanMask(bool fan1, bool fan2) {
    return (fan1 ? 1 : 0) | (fan2 ? 2 : 0);
}

}  // namespace tk358
