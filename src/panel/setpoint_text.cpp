// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/setpoint_text.h"

#include <algorithm>
#include <cstdint>

#include "panel/number_entry.h"
#include "panel/regulation_fields.h"
#include "text/text_format.h"

namespace tk358 {

namespace {

// 0.04f as a double.
constexpr double kNudge = static_cast<double>(0.04f);

}  // namespace

std::string FormatSetpoint(int hundredths) {
    return FieldText(rules::kSetpoint, hundredths);
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

}  // namespace tk358
