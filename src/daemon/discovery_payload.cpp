// SPDX-License-Identifier: GPL-3.0-or-later
#include "daemon/discovery_payload.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "daemon/discovery_entities.h"
#include "daemon/json_writer.h"
#include "panel/panel_model.h"
#include "tk358_version.h"

namespace tk358 {

namespace {

// Home Assistant's own defaults for an availability topic's payloads.
static_assert(std::string_view(kOnline) == "online" && std::string_view(kOffline) == "offline");

constexpr const char* kDefaultTopicPrefix = "tk358";

// The kind as far as it is known: the unknown kind before identification.
int KnownKind(const PanelIdentity& id) {
    return id.identified != 0 ? int{id.deviceType} : int{kUnknownDevice};
}

bool IsOwn(const DiscoveryEntity& e) {
    return KindHas(e.kinds, kUnknownDevice);
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        } else if (c == '-') {
            c = '_';
        }
    }
    return text;
}

std::string Sanitized(std::string id) {
    for (char& c : id) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (!ok) {
            c = '_';
        }
    }
    return id;
}

std::string Version(int32_t version) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d", version / 100, version % 100);
    return text;
}

std::string DeviceName(const std::string& name, const PanelIdentity& id) {
    if (id.identified == 0 || id.noNumber != 0) {
        return std::string(PanelModelName(KnownKind(id))) + " (" + name + ")";
    }
    return std::string(PanelModelName(id.deviceType)) + " nr " + std::to_string(id.serialNumber) +
           " (" + name + ")";
}

void WriteDevice(JsonWriter& w, const std::string& nodeId, const DiscoverySource& s) {
    const PanelIdentity& id = s.identity;
    w.Key("device").BeginObject();
    w.Key("identifiers").BeginArray().String(nodeId).EndArray();
    w.Key("name").String(DeviceName(s.name, id));
    w.Key("manufacturer").String("TK-358");
    w.Key("model").String(PanelModelName(KnownKind(id)));
    if (id.identified != 0) {
        if (id.noNumber == 0) {
            w.Key("serial_number").String(std::to_string(id.serialNumber));
        }
        w.Key("hw_version").String(std::to_string(id.hardwareVariant));
        w.Key("sw_version").String(Version(id.firmwareVersion));
    }
    w.EndObject();
}

void WriteOrigin(JsonWriter& w) {
    w.Key("origin").BeginObject();
    w.Key("name").String("tk358d");
    w.Key("sw_version").String(TK358_VERSION);
    w.EndObject();
}

std::string SourceTopic(const DiscoveryEntity& e, const MqttTopics& topics) {
    switch (e.source) {
        case EntitySource::kInfo:
            return topics.Info();
        case EntitySource::kHealth:
            return topics.Health();
        case EntitySource::kState:
            break;
    }
    return topics.State();
}

std::string ZoneTemplate(int kind) {
    const auto [first, second] = ZoneNames(kind);
    return std::string("{{ {1: '") + first + "', 2: '" + second + "'}.get(value_json.zone) }}";
}

// Unit, device and state class: a sensor's whole set; a number entity takes
// no state class and no display precision (its schema has neither).
void WriteShape(JsonWriter& w, const DiscoveryEntity& e, int kind, bool number,
                const MqttTopics& topics) {
    switch (e.shape) {
        case EntityShape::kTemperature:
        case EntityShape::kSetpoint:
            w.Key("unit_of_measurement").String("°C");
            w.Key("device_class").String("temperature");
            break;
        case EntityShape::kPercent:
            w.Key("unit_of_measurement").String("%");
            break;
        case EntityShape::kZone: {
            const auto [first, second] = ZoneNames(kind);
            w.Key("device_class").String("enum");
            w.Key("options").BeginArray().String(first).String(second).EndArray();
            return;
        }
        case EntityShape::kOnOff:
            if (e.deviceClass != nullptr) {
                w.Key("device_class").String(e.deviceClass);
            }
            return;
        case EntityShape::kOffset:
        case EntityShape::kUptime:
            w.Key("unit_of_measurement").String("s");
            w.Key("device_class").String("duration");
            break;
        case EntityShape::kTimestamp:
            w.Key("device_class").String("timestamp");
            return;
        case EntityShape::kLogState:
            w.Key("device_class").String("enum");
            w.Key("options").BeginArray().String("ok").String("failing").String("off").EndArray();
            w.Key("json_attributes_topic").String(topics.Health());
            w.Key("json_attributes_template")
                .String("{{ {'przyczyna': value_json.logError} | tojson }}");
            return;
        case EntityShape::kCount:
            w.Key("state_class").String("total_increasing");
            return;
    }
    if (number) {
        return;
    }
    // Uptime starts anew with every start: not worth long-term statistics.
    if (e.shape != EntityShape::kUptime) {
        w.Key("state_class").String("measurement");
    }
    const bool tenths = e.shape == EntityShape::kTemperature || e.shape == EntityShape::kPercent;
    w.Key("suggested_display_precision")
        .Int(e.shape == EntityShape::kSetpoint ? 2
             : tenths                          ? 1
                                               : 0);
}

// The state key of a set point is its command: "zone1_setpoint" is written
// on set/zone1Setpoint, like the state's "zone1Setpoint".
std::string CommandOf(const DiscoveryEntity& e) {
    std::string key;
    bool upper = false;
    for (const char* c = e.object; *c != '\0'; ++c) {
        if (*c == '_') {
            upper = true;
        } else {
            key += upper && *c >= 'a' && *c <= 'z' ? static_cast<char>(*c - 'a' + 'A') : *c;
            upper = false;
        }
    }
    return key;
}

// The number entity's part: where it writes and what it accepts.
void WriteCommand(JsonWriter& w, const DiscoveryEntity& e, const MqttTopics& topics) {
    w.Key("command_topic").String(topics.CommandPrefix() + CommandOf(e));
    w.Key("min").Number(e.rule->min / 100.0);
    w.Key("max").Number(e.rule->max / 100.0);
    w.Key("step").Number(0.01);
    w.Key("mode").String("box");
}

// tk358d's availability; for the panel's entities also the link's, so that
// they are unavailable, not unknown, while the panel does not answer.
void WriteAvailability(JsonWriter& w, const DiscoveryEntity& e, const MqttTopics& topics) {
    w.Key("availability").BeginArray();
    w.BeginObject().Key("topic").String(topics.Availability()).EndObject();
    if (!IsOwn(e)) {
        w.BeginObject().Key("topic").String(topics.Link()).EndObject();
    }
    w.EndArray();
    if (!IsOwn(e)) {
        w.Key("availability_mode").String("all");
    }
}

struct Form {
    const char* component;
    std::string object;
    bool number;
};

std::string ConfigPayload(const DiscoverySource& s, const std::string& nodeId,
                          const DiscoveryEntity& e, const Form& form) {
    const int kind = KnownKind(s.identity);
    const std::string uniqueId = nodeId + "_" + form.object;
    JsonWriter w;
    w.BeginObject();
    w.Key("name").String(form.number ? std::string(e.title) + " (zapis)" : std::string(e.title));
    w.Key("unique_id").String(uniqueId);
    w.Key("default_entity_id").String(std::string(form.component) + "." + Lower(uniqueId));
    w.Key("state_topic").String(SourceTopic(e, s.topics));
    w.Key("value_template")
        .String(e.valueTemplate != nullptr ? std::string(e.valueTemplate) : ZoneTemplate(kind));
    WriteShape(w, e, kind, form.number, s.topics);
    if (form.number) {
        WriteCommand(w, e, s.topics);
    }
    if (e.diagnostic) {
        w.Key("entity_category").String("diagnostic");
    }
    if (!e.enabledByDefault) {
        w.Key("enabled_by_default").Bool(false);
    }
    WriteAvailability(w, e, s.topics);
    WriteDevice(w, nodeId, s);
    WriteOrigin(w);
    w.EndObject();
    return w.Text();
}

// The read-only form every entity has, and the number form of a set point
// some kind writes.
std::vector<Form> FormsOf(const DiscoveryEntity& e) {
    std::vector<Form> forms{
        {e.shape == EntityShape::kOnOff ? "binary_sensor" : "sensor", e.object, false}};
    if (e.writableKinds != 0) {
        forms.push_back({"number", std::string(e.object) + "_set", true});
    }
    return forms;
}

std::string ConfigTopic(const std::string& discoveryPrefix, const char* component,
                        const std::string& nodeId, const std::string& object) {
    return discoveryPrefix + "/" + component + "/" + nodeId + "/" + object + "/config";
}

}  // namespace

std::string DiscoveryNodeId(const std::string& topicPrefix, const std::string& name) {
    if (topicPrefix == kDefaultTopicPrefix) {
        return Sanitized("tk358_" + name);
    }
    return Sanitized("tk358_" + topicPrefix + "_" + name);
}

std::vector<RetainedMessage> BuildDiscoveryMessages(const DiscoverySource& source) {
    const std::string nodeId = DiscoveryNodeId(source.topicPrefix, source.name);
    const int kind = KnownKind(source.identity);
    // Without a kind nothing tells which entities are not there.
    const bool removeOthers = source.removeOthers && kind != kUnknownDevice;
    std::vector<RetainedMessage> messages;
    for (const DiscoveryEntity& e : DiscoveryEntities()) {
        const bool has = KindHas(e.kinds, kind);
        for (const Form& form : FormsOf(e)) {
            const bool wanted =
                has && (!form.number || (source.writesAllowed && KindHas(e.writableKinds, kind)));
            if (!wanted && !removeOthers) {
                continue;
            }
            RetainedMessage m{
                ConfigTopic(source.discoveryPrefix, form.component, nodeId, form.object), {}};
            if (wanted) {
                m.payload = ConfigPayload(source, nodeId, e, form);
            }
            messages.push_back(std::move(m));
        }
    }
    return messages;
}

std::vector<RetainedMessage> EarlierDiscoveryRemovals(const std::string& discoveryPrefix,
                                                      const std::string& topicPrefix,
                                                      const std::string& name) {
    // Before: node tk358_<prefix>_<name>, a set point either a sensor or a
    // number of the same object; before that: node tk358_<name>, four sensors.
    struct Earlier {
        std::string nodeId;
        std::vector<std::string> topics;  // component/object
    };
    const Earlier earlier[] = {
        {Sanitized("tk358_" + topicPrefix + "_" + name),
         {"sensor/temperature", "binary_sensor/sensor_fault", "binary_sensor/link",
          "sensor/setpoint", "number/setpoint", "sensor/zone1_setpoint", "number/zone1_setpoint",
          "sensor/zone2_setpoint", "number/zone2_setpoint", "sensor/setpoint2",
          "sensor/valve_position", "binary_sensor/drain_valve", "binary_sensor/fan1",
          "binary_sensor/fan2", "binary_sensor/relay1", "binary_sensor/relay2", "sensor/zone"}},
        {Sanitized("tk358_" + name),
         {"sensor/temperature", "sensor/setpoint", "sensor/setpoint2", "binary_sensor/link"}},
    };
    const std::string nodeId = DiscoveryNodeId(topicPrefix, name);
    std::vector<std::string> current;
    for (const DiscoveryEntity& e : DiscoveryEntities()) {
        for (const Form& form : FormsOf(e)) {
            current.push_back(ConfigTopic(discoveryPrefix, form.component, nodeId, form.object));
        }
    }
    std::vector<RetainedMessage> messages;
    for (const Earlier& ids : earlier) {
        for (const std::string& entity : ids.topics) {
            const std::size_t slash = entity.find('/');
            const std::string topic = discoveryPrefix + "/" + entity.substr(0, slash) + "/" +
                                      ids.nodeId + "/" + entity.substr(slash + 1) + "/config";
            const bool inUse = std::find(current.begin(), current.end(), topic) != current.end();
            const bool listed =
                std::find_if(messages.begin(), messages.end(), [&](const RetainedMessage& m) {
                    return m.topic == topic;
                }) != messages.end();
            if (!inUse && !listed) {
                messages.push_back({topic, {}});
            }
        }
    }
    return messages;
}

}  // namespace tk358
