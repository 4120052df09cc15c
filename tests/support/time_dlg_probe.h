// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which clock the time dialog's controls follow.

#include "dialogs/time_dlg.h"

namespace tk358::test {

struct TimeDlgProbe {
    static bool FollowsPanel(const CTimeDlg& dialog) { return dialog.panelTimer_.isActive(); }
    static bool FollowsPc(const CTimeDlg& dialog) { return dialog.pcTimer_.isActive(); }
};

}  // namespace tk358::test
