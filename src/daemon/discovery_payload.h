#pragma once

// Home Assistant MQTT discovery: retained configuration messages that make
// the temperature, the set point(s) and the link of one panel appear as the
// entities of one device, with no YAML. They read the state message and go
// unavailable with the availability topic.

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

// <discoveryPrefix>/sensor/tk358_<name>/temperature/config, .../setpoint/config,
// .../setpoint2/config (only for the threshold regulator, removed for the
// other kinds) and <discoveryPrefix>/binary_sensor/tk358_<name>/link/config.
std::vector<RetainedMessage> BuildDiscoveryMessages(const std::string& discoveryPrefix,
                                                    const std::string& name,
                                                    const MqttTopics& topics,
                                                    const PanelIdentity& identity);

}  // namespace tk358
