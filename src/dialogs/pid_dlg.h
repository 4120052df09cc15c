// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Parametry PID": Kp, Ti, Td and Ta of the temperature controller, or of one
// zone of the dual-zone controller ("Strefa 1" or "Strefa 2" shown above the
// fields), written with WritePidParameters.

#include "dialogs/panel_dialog.h"

class QLabel;
class QLineEdit;

namespace tk358 {

class CPIDDlg final : public PanelDialog {
    Q_OBJECT

public:
    // `zone`: 0 the first zone, 1 the second (used by the dual-zone controller only).
    CPIDDlg(PanelAccess& session, int zone, QWidget* parent = nullptr);

protected:
    bool Fill() override;
    std::optional<FieldError> Validate() override;
    WriteJob MakeWriteJob() const override;
    void EnableFields(bool enable) override;

private:
    int zone_ = 0;
    QLabel* zoneLabel_ = nullptr;
    QLineEdit* kpEdit_ = nullptr;
    QLineEdit* tiEdit_ = nullptr;
    QLineEdit* tdEdit_ = nullptr;
    QLineEdit* taEdit_ = nullptr;
    int kp_ = 0;  // tenths
    int ti_ = 0;  // seconds
    int td_ = 0;
    int ta_ = 0;
};

}  // namespace tk358
