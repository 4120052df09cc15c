// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Hands the messages of the command topics on: a set point to the writer, a
// refusal straight back as a result, anything else to the log only. A
// retained command is never carried out: it is logged and removed from the
// broker. Runs on the broker's network thread and never waits for the panel.

#include <functional>
#include <string>

#include "daemon/daemon_log.h"
#include "daemon/mqtt_topics.h"
#include "daemon/setpoint_command.h"

namespace tk358 {

class CommandRouter {
public:
    // Queues a write; false when it cannot be taken now.
    using Submit = std::function<bool(const SetpointRequest&)>;
    // Publishes a result message (topic, payload).
    using PublishResult = std::function<void(const std::string&, const std::string&)>;
    // Removes the retained message of a topic at the broker.
    using ClearRetained = std::function<void(const std::string&)>;

    CommandRouter(MqttTopics topics, bool writesAllowed, const DaemonLog& log, Submit submit,
                  PublishResult publish, ClearRetained clear);

    void OnMessage(const std::string& topic, const std::string& payload, bool retained);

private:
    const MqttTopics topics_;
    const bool writesAllowed_;
    const DaemonLog& log_;
    Submit submit_;
    PublishResult publish_;
    ClearRetained clear_;
};

}  // namespace tk358
