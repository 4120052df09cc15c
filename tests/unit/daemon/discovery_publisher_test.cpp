// Discovery across restarts: a silent panel never deletes the entities of the
// panel remembered from the last contact; only another kind answering does.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <map>
#include <set>
#include <sstream>

#include "daemon/discovery_publisher.h"
#include "support/json_value.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace {

using test::JsonValue;

constexpr int kSilent = kUnknownDevice;
constexpr int kRestart = -1;
const char* const kRememberedD = "kind=3\nserial=3105\nnoNumber=0\nhardware=5\nfirmware=107\n";

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
    if (kind != kSilent) {
        id.identified = 1;
        id.deviceType = static_cast<uint8_t>(kind);
        id.serialNumber = static_cast<uint16_t>(1000 + kind);
        id.firmwareVersion = 107;
    }
    return id;
}

struct PublisherCase {
    const char* label;
    const char* remembered;    // the file at the start; nullptr: none
    std::vector<int> answers;  // a kind per state period, kSilent or kRestart
    const char* configured;    // component/object with a configuration at the end
    const char* removed;       // component/object removed at the end
    const char* model;         // of every configuration's device at the end
    const char* file;          // part of the file at the end; "": no file
};

TEST(DiscoveryPublisher, ASilentPanelNeverRemovesTheRememberedKindsEntities) {
    const PublisherCase cases[] = {
        {"silent, nothing remembered",
         nullptr,
         {kSilent, kSilent},
         "binary_sensor/link sensor/uptime sensor/log_state",
         "",
         "TK-358",
         ""},
        {"silent, TK-358D remembered",
         kRememberedD,
         {kSilent, kSilent, kSilent},
         "sensor/temperature sensor/zone1_setpoint sensor/valve_position sensor/zone "
         "sensor/clock_offset binary_sensor/link",
         "",
         "TK-358D",
         "serial=3105"},
        {"the remembered kind answers",
         kRememberedD,
         {kSilent, 3, kSilent},
         "sensor/zone1_setpoint sensor/zone sensor/valve_position",
         "binary_sensor/fan1 binary_sensor/relay1 number/zone1_setpoint_set",
         "TK-358D",
         "serial=1003"},
        {"another kind answers",
         kRememberedD,
         {kSilent, 0, kSilent},
         "sensor/setpoint sensor/valve_position",
         "sensor/zone1_setpoint sensor/zone sensor/clock_offset",
         "TK-358",
         "kind=0"},
        {"the first answer is remembered for the next start",
         nullptr,
         {kSilent, 4, kRestart, kSilent},
         "sensor/setpoint2 binary_sensor/relay1 sensor/zone",
         "",
         "TK-358C",
         "kind=4"},
        {"a file without a kind is nothing remembered",
         "serial=3105\n",
         {kSilent},
         "binary_sensor/link",
         "",
         "TK-358",
         "serial=3105"},
    };
    for (const PublisherCase& c : cases) {
        test::TempDir dir("tk358-discovery");
        const std::string file = dir.File("tk358_line1.panel");
        if (c.remembered != nullptr) {
            test::WriteFile(file, c.remembered);
        }
        const DaemonLog log("t", ::open("/dev/null", O_WRONLY), false);
        DaemonOptions options;
        options.name = "line1";
        const MqttTopics topics{"tk358/line1"};
        std::map<std::string, std::string> retained;
        std::set<std::string> emptied;
        auto sink = [&](const std::string& topic, const std::string& payload) {
            retained[topic] = payload;
            if (payload.empty()) {
                emptied.insert(topic);
            }
        };
        auto publisher =
            std::make_unique<DiscoveryPublisher>(options, topics, log, dir.Path().string(), sink);
        publisher->Start();
        for (const int answer : c.answers) {
            if (answer == kRestart) {
                publisher = std::make_unique<DiscoveryPublisher>(options, topics, log,
                                                                 dir.Path().string(), sink);
                publisher->Start();
            } else {
                publisher->Update(Answer(answer));
            }
        }
        const auto topic = [](const std::string& entity) {
            return "homeassistant/" + entity.substr(0, entity.find('/')) + "/tk358_line1/" +
                   entity.substr(entity.find('/') + 1) + "/config";
        };
        for (const std::string& entity : Words(c.configured)) {
            EXPECT_FALSE(retained[topic(entity)].empty()) << c.label << ": " << entity;
        }
        for (const std::string& entity : Words(c.removed)) {
            ASSERT_TRUE(retained.contains(topic(entity))) << c.label << ": " << entity;
            EXPECT_TRUE(retained[topic(entity)].empty()) << c.label << ": " << entity;
        }
        for (const auto& [t, payload] : retained) {
            if (payload.empty()) {
                continue;
            }
            // An entity removed and made again loses its history.
            EXPECT_FALSE(emptied.contains(t)) << c.label << ": removed on the way " << t;
            const std::optional<JsonValue> j = JsonValue::Parse(payload);
            ASSERT_TRUE(j) << payload;
            EXPECT_EQ((*j)["device"]["model"].String(), c.model) << c.label << ": " << t;
        }
        const std::string after = test::ReadFile(file);
        if (*c.file == '\0') {
            EXPECT_TRUE(after.empty()) << c.label << ": " << after;
        } else {
            EXPECT_NE(after.find(c.file), std::string::npos) << c.label << ": " << after;
        }
    }
}

TEST(DiscoveryPublisher, AStateDirectoryThatCannotBeWrittenIsReportedOnce) {
    test::TempDir dir("tk358-discovery");
    const std::string notADirectory = dir.File("state");
    test::WriteFile(notADirectory, "x");
    const std::string messages = dir.File("messages");
    const DaemonLog log("t", ::open(messages.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644), false);
    DaemonOptions options;
    options.name = "line1";
    std::vector<std::string> configs;
    DiscoveryPublisher publisher(
        options, MqttTopics{"tk358/line1"}, log, notADirectory,
        [&](const std::string&, const std::string& payload) { configs.push_back(payload); });
    publisher.Start();
    for (const int kind : {3, 0, 3}) {
        publisher.Update(Answer(kind));
    }
    const std::string text = test::ReadFile(messages);
    const std::string warning = "nie można zapamiętać panelu w " + notADirectory;
    EXPECT_NE(text.find(warning), std::string::npos) << text;
    EXPECT_EQ(text.find(warning), text.rfind(warning)) << text;
    EXPECT_GT(configs.size(), 40u) << "discovery goes on";
}

}  // namespace
}  // namespace tk358
