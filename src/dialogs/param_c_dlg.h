// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Parametry regulacji" of the threshold regulator without zones: thresholds
// and hystereses of one or two channels, and the number of active channels.
//
// The channel radio buttons can be used only when the panel can run one or
// two channels (`channelChoice`); otherwise "2 kanały" stays checked. With
// "1 kanał" the second channel's fields are disabled, not checked, and 0 is
// passed for them.

#include "dialogs/panel_dialog.h"
#include "present/regulation_params.h"

class QLineEdit;
class QRadioButton;

namespace tk358 {

class CParamCDlg : public PanelDialog {
    Q_OBJECT

public:
    CParamCDlg(PanelAccess& session, bool channelChoice, QWidget* parent = nullptr);

protected:
    bool Fill() override;
    std::optional<FieldError> Validate() override;
    WriteJob MakeWriteJob() const override;
    void EnableFields(bool enable) override;

private:
    bool channelChoice_;
    QLineEdit* t1_ = nullptr;
    QLineEdit* t2_ = nullptr;
    QLineEdit* h1_ = nullptr;
    QLineEdit* h2_ = nullptr;
    QRadioButton* oneChannel_ = nullptr;
    QRadioButton* twoChannels_ = nullptr;
    ThresholdParameters values_;
};

}  // namespace tk358
