// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/param_z_dlg.h"

#include <QGridLayout>

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
    edits_.Add(grid, DrainValveRows());
    grid->setColumnStretch(3, 1);
    AddBottomSpace(grid);
}

bool CParamZDlg::Fill() {
    const std::optional<DrainValveParameters> v = ReadDrainValveParameters(Session());
    if (!v) {
        return false;
    }
    values_ = *v;
    edits_.Show(*v);
    return true;
}

std::optional<PanelDialog::FieldError> CParamZDlg::Validate() {
    DrainValveParameters v;
    if (auto error = edits_.Check(v)) {
        return error;
    }
    values_ = v;
    return std::nullopt;
}

PanelDialog::WriteJob CParamZDlg::MakeWriteJob() const {
    return OneWrite([v = values_](PanelAccess& s) { return WriteParameters(s, v); });
}

void CParamZDlg::EnableFields(bool enable) {
    edits_.SetEnabled(enable);
}

}  // namespace tk358
