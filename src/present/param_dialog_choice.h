// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which "Parametry regulacji" dialog the main window opens for the attached
// panel, decided from its copies of the identity and the panel clock.

#include "link/records.h"

namespace tk358 {

enum class ParamDialog {
    None,        // no dialog: show kParamReadFailure
    Param,       // CParamDlg: temperature and dual-zone controllers
    ParamZ,      // CParamZDlg: drain-valve controller
    ParamA,      // CParamADlg: ventilation controller
    ParamC,      // CParamCDlg: threshold regulator, clock disabled
    ParamCTime,  // CParamCTimeDlg: threshold regulator, clock enabled
};

struct ParamDialogChoice {
    ParamDialog dialog = ParamDialog::None;
    // CParamCDlg only: the panel can run one or two channels (firmware above 1.00).
    bool channelChoice = true;
};

inline constexpr const char* kParamReadFailure = "Nie można odczytać parametrów regulacji";

// A panel not identified, a threshold regulator without a valid clock reading
// and an unknown kind give ParamDialog::None.
ParamDialogChoice ChooseParamDialog(const PanelIdentity& identity, const PanelClock& clock);

}  // namespace tk358
