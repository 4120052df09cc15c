#include "daemon/discovery_payload.h"

#include <cstdio>

#include "daemon/json_writer.h"
#include "panel/panel_model.h"

namespace tk358 {

namespace {

struct Entity {
    const char* component;  // "sensor" or "binary_sensor"
    const char* object;     // the last part of its ids
    const char* title;      // the entity's name in Home Assistant
    const char* valueTemplate;
    bool temperature;  // °C, device class temperature
};

constexpr Entity kTemperature{"sensor", "temperature", "Temperatura",
                              "{{ value_json.temperature }}", true};
constexpr Entity kSetpoint{"sensor", "setpoint", "Wartość zadana", "{{ value_json.setpoint }}",
                           true};
constexpr Entity kSetpoint2{"sensor", "setpoint2", "Wartość zadana 2", "{{ value_json.setpoint2 }}",
                            true};
constexpr Entity kLink{"binary_sensor", "link", "Komunikacja z panelem",
                       "{{ 'ON' if value_json.link == 'ok' else 'OFF' }}", false};

// The kind as far as it is known: the unknown kind before identification.
int KnownKind(const PanelIdentity& id) {
    return id.identified != 0 ? int{id.deviceType} : int{kUnknownDevice};
}

std::string DeviceName(const std::string& name, const PanelIdentity& id) {
    if (id.identified == 0 || id.noNumber != 0) {
        return std::string(PanelModelName(KnownKind(id))) + " (" + name + ")";
    }
    return std::string(PanelModelName(id.deviceType)) + " nr " + std::to_string(id.serialNumber) +
           " (" + name + ")";
}

void WriteDevice(JsonWriter& w, const std::string& name, const PanelIdentity& id) {
    w.Key("device").BeginObject();
    w.Key("identifiers").BeginArray().String("tk358_" + name).EndArray();
    w.Key("name").String(DeviceName(name, id));
    w.Key("model").String(PanelModelName(KnownKind(id)));
    if (id.identified != 0) {
        char version[32];
        std::snprintf(version, sizeof version, "%d.%02d", id.firmwareVersion / 100,
                      id.firmwareVersion % 100);
        w.Key("sw_version").String(version);
    }
    w.EndObject();
}

RetainedMessage Config(const std::string& prefix, const std::string& name, const MqttTopics& topics,
                       const PanelIdentity& id, const Entity& e) {
    const std::string uniqueId = "tk358_" + name + "_" + e.object;
    JsonWriter w;
    w.BeginObject();
    w.Key("name").String(e.title);
    w.Key("unique_id").String(uniqueId);
    w.Key("object_id").String(uniqueId);
    w.Key("state_topic").String(topics.State());
    w.Key("value_template").String(e.valueTemplate);
    if (e.temperature) {
        w.Key("unit_of_measurement").String("°C");
        w.Key("device_class").String("temperature");
        w.Key("state_class").String("measurement");
    } else {
        w.Key("device_class").String("connectivity");
    }
    w.Key("availability_topic").String(topics.Availability());
    w.Key("payload_available").String(kOnline);
    w.Key("payload_not_available").String(kOffline);
    WriteDevice(w, name, id);
    w.EndObject();
    return {prefix + "/" + e.component + "/tk358_" + name + "/" + e.object + "/config", w.Text()};
}

}  // namespace

std::vector<RetainedMessage> BuildDiscoveryMessages(const std::string& discoveryPrefix,
                                                    const std::string& name,
                                                    const MqttTopics& topics,
                                                    const PanelIdentity& identity) {
    std::vector<RetainedMessage> messages;
    for (const Entity* e : {&kTemperature, &kSetpoint, &kSetpoint2, &kLink}) {
        messages.push_back(Config(discoveryPrefix, name, topics, identity, *e));
    }
    // Only the threshold regulator has a second set point to show.
    const bool second = identity.identified != 0 && identity.deviceType == kThresholdRegulator;
    if (!second) {
        messages[2].payload.clear();
    }
    return messages;
}

}  // namespace tk358
