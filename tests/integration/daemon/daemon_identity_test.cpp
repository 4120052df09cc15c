// SPDX-License-Identifier: GPL-3.0-or-later
// One process per topic prefix and name: processes on other topics live side
// by side on one broker, a second process on the same topics gives way.

#include <thread>

#include "daemon_fixture.h"

namespace tk358::test {
namespace {

using DaemonIdentityTest = DaemonFixture;

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

TEST_F(DaemonIdentityTest, OneNameUnderTwoPrefixesNeverTakesOverAndTheSameTopicsGiveWay) {
    StartPanel(0);
    StartDaemon();
    auto siteB = StartOther("siteB", {"--demo", "1", "--topic", "siteB", "--name", "line"});
    ASSERT_TRUE(WaitForAvailability("online", 10s));
    ASSERT_FALSE(listener_
                     ->WaitFor(
                         "siteB/line/availability",
                         [](const ReceivedMessage& m) { return m.payload == "online"; }, 10s)
                     .topic.empty());

    // 10 s side by side: a takeover would show as "offline" and a new "online".
    listener_->Clear();
    std::this_thread::sleep_for(10s);
    EXPECT_TRUE(listener_->On(Base() + "/availability").empty());
    EXPECT_TRUE(listener_->On("siteB/line/availability").empty());
    EXPECT_GE(listener_->On(Base() + "/state").size(), 8u);
    EXPECT_GE(listener_->On("siteB/line/state").size(), 8u);
    EXPECT_EQ(Count(Output(), "połączono z brokerem"), 1) << Output();
    EXPECT_EQ(Count(ReadFile(dir_ + "/siteB.out"), "połączono z brokerem"), 1);

    // The same prefix and name on this host: refused at the start.
    auto twin = StartOther("twin", {"--demo", "1", "--name", "line"});
    EXPECT_EQ(twin->Wait(10s), std::optional<int>(2));
    EXPECT_NE(ReadFile(dir_ + "/twin.out").find("używa już inny proces tk358d"), std::string::npos)
        << ReadFile(dir_ + "/twin.out");

    // ... and on another host (its "online" left retained on the broker):
    // refused once connected, leaving the other's "online" in place.
    ASSERT_TRUE(listener_->PublishWithProperty("siteC/line/availability", "online", true,
                                               "tk358d-owner", "tk358d:elsewhere:siteC/line#7"));
    auto remote = StartOther("remote", {"--demo", "1", "--topic", "siteC", "--name", "line"});
    EXPECT_EQ(remote->Wait(10s), std::optional<int>(2));
    EXPECT_NE(ReadFile(dir_ + "/remote.out").find("tk358d:elsewhere:siteC/line"), std::string::npos)
        << ReadFile(dir_ + "/remote.out");
    MqttListener late;
    ASSERT_TRUE(late.Start(broker_->Port(), "siteC/#"));
    EXPECT_EQ(late.WaitFor(
                      "siteC/line/availability", [](auto&) { return true; }, 5s)
                  .payload,
              "online");
    std::this_thread::sleep_for(1s);
    for (const ReceivedMessage& m : late.Messages()) {
        EXPECT_EQ(m.topic, "siteC/line/availability") << "nothing else published: " << m.payload;
    }
    EXPECT_TRUE(
        WaitForState([](const JsonValue& s) { return s["link"].String() == "ok"; }, 5s).IsObject());
}

}  // namespace
}  // namespace tk358::test
