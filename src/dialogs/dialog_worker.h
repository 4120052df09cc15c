// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one worker thread of a dialog. The GUI thread starts it, learns of its end
// through a queued call and joins it; the thread is never detached, so a dialog
// never goes away under a running worker.

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QObject;

namespace tk358 {

class DialogWorker {
public:
    DialogWorker() = default;
    ~DialogWorker();
    DialogWorker(const DialogWorker&) = delete;
    DialogWorker& operator=(const DialogWorker&) = delete;

    // Runs `body` on a new thread. When it returns, the worker marks itself
    // finished and then queues `done` to `context`'s thread; the queued call is
    // the thread's last action, so a GUI thread waiting in WaitServingEvents
    // always wakes for it. A call queued to a context that is gone is dropped.
    // Throws std::system_error when no thread can be started. A worker still
    // active is waited for first.
    void Start(QObject* context, std::function<void()> body, std::function<void()> done);

    // A thread was started and not yet joined.
    bool IsActive() const { return thread_ != nullptr; }
    // Joins the thread if it has finished; a running thread is left alone.
    void DisposeIfFinished();
    // GUI thread: waits until the thread has finished, serving the thread's
    // events meanwhile (timers and queued calls; user input is held back so no
    // new dialog opens underneath), then joins it. Sleeps in the event loop
    // between events: no spinning.
    void WaitServingEvents();

private:
    std::unique_ptr<std::thread> thread_;
    std::atomic<bool> finished_{false};
};

}  // namespace tk358
