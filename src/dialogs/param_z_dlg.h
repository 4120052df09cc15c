// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Parametry regulacji" of the drain-valve controller: drain time, closing
// delay and the temperature correctness deviation.

#include "dialogs/panel_dialog.h"
#include "dialogs/row_edits.h"
#include "present/regulation_params.h"

namespace tk358 {

class CParamZDlg : public PanelDialog {
    Q_OBJECT

public:
    explicit CParamZDlg(PanelAccess& session, QWidget* parent = nullptr);

protected:
    bool Fill() override;
    std::optional<FieldError> Validate() override;
    WriteJob MakeWriteJob() const override;
    void EnableFields(bool enable) override;

private:
    RowEdits<DrainValveParameters> edits_;
    DrainValveParameters values_;
};

}  // namespace tk358
