// SPDX-License-Identifier: GPL-3.0-or-later
// The broker's refusals: the first of each class of topics is logged with
// its topic and Polish reason, the rest only counted.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <mosquitto.h>
#include <unistd.h>

#include "daemon/broker_refusals.h"
#include "support/temp_dir.h"

namespace tk358 {
namespace {

using Request = BrokerRefusals::Request;

TEST(BrokerRefusals, FirstRefusalOfEachClassAndRequestIsLoggedTheRestCounted) {
    test::TempDir dir("tk358-refusals");
    const int fd = ::open(dir.File("log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const DaemonLog log("t", fd, false);
    BrokerRefusals refusals(log, [](const std::string& t) { return TopicClass({"b"}, "ha", t); });
    // Ids 1-5 in this order, answered out of order; an unknown id (QoS 0) and
    // a second answer to an id count for nothing.
    int mid = 0;
    for (const std::string topic :
         {"ha/x/a/config", "ha/x/b/config", "ha/status", "b/info", "b/state"}) {
        refusals.Send(topic == "ha/status" ? Request::kSubscribe : Request::kPublish, topic,
                      [&](int* sent) { return *sent = ++mid, MOSQ_ERR_SUCCESS; });
    }
    const int answers[][2] = {{2, 0x87}, {4, 0},    {1, 0x87}, {99, 0x87},
                              {1, 0x87}, {3, 0x87}, {5, 0xA3}};
    for (const auto& [answered, code] : answers) {
        refusals.Answered(answered, code);
    }
    EXPECT_EQ(refusals.Count(), 4);
    const std::string text = test::ReadFile(dir.File("log"));
    EXPECT_EQ(test::Occurrences(text, "\n"), 3) << text;
    for (const char* line : {"odmówił publikacji (discovery) ha/x/b/config: brak uprawnień (Not "
                             "authorized), kod 0x87; kolejne",
                             "odmówił subskrypcji (discovery) ha/status: brak uprawnień",
                             "odmówił publikacji (state) b/state: nieznany kod, kod 0xA3"}) {
        EXPECT_EQ(test::Occurrences(text, line), 1) << line << "\n" << text;
    }
    ::close(fd);
    const std::pair<const char*, const char*> classes[] = {{"b/set/x", "commands"},
                                                           {"b/result/x", "commands"},
                                                           {"b/link", "availability"},
                                                           {"b2/x", "inne"}};
    for (const auto& [topic, cls] : classes) {
        EXPECT_EQ(TopicClass({"b"}, "ha", topic), cls) << topic;
    }
}

}  // namespace
}  // namespace tk358
