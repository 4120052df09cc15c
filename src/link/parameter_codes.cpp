#include "link/parameter_codes.h"

#include <array>

#include "link/frame.h"
#include "link/records.h"

namespace tk358 {

namespace {

struct FormatRange {
    int first;
    int last;
    ParameterWriteFormat format;
};

constexpr ParameterWriteFormat kU2{2, false};
constexpr ParameterWriteFormat kS1{1, true};
constexpr ParameterWriteFormat kS2{2, true};
constexpr ParameterWriteFormat kS4{4, true};
constexpr ParameterWriteFormat kU4{4, false};

constexpr std::array<FormatRange, 25> kFormats = {{
    {1, 1, kU2},      // Kp
    {6, 8, kS4},      // Ti, Td, Ta
    {32, 35, kS2},    // valve times, dead time, standstill
    {36, 36, kS1},    // dead band
    {37, 37, kS2},    // minimum switch-on time
    {38, 38, kS1},    // CV lock
    {64, 66, kS2},    // drain valve
    {72, 73, kU2},    // ventilation thresholds
    {74, 75, kS2},    // ventilation hystereses
    {76, 79, kS1},    // airing function, fans, airing time and period
    {80, 80, kU2},    // airing threshold
    {90, 91, kU2},    // day thresholds
    {92, 93, kS2},    // day hystereses
    {95, 95, kS2},    // start of the day zone
    {128, 128, kU2},  // Kp zone 1
    {129, 131, kS2},  // Ti, Td, Ta zone 1
    {132, 132, kU4},  // set point 1
    {133, 133, kU2},  // Kp zone 2
    {134, 136, kS2},  // Ti, Td, Ta zone 2
    {137, 137, kU4},  // set point 2
    {138, 146, kS2},  // switch-on times, valve and regulation settings
    {160, 161, kU2},  // night thresholds
    {162, 163, kS2},  // night hystereses
    {164, 164, kS2},  // start of the night zone
    {165, 165, kS2},  // active channels
}};

constexpr std::array<int, 12> kTemperatureCodes = {0, 1, 6, 7, 8, 32, 33, 34, 35, 36, 37, 38};
constexpr std::array<int, 4> kDrainValveCodes = {0, 64, 65, 66};
constexpr std::array<int, 9> kVentilationCodes = {72, 73, 74, 75, 76, 77, 78, 79, 80};
constexpr std::array<int, 19> kDualZoneCodes = {128, 129, 130, 131, 132, 133, 134, 135, 136, 137,
                                                138, 139, 140, 141, 142, 143, 144, 145, 146};
constexpr std::array<int, 4> kThresholdCodes = {90, 91, 92, 93};
constexpr std::array<int, 7> kThresholdExtraCodes = {95, 160, 161, 162, 163, 164, 165};

}  // namespace

std::optional<ParameterWriteFormat> WriteFormatOf(int code) {
    for (const FormatRange& range : kFormats) {
        if (code >= range.first && code <= range.last) {
            return range.format;
        }
    }
    return std::nullopt;
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
