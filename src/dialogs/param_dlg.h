// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Parametry regulacji" of the temperature controller and of the dual-zone
// controller: the valve's times and dead band, and on the dual-zone
// controller the direction of control.

#include "dialogs/panel_dialog.h"
#include "dialogs/row_edits.h"
#include "present/regulation_params.h"

class QLabel;
class QRadioButton;

namespace tk358 {

class CParamDlg : public PanelDialog {
    Q_OBJECT

public:
    explicit CParamDlg(PanelAccess& session, QWidget* parent = nullptr);

protected:
    bool Fill() override;
    std::optional<FieldError> Validate() override;
    WriteJob MakeWriteJob() const override;
    void EnableFields(bool enable) override;

private:
    RowEdits<ValveParameters> edits_;
    QLabel* directionLabel_ = nullptr;
    QRadioButton* normal_ = nullptr;
    QRadioButton* reverse_ = nullptr;
    ValveParameters values_;
};

}  // namespace tk358
