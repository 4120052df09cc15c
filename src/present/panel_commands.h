// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the "Panel" menu commands of the main window decide before a dialog
// opens. Nothing here shows anything.

#include <optional>

#include "link/panel_access.h"

namespace tk358 {

// "Wartość zadana": the dual-zone controller has two set points with
// switch-on times, every other kind one set point.
enum class SetpointDialogChoice { kSingle, kDualZone };
SetpointDialogChoice SetpointDialogFor(int deviceType);

// "Parametry PID": nothing without an identified panel; the dual-zone
// controller asks for the zone first; every other kind opens zone 0.
enum class PidMenuAction { kNothing, kAskZone, kOpenZone0 };
PidMenuAction PidMenuActionFor(const PanelIdentity& identity);

// "Informacje": the records the information dialog shows, or nothing when the
// panel information cannot be read (its link status is not 0). The identity's
// status is not consulted: it is shown as last received.
struct PanelInfoRecords {
    PanelInfo info;
    PanelIdentity identity;
};
std::optional<PanelInfoRecords> ReadPanelInfoRecords(const PanelAccess& session);

}  // namespace tk358
