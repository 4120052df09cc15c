// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/sp_time_value_dlg.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "dialogs/field_rows.h"
#include "link/panel_access.h"
#include "panel/setpoint_text.h"

namespace tk358 {

namespace {

// The two rows: set point and switch-on time of each zone.
constexpr int kSetpointCodes[2] = {param::kZone1Setpoint, param::kZone2Setpoint};
constexpr int kSwitchOnCodes[2] = {param::kZone1SwitchOn, param::kZone2SwitchOn};
constexpr const FieldRule* kSetpointRules[2] = {&rules::kZone1Setpoint, &rules::kZone2Setpoint};
constexpr const FieldRule* kSwitchOnRules[2] = {&rules::kZone1SwitchOn, &rules::kZone2SwitchOn};

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

CSPTimeValueDlg::CSPTimeValueDlg(PanelAccess& session, QWidget* parent)
    // No common write failure: each of the four writes tells its own.
    : PanelDialog(session,
                  {QStringLiteral("Nie można odczytać wartości zadanej"), QString(),
                   QStringLiteral("Nie można ustawić wartości zadanej")},
                  parent) {
    setObjectName(QStringLiteral("setpointTimeDialog"));
    setWindowTitle(QStringLiteral("Wartość zadana"));
    auto* grid = new QGridLayout(Body());
    grid->setHorizontalSpacing(6);
    AddRow(0);
    AddRow(1);
    grid->setColumnMinimumWidth(3, 18);  // between the set point and its time
    grid->setColumnStretch(10, 1);
}

CSPTimeValueDlg::~CSPTimeValueDlg() {
    // Destroying a visible dialog moves the focus after this part is gone.
    for (const Row& row : rows_) {
        row.setpoint->removeEventFilter(this);
    }
}

void CSPTimeValueDlg::AddRow(int index) {
    auto* grid = static_cast<QGridLayout*>(Body()->layout());
    const QString n = QString::number(index + 1);
    Row& row = rows_[index];
    row.setpoint =
        NewNumberEdit(QStringLiteral("setpoint%1Edit").arg(n), QStringLiteral("-200.0"), Body());
    row.hours = NewNumberEdit(QStringLiteral("hour%1Edit").arg(n), QStringLiteral("00"), Body());
    row.minutes =
        NewNumberEdit(QStringLiteral("minute%1Edit").arg(n), QStringLiteral("00"), Body());
    row.setpoint->installEventFilter(this);

    AddNumberRow(grid, index, 0, LabelOf(kSetpointCodes[index]), row.setpoint,
                 UnitOf(kSetpointCodes[index]));
    AddNumberRow(grid, index, 4, LabelOf(kSwitchOnCodes[index]), row.hours, QStringLiteral("h"));
    QLabel* colon = NewLabel(QStringLiteral(":"), Body());
    QLabel* minuteUnit = NewLabel(QStringLiteral("min"), Body());
    colon->setBuddy(row.minutes);  // greyed with the minutes
    minuteUnit->setBuddy(row.minutes);
    grid->addWidget(colon, index, 7);
    grid->addWidget(row.minutes, index, 8);
    grid->addWidget(minuteUnit, index, 9);
}

bool CSPTimeValueDlg::Fill() {
    ParameterSet parameters;
    if (Session().GetParameters(parameters) != kStatusOk ||
        !parameters.ReadComplete(kDualZoneController)) {
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        const int steps = parameters.Shown(kSwitchOnCodes[i]);
        rows_[i].setpoint->setText(
            ToQString(FormatSetpointOneDecimal(parameters.Shown(kSetpointCodes[i]))));
        rows_[i].hours->setText(QString::number(TimeOfDayHours(steps)));
        rows_[i].minutes->setText(QString::number(TimeOfDayMinutes(steps)));
    }
    return true;
}

bool CSPTimeValueDlg::eventFilter(QObject* watched, QEvent* event) {
    // Disabling the fields for the write moves the focus too; the operator's
    // text stays as it was validated.
    if (event->type() == QEvent::FocusOut && !IsWriting()) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
            edit->setText(ToQString(ReformatSetpointText(edit->text().toStdString())));
        }
    }
    return PanelDialog::eventFilter(watched, event);
}

std::optional<PanelDialog::FieldError> CSPTimeValueDlg::Validate() {
    // Order: set point 1, time 1, set point 2, time 2. Only set point 1 must be typed.
    for (int i = 0; i < 2; ++i) {
        const Row& row = rows_[i];
        const FieldRule& setpointRule = *kSetpointRules[i];
        const std::optional<int> setpoint =
            CheckField(setpointRule, row.setpoint->text().toStdString());
        if (!setpoint) {
            return FieldError{row.setpoint, QString::fromUtf8(setpointRule.message)};
        }
        const FieldRule& timeRule = *kSwitchOnRules[i];
        const std::optional<int> steps = CheckTimeOfDay(timeRule, row.hours->text().toStdString(),
                                                        row.minutes->text().toStdString());
        if (!steps) {
            return FieldError{row.hours, QString::fromUtf8(timeRule.message)};
        }
        setpoints_[i] = *setpoint;
        times_[i] = *steps;
    }
    return std::nullopt;
}

PanelDialog::WriteJob CSPTimeValueDlg::MakeWriteJob() const {
    return
        [sp1 = setpoints_[0], sp2 = setpoints_[1], t1 = times_[0], t2 = times_[1]](PanelAccess& s) {
            // Each write is tried even when an earlier one failed; the dialog ends
            // when at least one took effect, after one message per failed write.
            WriteOutcome outcome;
            auto note = [&outcome](int status, const char* failure) {
                if (status == kStatusOk) {
                    outcome.success = true;
                } else {
                    outcome.messages << QString::fromUtf8(failure);
                }
            };
            note(s.WriteSetpoint(sp1, 0), "Nie można ustawić wartości zadanej 1");
            note(s.WriteSetpoint(sp2, 1), "Nie można ustawić wartości zadanej 2");
            note(s.WriteSetpointTime(t1, 0), "Nie można ustawić czasu dla wartości zadanej 1");
            note(s.WriteSetpointTime(t2, 1), "Nie można ustawić czasu dla wartości zadanej 2");
            return outcome;
        };
}

void CSPTimeValueDlg::EnableFields(bool enable) {
    for (const Row& row : rows_) {
        row.setpoint->setEnabled(enable);
        row.hours->setEnabled(enable);
        row.minutes->setEnabled(enable);
    }
}

}  // namespace tk358
