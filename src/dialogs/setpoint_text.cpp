#include "dialogs/setpoint_text.h"

#include <algorithm>
#include <cstdint>

#include "dialogs/number_entry.h"
#include "text/text_format.h"

namespace tk358 {

namespace {

// 0.04f as a double.
constexpr double kNudge = static_cast<double>(0.04f);

}  // namespace

std::string FormatSetpoint(int hundredths) {
    return FormatFixed(hundredths / 100.0, 2);
}

std::string FormatSetpointOneDecimal(int hundredths) {
    const double value = hundredths / 100.0;
    return FormatFixed(value >= 0 ? value + kNudge : value - kNudge, 1);
}

std::string ReformatSetpointText(std::string_view text) {
    const bool comma = text.find(',') != std::string_view::npos;
    int64_t v = ParseScaled(text, 100);
    bool negative = false;
    if (v <= 0) {
        v -= 4;
        negative = v < -9;
        v = -v;
    } else {
        v += 4;
    }
    std::string out = (negative ? "-" : "") + FormatInt(v / 100) + "." + FormatInt((v % 100) / 10);
    if (comma) {
        std::replace(out.begin(), out.end(), '.', ',');
    }
    return out;
}

std::optional<int> ParseSetpointField(std::string_view text, bool emptyIsZero) {
    if (text.empty() && !emptyIsZero) {
        return std::nullopt;
    }
    const int value = ParseScaled(text, 100);
    if (value < kSetpointMin || value > kSetpointMax) {
        return std::nullopt;
    }
    return value;
}

int SwitchOnHours(int steps) {
    return steps / 6;
}

int SwitchOnMinutes(int steps) {
    return static_cast<int>((int64_t{steps} * 10) % 60);
}

std::optional<int> ParseSwitchOnTime(std::string_view hours, std::string_view minutes) {
    const int64_t steps = int64_t{ParseInteger(hours)} * 6 + ParseInteger(minutes) / 10;
    if (steps < 0 || steps > kSwitchOnTimeMax) {
        return std::nullopt;
    }
    return static_cast<int>(steps);
}

}  // namespace tk358
