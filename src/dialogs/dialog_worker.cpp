// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/dialog_worker.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

namespace tk358 {

DialogWorker::~DialogWorker() {
    WaitServingEvents();
}

void DialogWorker::Start(QObject* context, std::function<void()> body, std::function<void()> done) {
    finished_.store(false, std::memory_order_relaxed);
    thread_ = std::make_unique<std::thread>(
        [this, context, body = std::move(body), done = std::move(done)]() mutable {
            try {
                body();
            } catch (...) {
                // The body reports its own failures; nothing may escape a thread.
            }
            finished_.store(true, std::memory_order_release);
            // The owner joins only after seeing `finished_`, and join waits for
            // this call to return, so `context` is still alive here.
            QMetaObject::invokeMethod(context, std::move(done), Qt::QueuedConnection);
        });
}

void DialogWorker::DisposeIfFinished() {
    if (thread_ && finished_.load(std::memory_order_acquire)) {
        thread_->join();
        thread_.reset();
    }
}

void DialogWorker::WaitServingEvents() {
    if (QCoreApplication::instance() != nullptr) {
        while (thread_ && !finished_.load(std::memory_order_acquire)) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                            QEventLoop::ExcludeUserInputEvents);
        }
    }
    if (thread_) {
        thread_->join();
        thread_.reset();
    }
}

}  // namespace tk358
