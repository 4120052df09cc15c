#include "dialogs/param_dlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "dialogs/param_form.h"

namespace tk358 {

CParamDlg::CParamDlg(PanelAccess& session, QWidget* parent)
    : PanelDialog(session,
                  {QString::fromUtf8(kParamReadFailure), QString::fromUtf8(kParamWriteFailure),
                   QString::fromUtf8(kParamWriteFailure)},
                  parent) {
    setObjectName(QStringLiteral("paramDialog"));
    setWindowTitle(QString::fromUtf8(kParamTitle));

    auto* grid = new QGridLayout(Body());
    // The dual-zone controller's codes have the same labels and units.
    openTime_ = AddParamRow(grid, param::kValveOpenTime, QStringLiteral("openTimeEdit"));
    closeTime_ = AddParamRow(grid, param::kValveCloseTime, QStringLiteral("closeTimeEdit"));
    deadTime_ = AddParamRow(grid, param::kDeadTime, QStringLiteral("deadTimeEdit"));
    minStandstill_ = AddParamRow(grid, param::kMinStandstill, QStringLiteral("minStandstillEdit"));
    minOnTime_ = AddParamRow(grid, param::kMinOnTime, QStringLiteral("minOnTimeEdit"));
    deadBand_ = AddParamRow(grid, param::kDeadBand, QStringLiteral("deadBandEdit"));

    directionLabel_ = new QLabel(LabelOf(param::kDualReverse));
    directionLabel_->setObjectName(QStringLiteral("directionLabel"));
    normal_ = NewRadio(QStringLiteral("Sterowanie normalne"), QStringLiteral("normalRadio"));
    directionLabel_->setBuddy(normal_);
    reverse_ = NewRadio(QStringLiteral("Sterowanie rewersyjne"), QStringLiteral("reverseRadio"));
    grid->setRowMinimumHeight(grid->rowCount(), 4);
    const int row = grid->rowCount();
    grid->addWidget(directionLabel_, row, 0, Qt::AlignTop);
    grid->addWidget(normal_, row, 1, 1, 3);
    grid->addWidget(reverse_, row + 1, 1, 1, 3);
    grid->setColumnStretch(3, 1);
    AddBottomSpace(grid);
}

bool CParamDlg::Fill() {
    const std::optional<ValveParameters> v = ReadValveParameters(Session());
    if (!v) {
        return false;
    }
    values_ = *v;
    ShowField(openTime_, rules::kValveOpenTime, v->openTime);
    ShowField(closeTime_, rules::kValveCloseTime, v->closeTime);
    ShowField(deadTime_, rules::kDeadTime, v->deadTime);
    ShowField(minStandstill_, rules::kMinStandstill, v->minStandstill);
    ShowField(minOnTime_, rules::kMinOnTime, v->minOnTime);
    ShowField(deadBand_, rules::kDeadBand, v->deadBand);
    const bool directed = v->kind == kDualZoneController;
    if (directed) {
        (v->reverse != 0 ? reverse_ : normal_)->setChecked(true);
    }
    directionLabel_->setVisible(directed);
    normal_->setVisible(directed);
    reverse_->setVisible(directed);
    return true;
}

std::optional<PanelDialog::FieldError> CParamDlg::Validate() {
    ValveParameters v;
    v.kind = values_.kind;
    if (auto error = CheckFields({{openTime_, rules::kValveOpenTime, &v.openTime},
                                  {closeTime_, rules::kValveCloseTime, &v.closeTime},
                                  {deadTime_, rules::kDeadTime, &v.deadTime},
                                  {minStandstill_, rules::kMinStandstill, &v.minStandstill},
                                  {minOnTime_, rules::kMinOnTime, &v.minOnTime},
                                  {deadBand_, rules::kDeadBand, &v.deadBand}})) {
        return error;
    }
    // The direction is asked on the dual-zone controller only; the other kind
    // gets 0, which its write does not use.
    if (v.kind == kDualZoneController) {
        if (normal_->isChecked()) {
            v.reverse = 0;
        } else if (reverse_->isChecked()) {
            v.reverse = 1;
        } else {
            return FieldError{normal_, QString::fromUtf8(rules::kNoDirection)};
        }
    }
    values_ = v;
    return std::nullopt;
}

PanelDialog::WriteJob CParamDlg::MakeWriteJob() const {
    return OneWrite([v = values_](PanelAccess& s) { return WriteParameters(s, v); });
}

void CParamDlg::EnableFields(bool enable) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{openTime_, closeTime_, deadTime_, minStandstill_,
                                         minOnTime_, deadBand_, normal_, reverse_}) {
        w->setEnabled(enable);
    }
}

}  // namespace tk358
