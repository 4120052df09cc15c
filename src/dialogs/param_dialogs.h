// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The "Parametry regulacji" dialog chosen for the attached panel, ready to run:
//
//   const ParamDialogChoice choice = ChooseParamDialog(identity, clock);
//   if (auto dlg = MakeParamDialog(session, choice, this)) dlg->exec();
//   else show kParamReadFailure;

#include <memory>

#include "dialogs/panel_dialog.h"
#include "present/param_dialog_choice.h"

namespace tk358 {

// Null for ParamDialog::None.
std::unique_ptr<PanelDialog> MakeParamDialog(PanelAccess& session, const ParamDialogChoice& choice,
                                             QWidget* parent = nullptr);

}  // namespace tk358
