// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which panel is attached: its model name and whether this program serves it.

#include "link/records.h"

namespace tk358 {

inline constexpr char kUnsupportedPanelMessage[] =
    "Ten program jest przeznaczony dla podstawowej wersji panelu";

// The model name of a panel kind: "TK-358W", "TK-358D", "TK-358C", and
// "TK-358" for the other kinds.
const char* PanelModelName(int deviceType);

// Only the basic panel variants (0, 1, 3 and 5) are served; the window stops
// when an identified panel reports another one.
bool IsUnsupportedPanel(const PanelIdentity& identity);

}  // namespace tk358
