// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/pid_dlg.h"

#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "dialogs/field_rows.h"
#include "link/panel_access.h"
#include "link/parameter_codes.h"
#include "present/pid_cv_rules.h"

namespace tk358 {

CPIDDlg::CPIDDlg(PanelAccess& session, int zone, QWidget* parent)
    : PanelDialog(session,
                  {QStringLiteral("Nie można odczytać parametrów PID"),
                   QStringLiteral("Nie można ustawić parametrów PID"),
                   QStringLiteral("Nie można ustawić parametrów PID")},
                  parent),
      // The zone shown is the zone written, whatever number the caller passes.
      zone_(zone > 0 ? 1 : 0) {
    setObjectName(QStringLiteral("pidDialog"));
    setWindowTitle(QStringLiteral("Parametry PID"));
    kpEdit_ = NewNumberEdit(QStringLiteral("kpEdit"), QStringLiteral("999.9"), Body());
    tiEdit_ = NewNumberEdit(QStringLiteral("tiEdit"), QStringLiteral("9999"), Body());
    tdEdit_ = NewNumberEdit(QStringLiteral("tdEdit"), QStringLiteral("9999"), Body());
    taEdit_ = NewNumberEdit(QStringLiteral("taEdit"), QStringLiteral("9999"), Body());
    // The dual-zone controller's two zones share the window title: the dialog
    // says which one it edits.
    zoneLabel_ = NewLabel(QStringLiteral("Strefa %1").arg(zone_ > 0 ? 2 : 1), Body());
    zoneLabel_->setObjectName(QStringLiteral("zoneLabel"));
    QFont bold = zoneLabel_->font();
    bold.setBold(true);
    zoneLabel_->setFont(bold);
    zoneLabel_->hide();
    auto* grid = new QGridLayout(Body());
    grid->addWidget(zoneLabel_, 0, 0, 1, 4);
    // Both zones of the dual-zone controller have the same labels and units.
    AddNumberRow(grid, 1, 0, LabelOf(param::kKp), kpEdit_, UnitOf(param::kKp));
    AddNumberRow(grid, 2, 0, LabelOf(param::kTi), tiEdit_, UnitOf(param::kTi));
    AddNumberRow(grid, 3, 0, LabelOf(param::kTd), tdEdit_, UnitOf(param::kTd));
    AddNumberRow(grid, 4, 0, LabelOf(param::kTa), taEdit_, UnitOf(param::kTa));
    grid->setColumnStretch(3, 1);
}

bool CPIDDlg::Fill() {
    ParameterSet parameters;
    PanelIdentity identity;
    const bool read = Session().GetParameters(parameters) == kStatusOk &&
                      Session().GetIdentity(identity) == kStatusOk;
    if (!read || !PidReadable(identity.deviceType, parameters)) {
        return false;
    }
    zoneLabel_->setVisible(identity.deviceType == kDualZoneController);
    const PidCodes codes = PidCodesFor(identity.deviceType, zone_);
    ShowField(kpEdit_, rules::kKp, parameters.Shown(codes.kp));
    ShowField(tiEdit_, rules::kTi, parameters.Shown(codes.ti));
    ShowField(tdEdit_, rules::kTd, parameters.Shown(codes.td));
    ShowField(taEdit_, rules::kTa, parameters.Shown(codes.ta));
    return true;
}

std::optional<PanelDialog::FieldError> CPIDDlg::Validate() {
    int kp = 0;
    int ti = 0;
    int td = 0;
    int ta = 0;
    if (auto error = CheckFields({{kpEdit_, rules::kKp, &kp},
                                  {tiEdit_, rules::kTi, &ti},
                                  {tdEdit_, rules::kTd, &td},
                                  {taEdit_, rules::kTa, &ta}})) {
        return error;
    }
    kp_ = kp;
    ti_ = ti;
    td_ = td;
    ta_ = ta;
    return std::nullopt;
}

PanelDialog::WriteJob CPIDDlg::MakeWriteJob() const {
    return OneWrite([kp = kp_, ti = ti_, td = td_, ta = ta_, zone = zone_](PanelAccess& s) {
        return s.WritePidParameters(kp, ti, td, ta, zone);
    });
}

void CPIDDlg::EnableFields(bool enable) {
    for (QLineEdit* edit : {kpEdit_, tiEdit_, tdEdit_, taEdit_}) {
        edit->setEnabled(enable);
    }
}

}  // namespace tk358
