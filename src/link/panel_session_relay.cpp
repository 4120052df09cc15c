// SPDX-License-Identifier: GPL-3.0-or-later
// Requests that come ready-made from elsewhere: tk358d relays the lines of the
// client of its shared line through the session, one exchange at a time
// between its own. On the client's side, the daemon's refusal of a request
// ends that exchange as failed.

#include "link/panel_session.h"

namespace tk358 {

void PanelSession::SetLineObserver(PanelLineObserver* observer) {
    std::lock_guard<std::mutex> lock(observerLock_);
    lineObserver_ = observer;
}

// On the reader thread, for every whole line, after its decoder: the observer
// sees the relayed answer before the relaying exchange wakes.
void PanelSession::ObserveLine(std::string_view line) {
    const bool relayAnswer = awaited_.IsAwaitedLine(line);
    {
        std::lock_guard<std::mutex> lock(observerLock_);
        if (lineObserver_ != nullptr) {
            lineObserver_->OnPanelLine(line, relayAnswer);
        }
    }
    awaited_.OfferLine(line);
}

int PanelSession::RelayRequest(std::string_view line, std::string_view answerPrefix) {
    std::lock_guard<std::mutex> lock(requestLock_);
    if (!port_ || port_->DeviceLost() || line.empty() || answerPrefix.empty() ||
        line.size() > static_cast<std::size_t>(kLineCapacity)) {
        return kStatusFailed;
    }
    awaited_.AwaitLine(answerPrefix);
    port_->Send(line.data(), static_cast<int>(line.size()));
    const AwaitedAnswer::Outcome outcome = awaited_.WaitFor(timing_.answerWait);
    awaited_.Disarm();
    return outcome == AwaitedAnswer::Outcome::kAnswered ? kStatusOk : kStatusFailed;
}

}  // namespace tk358
