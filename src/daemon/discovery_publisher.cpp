// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/discovery_publisher.h"

#include "daemon/discovery_payload.h"
#include "panel/panel_model.h"

namespace tk358 {

namespace {

std::string MemoryFile(const DaemonOptions& o, const std::string& directory) {
    if (directory.empty()) {
        return {};
    }
    return directory + "/" + DiscoveryNodeId(o.topicPrefix, o.name) + ".panel";
}

std::string PanelText(const PanelIdentity& id) {
    std::string text = PanelModelName(id.deviceType);
    if (id.noNumber == 0) {
        text += " nr " + std::to_string(id.serialNumber);
    }
    return text;
}

}  // namespace

DiscoveryPublisher::DiscoveryPublisher(const DaemonOptions& options, const MqttTopics& topics,
                                       const DaemonLog& log, const std::string& stateDirectory,
                                       Sink sink)
    : options_(options),
      topics_(topics),
      log_(log),
      memory_(MemoryFile(options, stateDirectory)),
      sink_(std::move(sink)) {}

void DiscoveryPublisher::Start() {
    for (const RetainedMessage& m :
         EarlierDiscoveryRemovals(options_.discoveryPrefix, options_.topicPrefix, options_.name)) {
        sink_(m.topic, m.payload);
    }
    known_ = memory_.Load();
    if (known_) {
        log_.Info("encje Home Assistant według zapamiętanego panelu " + PanelText(*known_) +
                  " do jego pierwszej odpowiedzi");
    }
    Describe();
}

void DiscoveryPublisher::Update(const PanelIdentity& identity) {
    if (identity.identified == 0) {
        return;  // whatever was described stays
    }
    const bool same = known_ && PanelMemory::SamePanel(*known_, identity);
    if (same && identifiedNow_) {
        return;
    }
    if (!same) {
        const std::string error = memory_.Save(identity);
        if (!error.empty() && !saveFailureReported_) {
            saveFailureReported_ = true;
            log_.Warning("nie można zapamiętać panelu w " + memory_.Path() + ": " + error);
        }
    }
    known_ = identity;
    identifiedNow_ = true;
    Describe();
}

void DiscoveryPublisher::Describe() {
    DiscoverySource source{
        options_.discoveryPrefix,         options_.topicPrefix,         options_.name, topics_,
        known_.value_or(PanelIdentity{}), options_.allowSetpointWrites, identifiedNow_};
    for (const RetainedMessage& m : BuildDiscoveryMessages(source)) {
        sink_(m.topic, m.payload);
    }
}

}  // namespace tk358
