// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/sp_value_dlg.h"

#include <QGridLayout>
#include <QLineEdit>

#include "dialogs/field_rows.h"
#include "link/panel_access.h"
#include "panel/setpoint_text.h"

namespace tk358 {

CSPValueDlg::CSPValueDlg(PanelAccess& session, QWidget* parent)
    : PanelDialog(session,
                  {QStringLiteral("Nie można odczytać wartości zadanej"),
                   QStringLiteral("Nie można ustawić wartości zadanej"),
                   QStringLiteral("Nie można ustawić wartości zadanej")},
                  parent) {
    setObjectName(QStringLiteral("setpointDialog"));
    setWindowTitle(QStringLiteral("Wartość zadana"));
    setpointEdit_ =
        NewNumberEdit(QStringLiteral("setpointEdit"), QStringLiteral("-200.00"), Body());
    auto* grid = new QGridLayout(Body());
    AddNumberRow(grid, 0, 0, LabelOf(param::kSetpoint), setpointEdit_, UnitOf(param::kSetpoint));
    grid->setColumnStretch(3, 1);
}

bool CSPValueDlg::Fill() {
    SetpointReading reading;
    if (Session().GetSetpointReading(reading) != kStatusOk || reading.valid == 0) {
        return false;
    }
    setpointEdit_->setText(QString::fromStdString(FormatSetpoint(reading.setpoint)));
    return true;
}

std::optional<PanelDialog::FieldError> CSPValueDlg::Validate() {
    return CheckFields({{setpointEdit_, rules::kSetpoint, &setpoint_}});
}

PanelDialog::WriteJob CSPValueDlg::MakeWriteJob() const {
    return OneWrite([value = setpoint_](PanelAccess& s) { return s.WriteSetpoint(value, 0); });
}

void CSPValueDlg::EnableFields(bool enable) {
    setpointEdit_->setEnabled(enable);
}

}  // namespace tk358
