// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/kind_codes.h"

#include "link/parameter_codes.h"
#include "link/records.h"

namespace tk358 {

namespace {

using namespace param;
using W = WriteWhen;

// ---- Temperature controller (kind 0) ----

constexpr int kTemperatureRead[] = {
    kSetpoint,      kKp,       kTi,        kTd,    kTa, kValveOpenTime, kValveCloseTime, kDeadTime,
    kMinStandstill, kDeadBand, kMinOnTime, kCvLock};
constexpr GroupCode kPidWrite[] = {{kTi}, {kTd}, {kTa}, {kKp}};
constexpr GroupCode kValveWrite[] = {{kValveOpenTime}, {kValveCloseTime}, {kDeadTime},
                                     {kMinStandstill}, {kDeadBand},       {kMinOnTime}};

// ---- Drain-valve controller (kind 1) ----

constexpr int kDrainValveRead[] = {kSetpoint, kDrainTime, kCloseDelay, kDeviation};
constexpr GroupCode kDrainValveWrite[] = {{kDrainTime}, {kCloseDelay}, {kDeviation}};

// ---- Ventilation controller (kind 2) ----

constexpr int kVentilationRead[] = {kVentT1, kVentT2,     kVentH1,       kVentH2,         kAiring,
                                    kFans,   kAiringTime, kAiringPeriod, kAiringThreshold};
constexpr GroupCode kVentilationWrite[] = {{kVentT1},     {kVentT2},       {kVentH1},
                                           {kVentH2},     {kAiring},       {kFans},
                                           {kAiringTime}, {kAiringPeriod}, {kAiringThreshold}};

// ---- Dual-zone controller (kind 3) ----

constexpr int kDualZoneRead[] = {kZone1Kp,           kZone1Ti,
                                 kZone1Td,           kZone1Ta,
                                 kZone1Setpoint,     kZone2Kp,
                                 kZone2Ti,           kZone2Td,
                                 kZone2Ta,           kZone2Setpoint,
                                 kZone1SwitchOn,     kZone2SwitchOn,
                                 kDualValveOpenTime, kDualValveCloseTime,
                                 kDualDeadTime,      kDualMinStandstill,
                                 kDualDeadBand,      kDualMinOnTime,
                                 kDualReverse};
constexpr GroupCode kZone1PidWrite[] = {{kZone1Ti}, {kZone1Td}, {kZone1Ta}, {kZone1Kp}};
constexpr GroupCode kZone2PidWrite[] = {{kZone2Ti}, {kZone2Td}, {kZone2Ta}, {kZone2Kp}};
constexpr GroupCode kDualValveWrite[] = {
    {kDualValveOpenTime}, {kDualValveCloseTime}, {kDualDeadTime}, {kDualMinStandstill},
    {kDualDeadBand},      {kDualMinOnTime},      {kDualReverse}};

// ---- Threshold regulator (kind 4) ----

constexpr int kThresholdRead[] = {kDayT1, kDayT2, kDayH1, kDayH2};
constexpr int kThresholdExtraRead[] = {kDayStart, kNightT1,    kNightT2, kNightH1,
                                       kNightH2,  kNightStart, kChannels};
constexpr GroupCode kThresholdWrite[] = {{kDayT1},
                                         {kDayT2, W::kTwoChannels},
                                         {kDayH1},
                                         {kDayH2, W::kTwoChannels},
                                         {kChannels, W::kThresholdExtras}};
constexpr GroupCode kThresholdTimeWrite[] = {{kDayStart}, {kNightStart},
                                             {kDayT1},    {kDayT2, W::kTwoChannels},
                                             {kDayH1},    {kDayH2, W::kTwoChannels},
                                             {kNightT1},  {kNightT2, W::kTwoChannels},
                                             {kNightH1},  {kNightH2, W::kTwoChannels},
                                             {kChannels}};

// Every code a full read fetches belongs to that kind, and the firmware split
// of the threshold regulator follows the table.
constexpr bool ListedFor(std::span<const int> codes, int kind, bool laterFirmware) {
    for (const int code : codes) {
        const ParameterInfo& info = Parameter(code);
        if (info.code != code || (info.kinds & param_table::K(kind)) == 0 ||
            info.laterFirmware != laterFirmware || info.slotBits == 0) {
            return false;
        }
    }
    return true;
}
static_assert(ListedFor(kTemperatureRead, kTemperatureController, false));
static_assert(ListedFor(kDrainValveRead, kDrainValveController, false));
static_assert(ListedFor(kVentilationRead, kVentilationController, false));
static_assert(ListedFor(kDualZoneRead, kDualZoneController, false));
static_assert(ListedFor(kThresholdRead, kThresholdRegulator, false));
static_assert(ListedFor(kThresholdExtraRead, kThresholdRegulator, true));

// Every code of a write group travels by a parameter write.
constexpr bool Writable(WriteGroup group) {
    for (const GroupCode& entry : group) {
        if (Parameter(entry.code).wire.transport != Transport::kParameter ||
            Parameter(entry.code).slotBits == 0) {
            return false;
        }
    }
    return true;
}
static_assert(Writable(kPidWrite) && Writable(kValveWrite) && Writable(kDrainValveWrite) &&
              Writable(kVentilationWrite) && Writable(kZone1PidWrite) && Writable(kZone2PidWrite) &&
              Writable(kDualValveWrite) && Writable(kThresholdWrite) &&
              Writable(kThresholdTimeWrite));

}  // namespace

std::span<const int> FullReadCodes(int deviceType) {
    switch (deviceType) {
        case kTemperatureController:
            return kTemperatureRead;
        case kDrainValveController:
            return kDrainValveRead;
        case kVentilationController:
            return kVentilationRead;
        case kDualZoneController:
            return kDualZoneRead;
        case kThresholdRegulator:
            return kThresholdRead;
        default:
            return {};
    }
}

std::span<const int> ThresholdExtraCodes() {
    return kThresholdExtraRead;
}

WriteGroup PidWriteGroup(int deviceType, int zone) {
    if (deviceType != kDualZoneController) {
        return kPidWrite;
    }
    return zone != 0 ? WriteGroup(kZone2PidWrite) : WriteGroup(kZone1PidWrite);
}

WriteGroup ValveWriteGroup(int deviceType) {
    return deviceType == kDualZoneController ? WriteGroup(kDualValveWrite)
                                             : WriteGroup(kValveWrite);
}

WriteGroup DrainValveWriteGroup() {
    return kDrainValveWrite;
}

WriteGroup VentilationWriteGroup() {
    return kVentilationWrite;
}

WriteGroup ThresholdWriteGroup() {
    return kThresholdWrite;
}

WriteGroup ThresholdTimeWriteGroup() {
    return kThresholdTimeWrite;
}

}  // namespace tk358
