#include "dialogs/regulation_params.h"

#include "text/text_format.h"

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
    // The thresholds are signed, the hystereses unsigned, in 16-bit slots.
    return {p.Signed16(t1), p.Signed16(t2), p.Unsigned16(h1), p.Unsigned16(h2)};
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
    if (kind == kDualZoneController) {
        v.openTime = p.Value(140);
        v.closeTime = p.Value(141);
        v.deadTime = p.Value(142);
        v.minStandstill = p.Value(143);
        v.deadBand = p.Value(144);
        v.minOnTime = p.Value(145);
        v.reverse = p.Value(146) != 0 ? 1 : 0;
    } else {
        v.openTime = p.Value(32);
        v.closeTime = p.Value(33);
        v.deadTime = p.Value(34);
        v.minStandstill = p.Value(35);
        // One byte on this kind; the bounds 0..25.5 % make it unsigned, so a
        // byte read back with its sign still shows what was written.
        v.deadBand = p.Value(36) & 0xFF;
        v.minOnTime = p.Value(37);
    }
    return v;
}

std::optional<DrainValveParameters> ReadDrainValveParameters(const PanelAccess& session) {
    const Snapshot s = Take(session, true);
    if (!Holds(s, kDrainValveController) || s.regulator.valid == 0) {
        return std::nullopt;
    }
    return DrainValveParameters{s.parameters.Value(64), s.parameters.Value(65),
                                s.parameters.Value(66)};
}

std::optional<VentilationParameters> ReadVentilationParameters(const PanelAccess& session) {
    const Snapshot s = Take(session, false);
    if (!Holds(s, kVentilationController)) {
        return std::nullopt;
    }
    const ParameterSet& p = s.parameters;
    // The thresholds are two bytes written without a sign; read back either
    // way, below zero they must show as such.
    VentilationParameters v;
    v.t1 = p.Signed16(72);
    v.t2 = p.Signed16(73);
    v.h1 = p.Value(74);
    v.h2 = p.Value(75);
    v.airing = p.Value(76);
    v.fans = p.Value(77);
    v.airingTime = p.Value(78);
    v.airingPeriod = p.Value(79);
    v.airingThreshold = p.Signed16(80);
    return v;
}

std::optional<ThresholdParameters> ReadThresholdParameters(const PanelAccess& session) {
    const Snapshot s = Take(session, false);
    if (!Holds(s, kThresholdRegulator)) {
        return std::nullopt;
    }
    return ThresholdParameters{ThresholdSetOf(s.parameters, 90, 91, 92, 93),
                               s.parameters.Value(165)};
}

std::optional<ThresholdTimeParameters> ReadThresholdTimeParameters(const PanelAccess& session) {
    const Snapshot s = Take(session, false);
    if (!Holds(s, kThresholdRegulator)) {
        return std::nullopt;
    }
    const ParameterSet& p = s.parameters;
    ThresholdTimeParameters v;
    v.day = ThresholdSetOf(p, 90, 91, 92, 93);
    v.night = ThresholdSetOf(p, 160, 161, 162, 163);
    v.dayHour = StartHour(p.Unsigned16(95));
    v.dayMinute = StartMinute(p.Unsigned16(95));
    v.nightHour = StartHour(p.Unsigned16(164));
    v.nightMinute = StartMinute(p.Unsigned16(164));
    v.channels = p.Value(165);
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

int StartHour(int steps) {
    return steps * 10 / 60;
}

int StartMinute(int steps) {
    return steps * 10 % 60;
}

std::string FormatTenths(int tenths) {
    return FormatFixed(static_cast<double>(tenths) / 10.0, 1);
}

}  // namespace tk358
