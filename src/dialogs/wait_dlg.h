// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The small caption-less "Proszę czekać" box shown while a slow listing runs.
// The listing starts on a worker thread as soon as the box is shown, and the box
// closes by itself when the listing ends. "Anuluj" only asks the listing to stop
// (a listing that does not look at the request runs to its end); Esc closes the
// box at once. Either way the result is complete once WaitForResult() returns,
// and destruction waits for the listing while the GUI thread serves its events.

#include <QDialog>
#include <atomic>
#include <functional>
#include <string>

#include "dialogs/dialog_worker.h"

class QPushButton;

namespace tk358 {

class CWaitDlg : public QDialog {
    Q_OBJECT

public:
    // Runs on the worker thread; `stopRequested` turns true after "Anuluj" or
    // when the box goes away.
    using Job = std::function<std::string(const std::atomic<bool>& stopRequested)>;

    explicit CWaitDlg(Job job, QWidget* parent = nullptr);
    ~CWaitDlg() override;

    // Waits for a running listing (serving events) and returns its text; empty
    // when it failed, threw or never ran.
    std::string WaitForResult();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void RequestStop();
    void OnJobDone();

    Job job_;
    std::string result_;  // written by the worker, read after it has been joined
    std::atomic<bool> stop_{false};
    bool started_ = false;
    QPushButton* cancel_ = nullptr;
    DialogWorker worker_;
};

}  // namespace tk358
