// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/param_a_dlg.h"

#include <QCheckBox>
#include <QGridLayout>

#include "dialogs/param_form.h"

namespace tk358 {
namespace {

QCheckBox* AddCheckRow(QGridLayout* grid, const QString& text, const QString& objectName) {
    auto* box = new QCheckBox(text);
    box->setObjectName(objectName);
    grid->addWidget(box, grid->rowCount(), 0, 1, 3);
    return box;
}

}  // namespace

CParamADlg::CParamADlg(PanelAccess& session, QWidget* parent)
    : PanelDialog(session,
                  {QString::fromUtf8(kParamReadFailure), QString::fromUtf8(kParamWriteFailure),
                   QString::fromUtf8(kSettingsStartFailure)},
                  parent) {
    setObjectName(QStringLiteral("paramADialog"));
    setWindowTitle(QString::fromUtf8(kParamTitle));

    auto* grid = new QGridLayout(Body());
    edits_.Add(grid, VentilationThresholdRows());
    grid->setRowMinimumHeight(grid->rowCount(), 8);
    airing_ = AddCheckRow(grid, LabelOf(param::kAiring), QStringLiteral("airingCheck"));
    edits_.Add(grid, VentilationAiringRows());
    grid->setRowMinimumHeight(grid->rowCount(), 8);
    fan1_ = AddCheckRow(grid, QStringLiteral("Wentylator 1"), QStringLiteral("fan1Check"));
    fan2_ = AddCheckRow(grid, QStringLiteral("Wentylator 2"), QStringLiteral("fan2Check"));
    grid->setColumnStretch(3, 1);
    AddBottomSpace(grid);
}

bool CParamADlg::Fill() {
    const std::optional<VentilationParameters> v = ReadVentilationParameters(Session());
    if (!v) {
        return false;
    }
    values_ = *v;
    edits_.Show(*v);
    airing_->setChecked(v->airing != 0);
    fan1_->setChecked(FanOn(v->fans, 1));
    fan2_->setChecked(FanOn(v->fans, 2));
    return true;
}

std::optional<PanelDialog::FieldError> CParamADlg::Validate() {
    VentilationParameters v;
    if (auto error = edits_.Check(v)) {
        return error;
    }
    v.airing = airing_->isChecked() ? 1 : 0;
    v.fans = FanMask(fan1_->isChecked(), fan2_->isChecked());
    values_ = v;
    return std::nullopt;
}

PanelDialog::WriteJob CParamADlg::MakeWriteJob() const {
    return OneWrite([v = values_](PanelAccess& s) { return WriteParameters(s, v); });
}

void CParamADlg::EnableFields(bool enable) {
    edits_.SetEnabled(enable);
}

}  // namespace tk358
