#include "dialogs/cv_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>

#include "dialogs/field_rows.h"
#include "dialogs/number_entry.h"
#include "dialogs/pid_cv_rules.h"
#include "link/panel_access.h"
#include "text/text_format.h"

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
    lockCheck_ = new QCheckBox(QStringLiteral("Blokada CV"), Body());
    lockCheck_->setObjectName(QStringLiteral("cvLockCheck"));
    auto* grid = new QGridLayout(Body());
    AddNumberRow(grid, 0, 0, QStringLiteral("CV"), cvEdit_, QStringLiteral("%"));
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
    cvEdit_->setText(QString::fromStdString(FormatFixed(regulator.controlValue, 1)));
    lockCheck_->setChecked(regulator.cvLock != 0);
    return true;
}

std::optional<PanelDialog::FieldError> CCvDlg::Validate() {
    const double cv = ParseReal(cvEdit_->text().toStdString());
    if (!CvInRange(cv)) {
        return FieldError{cvEdit_, QStringLiteral("Wypełnienie sterowania powinno zawierać się "
                                                  "w przedziale <-100, 100>")};
    }
    cv_ = cv;
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
