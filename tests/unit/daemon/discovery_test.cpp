// SPDX-License-Identifier: GPL-3.0-or-later
// Home Assistant discovery: the entities of each kind, the keys each platform
// takes, the ids, and a silent panel that never removes the remembered kind's
// entities across restarts.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "daemon/discovery_payload.h"
#include "daemon/discovery_publisher.h"
#include "support/json_value.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace {

using test::JsonValue;

std::set<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::set<std::string> words;
    for (std::string w; in >> w;) {
        words.insert(w);
    }
    return words;
}

PanelIdentity Answer(int kind) {
    PanelIdentity id;
    id.identified = kind != kUnknownDevice;
    id.deviceType = static_cast<uint8_t>(kind);
    id.serialNumber = static_cast<uint16_t>(1000 + kind);
    return id;
}

// "component/object" of a configuration topic of the node tk358_site_a_line1.
std::string EntityOf(const std::string& topic) {
    const std::size_t at = topic.find("/tk358_site_a_line1/");
    EXPECT_NE(at, std::string::npos) << topic;
    return topic.substr(3, at - 3) + "/" + topic.substr(at + 20, topic.size() - at - 27);
}

std::map<std::string, std::string> Build(int kind, bool writes) {
    const DiscoverySource s{"ha",         "site/a", "line1", MqttTopics{"site/a/line1"},
                            Answer(kind), writes,   true};
    std::map<std::string, std::string> out;
    for (const RetainedMessage& m : BuildDiscoveryMessages(s)) {
        out[EntityOf(m.topic)] = m.payload;
    }
    return out;
}

JsonValue Parsed(const std::string& text) {
    return JsonValue::Parse(text).value_or(JsonValue());
}

const char* const kOwn =
    "binary_sensor/link sensor/last_answer sensor/log_state sensor/broker_refusals sensor/uptime ";
const std::string kPanel =
    "sensor/temperature binary_sensor/sensor_fault binary_sensor/probe_calibration_error ";
const std::string kRegulator = "binary_sensor/setpoint_fault sensor/cv binary_sensor/manual_mode ";
const std::string kValve = "sensor/valve_position binary_sensor/valve_motor ";
const std::string kDualZone =
    "sensor/setpoint sensor/zone1_setpoint sensor/zone2_setpoint sensor/zone sensor/clock_offset ";

TEST(DiscoveryPayload, EachKindGetsTheEntitiesOfItsReadings) {
    const struct {
        int kind;
        std::string configured;  // besides tk358d's own, with writes allowed
    } cases[] = {
        {kUnknownDevice, ""},
        {0, kPanel + kRegulator + kValve + "sensor/setpoint number/setpoint_set"},
        {1, kPanel + kRegulator + "sensor/setpoint number/setpoint_set binary_sensor/drain_valve"},
        {2, kPanel + "binary_sensor/fan1 binary_sensor/fan2"},
        {3, kPanel + kRegulator + kValve + kDualZone +
                "number/zone1_setpoint_set number/zone2_setpoint_set"},
        {4, kPanel + "sensor/setpoint sensor/setpoint2 binary_sensor/setpoint_fault "
                     "binary_sensor/relay1 binary_sensor/relay2 sensor/zone sensor/clock_offset"},
    };
    const auto own = Words(kOwn);
    const auto diagnostic =
        Words(kOwn + std::string("binary_sensor/probe_calibration_error sensor/clock_offset"));
    const auto disabled = Words(
        "binary_sensor/setpoint_fault binary_sensor/valve_motor "
        "binary_sensor/probe_calibration_error");
    for (const auto& c : cases) {
        const auto all = Build(c.kind, true);
        EXPECT_EQ(all.size(), c.kind == kUnknownDevice ? own.size() : Build(0, true).size())
            << c.kind << ": the same topics for every kind, nothing removed without one";
        std::set<std::string> configured;
        for (const auto& [entity, payload] : all) {
            if (payload.empty()) {
                continue;
            }
            configured.insert(entity);
            const std::string at = std::to_string(c.kind) + " " + entity;
            const JsonValue j = Parsed(payload);
            // tk358d's own entities follow tk358d; the panel's also its link.
            const bool isOwn = own.contains(entity);
            EXPECT_EQ(j["availability"].Elements().size(), isOwn ? 1u : 2u) << at;
            EXPECT_EQ(j["availability_mode"].String(), isOwn ? "" : "all") << at;
            EXPECT_EQ(j["entity_category"].String(),
                      diagnostic.contains(entity) ? "diagnostic" : "")
                << at;
            EXPECT_EQ(j.Has("enabled_by_default"), disabled.contains(entity)) << at;
        }
        EXPECT_EQ(configured, Words(kOwn + c.configured)) << c.kind;
    }
}

TEST(DiscoveryPayload, EachPlatformGetsOnlyTheKeysItsSchemaTakesASetPointStaysASensor) {
    const struct {
        int kind;
        const char* entity;
        const char* key;
        const char* value;  // nullptr: absent
    } cases[] = {
        {0, "number/setpoint_set", "state_class", nullptr},
        {0, "number/setpoint_set", "command_topic", "site/a/line1/set/setpoint"},
        {3, "number/zone2_setpoint_set", "command_topic", "site/a/line1/set/zone2Setpoint"},
        {3, "sensor/zone", "state_class", nullptr},
        {3, "sensor/zone", "value_template",
         "{{ {1: 'Strefa 1', 2: 'Strefa 2'}.get(value_json.zone) }}"},
        {4, "sensor/zone", "value_template",
         "{{ {1: 'strefa dzienna', 2: 'strefa nocna'}.get(value_json.zone) }}"},
        {3, "sensor/clock_offset", "value_template", "{{ value_json.get('clockOffset') }}"},
        {1, "binary_sensor/probe_calibration_error", "state_topic", "site/a/line1/info"},
        {1, "sensor/last_answer", "device_class", "timestamp"},
        {1, "sensor/log_state", "json_attributes_topic", "site/a/line1/health"},
        {1, "sensor/broker_refusals", "state_class", "total_increasing"},
    };
    for (const auto& c : cases) {
        const JsonValue j = Parsed(Build(c.kind, true)[c.entity]);
        ASSERT_TRUE(j.IsObject()) << c.entity;
        EXPECT_EQ(j.Has(c.key), c.value != nullptr) << c.entity << " " << c.key;
        EXPECT_EQ(j[c.key].String(), c.value ? c.value : "") << c.entity << " " << c.key;
    }
    // A set point is the same sensor with writes on or off.
    for (const int kind : {0, 3}) {
        auto off = Build(kind, false), on = Build(kind, true);
        for (const std::string object : {"setpoint", "zone1_setpoint"}) {
            EXPECT_EQ(on["sensor/" + object], off["sensor/" + object]) << kind << object;
            EXPECT_TRUE(off.at("number/" + object + "_set").empty()) << kind << object;
        }
    }
    const JsonValue zone = Parsed(Build(3, false)["sensor/zone"]);
    ASSERT_EQ(zone["options"].Elements().size(), 2u);
    EXPECT_EQ(zone["options"].Elements()[1].String(), "Strefa 2");
}

TEST(DiscoveryPayload, IdsNeverRepeatTheDefaultPrefixAndEarlierOnesGoUnlessInUse) {
    const struct {
        const char* prefix;
        const char* node;
        const char* topics;  // removed; with '-': in use now, never removed
    } cases[] = {
        {"tk358", "tk358_l1",
         "sensor/tk358_tk358_l1/temperature number/tk358_tk358_l1/setpoint "
         "-sensor/tk358_l1/temperature -sensor/tk358_l1/setpoint -binary_sensor/tk358_l1/link"},
        {"site/a", "tk358_site_a_l1",
         "sensor/tk358_l1/temperature number/tk358_site_a_l1/setpoint "
         "-sensor/tk358_site_a_l1/setpoint -sensor/tk358_site_a_l1/zone"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DiscoveryNodeId(c.prefix, "l1"), c.node);
        std::set<std::string> removed;
        for (const RetainedMessage& m : EarlierDiscoveryRemovals("ha", c.prefix, "l1")) {
            EXPECT_TRUE(m.payload.empty()) << m.topic;
            removed.insert(m.topic.substr(3, m.topic.size() - 10));
        }
        for (const std::string& t : Words(c.topics)) {
            EXPECT_EQ(removed.contains(t.substr(t[0] == '-')), t[0] != '-') << c.prefix << " " << t;
        }
    }
}

TEST(DiscoveryPublisher, ASilentPanelNeverRemovesTheRememberedKindsEntities) {
    const char* const d = "kind=3\nserial=3105\nnoNumber=0\nhardware=5\nfirmware=107\n";
    const struct {
        const char* label;
        const char* remembered;  // the file at the start; nullptr: none
        const char* answers;     // per state period: a kind, 's' silent, 'R' a restart
        const char* configured;  // at the end
        const char* removed;
        const char* model;  // of every configuration at the end
    } cases[] = {
        {"nothing remembered", nullptr, "s", "binary_sensor/link sensor/uptime", "", "TK-358"},
        {"TK-358D remembered", d, "ss", "sensor/zone1_setpoint sensor/zone sensor/clock_offset", "",
         "TK-358D"},
        {"it answers", d, "s3s", "sensor/zone1_setpoint sensor/zone",
         "binary_sensor/fan1 number/zone1_setpoint_set", "TK-358D"},
        {"another kind answers", d, "s0", "sensor/setpoint sensor/valve_position",
         "sensor/zone1_setpoint sensor/zone", "TK-358"},
        {"remembered for the next start", nullptr, "4Rs", "sensor/setpoint2 sensor/zone", "",
         "TK-358C"},
    };
    for (const auto& c : cases) {
        test::TempDir dir("tk358-discovery");
        if (c.remembered != nullptr) {
            test::WriteFile(dir.File("tk358_site_a_line1.panel"), c.remembered);
        }
        const DaemonLog log("t", -1, false);
        DaemonOptions options;
        options.discoveryPrefix = "ha";
        options.topicPrefix = "site/a";
        options.name = "line1";
        std::map<std::string, std::string> retained;
        std::set<std::string> emptied;
        auto start = [&] {
            auto p = std::make_unique<DiscoveryPublisher>(
                options, MqttTopics{"site/a/line1"}, log, dir.Path().string(),
                [&](const std::string& topic, const std::string& payload) {
                    if (topic.find("/tk358_site_a_line1/") != std::string::npos) {
                        retained[EntityOf(topic)] = payload;
                        if (payload.empty()) {
                            emptied.insert(EntityOf(topic));
                        }
                    }
                });
            p->Start();
            return p;
        };
        auto publisher = start();
        for (const char* a = c.answers; *a != '\0'; ++a) {
            if (*a == 'R') {
                publisher = start();
            } else {
                publisher->Update(Answer(*a == 's' ? kUnknownDevice : *a - '0'));
            }
        }
        for (const std::string& e : Words(c.configured)) {
            EXPECT_FALSE(retained[e].empty()) << c.label << ": " << e;
        }
        for (const std::string& e : Words(c.removed)) {
            EXPECT_TRUE(emptied.contains(e) && retained[e].empty()) << c.label << ": " << e;
        }
        for (const auto& [t, payload] : retained) {
            // An entity removed and made again loses its history.
            EXPECT_TRUE(payload.empty() || !emptied.contains(t)) << c.label << ": " << t;
            EXPECT_TRUE(payload.empty() || Parsed(payload)["device"]["model"].String() == c.model)
                << c.label << ": " << t;
        }
    }
}

}  // namespace
}  // namespace tk358
