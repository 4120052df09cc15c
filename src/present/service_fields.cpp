// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/service_fields.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <utility>

#include "link/parameter_codes.h"
#include "panel/regulation_fields.h"
#include "present/kind_fields.h"
#include "text/text_format.h"

namespace tk358 {

namespace {

using F = ServiceField;
using B = ServiceBox;

// Collects the texts of one tick; a field whose source is not available is empty.
class Texts {
public:
    void Put(ServiceField field, bool available, std::string text) {
        out_.push_back({field, available ? std::move(text) : std::string()});
    }
    std::vector<ServiceText> Take() { return std::move(out_); }

private:
    std::vector<ServiceText> out_;
};

std::string Tenths(int64_t value) {
    return FormatFixed(static_cast<double>(value) / 10.0, 1);
}

std::string Hundredths(int64_t value) {
    return FormatFixed(static_cast<double>(value) / 100.0, 2);
}

std::string OnOff(bool on) {
    return on ? "WŁ" : "WYŁ";
}

std::string CommandName(int32_t code) {
    switch (code) {
        case 1:
            return "OPEN";
        case 2:
            return "CLOSE";
        case 3:
            return "CORRECT";
        case 4:
            return "BREAK";
        default:
            return "---";
    }
}

std::string MotorText(const ValveState& v) {
    if (v.motorRunning == 0) {
        return "---";
    }
    return v.opening != 0 ? "OTWIERANIE" : "ZAMYKANIE";
}

std::string DrainStateName(uint16_t code) {
    static constexpr const char* kNames[] = {"INIT",   "NOCTL", "DROPREQ", "INDROP",
                                             "TUNDER", "WAIT",  "OK"};
    return code < std::size(kNames) ? kNames[code] : "---";
}

std::string FansName(int32_t value) {
    switch (value) {
        case 0:
            return "BRAK";
        case 1:
            return "WENT 1";
        case 2:
            return "WENT 2";
        default:
            return "WENT 1+2";
    }
}

// Fields of the regulator state shown by the temperature, drain-valve and
// dual-zone controllers (the CV lock is put separately).
void PutRegulator(Texts& t, const RegulatorState& r) {
    const bool ok = r.valid != 0;
    t.Put(F::kError, ok, FormatFixed(r.error, 2));
    t.Put(F::kCv, ok, FormatFixed(r.controlValue, 1));
    t.Put(F::kLoopPeriod, ok, FormatInt(int64_t{r.loopPeriod} * 100));
    t.Put(F::kPv, ok, FormatFixed(r.processValue, 4));
    t.Put(F::kPvDerivative1, ok, FormatFixed(r.pvDerivative1, 7));
    t.Put(F::kPvDerivative2, ok, FormatFixed(r.pvDerivative2, 7));
    t.Put(F::kTermP, ok, FormatFixed(r.loopTerm1, 3));
    t.Put(F::kTermI, ok, FormatFixed(r.loopTerm2, 3));
    t.Put(F::kTermD, ok, FormatFixed(r.loopTerm3, 3));
}

void PutCvLock(Texts& t, const RegulatorState& r) {
    t.Put(F::kCvLock, r.valid != 0, r.cvLock != 0 ? "TAK" : "NIE");
}

void PutValve(Texts& t, const ValveState& v) {
    const bool ok = v.valid != 0;
    t.Put(F::kMotor, ok, MotorText(v));
    t.Put(F::kPosition, ok, FormatFixed(v.position, 1) + " %");
    t.Put(F::kCommand, ok, CommandName(v.commandCode));
    t.Put(F::kCommandValue, ok, Tenths(v.commandValue));
    t.Put(F::kTimer2, ok, Tenths(v.timer2));
    t.Put(F::kTimer1, ok, Tenths(v.timer1));
}

// The fields of `kind` shown from its parameter set, empty until that set is read.
void PutParameters(Texts& t, const ParameterSet& p, int kind) {
    const bool ok = p.ReadComplete(kind);
    for (const ServiceParameter& entry : ServiceParameters(kind)) {
        switch (entry.shown) {
            case ServiceShown::kParameter:
                t.Put(entry.field, ok, ParameterText(p, entry.code));
                break;
            case ServiceShown::kYesNo:
                t.Put(entry.field, ok, p.Shown(entry.code) != 0 ? "TAK" : "NIE");
                break;
            case ServiceShown::kFans:
                t.Put(entry.field, ok, FansName(p.Shown(entry.code)));
                break;
        }
    }
}

void PutTemperatureController(Texts& t, const ReadingsSnapshot& s) {
    const ParameterSet& p = s.parameters;
    PutParameters(t, p, kTemperatureController);
    PutCvLock(t, s.regulator);
    PutRegulator(t, s.regulator);
    PutValve(t, s.valve);
}

void PutDrainValveController(Texts& t, const ReadingsSnapshot& s) {
    const ParameterSet& p = s.parameters;
    const bool ok = p.ReadComplete(kDrainValveController);
    PutParameters(t, p, kDrainValveController);
    const DrainValveState& d = s.drainValve;
    const bool dOk = d.valid != 0;
    t.Put(F::kTimer1, dOk, Tenths(d.timer1));
    t.Put(F::kTimer2, dOk, Tenths(d.timer2));
    t.Put(F::kDrainStatus, dOk, DrainStateName(d.stateCode));
    t.Put(F::kDrainValve, dOk, d.valveOpen != 0 ? "OTWARTY" : "ZAMKNIĘTY");
    t.Put(F::kSp, ok || p.ReadComplete(kTemperatureController), ParameterText(p, param::kSetpoint));
    PutRegulator(t, s.regulator);
}

void PutVentilationController(Texts& t, const ReadingsSnapshot& s) {
    const ParameterSet& p = s.parameters;
    PutParameters(t, p, kVentilationController);
    const VentilationState& v = s.ventilation;
    const bool vOk = v.valid != 0;
    t.Put(F::kTimeCounter, vOk, FormatInt(v.timeCounter));
    t.Put(F::kPeriodStart, vOk, FormatInt(v.periodStartCounter));
    t.Put(F::kFan1, vOk, OnOff((v.fanBits & 1u) != 0));
    t.Put(F::kFan2, vOk, OnOff((v.fanBits & 2u) != 0));
    t.Put(F::kVirtualFan1, vOk, OnOff((v.virtualFanBits & 1u) != 0));
    t.Put(F::kVirtualFan2, vOk, OnOff((v.virtualFanBits & 2u) != 0));
}

void PutDualZoneController(Texts& t, const ReadingsSnapshot& s) {
    const ParameterSet& p = s.parameters;
    PutParameters(t, p, kDualZoneController);
    t.Put(F::kActiveZone, s.activeZone.valid != 0,
          s.activeZone.zone != 0 ? "Strefa 2" : "Strefa 1");
    t.Put(F::kSp, s.setpoint.valid != 0, Hundredths(s.setpoint.setpoint));
    PutCvLock(t, s.regulator);
    PutRegulator(t, s.regulator);
    PutValve(t, s.valve);
}

void PutThresholdRegulator(Texts& t, const ReadingsSnapshot& s) {
    const ParameterSet& p = s.parameters;
    PutParameters(t, p, kThresholdRegulator);
    const RelayState& r = s.relay;
    const bool rOk = r.valid != 0;
    t.Put(F::kRelay1, rOk, r.relay1 != 0 ? "1 - WŁ" : "0 - WYŁ");
    t.Put(F::kRelay2, rOk, r.relay2 != 0 ? "1 - WŁ" : "0 - WYŁ");
    t.Put(F::kRelayLoopPeriod, rOk, Tenths(r.loopPeriod));
}

}  // namespace

const char* ServiceBoxTitle(ServiceBox box) {
    switch (box) {
        case B::kPid:
            return "Parametry PID";
        case B::kRegulation:
            return "Parametry regulacji";
        case B::kOperational:
            return "Parametry operacyjne";
    }
    return "";
}

std::vector<ServiceText> ComputeServiceTexts(const ReadingsSnapshot& s) {
    Texts t;
    switch (s.identity.deviceType) {
        case kDrainValveController:
            PutDrainValveController(t, s);
            break;
        case kVentilationController:
            PutVentilationController(t, s);
            break;
        case kDualZoneController:
            PutDualZoneController(t, s);
            break;
        case kThresholdRegulator:
            PutThresholdRegulator(t, s);
            break;
        default:
            PutTemperatureController(t, s);
            break;
    }
    return t.Take();
}

std::vector<ServiceText> ClearedServiceTexts() {
    std::vector<ServiceText> out;
    out.reserve(AllServiceFields().size());
    for (ServiceField f : AllServiceFields()) {
        out.push_back({f, std::string()});
    }
    return out;
}

}  // namespace tk358
