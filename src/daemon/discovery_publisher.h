// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Keeps Home Assistant's entities of one panel true across restarts: a kind
// is described only once it is known, from an answer on the line or from the
// panel remembered from the last one, and an entity is removed only when
// another kind answers on the line. Until then a silent panel leaves every
// entity as it was (unavailable through the link, never deleted).

#include <functional>
#include <optional>
#include <string>

#include "daemon/daemon_log.h"
#include "daemon/daemon_options.h"
#include "daemon/mqtt_topics.h"
#include "daemon/panel_memory.h"
#include "link/records.h"

namespace tk358 {

class DiscoveryPublisher {
public:
    // Keeps `payload` retained on `topic`; empty removes it.
    using Sink = std::function<void(const std::string& topic, const std::string& payload)>;

    // `stateDirectory` holds the remembered panel; empty: none is remembered.
    DiscoveryPublisher(const DaemonOptions& options, const MqttTopics& topics, const DaemonLog& log,
                       const std::string& stateDirectory, Sink sink);

    // At the start: removes the configurations of earlier ids and describes
    // the remembered panel, or only tk358d's own entities.
    void Start();

    // With each copy of the panel's identity.
    void Update(const PanelIdentity& identity);

private:
    void Describe();

    const DaemonOptions& options_;
    const MqttTopics topics_;
    const DaemonLog& log_;
    const PanelMemory memory_;
    const Sink sink_;
    std::optional<PanelIdentity> known_;  // identified now, else remembered
    bool identifiedNow_ = false;          // known_ answered on the line since the start
    bool saveFailureReported_ = false;
};

}  // namespace tk358
