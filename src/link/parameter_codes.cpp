#include "link/parameter_codes.h"

#include <array>

#include "link/frame.h"
#include "link/records.h"

namespace tk358 {

namespace {

using namespace param;

constexpr std::array kTemperatureCodes = {
    kSetpoint,      kKp,       kTi,        kTd,    kTa, kValveOpenTime, kValveCloseTime, kDeadTime,
    kMinStandstill, kDeadBand, kMinOnTime, kCvLock};
constexpr std::array kDrainValveCodes = {kSetpoint, kDrainTime, kCloseDelay, kDeviation};
constexpr std::array kVentilationCodes = {kVentT1,     kVentT2,       kVentH1,
                                          kVentH2,     kAiring,       kFans,
                                          kAiringTime, kAiringPeriod, kAiringThreshold};
constexpr std::array kDualZoneCodes = {kZone1Kp,           kZone1Ti,
                                       kZone1Td,           kZone1Ta,
                                       kZone1Setpoint,     kZone2Kp,
                                       kZone2Ti,           kZone2Td,
                                       kZone2Ta,           kZone2Setpoint,
                                       kZone1SwitchOn,     kZone2SwitchOn,
                                       kDualValveOpenTime, kDualValveCloseTime,
                                       kDualDeadTime,      kDualMinStandstill,
                                       kDualDeadBand,      kDualMinOnTime,
                                       kDualReverse};
constexpr std::array kThresholdCodes = {kDayT1, kDayT2, kDayH1, kDayH2};
constexpr std::array kThresholdExtraCodes = {kDayStart, kNightT1,    kNightT2, kNightH1,
                                             kNightH2,  kNightStart, kChannels};

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
static_assert(ListedFor(kTemperatureCodes, kTemperatureController, false));
static_assert(ListedFor(kDrainValveCodes, kDrainValveController, false));
static_assert(ListedFor(kVentilationCodes, kVentilationController, false));
static_assert(ListedFor(kDualZoneCodes, kDualZoneController, false));
static_assert(ListedFor(kThresholdCodes, kThresholdRegulator, false));
static_assert(ListedFor(kThresholdExtraCodes, kThresholdRegulator, true));

}  // namespace

const ParameterInfo* FindParameterByKey(std::string_view key) {
    for (const ParameterInfo& info : param_table::kParameters) {
        if (key == info.key) {
            return &info;
        }
    }
    return nullptr;
}

std::optional<ParameterWriteFormat> WriteFormatOf(int code) {
    const ParameterInfo* info = FindParameter(code);
    if (info == nullptr || info->wire.transport != Transport::kParameter) {
        return std::nullopt;
    }
    return info->wire.format;
}

std::vector<std::string> ParameterByteTexts(int code, int64_t value) {
    const std::optional<ParameterWriteFormat> format = WriteFormatOf(code);
    if (!format) {
        return {};
    }
    const auto bits = static_cast<uint64_t>(value);
    std::vector<std::string> bytes;
    for (int i = format->width - 1; i >= 0; --i) {
        bytes.push_back(HexText(static_cast<uint32_t>((bits >> (8 * i)) & 0xFFu), 2));
    }
    return bytes;
}

std::span<const int> FullReadCodes(int deviceType) {
    switch (deviceType) {
        case kTemperatureController:
            return kTemperatureCodes;
        case kDrainValveController:
            return kDrainValveCodes;
        case kVentilationController:
            return kVentilationCodes;
        case kDualZoneController:
            return kDualZoneCodes;
        case kThresholdRegulator:
            return kThresholdCodes;
        default:
            return {};
    }
}

std::span<const int> ThresholdExtraCodes() {
    return kThresholdExtraCodes;
}

}  // namespace tk358
