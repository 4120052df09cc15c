// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Odczyt parametrów": reads the panel's parameter set afresh on a worker
// thread with a progress bar. "Anuluj" (or Esc) ends the read before its
// next request and the dialog waits for the request on the line to end.

#include <QDialog>
#include <atomic>

#include "backup/parameter_backup.h"
#include "dialogs/dialog_worker.h"

class QLabel;
class QProgressBar;

namespace tk358 {

class CSetReadDlg : public QDialog {
    Q_OBJECT

public:
    CSetReadDlg(PanelAccess& session, QWidget* parent = nullptr);
    ~CSetReadDlg() override;

    // Starts the read when shown; Accepted when it succeeded.
    int exec() override;
    const SetReadResult& Result() const { return result_; }

public slots:
    void reject() override;

private:
    void OnDone();

    PanelAccess& session_;
    QProgressBar* bar_ = nullptr;
    QLabel* text_ = nullptr;
    std::atomic<bool> stop_{false};
    SetReadResult result_;
    SetReadResult workerResult_;  // written by the worker only until it ends
    DialogWorker worker_;
};

}  // namespace tk358
