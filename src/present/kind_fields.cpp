// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/kind_fields.h"

#include <array>
#include <cstddef>
#include <iterator>

#include "link/parameter_codes.h"
#include "link/records.h"

namespace tk358 {

namespace {

using F = ServiceField;
using S = ServiceShown;
using namespace param;
using VentRow = DialogRow<VentilationParameters>;

// ---- Temperature controller (kind 0) ----

constexpr ServiceParameter kTemperatureService[] = {
    {F::kValveOpenTime, kValveOpenTime},
    {F::kValveCloseTime, kValveCloseTime},
    {F::kDeadTime, kDeadTime},
    {F::kDeadBand, kDeadBand},
    {F::kMinStandstill, kMinStandstill},
    {F::kMinOnTime, kMinOnTime},
    {F::kKp, kKp},
    {F::kTi, kTi},
    {F::kTd, kTd},
    {F::kTa, kTa},
    {F::kSp, kSetpoint},
};

constexpr DialogRow<ValveParameters> kValveRows[] = {
    {kValveOpenTime, "openTimeEdit", &rules::kValveOpenTime, &ValveParameters::openTime},
    {kValveCloseTime, "closeTimeEdit", &rules::kValveCloseTime, &ValveParameters::closeTime},
    {kDeadTime, "deadTimeEdit", &rules::kDeadTime, &ValveParameters::deadTime},
    {kMinStandstill, "minStandstillEdit", &rules::kMinStandstill, &ValveParameters::minStandstill},
    {kMinOnTime, "minOnTimeEdit", &rules::kMinOnTime, &ValveParameters::minOnTime},
    {kDeadBand, "deadBandEdit", &rules::kDeadBand, &ValveParameters::deadBand},
};

// ---- Drain-valve controller (kind 1) ----

// The set point is shown from either kind's set (see the service view).
constexpr ServiceParameter kDrainValveService[] = {
    {F::kDrainTime, kDrainTime},
    {F::kCloseDelay, kCloseDelay},
    {F::kDeviation, kDeviation},
};

constexpr DialogRow<DrainValveParameters> kDrainValveRows[] = {
    {kDrainTime, "drainTimeEdit", &rules::kDrainTime, &DrainValveParameters::drainTime},
    {kCloseDelay, "closeDelayEdit", &rules::kCloseDelay, &DrainValveParameters::closeDelay},
    {kDeviation, "deviationEdit", &rules::kDeviation, &DrainValveParameters::deviation},
};

// ---- Ventilation controller (kind 2) ----

constexpr ServiceParameter kVentilationService[] = {
    {F::kVentT1, kVentT1},
    {F::kVentT2, kVentT2},
    {F::kVentH1, kVentH1},
    {F::kVentH2, kVentH2},
    {F::kAiring, kAiring, S::kYesNo},
    {F::kFans, kFans, S::kFans},
    {F::kAiringTime, kAiringTime},
    {F::kAiringPeriod, kAiringPeriod},
    {F::kAiringThreshold, kAiringThreshold},
};

constexpr VentRow kVentThresholdRows[] = {
    {kVentT1, "t1Edit", &rules::kVentThreshold, &VentilationParameters::t1},
    {kVentT2, "t2Edit", &rules::kVentThreshold, &VentilationParameters::t2},
    {kVentH1, "h1Edit", &rules::kHysteresis, &VentilationParameters::h1},
    {kVentH2, "h2Edit", &rules::kHysteresis, &VentilationParameters::h2},
};

constexpr VentRow kVentAiringRows[] = {
    {kAiringTime, "airingTimeEdit", &rules::kAiringTime, &VentilationParameters::airingTime},
    {kAiringPeriod, "airingPeriodEdit", &rules::kAiringPeriod,
     &VentilationParameters::airingPeriod},
    {kAiringThreshold, "airingThresholdEdit", &rules::kAiringThreshold,
     &VentilationParameters::airingThreshold},
};

// ---- Dual-zone controller (kind 3) ----

constexpr ServiceParameter kDualZoneService[] = {
    {F::kZone1Sp, kZone1Setpoint},
    {F::kZone2Sp, kZone2Setpoint},
    {F::kZone1Start, kZone1SwitchOn},
    {F::kZone2Start, kZone2SwitchOn},
    {F::kZone1Kp, kZone1Kp},
    {F::kZone2Kp, kZone2Kp},
    {F::kZone1Ti, kZone1Ti},
    {F::kZone2Ti, kZone2Ti},
    {F::kZone1Td, kZone1Td},
    {F::kZone2Td, kZone2Td},
    {F::kZone1At, kZone1Ta},
    {F::kZone2At, kZone2Ta},
    {F::kValveOpenTime, kDualValveOpenTime},
    {F::kValveCloseTime, kDualValveCloseTime},
    {F::kDeadBand, kDualDeadBand},
    {F::kMinStandstill, kDualMinStandstill},
    {F::kDeadTime, kDualDeadTime},
    {F::kMinOnTime, kDualMinOnTime},
    {F::kReverse, kDualReverse},
};

// ---- Threshold regulator (kind 4) ----

constexpr ServiceParameter kThresholdService[] = {
    {F::kDayT1, kDayT1},           {F::kDayT2, kDayT2},       {F::kDayH1, kDayH1},
    {F::kDayH2, kDayH2},           {F::kDayStart, kDayStart}, {F::kNightT1, kNightT1},
    {F::kNightT2, kNightT2},       {F::kNightH1, kNightH1},   {F::kNightH2, kNightH2},
    {F::kNightStart, kNightStart}, {F::kChannels, kChannels},
};

// ---- The service view of every kind ----

using B = ServiceBox;

struct FieldLabel {
    ServiceField field;
    const char* label;
};

// Every field of every group, each once, with its label.
constexpr FieldLabel kFieldLabels[] = {
    {F::kKp, "KP"},
    {F::kTi, "TI"},
    {F::kTd, "TD"},
    {F::kTa, "TA"},
    {F::kValveOpenTime, "Otw. zaworu [s] A01"},
    {F::kValveCloseTime, "Zam. zaworu[s] A02"},
    {F::kDeadBand, "Nieczuł. ster.[%] A04"},
    {F::kDeadTime, "Czas nieczuł.[s] A03"},
    {F::kMinStandstill, "Min czas post. [s] A05"},
    {F::kMinOnTime, "Min czas ruchu [s] A06"},
    {F::kCvLock, "blokada cv"},
    {F::kPv, "PV [°C]"},
    {F::kSp, "SP [°C]"},
    {F::kError, "E  [°C]"},
    {F::kCv, "CV [%]"},
    {F::kLoopPeriod, "kr.cz.[ms]"},
    {F::kTermP, "vp"},
    {F::kTermI, "vi"},
    {F::kTermD, "vd"},
    {F::kPvDerivative1, "pv'"},
    {F::kPvDerivative2, "pv''"},
    {F::kMotor, "mot"},
    {F::kPosition, "pos"},
    {F::kCommand, "cmd"},
    {F::kCommandValue, "cmd wart."},
    {F::kTimer2, "ctm"},
    {F::kTimer1, "ltm"},
    {F::kDrainStatus, "Status"},
    {F::kDrainValve, "Zawór"},
    {F::kDrainTime, "Czas zrzutu"},
    {F::kCloseDelay, "Opóźnienie zamk. zaw."},
    {F::kDeviation, "Odchyłka popr. temp."},
    {F::kVentT1, "Próg T1"},
    {F::kVentT2, "Próg T2"},
    {F::kVentH1, "Histereza H1"},
    {F::kVentH2, "Histereza H2"},
    {F::kAiringThreshold, "Próg wietrzenia ZP"},
    {F::kAiring, "Funkcja wietrzenia FP"},
    {F::kFans, "Wentylatory IL"},
    {F::kAiringTime, "Czas wietrzenia CP"},
    {F::kAiringPeriod, "Okres wietrzenia OP"},
    {F::kTimeCounter, "Time"},
    {F::kPeriodStart, "Per start"},
    {F::kFan1, "Wentylator 1"},
    {F::kFan2, "Wentylator 2"},
    {F::kVirtualFan1, "Wentylator 1 (virtual)"},
    {F::kVirtualFan2, "Wentylator 2 (virtual)"},
    {F::kZone1Kp, "Kp.1"},
    {F::kZone1Ti, "Ti.1 [s]"},
    {F::kZone1Td, "Td.1 [s]"},
    {F::kZone1At, "At.1 [s]"},
    {F::kZone1Sp, "SP.1"},
    {F::kZone1Start, "St.1"},
    {F::kZone2Kp, "Kp.2"},
    {F::kZone2Ti, "Ti.2 [s]"},
    {F::kZone2Td, "Td.2 [s]"},
    {F::kZone2At, "At.2 [s]"},
    {F::kZone2Sp, "SP.2"},
    {F::kZone2Start, "St.2"},
    {F::kActiveZone, "akt.strefa"},
    {F::kReverse, "Reg.rewersyjna A07"},
    {F::kChannels, "aktywne kanały"},
    {F::kRelayLoopPeriod, "czas obiegu pętli"},
    {F::kRelay1, "stan przekaźnika 1"},
    {F::kRelay2, "stan przekaźnika 2"},
    {F::kDayStart, "strefa dzienna"},
    {F::kNightStart, "strefa nocna"},
    {F::kDayT1, "Próg T1"},
    {F::kDayT2, "Próg T2"},
    {F::kDayH1, "Histereza H1"},
    {F::kDayH2, "Histereza H2"},
    {F::kNightT1, "Próg T1"},
    {F::kNightT2, "Próg T2"},
    {F::kNightH1, "Histereza H1"},
    {F::kNightH2, "Histereza H2"},
};

constexpr auto kAllFields = [] {
    std::array<ServiceField, std::size(kFieldLabels)> fields{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i] = kFieldLabels[i].field;
    }
    return fields;
}();

// clang-format off
constexpr ServiceField kTemperatureFields[] = {
    F::kValveOpenTime, F::kValveCloseTime, F::kDeadTime, F::kDeadBand, F::kMinStandstill,
    F::kMinOnTime, F::kCvLock, F::kKp, F::kTi, F::kTd, F::kTa, F::kError, F::kCv,
    F::kLoopPeriod, F::kPv, F::kSp, F::kPvDerivative1, F::kPvDerivative2, F::kTermP, F::kTermI,
    F::kTermD, F::kMotor, F::kPosition, F::kCommand, F::kCommandValue, F::kTimer2, F::kTimer1,
};

constexpr ServiceField kDrainFields[] = {
    F::kDrainTime, F::kCloseDelay, F::kDeviation, F::kDrainStatus, F::kDrainValve, F::kTimer2,
    F::kTimer1, F::kCv, F::kError, F::kPv, F::kSp, F::kPvDerivative1, F::kPvDerivative2,
    F::kLoopPeriod, F::kTermP, F::kTermI, F::kTermD,
};

constexpr ServiceField kVentilationFields[] = {
    F::kVentT1, F::kVentT2, F::kVentH1, F::kVentH2, F::kAiring, F::kFans, F::kAiringTime,
    F::kAiringPeriod, F::kAiringThreshold, F::kTimeCounter, F::kPeriodStart, F::kFan1, F::kFan2,
    F::kVirtualFan1, F::kVirtualFan2,
};

constexpr ServiceField kDualZoneFields[] = {
    F::kZone1Sp, F::kZone1Kp, F::kZone1Ti, F::kZone1Td, F::kZone1At, F::kZone1Start,
    F::kZone2Sp, F::kZone2Kp, F::kZone2Ti, F::kZone2Td, F::kZone2At, F::kZone2Start,
    F::kActiveZone, F::kValveOpenTime, F::kValveCloseTime, F::kDeadTime, F::kDeadBand,
    F::kMinStandstill, F::kMinOnTime, F::kReverse, F::kCvLock, F::kError, F::kCv,
    F::kLoopPeriod, F::kPv, F::kSp, F::kPvDerivative1, F::kPvDerivative2, F::kTermP, F::kTermI,
    F::kTermD, F::kMotor, F::kPosition, F::kCommand, F::kCommandValue, F::kTimer2, F::kTimer1,
};

constexpr ServiceField kThresholdFields[] = {
    F::kChannels, F::kRelayLoopPeriod, F::kRelay1, F::kRelay2, F::kDayStart, F::kDayT1,
    F::kDayT2, F::kDayH1, F::kDayH2, F::kNightStart, F::kNightT1, F::kNightT2, F::kNightH1,
    F::kNightH2,
};
// clang-format on

constexpr ServiceBox kTwoBoxes[] = {B::kRegulation, B::kPid};
constexpr ServiceBox kOneBox[] = {B::kRegulation};
constexpr ServiceBox kThreeBoxes[] = {B::kOperational, B::kRegulation, B::kPid};
constexpr ServiceBox kThresholdBoxes[] = {B::kOperational, B::kRegulation};

}  // namespace

const char* ServiceFieldLabel(ServiceField field) {
    for (const FieldLabel& entry : kFieldLabels) {
        if (entry.field == field) {
            return entry.label;
        }
    }
    return "";
}

std::span<const ServiceField> AllServiceFields() {
    return kAllFields;
}

ServiceGroup ServiceGroupFor(int deviceType) {
    switch (deviceType) {
        case kDrainValveController:
            return {kTwoBoxes, kDrainFields};
        case kVentilationController:
            return {kOneBox, kVentilationFields};
        case kDualZoneController:
            return {kThreeBoxes, kDualZoneFields};
        case kThresholdRegulator:
            return {kThresholdBoxes, kThresholdFields};
        default:
            return {kTwoBoxes, kTemperatureFields};
    }
}

std::span<const ServiceParameter> ServiceParameters(int deviceType) {
    switch (deviceType) {
        case kDrainValveController:
            return kDrainValveService;
        case kVentilationController:
            return kVentilationService;
        case kDualZoneController:
            return kDualZoneService;
        case kThresholdRegulator:
            return kThresholdService;
        default:
            return kTemperatureService;
    }
}

std::span<const DialogRow<ValveParameters>> ValveRows() {
    return kValveRows;
}

std::span<const DialogRow<DrainValveParameters>> DrainValveRows() {
    return kDrainValveRows;
}

std::span<const DialogRow<VentilationParameters>> VentilationThresholdRows() {
    return kVentThresholdRows;
}

std::span<const DialogRow<VentilationParameters>> VentilationAiringRows() {
    return kVentAiringRows;
}

}  // namespace tk358
