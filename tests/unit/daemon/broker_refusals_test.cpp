// The broker's refusals: each answer is told by the topic its request was
// sent on, the first refusal of a class of topics is logged with its topic
// and Polish reason, the rest only counted.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <mosquitto.h>
#include <unistd.h>

#include "daemon/broker_refusals.h"
#include "daemon/mqtt_reason_text.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace {

using Request = BrokerRefusals::Request;

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

TEST(BrokerRefusals, FirstRefusalOfEachClassAndRequestIsLoggedTheRestCounted) {
    test::TempDir dir("tk358-refusals");
    const int fd = ::open(dir.File("messages").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const DaemonLog log("t", fd, false);
    const MqttTopics topics{"tk358/line"};
    BrokerRefusals refusals(log, [&topics](const std::string& topic) {
        return TopicClass(topics, "homeassistant", topic);
    });
    int nextMid = 0;
    auto send = [&](Request request, const std::string& topic) {
        refusals.Send(request, topic, [&](int* mid) {
            *mid = ++nextMid;
            return MOSQ_ERR_SUCCESS;
        });
        return nextMid;
    };
    const int discovery1 = send(Request::kPublish, "homeassistant/sensor/x/a/config");
    const int discovery2 = send(Request::kPublish, "homeassistant/sensor/x/b/config");
    const int birth = send(Request::kSubscribe, "homeassistant/status");
    const int info = send(Request::kPublish, "tk358/line/info");
    const int state = send(Request::kPublish, "tk358/line/state");
    // Answered out of order; an unknown id (a QoS 0 message) and a second
    // answer to the same id count for nothing.
    refusals.Answered(discovery2, 0x87);
    refusals.Answered(info, 0);
    refusals.Answered(discovery1, 0x87);
    refusals.Answered(999, 0x87);
    refusals.Answered(discovery1, 0x87);
    refusals.Answered(birth, 0x87);
    refusals.Answered(state, 0x97);
    // A failed send keeps nothing.
    refusals.Send(Request::kPublish, "tk358/line/health", [](int* mid) {
        *mid = 500;
        return MOSQ_ERR_NO_CONN;
    });
    refusals.Answered(500, 0x87);

    EXPECT_EQ(refusals.Count(), 4);
    const std::string text = test::ReadFile(dir.File("messages"));
    EXPECT_EQ(Count(text, "\n"), 3) << text;
    EXPECT_EQ(Count(text,
                    "odmówił publikacji (discovery) homeassistant/sensor/x/b/config: "
                    "brak uprawnień (Not authorized), kod 0x87"),
              1)
        << text;
    EXPECT_EQ(Count(text, "odmówił subskrypcji (discovery) homeassistant/status: brak uprawnień"),
              1)
        << text;
    EXPECT_EQ(Count(text,
                    "odmówił publikacji (state) tk358/line/state: przekroczony przydział "
                    "(Quota exceeded), kod 0x97"),
              1)
        << text;
    ::close(fd);
}

TEST(BrokerRefusals, IdsWaitingForAnAnswerAreBounded) {
    const DaemonLog log("t", -1, false);
    BrokerRefusals refusals(log, [](const std::string& topic) { return topic; });
    const int total = static_cast<int>(BrokerRefusals::kMaxPending) + 10;
    for (int i = 1; i <= total; ++i) {
        refusals.Send(Request::kPublish, "t", [i](int* mid) {
            *mid = i;
            return MOSQ_ERR_SUCCESS;
        });
    }
    for (int i = 1; i <= total; ++i) {
        refusals.Answered(i, 0x87);
    }
    // The oldest were let go; the newest are still told apart.
    EXPECT_EQ(refusals.Count(), static_cast<int64_t>(BrokerRefusals::kMaxPending));
}

TEST(BrokerRefusals, TopicsFallIntoTheirClasses) {
    const MqttTopics topics{"plant/line1"};
    const struct {
        const char* topic;
        const char* cls;
    } cases[] = {
        {"ha/sensor/tk358_line1/temperature/config", "discovery"},
        {"ha/status", "discovery"},
        {"plant/line1/state", "state"},
        {"plant/line1/info", "info"},
        {"plant/line1/availability", "availability"},
        {"plant/line1/health", "health"},
        {"plant/line1/set/#", "commands"},
        {"plant/line1/set/setpoint2", "commands"},
        {"plant/line1/result/setpoint", "commands"},
        {"plant/line1/states", "inne"},
        {"hax/status", "inne"},
        {"plant/line10/state", "inne"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TopicClass(topics, "ha", c.topic), c.cls) << c.topic;
    }
}

TEST(BrokerRefusals, ReasonCodesReadInPolishWithTheirStandardName) {
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {0x80, "nieokreślony błąd (Unspecified error)"},
        {0x87, "brak uprawnień (Not authorized)"},
        {0x8F, "nieprawidłowy filtr tematów (Topic Filter invalid)"},
        {0x90, "nieprawidłowa nazwa tematu (Topic Name invalid)"},
        {0x97, "przekroczony przydział (Quota exceeded)"},
        {0x9A, "broker nie przechowuje wiadomości zachowanych (Retain not supported)"},
        {0xA2,
         "subskrypcje z symbolami wieloznacznymi nieobsługiwane (Wildcard Subscriptions not "
         "supported)"},
        {0x7F, "nieznany kod"},
        {0xA3, "nieznany kod"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MqttReasonText(c.code), c.text) << c.code;
    }
}

}  // namespace
}  // namespace tk358
