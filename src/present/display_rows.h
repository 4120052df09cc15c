// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The three value displays of the main window as the colour and font dialogs
// see them: one row each, the last only when a second set point exists.

#include <array>

namespace tk358 {

class ValueDisplay;

using ValueDisplays = std::array<ValueDisplay*, 3>;

inline constexpr int kTemperatureRow = 0;
inline constexpr int kSetpointRow = 1;
inline constexpr int kSecondSetpointRow = 2;

inline constexpr std::array<const char*, 3> kDisplayRowTitles = {"Temperatura", "Wartość zadana",
                                                                 "Wartość zadana 2"};

// Object names of a row's widgets start with these.
inline constexpr std::array<const char*, 3> kDisplayRowNames = {"temperature", "setpoint",
                                                                "setpoint2"};

// Whether a dialog shows a row.
inline bool RowShown(const ValueDisplays& displays, int row, bool secondAvailable) {
    return displays[static_cast<std::size_t>(row)] != nullptr &&
           (row != kSecondSetpointRow || secondAvailable);
}

}  // namespace tk358
