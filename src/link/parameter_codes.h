#pragma once

// How each panel parameter code is written (byte width and sign) and which
// codes a full read of each panel kind fetches.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tk358 {

struct ParameterWriteFormat {
    int width = 0;  // bytes, 1, 2 or 4
    bool isSigned = false;
};

// None for a code the panel does not take by parameter writes (code 0, the
// set point, travels by a command of its own).
std::optional<ParameterWriteFormat> WriteFormatOf(int code);

// The two-digit texts of the value's bytes as written to the panel, most
// significant first: the value modulo 256^width (a negative value as its two's
// complement). Empty for a code without a write format.
std::vector<std::string> ParameterByteTexts(int code, int64_t value);

// The codes a full read of `deviceType` fetches, in order. For the threshold
// regulator these are only the four always present; the rest depend on the
// firmware (see ThresholdExtraCodes).
std::span<const int> FullReadCodes(int deviceType);

// Codes of the threshold regulator present from firmware 1.01 on.
std::span<const int> ThresholdExtraCodes();

// Firmware from which the threshold regulator has the extra codes (above 1.00).
inline constexpr int kThresholdExtrasFirmware = 100;

}  // namespace tk358
