#pragma once

// Home Assistant MQTT discovery: one retained configuration message per
// entity, so that the readings of one panel appear as the entities of one
// device, with no YAML. They read the state message, go unavailable with the
// availability topic and, with --allow-setpoint-writes, write the set points
// the panel's kind lets the window's set-point dialog write.
//
// Ids come from the topic prefix and the panel name, never from the host:
// node id tk358_<prefix>_<name> (a '/' of the prefix, and any other character
// that is not a letter, digit, '_' or '-', becomes '_'), unique id
// <node id>_<entity>, default entity id <domain>.<node id>_<entity> in lower
// case.

#include <string>
#include <vector>

#include "daemon/mqtt_topics.h"
#include "link/records.h"

namespace tk358 {

struct RetainedMessage {
    std::string topic;
    std::string payload;  // empty: removes an earlier configuration

    friend bool operator==(const RetainedMessage&, const RetainedMessage&) = default;
};

struct DiscoverySource {
    std::string discoveryPrefix;
    std::string topicPrefix;
    std::string name;
    MqttTopics topics;
    PanelIdentity identity;
    bool writesAllowed = false;
};

// <discoveryPrefix>/<component>/<node id>/<entity>/config for every entity
// any kind may have: a configuration for those of the panel's kind, an empty
// message for the others (a kind that lost an entity, a set point that turned
// from sensor to number).
std::vector<RetainedMessage> BuildDiscoveryMessages(const DiscoverySource& source);

// Empty messages for the configurations of the ids tk358d used before
// (tk358_<name>, without the prefix), so that an upgrade leaves no duplicates.
std::vector<RetainedMessage> EarlierDiscoveryRemovals(const std::string& discoveryPrefix,
                                                      const std::string& name);

std::string DiscoveryNodeId(const std::string& topicPrefix, const std::string& name);

}  // namespace tk358
