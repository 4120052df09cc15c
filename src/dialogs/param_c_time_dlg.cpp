// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/param_c_time_dlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "dialogs/field_rows.h"
#include "dialogs/param_form.h"

namespace tk358 {

CParamCTimeDlg::CParamCTimeDlg(PanelAccess& session, QWidget* parent)
    : PanelDialog(session,
                  {QString::fromUtf8(kParamReadFailure), QString::fromUtf8(kParamWriteFailure),
                   QString::fromUtf8(kSettingsStartFailure)},
                  parent) {
    setObjectName(QStringLiteral("paramCTimeDialog"));
    setWindowTitle(QString::fromUtf8(kParamTitle));

    auto* grid = new QGridLayout(Body());
    grid->addWidget(BuildZone(QStringLiteral("Strefa dzienna"), QStringLiteral("day"), day_), 0, 0);
    grid->addWidget(BuildZone(QStringLiteral("Strefa nocna"), QStringLiteral("night"), night_), 0,
                    1);
    grid->setRowMinimumHeight(1, 4);
    auto* channelsLabel = new QLabel(LabelOf(param::kChannels) + QLatin1Char(':'));
    grid->addWidget(channelsLabel, 2, 0, 1, 2);
    oneChannel_ = NewRadio(QStringLiteral("1 kanał"), QStringLiteral("oneChannelRadio"));
    channelsLabel->setBuddy(oneChannel_);
    twoChannels_ = NewRadio(QStringLiteral("2 kanały"), QStringLiteral("twoChannelsRadio"));
    grid->addWidget(oneChannel_, 3, 0, 1, 2);
    grid->addWidget(twoChannels_, 4, 0, 1, 2);
    AddBottomSpace(grid);

    // The second channel's fields follow the choice at once.
    for (QRadioButton* radio : {oneChannel_, twoChannels_}) {
        connect(radio, &QRadioButton::clicked, this, [this] { EnableControls(true); });
    }
}

QGroupBox* CParamCTimeDlg::BuildZone(const QString& title, const QString& prefix, Zone& zone) {
    auto* box = new QGroupBox(title);
    box->setObjectName(prefix + QStringLiteral("Group"));
    auto* grid = new QGridLayout(box);

    auto* start = new QHBoxLayout;
    zone.hour = NewNumberEdit(prefix + QStringLiteral("HourEdit"), QStringLiteral("23"), nullptr);
    zone.minute =
        NewNumberEdit(prefix + QStringLiteral("MinuteEdit"), QStringLiteral("59"), nullptr);
    auto* startLabel = new QLabel(LabelOf(param::kDayStart));  // the night's is the same
    startLabel->setBuddy(zone.hour);
    grid->addWidget(startLabel, 0, 0);
    grid->addLayout(start, 0, 1, 1, 2);
    auto* hourUnit = new QLabel(QStringLiteral("h"));
    auto* minuteUnit = new QLabel(QStringLiteral("min"));
    start->addWidget(zone.hour);
    start->addWidget(hourUnit);
    start->addSpacing(6);
    start->addWidget(zone.minute);
    start->addWidget(minuteUnit);
    start->addStretch(1);
    hourUnit->setBuddy(zone.hour);  // greyed with their fields
    minuteUnit->setBuddy(zone.minute);

    // Day and night sets have the same labels and units.
    zone.t1 = AddParamRow(grid, param::kDayT1, prefix + QStringLiteral("T1Edit"));
    zone.t2 = AddParamRow(grid, param::kDayT2, prefix + QStringLiteral("T2Edit"));
    zone.h1 = AddParamRow(grid, param::kDayH1, prefix + QStringLiteral("H1Edit"));
    zone.h2 = AddParamRow(grid, param::kDayH2, prefix + QStringLiteral("H2Edit"));
    grid->setColumnStretch(3, 1);
    return box;
}

void CParamCTimeDlg::ShowZone(const Zone& zone, const ThresholdSet& set, int hour, int minute) {
    ShowField(zone.hour, rules::kStartHour, hour);
    ShowField(zone.minute, rules::kStartMinute, minute);
    ShowField(zone.t1, rules::kThreshold1, set.t1);
    ShowField(zone.t2, rules::kThreshold2, set.t2);
    ShowField(zone.h1, rules::kHysteresis, set.h1);
    ShowField(zone.h2, rules::kHysteresis, set.h2);
}

bool CParamCTimeDlg::Fill() {
    const std::optional<ThresholdTimeParameters> v = ReadThresholdTimeParameters(Session());
    if (!v) {
        return false;
    }
    values_ = *v;
    ShowZone(day_, v->day, v->dayHour, v->dayMinute);
    ShowZone(night_, v->night, v->nightHour, v->nightMinute);
    (v->channels == 2 ? twoChannels_ : oneChannel_)->setChecked(true);
    EnableControls(true);
    return true;
}

std::optional<PanelDialog::FieldError> CParamCTimeDlg::Validate() {
    ThresholdTimeParameters v;
    v.channels = oneChannel_->isChecked() ? 1 : 2;
    const bool second = v.channels == 2;  // channel 2's values stay 0 otherwise
    if (auto error = CheckFields({{day_.hour, rules::kStartHour, &v.dayHour},
                                  {day_.minute, rules::kStartMinute, &v.dayMinute},
                                  {night_.hour, rules::kStartHour, &v.nightHour},
                                  {night_.minute, rules::kStartMinute, &v.nightMinute},
                                  {day_.t1, rules::kThreshold1, &v.day.t1},
                                  {day_.t2, rules::kThreshold2, &v.day.t2, second},
                                  {day_.h1, rules::kHysteresis, &v.day.h1},
                                  {day_.h2, rules::kHysteresis, &v.day.h2, second},
                                  {night_.t1, rules::kThreshold1, &v.night.t1},
                                  {night_.t2, rules::kThreshold2, &v.night.t2, second},
                                  {night_.h1, rules::kHysteresis, &v.night.h1},
                                  {night_.h2, rules::kHysteresis, &v.night.h2, second}})) {
        return error;
    }
    values_ = v;
    return std::nullopt;
}

PanelDialog::WriteJob CParamCTimeDlg::MakeWriteJob() const {
    // Hours and minutes go as typed; the write turns them into 10-minute steps.
    return OneWrite([v = values_](PanelAccess& s) { return WriteParameters(s, v); });
}

void CParamCTimeDlg::EnableFields(bool enable) {
    for (QWidget* w : std::initializer_list<QWidget*>{day_.hour, day_.minute, night_.hour,
                                                      night_.minute, day_.t1, day_.h1, night_.t1,
                                                      night_.h1, oneChannel_, twoChannels_}) {
        w->setEnabled(enable);
    }
    const bool one = oneChannel_->isChecked();
    if (!one && enable && !twoChannels_->isChecked()) {
        return;  // no choice yet: the second channel's fields keep their state
    }
    for (QLineEdit* field : {day_.t2, day_.h2, night_.t2, night_.h2}) {
        field->setEnabled(!one && enable);
    }
}

}  // namespace tk358
