// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Puts a test's file choice in place of the log setup's file dialog.

#include <utility>

#include "dialogs/log_setup_dlg.h"

namespace tk358::test {

struct LogSetupDlgProbe {
    static void SetFileChooser(CLogSetupDlg& dialog, FileChooser chooser) {
        dialog.chooser_ = std::move(chooser);
    }
};

}  // namespace tk358::test
