#pragma once

// "Parametry regulacji" of the ventilation controller: two thresholds with
// their hystereses, the airing function with its time, period and threshold,
// and the fans. The check boxes stay enabled while the values are written;
// they were read when OK was pressed.

#include <span>
#include <vector>

#include "dialogs/panel_dialog.h"
#include "present/kind_fields.h"
#include "present/regulation_params.h"

class QCheckBox;
class QGridLayout;
class QLineEdit;

namespace tk358 {

class CParamADlg : public PanelDialog {
    Q_OBJECT

public:
    explicit CParamADlg(PanelAccess& session, QWidget* parent = nullptr);

protected:
    bool Fill() override;
    std::optional<FieldError> Validate() override;
    WriteJob MakeWriteJob() const override;
    void EnableFields(bool enable) override;

private:
    // The number fields with the rows they were made from, in the order shown.
    struct Edit {
        QLineEdit* field;
        const DialogRow<VentilationParameters>* row;
    };

    void AddEdits(QGridLayout* grid, std::span<const DialogRow<VentilationParameters>> rows);

    std::vector<Edit> edits_;
    QCheckBox* airing_ = nullptr;
    QCheckBox* fan1_ = nullptr;
    QCheckBox* fan2_ = nullptr;
    VentilationParameters values_;
};

}  // namespace tk358
