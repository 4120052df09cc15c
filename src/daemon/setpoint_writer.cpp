// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/setpoint_writer.h"

#include <utility>

namespace tk358 {

SetpointWriter::SetpointWriter(PanelAccess& panel, const DaemonLog& log, ResultHandler onResult)
    : panel_(panel), log_(log), onResult_(std::move(onResult)), thread_([this] { Run(); }) {}

SetpointWriter::~SetpointWriter() {
    Stop();
}

bool SetpointWriter::Submit(SetpointRequest request) {
    {
        std::lock_guard<std::mutex> lock(queueLock_);
        if (stop_ || queue_.size() >= kMaxQueued) {
            return false;
        }
        queue_.push_back(std::move(request));
    }
    wake_.notify_one();
    return true;
}

void SetpointWriter::Stop() {
    {
        std::lock_guard<std::mutex> lock(queueLock_);
        stop_ = true;
        queue_.clear();
    }
    wake_.notify_one();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void SetpointWriter::Run() {
    for (;;) {
        SetpointRequest request;
        {
            std::unique_lock<std::mutex> lock(queueLock_);
            wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
            if (stop_) {
                return;
            }
            request = std::move(queue_.front());
            queue_.pop_front();
        }
        const std::string error = WriteSetpointRequest(request, panel_);
        if (error.empty()) {
            log_.Info(request.command + ": zapisano " + request.text + " °C");
        } else {
            log_.Warning(request.command + " " + request.text + ": " + error);
        }
        if (onResult_) {
            onResult_(request, error);
        }
    }
}

}  // namespace tk358
