#include "dialogs/param_a_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>

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
    t1_ = AddParamRow(grid, param::kVentT1, QStringLiteral("t1Edit"));
    t2_ = AddParamRow(grid, param::kVentT2, QStringLiteral("t2Edit"));
    h1_ = AddParamRow(grid, param::kVentH1, QStringLiteral("h1Edit"));
    h2_ = AddParamRow(grid, param::kVentH2, QStringLiteral("h2Edit"));
    grid->setRowMinimumHeight(grid->rowCount(), 8);
    airing_ = AddCheckRow(grid, LabelOf(param::kAiring), QStringLiteral("airingCheck"));
    airingTime_ = AddParamRow(grid, param::kAiringTime, QStringLiteral("airingTimeEdit"));
    airingPeriod_ = AddParamRow(grid, param::kAiringPeriod, QStringLiteral("airingPeriodEdit"));
    airingThreshold_ =
        AddParamRow(grid, param::kAiringThreshold, QStringLiteral("airingThresholdEdit"));
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
    ShowField(t1_, rules::kVentThreshold, v->t1);
    ShowField(t2_, rules::kVentThreshold, v->t2);
    ShowField(h1_, rules::kHysteresis, v->h1);
    ShowField(h2_, rules::kHysteresis, v->h2);
    ShowField(airingTime_, rules::kAiringTime, v->airingTime);
    ShowField(airingPeriod_, rules::kAiringPeriod, v->airingPeriod);
    ShowField(airingThreshold_, rules::kAiringThreshold, v->airingThreshold);
    airing_->setChecked(v->airing != 0);
    fan1_->setChecked(FanOn(v->fans, 1));
    fan2_->setChecked(FanOn(v->fans, 2));
    return true;
}

std::optional<PanelDialog::FieldError> CParamADlg::Validate() {
    VentilationParameters v;
    if (auto error =
            CheckFields({{t1_, rules::kVentThreshold, &v.t1},
                         {t2_, rules::kVentThreshold, &v.t2},
                         {h1_, rules::kHysteresis, &v.h1},
                         {h2_, rules::kHysteresis, &v.h2},
                         {airingTime_, rules::kAiringTime, &v.airingTime},
                         {airingPeriod_, rules::kAiringPeriod, &v.airingPeriod},
                         {airingThreshold_, rules::kAiringThreshold, &v.airingThreshold}})) {
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
    for (QLineEdit* field : {t1_, t2_, h1_, h2_, airingTime_, airingPeriod_, airingThreshold_}) {
        field->setEnabled(enable);
    }
}

}  // namespace tk358
