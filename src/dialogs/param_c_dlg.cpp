// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/param_c_dlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "dialogs/param_form.h"

namespace tk358 {

CParamCDlg::CParamCDlg(PanelAccess& session, bool channelChoice, QWidget* parent)
    : PanelDialog(session,
                  {QString::fromUtf8(kParamReadFailure), QString::fromUtf8(kParamWriteFailure),
                   QString::fromUtf8(kSettingsStartFailure)},
                  parent),
      channelChoice_(channelChoice) {
    setObjectName(QStringLiteral("paramCDialog"));
    setWindowTitle(QString::fromUtf8(kParamTitle));

    auto* grid = new QGridLayout(Body());
    t1_ = AddParamRow(grid, param::kDayT1, QStringLiteral("t1Edit"));
    t2_ = AddParamRow(grid, param::kDayT2, QStringLiteral("t2Edit"));
    h1_ = AddParamRow(grid, param::kDayH1, QStringLiteral("h1Edit"));
    h2_ = AddParamRow(grid, param::kDayH2, QStringLiteral("h2Edit"));
    grid->setRowMinimumHeight(grid->rowCount(), 8);

    const int row = grid->rowCount();
    auto* channelsLabel = new QLabel(LabelOf(param::kChannels) + QLatin1Char(':'));
    grid->addWidget(channelsLabel, row, 0, 1, 4);
    oneChannel_ = NewRadio(QStringLiteral("1 kanał"), QStringLiteral("oneChannelRadio"));
    channelsLabel->setBuddy(oneChannel_);
    twoChannels_ = NewRadio(QStringLiteral("2 kanały"), QStringLiteral("twoChannelsRadio"));
    grid->addWidget(oneChannel_, row + 1, 0, 1, 4);
    grid->addWidget(twoChannels_, row + 2, 0, 1, 4);
    grid->setColumnStretch(3, 1);
    AddBottomSpace(grid);

    // The second channel's fields follow the choice at once.
    for (QRadioButton* radio : {oneChannel_, twoChannels_}) {
        connect(radio, &QRadioButton::clicked, this, [this] { EnableControls(true); });
    }
}

bool CParamCDlg::Fill() {
    const std::optional<ThresholdParameters> v = ReadThresholdParameters(Session());
    if (!v) {
        return false;
    }
    values_ = *v;
    ShowField(t1_, rules::kThreshold1, v->set.t1);
    ShowField(t2_, rules::kThreshold2, v->set.t2);
    ShowField(h1_, rules::kHysteresis, v->set.h1);
    ShowField(h2_, rules::kHysteresis, v->set.h2);
    (channelChoice_ && v->channels != 2 ? oneChannel_ : twoChannels_)->setChecked(true);
    EnableControls(true);
    return true;
}

std::optional<PanelDialog::FieldError> CParamCDlg::Validate() {
    ThresholdParameters v;
    v.channels = oneChannel_->isChecked() ? 1 : 2;
    const bool second = v.channels == 2;  // channel 2's values stay 0 otherwise
    if (auto error = CheckFields({{t1_, rules::kThreshold1, &v.set.t1},
                                  {t2_, rules::kThreshold2, &v.set.t2, second},
                                  {h1_, rules::kHysteresis, &v.set.h1},
                                  {h2_, rules::kHysteresis, &v.set.h2, second}})) {
        return error;
    }
    values_ = v;
    return std::nullopt;
}

PanelDialog::WriteJob CParamCDlg::MakeWriteJob() const {
    return OneWrite([v = values_](PanelAccess& s) { return WriteParameters(s, v); });
}

void CParamCDlg::EnableFields(bool enable) {
    t1_->setEnabled(enable);
    h1_->setEnabled(enable);
    oneChannel_->setEnabled(enable && channelChoice_);
    twoChannels_->setEnabled(enable && channelChoice_);
    if (oneChannel_->isChecked()) {
        t2_->setEnabled(false);
        h2_->setEnabled(false);
    } else if (!enable || twoChannels_->isChecked()) {
        t2_->setEnabled(enable);
        h2_->setEnabled(enable);
    }
}

}  // namespace tk358
