// Requests that come ready-made from elsewhere: tk358d relays the lines of the
// client of its shared line through the session, one exchange at a time
// between its own.

#include <algorithm>

#include "link/panel_session.h"

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
