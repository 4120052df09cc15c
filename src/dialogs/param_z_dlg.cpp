#include "dialogs/param_z_dlg.h"

#include <QGridLayout>
#include <QLineEdit>

#include "dialogs/param_form.h"

namespace tk358 {

CParamZDlg::CParamZDlg(PanelAccess& session, QWidget* parent)
    : PanelDialog(session,
                  {QString::fromUtf8(kParamReadFailure), QString::fromUtf8(kParamWriteFailure),
                   QString::fromUtf8(kParamWriteFailure)},
                  parent) {
    setObjectName(QStringLiteral("paramZDialog"));
    setWindowTitle(QString::fromUtf8(kParamTitle));

    auto* grid = new QGridLayout(Body());
    drainTime_ = AddParamRow(grid, param::kDrainTime, QStringLiteral("drainTimeEdit"));
    closeDelay_ = AddParamRow(grid, param::kCloseDelay, QStringLiteral("closeDelayEdit"));
    deviation_ = AddParamRow(grid, param::kDeviation, QStringLiteral("deviationEdit"));
    grid->setColumnStretch(3, 1);
    AddBottomSpace(grid);
}

bool CParamZDlg::Fill() {
    const std::optional<DrainValveParameters> v = ReadDrainValveParameters(Session());
    if (!v) {
        return false;
    }
    values_ = *v;
    ShowField(drainTime_, rules::kDrainTime, v->drainTime);
    ShowField(closeDelay_, rules::kCloseDelay, v->closeDelay);
    ShowField(deviation_, rules::kDeviation, v->deviation);
    return true;
}

std::optional<PanelDialog::FieldError> CParamZDlg::Validate() {
    DrainValveParameters v;
    if (auto error = CheckFields({{drainTime_, rules::kDrainTime, &v.drainTime},
                                  {closeDelay_, rules::kCloseDelay, &v.closeDelay},
                                  {deviation_, rules::kDeviation, &v.deviation}})) {
        return error;
    }
    values_ = v;
    return std::nullopt;
}

PanelDialog::WriteJob CParamZDlg::MakeWriteJob() const {
    return OneWrite([v = values_](PanelAccess& s) { return WriteParameters(s, v); });
}

void CParamZDlg::EnableFields(bool enable) {
    drainTime_->setEnabled(enable);
    closeDelay_->setEnabled(enable);
    deviation_->setEnabled(enable);
}

}  // namespace tk358
