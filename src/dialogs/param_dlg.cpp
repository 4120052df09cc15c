// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/param_dlg.h"

#include <QGridLayout>
#include <QLabel>
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
    edits_.Add(grid, ValveRows());
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
    edits_.Show(*v);
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
    if (auto error = edits_.Check(v)) {
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
    edits_.SetEnabled(enable);
    normal_->setEnabled(enable);
    reverse_->setEnabled(enable);
}

}  // namespace tk358
