// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/cv_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>

#include "dialogs/field_rows.h"
#include "link/panel_access.h"
#include "present/pid_cv_rules.h"

namespace tk358 {

CCvDlg::CCvDlg(PanelAccess& session, QWidget* parent)
    : PanelDialog(session,
                  {QStringLiteral("Nie można odczytać ustawień CV"),
                   QStringLiteral("Nie można zapisać ustawień CV"),
                   QStringLiteral("Nie można zapisać ustawień CV")},
                  parent) {
    setObjectName(QStringLiteral("cvDialog"));
    setWindowTitle(QStringLiteral("Ustawienia CV"));
    cvEdit_ = NewNumberEdit(QStringLiteral("cvEdit"), QStringLiteral("-100.00"), Body());
    lockCheck_ = new QCheckBox(LabelOf(param::kCvLock), Body());
    lockCheck_->setObjectName(QStringLiteral("cvLockCheck"));
    auto* grid = new QGridLayout(Body());
    AddNumberRow(grid, 0, 0, LabelOf(param::kCv), cvEdit_, UnitOf(param::kCv));
    grid->addWidget(lockCheck_, 1, 1, 1, 3);
    grid->setColumnStretch(3, 1);
}

bool CCvDlg::Fill() {
    PanelIdentity identity;
    RegulatorState regulator;
    const bool read = Session().GetIdentity(identity) == kStatusOk &&
                      Session().GetRegulatorState(regulator) == kStatusOk;
    if (!read || !CvReadable(identity, regulator)) {
        return false;
    }
    ShowField(cvEdit_, rules::kCv, regulator.controlValue);
    lockCheck_->setChecked(regulator.cvLock != 0);
    return true;
}

std::optional<PanelDialog::FieldError> CCvDlg::Validate() {
    // Kept as typed: the panel takes the CV as a real number.
    const std::optional<double> cv = CheckReal(rules::kCv, cvEdit_->text().toStdString());
    if (!cv) {
        return FieldError{cvEdit_, QString::fromUtf8(rules::kCv.message)};
    }
    cv_ = *cv;
    lock_ = lockCheck_->isChecked() ? 1 : 0;
    return std::nullopt;
}

PanelDialog::WriteJob CCvDlg::MakeWriteJob() const {
    return OneWrite(
        [cv = cv_, lock = lock_](PanelAccess& s) { return s.WriteCvSettings(cv, lock); });
}

void CCvDlg::EnableFields(bool enable) {
    cvEdit_->setEnabled(enable);
    lockCheck_->setEnabled(enable);
}

}  // namespace tk358
