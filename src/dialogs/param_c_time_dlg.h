// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Parametry regulacji" of the threshold regulator with day and night zones:
// each zone's start time and its thresholds and hystereses of one or two
// channels, and the number of active channels. With "1 kanał" the second
// channel's fields of both zones are disabled, not checked, and 0 is passed
// for them.

#include "dialogs/panel_dialog.h"
#include "present/regulation_params.h"

class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace tk358 {

class CParamCTimeDlg : public PanelDialog {
    Q_OBJECT

public:
    explicit CParamCTimeDlg(PanelAccess& session, QWidget* parent = nullptr);

protected:
    bool Fill() override;
    std::optional<FieldError> Validate() override;
    WriteJob MakeWriteJob() const override;
    void EnableFields(bool enable) override;

private:
    struct Zone {
        QLineEdit* hour = nullptr;
        QLineEdit* minute = nullptr;
        QLineEdit* t1 = nullptr;
        QLineEdit* t2 = nullptr;
        QLineEdit* h1 = nullptr;
        QLineEdit* h2 = nullptr;
    };

    static QGroupBox* BuildZone(const QString& title, const QString& prefix, Zone& zone);
    static void ShowZone(const Zone& zone, const ThresholdSet& set, int hour, int minute);

    Zone day_;
    Zone night_;
    QRadioButton* oneChannel_ = nullptr;
    QRadioButton* twoChannels_ = nullptr;
    ThresholdTimeParameters values_;
};

}  // namespace tk358
