// Home Assistant discovery configurations: which entities each kind gets,
// which keys each platform takes, and which earlier ids are removed.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "daemon/discovery_payload.h"
#include "support/json_value.h"

namespace tk358 {
namespace {

using test::JsonValue;

constexpr const char* kNode = "tk358_site_a_line1";

std::set<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::set<std::string> words;
    for (std::string w; in >> w;) {
        words.insert(w);
    }
    return words;
}

DiscoverySource Source(int kind, bool writes, bool removeOthers = true,
                       const std::string& prefix = "site/a") {
    DiscoverySource s{"homeassistant", prefix,      "line1", MqttTopics{prefix + "/line1"}, {},
                      writes,          removeOthers};
    s.identity.identified = kind != kUnknownDevice;
    s.identity.deviceType = static_cast<uint8_t>(kind);
    s.identity.serialNumber = 3105;
    s.identity.firmwareVersion = 107;
    return s;
}

// "component/object" -> payload, for the messages of the node.
std::map<std::string, std::string> ByEntity(const std::vector<RetainedMessage>& messages,
                                            const std::string& node = kNode) {
    std::map<std::string, std::string> out;
    for (const RetainedMessage& m : messages) {
        const std::string mid = "/" + node + "/";
        const std::size_t at = m.topic.find(mid);
        EXPECT_EQ(m.topic.rfind("homeassistant/", 0), 0u) << m.topic;
        EXPECT_NE(at, std::string::npos) << m.topic;
        EXPECT_EQ(m.topic.substr(m.topic.size() - 7), "/config") << m.topic;
        const std::string component = m.topic.substr(14, at - 14);
        const std::string object =
            m.topic.substr(at + mid.size(), m.topic.size() - 7 - at - mid.size());
        EXPECT_FALSE(out.contains(component + "/" + object)) << "twice: " << m.topic;
        out[component + "/" + object] = m.payload;
    }
    return out;
}

JsonValue Parsed(const std::string& text) {
    const std::optional<JsonValue> value = JsonValue::Parse(text);
    EXPECT_TRUE(value) << text;
    return value.value_or(JsonValue());
}

const char* const kOwn =
    "binary_sensor/link sensor/last_answer sensor/log_state sensor/broker_refusals sensor/uptime ";
const char* const kPanel =
    "sensor/temperature binary_sensor/sensor_fault binary_sensor/probe_calibration_error ";

struct KindCase {
    int kind;  // kUnknownDevice: not known
    bool writes;
    std::string configured;  // besides tk358d's own entities
};

TEST(DiscoveryPayload, EachKindGetsTheEntitiesOfItsReadings) {
    const std::string regulator =
        "binary_sensor/setpoint_fault sensor/cv binary_sensor/manual_mode ";
    const std::string valve = "sensor/valve_position binary_sensor/valve_motor ";
    const KindCase cases[] = {
        {kUnknownDevice, true, ""},
        {0, false, kPanel + regulator + valve + "sensor/setpoint"},
        {0, true, kPanel + regulator + valve + "sensor/setpoint number/setpoint_set"},
        {1, true,
         kPanel + regulator + "sensor/setpoint number/setpoint_set binary_sensor/drain_valve"},
        {2, true, kPanel + std::string("binary_sensor/fan1 binary_sensor/fan2")},
        {3, false,
         kPanel + regulator + valve +
             "sensor/setpoint sensor/zone1_setpoint sensor/zone2_setpoint sensor/zone "
             "sensor/clock_offset"},
        {3, true,
         kPanel + regulator + valve +
             "sensor/setpoint sensor/zone1_setpoint sensor/zone2_setpoint sensor/zone "
             "sensor/clock_offset number/zone1_setpoint_set number/zone2_setpoint_set"},
        {4, true,
         kPanel + std::string("sensor/setpoint sensor/setpoint2 binary_sensor/setpoint_fault "
                              "binary_sensor/relay1 binary_sensor/relay2 sensor/zone "
                              "sensor/clock_offset")},
    };
    const std::set<std::string> own = Words(kOwn);
    const std::set<std::string> diagnostic =
        Words(std::string(kOwn) + "binary_sensor/probe_calibration_error sensor/clock_offset");
    const std::set<std::string> disabled = Words(
        "binary_sensor/setpoint_fault binary_sensor/valve_motor "
        "binary_sensor/probe_calibration_error");
    std::size_t topics = 0;
    for (const KindCase& c : cases) {
        const std::string label = std::to_string(c.kind) + (c.writes ? " with writes" : "");
        const auto all = ByEntity(BuildDiscoveryMessages(Source(c.kind, c.writes)));
        if (c.kind != kUnknownDevice) {
            topics = topics == 0 ? all.size() : topics;
            EXPECT_EQ(all.size(), topics) << label << ": the same topics for every kind";
        }
        std::set<std::string> configured;
        for (const auto& [entity, payload] : all) {
            if (payload.empty()) {
                EXPECT_NE(c.kind, kUnknownDevice) << entity << ": removed before a kind is known";
                continue;
            }
            configured.insert(entity);
            const std::string at = label + " " + entity;
            const JsonValue j = Parsed(payload);
            const std::string component = entity.substr(0, entity.find('/'));
            const std::string object = entity.substr(entity.find('/') + 1);
            EXPECT_EQ(j["unique_id"].String(), std::string(kNode) + "_" + object) << at;
            EXPECT_EQ(j["default_entity_id"].String(), component + "." + kNode + "_" + object)
                << at;
            const std::string topic = object == "probe_calibration_error" ? "site/a/line1/info"
                                      : j["device_class"].String() == "timestamp" ||
                                              object == "log_state" ||
                                              object == "broker_refusals" || object == "uptime"
                                          ? "site/a/line1/health"
                                          : "site/a/line1/state";
            EXPECT_EQ(j["state_topic"].String(), topic) << at;
            // tk358d's own entities follow tk358d only; the panel's also its link.
            const auto& availability = j["availability"].Elements();
            const bool isOwn = own.contains(entity);
            ASSERT_EQ(availability.size(), isOwn ? 1u : 2u) << at;
            EXPECT_EQ(availability[0]["topic"].String(), "site/a/line1/availability") << at;
            if (!isOwn) {
                EXPECT_EQ(availability[1]["topic"].String(), "site/a/line1/link") << at;
                EXPECT_EQ(j["availability_mode"].String(), "all") << at;
            }
            EXPECT_FALSE(j.Has("availability_topic")) << at;
            EXPECT_EQ(j["entity_category"].String(),
                      diagnostic.contains(entity) ? "diagnostic" : "")
                << at;
            EXPECT_EQ(j.Has("enabled_by_default"), disabled.contains(entity)) << at;
            EXPECT_FALSE(j["enabled_by_default"].Bool()) << at;
            EXPECT_EQ(j["device"]["model"].String(), c.kind == 3   ? "TK-358D"
                                                     : c.kind == 4 ? "TK-358C"
                                                     : c.kind == 2 ? "TK-358W"
                                                                   : "TK-358")
                << at;
            EXPECT_EQ(j["device"].Has("serial_number"), c.kind != kUnknownDevice) << at;
            EXPECT_EQ(j.Has("command_topic"), component == "number") << at;
        }
        std::set<std::string> expected = Words(kOwn + c.configured);
        EXPECT_EQ(configured, expected) << label;
    }
}

struct KeyCase {
    int kind;
    const char* entity;
    const char* key;
    const char* value;  // nullptr: the key is absent
};

TEST(DiscoveryPayload, EachPlatformGetsOnlyTheKeysItsSchemaTakes) {
    const KeyCase cases[] = {
        {0, "number/setpoint_set", "state_class", nullptr},
        {0, "number/setpoint_set", "suggested_display_precision", nullptr},
        {0, "number/setpoint_set", "command_topic", "site/a/line1/set/setpoint"},
        {0, "number/setpoint_set", "unit_of_measurement", "°C"},
        {3, "number/zone2_setpoint_set", "command_topic", "site/a/line1/set/zone2Setpoint"},
        {0, "sensor/setpoint", "state_class", "measurement"},
        {0, "sensor/setpoint", "command_topic", nullptr},
        {0, "sensor/cv", "unit_of_measurement", "%"},
        {0, "binary_sensor/manual_mode", "state_class", nullptr},
        {3, "sensor/zone", "device_class", "enum"},
        {3, "sensor/zone", "state_class", nullptr},
        {3, "sensor/zone", "unit_of_measurement", nullptr},
        {3, "sensor/zone", "suggested_display_precision", nullptr},
        {3, "sensor/zone", "value_template",
         "{{ {1: 'Strefa 1', 2: 'Strefa 2'}.get(value_json.zone) }}"},
        {4, "sensor/zone", "value_template",
         "{{ {1: 'strefa dzienna', 2: 'strefa nocna'}.get(value_json.zone) }}"},
        {3, "sensor/clock_offset", "unit_of_measurement", "s"},
        {3, "sensor/clock_offset", "value_template", "{{ value_json.get('clockOffset') }}"},
        {1, "sensor/last_answer", "device_class", "timestamp"},
        {1, "sensor/last_answer", "state_class", nullptr},
        {1, "sensor/log_state", "json_attributes_topic", "site/a/line1/health"},
        {1, "sensor/log_state", "state_class", nullptr},
        {1, "sensor/broker_refusals", "state_class", "total_increasing"},
        {1, "sensor/uptime", "device_class", "duration"},
        {1, "sensor/uptime", "unit_of_measurement", "s"},
    };
    for (const KeyCase& c : cases) {
        const auto all = ByEntity(BuildDiscoveryMessages(Source(c.kind, true)));
        ASSERT_TRUE(all.contains(c.entity)) << c.entity;
        const JsonValue j = Parsed(all.at(c.entity));
        const std::string at = std::to_string(c.kind) + " " + c.entity + " " + c.key;
        if (c.value == nullptr) {
            EXPECT_FALSE(j.Has(c.key)) << at;
        } else {
            EXPECT_EQ(j[c.key].String(), c.value) << at;
        }
    }
    const JsonValue zone =
        Parsed(ByEntity(BuildDiscoveryMessages(Source(3, false)))["sensor/zone"]);
    ASSERT_EQ(zone["options"].Elements().size(), 2u);
    EXPECT_EQ(zone["options"].Elements()[0].String(), "Strefa 1");
    EXPECT_EQ(zone["options"].Elements()[1].String(), "Strefa 2");
    const JsonValue number =
        Parsed(ByEntity(BuildDiscoveryMessages(Source(3, true)))["number/zone1_setpoint_set"]);
    EXPECT_EQ(number["min"].Number(), -200);
    EXPECT_EQ(number["max"].Number(), 550);
    EXPECT_EQ(number["step"].Number(), 0.01);
    EXPECT_EQ(number["mode"].String(), "box");
}

TEST(DiscoveryPayload, ASetPointIsTheSameSensorWithWritesOnOrOff) {
    for (const int kind : {0, 1, 3}) {
        const auto off = ByEntity(BuildDiscoveryMessages(Source(kind, false)));
        const auto on = ByEntity(BuildDiscoveryMessages(Source(kind, true)));
        for (const char* object : {"setpoint", "zone1_setpoint", "zone2_setpoint"}) {
            const std::string sensor = std::string("sensor/") + object;
            const std::string number = std::string("number/") + object + "_set";
            EXPECT_EQ(on.at(sensor), off.at(sensor)) << kind << " " << sensor;
            EXPECT_TRUE(off.at(number).empty()) << kind << " " << number;
            EXPECT_FALSE(on.contains("number/" + std::string(object))) << kind << " " << object;
        }
    }
}

TEST(DiscoveryPayload, NothingIsRemovedWhileTheKindIsOnlyRemembered) {
    for (const int kind : {0, 1, 2, 3, 4, int{kUnknownDevice}}) {
        for (const RetainedMessage& m : BuildDiscoveryMessages(Source(kind, false, false))) {
            EXPECT_FALSE(m.payload.empty()) << kind << " " << m.topic;
        }
    }
}

struct NodeCase {
    const char* prefix;
    const char* name;
    const char* node;
};

TEST(DiscoveryPayload, NodeIdNamesThePrefixOnlyWhenItIsNotTheDefault) {
    const NodeCase cases[] = {
        {"tk358", "line1", "tk358_line1"},
        {"tk358", "com-3", "tk358_com-3"},
        {"site/a", "line1", "tk358_site_a_line1"},
        {"hall 2/tk358", "x", "tk358_hall_2_tk358_x"},
    };
    for (const NodeCase& c : cases) {
        EXPECT_EQ(DiscoveryNodeId(c.prefix, c.name), c.node) << c.prefix;
    }
}

struct EarlierCase {
    const char* prefix;
    const char* removed;  // among the removals
    const char* kept;     // not among them: in use now
};

TEST(DiscoveryPayload, EarlierIdsAreRemovedButNeverATopicInUse) {
    const EarlierCase cases[] = {
        {"tk358",
         "sensor/tk358_tk358_line1/temperature number/tk358_tk358_line1/setpoint "
         "sensor/tk358_tk358_line1/zone binary_sensor/tk358_tk358_line1/relay2",
         "sensor/tk358_line1/temperature sensor/tk358_line1/setpoint "
         "binary_sensor/tk358_line1/link"},
        {"site/a",
         "sensor/tk358_line1/temperature binary_sensor/tk358_line1/link "
         "number/tk358_site_a_line1/setpoint number/tk358_site_a_line1/zone1_setpoint",
         "sensor/tk358_site_a_line1/setpoint sensor/tk358_site_a_line1/zone "
         "binary_sensor/tk358_site_a_line1/link"},
    };
    for (const EarlierCase& c : cases) {
        std::set<std::string> current;
        for (const int kind : {0, 1, 2, 3, 4}) {
            for (const RetainedMessage& m :
                 BuildDiscoveryMessages(Source(kind, true, true, c.prefix))) {
                current.insert(m.topic);
            }
        }
        std::set<std::string> removed;
        for (const RetainedMessage& m :
             EarlierDiscoveryRemovals("homeassistant", c.prefix, "line1")) {
            EXPECT_TRUE(m.payload.empty()) << m.topic;
            EXPECT_FALSE(current.contains(m.topic)) << c.prefix << ": in use " << m.topic;
            EXPECT_TRUE(removed.insert(m.topic).second) << "twice " << m.topic;
        }
        for (const std::string& t : Words(c.removed)) {
            EXPECT_TRUE(removed.contains("homeassistant/" + t + "/config")) << c.prefix << " " << t;
        }
        for (const std::string& t : Words(c.kept)) {
            EXPECT_FALSE(removed.contains("homeassistant/" + t + "/config"))
                << c.prefix << " " << t;
        }
    }
}

}  // namespace
}  // namespace tk358
