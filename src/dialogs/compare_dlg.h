// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Porównanie parametrów": the panel's set (read afresh before the dialog
// opens) beside a parameter file's. One row per setting with its label, the
// panel's and the file's value and their state; the differing rows are
// marked and ticked, and only they can be ticked. OK writes the ticked
// values on the frame's worker with a progress bar, reads the set back and
// shows per row whether the panel now holds the file's value; the dialog
// stays open. Closing it before OK writes nothing, so it also serves to
// check a panel against its commissioned settings.

#include <QString>
#include <memory>
#include <vector>

#include "backup/backup_compare.h"
#include "dialogs/panel_dialog.h"

class QLabel;
class QTreeWidget;

namespace tk358 {

class CCompareDlg : public PanelDialog {
    Q_OBJECT

public:
    CCompareDlg(PanelAccess& session, ParameterBackup panelSet, ParameterBackup file,
                const QString& fileName, QWidget* parent = nullptr);

    // Columns of the rows.
    enum Column { kLabelColumn, kPanelColumn, kFileColumn, kStateColumn };
    std::vector<int> TickedCodes() const;

protected:
    bool Fill() override;
    std::optional<FieldError> Validate() override;
    WriteJob MakeWriteJob() const override;
    void EnableFields(bool enable) override;
    void WriteEnded() override;

private:
    struct Restore;  // what the worker hands back

    void ShowRows();
    void ShowSummary();

    ParameterBackup panelSet_;
    ParameterBackup file_;
    std::vector<CompareRow> compared_;
    std::shared_ptr<Restore> restore_;
    QLabel* summary_ = nullptr;
    QTreeWidget* rows_ = nullptr;
};

}  // namespace tk358
