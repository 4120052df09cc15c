// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Parametry regulacji" of the ventilation controller: two thresholds with
// their hystereses, the airing function with its time, period and threshold,
// and the fans. The check boxes stay enabled while the values are written;
// they were read when OK was pressed.

#include "dialogs/panel_dialog.h"
#include "dialogs/row_edits.h"
#include "present/regulation_params.h"

class QCheckBox;

namespace tk358 {

class CParamADlg : public PanelDialog {
    Q_OBJECT

public:
    explicit CParamADlg(PanelAccess& session, QWidget* parent = nullptr);

protected:
    bool Fill() override;
    std::optional<FieldError> Validate() override;
    WriteJob MakeWriteJob() const override;
    void EnableFields(bool enable) override;

private:
    RowEdits<VentilationParameters> edits_;
    QCheckBox* airing_ = nullptr;
    QCheckBox* fan1_ = nullptr;
    QCheckBox* fan2_ = nullptr;
    VentilationParameters values_;
};

}  // namespace tk358
