// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Carries out the set-point writes asked for on the command topics, one after
// the other on a thread of its own: a write blocks for its serial exchanges
// (seconds, when the panel does not answer), and neither the broker's network
// thread nor the readings loop may wait that long.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "daemon/daemon_log.h"
#include "daemon/setpoint_command.h"
#include "link/panel_access.h"

namespace tk358 {

class SetpointWriter {
public:
    // Called with each request and its result ("" when written), on the
    // writer's thread.
    using ResultHandler = std::function<void(const SetpointRequest&, const std::string& error)>;

    SetpointWriter(PanelAccess& panel, const DaemonLog& log, ResultHandler onResult);
    ~SetpointWriter();  // Stop()
    SetpointWriter(const SetpointWriter&) = delete;
    SetpointWriter& operator=(const SetpointWriter&) = delete;

    // Queues a write; false when kMaxQueued writes are waiting already or
    // the writer has stopped.
    bool Submit(SetpointRequest request);

    // Lets the write in progress finish, drops the waiting ones and ends the thread.
    void Stop();

    static constexpr std::size_t kMaxQueued = 4;

private:
    void Run();

    PanelAccess& panel_;
    const DaemonLog& log_;
    ResultHandler onResult_;

    // queueLock: the waiting requests and the stop request; never held during a write.
    std::mutex queueLock_;
    std::condition_variable wake_;
    std::deque<SetpointRequest> queue_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace tk358
