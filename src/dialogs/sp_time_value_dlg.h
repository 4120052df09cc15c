// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Wartość zadana" of the dual-zone controller: two set points, each with its
// switch-on time of day. Set points are shown and retyped with one decimal;
// a set-point field is rewritten that way whenever it loses the focus.

#include "dialogs/panel_dialog.h"

class QLineEdit;

namespace tk358 {

class CSPTimeValueDlg final : public PanelDialog {
    Q_OBJECT

public:
    explicit CSPTimeValueDlg(PanelAccess& session, QWidget* parent = nullptr);
    ~CSPTimeValueDlg() override;

protected:
    bool Fill() override;
    std::optional<FieldError> Validate() override;
    WriteJob MakeWriteJob() const override;
    void EnableFields(bool enable) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        QLineEdit* setpoint = nullptr;
        QLineEdit* hours = nullptr;
        QLineEdit* minutes = nullptr;
    };

    void AddRow(int index);

    Row rows_[2];
    int setpoints_[2] = {0, 0};  // hundredths of °C
    int times_[2] = {0, 0};      // 10-minute steps since midnight
};

}  // namespace tk358
