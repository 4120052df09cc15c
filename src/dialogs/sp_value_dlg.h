// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Wartość zadana" of a panel with one set point: the set point in °C with two
// decimals, written with WriteSetpoint(value, 0).

#include "dialogs/panel_dialog.h"

class QLineEdit;

namespace tk358 {

class CSPValueDlg final : public PanelDialog {
    Q_OBJECT

public:
    explicit CSPValueDlg(PanelAccess& session, QWidget* parent = nullptr);

protected:
    bool Fill() override;
    std::optional<FieldError> Validate() override;
    WriteJob MakeWriteJob() const override;
    void EnableFields(bool enable) override;

private:
    QLineEdit* setpointEdit_ = nullptr;
    int setpoint_ = 0;  // hundredths of °C
};

}  // namespace tk358
