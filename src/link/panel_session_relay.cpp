// SPDX-License-Identifier: GPL-3.0-or-later
// Requests that come ready-made from elsewhere: tk358d relays the lines of the
// client of its shared line through the session, one exchange at a time
// between its own. On the client's side, the daemon's refusal of a request
// ends that exchange as failed.

#include <algorithm>
#include <utility>

#include "link/panel_session.h"
#include "link/shared_line_socket.h"

namespace tk358 {

void PanelSession::SetLineObserver(PanelLineObserver* observer) {
    std::lock_guard<std::mutex> lock(receiveLock_);
    lineObserver_ = observer;
}

// Called with receiveLock_ held, for every whole line.
void PanelSession::ObserveLine(std::string_view line) {
    const bool relayAnswer = !relayPrefix_.empty() && line.starts_with(relayPrefix_);
    if (lineObserver_ != nullptr) {
        lineObserver_->OnPanelLine(line, relayAnswer);
    }
    if (relayAnswer) {
        relayPrefix_.clear();
        relayEvent_.Set();
    }
    if (awaitedEvent_ != nullptr && RefusedCommand(line) == awaitedCode_) {
        refused_ = true;
        awaitedEvent_->Set();
    }
}

void PanelSession::AwaitAnswer(const RequestFrame& frame, ManualResetEvent* event) {
    std::lock_guard<std::mutex> lock(receiveLock_);
    awaitedCode_.assign(frame.bytes.data(), std::min(frame.length, 6));
    awaitedEvent_ = event;
    refused_ = false;
}

bool PanelSession::TakeRefusal() {
    std::lock_guard<std::mutex> lock(receiveLock_);
    return std::exchange(refused_, false);
}

int PanelSession::RelayRequest(std::string_view line, std::string_view answerPrefix) {
    std::lock_guard<std::mutex> lock(requestLock_);
    if (!port_ || port_->DeviceLost() || line.empty() || answerPrefix.empty() ||
        line.size() > static_cast<std::size_t>(kLineCapacity)) {
        return kStatusFailed;
    }
    relayEvent_.Reset();
    {
        std::lock_guard<std::mutex> receive(receiveLock_);
        relayPrefix_ = answerPrefix;
    }
    port_->Send(line.data(), static_cast<int>(line.size()));
    const bool answered = relayEvent_.WaitFor(timing_.answerWait);
    std::lock_guard<std::mutex> receive(receiveLock_);
    relayPrefix_.clear();
    return answered ? kStatusOk : kStatusFailed;
}

}  // namespace tk358
