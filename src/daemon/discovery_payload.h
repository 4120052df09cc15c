// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Home Assistant MQTT discovery: one retained configuration message per
// entity, so that the readings of one panel appear as the entities of one
// device, with no YAML. They read the state, info and health messages and
// are available while tk358d runs and, for the panel's own entities, while
// the panel answers.
//
// Every value keeps one entity whatever the options: a set point is always a
// read-only sensor (its history and statistics stay), and with
// --allow-setpoint-writes also a number entity <object>_set that writes it.
//
// Ids come from the topic prefix and the panel name, never from the host:
// node id tk358_<name> under the default prefix "tk358", tk358_<prefix>_<name>
// under any other (a '/' of the prefix, and any other character that is not
// a letter, digit, '_' or '-', becomes '_'); unique id <node id>_<entity>,
// default entity id <domain>.<node id>_<entity> in lower case.

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
    // The panel the entities describe; not identified: only tk358d's own
    // entities (link and health), which belong to no kind.
    PanelIdentity identity;
    bool writesAllowed = false;
    // The kind was identified on this line now (not only remembered): the
    // entities of other kinds, and the number entities writes do not allow,
    // are removed.
    bool removeOthers = false;
};

// <discoveryPrefix>/<component>/<node id>/<entity>/config: a configuration
// for every entity of the panel's kind and tk358d's own, and with
// `removeOthers` an empty message for every other entity any kind may have.
std::vector<RetainedMessage> BuildDiscoveryMessages(const DiscoverySource& source);

// Empty messages for the configurations of the ids tk358d used before
// (tk358_<prefix>_<name> and, before that, tk358_<name>), leaving out every
// topic the current ids use, so that an upgrade leaves no duplicates.
std::vector<RetainedMessage> EarlierDiscoveryRemovals(const std::string& discoveryPrefix,
                                                      const std::string& topicPrefix,
                                                      const std::string& name);

std::string DiscoveryNodeId(const std::string& topicPrefix, const std::string& name);

}  // namespace tk358
