#pragma once

// Texts and checks of the set-point dialogs. Set points are kept in
// hundredths of °C; switch-on times in 10-minute steps since midnight.

#include <optional>
#include <string>
#include <string_view>

namespace tk358 {

inline constexpr int kSetpointMin = -20000;   // -200.00 °C
inline constexpr int kSetpointMax = 55000;    // 550.00 °C
inline constexpr int kSwitchOnTimeMax = 143;  // 23:50

// "%.02f" of the set point (single set-point dialog).
std::string FormatSetpoint(int hundredths);

// One decimal, nudged away from zero by 0.04 (the single-precision constant)
// before rounding: 2345 gives "23.5", 2341 gives "23.4".
std::string FormatSetpointOneDecimal(int hundredths);

// Rewrites a set-point field when it loses the focus: one decimal, halves
// rounded toward zero, keeping the operator's decimal sign ("7,25" gives
// "7,2", "" gives "0.0").
std::string ReformatSetpointText(std::string_view text);

// A typed set point in hundredths when within kSetpointMin..kSetpointMax;
// an empty text is refused unless `emptyIsZero`.
std::optional<int> ParseSetpointField(std::string_view text, bool emptyIsZero);

// The hour and minute shown for a switch-on time.
int SwitchOnHours(int steps);
int SwitchOnMinutes(int steps);

// The switch-on time typed as hours and minutes (whole numbers): hours × 6 +
// minutes / 10, accepted from 0 to kSwitchOnTimeMax (23 h 59 min is 143,
// 0 h 75 min is 7).
std::optional<int> ParseSwitchOnTime(std::string_view hours, std::string_view minutes);

}  // namespace tk358
