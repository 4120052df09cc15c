#include "daemon/discovery_payload.h"

#include <cstdio>

#include "daemon/json_writer.h"
#include "panel/panel_model.h"
#include "panel/regulation_fields.h"
#include "tk358_version.h"

namespace tk358 {

namespace {

enum class Shape {
    kTemperature,  // °C, one decimal
    kSetpoint,     // °C, two decimals; a number entity where writable
    kPercent,
    kWhole,  // the zone
    kOnOff,  // a binary sensor
};

constexpr unsigned Kinds(std::initializer_list<int> kinds) {
    unsigned mask = 0;
    for (int kind : kinds) {
        mask |= 1u << kind;
    }
    return mask;
}

constexpr unsigned kAnyKind = Kinds({0, 1, 2, 3, 4, kUnknownDevice});

struct Entity {
    const char* object;  // the last part of its ids and topic
    const char* title;   // the entity's name in Home Assistant
    Shape shape;
    const char* deviceClass;  // of a binary sensor; nullptr: none
    const char* valueTemplate;
    unsigned kinds;          // the kinds that have it
    unsigned writableKinds;  // the kinds whose set-point dialog writes it
    const FieldRule* rule;   // its bounds, where writable
    bool diagnostic;
};

// A value inside a record of the state message, unknown while the record is null.
#define TK358_IN(record, key) \
    "{{ value_json." record "." key " if value_json." record " else None }}"
#define TK358_ON_OFF(value) \
    "{{ None if (" value ") is none else ('ON' if (" value ") else 'OFF') }}"

const Entity kEntities[] = {
    {"temperature", "Temperatura", Shape::kTemperature, nullptr, "{{ value_json.temperature }}",
     kAnyKind, 0, nullptr, false},
    {"sensor_fault", "Błąd czujnika", Shape::kOnOff, "problem",
     TK358_ON_OFF("value_json.sensorFault"), kAnyKind, 0, nullptr, false},
    {"link", "Komunikacja z panelem", Shape::kOnOff, "connectivity",
     "{{ 'ON' if value_json.link == 'ok' else 'OFF' }}", kAnyKind, 0, nullptr, true},
    {"setpoint", "Wartość zadana", Shape::kSetpoint, nullptr, "{{ value_json.setpoint }}",
     Kinds({0, 1, 3, 4}), Kinds({0, 1}), &rules::kSetpoint, false},
    {"zone1_setpoint", "Wartość zadana 1", Shape::kSetpoint, nullptr,
     "{{ value_json.zone1Setpoint }}", Kinds({3}), Kinds({3}), &rules::kZone1Setpoint, false},
    {"zone2_setpoint", "Wartość zadana 2", Shape::kSetpoint, nullptr,
     "{{ value_json.zone2Setpoint }}", Kinds({3}), Kinds({3}), &rules::kZone2Setpoint, false},
    {"setpoint2", "Wartość zadana 2", Shape::kSetpoint, nullptr, "{{ value_json.setpoint2 }}",
     Kinds({4}), 0, nullptr, false},
    {"valve_position", "Położenie zaworu", Shape::kPercent, nullptr, TK358_IN("valve", "position"),
     Kinds({0, 3}), 0, nullptr, false},
    {"drain_valve", "Zawór zrzutowy", Shape::kOnOff, "opening",
     TK358_ON_OFF("value_json.drainValve.valveOpen if value_json.drainValve else None"), Kinds({1}),
     0, nullptr, false},
    {"fan1", "Wentylator 1", Shape::kOnOff, "running",
     TK358_ON_OFF("value_json.ventilation.fan1 if value_json.ventilation else None"), Kinds({2}), 0,
     nullptr, false},
    {"fan2", "Wentylator 2", Shape::kOnOff, "running",
     TK358_ON_OFF("value_json.ventilation.fan2 if value_json.ventilation else None"), Kinds({2}), 0,
     nullptr, false},
    {"relay1", "Przekaźnik 1", Shape::kOnOff, "power",
     TK358_ON_OFF("value_json.relays.relay1 if value_json.relays else None"), Kinds({4}), 0,
     nullptr, false},
    {"relay2", "Przekaźnik 2", Shape::kOnOff, "power",
     TK358_ON_OFF("value_json.relays.relay2 if value_json.relays else None"), Kinds({4}), 0,
     nullptr, false},
    {"zone", "Strefa", Shape::kWhole, nullptr, "{{ value_json.zone }}", Kinds({3, 4}), 0, nullptr,
     false},
};

#undef TK358_IN
#undef TK358_ON_OFF

// The kind as far as it is known: the unknown kind before identification.
int KnownKind(const PanelIdentity& id) {
    return id.identified != 0 ? int{id.deviceType} : int{kUnknownDevice};
}

bool Has(unsigned kinds, int kind) {
    return kind >= 0 && kind < 32 && (kinds & (1u << kind)) != 0;
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

const char* Component(const Entity& e, bool writable) {
    if (e.shape == Shape::kOnOff) {
        return "binary_sensor";
    }
    return writable ? "number" : "sensor";
}

void WriteShape(JsonWriter& w, const Entity& e) {
    switch (e.shape) {
        case Shape::kTemperature:
        case Shape::kSetpoint:
            w.Key("unit_of_measurement").String("°C");
            w.Key("device_class").String("temperature");
            w.Key("state_class").String("measurement");
            w.Key("suggested_display_precision").Int(e.shape == Shape::kSetpoint ? 2 : 1);
            break;
        case Shape::kPercent:
            w.Key("unit_of_measurement").String("%");
            w.Key("state_class").String("measurement");
            w.Key("suggested_display_precision").Int(1);
            break;
        case Shape::kWhole:
            w.Key("suggested_display_precision").Int(0);
            break;
        case Shape::kOnOff:
            if (e.deviceClass != nullptr) {
                w.Key("device_class").String(e.deviceClass);
            }
            break;
    }
}

// The number entity's part: where it writes and what it accepts.
void WriteCommand(JsonWriter& w, const Entity& e, const std::string& command,
                  const MqttTopics& topics) {
    w.Key("command_topic").String(topics.CommandPrefix() + command);
    w.Key("min").Number(e.rule->min / 100.0);
    w.Key("max").Number(e.rule->max / 100.0);
    w.Key("step").Number(0.01);
    w.Key("mode").String("box");
}

std::string ConfigPayload(const DiscoverySource& s, const std::string& nodeId, const Entity& e,
                          const char* component, const std::string& command) {
    const std::string uniqueId = nodeId + "_" + e.object;
    JsonWriter w;
    w.BeginObject();
    w.Key("name").String(e.title);
    w.Key("unique_id").String(uniqueId);
    w.Key("default_entity_id").String(std::string(component) + "." + Lower(uniqueId));
    w.Key("state_topic").String(s.topics.State());
    w.Key("value_template").String(e.valueTemplate);
    WriteShape(w, e);
    if (!command.empty()) {
        WriteCommand(w, e, command, s.topics);
    }
    if (e.diagnostic) {
        w.Key("entity_category").String("diagnostic");
    }
    w.Key("availability_topic").String(s.topics.Availability());
    w.Key("payload_available").String(kOnline);
    w.Key("payload_not_available").String(kOffline);
    WriteDevice(w, nodeId, s);
    WriteOrigin(w);
    w.EndObject();
    return w.Text();
}

// The state key of a set point is its command: "zone1_setpoint" is written
// on set/zone1Setpoint, like the state's "zone1Setpoint".
std::string CommandOf(const Entity& e) {
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

}  // namespace

std::string DiscoveryNodeId(const std::string& topicPrefix, const std::string& name) {
    std::string id = "tk358_" + topicPrefix + "_" + name;
    for (char& c : id) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (!ok) {
            c = '_';
        }
    }
    return id;
}

std::vector<RetainedMessage> BuildDiscoveryMessages(const DiscoverySource& source) {
    const std::string nodeId = DiscoveryNodeId(source.topicPrefix, source.name);
    const int kind = KnownKind(source.identity);
    std::vector<RetainedMessage> messages;
    for (const Entity& e : kEntities) {
        const bool has = Has(e.kinds, kind);
        const bool writable = has && source.writesAllowed && Has(e.writableKinds, kind);
        // Both forms of a set point, so that the one not in use is removed.
        for (const bool asNumber : {false, true}) {
            if (asNumber && e.writableKinds == 0) {
                continue;
            }
            const char* component = Component(e, asNumber);
            RetainedMessage m{source.discoveryPrefix + "/" + component + "/" + nodeId + "/" +
                                  e.object + "/config",
                              {}};
            if (has && asNumber == writable) {
                m.payload = ConfigPayload(source, nodeId, e, component,
                                          writable ? CommandOf(e) : std::string());
            }
            messages.push_back(std::move(m));
        }
    }
    return messages;
}

std::vector<RetainedMessage> EarlierDiscoveryRemovals(const std::string& discoveryPrefix,
                                                      const std::string& name) {
    std::vector<RetainedMessage> messages;
    const std::string node = discoveryPrefix + "/";
    for (const char* topic : {"sensor/@/temperature", "sensor/@/setpoint", "sensor/@/setpoint2",
                              "binary_sensor/@/link"}) {
        std::string t = topic;
        t.replace(t.find('@'), 1, "tk358_" + name);
        messages.push_back({node + t + "/config", {}});
    }
    return messages;
}

}  // namespace tk358
