#include "dialogs/pid_dlg.h"

#include <QGridLayout>
#include <QLineEdit>

#include "dialogs/field_rows.h"
#include "dialogs/number_entry.h"
#include "dialogs/pid_cv_rules.h"
#include "link/panel_access.h"
#include "text/text_format.h"

namespace tk358 {

namespace {

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

bool InPidRange(int value) {
    return value >= kPidValueMin && value <= kPidValueMax;
}

}  // namespace

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
    auto* grid = new QGridLayout(Body());
    AddNumberRow(grid, 0, 0, QStringLiteral("KP"), kpEdit_);
    AddNumberRow(grid, 1, 0, QStringLiteral("TI"), tiEdit_, QStringLiteral("s"));
    AddNumberRow(grid, 2, 0, QStringLiteral("TD"), tdEdit_, QStringLiteral("s"));
    AddNumberRow(grid, 3, 0, QStringLiteral("TA"), taEdit_, QStringLiteral("s"));
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
    const PidCodes codes = PidCodesFor(identity.deviceType, zone_);
    kpEdit_->setText(ToQString(FormatFixed(parameters.Value(codes.kp) / 10.0, 1)));
    tiEdit_->setText(ToQString(FormatInt(parameters.Value(codes.ti))));
    tdEdit_->setText(ToQString(FormatInt(parameters.Value(codes.td))));
    taEdit_->setText(ToQString(FormatInt(parameters.Value(codes.ta))));
    return true;
}

std::optional<PanelDialog::FieldError> CPIDDlg::Validate() {
    const int kp = ParseScaled(kpEdit_->text().toStdString(), 10);
    if (!InPidRange(kp)) {
        return FieldError{
            kpEdit_, QStringLiteral("Wartość Kp powinna zawierać się w przedziale <0, 999.9>")};
    }
    const int ti = ParseInteger(tiEdit_->text().toStdString());
    if (!InPidRange(ti)) {
        return FieldError{tiEdit_,
                          QStringLiteral("Wartość Ti powinna zawierać się w przedziale <0, 9999>")};
    }
    const int td = ParseInteger(tdEdit_->text().toStdString());
    if (!InPidRange(td)) {
        return FieldError{tdEdit_,
                          QStringLiteral("Wartość Td powinna zawierać się w przedziale <0, 9999>")};
    }
    const int ta = ParseInteger(taEdit_->text().toStdString());
    if (!InPidRange(ta)) {
        return FieldError{taEdit_,
                          QStringLiteral("Wartość Ta powinna zawierać się w przedziale <0, 9999>")};
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
