// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/param_dialogs.h"

#include "dialogs/param_a_dlg.h"
#include "dialogs/param_c_dlg.h"
#include "dialogs/param_c_time_dlg.h"
#include "dialogs/param_dlg.h"
#include "dialogs/param_z_dlg.h"

namespace tk358 {

std::unique_ptr<PanelDialog> MakeParamDialog(PanelAccess& session, const ParamDialogChoice& choice,
                                             QWidget* parent) {
    switch (choice.dialog) {
        case ParamDialog::Param:
            return std::make_unique<CParamDlg>(session, parent);
        case ParamDialog::ParamZ:
            return std::make_unique<CParamZDlg>(session, parent);
        case ParamDialog::ParamA:
            return std::make_unique<CParamADlg>(session, parent);
        case ParamDialog::ParamC:
            return std::make_unique<CParamCDlg>(session, choice.channelChoice, parent);
        case ParamDialog::ParamCTime:
            return std::make_unique<CParamCTimeDlg>(session, parent);
        case ParamDialog::None:
            break;
    }
    return nullptr;
}

}  // namespace tk358
