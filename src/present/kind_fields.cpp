#include "present/kind_fields.h"

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

// ---- Drain-valve controller (kind 1) ----

// The set point is shown from either kind's set (see the service view).
constexpr ServiceParameter kDrainValveService[] = {
    {F::kDrainTime, kDrainTime},
    {F::kCloseDelay, kCloseDelay},
    {F::kDeviation, kDeviation},
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

}  // namespace

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

std::span<const DialogRow<VentilationParameters>> VentilationThresholdRows() {
    return kVentThresholdRows;
}

std::span<const DialogRow<VentilationParameters>> VentilationAiringRows() {
    return kVentAiringRows;
}

}  // namespace tk358
