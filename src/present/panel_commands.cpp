// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/panel_commands.h"

namespace tk358 {

SetpointDialogChoice SetpointDialogFor(int deviceType) {
    return deviceType == kDualZoneController ? SetpointDialogChoice::kDualZone
                                             : SetpointDialogChoice::kSingle;
}

PidMenuAction PidMenuActionFor(const PanelIdentity& identity) {
    if (identity.identified == 0) {
        return PidMenuAction::kNothing;
    }
    return identity.deviceType == kDualZoneController ? PidMenuAction::kAskZone
                                                      : PidMenuAction::kOpenZone0;
}

std::optional<PanelInfoRecords> ReadPanelInfoRecords(const PanelAccess& session) {
    PanelInfoRecords records;
    if (session.GetPanelInfo(records.info) != kStatusOk) {
        return std::nullopt;
    }
    session.GetIdentity(records.identity);
    return records;
}

}  // namespace tk358
