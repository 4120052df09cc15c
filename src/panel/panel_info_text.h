// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The text of the "Informacje o panelu" dialog.

#include <string>

#include "link/records.h"

namespace tk358 {

// One line per item, each ended by "\n": panel serial number, version,
// panel kind (none for an unknown kind), an empty line, probe serial number,
// probe calibration date, and the calibration fault when flagged.
std::string BuildPanelInfoText(const PanelInfo& info, const PanelIdentity& identity);

}  // namespace tk358
