// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Texts of the set-point dialogs. Set points are kept in hundredths of °C;
// their fields are checked by the rules of regulation_fields.h.

#include <string>
#include <string_view>

namespace tk358 {

// "%.02f" of the set point (single set-point dialog).
std::string FormatSetpoint(int hundredths);

// One decimal, nudged away from zero by 0.04 (the single-precision constant)
// before rounding: 2345 gives "23.5", 2341 gives "23.4".
std::string FormatSetpointOneDecimal(int hundredths);

// Rewrites a set-point field when it loses the focus: one decimal, halves
// rounded toward zero, keeping the operator's decimal sign ("7,25" gives
// "7,2", "" gives "0.0").
std::string ReformatSetpointText(std::string_view text);

}  // namespace tk358
