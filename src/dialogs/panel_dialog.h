// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The frame of every dialog that changes something in the panel.
//
// Opening: before the dialog is shown, Fill() reads the session's snapshots and
// fills the controls. When it returns false, the read-failure message is shown
// and the dialog ends with Rejected without ever becoming visible.
//
// OK: Validate() checks the fields in their fixed order and stores the values.
// At the first failure its message is shown, the keyboard focus goes to that
// field and nothing is written. Otherwise MakeWriteJob() packs the stored values
// into a job that a worker thread runs against the session, while the controls
// are disabled and the dialog shows that it is writing. The job never touches
// the dialog or a widget. Its outcome comes back to the GUI thread: its
// messages are shown in order, then the dialog either ends with Accepted
// (without validating again) or gives the controls back with the operator's
// values. A job that throws gives the controls back without a message.
//
// While the worker writes, OK is ignored and so are Esc and the window's close
// button: the write cannot be abandoned half way, and the session gives up on a
// silent panel by itself within seconds. Destroying the dialog waits for a
// running worker while the GUI thread keeps serving its events.
//
// A dialog that reacts to an edit losing the focus disconnects that handler in
// its destructor: destroying a visible dialog moves the focus while the derived
// part is already gone.

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "dialogs/dialog_worker.h"
#include "dialogs/message_box.h"

class QDialogButtonBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace tk358 {

class PanelAccess;

// A progress callback for a job on a worker thread: each call is queued to
// `bar`, and dropped if the bar is gone by the time it would run.
std::function<void(int done, int total)> QueuedProgress(QProgressBar* bar);

class PanelDialog : public QDialog {
    Q_OBJECT

public:
    // The dialog's fixed messages of the frame.
    struct Texts {
        QString readFailure;
        QString writeFailure;
        QString startFailure;
    };

    // What a write job hands back: whether the dialog may end with Accepted, and
    // the messages to show first, in order (warning boxes).
    struct WriteOutcome {
        bool success = false;
        QStringList messages;
    };
    using WriteJob = std::function<WriteOutcome(PanelAccess& session)>;

    // A field refused by Validate(): its message and the control to focus.
    struct FieldError {
        QWidget* field = nullptr;
        QString message;
        MessageIcon icon = MessageIcon::Warning;
    };

    PanelDialog(PanelAccess& session, Texts texts, QWidget* parent = nullptr);
    ~PanelDialog() override;

    // Boxes go to `sink` instead of QMessageBox (tests); nullptr restores the boxes.
    void SetMessageSink(MessageSink* sink);

    // The worker is writing: controls disabled, OK and Esc ignored.
    bool IsWriting() const { return writing_; }

    // Runs the opening first; a failed opening returns Rejected at once.
    int exec() override;
    // show() and open() run the opening too; a failed opening shows nothing.
    void setVisible(bool visible) override;

public slots:
    // OK: validation and the start of the worker.
    void accept() override;
    // Cancel, Esc and the close button; ignored while the worker writes.
    void reject() override;
    // Every end of the dialog; the next run opens afresh.
    void done(int result) override;

protected:
    // Reads the snapshots, checks the opening condition and fills the controls.
    virtual bool Fill() = 0;
    // Checks the fields in order and stores the values; the first refused field.
    virtual std::optional<FieldError> Validate() = 0;
    // The write of the stored values. Capture copies: the job runs on the worker.
    virtual WriteJob MakeWriteJob() const = 0;
    // Enables or disables the dialog's own controls (OK and Cancel are the frame's).
    virtual void EnableFields(bool enable) = 0;

    // The common job: one write operation whose status decides; its failure
    // shows the write-failure message.
    WriteJob OneWrite(std::function<int(PanelAccess& session)> write) const;

    // Enables or disables the fields together with OK and Cancel.
    void EnableControls(bool enable);

    // A job that did not succeed has ended and its messages were shown; the
    // controls are given back next. A dialog that stays open after its write
    // (to show what the panel holds now) refreshes itself here.
    virtual void WriteEnded() {}
    // For a job that knows how far it is: a call from any thread moves the
    // busy bar to `done` of `total` (the call is queued to the dialog).
    std::function<void(int done, int total)> ProgressReporter() const;

    PanelAccess& Session() const { return session_; }
    MessageSink& Messages() const { return *sink_; }
    // The area above the buttons; the dialog puts its layout on it (the frame
    // clears that layout's margins: the dialog's own margins surround it).
    QWidget* Body() const { return body_; }
    QPushButton* OkButton() const;
    QPushButton* CancelButton() const;

private:
    struct WorkerResult {
        WriteOutcome outcome;
        bool threw = false;
    };

    bool RunOpening();
    void StartWrite(WriteJob job);
    void OnWriteDone(const WorkerResult& result);
    void ShowBusy(bool busy);
    QWidget* BoxParent();

    PanelAccess& session_;
    Texts texts_;
    MessageBoxSink boxes_;
    MessageSink* sink_ = &boxes_;
    QWidget* body_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    QProgressBar* busyBar_ = nullptr;
    QLabel* busyText_ = nullptr;
    QPointer<QWidget> focusBeforeWrite_;
    DialogWorker worker_;
    bool opened_ = false;
    bool writing_ = false;
    bool closing_ = false;
};

}  // namespace tk358
