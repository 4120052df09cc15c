// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Ustawienia CV": the control value CV in percent and its lock, written with
// WriteCvSettings. The CV goes to the panel as typed (the panel keeps it as a
// real number), neither scaled nor truncated.

#include "dialogs/panel_dialog.h"

class QCheckBox;
class QLineEdit;

namespace tk358 {

class CCvDlg final : public PanelDialog {
    Q_OBJECT

public:
    explicit CCvDlg(PanelAccess& session, QWidget* parent = nullptr);

protected:
    bool Fill() override;
    std::optional<FieldError> Validate() override;
    WriteJob MakeWriteJob() const override;
    void EnableFields(bool enable) override;

private:
    QLineEdit* cvEdit_ = nullptr;
    QCheckBox* lockCheck_ = nullptr;
    double cv_ = 0.0;  // percent
    int lock_ = 0;     // 0 or 1
};

}  // namespace tk358
